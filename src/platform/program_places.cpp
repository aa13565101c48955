#include "platform/program_places.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace quillmere {
namespace {

std::string& RecordedInvocation() {
  static std::string argv0;
  return argv0;
}

#ifndef _WIN32
std::optional<std::string> CurrentFolder() {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  return error ? std::nullopt : std::optional(current.string());
}

bool IsExecutableFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// "./x" and "bin/../x" are cleaned by their text alone: a link among them stays a link.
std::optional<std::string> Absolute(const std::string& path) {
  std::filesystem::path absolute = path;
  if (!path.starts_with('/')) {
    const std::optional<std::string> current = CurrentFolder();
    if (!current) {
      return std::nullopt;
    }
    absolute = std::filesystem::path(*current) / path;
  }
  return absolute.lexically_normal().string();
}

std::optional<std::string> FoundOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path != nullptr ? path : "";
  while (true) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    // An empty entry of PATH stands for the current folder.
    const std::string candidate = JoinPath(folder.empty() ? "." : folder, name);
    if (IsExecutableFile(candidate)) {
      return Absolute(candidate);
    }
    if (colon == std::string_view::npos) {
      return std::nullopt;
    }
    folders.remove_prefix(colon + 1);
  }
}
#endif

}  // namespace

void RecordInvocation(std::string_view argv0) {
  RecordedInvocation() = argv0;
}

std::optional<std::string> InvokedExecutablePath() {
  const std::string& argv0 = RecordedInvocation();
#ifdef _WIN32
  (void)argv0;
  return std::nullopt;  // GetModuleFileNameA already names the file as it was started
#else
  if (argv0.empty()) {
    return std::nullopt;
  }
  if (argv0.find('/') != std::string::npos) {
    return IsExecutableFile(argv0) ? Absolute(argv0) : std::nullopt;
  }
  return FoundOnPath(argv0);
#endif
}

std::optional<std::string> UserDataFolder() {
#ifdef _WIN32
  return std::nullopt;
#else
  // An XDG path that is not absolute is invalid and is to be ignored.
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') {
    return std::string(dataHome);
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') {
    return JoinPath(JoinPath(home, ".local"), "share");
  }
  return std::nullopt;
#endif
}

std::string InstalledDataFolder(std::string_view executablePath) {
  return JoinPath(FolderOf(executablePath), QUILLMERE_DATA_FROM_BINARIES);
}

FileOutcome MakeFolders(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) {
    return FileOutcome::Failed(error.message());
  }
  return FileOutcome::Done();
}

void RemoveEmptyFolder(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace quillmere
