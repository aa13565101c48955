#include "cli/command_line.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/command_table.h"

namespace quillmere::cli {
namespace {

std::vector<CommandOption> OptionsWithHelp(const Command& command) {
  std::vector<CommandOption> options(command.options.begin(), command.options.end());
  options.push_back(kHelpOption);
  return options;
}

std::string OptionLabel(const CommandOption& option) {
  std::string label = "--" + std::string(option.name);
  if (option.kind == OptionKind::kValue) {
    label += " " + std::string(option.valueName);
  }
  return label;
}

// The general usage: every command's usage line.
void PrintUsage(std::ostream& stream) {
  stream << "usage: " << kProgramName << " <command> [options]\n\ncommands:\n";
  for (const Command* command : AllCommands()) {
    stream << "  " << kProgramName << " " << command->synopsis << "\n";
  }
  stream << "\nRun '" << kProgramName << " <command> --help' for what a command does.\n";
}

// One command's usage: its usage line, its description and its options.
void PrintCommandUsage(const Command& command, std::ostream& stream) {
  stream << "usage: " << kProgramName << " " << command.synopsis << "\n\n"
         << command.description << "\n\noptions:\n";
  const std::vector<CommandOption> options = OptionsWithHelp(command);
  std::size_t width = 0;
  for (const CommandOption& option : options) {
    width = std::max(width, OptionLabel(option).size());
  }
  for (const CommandOption& option : options) {
    const std::string label = OptionLabel(option);
    stream << "  " << label << std::string(width - label.size() + 2, ' ') << option.help << "\n";
  }
}

int ExitCode(ExitStatus status) {
  return static_cast<int>(status);
}

int GeneralUsageError(std::string_view message, CommandContext& context) {
  context.err << kProgramName << ": " << message << "\n";
  PrintUsage(context.err);
  return ExitCode(ExitStatus::kUsage);
}

int CommandUsageError(const Command& command, std::string_view message, CommandContext& context) {
  context.err << kProgramName << " " << command.name << ": " << message << "\n"
              << "usage: " << kProgramName << " " << command.synopsis << "\n"
              << "Run '" << kProgramName << " " << command.name << " --help' for its options.\n";
  return ExitCode(ExitStatus::kUsage);
}

}  // namespace

int RunCommandLine(std::span<const std::string> arguments, CommandContext& context) {
  if (arguments.empty()) {
    return GeneralUsageError("no command given", context);
  }
  const std::string& name = arguments.front();
  if (name == "--" + std::string(kHelpOption.name)) {
    PrintUsage(context.out);
    return ExitCode(ExitStatus::kOk);
  }
  const Command* command = FindCommand(name);
  if (command == nullptr) {
    return GeneralUsageError(
        (name.starts_with("-") ? "unknown option '" : "unknown command '") + name + "'", context);
  }
  const std::vector<CommandOption> options = OptionsWithHelp(*command);
  auto parsed = ParseArguments(arguments.subspan(1), options);
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    return CommandUsageError(*command, error->message, context);
  }
  const auto& commandArguments = std::get<ParsedArguments>(parsed);
  if (commandArguments.Has(kHelpOption.name)) {
    PrintCommandUsage(*command, context.out);
    return ExitCode(ExitStatus::kOk);
  }
  const CommandResult result = command->run(commandArguments, context);
  if (const auto* error = std::get_if<UsageError>(&result)) {
    return CommandUsageError(*command, error->message, context);
  }
  return ExitCode(std::get<ExitStatus>(result));
}

}  // namespace quillmere::cli
