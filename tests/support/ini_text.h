// Module file text from readable lines, with the line ending a test chooses (module files made
// on Windows end their lines in CRLF).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quillmere::testing {

[[nodiscard]] inline std::string Lines(std::initializer_list<std::string_view> lines,
                                       std::string_view ending = "\r\n") {
  std::string text;
  for (const std::string_view line : lines) {
    text.append(line);
    text.append(ending);
  }
  return text;
}

}  // namespace quillmere::testing
