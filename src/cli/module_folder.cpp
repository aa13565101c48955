#include "cli/module_folder.h"

#include "cli/terminal_text.h"
#include "platform/file_system.h"

namespace quillmere::cli {
namespace {

// "dir/" and "dir" name the same folder; without the trailing separator the module paths built
// from it read as the dialog builds them. The root keeps its one separator.
std::string WithoutTrailingSeparators(std::string folder) {
  while (folder.size() > 1 && folder.back() == kPathSeparator) {
    folder.pop_back();
  }
  return folder;
}

}  // namespace

bool ScanModuleFolder(const ParsedArguments& arguments, Catalogue& catalogue,
                      const PlatformServices& services, Toolkit& toolkit) {
  const std::optional<std::string> folder = arguments.Value(kFolderOption.name);
  if (!folder) {
    return ScanCatalogueIn(catalogue, ProgramModuleFolderPlaces(services.files), services, toolkit);
  }
  return ScanCatalogueFolder(catalogue, WithoutTrailingSeparators(PathFromTerminal(*folder)),
                             services, toolkit);
}

}  // namespace quillmere::cli
