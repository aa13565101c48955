// A small JSON writer for quillmere-cli's machine-readable output: objects, arrays, strings,
// numbers, booleans and null, indented two blanks a level. Module text is 8-bit in the system's
// code page, which JSON cannot carry as it is: valid UTF-8 passes through, and every other byte
// of 128 and above is written as \u00XX, as if the text were Latin-1, so the output is always
// valid JSON and every byte can still be told.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
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
  void Bytes(const std::vector<std::uint8_t>& bytes);

  // A member with its value, in one call; an absent text is written as null.
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
  void TextMember(std::string_view name, const std::optional<std::string>& text) {
    Key(name);
    text ? String(*text) : Null();
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
