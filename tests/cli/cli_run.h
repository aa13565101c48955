// quillmere-cli's command lines run in process, and copies of the sample module folder.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "platform/code_page.h"
#include "support/temp_folder.h"

namespace quillmere::testing {

inline const std::string kSampleFolder = QUILLMERE_SAMPLE_FOLDER;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// The command line after the program's name; `typed` is standard input, a terminal or not. The
// shop's code page is 1252 unless --code-page says otherwise, whatever the locale.
inline CliRun RunCli(const std::vector<std::string>& arguments, const std::string& typed = {},
                     bool terminal = false) {
  const codepage::ActiveCodePageScope westernEuropean(1252);
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in(typed);
  cli::CommandContext context{out, err, in, terminal};
  const int status = cli::RunCommandLine(arguments, context);
  return {status, out.str(), err.str()};
}

// `text` with every `from` in it replaced by `to`: a test's folders shown as the expected files
// name them.
inline std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Copies the sample folder to `name` inside `temp`; gives the copy's path.
inline std::string CopySamples(const TempFolder& temp, std::string_view name) {
  std::string copy = temp.MakeFolder(name);
  std::filesystem::copy(kSampleFolder, copy);
  return copy;
}

}  // namespace quillmere::testing
