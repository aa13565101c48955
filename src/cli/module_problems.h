// What `check` finds wrong with the modules of a folder, module by module as the dialog lists
// them: records the load leaves out, a byte-order mark that hides the first section, old void or
// stop triggers a derivation would keep inside the list, no stop tag, a module library named but
// not found or not loadable, a Module_Name another file shows too or one a derivation refuses;
// and the staging files of derivations whose process is gone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "module/catalogue.h"
#include "platform/services.h"

namespace quillmere::cli {

struct ModuleProblem {
  std::string_view kind;  // a few fixed words: "left out", "no stop tag", ...
  std::string message;    // what is wrong, in the shop's code page
};

struct ModuleCheck {
  const ModuleEntry& entry;
  std::vector<ModuleProblem> problems;
};

struct FolderCheck {
  std::vector<ModuleCheck> modules;  // in catalogue order
  std::vector<std::string> staging;  // file names of staging files in the folder

  [[nodiscard]] bool FoundProblems() const;
};

[[nodiscard]] FolderCheck CheckModules(const Catalogue& catalogue,
                                       const PlatformServices& services);

}  // namespace quillmere::cli
