// What one quillmere-cli command is: its name, its usage, the options it accepts and the
// function that runs it. The dispatcher (command_line.h) parses the options, answers --help and
// reports usage errors, so a command only does its own work.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>
#include <variant>

#include "cli/arguments.h"

namespace quillmere::cli {

inline constexpr std::string_view kProgramName = "quillmere-cli";
inline constexpr std::string_view kVersion = QUILLMERE_VERSION;

// The exit statuses every command shares.
enum class ExitStatus : int {
  kOk = 0,
  kRefused = 1,  // a check refused the inputs, the user declined, or the scan found nothing
  kUsage = 2,    // the command line cannot be run
  kFailed = 3,   // a copy or a write failed
};

// Where a command talks to the user.
struct CommandContext {
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
  bool inputIsTerminal = false;
};

// A command ends with an exit status, or finds its command line unusable after parsing it
// (options that exclude each other, a missing argument); the dispatcher prints the usage then.
using CommandResult = std::variant<ExitStatus, UsageError>;

struct Command {
  std::string_view name;
  std::string_view synopsis;               // what follows "quillmere-cli" in the usage line
  std::string_view description;            // a few lines for --help
  std::span<const CommandOption> options;  // --help is added by the dispatcher
  CommandResult (*run)(const ParsedArguments& arguments, CommandContext& context);
};

}  // namespace quillmere::cli
