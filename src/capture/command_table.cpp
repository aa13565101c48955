#include "capture/command_table.h"

#include <algorithm>
#include <array>

namespace quillmere::capture {
namespace {

using namespace std::string_view_literals;
using Effect = CommandEffect;
using Rule = LengthRule;

constexpr CommandForm Fixed(std::string_view introducer, std::string_view mnemonic,
                            std::uint8_t length, std::string_view title,
                            Effect effect = Effect::kNone) {
  return {introducer, mnemonic, Rule::kFixed, length, effect, title};
}

constexpr CommandForm Ruled(std::string_view introducer, std::string_view mnemonic, Rule rule,
                            std::string_view title, Effect effect = Effect::kNone) {
  return {introducer, mnemonic, rule, 0, effect, title};
}

// From the printer command references of the ESC/POS printers that registers drive. Commands of
// one model family that others lack are listed too: a register written for one printer sends
// them to every printer of the shop.
constexpr std::array kTable{
    Fixed("\x00"sv, "NUL", 1, "ignored"),
    Fixed("\x09"sv, "HT", 1, "horizontal tab", Effect::kHorizontalTab),
    Fixed("\x0a"sv, "LF", 1, "print and line feed", Effect::kLineFeed),
    Fixed("\x0c"sv, "FF", 1, "print and eject, or print the page", Effect::kFormFeed),
    Fixed("\x0d"sv, "CR", 1, "print and carriage return", Effect::kCarriageReturn),
    Fixed("\x18"sv, "CAN", 1, "cancel print data in page mode", Effect::kCancelPage),
    Ruled("\x10\x04"sv, "DLE EOT", Rule::kRealTimeStatus, "real-time status transmission"),
    Fixed("\x10\x05"sv, "DLE ENQ", 3, "real-time request to printer"),
    Ruled("\x10\x14"sv, "DLE DC4", Rule::kRealTimePulse, "real-time pulse, power-off or buzzer"),
    Fixed("\x1b\x0c"sv, "ESC FF", 2, "print data in page mode", Effect::kPrintPage),
    Fixed("\x1b "sv, "ESC SP", 3, "right-side character spacing"),
    Fixed("\x1b!"sv, "ESC !", 3, "select print modes", Effect::kPrintMode),
    Fixed("\x1b$"sv, "ESC $", 4, "absolute print position", Effect::kAbsolutePosition),
    Fixed("\x1b%"sv, "ESC %", 3, "select user-defined characters"),
    Ruled("\x1b&"sv, "ESC &", Rule::kUserCharacters, "define user-defined characters"),
    Ruled("\x1b("sv, "ESC (", Rule::kFramed16, "extended function"),
    Ruled("\x1b*"sv, "ESC *", Rule::kColumnImage, "bit image", Effect::kImage),
    Fixed("\x1b-"sv, "ESC -", 3, "underline"),
    Fixed("\x1b"
          "2"sv,
          "ESC 2", 2, "default line spacing"),
    Fixed("\x1b"
          "3"sv,
          "ESC 3", 3, "line spacing"),
    Fixed("\x1b<"sv, "ESC <", 2, "return home"),
    Fixed("\x1b="sv, "ESC =", 3, "select peripheral device"),
    Fixed("\x1b?"sv, "ESC ?", 3, "cancel user-defined character"),
    Fixed("\x1b@"sv, "ESC @", 2, "initialize printer", Effect::kInitialize),
    Ruled("\x1b"
          "D"sv,
          "ESC D", Rule::kTabPositions, "horizontal tab positions", Effect::kTabStops),
    Fixed("\x1b"
          "E"sv,
          "ESC E", 3, "emphasized"),
    Fixed("\x1bG"sv, "ESC G", 3, "double-strike"),
    Fixed("\x1bJ"sv, "ESC J", 3, "print and feed paper", Effect::kFeedDots),
    Fixed("\x1bL"sv, "ESC L", 2, "select page mode", Effect::kPageMode),
    Fixed("\x1bM"sv, "ESC M", 3, "select character font", Effect::kFont),
    Fixed("\x1bR"sv, "ESC R", 3, "international character set", Effect::kInternationalSet),
    Fixed("\x1bS"sv, "ESC S", 2, "select standard mode", Effect::kStandardMode),
    Fixed("\x1bT"sv, "ESC T", 3, "print direction in page mode"),
    Fixed("\x1bU"sv, "ESC U", 3, "unidirectional printing"),
    Fixed("\x1bV"sv, "ESC V", 3, "90 degree rotation"),
    Fixed("\x1bW"sv, "ESC W", 10, "printing area in page mode"),
    Fixed("\x1b\\"sv, "ESC \\", 4, "relative print position", Effect::kRelativePosition),
    Fixed("\x1b"
          "a"sv,
          "ESC a", 3, "justification"),
    Fixed("\x1b"
          "c"sv,
          "ESC c", 4, "paper sensors and panel buttons"),
    Fixed("\x1b"
          "d"sv,
          "ESC d", 3, "print and feed lines", Effect::kFeedLines),
    Fixed("\x1b"
          "e"sv,
          "ESC e", 3, "print and reverse feed lines", Effect::kFeedDots),
    Fixed("\x1b"
          "f"sv,
          "ESC f", 4, "cut sheet wait time"),
    Fixed("\x1bi"sv, "ESC i", 2, "partial cut, one point left", Effect::kCut),
    Fixed("\x1bj"sv, "ESC j", 3, "print and reverse feed", Effect::kFeedDots),
    Fixed("\x1bm"sv, "ESC m", 2, "partial cut, three points left", Effect::kCut),
    Fixed("\x1bp"sv, "ESC p", 5, "drawer kick-out pulse"),
    Fixed("\x1br"sv, "ESC r", 3, "print colour"),
    Fixed("\x1bt"sv, "ESC t", 3, "character code table", Effect::kCodeTable),
    Fixed("\x1bu"sv, "ESC u", 3, "transmit peripheral status"),
    Fixed("\x1bv"sv, "ESC v", 2, "transmit paper sensor status"),
    Fixed("\x1b{"sv, "ESC {", 3, "upside-down printing"),
    Fixed("\x1c!"sv, "FS !", 3, "double-byte print modes"),
    Fixed("\x1c&"sv, "FS &", 2, "select double-byte character mode", Effect::kDoubleByteOn),
    Ruled("\x1c("sv, "FS (", Rule::kFramed16, "extended function"),
    Fixed("\x1c-"sv, "FS -", 3, "double-byte underline"),
    Fixed("\x1c."sv, "FS .", 2, "cancel double-byte character mode", Effect::kDoubleByteOff),
    Fixed("\x1c?"sv, "FS ?", 4, "cancel user-defined double-byte character"),
    Fixed("\x1c"
          "C"sv,
          "FS C", 3, "double-byte code system"),
    Fixed("\x1cS"sv, "FS S", 4, "double-byte character spacing"),
    Fixed("\x1cW"sv, "FS W", 3, "quadruple-size double-byte characters"),
    Fixed("\x1cp"sv, "FS p", 4, "print NV bit image", Effect::kImage),
    Ruled("\x1cq"sv, "FS q", Rule::kNvImages, "define NV bit images"),
    Fixed("\x1d!"sv, "GS !", 3, "character size"),
    Fixed("\x1d$"sv, "GS $", 4, "absolute vertical position in page mode"),
    Ruled("\x1d("sv, "GS (", Rule::kFramed16, "extended function"),
    Ruled("\x1d(L"sv, "GS ( L", Rule::kFramed16, "graphics", Effect::kGraphics),
    Ruled("\x1d(k"sv, "GS ( k", Rule::kFramed16, "two-dimensional code", Effect::kSymbol),
    Ruled("\x1d*"sv, "GS *", Rule::kDownloadImage, "define downloaded bit image"),
    Fixed("\x1d/"sv, "GS /", 3, "print downloaded bit image", Effect::kImage),
    Ruled("\x1d"
          "8L"sv,
          "GS 8 L", Rule::kFramed32, "graphics", Effect::kGraphics),
    Fixed("\x1d:"sv, "GS :", 2, "start or end macro definition"),
    Fixed("\x1d"
          "B"sv,
          "GS B", 3, "white/black reverse printing"),
    Fixed("\x1d"
          "C0"sv,
          "GS C 0", 5, "counter print mode"),
    Fixed("\x1d"
          "C1"sv,
          "GS C 1", 9, "counter mode"),
    Fixed("\x1d"
          "C2"sv,
          "GS C 2", 5, "counter value"),
    Fixed("\x1d"
          "E"sv,
          "GS E", 3, "head control method"),
    Fixed("\x1dH"sv, "GS H", 3, "HRI character position"),
    Fixed("\x1dI"sv, "GS I", 3, "transmit printer ID"),
    Fixed("\x1dL"sv, "GS L", 4, "left margin"),
    Fixed("\x1dP"sv, "GS P", 4, "motion units"),
    Ruled("\x1dQ0"sv, "GS Q 0", Rule::kRasterImage, "variable vertical size bit image",
          Effect::kImage),
    Fixed("\x1dT"sv, "GS T", 3, "print position to the beginning of the line"),
    Ruled("\x1dV"sv, "GS V", Rule::kCut, "cut paper", Effect::kCut),
    Fixed("\x1dW"sv, "GS W", 4, "printing area width"),
    Fixed("\x1d\\"sv, "GS \\", 4, "relative vertical position in page mode"),
    Fixed("\x1d^"sv, "GS ^", 5, "execute macro"),
    Fixed("\x1d"
          "a"sv,
          "GS a", 3, "automatic status back"),
    Fixed("\x1d"
          "b"sv,
          "GS b", 3, "smoothing"),
    Fixed("\x1d"
          "c"sv,
          "GS c", 2, "print counter"),
    Fixed("\x1d"
          "f"sv,
          "GS f", 3, "HRI character font"),
    Fixed("\x1dg0"sv, "GS g 0", 5, "initialize maintenance counter"),
    Fixed("\x1dg2"sv, "GS g 2", 5, "transmit maintenance counter"),
    Fixed("\x1dh"sv, "GS h", 3, "barcode height"),
    Fixed("\x1dj"sv, "GS j", 3, "automatic status back for ink"),
    Ruled("\x1dk"sv, "GS k", Rule::kBarcode, "print barcode", Effect::kBarcode),
    Fixed("\x1dr"sv, "GS r", 3, "transmit status"),
    Ruled("\x1dv0"sv, "GS v 0", Rule::kRasterImage, "raster bit image", Effect::kImage),
    Fixed("\x1dw"sv, "GS w", 3, "barcode width"),
    Fixed("\x1dz0"sv, "GS z 0", 5, "online recovery wait time"),
};

constexpr std::array<std::string_view, 33> kControlNames{
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",  "SP"};

// A walk over a command's bytes that counts in 64 bits, so that no length a capture states
// (up to 2^32 for GS 8 L, products of two 16-bit counts) can wrap on a 32-bit build.
class Walk {
 public:
  explicit Walk(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // The byte at `at`, or nothing when the stream ends before it.
  [[nodiscard]] bool Has(std::uint64_t at) const { return at < bytes_.size(); }
  [[nodiscard]] std::uint64_t Byte(std::uint64_t at) const {
    return bytes_[static_cast<std::size_t>(at)];
  }
  [[nodiscard]] std::uint64_t Word(std::uint64_t at) const { return Byte(at) + 256 * Byte(at + 1); }

  [[nodiscard]] Measurement Complete(const CommandForm& form, std::uint64_t length) const {
    if (length > bytes_.size()) {
      return Truncated(form);
    }
    Measurement result{MeasureStatus::kComplete, &form, static_cast<std::size_t>(length), {}};
    for (const auto& [offset, size, role] : data_) {
      if (size > 0) {
        result.data.push_back(
            {static_cast<std::size_t>(offset), static_cast<std::size_t>(size), role});
      }
    }
    return result;
  }
  static Measurement Truncated(const CommandForm& form) {
    return {MeasureStatus::kTruncated, &form, 0, {}};
  }
  static Measurement Bad(const CommandForm& form) {
    return {MeasureStatus::kBadParameter, &form, 0, {}};
  }
  void AddData(std::uint64_t offset, std::uint64_t length, ByteRole role) {
    data_.push_back({offset, length, role});
  }

 private:
  struct Span {
    std::uint64_t offset;
    std::uint64_t length;
    ByteRole role;
  };
  std::span<const std::uint8_t> bytes_;
  std::vector<Span> data_;
};

// The functions of GS ( L / GS 8 L that carry image data after ten bytes of header: store in
// the print buffer (112, 113) and define NV or downloaded graphics (67, 68, 83, 84).
bool StoresGraphics(std::uint64_t function) {
  return function == 67 || function == 68 || function == 83 || function == 84 || function == 112 ||
         function == 113;
}

Measurement MeasureFramed(Walk& walk, const CommandForm& form, std::uint64_t header,
                          std::uint64_t body) {
  // The body starts with the parameters [cn] fn of the function the frame holds.
  if (form.effect == Effect::kGraphics && body >= 10 && walk.Has(header + 1) &&
      StoresGraphics(walk.Byte(header + 1))) {
    walk.AddData(header + 10, body - 10, ByteRole::kImage);
  }
  constexpr std::uint64_t kStoreSymbolData = 80;
  if (form.effect == Effect::kSymbol && body >= 3 && walk.Has(header + 1) &&
      walk.Byte(header + 1) == kStoreSymbolData) {
    walk.AddData(header + 3, body - 3, ByteRole::kBarcode);
  }
  return walk.Complete(form, header + body);
}

Measurement Measure(Walk& walk, const CommandForm& form) {
  const std::uint64_t n = form.introducer.size();
  switch (form.rule) {
    case Rule::kFixed:
      return walk.Complete(form, form.length);
    case Rule::kFramed16:
      if (!walk.Has(4)) {
        return Walk::Truncated(form);
      }
      return MeasureFramed(walk, form, 5, walk.Word(3));
    case Rule::kFramed32:
      if (!walk.Has(6)) {
        return Walk::Truncated(form);
      }
      return MeasureFramed(walk, form, 7, walk.Word(3) + 65536 * walk.Word(5));
    case Rule::kColumnImage: {  // ESC * m nL nH
      if (!walk.Has(4)) {
        return Walk::Truncated(form);
      }
      const std::uint64_t m = walk.Byte(2);
      const std::uint64_t columns = walk.Word(3);
      if (m != 0 && m != 1 && m != 32 && m != 33) {
        return Walk::Bad(form);
      }
      const std::uint64_t size = m < 32 ? columns : 3 * columns;
      walk.AddData(5, size, ByteRole::kImage);
      return walk.Complete(form, 5 + size);
    }
    case Rule::kRasterImage: {  // GS v 0 m xL xH yL yH
      if (!walk.Has(n + 4)) {
        return Walk::Truncated(form);
      }
      const std::uint64_t size = walk.Word(n + 1) * walk.Word(n + 3);
      walk.AddData(n + 5, size, ByteRole::kImage);
      return walk.Complete(form, n + 5 + size);
    }
    case Rule::kBarcode: {  // GS k m
      if (!walk.Has(2)) {
        return Walk::Truncated(form);
      }
      const std::uint64_t m = walk.Byte(2);
      if (m <= 6) {
        std::uint64_t end = 3;
        while (walk.Has(end) && walk.Byte(end) != 0) {
          ++end;
        }
        if (!walk.Has(end)) {
          return Walk::Truncated(form);
        }
        walk.AddData(3, end - 3, ByteRole::kBarcode);
        return walk.Complete(form, end + 1);
      }
      if (m >= 65 && m <= 79) {
        if (!walk.Has(3)) {
          return Walk::Truncated(form);
        }
        walk.AddData(4, walk.Byte(3), ByteRole::kBarcode);
        return walk.Complete(form, 4 + walk.Byte(3));
      }
      return Walk::Bad(form);
    }
    case Rule::kTabPositions: {  // ESC D n1 ... nk NUL: a position not above the last ends it
      constexpr std::uint64_t kMaxPositions = 32;
      std::uint64_t at = 2;
      std::uint64_t last = 0;
      while (walk.Has(at) && at - 2 < kMaxPositions) {
        const std::uint64_t position = walk.Byte(at);
        if (position == 0) {
          return walk.Complete(form, at + 1);
        }
        if (position <= last) {
          return walk.Complete(form, at);
        }
        last = position;
        ++at;
      }
      return walk.Has(at) ? walk.Complete(form, at) : Walk::Truncated(form);
    }
    case Rule::kCut: {  // GS V m [n]
      if (!walk.Has(2)) {
        return Walk::Truncated(form);
      }
      switch (walk.Byte(2)) {
        case 0:
        case 1:
        case 48:
        case 49:
          return walk.Complete(form, 3);
        case 65:
        case 66:
        case 97:
        case 98:
        case 103:
        case 104:
          return walk.Complete(form, 4);
        default:
          return Walk::Bad(form);
      }
    }
    case Rule::kDownloadImage: {  // GS * x y
      if (!walk.Has(3)) {
        return Walk::Truncated(form);
      }
      const std::uint64_t size = walk.Byte(2) * walk.Byte(3) * 8;
      walk.AddData(4, size, ByteRole::kImage);
      return walk.Complete(form, 4 + size);
    }
    case Rule::kNvImages: {  // FS q n [xL xH yL yH d1 ... dk]1 ... [...]n
      if (!walk.Has(2)) {
        return Walk::Truncated(form);
      }
      std::uint64_t at = 3;
      for (std::uint64_t image = 0; image < walk.Byte(2); ++image) {
        if (!walk.Has(at + 3)) {
          return Walk::Truncated(form);
        }
        const std::uint64_t size = walk.Word(at) * walk.Word(at + 2) * 8;
        walk.AddData(at + 4, size, ByteRole::kImage);
        at += 4 + size;
      }
      return walk.Complete(form, at);
    }
    case Rule::kUserCharacters: {  // ESC & y c1 c2 [x d1 ... d(y * x)] for c1 .. c2
      if (!walk.Has(4)) {
        return Walk::Truncated(form);
      }
      const std::uint64_t height = walk.Byte(2);
      if (walk.Byte(4) < walk.Byte(3)) {
        return Walk::Bad(form);
      }
      std::uint64_t at = 5;
      for (std::uint64_t c = walk.Byte(3); c <= walk.Byte(4); ++c) {
        if (!walk.Has(at)) {
          return Walk::Truncated(form);
        }
        const std::uint64_t size = height * walk.Byte(at);
        walk.AddData(at + 1, size, ByteRole::kImage);
        at += 1 + size;
      }
      return walk.Complete(form, at);
    }
    case Rule::kRealTimePulse: {  // DLE DC4 fn
      if (!walk.Has(2)) {
        return Walk::Truncated(form);
      }
      switch (walk.Byte(2)) {
        case 1:
        case 2:
          return walk.Complete(form, 5);
        case 3:
          return walk.Complete(form, 8);
        case 7:
          return walk.Complete(form, 4);
        case 8:
          return walk.Complete(form, 10);
        default:
          return Walk::Bad(form);
      }
    }
    case Rule::kRealTimeStatus: {  // DLE EOT n, and DLE EOT 7 a / DLE EOT 8 a
      if (!walk.Has(2)) {
        return Walk::Truncated(form);
      }
      const std::uint64_t m = walk.Byte(2);
      return walk.Complete(form, m == 7 || m == 8 ? 4 : 3);
    }
  }
  return Walk::Bad(form);
}

}  // namespace

std::string_view RoleName(ByteRole role) {
  switch (role) {
    case ByteRole::kText:
      return "text";
    case ByteRole::kCommand:
      return "command";
    case ByteRole::kParameter:
      return "parameter";
    case ByteRole::kImage:
      return "image";
    case ByteRole::kBarcode:
      return "barcode";
  }
  return "text";
}

std::span<const CommandForm> CommandTable() {
  return kTable;
}

const CommandForm* FindCommand(std::span<const std::uint8_t> bytes) {
  const CommandForm* found = nullptr;
  for (const CommandForm& form : kTable) {
    const std::string_view introducer = form.introducer;
    if (introducer.size() <= bytes.size() &&
        std::equal(introducer.begin(), introducer.end(), bytes.begin(),
                   [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }) &&
        (found == nullptr || introducer.size() > found->introducer.size())) {
      found = &form;
    }
  }
  return found;
}

Measurement MeasureCommand(std::span<const std::uint8_t> bytes) {
  const CommandForm* form = FindCommand(bytes);
  if (form == nullptr) {
    return {};
  }
  Walk walk(bytes);
  return Measure(walk, *form);
}

std::string ByteName(std::uint8_t byte) {
  if (byte < kControlNames.size()) {
    return std::string(kControlNames[byte]);
  }
  if (byte < 0x7F) {
    std::string printable(1, static_cast<char>(byte));
    return printable;
  }
  return std::to_string(byte);
}

std::string CommandText(std::span<const std::uint8_t> command, const CommandForm& form,
                        std::size_t maxParameters) {
  std::string text(form.mnemonic);
  std::size_t at = std::min(form.introducer.size(), command.size());
  // The function byte of a frame that the table does not name is part of the name: "GS ( E".
  if (form.rule == Rule::kFramed16 && form.introducer.size() == 2 && at < command.size()) {
    text += ' ' + ByteName(command[at++]);
  }
  for (std::size_t shown = 0; at < command.size(); ++at, ++shown) {
    if (shown == maxParameters) {
      return text + " ...";
    }
    text += ' ' + std::to_string(command[at]);
  }
  return text;
}

}  // namespace quillmere::capture
