// The dispatcher of quillmere-cli: picks the command named by the first argument, parses its
// options, answers --help, and turns usage errors into a short usage text on standard error
// (what is wrong, the usage line, where to read more) and exit status 2.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

#include "cli/command.h"

namespace quillmere::cli {

// The general usage: every command's usage line.
void PrintUsage(std::ostream& stream);

// One command's usage: its usage line, its description and its options.
void PrintCommandUsage(const Command& command, std::ostream& stream);

// Runs the command line `arguments` (the program's name left out); gives the exit status.
[[nodiscard]] int RunCommandLine(std::span<const std::string> arguments, CommandContext& context);

}  // namespace quillmere::cli
