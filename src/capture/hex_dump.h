// Hex dumps of captures as installers make them: xxd, hexdump -C, od -An -tx1, and bare hex
// with or without blanks. The dump gives back the bytes it shows; a line that fits none of the
// forms is an error that names the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillmere::capture {

struct HexDumpError {
  std::size_t line = 0;  // from 1
  std::string message;
};

[[nodiscard]] std::variant<std::vector<std::uint8_t>, HexDumpError> ParseHexDump(
    std::string_view text);

}  // namespace quillmere::capture
