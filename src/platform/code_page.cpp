#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/code_page_tables.h"

namespace quillmere::codepage {
namespace {

// The ANSI code page Windows gives each locale, by language, or by language and territory or
// script where they part (Chinese of Taiwan and Hong Kong, Serbian in Latin letters). The most
// specific name that matches wins; a language not listed writes Western European (1252), as
// Windows does for English.
struct LocaleCodePage {
  std::string_view locale;
  CodePage codePage;
};
constexpr LocaleCodePage kLocaleCodePages[] = {
    // Thai
    {"th", 874},
    // Japanese, Chinese (simplified; traditional in Taiwan, Hong Kong and Macao), Korean
    {"ja", 932},
    {"zh", 936},
    {"zh_TW", 950},
    {"zh_HK", 950},
    {"zh_MO", 950},
    {"ko", 949},
    // Central European
    {"bs", 1250},
    {"cs", 1250},
    {"hr", 1250},
    {"hu", 1250},
    {"pl", 1250},
    {"ro", 1250},
    {"sk", 1250},
    {"sl", 1250},
    {"sq", 1250},
    {"tk", 1250},
    {"sr@latin", 1250},
    {"sr_ME", 1250},
    // Cyrillic
    {"ba", 1251},
    {"be", 1251},
    {"bg", 1251},
    {"kk", 1251},
    {"ky", 1251},
    {"mk", 1251},
    {"mn", 1251},
    {"ru", 1251},
    {"sah", 1251},
    {"sr", 1251},
    {"tg", 1251},
    {"tt", 1251},
    {"uk", 1251},
    {"uz@cyrillic", 1251},
    // Western European
    {"ca", 1252},
    {"da", 1252},
    {"de", 1252},
    {"en", 1252},
    {"es", 1252},
    {"eu", 1252},
    {"fi", 1252},
    {"fr", 1252},
    {"ga", 1252},
    {"gl", 1252},
    {"is", 1252},
    {"it", 1252},
    {"nb", 1252},
    {"nl", 1252},
    {"nn", 1252},
    {"pt", 1252},
    {"sv", 1252},
    // Greek, Turkish (and Azerbaijani and Uzbek in Latin letters), Hebrew, Arabic script
    {"el", 1253},
    {"az", 1254},
    {"tr", 1254},
    {"uz", 1254},
    {"he", 1255},
    {"iw", 1255},
    {"ar", 1256},
    {"fa", 1256},
    {"ug", 1256},
    {"ur", 1256},
    // Baltic, Vietnamese
    {"et", 1257},
    {"lt", 1257},
    {"lv", 1257},
    {"vi", 1258},
};
constexpr CodePage kWesternEuropean = 1252;

// The code pages this tool converts, with the lead bytes of the double-byte ones.
struct KnownCodePage {
  CodePage codePage;
  std::array<detail::LeadByteRange, 3> leadBytes;
  std::size_t leadRangeCount;
};
constexpr KnownCodePage kKnownCodePages[] = {
    {874, {}, 0},
    {932, {{{0x81, 0x9F}, {0xE0, 0xFC}}}, 2},
    {936, {{{0x81, 0xFE}}}, 1},
    {949, {{{0x81, 0xFE}}}, 1},
    {950, {{{0x81, 0xFE}}}, 1},
    {1250, {}, 0},
    {1251, {}, 0},
    {1252, {}, 0},
    {1253, {}, 0},
    {1254, {}, 0},
    {1255, {}, 0},
    {1256, {}, 0},
    {1257, {}, 0},
    {1258, {}, 0},
    {1361, {{{0x84, 0xD3}, {0xD8, 0xDE}, {0xE0, 0xF9}}}, 3},
    {kUtf8, {}, 0},
};

const KnownCodePage* FindKnown(CodePage codePage) {
  for (const KnownCodePage& known : kKnownCodePages) {
    if (known.codePage == codePage) {
      return &known;
    }
  }
  return nullptr;
}

std::optional<CodePage> LookUp(std::string_view locale) {
  for (const LocaleCodePage& entry : kLocaleCodePages) {
    if (entry.locale == locale) {
      return entry.codePage;
    }
  }
  return std::nullopt;
}

// The code page in use and its lead bytes.
struct ActiveState {
  CodePage codePage = 0;
  detail::LeadByteTable leadBytes;
};

ActiveState MakeState(CodePage codePage) {
  ActiveState state;
  state.codePage = codePage;
  for (std::size_t byte = 0; byte < state.leadBytes.isLead.size(); ++byte) {
    state.leadBytes.isLead[byte] = detail::IsLeadByteOf(static_cast<std::uint8_t>(byte), codePage);
    state.leadBytes.any = state.leadBytes.any || state.leadBytes.isLead[byte];
  }
  return state;
}

ActiveState& State() {
  static ActiveState state = MakeState(SystemCodePage());
  detail::activeLeadBytes = &state.leadBytes;
  return state;
}

// Bytes below 0x80 are the same characters in UTF-8 and in every code page here but Johab, whose
// 0x5C is the won sign: such text passes as it is, without the system's conversion, whose first
// use loads its tables (some 0.4 ms for every run of the command line).
bool PassesAsIs(std::string_view text, CodePage codePage) {
  constexpr CodePage kJohab = 1361;
  return codePage != kJohab && std::all_of(text.begin(), text.end(), [](char c) {
           return static_cast<std::uint8_t>(c) < 0x80;
         });
}

std::string Hex(std::uint32_t value, int digits) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%0*X", digits, static_cast<unsigned>(value));
  return text.data();
}

std::uint32_t CodePointOf(std::string_view character) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(character[i]); };
  if (character.size() == 1) {
    return byte(0);
  }
  std::uint32_t code = byte(0) & (0x7FU >> character.size());
  for (std::size_t i = 1; i < character.size(); ++i) {
    code = (code << 6U) | (byte(i) & 0x3FU);
  }
  return code;
}

}  // namespace

CodePage CodePageOfLocale(std::string_view name) {
  // language[_TERRITORY][.codeset][@modifier]
  const std::size_t at = name.find('@');
  const std::string_view modifier = at == std::string_view::npos ? "" : name.substr(at + 1);
  const std::string_view withoutModifier = name.substr(0, at);
  const std::string_view languageAndTerritory =
      withoutModifier.substr(0, withoutModifier.find('.'));
  const std::string_view language = languageAndTerritory.substr(0, languageAndTerritory.find('_'));
  for (const std::string& candidate :
       {std::string(languageAndTerritory), std::string(language) + "@" + std::string(modifier),
        std::string(language)}) {
    if (const std::optional<CodePage> found = LookUp(candidate)) {
      return *found;
    }
  }
  return kWesternEuropean;
}

CodePage ActiveCodePage() {
  return State().codePage;
}

void SetActiveCodePage(CodePage codePage) {
  State() = MakeState(codePage);
}

namespace detail {

const LeadByteTable* activeLeadBytes = nullptr;

const LeadByteTable& SetUpActiveLeadBytes() {
  return State().leadBytes;
}

}  // namespace detail

void Decode(std::string_view bytes, CodePage codePage,
            const std::function<void(std::string_view)>& text,
            const std::function<void(std::uint8_t)>& undefinedByte) {
  if (PassesAsIs(bytes, codePage)) {
    if (!bytes.empty()) {
      text(bytes);
    }
    return;
  }
  detail::DecodeConverting(bytes, codePage, text, undefinedByte);
}

Converted ToUtf8(std::string_view bytes, CodePage codePage) {
  std::string utf8;
  std::optional<std::uint8_t> undefined;
  Decode(
      bytes, codePage, [&](std::string_view text) { utf8 += text; },
      [&](std::uint8_t byte) {
        if (!undefined) {
          undefined = byte;
        }
      });
  if (undefined) {
    return detail::NoCharacterOf(*undefined, codePage);
  }
  return utf8;
}

Converted FromUtf8(std::string_view utf8, CodePage codePage) {
  if (PassesAsIs(utf8, codePage)) {
    return std::string(utf8);
  }
  return detail::ConvertFromUtf8(utf8, codePage);
}

std::string ToUtf8ForDisplay(std::string_view bytes, CodePage codePage) {
  std::string utf8;
  Decode(
      bytes, codePage, [&](std::string_view text) { utf8 += text; },
      [&](std::uint8_t /*byte*/) { utf8 += "\xEF\xBF\xBD"; });
  return utf8;
}

Converted TextToFileName(std::string_view text) {
  if (ActiveCodePage() == FileSystemCodePage()) {
    return std::string(text);
  }
  Converted utf8 = ToUtf8(text, ActiveCodePage());
  if (const auto* error = std::get_if<ConversionError>(&utf8)) {
    return *error;
  }
  return FromUtf8(std::get<std::string>(utf8), FileSystemCodePage());
}

Converted FileNameToText(std::string_view fileName) {
  if (ActiveCodePage() == FileSystemCodePage()) {
    return std::string(fileName);
  }
  Converted utf8 = ToUtf8(fileName, FileSystemCodePage());
  if (const auto* error = std::get_if<ConversionError>(&utf8)) {
    return *error;
  }
  return FromUtf8(std::get<std::string>(utf8), ActiveCodePage());
}

std::string SystemTextToUtf8(std::string_view text) {
  return ToUtf8ForDisplay(text, FileSystemCodePage());
}

namespace detail {

bool IsKnown(CodePage codePage) {
  return FindKnown(codePage) != nullptr;
}

std::span<const LeadByteRange> LeadByteRanges(CodePage codePage) {
  const KnownCodePage* known = FindKnown(codePage);
  if (known == nullptr) {
    return {};
  }
  return std::span(known->leadBytes).first(known->leadRangeCount);
}

ConversionError NotInCodePage(std::string_view character, CodePage codePage) {
  const std::uint32_t code = CodePointOf(character);
  const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
  const std::string number = "U+" + Hex(code, 4);
  return {(control ? number : "'" + std::string(character) + "' (" + number + ")") +
          " is not in code page " + std::to_string(codePage)};
}

ConversionError NoCharacterOf(std::uint8_t byte, CodePage codePage) {
  return {"the byte 0x" + Hex(byte, 2) + " is no character of code page " +
          std::to_string(codePage)};
}

ConversionError NoUtf8(std::uint8_t byte) {
  return {"the byte 0x" + Hex(byte, 2) + " is no UTF-8"};
}

std::variant<std::monostate, ConversionError> FirstCharacterNotHeld(
    std::string_view utf8, CodePage codePage,
    const std::function<std::optional<std::string>(std::string_view)>& convert) {
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t length = std::max<std::size_t>(Utf8SequenceLength(utf8, at), 1);
    const std::string_view character = utf8.substr(at, length);
    const std::optional<std::string> bytes = convert(character);
    const bool held = bytes && [&] {
      const Converted back = ToUtf8(*bytes, codePage);
      const auto* text = std::get_if<std::string>(&back);
      return text != nullptr && *text == character;
    }();
    if (!held) {
      return NotInCodePage(character, codePage);
    }
    at += length;
  }
  return std::monostate{};
}

}  // namespace detail

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  std::uint32_t lowest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    lowest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    lowest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    lowest = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0U) != 0x80U) {
      return 0;
    }
  }
  const std::uint32_t code = CodePointOf(text.substr(at, length));
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < lowest || code > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace quillmere::codepage
