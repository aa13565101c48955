// The ESC/POS commands a register sends to its receipt printer, with their lengths: the one
// table the decoder walks a capture with. A command's length is what keeps the decoder in step:
// a parameter byte or a byte of an image taken for text would print letters the printer never
// prints, and would hide or invent a module's triggers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::capture {

// What a byte of the stream is to the printer.
enum class ByteRole : std::uint8_t { kText, kCommand, kParameter, kImage, kBarcode };

// "text", "command", "parameter", "image", "barcode".
[[nodiscard]] std::string_view RoleName(ByteRole role);

// What a command does that changes what later bytes mean or how a receipt's text looks.
enum class CommandEffect : std::uint8_t {
  kNone,
  kHorizontalTab,     // HT
  kLineFeed,          // LF
  kCarriageReturn,    // CR
  kFormFeed,          // FF: ends a page in page mode, ejects the form in standard mode
  kCancelPage,        // CAN: drops the page's data in page mode
  kInitialize,        // ESC @
  kCodeTable,         // ESC t n
  kInternationalSet,  // ESC R n
  kDoubleByteOn,      // FS &
  kDoubleByteOff,     // FS .
  kPageMode,          // ESC L
  kStandardMode,      // ESC S
  kPrintPage,         // ESC FF
  kCut,               // GS V, ESC i, ESC m
  kAbsolutePosition,  // ESC $ nL nH
  kRelativePosition,  // ESC \ nL nH
  kTabStops,          // ESC D n1 ... NUL
  kFeedLines,         // ESC d n
  kFeedDots,          // ESC J n
  kPrintMode,         // ESC ! n (bit 0 selects font B)
  kFont,              // ESC M n
  kImage,             // prints an image: ESC *, GS v 0, GS Q 0, FS p, GS /
  kGraphics,          // GS ( L and GS 8 L: stores or prints graphics by function
  kBarcode,           // GS k
  kSymbol,            // GS ( k: stores or prints a two-dimensional code by function
};

// How a command's length follows from its bytes.
enum class LengthRule : std::uint8_t {
  kFixed,           // `length` bytes in all
  kFramed16,        // X ( f pL pH: pL + 256 pH bytes follow
  kFramed32,        // GS 8 L p1 p2 p3 p4: a 32-bit count of bytes follows
  kColumnImage,     // ESC * m nL nH: n columns of 1 (m 0, 1) or 3 (m 32, 33) bytes
  kRasterImage,     // GS v 0 / GS Q 0 m xL xH yL yH: x bytes a row, y rows
  kBarcode,         // GS k m: up to NUL (m 0..6) or n bytes (m 65..79)
  kTabPositions,    // ESC D: rising positions up to NUL, at most 32
  kCut,             // GS V m [n]
  kDownloadImage,   // GS * x y: x * y * 8 bytes
  kNvImages,        // FS q n, then n images of xL xH yL yH and x * y * 8 bytes
  kUserCharacters,  // ESC & y c1 c2, then for each character x and y * x bytes
  kRealTimePulse,   // DLE DC4 fn ...
  kRealTimeStatus,  // DLE EOT n [a]
};

struct CommandForm {
  std::string_view introducer;  // the bytes that name the command
  std::string_view mnemonic;    // "GS V", "ESC @"
  LengthRule rule = LengthRule::kFixed;
  std::uint8_t length = 0;  // kFixed: the whole command's bytes
  CommandEffect effect = CommandEffect::kNone;
  std::string_view title;  // what the printer does, in a few words
};

// Every command the decoder knows, single control bytes included.
[[nodiscard]] std::span<const CommandForm> CommandTable();

// The command whose introducer starts `bytes`, the longest when several do; null when none.
[[nodiscard]] const CommandForm* FindCommand(std::span<const std::uint8_t> bytes);

// A run of a command's bytes that carries data rather than parameters, from the command's start.
struct DataSpan {
  std::size_t offset = 0;
  std::size_t length = 0;
  ByteRole role = ByteRole::kImage;
};

enum class MeasureStatus : std::uint8_t {
  kComplete,
  kTruncated,     // the stream ends inside the command
  kUnknown,       // no command of the table starts here
  kBadParameter,  // a parameter out of the command's range leaves its length unknown
};

struct Measurement {
  MeasureStatus status = MeasureStatus::kUnknown;
  const CommandForm* form = nullptr;
  std::size_t length = 0;  // kComplete: the command's bytes; otherwise 0
  std::vector<DataSpan> data;
};

// The command at the start of `bytes` (which begin with a control byte), measured against the
// rest of the stream. Never reads past `bytes`.
[[nodiscard]] Measurement MeasureCommand(std::span<const std::uint8_t> bytes);

// The command's bytes as a reader of the printer references writes them: the mnemonic, then the
// parameters in decimal ("GS V 66 0"); at most `maxParameters` of them, then "...".
[[nodiscard]] std::string CommandText(std::span<const std::uint8_t> command,
                                      const CommandForm& form, std::size_t maxParameters = 8);

// The name of a control byte ("ESC", "LF", "NUL") or the byte as a printable character or
// decimal, as the printer references write the bytes of a command.
[[nodiscard]] std::string ByteName(std::uint8_t byte);

}  // namespace quillmere::capture
