#include "cli/command_line.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <vector>

#include "cli/command_table.h"
#include "platform/code_page.h"

namespace quillmere::cli {
namespace {

// The options every command takes besides its own.
std::vector<CommandOption> CommonOptionsAdded(const Command& command) {
  std::vector<CommandOption> options(command.options.begin(), command.options.end());
  options.push_back(kCodePageOption);
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
  stream << "\nEvery command also takes --code-page N and -h (--help).\n"
         << "Run '" << kProgramName << " help <command>' for what a command does, '" << kProgramName
         << " --version' for the version.\n";
}

// One command's usage: its usage line, its description and its options.
void PrintCommandUsage(const Command& command, std::ostream& stream) {
  stream << "usage: " << kProgramName << " " << command.synopsis << "\n\n"
         << command.description << "\n\noptions:\n";
  const std::vector<CommandOption> options = CommonOptionsAdded(command);
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

bool IsHelp(std::string_view argument) {
  return argument == "-h" || argument == "--help" || argument == "help";
}

// The code page --code-page names, or the one in use; none when it names none this tool has.
std::optional<codepage::CodePage> ChosenCodePage(const ParsedArguments& arguments) {
  const std::optional<std::string> given = arguments.Value(kCodePageOption.name);
  if (!given) {
    return codepage::ActiveCodePage();
  }
  codepage::CodePage number = 0;
  const char* end = given->data() + given->size();
  const auto [stop, error] = std::from_chars(given->data(), end, number);
  if (error != std::errc() || stop != end || !codepage::IsSupported(number)) {
    return std::nullopt;
  }
  return number;
}

int RunCommand(const Command& command, std::span<const std::string> arguments,
               CommandContext& context) {
  const std::vector<CommandOption> options = CommonOptionsAdded(command);
  auto parsed = ParseArguments(arguments, options);
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    return CommandUsageError(command, error->message, context);
  }
  const auto& commandArguments = std::get<ParsedArguments>(parsed);
  if (commandArguments.Has(kHelpOption.name)) {
    PrintCommandUsage(command, context.out);
    return ExitCode(ExitStatus::kOk);
  }
  const std::optional<codepage::CodePage> codePage = ChosenCodePage(commandArguments);
  if (!codePage) {
    return CommandUsageError(command,
                             "no code page " + *commandArguments.Value(kCodePageOption.name) +
                                 " here (the ANSI code pages of Windows: 874, 932, 936, 949, "
                                 "950, 1250-1258, 1361; and 65001, UTF-8)",
                             context);
  }
  const codepage::ActiveCodePageScope scope(*codePage);
  const CommandResult result = command.run(commandArguments, context);
  if (const auto* error = std::get_if<UsageError>(&result)) {
    return CommandUsageError(command, error->message, context);
  }
  return ExitCode(std::get<ExitStatus>(result));
}

}  // namespace

int RunCommandLine(std::span<const std::string> arguments, CommandContext& context) {
  if (arguments.empty()) {
    return GeneralUsageError("no command given", context);
  }
  const std::string& name = arguments.front();
  if (name == "--version") {
    context.out << kProgramName << " " << kVersion << "\n";
    return ExitCode(ExitStatus::kOk);
  }
  if (IsHelp(name)) {
    if (arguments.size() == 1) {
      PrintUsage(context.out);
      return ExitCode(ExitStatus::kOk);
    }
    const Command* command = FindCommand(arguments[1]);
    if (command == nullptr || arguments.size() > 2) {
      return GeneralUsageError("help takes one command's name", context);
    }
    PrintCommandUsage(*command, context.out);
    return ExitCode(ExitStatus::kOk);
  }
  const Command* command = FindCommand(name);
  if (command == nullptr) {
    return GeneralUsageError(
        (name.starts_with("-") ? "unknown option '" : "unknown command '") + name + "'", context);
  }
  return RunCommand(*command, arguments.subspan(1), context);
}

}  // namespace quillmere::cli
