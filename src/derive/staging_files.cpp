#include "derive/staging_files.h"

#include <charconv>

#include "platform/file_system.h"

namespace quillmere {
namespace {

constexpr std::string_view kStagingPrefix = ".quillmere-derive-";

// Takes the decimal number at the start of `rest` and the '-' after it off `rest`.
std::optional<std::uint64_t> TakeNumber(std::string_view& rest) {
  std::uint64_t number = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
  if (error != std::errc() || end == rest.data() || end == rest.data() + rest.size() ||
      *end != '-') {
    return std::nullopt;
  }
  rest.remove_prefix(static_cast<std::size_t>(end - rest.data()) + 1);
  return number;
}

}  // namespace

std::string StagingStem(const ProcessIdentity& owner) {
  return std::string(kStagingPrefix) + std::to_string(owner.id) + "-" +
         std::to_string(owner.startTime) + "-";
}

std::optional<ProcessIdentity> StagingFileOwner(std::string_view name) {
  if (!name.starts_with(kStagingPrefix)) {
    return std::nullopt;
  }
  std::string_view rest = name.substr(kStagingPrefix.size());
  const std::optional<std::uint64_t> id = TakeNumber(rest);
  const std::optional<std::uint64_t> startTime = id ? TakeNumber(rest) : std::nullopt;
  // The unique part the file services added must follow.
  if (!startTime || rest.empty()) {
    return std::nullopt;
  }
  return ProcessIdentity{*id, *startTime};
}

std::vector<std::string> StaleStagingFiles(FileSystem& files, const std::string& folder) {
  std::vector<std::string> stale;
  const std::optional<std::vector<std::string>> names = files.ListFolder(folder);
  if (!names) {
    return stale;
  }
  for (const std::string& name : *names) {
    const std::optional<ProcessIdentity> owner = StagingFileOwner(name);
    if (owner && !IsRunning(*owner)) {
      stale.push_back(name);
    }
  }
  return stale;
}

void RemoveStaleStagingFiles(FileSystem& files, const std::string& folder) {
  for (const std::string& name : StaleStagingFiles(files, folder)) {
    files.RemoveFile(JoinPath(folder, name));
  }
}

}  // namespace quillmere
