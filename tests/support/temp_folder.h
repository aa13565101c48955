// A temporary folder for one test, removed with everything in it when the test ends. Tests write
// their module files here and read back the bytes the code under test left.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmere::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }

  // The full path of `name` inside the folder (`name` may hold sub-folders).
  [[nodiscard]] std::string PathOf(std::string_view name) const;

  // Writes `bytes` exactly to `name`, making the sub-folders it needs; gives its full path.
  std::string Write(std::string_view name, std::string_view bytes) const;

  // Makes a sub-folder (and its parents); gives its full path.
  std::string MakeFolder(std::string_view name) const;

  // The exact bytes of `name`; fails the test when it cannot be read.
  [[nodiscard]] std::string Read(std::string_view name) const;

  [[nodiscard]] bool Exists(std::string_view name) const;

  // The names in the folder (or a sub-folder), sorted, "." and ".." left out.
  [[nodiscard]] std::vector<std::string> List(std::string_view name = {}) const;

  // Every file below the folder with its bytes, for comparing a whole folder before and after.
  [[nodiscard]] std::vector<std::pair<std::string, std::string>> Snapshot() const;

 private:
  std::string path_;
};

}  // namespace quillmere::testing
