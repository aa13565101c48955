// The catalogue of base printer commands: one entry per module file in the folder
// "Printer Commands", in the order the folder lists them. The dialog and the command-line tool
// scan it the same way, with messages 1 and 2, and the folder they looked for, when there is
// nothing to offer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "module/folder_search.h"
#include "platform/services.h"

namespace quillmere {

class Toolkit;

inline constexpr std::string_view kModuleFolderName = "Printer Commands";

// A module file is any entry whose name ends in this, in any case ("EPSON.INI", "Epson.Ini").
inline constexpr std::string_view kModuleExtension = ".ini";

struct ModuleEntry {
  std::string name;  // Module_Name of the file, at most 259 characters; empty when unreadable
  std::string path;  // full path: the folder path, a separator, the name as listed
};

struct Catalogue {
  std::string executableFolder;
  std::string folderPath;
  std::vector<ModuleEntry> entries;  // in the order of the base list
};

// Finds "Printer Commands" beside the executable, reads Module_Name of every entry whose name
// ends in ".ini" and adds each name to the base list. On a missing folder shows message 1, on an
// unlistable folder or no module file message 2, with the folder looked for as its detail, and
// ends the dialog through its cancel action. The catalogue starts empty each time; on failure it
// stays empty and no line is added. True when the base list was filled.
bool ScanCatalogue(Catalogue& catalogue, const PlatformServices& services, Toolkit& toolkit);

// The same in the folder that FindModuleFolder finds among `places`.
bool ScanCatalogueIn(Catalogue& catalogue, const ModuleFolderPlaces& places,
                     const PlatformServices& services, Toolkit& toolkit);

// The same on a folder given by path (the command-line tool's --folder); executableFolder is
// left as it was.
bool ScanCatalogueFolder(Catalogue& catalogue, const std::string& folderPath,
                         const PlatformServices& services, Toolkit& toolkit);

// Frees the entries.
void ReleaseCatalogue(Catalogue& catalogue);

// True when some module shows `name` (ignoring case) as its display name while living in a file
// of another title: such a module cannot be overwritten by naming it. A name that equals both a
// module's display name and that module's file title is free, and meets the overwrite question.
// Names are text of the code page and file titles the file system's: the title is compared in
// the code page, and one the code page cannot hold is another title.
[[nodiscard]] bool IsNameInUse(const Catalogue& catalogue, std::string_view name);

}  // namespace quillmere
