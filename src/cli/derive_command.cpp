#include "cli/derive_command.h"

#include <array>

#include "cli/module_folder.h"
#include "cli/terminal_toolkit.h"
#include "derive/derive_module.h"
#include "module/catalogue.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"

namespace quillmere::cli {
namespace {

constexpr std::array kDeriveOptions{
    kFolderOption,
    CommandOption{"base", OptionKind::kValue, "FILE",
                  "the base module's file name as the folder lists it (e.g. Epson.ini)"},
    CommandOption{"name", OptionKind::kValue, "NAME", "the new module's name (and file name)"},
    CommandOption{"void", OptionKind::kValue, "KEYWORD", "the text printed on a voided receipt"},
    CommandOption{"stop", OptionKind::kValue, "KEYWORD", "the text printed at a transaction's end"},
    CommandOption{"form-feed", OptionKind::kFlag, "", "a Form Feed byte (0x0C) ends a transaction"},
    CommandOption{"cut-paper", OptionKind::kFlag, "",
                  "the Epson cut-paper command GS V ends a transaction"},
    CommandOption{"yes", OptionKind::kFlag, "", "overwrite an existing module file without asking"},
};

// The base selection the dialog's list would give: the entry listed under that file name, or
// none (-1) when the folder lists no such file.
std::int32_t BaseSelectionOf(const Catalogue& catalogue, const std::string& fileName) {
  for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
    if (FileNameOf(catalogue.entries[i].path) == fileName) {
      return static_cast<std::int32_t>(i);
    }
  }
  return -1;
}

ExitStatus ExitStatusOf(DeriveOutcome outcome) {
  switch (outcome) {
    case DeriveOutcome::kSucceeded:
      return ExitStatus::kOk;
    case DeriveOutcome::kRefused:
    case DeriveOutcome::kDeclined:
      return ExitStatus::kRefused;
    case DeriveOutcome::kCopyFailed:
    case DeriveOutcome::kWriteFailed:
      return ExitStatus::kFailed;
  }
  return ExitStatus::kFailed;
}

CommandResult RunDerive(const ParsedArguments& arguments, CommandContext& context) {
  if (!arguments.positional().empty()) {
    return UsageError{"takes no arguments, but got '" + arguments.positional().front() + "'"};
  }
  DeriveInputs inputs;
  inputs.formFeedOption = arguments.Has("form-feed");
  inputs.cutPaperOption = arguments.Has("cut-paper");
  inputs.newModuleName = arguments.Value("name").value_or("");
  inputs.voidKeyword = arguments.Value("void").value_or("");
  inputs.stopKeyword = arguments.Value("stop").value_or("");
  // The dialog never lets both options, or an option and a stop keyword, stand together.
  if (inputs.formFeedOption && inputs.cutPaperOption) {
    return UsageError{"--form-feed and --cut-paper exclude each other"};
  }
  if ((inputs.formFeedOption || inputs.cutPaperOption) && !inputs.stopKeyword.empty()) {
    return UsageError{"--stop cannot be given with --form-feed or --cut-paper"};
  }

  const MachineServices machine;
  TerminalToolkit toolkit(context.out, context.err, context.in,
                          YesNoAnswersFor(arguments.Has("yes"), context.inputIsTerminal));
  Catalogue catalogue;
  if (!ScanModuleFolder(arguments, catalogue, machine.services(), toolkit)) {
    return ExitStatus::kRefused;
  }
  inputs.baseSelection = BaseSelectionOf(catalogue, arguments.Value("base").value_or(""));
  const DeriveResult result = DeriveModule(inputs, catalogue, machine.services(), toolkit);
  // Below the message the toolkit printed: why, where the message alone does not say.
  if (!result.reason.empty()) {
    context.err << result.reason << "\n";
  }
  return ExitStatusOf(result.outcome);
}

}  // namespace

const Command& DeriveCommand() {
  static const Command command{
      "derive",
      "derive [--folder DIR] --base FILE --name NAME [--void KEYWORD] [--stop KEYWORD]\n"
      "       [--form-feed | --cut-paper] [--yes]",
      "Derives a new module from a base module of the folder, as the dialog's \"Go\" does:\n"
      "the same checks and messages, the new file written whole or not at all. Exit status:\n"
      "0 success, 1 refused or declined, 2 usage, 3 the copy or a write failed.",
      kDeriveOptions,
      RunDerive,
  };
  return command;
}

}  // namespace quillmere::cli
