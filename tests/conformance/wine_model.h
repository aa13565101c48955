// Wine's profile functions rebuilt from their known behaviour, one file at a time, with every way
// in which Wine and the portable store are known to part switchable to the store's way. It
// explains a difference: when the model with all of Wine's ways gives Wine's result, and the
// model with a few of them switched to the store's way gives the store's result, those few are
// the difference's cause. A difference no such set explains stays unexplained.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script.h"

namespace quillmere::conformance {

// Where Wine and the store part: Wine's deviations from Windows first, then the store's own
// choices where Windows' behaviour is unknown (their reasons stand in platform/profile_rules.h).
enum Cause : std::size_t {
  kHeaderBrackets,   // Wine: a section name ends at the last "]", a line without "]" is no header
  kUnnamedSection,   // Wine: section "" reaches the lines before the first header
  kParameterBlanks,  // Wine: TAB, VT, FF, 0x1A trimmed from the names passed too
  kCommentLookup,    // Wine: a ";" comment line is found by its text
  kDefaultQuotes,    // Wine: outer quotes removed from the default
  kBlankDefault,     // Wine: a default of blanks only keeps one blank
  kQuotedFit,        // Wine: a quoted value that just fits the buffer loses a character
  kIntegerLength,    // Wine: an integer is read from at most 29 characters
  kLostHeader,       // Wine: a write saves the whole file anew, "[]" headers left out
  kRefusedWrites,    // ours: writes that could not be read back are refused
  kFormFeedBlank,    // ours: form feed and 0x1A are no blanks
  kBareLineKey,      // ours: a line without "=" is no key
  kIntegerPrefix,    // ours: no 0x, 0o or 0b prefix is read
  kIntegerSkip,      // ours: only atoi's white space is skipped before an integer's digits
  kCauseCount
};

struct CauseText {
  const char* name;
  const char* kind;  // "Wine" or "ours"
  const char* why;
};
[[nodiscard]] const CauseText& Describe(Cause cause);

using Ways = std::bitset<kCauseCount>;  // the causes whose Wine way the model takes

class WineModel {
 public:
  explicit WineModel(Ways wine) : wine_(wine) {}

  // The result line the harness prints for `op`, applied to the model's one file.
  [[nodiscard]] std::string Apply(const Operation& op);

 private:
  struct Key {
    std::string name;
    std::optional<std::string> value;  // none for a line without "="
  };
  struct Section {
    std::string name;
    std::vector<Key> keys;
  };

  [[nodiscard]] bool On(Cause cause) const { return wine_[cause]; }
  [[nodiscard]] bool IsBlank(char c) const;
  [[nodiscard]] std::string_view TrimName(std::string_view name) const;
  void Load(std::string_view bytes);
  [[nodiscard]] std::string Save() const;
  [[nodiscard]] std::pair<Section*, Key*> Find(std::string_view section, std::string_view key);
  [[nodiscard]] std::string Copy(const std::string& value, std::size_t size) const;
  [[nodiscard]] std::string ReadString(const Operation& op, std::size_t size);
  [[nodiscard]] std::int32_t ReadInt(const Operation& op);
  [[nodiscard]] bool Write(const Operation& op);

  Ways wine_;
  std::vector<Section> sections_{1};  // the first holds the lines before any header
};

}  // namespace quillmere::conformance
