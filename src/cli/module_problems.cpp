#include "cli/module_problems.h"

#include <algorithm>

#include "cli/inspection.h"
#include "derive/module_file_name.h"
#include "derive/staging_files.h"
#include "module/printer_command_module.h"
#include "platform/file_system.h"
#include "platform/text.h"

namespace quillmere::cli {
namespace {

void LeftOutProblems(const PrinterCommandModule& module, std::vector<ModuleProblem>& problems) {
  for (const LeftOutRecord& left : module.leftOut) {
    problems.push_back({"left out", "[" + left.section + "] " + std::to_string(left.key) + " = " +
                                        left.value + ": " + DescribeParseError(left.error)});
  }
  for (const MissingKeys& missing : module.missingKeys) {
    problems.push_back({"left out", "[" + missing.section + "] holds " +
                                        std::to_string(missing.keysPresent) + " of the " +
                                        std::to_string(missing.count) + " keys its count names"});
  }
}

void TriggerProblem(std::string_view event, const std::optional<std::int32_t>& holder, bool atEnd,
                    std::vector<ModuleProblem>& problems) {
  if (holder && !atEnd) {
    problems.push_back(
        {"trigger not last", "the " + std::string(event) + " trigger of Mutli-Command " +
                                 std::to_string(*holder) +
                                 " is not at the end of the list: a derivation keeps it, and "
                                 "the new module has the old trigger beside the new one"});
  }
}

// The path UseDll names: all after the flag's comma.
std::string NamedLibrary(const PrinterCommandModule& module) {
  const std::size_t comma = module.librarySetting.find(',');
  return comma == std::string::npos ? std::string() : module.librarySetting.substr(comma + 1);
}

void LibraryProblem(const PrinterCommandModule& module, std::vector<ModuleProblem>& problems) {
  const std::string named = NamedLibrary(module);
  if (!module.useLibrary || named.empty()) {
    return;
  }
  if (module.libraryFoundAt.empty()) {
    problems.push_back({"library not found", "the module library '" + named +
                                                 "' that UseDll names is not found: its "
                                                 "kind-3 records are left out"});
  } else if (!module.library) {
    problems.push_back({"library not loadable", "the module library " + module.libraryFoundAt +
                                                    " does not load: its kind-3 records are "
                                                    "left out"});
  }
}

void NameProblems(const Catalogue& catalogue, const ModuleEntry& entry,
                  std::vector<ModuleProblem>& problems) {
  if (entry.name.empty()) {
    problems.push_back({"empty name", "Module_Name is empty: the list shows an empty line"});
    return;
  }
  for (const ModuleEntry& other : catalogue.entries) {
    if (&other != &entry && text::EqualsIgnoreCase(other.name, entry.name)) {
      problems.push_back({"name shown twice", "Module_Name \"" + entry.name + "\" is shown by " +
                                                  FileNameOf(other.path) + " too"});
    }
  }
  if (const std::optional<std::string> refusal = ModuleNameRefusal(entry.name)) {
    problems.push_back({"name refused", "Module_Name \"" + entry.name +
                                            "\" is a name a derivation refuses: " + *refusal});
  }
}

std::vector<ModuleProblem> CheckModule(const Catalogue& catalogue, const ModuleEntry& entry,
                                       const PlatformServices& services) {
  std::vector<ModuleProblem> problems;
  const std::optional<std::string> bytes =
      services.files.IsFolder(entry.path) ? std::nullopt : services.files.ReadFile(entry.path);
  if (!bytes) {
    problems.push_back({"unreadable", "the module file cannot be read"});
    return problems;
  }
  PrinterCommandModule module(services);
  module.Load(entry.path);
  const Inspection inspection = Inspect(module, entry.path, *bytes, services.store);
  if (inspection.byteOrderMark) {
    problems.push_back({"byte-order mark", std::string(kByteOrderMarkWarning)});
  }
  LeftOutProblems(module, problems);
  TriggerProblem("void", inspection.holders.voidHolder, inspection.holders.voidAtEnd, problems);
  TriggerProblem("stop", inspection.holders.stopHolder, inspection.holders.stopAtEnd, problems);
  if (module.noStopTag) {
    problems.push_back({"no stop tag", "no record is tagged TRAN_STOP"});
  }
  LibraryProblem(module, problems);
  NameProblems(catalogue, entry, problems);
  return problems;
}

}  // namespace

bool FolderCheck::FoundProblems() const {
  return !staging.empty() || std::any_of(modules.begin(), modules.end(), [](const auto& module) {
    return !module.problems.empty();
  });
}

FolderCheck CheckModules(const Catalogue& catalogue, const PlatformServices& services) {
  FolderCheck check;
  for (const ModuleEntry& entry : catalogue.entries) {
    check.modules.push_back({entry, CheckModule(catalogue, entry, services)});
  }
  check.staging = StaleStagingFiles(services.files, catalogue.folderPath);
  return check;
}

}  // namespace quillmere::cli
