// The code page conversions on Windows, through its own tables: the system's ANSI code page is
// the shop's, and the ANSI file functions read file names in it.
#include <algorithm>
#include <string>

#include "platform/code_page.h"
#include "platform/code_page_tables.h"
#include "platform/windows_api.h"

namespace quillmere::codepage {
namespace {

std::wstring Widen(std::string_view text, CodePage codePage) {
  const int size = static_cast<int>(text.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (length > 0) {
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  }
  return wide;
}

// The UTF-16 text in `codePage`, or none when a character has no exact form there. Best fit is
// off, and the default character counts as a failure: nothing becomes "?".
std::optional<std::string> Narrow(std::wstring_view wide, CodePage codePage) {
  const int size = static_cast<int>(wide.size());
  // UTF-8 takes neither the flag nor the default-character test.
  const bool exact = codePage != kUtf8;
  const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultTest = exact ? &usedDefault : nullptr;
  const int length =
      WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefaultTest);
  if (size > 0 && length == 0) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (length > 0) {
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr,
                        usedDefaultTest);
  }
  if (usedDefault != FALSE) {
    return std::nullopt;
  }
  return bytes;
}

// Windows maps a byte its ANSI code page leaves undefined (0x81 of 1252) to the C1 control
// character of the same number, which no such code page holds otherwise; iconv refuses it. Both
// platforms take it as undefined.
bool IsC1Control(wchar_t character) {
  return character >= 0x80 && character <= 0x9F;
}

}  // namespace

CodePage SystemCodePage() {
  return GetACP();
}

CodePage FileSystemCodePage() {
  return AreFileApisANSI() != FALSE ? GetACP() : GetOEMCP();
}

bool IsSupported(CodePage codePage) {
  return detail::IsKnown(codePage) && IsValidCodePage(codePage) != FALSE;
}

void detail::DecodeConverting(std::string_view bytes, CodePage codePage,
                              const std::function<void(std::string_view)>& text,
                              const std::function<void(std::uint8_t)>& undefinedByte) {
  std::string stretch;
  const auto flush = [&] {
    if (!stretch.empty()) {
      text(stretch);
      stretch.clear();
    }
  };
  for (std::size_t at = 0; at < bytes.size();) {
    const bool pair = detail::IsLeadByteOf(static_cast<std::uint8_t>(bytes[at]), codePage) &&
                      at + 1 < bytes.size();
    const std::size_t length = codePage == kUtf8 ? Utf8SequenceLength(bytes, at) : pair ? 2 : 1;
    const std::wstring wide =
        length == 0 ? std::wstring() : Widen(bytes.substr(at, length), codePage);
    if (wide.empty() || (codePage != kUtf8 && IsC1Control(wide.front()))) {
      flush();
      undefinedByte(static_cast<std::uint8_t>(bytes[at]));
      ++at;
      continue;
    }
    stretch += Narrow(wide, kUtf8).value_or("");
    at += length;
  }
  flush();
}

Converted detail::ConvertFromUtf8(std::string_view utf8, CodePage codePage) {
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t length = Utf8SequenceLength(utf8, at);
    if (length == 0) {
      return detail::NoUtf8(static_cast<std::uint8_t>(utf8[at]));
    }
    at += length;
  }
  const std::wstring wide = Widen(utf8, kUtf8);
  const bool holdsC1 = codePage != kUtf8 && std::any_of(wide.begin(), wide.end(), IsC1Control);
  if (std::optional<std::string> bytes = Narrow(wide, codePage); bytes && !holdsC1) {
    return std::move(*bytes);
  }
  auto first = detail::FirstCharacterNotHeld(utf8, codePage, [&](std::string_view character) {
    const std::wstring one = Widen(character, kUtf8);
    return codePage != kUtf8 && IsC1Control(one.front()) ? std::nullopt : Narrow(one, codePage);
  });
  if (auto* error = std::get_if<ConversionError>(&first)) {
    return std::move(*error);
  }
  return detail::NotInCodePage(utf8.substr(0, Utf8SequenceLength(utf8, 0)), codePage);
}

namespace detail {

bool IsLeadByteOf(std::uint8_t byte, CodePage codePage) {
  return codePage != kUtf8 && IsDBCSLeadByteEx(codePage, byte) != FALSE;
}

}  // namespace detail
}  // namespace quillmere::codepage
