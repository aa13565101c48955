#include "module/catalogue.h"

#include <optional>
#include <utility>

#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "platform/text.h"
#include "platform/toolkit.h"

namespace quillmere {
namespace {

bool Fail(Catalogue& catalogue, MessageId message, Toolkit& toolkit) {
  catalogue.entries.clear();
  toolkit.ShowMessage(message, MessageButtons::kOk);
  toolkit.EndWithCancel();
  return false;
}

}  // namespace

bool ScanCatalogue(Catalogue& catalogue, const PlatformServices& services, Toolkit& toolkit) {
  const std::optional<std::string> executable = services.files.ExecutablePath();
  if (!executable) {
    // Without the executable's path there is no folder beside it to look in.
    return Fail(catalogue, MessageId::kFolderMissing, toolkit);
  }
  // An executable in the root gives an empty folder, and the module folder is found in the root.
  catalogue.executableFolder = FolderOf(*executable);
  return ScanCatalogueFolder(catalogue, JoinPath(catalogue.executableFolder, kModuleFolderName),
                             services, toolkit);
}

bool ScanCatalogueFolder(Catalogue& catalogue, const std::string& folderPath,
                         const PlatformServices& services, Toolkit& toolkit) {
  // A second scan replaces the first instead of offering every module twice.
  catalogue.entries.clear();
  catalogue.folderPath = folderPath;
  if (!services.files.IsFolder(folderPath)) {
    return Fail(catalogue, MessageId::kFolderMissing, toolkit);
  }
  const std::optional<std::vector<std::string>> names = services.files.ListFolder(folderPath);
  if (!names) {
    return Fail(catalogue, MessageId::kNoModuleFiles, toolkit);
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
    return Fail(catalogue, MessageId::kNoModuleFiles, toolkit);
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
    if (!text::EqualsIgnoreCase(title, entry.name)) {
      return true;
    }
  }
  return false;
}

}  // namespace quillmere
