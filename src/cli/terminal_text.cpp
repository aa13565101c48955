#include "cli/terminal_text.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <variant>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace quillmere::cli {
namespace {

std::string HexEscape(std::uint8_t byte) {
  std::array<char, 8> escape{};
  std::snprintf(escape.data(), escape.size(), "\\x%02X", static_cast<unsigned>(byte));
  return escape.data();
}

// UTF-8 holds ASCII bytes only as themselves, so the escapes can be made in the converted text.
// A path on Windows keeps its backslashes, which separate its folders there and stand in no name.
void AppendEscaped(std::string& out, std::string_view utf8, bool escapeBackslash) {
  for (const char c : utf8) {
    const auto byte = static_cast<std::uint8_t>(c);
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\\':
        out += escapeBackslash ? "\\\\" : "\\";
        break;
      default:
        out += byte < 0x20 || byte == 0x7F ? HexEscape(byte) : std::string(1, c);
    }
  }
}

std::string Escaped(std::string_view bytes, codepage::CodePage codePage, bool escapeBackslash) {
  std::string out;
  codepage::Decode(
      bytes, codePage, [&](std::string_view utf8) { AppendEscaped(out, utf8, escapeBackslash); },
      [&](std::uint8_t byte) { out += HexEscape(byte); });
  return out;
}

}  // namespace

std::string TerminalText(std::string_view moduleText) {
  return Escaped(moduleText, codepage::ActiveCodePage(), true);
}

std::string TerminalPath(std::string_view path) {
  return Escaped(path, codepage::FileSystemCodePage(), kPathSeparator != '\\');
}

std::string JsonText(std::string_view moduleText) {
  return codepage::ToUtf8ForDisplay(moduleText, codepage::ActiveCodePage());
}

std::string JsonPath(std::string_view path) {
  return codepage::SystemTextToUtf8(path);
}

std::string PathFromTerminal(std::string_view utf8) {
  codepage::Converted path = codepage::FromUtf8(utf8, codepage::FileSystemCodePage());
  auto* converted = std::get_if<std::string>(&path);
  return converted != nullptr ? std::move(*converted) : std::string(utf8);
}

}  // namespace quillmere::cli
