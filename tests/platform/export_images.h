// Library images built byte by byte for the export-table reader and the fuzz corpus: a Windows
// image and an ELF shared object of every layout, with named fields that table rows set; and
// what the reader keeps on any bytes, checked in one place for the unit tests and the fuzz target
// (no test framework here; the sanitizers watch the reads).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/module_library.h"

namespace quillmere::testing {

using Image = std::vector<std::uint8_t>;

// "pe32", "pe64" (PE32+), "elf32le", "elf32be", "elf64le", "elf64be".
inline constexpr std::string_view kLayouts[] = {"pe32",    "pe64",    "elf32le",
                                                "elf32be", "elf64le", "elf64be"};

// The image of `layout` with each "field=value" (0x1F or 31) set; none for an unknown name.
[[nodiscard]] std::optional<Image> BuildImage(std::string_view layout,
                                              const std::vector<std::string>& patches = {});

// The first rule the reading of `bytes` breaks, in words, or empty: each name it gives is a
// non-empty NUL-terminated string of the bytes, listed once and in order.
inline std::string ExportTableViolation(std::span<const std::uint8_t> bytes) {
  const std::optional<std::vector<std::string>> names = ReadExportNames(bytes);
  if (names &&
      std::adjacent_find(names->begin(), names->end(), std::greater_equal<>()) != names->end()) {
    return "the names are not sorted or not unique";
  }
  for (const std::string& name : names.value_or(std::vector<std::string>{})) {
    const std::vector<std::uint8_t> terminated(name.c_str(), name.c_str() + name.size() + 1);
    if (name.empty() || std::search(bytes.begin(), bytes.end(), terminated.begin(),
                                    terminated.end()) == bytes.end()) {
      return "\"" + name + "\" is no NUL-terminated string of the image";
    }
  }
  return {};
}

}  // namespace quillmere::testing
