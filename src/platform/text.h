// 8-bit text of the shop's code page: the helpers every layer uses to compare names and to
// find separators without splitting a double-byte character.
//
// Module files hold text in the shop's ANSI code page (platform/code_page.h). Section and key
// names, control-code names, event tags and module names compare ignoring the case of A-Z/a-z only,
// so the result never depends on the locale and never touches a byte of a multi-byte character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillmere::text {

// True when `byte` starts a double-byte character of the shop's code page (Shift-JIS, GBK,
// Korean, Big5: their trail bytes may be ASCII letters or separators).
[[nodiscard]] bool IsLeadByte(std::uint8_t byte);

// A-Z to a-z; every other byte unchanged.
[[nodiscard]] constexpr char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal ignoring the case of A-Z/a-z; trail bytes of double-byte characters compare exactly.
[[nodiscard]] bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Position of the first `c` (an ASCII byte) that stands on a character boundary, or npos.
[[nodiscard]] std::size_t FindChar(std::string_view s, char c);

// Position of the last `c` (an ASCII byte) that stands on a character boundary, or npos.
[[nodiscard]] std::size_t FindLastChar(std::string_view s, char c);

// True when `s` ends with `suffix`, ignoring the case of A-Z/a-z (".ini", ".INI").
[[nodiscard]] bool EndsWithIgnoreCase(std::string_view s, std::string_view suffix);

// The C library's atoi as the module files' original reader used it: leading white space
// (space, \t \n \v \f \r) skipped, an optional sign, then decimal digits up to the first other
// byte; no digits gives 0. Overflow wraps modulo 2^32, as the 32-bit reader's loop did. Its white
// space is atoi's, wider than the file's blanks (profile_rules::IsFileBlank): it reads a token
// inside a value, which the file's rules never trim, the way the POS engine reads it.
[[nodiscard]] std::int32_t ParseLeadingDecimal(std::string_view s);

// "%d".
[[nodiscard]] std::string FormatDecimal(std::int64_t value);

}  // namespace quillmere::text
