// Runs an executable as a child process, as a script would but without a shell: the arguments
// go to it as given, standard input is empty and no terminal, and what it wrote to standard
// output and standard error comes back with its exit status. The end-to-end tests of
// quillmere-cli use it.
#pragma once

#include <string>
#include <vector>

namespace quillmere::testing {

struct ProcessResult {
  int exitStatus = -1;  // -1 when it could not be started or did not exit normally
  std::string out;
  std::string err;
};

[[nodiscard]] ProcessResult RunProcess(const std::string& executable,
                                       const std::vector<std::string>& arguments);

}  // namespace quillmere::testing
