#include "platform/profile_rules.h"

#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/profile_store.h"
#include "platform/text.h"

namespace quillmere::profile_rules {
namespace {

std::string_view TrimLeadingFileBlanks(std::string_view s) {
  std::size_t start = 0;
  while (start < s.size() && IsFileBlank(s[start])) {
    ++start;
  }
  return s.substr(start);
}

bool HoldsLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

std::string_view TrimNameParameter(std::string_view name) {
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::size_t LineContentEnd(std::string_view bytes, std::size_t position) {
  const char* const data = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t at = position;
#ifdef __SSE2__
  // Sixteen bytes at a time: compare them all with CR and with LF, and find the first match.
  const __m128i carriageReturns = _mm_set1_epi8('\r');
  const __m128i lineFeeds = _mm_set1_epi8('\n');
  while (at + 16 <= size) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const auto found = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(chunk, carriageReturns), _mm_cmpeq_epi8(chunk, lineFeeds))));
    if (found != 0) {
      return at + static_cast<std::size_t>(std::countr_zero(found));
    }
    at += 16;
  }
#else
  // Eight bytes at a time: a word holds CR or LF when one of its bytes, XORed with the one
  // sought, is zero; the classic test for a zero byte finds that without a branch per byte.
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  const auto holdsZeroByte = [](std::uint64_t word) { return ((word - kOnes) & ~word & kHighs); };
  while (at + sizeof(std::uint64_t) <= size) {
    std::uint64_t word = 0;
    std::memcpy(&word, data + at, sizeof(word));
    if ((holdsZeroByte(word ^ (kOnes * '\r')) | holdsZeroByte(word ^ (kOnes * '\n'))) != 0) {
      break;
    }
    at += sizeof(std::uint64_t);
  }
#endif
  while (at < size && data[at] != '\r' && data[at] != '\n') {
    ++at;
  }
  return at;
}

std::string_view LineEndingOf(std::string_view bytes) {
  const std::size_t position = bytes.find_first_of("\r\n");
  if (position == std::string_view::npos) {
    return kDefaultLineEnding;
  }
  return bytes.substr(position, LineEndingLengthAt(bytes, position));
}

LineMeaning ClassifyLine(std::string_view line) {
  const std::string_view content = TrimLeadingFileBlanks(line);
  if (content.empty()) {
    return {};
  }
  if (content.front() == '[') {
    // The name runs to the first "]" or, without one, to the end of the line; whatever follows
    // the "]" is ignored, even text that looks like an entry.
    const std::string_view inside = content.substr(1);
    return {LineKind::kHeader, TrimFileBlanks(inside.substr(0, text::FindChar(inside, ']'))), {}};
  }
  if (content.front() == ';') {
    return {LineKind::kComment, {}, {}};
  }
  const std::size_t equals = text::FindChar(content, '=');
  if (equals == std::string_view::npos) {
    return {LineKind::kBare, TrimFileBlanks(content), {}};
  }
  return {LineKind::kEntry, TrimFileBlanks(content.substr(0, equals)),
          ReadableValue(content.substr(equals + 1))};
}

std::string MatchKey(std::string_view name) {
  std::string key(name);
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (text::IsLeadByte(static_cast<std::uint8_t>(key[i]))) {
      ++i;  // the trail byte compares exactly
      continue;
    }
    key[i] = text::FoldAscii(key[i]);
  }
  return key;
}

std::string FitToBuffer(std::string_view value) {
  return std::string(FitValue(value));
}

std::string_view FitLongValue(std::string_view value) {
  // Walk the characters so that a double-byte character is kept whole or left out whole.
  std::size_t fits = 0;
  while (fits < kProfileValueMax) {
    const std::size_t width = text::IsLeadByte(static_cast<std::uint8_t>(value[fits])) ? 2 : 1;
    if (fits + width > kProfileValueMax) {
      break;
    }
    fits += width;
  }
  return value.substr(0, fits);
}

std::string ReadableDefault(std::string_view defaultValue) {
  const std::size_t last = defaultValue.find_last_not_of(' ');
  return FitToBuffer(last == std::string_view::npos ? std::string_view()
                                                    : defaultValue.substr(0, last + 1));
}

std::int32_t ReadableInteger(std::string_view readValue, std::int32_t defaultValue) {
  return readValue.empty() ? defaultValue : text::ParseLeadingDecimal(readValue);
}

bool IsUnicodeFile(std::string_view bytes) {
  return bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
}

bool IsUtf16Text(std::string_view bytes) {
  return IsUnicodeFile(bytes) || bytes.starts_with("\xFE\xFF");
}

bool IsWritable(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimNameParameter(section);
  key = TrimNameParameter(key);
  if (section.empty() || key.empty() || HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) ||
      HoldsLineBreakOrNul(value)) {
    return false;
  }
  // A name is written only when reading the line it makes finds the same name again: that one
  // test catches "=" in a key, a leading ";" or "[", "]" in a section and blanks at either end.
  const std::string headerLine = NewHeaderLine(section);
  const std::string entryLine = NewEntryLine(key, value);
  const LineMeaning header = ClassifyLine(headerLine);
  const LineMeaning entry = ClassifyLine(entryLine);
  return header.kind == LineKind::kHeader && header.name == section &&
         entry.kind == LineKind::kEntry && entry.name == key;
}

std::string NewHeaderLine(std::string_view section) {
  std::string line;
  line.reserve(section.size() + 2);
  line.push_back('[');
  line.append(section);
  line.push_back(']');
  return line;
}

std::string NewEntryLine(std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + 1 + value.size());
  line.append(key);
  line.push_back('=');
  line.append(value);
  return line;
}

std::string ReplacedEntryLine(std::string_view line, std::string_view value) {
  const std::string_view kept = line.substr(0, text::FindChar(line, '=') + 1);
  std::string replaced;
  replaced.reserve(kept.size() + value.size());
  replaced.append(kept);
  replaced.append(value);
  return replaced;
}

}  // namespace quillmere::profile_rules
