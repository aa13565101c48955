#include "wine_model.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/profile_rules.h"

namespace quillmere::conformance {
namespace {

constexpr std::size_t kBufferSize = 260;
constexpr std::size_t kWineIntegerBuffer = 30;

bool IsWineBlank(char c) {
  return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' ';
}

template <typename Blank>
std::string_view Trim(std::string_view s, Blank blank, bool front = true, bool back = true) {
  while (front && !s.empty() && blank(s.front())) {
    s.remove_prefix(1);
  }
  while (back && !s.empty() && blank(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return profile_rules::MatchKey(a) == profile_rules::MatchKey(b);
}

}  // namespace

const CauseText& Describe(Cause cause) {
  static const std::array<CauseText, kCauseCount> kTexts = {{
      {"header brackets", "Wine",
       R"(a section name ends at the last "]"; a line without "]" is no header)"},
      {"unnamed section", "Wine", "section \"\" reaches the lines before the first header"},
      {"parameter blanks", "Wine",
       "TAB, VT, form feed and 0x1A are trimmed from the names passed, not only spaces"},
      {"comment lookup", "Wine", "a \";\" comment line is found by its text"},
      {"default quotes", "Wine", "outer quotes are removed from the default"},
      {"blank default", "Wine", "a default of blanks only keeps one blank (Windows: empty)"},
      {"quoted fit", "Wine", "a quoted value that just fits the buffer loses a character"},
      {"integer length", "Wine", "an integer is read from at most 29 characters"},
      {"lost \"[]\"", "Wine", "a write saves the file anew without its \"[]\" headers"},
      {"refused writes", "ours", "a write no read could find again, or one that breaks lines"},
      {"form feed and 0x1A", "ours", "form feed and 0x1A are no blanks in the file"},
      {"line without \"=\"", "ours", "a line without \"=\" is no key"},
      {"integer prefix", "ours", "no 0x, 0o or 0b prefix is read (Wine reads them)"},
      {"integer white space", "ours", "only atoi's white space is skipped before the digits"},
  }};
  return kTexts[cause];
}

bool WineModel::IsBlank(char c) const {
  return c == ' ' || c == '\t' || c == '\v' || (On(kFormFeedBlank) && IsWineBlank(c));
}

std::string_view WineModel::TrimName(std::string_view name) const {
  return On(kParameterBlanks) ? Trim(name, IsWineBlank)
                              : Trim(name, [](char c) { return c == ' '; });
}

void WineModel::Load(std::string_view bytes) {
  const auto blank = [this](char c) { return IsBlank(c); };
  sections_.assign(1, {});
  bool afterEmptyName = false;  // Wine drops an unnamed entry right after another
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    const std::string_view line = Trim(bytes.substr(start, end - start), blank);
    start = std::min(bytes.find_first_not_of("\r\n", end), bytes.size());
    if (line.empty()) {
      continue;
    }
    if (line.front() == '[') {
      const std::size_t close = On(kHeaderBrackets) ? line.rfind(']') : line.find(']');
      if (close != std::string_view::npos || !On(kHeaderBrackets)) {
        const std::string_view inside = line.substr(1, close == line.npos ? line.npos : close - 1);
        sections_.push_back({std::string(Trim(inside, blank)), {}});
        afterEmptyName = false;
        continue;
      }
    }
    const std::size_t equals = line.find('=');
    Key key{std::string(line), std::nullopt};
    if (equals != std::string_view::npos) {
      key.name = Trim(line.substr(0, equals), blank, false);
      key.value = Trim(line.substr(equals + 1), blank, true, false);
    }
    if (key.name.empty() && afterEmptyName) {
      continue;
    }
    afterEmptyName = key.name.empty();
    sections_.back().keys.push_back(std::move(key));
  }
}

std::string WineModel::Save() const {
  std::string bytes;
  for (const Section& section : sections_) {
    const bool unnamed = section.name.empty() && (On(kLostHeader) || &section == &sections_[0]);
    bytes += unnamed ? "" : "[" + section.name + "]\r\n";
    for (const Key& key : section.keys) {
      bytes += key.name + (key.value ? "=" + *key.value : "") + "\r\n";
    }
  }
  return bytes;
}

std::pair<WineModel::Section*, WineModel::Key*> WineModel::Find(std::string_view section,
                                                                std::string_view key) {
  for (std::size_t i = On(kUnnamedSection) ? 0 : 1; i < sections_.size(); ++i) {
    if (!SameName(sections_[i].name, TrimName(section))) {
      continue;
    }
    for (Key& entry : sections_[i].keys) {
      if (SameName(entry.name, TrimName(key)) && (On(kCommentLookup) || entry.name[0] != ';') &&
          (On(kBareLineKey) || entry.value)) {
        return {&sections_[i], &entry};
      }
    }
    return {&sections_[i], nullptr};
  }
  return {nullptr, nullptr};
}

std::string WineModel::Copy(const std::string& value, std::size_t size) const {
  const bool quoted =
      value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
  if (!quoted) {
    return value.substr(0, size - 1);
  }
  if (!On(kQuotedFit)) {
    return value.substr(1, value.size() - 2).substr(0, size - 1);
  }
  std::string copied = value.substr(1, size - 1);  // the closing quote goes with the last byte
  if (size >= value.size() - 1) {
    copied.pop_back();
  }
  return copied;
}

std::string WineModel::ReadString(const Operation& op, std::size_t size) {
  const auto [section, key] = Find(op.section, op.key);
  if (key != nullptr && key->value) {
    return Copy(*key->value, size);
  }
  std::string fallback = op.text;
  while (fallback.size() > (On(kBlankDefault) ? 1 : 0) && fallback.back() == ' ') {
    fallback.pop_back();
  }
  return On(kDefaultQuotes) ? Copy(fallback, size) : fallback.substr(0, size - 1);
}

std::int32_t WineModel::ReadInt(const Operation& op) {
  const std::string text = ReadString({op.verb, op.name, op.section, op.key, ""},
                                      On(kIntegerLength) ? kWineIntegerBuffer : kBufferSize);
  if (text.empty()) {
    return op.number;
  }
  std::size_t i = 0;
  while (i < text.size() &&
         (On(kIntegerSkip) ? static_cast<unsigned char>(text[i]) <= ' '
                           : text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
    ++i;
  }
  const bool minus = i < text.size() && text[i] == '-';
  i += i < text.size() && (text[i] == '-' || text[i] == '+') ? 1U : 0U;
  std::uint32_t base = 10;
  if (On(kIntegerPrefix) && i + 1 < text.size() && text[i] == '0') {
    base = text[i + 1] == 'b' ? 2 : text[i + 1] == 'o' ? 8 : text[i + 1] == 'x' ? 16 : 10;
    i += base == 10 ? 0 : 2;
  }
  std::uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                      : c >= 'a' && c <= 'z' ? c - 'a' + 10
                                             : 99;
    if (static_cast<std::uint32_t>(digit) >= base) {
      break;
    }
    total = total * base + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(minus ? 0U - total : total);
}

bool WineModel::Write(const Operation& op) {
  if (!On(kRefusedWrites) && !profile_rules::IsWritable(op.section, op.key, op.text)) {
    return false;
  }
  const std::string value(Trim(
      op.text, [this](char c) { return IsBlank(c) || c == '\r' || c == '\n'; }, true, false));
  auto [section, key] = Find(op.section, op.key);
  if (section == nullptr) {
    sections_.push_back({std::string(TrimName(op.section)), {}});
    section = &sections_.back();
  }
  if (key == nullptr) {
    section->keys.push_back({std::string(TrimName(op.key)), std::nullopt});
    key = &section->keys.back();
  } else if (key->value == value) {
    return true;  // Wine leaves the file untouched
  }
  key->value = value;
  Load(Save());  // Windows, too, reads back what the write gave, line breaks and all
  return true;
}

std::string WineModel::Apply(const Operation& op) {
  if (op.verb == "file") {
    Load(op.text);
    return "ok";
  }
  if (op.verb == "read") {
    return Hex(ReadString(op, kBufferSize));
  }
  if (op.verb == "int") {
    return std::to_string(ReadInt(op));
  }
  return Write(op) ? "1" : "0";
}

}  // namespace quillmere::conformance
