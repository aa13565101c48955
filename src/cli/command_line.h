// The dispatcher of quillmere-cli: picks the command named by the first argument, parses its
// options, answers -h, --help, help and --version, runs the command in the code page that
// --code-page chooses, and turns usage errors into a short usage text on standard error (what is
// wrong, the usage line, where to read more) and exit status 2.
#pragma once

#include <span>
#include <string>

#include "cli/command.h"

namespace quillmere::cli {

// Runs the command line `arguments` (the program's name left out); gives the exit status.
[[nodiscard]] int RunCommandLine(std::span<const std::string> arguments, CommandContext& context);

}  // namespace quillmere::cli
