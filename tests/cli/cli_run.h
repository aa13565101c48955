// quillmere-cli's command lines run in process through the command library, with string streams
// for the terminal; and copies of the sample module folder placed beside the built tool.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "platform/messages.h"
#include "support/temp_folder.h"

namespace quillmere::testing {

inline const std::string kSampleFolder = QUILLMERE_SAMPLE_FOLDER;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// The command line after the program's name; `typed` is standard input, a terminal or not.
inline CliRun RunCli(const std::vector<std::string>& arguments, const std::string& typed = {},
                     bool terminal = false) {
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in(typed);
  cli::CommandContext context{out, err, in, terminal};
  const int status = cli::RunCommandLine(arguments, context);
  return {status, out.str(), err.str()};
}

// A message box as the terminal shows it: its text and a line end.
inline std::string Line(MessageId id) {
  return std::string(MessageText(id)) + "\n";
}

// Copies the files of the sample folder into `name` inside `temp`; gives the copy's path.
inline std::string CopySamples(const TempFolder& temp, std::string_view name) {
  const std::string copy = temp.MakeFolder(name);
  for (const auto& entry : std::filesystem::directory_iterator(kSampleFolder)) {
    std::filesystem::copy_file(entry.path(), std::filesystem::path(copy) / entry.path().filename());
  }
  return copy;
}

}  // namespace quillmere::testing
