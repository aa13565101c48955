#include "cli/inspect_command.h"

#include <array>
#include <optional>
#include <ostream>

#include "cli/inspect_json.h"
#include "cli/inspect_text.h"
#include "cli/inspection.h"
#include "cli/terminal_text.h"
#include "module/printer_command_module.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"

namespace quillmere::cli {
namespace {

constexpr std::array kInspectOptions{
    CommandOption{"json", OptionKind::kFlag, "", "print JSON instead of text"},
};

CommandResult RunInspect(const ParsedArguments& arguments, CommandContext& context) {
  if (arguments.positional().size() != 1) {
    return UsageError{"takes one module file"};
  }
  const std::string path = PathFromTerminal(arguments.positional().front());
  const MachineServices machine;
  const PlatformServices& services = machine.services();
  // Unlike the loader, an inspection says so when there is no module file to look at.
  const std::optional<std::string> bytes =
      services.files.IsFolder(path) ? std::nullopt : services.files.ReadFile(path);
  if (!bytes) {
    context.err << kProgramName << " inspect: cannot read the module file '"
                << arguments.positional().front() << "': " << UnreadableReason(services.files, path)
                << "\n";
    return ExitStatus::kUsage;
  }
  PrinterCommandModule module(services);
  module.Load(path);
  const Inspection inspection = Inspect(module, path, *bytes, services.store);
  if (arguments.Has("json")) {
    WriteInspectionJson(context.out, inspection);
  } else {
    PrintInspection(context.out, inspection);
  }
  return inspection.SomethingLeftOut() ? ExitStatus::kRefused : ExitStatus::kOk;
}

}  // namespace

const Command& InspectCommand() {
  static const Command command{
      "inspect",
      "inspect FILE [--json]",
      "Loads a module file as a derivation loads it and shows what the model holds: the lists\n"
      "with their keys, the module library, the records the load left out and why, and what a\n"
      "derivation would rewrite. Module text is shown converted from the shop's code page;\n"
      "a byte the code page does not define is \\xHH in text and U+FFFD in JSON. Exit status:\n"
      "0 nothing left out, 1 something left out, 2 usage or a file that cannot be read.",
      kInspectOptions,
      RunInspect,
  };
  return command;
}

}  // namespace quillmere::cli
