// A temporary folder for one test, removed with everything in it when the test ends. Tests write
// their module files here and read back the bytes the code under test left.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace quillmere::testing {

class TempFolder {
 public:
  // A new folder with a name of its own under the temporary folder (Windows has no mkdtemp).
  TempFolder() {
    static std::random_device seed;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const auto candidate = base / ("quillmere-" + std::to_string(seed()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        path_ = candidate.string();
      }
    }
    EXPECT_FALSE(path_.empty()) << "cannot make a temporary folder";
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }

  // The full path of `name` inside the folder (`name` may hold sub-folders, "/" between them),
  // with the platform's separator, as the paths the code under test builds have it.
  [[nodiscard]] std::string PathOf(std::string_view name) const {
    std::string inside(name);
    std::replace(inside.begin(), inside.end(), '/', kPathSeparator);
    return inside.empty() ? path_ : JoinPath(path_, inside);
  }

  // Writes `bytes` exactly to `name`, making the sub-folders it needs; gives its full path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    std::filesystem::create_directories(std::filesystem::path(PathOf(name)).parent_path());
    std::ofstream out(PathOf(name), std::ios::binary);
    EXPECT_TRUE(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).good());
    return PathOf(name);
  }

  // Makes a sub-folder and its parents; gives its full path.
  std::string MakeFolder(std::string_view name) const {
    std::filesystem::create_directories(PathOf(name));
    return PathOf(name);
  }

  // The exact bytes of `name`; fails the test when it cannot be read.
  [[nodiscard]] std::string Read(std::string_view name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << PathOf(name);
    std::ostringstream bytes;  // in one go: some tests hold files of tens of megabytes
    bytes << in.rdbuf();
    return std::move(bytes).str();
  }

  // True when `name` is there, as a file or a folder.
  [[nodiscard]] bool Exists(std::string_view name) const {
    return std::filesystem::exists(PathOf(name));
  }

  // The names in the folder, or in its sub-folder `name`, sorted.
  [[nodiscard]] std::vector<std::string> List(std::string_view name = {}) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathOf(name))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Every entry below the folder with its bytes ("<folder>" for a folder), sorted: a whole
  // folder to compare before and after.
  [[nodiscard]] std::vector<std::pair<std::string, std::string>> Snapshot() const {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
      const std::string relative = std::filesystem::relative(entry.path(), path_).string();
      files.emplace_back(relative, entry.is_regular_file() ? Read(relative) : "<folder>");
    }
    std::sort(files.begin(), files.end());
    return files;
  }

 private:
  std::string path_;
};

}  // namespace quillmere::testing
