// How a module file is read and written, rule by rule, in one place: the portable profile store
// gives the results the Windows profile functions give on module files, and every choice it makes
// where Windows' behaviour is unknown is written down here, beside the rule it shapes.
//
// The file is 8-bit text in the system's code page; names compare ignoring the case of A-Z/a-z.
// ini_document.h applies these rules to a whole file; the stores only add the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_store.h"
#include "platform/text.h"

namespace quillmere::profile_rules {

// --- Blank characters ---------------------------------------------------------------------------

// Blanks inside the file: space, TAB and VT are skipped before a line's first character and
// trimmed around names and values. Form feed and 0x1A are no blanks: Windows' treatment of them
// is unknown, and keeping them visible never hides a byte of a command value.
[[nodiscard]] constexpr bool IsFileBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v';
}

[[nodiscard]] inline std::string_view TrimFileBlanks(std::string_view s) {
  while (!s.empty() && IsFileBlank(s.front())) {
    s.remove_prefix(1);
  }
  while (!s.empty() && IsFileBlank(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

// The section and key names a caller passes lose leading and trailing spaces only; a TAB in a
// name is part of it.
[[nodiscard]] std::string_view TrimNameParameter(std::string_view name);

// --- Lines --------------------------------------------------------------------------------------

// Every byte but CR and LF belongs to its line, NUL included: it is kept on every write and
// compared as it stands in names (only a value a read gives ends at a NUL, see FitToBuffer).
//
// CR, LF and CRLF each end a line; a file may mix them. The number of bytes of the line ending
// that starts at `position` (2 for CRLF, 1 for a lone CR or LF), 0 when none starts there.
[[nodiscard]] inline std::size_t LineEndingLengthAt(std::string_view bytes, std::size_t position) {
  if (position >= bytes.size()) {
    return 0;
  }
  if (bytes[position] == '\n') {
    return 1;
  }
  if (bytes[position] == '\r') {
    return position + 1 < bytes.size() && bytes[position + 1] == '\n' ? 2 : 1;
  }
  return 0;
}

// Where the line that starts at `position` ends: the offset of the first CR or LF at or after
// it, or the size of `bytes` when none follows. One pass over the bytes, many at a time.
[[nodiscard]] std::size_t LineContentEnd(std::string_view bytes, std::size_t position);

// New lines follow the file's own habit: the first line ending found in it. A file with none (a
// new or empty file, or one single unended line) gets CRLF, as Windows writes; so does a new
// line whose lone CR would join the LF after it into one ending.
[[nodiscard]] std::string_view LineEndingOf(std::string_view bytes);
inline constexpr std::string_view kDefaultLineEnding = "\r\n";

enum class LineKind {
  kBlank,    // nothing but blanks
  kHeader,   // "[" after leading blanks
  kComment,  // ";" after leading blanks; never found, never listed
  kEntry,    // "key=value", split at the first "="
  kBare,     // any other line: text without "="
};

// What one line means, its ending left off. The views point into the line given.
struct LineMeaning {
  LineKind kind = LineKind::kBlank;
  std::string_view name;   // a header's section name, or an entry's or bare line's key name
  std::string_view value;  // an entry's value as a read gives it (blanks and outer quotes gone)
};

[[nodiscard]] LineMeaning ClassifyLine(std::string_view line);

// --- Matching -----------------------------------------------------------------------------------

// Two section or key names match when their match keys are equal: A-Z folded to a-z, every other
// byte (and every trail byte of a double-byte character) kept. Non-ASCII letters never fold, as
// the rest of the tool compares them; how Windows folds them is not known.
[[nodiscard]] std::string MatchKey(std::string_view name);

// Only the first section of a name is searched, and in it the first entry of a key wins: later
// duplicates stay in the file untouched, never read and never written. Lines before the first
// header belong to no section, not even to the section "".

// A bare line is no key: a lookup of its text gives the default (as on Wine; key enumerations
// leave it out on Windows too), and a write of that name adds a new line. So a read and a write
// always agree on which line holds a key.
[[nodiscard]] constexpr bool HoldsKey(LineKind kind) {
  return kind == LineKind::kEntry;
}

// A key enumeration lists every entry of the section in file order, duplicates included, but no
// entry with an empty name: the Windows list separates names by NULs and ends at an empty one.
[[nodiscard]] constexpr bool IsListedKey(const LineMeaning& line) {
  return line.kind == LineKind::kEntry && !line.name.empty();
}

// --- Reading ------------------------------------------------------------------------------------

// A value as a read gives it: blanks trimmed, then one outer pair of ' or " removed when the
// value starts and ends with the same quote.
[[nodiscard]] inline std::string_view ReadableValue(std::string_view rawValue) {
  std::string_view value = TrimFileBlanks(rawValue);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

// What the caller's buffer receives: the text up to its first NUL (the caller of the Windows
// function sees its buffer as a C string), cut to kProfileValueMax bytes without leaving half a
// double-byte character. Outer quotes are removed before the cut, so a cut value loses its
// closing quote with the cut text.
[[nodiscard]] std::string FitToBuffer(std::string_view value);
// The same, as the part of `value` that fits. FitLongValue cuts a value of more than
// kProfileValueMax bytes that holds no NUL.
[[nodiscard]] std::string_view FitLongValue(std::string_view value);
[[nodiscard]] inline std::string_view FitValue(std::string_view value) {
  value = value.substr(0, text::FindByte(value, '\0'));
  return value.size() <= kProfileValueMax ? value : FitLongValue(value);
}

// A default as a read gives it when the file, the section or the key is absent: trailing spaces
// removed (leading spaces, TABs and quotes kept), then fitted like a value.
[[nodiscard]] std::string ReadableDefault(std::string_view defaultValue);

// An integer read from what the string read gave: empty (absent key, "k=" or k="") gives the
// default; anything else is read as a leading decimal (text::ParseLeadingDecimal: atoi's white
// space, a sign, digits up to the first other byte, wrapping as 32 bits), so "42A9" is 42 and
// "B42" is 0. The value has lost its file blanks already; which further bytes Windows skips
// before the digits is not known, so the integer read skips what the value tokens' reading
// skips. No "0x" prefix is taken: the tool writes counts as plain decimals, and Windows' reading
// of prefixes is not known.
[[nodiscard]] std::int32_t ReadableInteger(std::string_view readValue, std::int32_t defaultValue);

// A file that starts with the UTF-16LE byte-order mark is a Unicode profile on Windows. This
// tool reads module files as 8-bit text only, so such a file reads as defaults and is never
// written: an 8-bit line inside UTF-16 text would corrupt it.
[[nodiscard]] bool IsUnicodeFile(std::string_view bytes);
// A file that starts with a UTF-16 byte-order mark of either order (FF FE, FE FF) holds UTF-16
// text. Windows reads the first as a Unicode profile and the second as 8-bit lines full of NUL
// bytes, which no read finds a key in: either reads as empty to this tool, and an 8-bit line
// written into either is lost in it. No module file starts so.
[[nodiscard]] bool IsUtf16Text(std::string_view bytes);
// A UTF-8 byte-order mark is not recognised (Windows does not): its bytes are part of line 1, so
// a header there is no header, and its section cannot be read.

// --- Lists --------------------------------------------------------------------------------------

// A list of a module file is a count and the keys "1", "2", ... of its section. A read of key k
// asks for k's decimal text, and finds exactly the entry whose name, trimmed by the file's blank
// rule, is that text (digits have no case). So a listed key name is key k of a list of `count`
// keys exactly when it is k's decimal text: no sign, no leading zero, no blank or other byte at
// its edge (a form feed or 0x1A makes a key of its own that no read of k finds). None otherwise.
[[nodiscard]] inline std::optional<std::int32_t> ListKey(std::string_view name,
                                                         std::int32_t count) {
  if (name.empty() || name.size() > 10 || name.front() == '0') {
    return std::nullopt;
  }
  std::int64_t key = 0;
  for (const char c : name) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    key = key * 10 + (c - '0');
  }
  if (key > count) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(key);
}

// --- Writing ------------------------------------------------------------------------------------

// Whether a write of (section, key, value) is made at all. Refused: a line break or a NUL in any
// of them (a line break splits the file's lines apart; a NUL would cut the value where the
// Windows reader sees it), and names that a read could not find again: an empty name (none in
// a module file; Windows' own functions are known to crash on some), a key holding "=" or
// starting with ";" or "[", a section holding "]", and names with TAB or VT at either end (the
// file side trims them, the caller's side does not). `section` and `key` are the caller's,
// untrimmed.
[[nodiscard]] bool IsWritable(std::string_view section, std::string_view key,
                              std::string_view value);

// The header line of a new section and the line of a new key, without a line ending. Names are
// passed trimmed; the value is written exactly as given.
[[nodiscard]] std::string NewHeaderLine(std::string_view section);
[[nodiscard]] std::string NewEntryLine(std::string_view key, std::string_view value);

// The line of an existing key after a write, without a line ending: everything up to and
// including its first "=" is kept (the leading blanks, the key's spelling, blanks before the
// "="), and the rest becomes the value as given. Keeping the key's part byte for byte changes
// the least of the file, and it reads back the same, as reads trim the value anyway.
[[nodiscard]] std::string ReplacedEntryLine(std::string_view line, std::string_view value);

// Where a new key goes in its section: after the last entry line, before the comments and blank
// lines that close the section (directly after the header when it has no entry). A bare line
// (text without "=") counts as an entry here: Windows and Wine both keep it among the section's
// key lines, so a new key after it keeps those lines together.
[[nodiscard]] constexpr bool PlacesNewKeysAfter(LineKind kind) {
  return kind == LineKind::kEntry || kind == LineKind::kBare;
}

}  // namespace quillmere::profile_rules
