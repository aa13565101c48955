#include <algorithm>
#include <utility>

#include "platform/file_system.h"
#include "platform/text.h"

namespace quillmere {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder);
  path.push_back(kPathSeparator);
  path.append(name);
  return path;
}

std::string FolderOf(std::string_view path) {
  const std::size_t cut = text::FindLastChar(path, kPathSeparator);
  return std::string(cut == std::string_view::npos ? path : path.substr(0, cut));
}

std::string FileNameOf(std::string_view path) {
  const std::size_t cut = text::FindLastChar(path, kPathSeparator);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::optional<StampedBytes> FileSystem::ReadStampedFile(const std::string& path, std::size_t most) {
  const FileStamp stamp = Stamp(path);
  if (!stamp.exists) {
    return std::nullopt;
  }
  std::optional<std::string> bytes = ReadFile(path);
  if (!bytes) {
    return std::nullopt;
  }
  bytes->resize(std::min(bytes->size(), most));
  return StampedBytes{std::move(*bytes), stamp};
}

std::string UnreadableReason(FileSystem& files, const std::string& path) {
  const FileStamp stamp = files.Stamp(path);
  if (!stamp.exists) {
    return "there is no such file";
  }
  if (!stamp.regular) {
    return "it is no regular file (a folder, a named pipe or a device)";
  }
  if (stamp.size > kLargestReadableFile) {
    return "it is larger than " + std::to_string(kLargestReadableFile >> 20U) +
           " MB, far more than any module file or module library holds";
  }
  return "it cannot be read";
}

}  // namespace quillmere
