#include "cli/json_writer.h"

#include <array>
#include <cstdio>

namespace quillmere::cli {
namespace {

// The length of the valid UTF-8 sequence at `at`, or 0 when the bytes there are none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
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
  std::uint32_t code = lead & (0x7FU >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0U) != 0x80U) {
      return 0;
    }
    code = (code << 6U) | (byte(at + i) & 0x3FU);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < lowest || code > 0x10FFFF || surrogate ? 0 : length;
}

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
      const std::size_t length = Utf8SequenceLength(text, i);
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

void JsonWriter::Bytes(const std::vector<std::uint8_t>& bytes) {
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
