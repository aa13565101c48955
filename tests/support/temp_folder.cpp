#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/file_system.h"

namespace quillmere::testing {
namespace fs = std::filesystem;

#ifdef _WIN32
// Windows has no mkdtemp: a new folder with a name of its own under the user's temporary folder.
TempFolder::TempFolder() {
  static std::random_device seed;
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const fs::path candidate = base / ("quillmere-test-" + std::to_string(seed()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.string();
    }
  }
  if (path_.empty()) {
    ADD_FAILURE() << "cannot make a temporary folder in " << base.string();
  }
}
#else
TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quillmere-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder from " << pattern;
  }
  path_ = pattern;
}
#endif

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempFolder::PathOf(std::string_view name) const {
  // The platform's separator, as the paths the code under test builds have it.
  std::string inside(name);
  std::replace(inside.begin(), inside.end(), '/', kPathSeparator);
  return inside.empty() ? path_ : JoinPath(path_, inside);
}

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const {
  const std::string full = PathOf(name);
  fs::create_directories(fs::path(full).parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << full;
  return full;
}

std::string TempFolder::MakeFolder(std::string_view name) const {
  const std::string full = PathOf(name);
  fs::create_directories(full);
  return full;
}

std::string TempFolder::Read(std::string_view name) const {
  std::ifstream in(PathOf(name), std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << PathOf(name);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool TempFolder::Exists(std::string_view name) const {
  std::error_code ignored;
  return fs::exists(PathOf(name), ignored);
}

std::vector<std::string> TempFolder::List(std::string_view name) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(PathOf(name))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::pair<std::string, std::string>> TempFolder::Snapshot() const {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::recursive_directory_iterator(path_)) {
    const std::string relative = fs::relative(entry.path(), path_).string();
    files.emplace_back(relative,
                       entry.is_regular_file() ? Read(relative) : std::string("<folder>"));
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace quillmere::testing
