// A module file written into a temporary folder of its own for one benchmark, dated an hour back
// as a module lying in its folder is, and removed with its folder at the end.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/file_system.h"

namespace quillmere::bench {

class ModuleOnDisk {
 public:
  explicit ModuleOnDisk(const std::string& bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmere-bench-XXXXXX");
    if (::mkdtemp(pattern.data()) != nullptr) {
      folder_ = pattern;
      path_ = JoinPath(folder_, "Bench.ini");
      if (RealFileSystem().ReplaceFile(path_, bytes)) {
        std::filesystem::last_write_time(
            path_, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
      }
    }
  }
  ~ModuleOnDisk() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ModuleOnDisk(const ModuleOnDisk&) = delete;
  ModuleOnDisk& operator=(const ModuleOnDisk&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace quillmere::bench
