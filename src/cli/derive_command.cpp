#include "cli/derive_command.h"

#include <array>
#include <memory>
#include <ostream>
#include <vector>

#include "cli/inspect_text.h"
#include "cli/inspection.h"
#include "cli/module_folder.h"
#include "cli/terminal_text.h"
#include "cli/terminal_toolkit.h"
#include "cli/unified_diff.h"
#include "derive/derive_module.h"
#include "derive/typed_texts.h"
#include "module/catalogue.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"

namespace quillmere::cli {
namespace {

constexpr std::array kDeriveOptions{
    kFolderOption,
    CommandOption{"base", OptionKind::kValue, "FILE",
                  "the base module's file name as the folder lists it (e.g. EpsonTM88.ini)"},
    CommandOption{"name", OptionKind::kValue, "NAME", "the new module's name (and file name)"},
    CommandOption{"void", OptionKind::kValue, "KEYWORD", "the text printed on a voided receipt"},
    CommandOption{"stop", OptionKind::kValue, "KEYWORD", "the text printed at a transaction's end"},
    CommandOption{"form-feed", OptionKind::kFlag, "", "a Form Feed byte (0x0C) ends a transaction"},
    CommandOption{"cut-paper", OptionKind::kFlag, "",
                  "the Epson cut-paper command GS V ends a transaction"},
    CommandOption{"yes", OptionKind::kFlag, "",
                  "answer Yes to the questions (overwrite, no stop signal) without asking"},
    CommandOption{"dry-run", OptionKind::kFlag, "",
                  "write nothing; show what would be written, as a diff from the base"},
};

// The base selection the dialog's list would give: the entry listed under that file name, or
// none when the folder lists no such file.
std::optional<std::int32_t> BaseSelectionOf(const Catalogue& catalogue,
                                            const std::string& fileName) {
  for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
    if (FileNameOf(catalogue.entries[i].path) == fileName) {
      return static_cast<std::int32_t>(i);
    }
  }
  return std::nullopt;
}

// "--base 'X' is not a module of the folder 'F', which holds: A, B".
UsageError UnlistedBase(const std::optional<std::string>& base, const Catalogue& catalogue) {
  std::string message = base ? "--base '" + *base + "' is not a module of the folder '"
                             : "--base is missing; the module folder '";
  message += TerminalPath(catalogue.folderPath) + "'" + (base ? ", which holds: " : " holds: ");
  for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
    message += (i == 0 ? "" : ", ") + TerminalPath(FileNameOf(catalogue.entries[i].path));
  }
  return UsageError{message};
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

// The dry run's answer: the file the derivation would write, as a diff from its base.
void PrintPreview(std::ostream& out, const DerivePreview& preview) {
  const std::string target =
      TerminalPath(preview.targetPath) +
      (preview.overwrites ? "\t(would be overwritten)" : "\t(would be a new file)");
  out << UnifiedDiff({TerminalPath(preview.basePath), preview.baseBytes},
                     {target, preview.newBytes}, TerminalText);
}

// What inspect would warn of in the base, on standard error before the derivation asks anything:
// it explains a module that ends up without a stop signal. Told of the base as the derivation
// loaded it, which is loaded once.
BaseReadHook BaseProblemsTo(std::ostream& err) {
  return [&err](const BaseAsRead& base) {
    const std::string prefix = std::string(kProgramName) + " derive: the base module " +
                               TerminalPath(FileNameOf(base.path)) + ": ";
    PrintBaseProblems(err, prefix, Inspect(base.module, base.path, base.bytes, base.store));
  };
}

// The loaded base is what the dialog keeps until its window goes; the command line ends right
// after the derivation, and freeing a large module record by record costs more than writing the
// new module did. It is left to the end of the process, still reachable.
void KeepUntilTheProcessEnds(std::unique_ptr<PrinterCommandModule> module) {
  static auto* const kept = new std::vector<PrinterCommandModule*>();
  kept->push_back(module.release());
}

CommandResult RunDerive(const ParsedArguments& arguments, CommandContext& context) {
  if (!arguments.positional().empty()) {
    return UsageError{"takes no arguments, but got '" + arguments.positional().front() + "'"};
  }
  DeriveInputs inputs;
  inputs.formFeedOption = arguments.Has("form-feed");
  inputs.cutPaperOption = arguments.Has("cut-paper");
  const std::string name = arguments.Value("name").value_or("");
  const std::string voidKeyword = arguments.Value("void").value_or("");
  const std::string stopKeyword = arguments.Value("stop").value_or("");
  // The dialog never lets both options, or an option and a stop keyword, stand together.
  if (inputs.formFeedOption && inputs.cutPaperOption) {
    return UsageError{"--form-feed and --cut-paper exclude each other"};
  }
  if ((inputs.formFeedOption || inputs.cutPaperOption) && !stopKeyword.empty()) {
    return UsageError{"--stop cannot be given with --form-feed or --cut-paper"};
  }

  const MachineServices machine;
  TerminalToolkit toolkit(context.out, context.err, context.in,
                          YesNoAnswersFor(arguments.Has("yes"), context.inputIsTerminal));
  Catalogue catalogue;
  if (!ScanModuleFolder(arguments, catalogue, machine.services(), toolkit)) {
    return ExitStatus::kRefused;
  }
  const std::optional<std::string> base = arguments.Value("base");
  const std::optional<std::int32_t> selection =
      base ? BaseSelectionOf(catalogue, PathFromTerminal(*base)) : std::nullopt;
  if (!selection) {
    return UnlistedBase(base, catalogue);
  }
  inputs.baseSelection = *selection;
  if (const std::optional<InputRefusal> refusal =
          TakeTypedTexts({name, voidKeyword, stopKeyword}, inputs)) {
    toolkit.ShowDetailedMessage(refusal->message, MessageButtons::kOk, refusal->detail);
    return ExitStatus::kRefused;
  }
  DeriveResult result =
      DeriveModule(inputs, catalogue, machine.services(), toolkit,
                   arguments.Has("dry-run") ? DeriveMode::kDryRun : DeriveMode::kWrite,
                   BaseProblemsTo(context.err));
  if (result.loadedBase) {
    KeepUntilTheProcessEnds(std::move(result.loadedBase));
  }
  if (result.preview) {
    PrintPreview(context.out, *result.preview);
  }
  return ExitStatusOf(result.outcome);
}

}  // namespace

const Command& DeriveCommand() {
  static const Command command{
      "derive",
      "derive [--folder DIR] --base FILE --name NAME [--void KEYWORD]\n"
      "       [--stop KEYWORD | --form-feed | --cut-paper] [--yes] [--dry-run]",
      "Derives a new module from a base module of the folder, as the dialog's \"Go\" does:\n"
      "the same checks and messages, each with a line of detail, and the new file written\n"
      "whole or not at all. What the base module lacks (its module library, records left\n"
      "out) is told first. Asks before overwriting a module file and before saving a module\n"
      "without a transaction stop signal; without a terminal to ask on, only --yes goes on.\n"
      "--dry-run runs every check, question and write in memory and writes nothing: it prints\n"
      "the new file as a unified diff from the base, its header naming the file it would write\n"
      "and whether that would be overwritten, and exits as the real run would.\n"
      "Exit status: 0 success, 1 refused or declined, 2 usage, 3 the copy or a write failed.",
      kDeriveOptions,
      RunDerive,
  };
  return command;
}

}  // namespace quillmere::cli
