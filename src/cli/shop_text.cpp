#include "cli/shop_text.h"

#include <array>
#include <cstdint>

namespace quillmere::cli {
namespace {

constexpr std::string_view kShopCodePage = "1252";
constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 from 0x80 to 0x9F; the rest of its upper half is Latin-1.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC,       kReplacement, 0x201A, 0x0192, 0x201E, 0x2026,       0x2020, 0x2021,
    0x02C6,       0x2030,       0x0160, 0x2039, 0x0152, kReplacement, 0x017D, kReplacement,
    kReplacement, 0x2018,       0x2019, 0x201C, 0x201D, 0x2022,       0x2013, 0x2014,
    0x02DC,       0x2122,       0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178};

char32_t CharacterOf(std::uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char32_t{byte};
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6U));
    out += static_cast<char>(0x80 | (c & 0x3FU));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12U));
    out += static_cast<char>(0x80 | ((c >> 6U) & 0x3FU));
    out += static_cast<char>(0x80 | (c & 0x3FU));
  }
}

// The next character of `utf8` from `at`, which moves past it; none for bytes that are no UTF-8.
std::optional<char32_t> NextCharacter(std::string_view utf8, std::size_t& at) {
  const auto lead = static_cast<std::uint8_t>(utf8[at++]);
  const std::size_t trail = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || at + trail > utf8.size()) {
    return std::nullopt;
  }
  char32_t c = trail == 0 ? lead : lead & (0x3FU >> trail);
  for (std::size_t i = 0; i < trail; ++i) {
    const auto next = static_cast<std::uint8_t>(utf8[at++]);
    if ((next & 0xC0U) != 0x80) {
      return std::nullopt;
    }
    c = (c << 6U) | (next & 0x3FU);
  }
  return c;
}

}  // namespace

std::optional<UsageError> CheckShopCodePage(const ParsedArguments& arguments) {
  const std::optional<std::string> given = arguments.Value(kShopCodePageOption.name);
  if (given && *given != kShopCodePage) {
    return UsageError{"no code page " + *given + " here (this build has 1252 only)"};
  }
  return std::nullopt;
}

std::string ShopTextToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char byte : bytes) {
    AppendUtf8(out, CharacterOf(static_cast<std::uint8_t>(byte)));
  }
  return out;
}

std::optional<std::string> ShopTextFromUtf8(std::string_view utf8) {
  std::string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<char32_t> c = NextCharacter(utf8, at);
    if (!c) {
      return std::nullopt;
    }
    std::optional<std::uint8_t> byte;
    for (unsigned b = 0; b < 256 && !byte; ++b) {
      if (CharacterOf(static_cast<std::uint8_t>(b)) == *c && *c != kReplacement) {
        byte = static_cast<std::uint8_t>(b);
      }
    }
    if (!byte) {
      return std::nullopt;
    }
    out += static_cast<char>(*byte);
  }
  return out;
}

}  // namespace quillmere::cli
