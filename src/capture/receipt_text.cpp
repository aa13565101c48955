#include "capture/receipt_text.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace quillmere::capture {
namespace {

constexpr std::size_t kDefaultTabWidth = 8;
constexpr std::size_t kMaxColumns = 255;  // further than any receipt is wide
constexpr std::uint16_t kFontADots = 12;  // character widths in motion units
constexpr std::uint16_t kFontBDots = 9;

// The functions of GS ( L / GS 8 L and GS ( k that print what earlier functions stored.
bool PrintsGraphics(std::uint8_t function) {
  return function == 50 || function == 69 || function == 85;
}
constexpr std::uint8_t kPrintSymbol = 81;

class Renderer {
 public:
  explicit Renderer(const DecodedCapture& decoded) : decoded_(decoded) { ResetLayout(); }

  std::vector<TracedText> Run() {
    std::vector<TracedText> texts;
    std::size_t next = 0;
    for (const Receipt& receipt : decoded_.receipts) {
      for (; next < decoded_.elements.size() && decoded_.elements[next].offset < receipt.end;
           ++next) {
        Render(decoded_.elements[next]);
      }
      FlushLine(false);
      while (!lines_.empty() && lines_.back().text.empty()) {
        lines_.pop_back();
      }
      TracedText text;
      for (const TracedText& line : lines_) {
        text.text += line.text + '\n';
        text.sources.insert(text.sources.end(), line.sources.begin(), line.sources.end());
        text.sources.push_back(kMadeByPrinter);
      }
      texts.push_back(std::move(text));
      lines_.clear();
    }
    return texts;
  }

 private:
  void Render(const Element& element) {
    const std::span<const std::uint8_t> bytes(decoded_.bytes.data() + element.offset,
                                              element.length);
    if (element.kind == Element::Kind::kText) {
      RenderText(element, bytes);
    } else if (element.kind == Element::Kind::kCommand) {
      RenderCommand(*element.form, bytes);
    }
    if (element.endsLine) {
      FlushLine(true);
      // ESC d n feeds n lines: the one just ended and n - 1 blank ones.
      if (element.form != nullptr && element.form->effect == CommandEffect::kFeedLines &&
          element.length == 3) {
        lines_.insert(lines_.end(), std::max(bytes[2], std::uint8_t{1}) - 1U, TracedText());
      }
    }
  }

  void RenderText(const Element& element, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const ByteInfo& info = decoded_.info[element.offset + i];
      if (info.printed) {
        line_.text += static_cast<char>(bytes[i]);
        line_.sources.push_back(element.offset + i);
        ++column_;  // a double-byte character is two columns wide, one for each byte
      }
    }
  }

  void RenderCommand(const CommandForm& form, std::span<const std::uint8_t> bytes) {
    const auto at = [&](std::size_t i) -> std::uint16_t { return i < bytes.size() ? bytes[i] : 0; };
    switch (form.effect) {
      case CommandEffect::kHorizontalTab: {
        const auto stop = std::upper_bound(tabStops_.begin(), tabStops_.end(), column_);
        if (stop != tabStops_.end()) {
          PadTo(*stop);
        }
        break;
      }
      case CommandEffect::kAbsolutePosition:
        PadTo((at(2) + 256U * at(3)) / charWidth_);
        break;
      case CommandEffect::kRelativePosition: {
        const auto dots = static_cast<std::int16_t>(at(2) + 256U * at(3));
        if (dots > 0) {
          PadTo(column_ + std::max<std::size_t>(1, static_cast<std::size_t>(dots) / charWidth_));
        }
        break;
      }
      case CommandEffect::kTabStops:
        tabStops_.clear();
        for (std::size_t i = 2; i < bytes.size() && bytes[i] != 0; ++i) {
          tabStops_.push_back(bytes[i]);
        }
        break;
      case CommandEffect::kPrintMode:  // bit 0 of ESC ! selects font B, as ESC M 1 does
      case CommandEffect::kFont:
        charWidth_ = (at(2) & 1U) != 0 ? kFontBDots : kFontADots;
        break;
      case CommandEffect::kInitialize:
        ResetLayout();
        line_ = {};
        column_ = 0;
        break;
      case CommandEffect::kImage:
        RenderImage(form, bytes);
        break;
      case CommandEffect::kGraphics: {
        const std::size_t header = form.introducer.size() == 3 ? 5 : 7;
        if (PrintsGraphics(static_cast<std::uint8_t>(at(header + 1)))) {
          Placeholder("[image]");
        }
        break;
      }
      case CommandEffect::kSymbol:
        if (at(6) == kPrintSymbol) {
          Placeholder("[2D code]");
        }
        break;
      case CommandEffect::kBarcode:
        RenderBarcode(bytes);
        break;
      default:
        break;
    }
  }

  void RenderImage(const CommandForm& form, std::span<const std::uint8_t> bytes) {
    if (form.rule == LengthRule::kColumnImage) {
      Append("[image]");  // a bit image prints within the line
      return;
    }
    if (form.rule == LengthRule::kRasterImage && bytes.size() >= 8) {
      const std::size_t n = form.introducer.size();
      const std::size_t width = std::size_t{8} * (bytes[n + 1] + 256U * bytes[n + 2]);
      const std::size_t height = bytes[n + 3] + 256U * bytes[n + 4];
      Placeholder("[image " + std::to_string(width) + "x" + std::to_string(height) + "]");
      return;
    }
    Placeholder("[image]");
  }

  void RenderBarcode(std::span<const std::uint8_t> bytes) {
    // GS k m d1 ... NUL or GS k m n d1 ... dn; the data is shown when it is plain ASCII.
    const std::size_t start = (bytes.size() > 2 && bytes[2] >= 65) ? 4 : 3;
    const std::size_t end = (bytes.size() > 2 && bytes[2] >= 65) ? bytes.size() : bytes.size() - 1;
    std::string data;
    for (std::size_t i = start; i < end; ++i) {
      if (bytes[i] < 0x20 || bytes[i] > 0x7E) {
        data.clear();
        break;
      }
      data += static_cast<char>(bytes[i]);
    }
    Placeholder(data.empty() ? "[barcode]" : "[barcode " + data + "]");
  }

  // Images, barcodes and codes print on lines of their own.
  void Placeholder(const std::string& text) {
    FlushLine(false);
    lines_.push_back({text, std::vector<std::size_t>(text.size(), kMadeByPrinter)});
  }

  // Text the printer makes itself, within the line.
  void Append(std::string_view text) {
    line_.text += text;
    line_.sources.insert(line_.sources.end(), text.size(), kMadeByPrinter);
    column_ += text.size();
  }

  void PadTo(std::size_t column) {
    column = std::min(column, kMaxColumns);
    if (column > column_) {
      Append(std::string(column - column_, ' '));
    }
  }

  // Ends the line; an empty line counts only when the printer fed paper for it.
  void FlushLine(bool fed) {
    const std::size_t last = line_.text.find_last_not_of(' ');
    const std::size_t kept = last == std::string::npos ? 0 : last + 1;
    line_.text.erase(kept);
    line_.sources.resize(kept);
    if (fed || !line_.text.empty()) {
      lines_.push_back(std::move(line_));
    }
    line_ = {};
    column_ = 0;
  }

  void ResetLayout() {
    tabStops_.clear();
    for (std::size_t stop = kDefaultTabWidth; stop <= kMaxColumns; stop += kDefaultTabWidth) {
      tabStops_.push_back(stop);
    }
    charWidth_ = kFontADots;
  }

  const DecodedCapture& decoded_;
  std::vector<TracedText> lines_;
  TracedText line_;
  std::size_t column_ = 0;
  std::vector<std::size_t> tabStops_;
  std::uint16_t charWidth_ = kFontADots;
};

}  // namespace

std::vector<TracedText> TracedReceiptTexts(const DecodedCapture& decoded) {
  return Renderer(decoded).Run();
}

std::vector<std::string> ReceiptTexts(const DecodedCapture& decoded) {
  std::vector<std::string> texts;
  for (TracedText& traced : TracedReceiptTexts(decoded)) {
    texts.push_back(std::move(traced.text));
  }
  return texts;
}

}  // namespace quillmere::capture
