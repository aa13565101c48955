#include "module/value_parsers.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "platform/module_library.h"
#include "platform/text.h"

namespace quillmere {

namespace {

constexpr std::array<ControlCodeName, 33> kControlCodeNames = {{
    {"NUL", 0},  {"SOH", 1},  {"STX", 2},  {"ETX", 3},  {"EOT", 4},  {"ENQ", 5},  {"ACK", 6},
    {"BEL", 7},  {"BS", 8},   {"HT", 9},   {"LF", 10},  {"VT", 11},  {"FF", 12},  {"CR", 13},
    {"SI", 15},  {"SLE", 16}, {"DLE", 16}, {"CS1", 17}, {"DC2", 18}, {"DC3", 19}, {"DC4", 20},
    {"NAK", 21}, {"SYN", 22}, {"ETB", 23}, {"CAN", 24}, {"EM", 25},  {"SIB", 26}, {"ESC", 27},
    {"FS", 28},  {"GS", 29},  {"RS", 30},  {"US", 31},  {"SP", 32},
}};

// A token of two or three bytes as one number: its length, then its bytes with A-Z folded to
// a-z. Two tokens pack alike exactly when they are equal ignoring case, as the names compare
// (a byte above 127 never folds and never matches a name, lead byte or not).
constexpr std::uint32_t Packed(std::string_view token) {
  auto packed = static_cast<std::uint32_t>(token.size());
  for (const char c : token) {
    packed = (packed << 8U) | static_cast<std::uint8_t>(text::FoldAscii(c));
  }
  return packed;
}

// The control-code names hashed into a table with one name per slot: a byte token costs one
// multiplication and one comparison. The multiplier is searched for when compiling.
constexpr unsigned kSlotBits = 7;

struct ControlCodeTable {
  std::uint32_t multiplier = 0;
  std::array<std::uint32_t, std::size_t{1} << kSlotBits> packed{};  // 0: no name
  std::array<std::uint8_t, std::size_t{1} << kSlotBits> value{};

  [[nodiscard]] constexpr std::size_t SlotOf(std::uint32_t key) const {
    return (key * multiplier) >> (32U - kSlotBits);
  }
};

constexpr ControlCodeTable MakeControlCodeTable() {
  for (std::uint32_t multiplier = 0x9E3779B1U;; multiplier += 2) {
    ControlCodeTable table;
    table.multiplier = multiplier;
    bool apart = true;
    for (const ControlCodeName& code : kControlCodeNames) {
      const std::uint32_t key = Packed(code.name);
      const std::size_t slot = table.SlotOf(key);
      apart = apart && table.packed[slot] == 0;
      table.packed[slot] = key;
      table.value[slot] = code.value;
    }
    if (apart) {
      return table;
    }
  }
}

constexpr ControlCodeTable kControlCodeTable = MakeControlCodeTable();

}  // namespace

const std::array<ControlCodeName, 33> ControlCodeNames = kControlCodeNames;

std::uint8_t ParseByteToken(std::string_view token) {
  if (token.size() == 1) {
    return static_cast<std::uint8_t>(token.front());
  }
  if (token.size() == 2 || token.size() == 3) {
    const std::uint32_t key = Packed(token);
    const std::size_t slot = kControlCodeTable.SlotOf(key);
    if (kControlCodeTable.packed[slot] == key) {
      return kControlCodeTable.value[slot];
    }
  }
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(text::ParseLeadingDecimal(token)) &
                                   0xFFU);
}

TransactionEvent ParseEventTag(std::string_view token, TagFlags& flags) {
  if (text::EqualsIgnoreCase(token, "TRAN_START")) {
    flags.noStartTag = false;
    return TransactionEvent::kStart;
  }
  if (text::EqualsIgnoreCase(token, "TRAN_STOP")) {
    flags.noStopTag = false;
    return TransactionEvent::kStop;
  }
  if (text::EqualsIgnoreCase(token, "TRAN_VOID")) {
    return TransactionEvent::kVoid;
  }
  return TransactionEvent::kNone;
}

std::string DescribeParseError(const ParseError& error) {
  const std::string& detail = error.detail;
  switch (error.failure) {
    case ParseFailure::kMissingCount:
      return "the count is absent";
    case ParseFailure::kNegativeCount:
      return "the byte count " + detail + " is below zero";
    case ParseFailure::kMissingByte:
      return "byte token " + detail + " is absent";
    case ParseFailure::kMissingKind:
      return "the kind is absent";
    case ParseFailure::kMissingParameter:
      return "kind " + detail + " needs a parameter token, which is absent";
    case ParseFailure::kNoLibrary:
      return "function " + detail + " cannot be bound: the module uses no library (UseDll flag 0)";
    case ParseFailure::kLibraryNotLoaded:
      return "function " + detail +
             " cannot be bound: the module library was not found or did not load";
    case ParseFailure::kNameNotExported:
      return "function " + detail + " is not exported by the module library";
    case ParseFailure::kMissingSection:
      return "the section name is absent";
    case ParseFailure::kMissingTrigger:
      return "the trigger byte is absent";
  }
  return "unknown failure";
}

namespace {

ParseError Failure(ParseFailure failure, std::string detail = {}) {
  return ParseError{failure, std::move(detail)};
}

// The count and the byte tokens that open change-line and command records. The bytes grow with
// the tokens actually there, never with the count: a value holds at most 259 characters, so a
// huge count fails at its first absent token without costing anything.
std::optional<ParseError> ReadBytes(std::string_view& remainder, CommandRecord& record) {
  const std::string_view countToken = NextToken(remainder);
  if (countToken.empty()) {
    return Failure(ParseFailure::kMissingCount);
  }
  const std::int32_t count = text::ParseLeadingDecimal(countToken);
  if (count < 0) {
    return Failure(ParseFailure::kNegativeCount, text::FormatDecimal(count));
  }
  // Each byte token takes a character and a comma, so the value bounds what can be there; a
  // value read through the profile functions' buffer holds at most 259 characters.
  const std::size_t most = std::min(static_cast<std::size_t>(count), (remainder.size() + 1) / 2);
  std::array<std::uint8_t, 256>
      read;  // NOLINT(cppcoreguidelines-pro-type-member-init): written before read
  std::vector<std::uint8_t> readLong(most > read.size() ? most : 0);
  const std::span<std::uint8_t> bytes =
      most > read.size() ? std::span(readLong) : std::span(read).first(most);
  for (std::int32_t index = 1; index <= count; ++index) {
    const std::string_view token = NextToken(remainder);
    if (token.empty()) {
      return Failure(ParseFailure::kMissingByte, text::FormatDecimal(index));
    }
    bytes[static_cast<std::size_t>(index - 1)] = ParseByteToken(token);
  }
  record.bytes = RecordBytes(bytes.first(static_cast<std::size_t>(count)));
  record.byteCount = count;
  return std::nullopt;
}

}  // namespace

Parsed<std::string> BindLibraryFunction(std::string_view name, const LibraryBinding& binding) {
  if (!binding.useLibrary) {
    return Failure(ParseFailure::kNoLibrary, std::string(name));
  }
  if (binding.library == nullptr) {
    return Failure(ParseFailure::kLibraryNotLoaded, std::string(name));
  }
  if (!binding.library->Exports(name)) {
    return Failure(ParseFailure::kNameNotExported, std::string(name));
  }
  return std::string(name);
}

Parsed<CommandRecord> ParseChangeLineValue(std::string_view value) {
  CommandRecord record;
  if (std::optional<ParseError> error = ParseChangeLineValueInto(value, record)) {
    return std::move(*error);
  }
  return record;
}

Parsed<CommandRecord> ParseCommandValue(std::string_view value, const LibraryBinding& binding,
                                        TagFlags& flags) {
  CommandRecord record;
  if (std::optional<ParseError> error = ParseCommandValueInto(value, binding, flags, record)) {
    return std::move(*error);
  }
  return record;
}

std::optional<ParseError> ParseChangeLineValueInto(std::string_view value, CommandRecord& record) {
  return ReadBytes(value, record);
}

std::optional<ParseError> ParseCommandValueInto(std::string_view value,
                                                const LibraryBinding& binding, TagFlags& flags,
                                                CommandRecord& record) {
  if (std::optional<ParseError> error = ReadBytes(value, record)) {
    return error;
  }

  const std::string_view kindToken = NextToken(value);
  if (kindToken.empty()) {
    return Failure(ParseFailure::kMissingKind);
  }
  record.kind = text::ParseLeadingDecimal(kindToken);

  // Kind 2 has no parameter: its next token is already the text flag.
  if (record.kind != 2) {
    const std::string_view parameter = NextToken(value);
    if (parameter.empty()) {
      return Failure(ParseFailure::kMissingParameter, text::FormatDecimal(record.kind));
    }
    if (record.kind == 1) {
      record.parameter = text::ParseLeadingDecimal(parameter);
    } else if (record.kind == 3) {
      // The parameter names the library function the record stands for.
      Parsed<std::string> bound = BindLibraryFunction(parameter, binding);
      if (ParseError* error = std::get_if<ParseError>(&bound)) {
        return std::move(*error);
      }
      record.function = RecordText(std::get<std::string>(bound));
    }
  }

  // From here on every token is optional: an absent one ends a complete record.
  const std::string_view textFlag = NextToken(value);
  if (textFlag.empty()) {
    return std::nullopt;
  }
  if (text::ParseLeadingDecimal(textFlag) != 0) {
    const std::string_view recordText = NextToken(value);
    if (recordText.empty()) {
      return std::nullopt;
    }
    record.text = RecordText(recordText);
    record.textLength = static_cast<std::int32_t>(recordText.size());
  }
  const std::string_view tag = NextToken(value);
  if (!tag.empty()) {
    record.event = ParseEventTag(tag, flags);
  }
  return std::nullopt;
}

Parsed<MultiCommandEntry> ParseMultiCommandValue(std::string_view value) {
  MultiCommandEntry entry;
  const std::string_view section = NextToken(value);
  if (section.empty()) {
    return Failure(ParseFailure::kMissingSection);
  }
  const std::string_view trigger = NextToken(value);
  if (trigger.empty()) {
    return Failure(ParseFailure::kMissingTrigger);
  }
  const std::string_view count = NextToken(value);
  if (count.empty()) {
    return Failure(ParseFailure::kMissingCount);
  }
  entry.section = std::string(section);
  entry.trigger = ParseByteToken(trigger);
  entry.count = text::ParseLeadingDecimal(count);
  return entry;
}

LibrarySetting ParseLibrarySetting(std::string_view value) {
  const std::string_view flag = NextToken(value);
  return LibrarySetting{text::ParseLeadingDecimal(flag) != 0, std::string(value)};
}

}  // namespace quillmere
