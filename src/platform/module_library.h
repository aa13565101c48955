// The module library stand-in. A module file may name a library (UseDll) whose functions the POS
// engine calls; this tool only needs to know whether the library loads and whether it exports a
// name. Module libraries are Windows DLLs and module files come from anywhere, so nothing of a
// library is ever run: "loading" reads the file's export table (PE/COFF, 32- and 64-bit, and ELF
// shared objects' dynamic symbols), and "looking up" answers from that table.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

class FileSystem;

class ModuleLibrary {
 public:
  virtual ~ModuleLibrary() = default;
  ModuleLibrary() = default;
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // True when the library exports `name`; case counts, as GetProcAddress compares.
  [[nodiscard]] virtual bool Exports(std::string_view name) const = 0;
};

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  LibraryLoader() = default;
  LibraryLoader(const LibraryLoader&) = delete;
  LibraryLoader& operator=(const LibraryLoader&) = delete;

  // The loaded library, or none when the file cannot be read or is no well-formed library.
  // Releasing the pointer unloads the library.
  [[nodiscard]] virtual std::unique_ptr<ModuleLibrary> Load(const std::string& path) = 0;
};

// The names a library image exports: a PE/COFF image's export directory (32- or 64-bit), or an
// ELF shared object's defined dynamic function and object symbols. None when the bytes are no
// well-formed library; every offset is checked against the image, so no input reads out of it.
[[nodiscard]] std::optional<std::vector<std::string>> ReadExportNames(
    std::span<const std::uint8_t> image);

// The loader that reads export tables through `files`; `files` must outlive it.
[[nodiscard]] std::unique_ptr<LibraryLoader> MakeExportTableLoader(FileSystem& files);

}  // namespace quillmere
