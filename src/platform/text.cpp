#include "platform/text.h"

#include "platform/code_page.h"

namespace quillmere::text {

namespace {

// Calls `visit(position)` for every character start of `s`; stops when it returns true.
template <typename Visit>
void ForEachCharacterStart(std::string_view s, Visit visit) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (visit(i)) {
      return;
    }
    if (IsLeadByte(static_cast<std::uint8_t>(s[i])) && i + 1 < s.size()) {
      ++i;
    }
  }
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  if (!CodePageHasLeadBytes()) {
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (FoldAscii(a[i]) != FoldAscii(b[i])) {
        return false;
      }
    }
    return true;
  }
  bool equal = true;
  bool trail = false;
  for (std::size_t i = 0; i < a.size() && equal; ++i) {
    if (trail) {
      equal = a[i] == b[i];
      trail = false;
      continue;
    }
    equal = FoldAscii(a[i]) == FoldAscii(b[i]);
    trail = IsLeadByte(static_cast<std::uint8_t>(a[i]));
  }
  return equal;
}

std::size_t FindCharWalking(std::string_view s, char c) {
  std::size_t found = std::string_view::npos;
  ForEachCharacterStart(s, [&](std::size_t i) {
    if (s[i] == c) {
      found = i;
      return true;
    }
    return false;
  });
  return found;
}

std::size_t FindLastChar(std::string_view s, char c) {
  std::size_t found = std::string_view::npos;
  ForEachCharacterStart(s, [&](std::size_t i) {
    if (s[i] == c) {
      found = i;
    }
    return false;
  });
  return found;
}

bool EndsWithIgnoreCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && EqualsIgnoreCase(s.substr(s.size() - suffix.size()), suffix);
}

std::string FormatDecimal(std::int64_t value) {
  return std::to_string(value);
}

}  // namespace quillmere::text
