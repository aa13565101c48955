// Where a program finds its module folder when none is named: "Printer Commands" beside its
// executable as it was invoked, then beside the executable a link leads to; when there is none,
// as for a program started from the menu, the user's own module folder, made on first start with
// the installed sample modules, so that an installed program has a folder its user may write.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillmere {

class FileSystem;

struct ModuleFolderPlaces {
  // The executable's folders, as invoked and as resolved; each may hold "Printer Commands".
  std::vector<std::string> executableFolders;
  // The user's own module folder, made when missing; empty where there is none (Windows).
  std::string userFolder;
  // The folder whose files the user's folder is made with.
  std::string sampleFolder;
};

// The places for this program: the executable as invoked and as the system names it,
// "$XDG_DATA_HOME/quillmere/Printer Commands" (by default under ~/.local/share) and the samples
// installed with the program.
[[nodiscard]] ModuleFolderPlaces ProgramModuleFolderPlaces(FileSystem& files);

struct ModuleFolderFound {
  std::string executableFolder;       // the folder it was found beside; else the first looked at
  std::optional<std::string> folder;  // none when no folder exists or could be made
  std::string lookedFor;              // every folder looked for and why none served, for message 1
};

// The first module folder beside an executable folder; else the user's folder, made now with
// the sample folder's files when it does not exist yet.
[[nodiscard]] ModuleFolderFound FindModuleFolder(const ModuleFolderPlaces& places,
                                                 FileSystem& files);

}  // namespace quillmere
