#include "cli/list_command.h"

#include <array>
#include <ostream>

#include "cli/module_folder.h"
#include "cli/terminal_toolkit.h"
#include "module/catalogue.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"

namespace quillmere::cli {
namespace {

constexpr std::array kListOptions{kFolderOption};

CommandResult RunList(const ParsedArguments& arguments, CommandContext& context) {
  if (!arguments.positional().empty()) {
    return UsageError{"takes no arguments, but got '" + arguments.positional().front() + "'"};
  }
  MachineServices machine;
  TerminalToolkit toolkit(context.out, context.err, context.in, YesNoAnswers::kAlwaysNo);
  Catalogue catalogue;
  if (!ScanModuleFolder(arguments, catalogue, machine.services(), toolkit)) {
    return ExitStatus::kRefused;
  }
  for (const ModuleEntry& entry : catalogue.entries) {
    context.out << FileNameOf(entry.path) << '\t' << entry.name << '\n';
  }
  ReleaseCatalogue(catalogue);
  return ExitStatus::kOk;
}

}  // namespace

const Command& ListCommand() {
  static const Command command{
      "list",
      "list [--folder DIR]",
      "Lists the base modules the dialog offers, in the order of its list: one line per module\n"
      "file, its file name and its Module_Name separated by a tab. An empty Module_Name leaves\n"
      "the text after the tab empty.",
      kListOptions,
      RunList,
  };
  return command;
}

}  // namespace quillmere::cli
