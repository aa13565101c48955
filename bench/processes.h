// Running the programs a figure compares as processes, as a user or a script runs them: the
// tool's command-line front end, cp, the C reader and the two dialog programs.
#pragma once

#include <string>
#include <vector>

namespace quillmere::bench {

struct Command {
  std::string program;                      // a path; no search along PATH
  std::vector<std::string> arguments;       // without the program's name
  std::vector<std::string> extraVariables;  // NAME=VALUE, added to this process's environment
};

// Runs the command to its end, with standard input, output and error on /dev/null; its exit
// status, or -1 when it could not be started or did not end normally.
int RunToEnd(const Command& command);

// Runs the command until it writes its first byte to standard output, then waits for it to end;
// the seconds from just before the start to that byte, or a negative number when it wrote
// nothing. A dialog program writes when its dialog is shown: the time a user waits for it.
double SecondsUntilFirstOutput(const Command& command);

}  // namespace quillmere::bench
