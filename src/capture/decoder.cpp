#include "capture/decoder.h"

#include <algorithm>
#include <span>

namespace quillmere::capture {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kFs = 0x1C;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kLf = 0x0A;

bool IsControl(std::uint8_t byte) {
  return byte < 0x20;
}

// A lead byte of a double-byte character, and a byte that can follow one: the common ground of
// Big5, GBK, Shift JIS and the Korean code page, none of which uses a control byte inside a
// character.
bool IsLeadByte(std::uint8_t byte) {
  return byte >= 0x81 && byte <= 0xFE;
}
bool IsTrailByte(std::uint8_t byte) {
  return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

void AddOnce(std::vector<std::uint8_t>& list, std::uint8_t value) {
  if (std::find(list.begin(), list.end(), value) == list.end()) {
    list.push_back(value);
  }
}

class Decoder {
 public:
  Decoder(DecodedCapture& out, DecodeOptions options)
      : out_(out), bytes_(out.bytes), options_(options), doubleByte_(options.doubleByteAtStart) {
    out_.info.assign(bytes_.size(), ByteInfo{});
  }

  void Run() {
    std::size_t at = 0;
    while (at < bytes_.size()) {
      at = IsControl(bytes_[at]) ? Command(at) : Text(at);
    }
    if (receipt_.start < bytes_.size()) {
      CloseReceipt(bytes_.size(), std::nullopt);
    }
  }

 private:
  // A run of text characters up to the next control byte.
  std::size_t Text(std::size_t at) {
    const std::size_t start = at;
    while (at < bytes_.size() && !IsControl(bytes_[at])) {
      out_.info[at].startsUnit = true;
      const bool pair = doubleByte_ && IsLeadByte(bytes_[at]) && at + 1 < bytes_.size() &&
                        IsTrailByte(bytes_[at + 1]);
      at += pair ? 2 : 1;
    }
    pending_.push_back(out_.elements.size());
    out_.elements.push_back({Element::Kind::kText, start, at - start, nullptr, false, doubleByte_});
    lineHasContent_ = true;
    AddOnce(receipt_.codeTables, codeTable_);
    AddOnce(receipt_.internationalSets, internationalSet_);
    receipt_.doubleByteText = receipt_.doubleByteText || doubleByte_;
    return at;
  }

  std::size_t Command(std::size_t at) {
    const std::span<const std::uint8_t> rest(bytes_.data() + at, bytes_.size() - at);
    const Measurement measured = MeasureCommand(rest);
    switch (measured.status) {
      case MeasureStatus::kComplete:
        Place(at, measured.length, *measured.form, measured.data);
        Apply(out_.elements.back(), rest.first(measured.length));
        return at + measured.length;
      case MeasureStatus::kTruncated:
        Place(at, rest.size(), *measured.form, {});
        Report(at, ProblemKind::kTruncatedCommand,
               rest.first(std::min<std::size_t>(rest.size(), 8)), measured.form);
        return bytes_.size();
      case MeasureStatus::kBadParameter: {
        // The length is unknown past a parameter out of range: the decoder steps over the
        // introducer and that parameter, and takes up the walk after them.
        const std::size_t length = std::min(rest.size(), measured.form->introducer.size() + 1);
        Place(at, length, *measured.form, {});
        out_.elements.back().kind = Element::Kind::kUnknown;
        Report(at, ProblemKind::kBadParameter, rest.first(length), measured.form);
        return at + length;
      }
      case MeasureStatus::kUnknown:
        break;
    }
    // An unknown ESC, FS or GS command is taken as two bytes, the prefix and its function; any
    // other control byte stands alone. Parameters it may have are read as what they look like.
    const std::uint8_t prefix = rest[0];
    const bool hasFunction = (prefix == kEsc || prefix == kFs || prefix == kGs) && rest.size() > 1;
    const std::size_t length = hasFunction ? 2 : 1;
    for (std::size_t i = 0; i < length; ++i) {
      out_.info[at + i] = {ByteRole::kCommand, i == 0, true};
    }
    out_.elements.push_back({Element::Kind::kUnknown, at, length, nullptr, false, false});
    Report(at, ProblemKind::kUnknownCommand, rest.first(length), nullptr);
    return at + length;
  }

  void Place(std::size_t at, std::size_t length, const CommandForm& form,
             const std::vector<DataSpan>& data) {
    const std::size_t introducer = std::min(length, form.introducer.size());
    for (std::size_t i = 0; i < length; ++i) {
      out_.info[at + i] = {i < introducer ? ByteRole::kCommand : ByteRole::kParameter, i == 0,
                           true};
    }
    for (const DataSpan& span : data) {
      for (std::size_t i = 0; i < span.length; ++i) {
        out_.info[at + span.offset + i].role = span.role;
      }
    }
    out_.elements.push_back({Element::Kind::kCommand, at, length, &form, false, false});
  }

  void Report(std::size_t at, ProblemKind kind, std::span<const std::uint8_t> shown,
              const CommandForm* form) {
    std::string text;
    if (form != nullptr) {
      text = CommandText(shown, *form);
    } else {
      for (const std::uint8_t byte : shown) {
        text += (text.empty() ? "" : " ") + ByteName(byte);
      }
    }
    out_.problems.push_back({at, kind, text});
  }

  void Apply(Element& element, std::span<const std::uint8_t> command) {
    const std::size_t end = element.offset + element.length;
    const auto parameter = [&](std::size_t i) -> std::uint8_t {
      return i < command.size() ? command[i] : std::uint8_t{0};
    };
    switch (element.form->effect) {
      case CommandEffect::kLineFeed:
      case CommandEffect::kFeedLines:
      case CommandEffect::kFeedDots:
        EndLine(element);
        break;
      case CommandEffect::kCarriageReturn:
        // CR LF is one line end; a CR alone ends the line as printers with automatic line feed
        // do, the setting registers that send it alone are made for.
        if (end >= bytes_.size() || bytes_[end] != kLf) {
          EndLine(element);
        }
        break;
      case CommandEffect::kFormFeed:
        EndLine(element);
        if (pageMode_) {
          pageMode_ = false;
          PrintPage();
        } else {
          CloseReceipt(end, Cut{element.offset, 1, "FF", CutKind::kFormFeed, false,
                                CutPlacement::kLineStart});
        }
        break;
      case CommandEffect::kPrintPage:
        if (pageMode_) {
          EndLine(element);
          PrintPage();
        }
        break;
      case CommandEffect::kCancelPage:
      case CommandEffect::kStandardMode:
        if (pageMode_) {
          DropPending();
          pageMode_ = element.form->effect == CommandEffect::kCancelPage;
        }
        break;
      case CommandEffect::kInitialize:
        DropPending();
        pageMode_ = false;
        codeTable_ = 0;
        internationalSet_ = 0;
        doubleByte_ = options_.doubleByteAtStart;
        break;
      case CommandEffect::kPageMode:
        pageMode_ = true;
        break;
      case CommandEffect::kCodeTable:
        codeTable_ = parameter(2);
        break;
      case CommandEffect::kInternationalSet:
        internationalSet_ = parameter(2);
        break;
      case CommandEffect::kDoubleByteOn:
        doubleByte_ = true;
        break;
      case CommandEffect::kDoubleByteOff:
        doubleByte_ = false;
        break;
      case CommandEffect::kHorizontalTab:
      case CommandEffect::kAbsolutePosition:
      case CommandEffect::kRelativePosition:
      case CommandEffect::kImage:
        lineHasContent_ = true;
        break;
      case CommandEffect::kCut:
        CloseReceipt(end, CutOf(element, command));
        break;
      default:
        break;
    }
  }

  [[nodiscard]] Cut CutOf(const Element& element, std::span<const std::uint8_t> command) const {
    Cut cut{element.offset,
            element.length,
            CommandText(command, *element.form),
            CutKind::kPartial,
            false,
            lineHasContent_ ? CutPlacement::kMidLine : CutPlacement::kLineStart};
    if (command[0] == kGs) {  // GS V m [n]
      const std::uint8_t m = command[2];
      cut.kind = (m == 1 || m == 49 || m == 66 || m == 98 || m == 104) ? CutKind::kPartial
                                                                       : CutKind::kFull;
      cut.feeds = command.size() == 4;
    }
    return cut;
  }

  // The printer prints its line buffer; in page mode the line stays in the page until it prints.
  void EndLine(Element& element) {
    element.endsLine = true;
    if (!pageMode_) {
      pending_.clear();
      lineHasContent_ = false;
    }
  }

  void PrintPage() {
    pending_.clear();
    lineHasContent_ = false;
  }

  // The text the printer holds but has not printed is thrown away.
  void DropPending() {
    for (const std::size_t index : pending_) {
      Element& element = out_.elements[index];
      for (std::size_t i = 0; i < element.length; ++i) {
        out_.info[element.offset + i].printed = false;
      }
    }
    pending_.clear();
    lineHasContent_ = false;
  }

  void CloseReceipt(std::size_t end, std::optional<Cut> cut) {
    receipt_.index = out_.receipts.size() + 1;
    receipt_.end = end;
    receipt_.cut = std::move(cut);
    out_.receipts.push_back(std::move(receipt_));
    receipt_ = Receipt{};
    receipt_.start = end;
  }

  DecodedCapture& out_;
  const std::vector<std::uint8_t>& bytes_;
  DecodeOptions options_;
  std::uint8_t codeTable_ = 0;
  std::uint8_t internationalSet_ = 0;
  bool doubleByte_ = false;
  bool pageMode_ = false;
  bool lineHasContent_ = false;
  std::vector<std::size_t> pending_;  // the text elements of the line, or the page, not printed yet
  Receipt receipt_;
};

}  // namespace

std::string_view ProblemName(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kUnknownCommand:
      return "unknown command";
    case ProblemKind::kBadParameter:
      return "parameter out of range";
    case ProblemKind::kTruncatedCommand:
      return "stream ends inside the command";
  }
  return "unknown command";
}

std::optional<std::size_t> DecodedCapture::ReceiptAt(std::size_t offset) const {
  const auto found =
      std::upper_bound(receipts.begin(), receipts.end(), offset,
                       [](std::size_t at, const Receipt& receipt) { return at < receipt.end; });
  if (found == receipts.end() || offset < found->start) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - receipts.begin());
}

DecodedCapture Decode(std::vector<std::uint8_t> bytes, DecodeOptions options) {
  DecodedCapture decoded;
  decoded.bytes = std::move(bytes);
  Decoder(decoded, options).Run();
  return decoded;
}

}  // namespace quillmere::capture
