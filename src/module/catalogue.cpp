#include "module/catalogue.h"

#include <optional>
#include <utility>
#include <variant>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "platform/text.h"
#include "platform/toolkit.h"

namespace quillmere {
namespace {

bool Fail(Catalogue& catalogue, MessageId message, std::string_view detail, Toolkit& toolkit) {
  catalogue.entries.clear();
  toolkit.ShowDetailedMessage(message, MessageButtons::kOk, detail);
  toolkit.EndWithCancel();
  return false;
}

std::string LookedIn(const std::string& folder) {
  return "looked in " + codepage::SystemTextToUtf8(folder);
}

}  // namespace

bool ScanCatalogue(Catalogue& catalogue, const PlatformServices& services, Toolkit& toolkit) {
  ModuleFolderPlaces places;
  // Without the executable's path there is no folder beside it to look in. An executable in the
  // root gives an empty folder, and the module folder is found in the root.
  if (const std::optional<std::string> executable = services.files.ExecutablePath()) {
    places.executableFolders.push_back(FolderOf(*executable));
  }
  return ScanCatalogueIn(catalogue, places, services, toolkit);
}

bool ScanCatalogueIn(Catalogue& catalogue, const ModuleFolderPlaces& places,
                     const PlatformServices& services, Toolkit& toolkit) {
  const ModuleFolderFound found = FindModuleFolder(places, services.files);
  catalogue.executableFolder = found.executableFolder;
  if (!found.folder) {
    // The folder it would have used first, as a scan of a named folder keeps the name.
    catalogue.folderPath = places.executableFolders.empty()
                               ? places.userFolder
                               : JoinPath(places.executableFolders.front(), kModuleFolderName);
    return Fail(catalogue, MessageId::kFolderMissing, found.lookedFor, toolkit);
  }
  return ScanCatalogueFolder(catalogue, *found.folder, services, toolkit);
}

bool ScanCatalogueFolder(Catalogue& catalogue, const std::string& folderPath,
                         const PlatformServices& services, Toolkit& toolkit) {
  // A second scan replaces the first instead of offering every module twice.
  catalogue.entries.clear();
  catalogue.folderPath = folderPath;
  if (!services.files.IsFolder(folderPath)) {
    return Fail(catalogue, MessageId::kFolderMissing,
                "looked for " + codepage::SystemTextToUtf8(folderPath), toolkit);
  }
  const std::optional<std::vector<std::string>> names = services.files.ListFolder(folderPath);
  if (!names) {
    return Fail(catalogue, MessageId::kNoModuleFiles, LookedIn(folderPath), toolkit);
  }
  for (const std::string& name : *names) {
    // Only the name counts, not the kind of entry: a sub-folder named x.ini is offered too, as
    // the original tool offered it, and so are a named pipe, a device or a socket named so. The
    // file services read regular files only, so each of these reads as an unreadable file does,
    // with an empty name, and is never opened in a way that could wait; a derivation from it is
    // refused with message 6. Leaving them out instead would make the list depend on kinds of
    // entry the folder's Windows home does not have.
    std::string path = JoinPath(folderPath, name);
    if (!text::EndsWithIgnoreCase(path, kModuleExtension)) {
      continue;
    }
    std::string moduleName = services.store.ReadString("Main", "Module_Name", "", path);
    catalogue.entries.push_back(ModuleEntry{std::move(moduleName), std::move(path)});
  }
  if (catalogue.entries.empty()) {
    return Fail(catalogue, MessageId::kNoModuleFiles, LookedIn(folderPath), toolkit);
  }
  std::vector<std::string_view> lines;
  lines.reserve(catalogue.entries.size());
  for (const ModuleEntry& entry : catalogue.entries) {
    lines.emplace_back(entry.name);
  }
  toolkit.AddListLines(lines);
  return true;
}

void ReleaseCatalogue(Catalogue& catalogue) {
  catalogue.entries.clear();
  catalogue.entries.shrink_to_fit();
}

bool IsNameInUse(const Catalogue& catalogue, std::string_view name) {
  for (const ModuleEntry& entry : catalogue.entries) {
    if (!text::EqualsIgnoreCase(name, entry.name)) {
      continue;
    }
    // The file title: the listed name less its last four characters, the extension in any case.
    const std::string fileName = FileNameOf(entry.path);
    const std::string_view title = std::string_view(fileName).substr(
        0,
        fileName.size() < kModuleExtension.size() ? 0 : fileName.size() - kModuleExtension.size());
    const codepage::Converted titleText = codepage::FileNameToText(title);
    const auto* converted = std::get_if<std::string>(&titleText);
    if (converted == nullptr || !text::EqualsIgnoreCase(*converted, entry.name)) {
      return true;
    }
  }
  return false;
}

}  // namespace quillmere
