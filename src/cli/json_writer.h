// A small JSON writer for quillmere-cli's machine-readable output: objects, arrays, strings,
// numbers, booleans and null, indented two blanks a level. Strings are given as UTF-8, module
// text converted from the shop's code page (terminal_text.h); a byte that is no UTF-8 all the
// same (a file name that is none) is written as \u00XX, so the output is always valid JSON.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::cli {

// `text` as a JSON string literal, quotes included.
[[nodiscard]] std::string JsonString(std::string_view text);

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  // The name of the next member of the object being written.
  void Key(std::string_view name);

  void String(std::string_view text);
  void Number(std::int64_t value);
  void Bool(bool value);
  void Null();
  // An array of small numbers on one line, as byte sequences read best.
  void Bytes(std::span<const std::uint8_t> bytes);

  // A member with its value, in one call.
  void StringMember(std::string_view name, std::string_view text) {
    Key(name);
    String(text);
  }
  void NumberMember(std::string_view name, std::int64_t value) {
    Key(name);
    Number(value);
  }
  void BoolMember(std::string_view name, bool value) {
    Key(name);
    Bool(value);
  }

 private:
  void Open(char bracket);
  void Close(char bracket);
  void BeforeValue();
  void NewLine();

  std::ostream& out_;
  std::vector<bool> hasMembers_;  // one per open object or array
  bool afterKey_ = false;
};

}  // namespace quillmere::cli
