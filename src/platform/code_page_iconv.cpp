// The code page conversions off Windows, through iconv (glibc knows every ANSI code page of
// Windows by the name "CP" and its number). The code page is the one Windows would use for the
// user's locale; file names are UTF-8.
#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/code_page.h"
#include "platform/code_page_tables.h"

namespace quillmere::codepage {
namespace {

std::string IconvName(CodePage codePage) {
  return codePage == kUtf8 ? std::string("UTF-8") : "CP" + std::to_string(codePage);
}

// One conversion descriptor, closed on every path out.
class Converter {
 public:
  Converter(CodePage to, CodePage from)
      : descriptor_(::iconv_open(IconvName(to).c_str(), IconvName(from).c_str())) {}
  ~Converter() {
    if (valid()) {
      ::iconv_close(descriptor_);
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // iconv_open gives (iconv_t)-1 when it knows no such conversion.
  [[nodiscard]] bool valid() const { return reinterpret_cast<std::intptr_t>(descriptor_) != -1; }

  // Converts `in` up to the first sequence it cannot convert, appending to `out`; gives how many
  // bytes of `in` it converted.
  std::size_t Convert(std::string_view in, std::string& out) {
    ::iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    // iconv's interface is not const-correct; it never writes through the input pointer.
    char* input = const_cast<char*>(in.data());
    std::size_t inputLeft = in.size();
    std::array<char, 1024> buffer{};
    while (inputLeft > 0) {
      char* output = buffer.data();
      std::size_t outputLeft = buffer.size();
      const std::size_t result = ::iconv(descriptor_, &input, &inputLeft, &output, &outputLeft);
      out.append(buffer.data(), static_cast<std::size_t>(output - buffer.data()));
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
        break;
      }
    }
    return in.size() - inputLeft;
  }

 private:
  iconv_t descriptor_;
};

}  // namespace

CodePage SystemCodePage() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      return CodePageOfLocale(value);
    }
  }
  return CodePageOfLocale("");
}

CodePage FileSystemCodePage() {
  return kUtf8;
}

bool IsSupported(CodePage codePage) {
  return detail::IsKnown(codePage) && Converter(kUtf8, codePage).valid() &&
         Converter(codePage, kUtf8).valid();
}

void detail::DecodeConverting(std::string_view bytes, CodePage codePage,
                              const std::function<void(std::string_view)>& text,
                              const std::function<void(std::uint8_t)>& undefinedByte) {
  Converter converter(kUtf8, codePage);
  for (std::size_t at = 0; at < bytes.size();) {
    std::string stretch;
    at += converter.valid() ? converter.Convert(bytes.substr(at), stretch) : 0;
    if (!stretch.empty()) {
      text(stretch);
    }
    // A lead byte without a fitting trail byte is undefined alone; what follows it is read anew.
    if (at < bytes.size()) {
      undefinedByte(static_cast<std::uint8_t>(bytes[at]));
      ++at;
    }
  }
}

Converted detail::ConvertFromUtf8(std::string_view utf8, CodePage codePage) {
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t length = Utf8SequenceLength(utf8, at);
    if (length == 0) {
      return detail::NoUtf8(static_cast<std::uint8_t>(utf8[at]));
    }
    at += length;
  }
  Converter converter(codePage, kUtf8);
  std::string bytes;
  const std::size_t converted = converter.valid() ? converter.Convert(utf8, bytes) : 0;
  const auto convertOne = [&](std::string_view character) -> std::optional<std::string> {
    std::string one;
    return converter.Convert(character, one) == character.size() ? std::optional(one)
                                                                 : std::nullopt;
  };
  if (converted < utf8.size()) {
    const std::size_t length = Utf8SequenceLength(utf8, converted);
    return detail::NotInCodePage(utf8.substr(converted, length), codePage);
  }
  // Some of iconv's tables map a character one way only (CP932 writes the yen sign as 0x5C,
  // which reads back as a backslash): such a character is not held either.
  const Converted back = ToUtf8(bytes, codePage);
  const auto* text = std::get_if<std::string>(&back);
  if (text == nullptr || *text != utf8) {
    auto first = detail::FirstCharacterNotHeld(utf8, codePage, convertOne);
    if (auto* error = std::get_if<ConversionError>(&first)) {
      return std::move(*error);
    }
  }
  return bytes;
}

namespace detail {

bool IsLeadByteOf(std::uint8_t byte, CodePage codePage) {
  for (const LeadByteRange& range : LeadByteRanges(codePage)) {
    if (byte >= range.first && byte <= range.last) {
      return true;
    }
  }
  return false;
}

}  // namespace detail
}  // namespace quillmere::codepage
