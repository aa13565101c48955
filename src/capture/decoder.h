// The ESC/POS decoder: walks a capture of what a register sent to its printer, gives every byte
// its role (printed text, a command, a command's parameter, image or barcode data), keeps the
// printer state that changes what later bytes mean, and splits the stream into receipts at the
// cuts. It never fails: a byte it cannot place is reported and the walk goes on after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/command_table.h"

namespace quillmere::capture {

// What the decoder knows of a byte.
struct ByteInfo {
  ByteRole role = ByteRole::kText;
  bool startsUnit = false;  // the first byte of a command or of a text character
  bool printed = true;      // false for text the printer dropped (ESC @, a cancelled page)
};

// One step of the stream: a run of text characters or one command.
struct Element {
  enum class Kind : std::uint8_t { kText, kCommand, kUnknown };
  Kind kind = Kind::kText;
  std::size_t offset = 0;
  std::size_t length = 0;
  const CommandForm* form = nullptr;  // kCommand only
  bool endsLine = false;              // the printer prints its line buffer here
  bool doubleByte = false;            // kText: decoded in double-byte character mode
};

enum class CutKind : std::uint8_t { kFull, kPartial, kFormFeed };

// Where a cut stands: a cut amid a line is ignored by printers in standard mode.
enum class CutPlacement : std::uint8_t { kLineStart, kMidLine };

// The command that ends a receipt.
struct Cut {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::string name;  // "GS V 66 0", "ESC i", "FF"
  CutKind kind = CutKind::kFull;
  bool feeds = false;  // the paper is fed to the cutter before the cut
  CutPlacement placement = CutPlacement::kLineStart;
};

struct Receipt {
  std::size_t index = 0;  // from 1
  std::size_t start = 0;
  std::size_t end = 0;     // one past the last byte, the cut included
  std::optional<Cut> cut;  // none for the bytes after the last cut
  // The ESC t tables and ESC R sets in force for its text, in order of first use; a front end
  // converts the text with them in mind.
  std::vector<std::uint8_t> codeTables;
  std::vector<std::uint8_t> internationalSets;
  bool doubleByteText = false;  // holds characters decoded in double-byte mode
};

enum class ProblemKind : std::uint8_t { kUnknownCommand, kBadParameter, kTruncatedCommand };

struct DecodeProblem {
  std::size_t offset = 0;
  ProblemKind kind = ProblemKind::kUnknownCommand;
  std::string bytes;  // the bytes as the references write them: "ESC y", "GS V 7"
};

// "unknown command", "parameter out of range", "stream ends inside the command".
[[nodiscard]] std::string_view ProblemName(ProblemKind kind);

struct DecodeOptions {
  // Some printers start in double-byte mode by their own setting, with no FS & in the stream.
  bool doubleByteAtStart = false;
};

struct DecodedCapture {
  std::vector<std::uint8_t> bytes;
  std::vector<ByteInfo> info;  // one for each byte
  std::vector<Element> elements;
  std::vector<Receipt> receipts;
  std::vector<DecodeProblem> problems;

  // The index in `receipts` of the receipt that holds `offset`; none past the end.
  [[nodiscard]] std::optional<std::size_t> ReceiptAt(std::size_t offset) const;
};

[[nodiscard]] DecodedCapture Decode(std::vector<std::uint8_t> bytes, DecodeOptions options = {});

}  // namespace quillmere::capture
