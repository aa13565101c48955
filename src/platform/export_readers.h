// The two export-table readers behind ReadExportNames, one per library format. Each first says
// whether the bytes are of its format at all, so that the dispatcher can try them in turn.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillmere::binary {

// What a reader found: not its format, a file of its format that does not load, or a library
// with the names it exports.
struct ExportReading {
  bool recognised = false;
  std::optional<std::vector<std::string>> names;
};

[[nodiscard]] ExportReading ReadPeExports(std::span<const std::uint8_t> image);
[[nodiscard]] ExportReading ReadElfExports(std::span<const std::uint8_t> image);

}  // namespace quillmere::binary
