// Runs an executable as a child process, the way a shell script would, but without a shell:
// the arguments go to it as given, standard input is fed from a string (or is empty and no
// terminal), and standard output, standard error and the exit status come back. End-to-end
// tests of quillmere-cli use it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillmere::testing {

struct ProcessResult {
  // The exit status when the process exited; none when it was killed by a signal (or could not
  // be started, which `error` then tells).
  std::optional<int> exitStatus;
  int signal = 0;  // the signal that ended it, or 0
  std::string out;
  std::string err;
  std::string error;  // why the process could not be run; empty when it ran
};

struct ProcessOptions {
  std::optional<std::string> input;          // standard input; none gives an empty one
  std::optional<std::string> workingFolder;  // none keeps the test's current folder
};

[[nodiscard]] ProcessResult RunProcess(const std::string& executable,
                                       const std::vector<std::string>& arguments,
                                       const ProcessOptions& options = {});

}  // namespace quillmere::testing
