#include "cli/check_command.h"

#include <array>
#include <ostream>

#include "cli/json_writer.h"
#include "cli/module_folder.h"
#include "cli/module_problems.h"
#include "cli/terminal_text.h"
#include "cli/terminal_toolkit.h"
#include "platform/file_system.h"
#include "platform/machine_services.h"

namespace quillmere::cli {
namespace {

constexpr std::array kCheckOptions{
    kFolderOption,
    CommandOption{"json", OptionKind::kFlag, "", "print JSON instead of text"},
};

constexpr std::string_view kStagingMessage =
    "a staging file of a derivation whose process is gone, cut off before its new module was in "
    "place";

void PrintCheck(std::ostream& out, const FolderCheck& check) {
  for (const ModuleCheck& module : check.modules) {
    out << TerminalPath(FileNameOf(module.entry.path)) << " \"" << TerminalText(module.entry.name)
        << "\": ";
    if (module.problems.empty()) {
      out << "no problems\n";
      continue;
    }
    out << module.problems.size() << (module.problems.size() == 1 ? " problem\n" : " problems\n");
    for (const ModuleProblem& problem : module.problems) {
      out << "  " << problem.kind << ": " << TerminalText(problem.message) << '\n';
    }
  }
  for (const std::string& name : check.staging) {
    out << TerminalPath(name) << ": " << kStagingMessage << '\n';
  }
}

void WriteCheckJson(std::ostream& out, const FolderCheck& check) {
  JsonWriter json(out);
  json.BeginObject();
  json.Key("modules");
  json.BeginArray();
  for (const ModuleCheck& module : check.modules) {
    json.BeginObject();
    json.StringMember("file", JsonPath(FileNameOf(module.entry.path)));
    json.StringMember("moduleName", JsonText(module.entry.name));
    json.Key("problems");
    json.BeginArray();
    for (const ModuleProblem& problem : module.problems) {
      json.BeginObject();
      json.StringMember("kind", problem.kind);
      json.StringMember("message", JsonText(problem.message));
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  json.Key("stagingFiles");
  json.BeginArray();
  for (const std::string& name : check.staging) {
    json.String(JsonPath(name));
  }
  json.EndArray();
  json.EndObject();
}

CommandResult RunCheck(const ParsedArguments& arguments, CommandContext& context) {
  if (!arguments.positional().empty()) {
    return UsageError{"takes no arguments, but got '" + arguments.positional().front() + "'"};
  }
  const MachineServices machine;
  TerminalToolkit toolkit(context.out, context.err, context.in, YesNoAnswers::kNotAsked);
  Catalogue catalogue;
  if (!ScanModuleFolder(arguments, catalogue, machine.services(), toolkit)) {
    return ExitStatus::kRefused;
  }
  const FolderCheck check = CheckModules(catalogue, machine.services());
  if (arguments.Has("json")) {
    WriteCheckJson(context.out, check);
  } else {
    PrintCheck(context.out, check);
  }
  return check.FoundProblems() ? ExitStatus::kRefused : ExitStatus::kOk;
}

}  // namespace

const Command& CheckCommand() {
  static const Command command{
      "check",
      "check [--folder DIR] [--json]",
      "Checks every module the dialog lists, in the order of its list: records the load leaves\n"
      "out and why, a UTF-8 byte-order mark that hides the first section, void or stop triggers\n"
      "that are not at the end of the Mutli-Command list, no record tagged TRAN_STOP, a module\n"
      "library named but not found or not loadable, a Module_Name another file shows too or one\n"
      "a derivation refuses; and staging files that a derivation cut off left behind. Exit\n"
      "status: 0 nothing found, 1 a problem found or no module folder, 2 usage.",
      kCheckOptions,
      RunCheck,
  };
  return command;
}

}  // namespace quillmere::cli
