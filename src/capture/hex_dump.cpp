#include "capture/hex_dump.h"

#include <charconv>
#include <optional>

namespace quillmere::capture {
namespace {

enum class Form { kXxd, kHexdump, kPlain };

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::optional<std::uint64_t> HexNumber(std::string_view digits) {
  std::uint64_t value = 0;
  if (digits.empty() || digits.size() > 16) {
    return std::nullopt;
  }
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  return value;
}

std::string_view Trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Tokens of hex digits separated by blanks or commas, each an even number of digits, "0x" allowed
// before each; `pairsOnly` asks for exactly two digits a token, as hexdump -C writes them.
bool AppendHexTokens(std::string_view text, bool pairsOnly, std::vector<std::uint8_t>& out) {
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ' || text[at] == '\t' || text[at] == ',') {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != ',') {
      ++end;
    }
    std::string_view token = text.substr(at, end - at);
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
      token.remove_prefix(2);
    }
    if (token.empty() || token.size() % 2 != 0 || (pairsOnly && token.size() != 2)) {
      return false;
    }
    for (std::size_t i = 0; i < token.size(); i += 2) {
      const auto byte = HexNumber(token.substr(i, 2));
      if (!byte || !IsHexDigit(token[i]) || !IsHexDigit(token[i + 1])) {
        return false;
      }
      out.push_back(static_cast<std::uint8_t>(*byte));
    }
    at = end;
  }
  return true;
}

Form FormOf(std::string_view firstLine) {
  const std::size_t colon = firstLine.find(':');
  if (colon != std::string_view::npos && HexNumber(firstLine.substr(0, colon))) {
    return Form::kXxd;
  }
  const std::size_t gap = firstLine.find("  ");
  if (gap != std::string_view::npos && gap >= 4 && HexNumber(firstLine.substr(0, gap)) &&
      firstLine.find('|') != std::string_view::npos) {
    return Form::kHexdump;
  }
  return Form::kPlain;
}

class DumpReader {
 public:
  std::optional<HexDumpError> Line(std::size_t number, std::string_view line) {
    line = Trim(line);
    if (line.empty()) {
      return std::nullopt;
    }
    if (!form_) {
      form_ = FormOf(line);
    }
    if (line == "*") {
      repeat_ = true;
      return form_ == Form::kPlain
                 ? std::optional<HexDumpError>(
                       HexDumpError{number,
                                    "a '*' stands for repeated lines the dump left out, and a dump "
                                    "without offsets cannot say how many: dump again with od -v"})
                 : std::nullopt;
    }
    std::optional<std::uint64_t> offset;
    std::string_view data = line;
    if (*form_ == Form::kXxd) {
      const std::size_t colon = line.find(':');
      offset = colon == std::string_view::npos ? std::nullopt : HexNumber(line.substr(0, colon));
      data = line.substr(colon == std::string_view::npos ? 0 : colon + 1);
      data = data.substr(0, data.find("  ", 1));  // the text column follows two blanks
    } else if (*form_ == Form::kHexdump) {
      const std::size_t gap = line.find_first_of(" \t");
      offset = HexNumber(line.substr(0, gap));
      data = gap == std::string_view::npos ? std::string_view() : line.substr(gap);
      data = data.substr(0, data.find('|'));
    }
    if (*form_ != Form::kPlain && !offset) {
      return HexDumpError{number, "the line does not start with an offset like the lines before"};
    }
    if (offset) {
      if (auto error = CatchUp(number, *offset)) {
        return error;
      }
    }
    const std::size_t before = bytes_.size();
    if (!AppendHexTokens(data, *form_ == Form::kHexdump, bytes_)) {
      return HexDumpError{number, "not a line of hex bytes"};
    }
    last_.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(before), bytes_.end());
    return std::nullopt;
  }

  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  // A line's offset must follow the bytes so far; after a '*' the line before repeats up to it.
  std::optional<HexDumpError> CatchUp(std::size_t number, std::uint64_t offset) {
    if (repeat_ && !last_.empty() && offset > bytes_.size()) {
      const std::uint64_t missing = offset - bytes_.size();
      if (missing % last_.size() != 0 || missing > kMaxRepeat) {
        return HexDumpError{number, "the repeated lines do not reach this line's offset"};
      }
      for (std::uint64_t i = 0; i < missing; ++i) {
        bytes_.push_back(last_[static_cast<std::size_t>(i % last_.size())]);
      }
    }
    repeat_ = false;
    if (offset != bytes_.size()) {
      return HexDumpError{number, "the offset does not follow the bytes of the lines before"};
    }
    return std::nullopt;
  }

  static constexpr std::uint64_t kMaxRepeat = std::uint64_t{1} << 30;
  std::optional<Form> form_;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> last_;
  bool repeat_ = false;
};

}  // namespace

std::variant<std::vector<std::uint8_t>, HexDumpError> ParseHexDump(std::string_view text) {
  DumpReader reader;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    ++number;
    if (auto error = reader.Line(number, text.substr(0, end))) {
      return *error;
    }
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return reader.Take();
}

}  // namespace quillmere::capture
