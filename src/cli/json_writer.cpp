#include "cli/json_writer.h"

#include <array>
#include <cstdio>

#include "platform/code_page.h"

namespace quillmere::cli {
namespace {

void AppendEscape(std::string& out, std::uint8_t byte) {
  std::array<char, 8> escape{};
  std::snprintf(escape.data(), escape.size(), "\\u%04x", static_cast<unsigned>(byte));
  out += escape.data();
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<std::uint8_t>(text[i]);
    if (byte >= 0x80) {
      const std::size_t length = codepage::Utf8SequenceLength(text, i);
      if (length == 0) {
        AppendEscape(out, byte);
        ++i;
      } else {
        out.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
    switch (byte) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          AppendEscape(out, byte);
        } else {
          out += static_cast<char>(byte);
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

void JsonWriter::Key(std::string_view name) {
  BeforeValue();
  out_ << JsonString(name) << ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view text) {
  BeforeValue();
  out_ << JsonString(text);
}

void JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  out_ << value;
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
}

void JsonWriter::Bytes(std::span<const std::uint8_t> bytes) {
  BeforeValue();
  out_ << '[';
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out_ << (i == 0 ? "" : ", ") << static_cast<unsigned>(bytes[i]);
  }
  out_ << ']';
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ << bracket;
  hasMembers_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  const bool hadMembers = hasMembers_.back();
  hasMembers_.pop_back();
  if (hadMembers) {
    NewLine();
  }
  out_ << bracket;
  if (hasMembers_.empty()) {
    out_ << '\n';
  }
}

// A value after a key follows it on its line; any other value starts a new line in its
// container, after a comma when it is not the first.
void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (hasMembers_.empty()) {
    return;
  }
  if (hasMembers_.back()) {
    out_ << ',';
  }
  hasMembers_.back() = true;
  NewLine();
}

void JsonWriter::NewLine() {
  out_ << '\n' << std::string(2 * hasMembers_.size(), ' ');
}

}  // namespace quillmere::cli
