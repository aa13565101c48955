#include "derive/target_file.h"

#include <optional>
#include <vector>

#include "platform/file_system.h"
#include "platform/text.h"

namespace quillmere {

std::optional<TargetFile> FindTargetFile(FileSystem& files, const std::string& folder,
                                         const std::string& fileName) {
  const std::optional<std::vector<std::string>> names = files.ListFolder(folder);
  if (!names) {
    return std::nullopt;
  }
  const std::string* inAnotherCase = nullptr;
  for (const std::string& name : *names) {
    if (name == fileName) {
      return TargetFile{JoinPath(folder, name), true};
    }
    if (inAnotherCase == nullptr && text::EqualsIgnoreCase(name, fileName)) {
      inAnotherCase = &name;
    }
  }
  return TargetFile{JoinPath(folder, inAnotherCase != nullptr ? *inAnotherCase : fileName),
                    inAnotherCase != nullptr};
}

}  // namespace quillmere
