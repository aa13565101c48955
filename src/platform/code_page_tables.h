// What the code page conversions of every platform share: the code pages this tool knows with
// their lead bytes, the UTF-8 reading they both need, and the words that name what could not be
// converted. Used only inside src/platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "platform/code_page.h"

namespace quillmere::codepage::detail {

struct LeadByteRange {
  std::uint8_t first;
  std::uint8_t last;
};

// True for the code pages this tool converts: the ANSI code pages of Windows and UTF-8.
[[nodiscard]] bool IsKnown(CodePage codePage);

// The lead bytes of a double-byte code page, as Windows' tables give them; none for the others.
[[nodiscard]] std::span<const LeadByteRange> LeadByteRanges(CodePage codePage);

// The platform's own answer (Windows' table, or LeadByteRanges).
[[nodiscard]] bool IsLeadByteOf(std::uint8_t byte, CodePage codePage);

// "'Ω' (U+03A9) is not in code page 1252"; a control character is named by its number alone.
[[nodiscard]] ConversionError NotInCodePage(std::string_view character, CodePage codePage);
// "the byte 0x81 is no character of code page 1252"
[[nodiscard]] ConversionError NoCharacterOf(std::uint8_t byte, CodePage codePage);
// "the byte 0xC3 is no UTF-8"
[[nodiscard]] ConversionError NoUtf8(std::uint8_t byte);

// FromUtf8 and Decode by the system's conversion functions.
[[nodiscard]] Converted ConvertFromUtf8(std::string_view utf8, CodePage codePage);
void DecodeConverting(std::string_view bytes, CodePage codePage,
                      const std::function<void(std::string_view)>& text,
                      const std::function<void(std::uint8_t)>& undefinedByte);

// The first character of `utf8` that does not come back as itself from `codePage`, or none
// found; `convert` gives a character's bytes in the code page, or none when it has none.
[[nodiscard]] std::variant<std::monostate, ConversionError> FirstCharacterNotHeld(
    std::string_view utf8, CodePage codePage,
    const std::function<std::optional<std::string>(std::string_view)>& convert);

}  // namespace quillmere::codepage::detail
