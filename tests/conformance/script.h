// The operation scripts the conformance test applies twice, through Wine's profile functions (the
// harness, cross-built for Windows) and through the portable profile store. One operation a line,
// words separated by one space, every text hex-encoded ("-" when empty), so that blanks, quotes,
// line breaks and 8-bit bytes pass unchanged:
//   file NAME BYTES                  the file NAME of the folder is made holding BYTES
//   read NAME SECTION KEY DEFAULT    GetPrivateProfileStringA with a 260-character buffer
//   int NAME SECTION KEY DEFAULT     GetPrivateProfileIntA; DEFAULT in decimal
//   write NAME SECTION KEY VALUE     WritePrivateProfileStringA
// Every line gives one result line: "ok", the text read (hex), the integer, or 1/0 for a write.
// Header only: the harness is built from it without the project's libraries.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::conformance {

struct Operation {
  std::string verb;                // file, read, int or write
  std::string name;                // the file's name in the folder
  std::string section, key, text;  // text: the bytes, the default or the value
  std::int32_t number = 0;         // an integer read's default
};

inline std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out = bytes.empty() ? "-" : "";
  for (const char c : bytes) {
    out += kDigits[static_cast<unsigned char>(c) >> 4];
    out += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

inline std::string Unhex(std::string_view hex) {
  auto value = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
  std::string out;
  for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(value(hex[i]) * 16 + value(hex[i + 1]));
  }
  return out;
}

inline std::string FormatOperation(const Operation& op) {
  std::string line = op.verb + " " + op.name + " ";
  if (op.verb == "file") {
    return line + Hex(op.text);
  }
  line += Hex(op.section) + " " + Hex(op.key) + " ";
  return line + (op.verb == "int" ? std::to_string(op.number) : Hex(op.text));
}

inline Operation ParseOperation(std::string_view line) {
  std::vector<std::string> words(1);
  for (const char c : line) {
    if (c == ' ') {
      words.emplace_back();
    } else if (c != '\r' && c != '\n') {
      words.back() += c;
    }
  }
  words.resize(5);
  Operation op{words[0], words[1], {}, {}, {}};
  if (op.verb == "file") {
    op.text = Unhex(words[2]);
    return op;
  }
  op.section = Unhex(words[2]);
  op.key = Unhex(words[3]);
  if (op.verb == "int") {
    op.number = static_cast<std::int32_t>(std::stol(words[4]));
  } else {
    op.text = Unhex(words[4]);
  }
  return op;
}

}  // namespace quillmere::conformance
