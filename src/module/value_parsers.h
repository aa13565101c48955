// The value grammar of module files: tokens, byte tokens with the control-code names, event
// tags, change-line records, command records, multi-command entries and the library setting.
// Every parser here works on a value already read from the file, so they need no disk.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "module/command_record.h"
#include "platform/text.h"

namespace quillmere {

class ModuleLibrary;

// The control-code names a byte token may use, in the order they are compared: 33 names for 32
// values ("SLE" and "DLE" both 16; no name for 14 or 127; SO, DC1, SUB and DEL are not here).
struct ControlCodeName {
  std::string_view name;
  std::uint8_t value;
};
extern const std::array<ControlCodeName, 33> ControlCodeNames;

// The text up to the first comma of `remainder`, or all of it; `remainder` becomes what follows
// that comma (empty when there was none). An empty token counts as absent. Never trims. Inline:
// a load of a hundred thousand records takes well over a million tokens.
[[nodiscard]] inline std::string_view NextToken(std::string_view& remainder) {
  const std::size_t comma = text::FindChar(remainder, ',');
  if (comma == std::string_view::npos) {
    return std::exchange(remainder, {});
  }
  const std::string_view token = remainder.substr(0, comma);
  remainder.remove_prefix(comma + 1);
  return token;
}

// One byte token to its byte: a one-byte token is that byte; a longer one a control-code name
// (ignoring case), else a decimal number's low 8 bits (no digits gives 0).
[[nodiscard]] std::uint8_t ParseByteToken(std::string_view token);

// Which tags a module has seen while loading: the loader's noStartTag/noStopTag.
struct TagFlags {
  bool noStartTag = true;
  bool noStopTag = true;
};

// "TRAN_START", "TRAN_STOP", "TRAN_VOID" in any case; anything else is None. Start and Stop
// clear the matching flag in `flags`.
[[nodiscard]] TransactionEvent ParseEventTag(std::string_view token, TagFlags& flags);

// Why a value did not give a record.
enum class ParseFailure {
  kMissingCount,
  kNegativeCount,
  kMissingByte,
  kMissingKind,
  kMissingParameter,
  // A kind-3 record's function (or the barcode analyser) cannot be bound; `detail` names it.
  kNoLibrary,         // the module's UseDll flag is 0
  kLibraryNotLoaded,  // the module uses a library, but it was not found or did not load
  kNameNotExported,   // the library does not export the name
  kMissingSection,
  kMissingTrigger,
};

struct ParseError {
  ParseFailure failure = ParseFailure::kMissingCount;
  // kNegativeCount: the count; kMissingByte: which byte token, from 1; kMissingParameter: the
  // kind; binding failures: the function name; otherwise empty.
  std::string detail;
};

// Plain words for a failure, for diagnostics ("function CutPaper is not exported by the module
// library").
[[nodiscard]] std::string DescribeParseError(const ParseError& error);

template <typename T>
using Parsed = std::variant<T, ParseError>;

// The module library state that binds kind-3 records and the barcode analyser.
struct LibraryBinding {
  bool useLibrary = false;
  const ModuleLibrary* library = nullptr;  // none when not found or not loaded
};

// A function of the module library, named by a kind-3 record's parameter or by BARCODE_Analyze:
// bound only when the module uses a library, the library loaded and it exports the name (case
// counting). The bound name, or why it cannot be bound.
[[nodiscard]] Parsed<std::string> BindLibraryFunction(std::string_view name,
                                                      const LibraryBinding& binding);

[[nodiscard]] Parsed<CommandRecord> ParseChangeLineValue(std::string_view value);
[[nodiscard]] Parsed<CommandRecord> ParseCommandValue(std::string_view value,
                                                      const LibraryBinding& binding,
                                                      TagFlags& flags);

// The same two parses into a new record the caller holds already (the new last element of a
// list), so that a load of many records moves none: none when it parsed, else why not. On a
// failure `record` holds what was read before it and is to be dropped.
[[nodiscard]] std::optional<ParseError> ParseChangeLineValueInto(std::string_view value,
                                                                 CommandRecord& record);
[[nodiscard]] std::optional<ParseError> ParseCommandValueInto(std::string_view value,
                                                              const LibraryBinding& binding,
                                                              TagFlags& flags,
                                                              CommandRecord& record);

struct MultiCommandEntry {
  std::string section;
  std::uint8_t trigger = 0;
  std::int32_t count = 0;
};
[[nodiscard]] Parsed<MultiCommandEntry> ParseMultiCommandValue(std::string_view value);

// UseDll: the flag token read as a decimal number (non-zero: the module uses a library), and
// the whole remainder after the first comma as the library path.
struct LibrarySetting {
  bool useLibrary = false;
  std::string path;
};
[[nodiscard]] LibrarySetting ParseLibrarySetting(std::string_view value);

}  // namespace quillmere
