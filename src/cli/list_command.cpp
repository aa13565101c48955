#include "cli/list_command.h"

#include <array>
#include <ostream>

#include "cli/json_writer.h"
#include "cli/module_folder.h"
#include "cli/terminal_text.h"
#include "cli/terminal_toolkit.h"
#include "module/catalogue.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"

namespace quillmere::cli {
namespace {

constexpr std::array kListOptions{
    kFolderOption,
    CommandOption{"json", OptionKind::kFlag, "", "print JSON instead of text"},
};

void PrintText(std::ostream& out, const Catalogue& catalogue) {
  for (std::size_t index = 0; index < catalogue.entries.size(); ++index) {
    const ModuleEntry& entry = catalogue.entries[index];
    out << index << '\t' << TerminalText(entry.name) << '\t' << TerminalPath(FileNameOf(entry.path))
        << '\n';
  }
}

void PrintJson(std::ostream& out, const Catalogue& catalogue) {
  JsonWriter json(out);
  json.BeginObject();
  json.StringMember("folder", JsonPath(catalogue.folderPath));
  json.Key("modules");
  json.BeginArray();
  for (std::size_t index = 0; index < catalogue.entries.size(); ++index) {
    const ModuleEntry& entry = catalogue.entries[index];
    json.BeginObject();
    json.NumberMember("index", static_cast<std::int64_t>(index));
    json.StringMember("name", JsonText(entry.name));
    json.StringMember("file", JsonPath(FileNameOf(entry.path)));
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

CommandResult RunList(const ParsedArguments& arguments, CommandContext& context) {
  if (!arguments.positional().empty()) {
    return UsageError{"takes no arguments, but got '" + arguments.positional().front() + "'"};
  }
  MachineServices machine;
  TerminalToolkit toolkit(context.out, context.err, context.in, YesNoAnswers::kNotAsked);
  Catalogue catalogue;
  if (!ScanModuleFolder(arguments, catalogue, machine.services(), toolkit)) {
    return ExitStatus::kRefused;
  }
  if (arguments.Has("json")) {
    PrintJson(context.out, catalogue);
  } else {
    PrintText(context.out, catalogue);
  }
  ReleaseCatalogue(catalogue);
  return ExitStatus::kOk;
}

}  // namespace

const Command& ListCommand() {
  static const Command command{
      "list",
      "list [--folder DIR] [--json]",
      "Lists the base modules the dialog offers, in the order of its list: one line per module\n"
      "file with its index in the list, its Module_Name and its file name, separated by tabs.\n"
      "A tab, a line break, a backslash, any other control character and a byte the code page\n"
      "does not define are escaped (\\t \\n \\\\ \\xHH), so a name never breaks its line.",
      kListOptions,
      RunList,
  };
  return command;
}

}  // namespace quillmere::cli
