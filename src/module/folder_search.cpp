#include "module/folder_search.h"

#include <algorithm>

#include "module/catalogue.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/program_places.h"

namespace quillmere {
namespace {

constexpr std::string_view kProgramFolderName = "quillmere";

// Makes the user's module folder with the samples' files. A copy that fails takes the folder
// away again, so that the next start tries anew instead of finding half a folder.
FileOutcome MakeUserFolder(const ModuleFolderPlaces& places, FileSystem& files) {
  if (FileOutcome made = MakeFolders(places.userFolder); !made) {
    return made;
  }
  const std::vector<std::string> samples =
      files.ListFolder(places.sampleFolder).value_or(std::vector<std::string>{});
  std::vector<std::string> copied;
  for (const std::string& name : samples) {
    const std::string target = JoinPath(places.userFolder, name);
    if (FileOutcome done = files.CopyFile(JoinPath(places.sampleFolder, name), target); !done) {
      for (const std::string& path : copied) {
        files.RemoveFile(path);
      }
      files.RemoveFile(target);
      RemoveEmptyFolder(places.userFolder);
      return done;
    }
    copied.push_back(target);
  }
  return FileOutcome::Done();
}

}  // namespace

ModuleFolderPlaces ProgramModuleFolderPlaces(FileSystem& files) {
  ModuleFolderPlaces places;
  for (const std::optional<std::string>& executable :
       {InvokedExecutablePath(), files.ExecutablePath()}) {
    if (executable) {
      const std::string folder = FolderOf(*executable);
      if (std::find(places.executableFolders.begin(), places.executableFolders.end(), folder) ==
          places.executableFolders.end()) {
        places.executableFolders.push_back(folder);
      }
    }
  }
  if (const std::optional<std::string> data = UserDataFolder()) {
    places.userFolder = JoinPath(JoinPath(*data, kProgramFolderName), kModuleFolderName);
  }
  if (const std::optional<std::string> executable = files.ExecutablePath()) {
    places.sampleFolder = JoinPath(InstalledDataFolder(*executable), kModuleFolderName);
  }
  return places;
}

ModuleFolderFound FindModuleFolder(const ModuleFolderPlaces& places, FileSystem& files) {
  ModuleFolderFound found;
  std::vector<std::string> lookedFor;
  for (const std::string& executableFolder : places.executableFolders) {
    const std::string folder = JoinPath(executableFolder, kModuleFolderName);
    if (found.executableFolder.empty()) {
      found.executableFolder = executableFolder;
    }
    if (files.IsFolder(folder)) {
      found.executableFolder = executableFolder;
      found.folder = folder;
      return found;
    }
    lookedFor.push_back(codepage::SystemTextToUtf8(folder));
  }
  std::string why;
  if (!places.userFolder.empty()) {
    if (files.IsFolder(places.userFolder)) {
      found.folder = places.userFolder;
      return found;
    }
    lookedFor.push_back(codepage::SystemTextToUtf8(places.userFolder));
    const FileOutcome made = MakeUserFolder(places, files);
    if (made) {
      found.folder = places.userFolder;
      return found;
    }
    why = " (could not be made: " + codepage::SystemTextToUtf8(made.reason()) + ")";
  }
  if (lookedFor.empty()) {
    return found;
  }
  found.lookedFor = "looked for ";
  for (std::size_t i = 0; i < lookedFor.size(); ++i) {
    found.lookedFor += (i == 0 ? "" : i + 1 == lookedFor.size() ? " and " : ", ") + lookedFor[i];
  }
  found.lookedFor += why;
  return found;
}

}  // namespace quillmere
