// The file a new module goes to. Module folders are made for Windows, whose file names ignore
// case: there EPSONTM88.ini and EpsonTM88.ini are one file, and a file-find on either finds it.
// So here too the file the folder holds under the new module's file name in any case is the
// target, and keeps the name it has.
#pragma once

#include <optional>
#include <string>

namespace quillmere {

class FileSystem;

struct TargetFile {
  std::string path;     // the full path, under the name the folder lists
  bool exists = false;  // the folder holds it already (the overwrite question is asked)
};

// The entry of `folder` whose name equals `fileName` ignoring the case of A-Z (the one spelled
// exactly so first), as Windows' file-find matches; else `fileName` itself, not there yet. None
// when the folder cannot be listed: whether a file of that name in another case is there is
// then unknown, and writing beside it would make a second module of one name.
[[nodiscard]] std::optional<TargetFile> FindTargetFile(FileSystem& files, const std::string& folder,
                                                       const std::string& fileName);

}  // namespace quillmere
