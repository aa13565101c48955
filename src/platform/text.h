// 8-bit text of the shop's code page: the helpers every layer uses to compare names and to
// find separators without splitting a double-byte character.
//
// Module files hold text in the shop's ANSI code page (platform/code_page.h). Section and key
// names, control-code names, event tags and module names compare ignoring the case of A-Z/a-z only,
// so the result never depends on the locale and never touches a byte of a multi-byte character.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_page.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quillmere::text {

// True when `byte` starts a double-byte character of the shop's code page (Shift-JIS, GBK,
// Korean, Big5: their trail bytes may be ASCII letters or separators).
[[nodiscard]] inline bool IsLeadByte(std::uint8_t byte) {
  return codepage::IsActiveLeadByte(byte);
}

// True when the shop's code page has double-byte characters at all. When it has none, every
// byte is a character of its own and the searches below are plain byte searches.
[[nodiscard]] inline bool CodePageHasLeadBytes() {
  return codepage::ActiveCodePageHasLeadBytes();
}

// A-Z to a-z; every other byte unchanged.
[[nodiscard]] constexpr char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal ignoring the case of A-Z/a-z; trail bytes of double-byte characters compare exactly.
[[nodiscard]] bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Position of the first byte `c` in `s`, or npos: sixteen bytes at a time where the processor
// can, since values are searched for commas token by token.
[[nodiscard]] inline std::size_t FindByte(std::string_view s, char c) {
  // Most tokens are a byte name of one to three characters: their comma is found at once.
  std::size_t i = 0;
  for (; i < s.size() && i < 4; ++i) {
    if (s[i] == c) {
      return i;
    }
  }
#ifdef __SSE2__
  const __m128i wanted = _mm_set1_epi8(c);
  for (; i + 16 <= s.size(); i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    const auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, wanted)));
    if (found != 0) {
      return i + static_cast<std::size_t>(std::countr_zero(found));
    }
  }
#endif
  for (; i < s.size(); ++i) {
    if (s[i] == c) {
      return i;
    }
  }
  return std::string_view::npos;
}

// Position of the first `c` (an ASCII byte) that stands on a character boundary, or npos.
[[nodiscard]] std::size_t FindCharWalking(std::string_view s, char c);
[[nodiscard]] inline std::size_t FindChar(std::string_view s, char c) {
  return CodePageHasLeadBytes() ? FindCharWalking(s, c) : FindByte(s, c);
}

// Position of the last `c` (an ASCII byte) that stands on a character boundary, or npos.
[[nodiscard]] std::size_t FindLastChar(std::string_view s, char c);

// True when `s` ends with `suffix`, ignoring the case of A-Z/a-z (".ini", ".INI").
[[nodiscard]] bool EndsWithIgnoreCase(std::string_view s, std::string_view suffix);

// The C library's atoi as the module files' original reader used it: leading white space
// (space, \t \n \v \f \r) skipped, an optional sign, then decimal digits up to the first other
// byte; no digits gives 0. Overflow wraps modulo 2^32, as the 32-bit reader's loop did. Its white
// space is atoi's, wider than the file's blanks (profile_rules::IsFileBlank): it reads a token
// inside a value, which the file's rules never trim, the way the POS engine reads it.
[[nodiscard]] inline std::int32_t ParseLeadingDecimal(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) {
    ++i;
  }
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  std::uint32_t total = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    total = total * 10U + static_cast<std::uint32_t>(s[i] - '0');
  }
  if (negative) {
    total = 0U - total;
  }
  return static_cast<std::int32_t>(total);
}

// "%d".
[[nodiscard]] std::string FormatDecimal(std::int64_t value);

}  // namespace quillmere::text
