// Text of the core on the terminal, which speaks UTF-8: module text (names, keywords, values) is
// converted from the shop's code page, file names and paths from the file system's. Every
// control character, the backslash and every byte the code page does not define is escaped, so
// that a field never breaks its line or its columns and every byte can still be told.
#pragma once

#include <string>
#include <string_view>

namespace quillmere::cli {

// Module text of the active code page: \t \n \r \\ as such, other control characters and
// undefined bytes as \xHH.
[[nodiscard]] std::string TerminalText(std::string_view moduleText);

// A file name or path, escaped the same way; on Windows the backslashes between its folders stay.
[[nodiscard]] std::string TerminalPath(std::string_view path);

// Module text of the active code page as UTF-8 for JSON (an undefined byte becomes U+FFFD).
[[nodiscard]] std::string JsonText(std::string_view moduleText);

// A file name or path as UTF-8 for JSON.
[[nodiscard]] std::string JsonPath(std::string_view path);

// A file name or path given on the command line (UTF-8) as the file system names it; as given
// when it does not convert, so that it names nothing rather than another file.
[[nodiscard]] std::string PathFromTerminal(std::string_view utf8);

}  // namespace quillmere::cli
