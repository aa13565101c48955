// The module library stand-in: "loading" a library reads its file and keeps the names its export
// table holds; "looking up" a name searches them. Nothing of the library is mapped or run.
#include <algorithm>
#include <span>
#include <utility>

#include "platform/file_system.h"
#include "platform/module_library.h"

namespace quillmere {
namespace {

class ExportTableLibrary final : public ModuleLibrary {
 public:
  explicit ExportTableLibrary(std::vector<std::string> sortedNames)
      : names_(std::move(sortedNames)) {}

  [[nodiscard]] bool Exports(std::string_view name) const override {
    return std::binary_search(names_.begin(), names_.end(), name, std::less<>());
  }

 private:
  std::vector<std::string> names_;
};

class ExportTableLoader final : public LibraryLoader {
 public:
  explicit ExportTableLoader(FileSystem& files) : files_(files) {}

  [[nodiscard]] std::unique_ptr<ModuleLibrary> Load(const std::string& path) override {
    // The file services read regular files only and refuse any larger than
    // kLargestReadableFile, far above a module library (a few hundred kilobytes): a device, a
    // named pipe or a huge file named by UseDll is no library and is not loaded.
    const std::optional<std::string> bytes = files_.ReadFile(path);
    if (!bytes) {
      return nullptr;
    }
    const std::span<const std::uint8_t> image(reinterpret_cast<const std::uint8_t*>(bytes->data()),
                                              bytes->size());
    std::optional<std::vector<std::string>> names = ReadExportNames(image);
    if (!names) {
      return nullptr;
    }
    return std::make_unique<ExportTableLibrary>(std::move(*names));
  }

 private:
  FileSystem& files_;
};

}  // namespace

std::unique_ptr<LibraryLoader> MakeExportTableLoader(FileSystem& files) {
  return std::make_unique<ExportTableLoader>(files);
}

}  // namespace quillmere
