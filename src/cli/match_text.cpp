#include "cli/match_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <ostream>
#include <span>

#include "cli/inspection.h"
#include "cli/receipt_output.h"
#include "cli/terminal_text.h"
#include "module/printer_command_module.h"

namespace quillmere::cli {
namespace {

using capture::DecodedCapture;
using capture::TracedText;

constexpr std::size_t kContextBytes = 8;  // shown in hex on either side of a place
constexpr char kHitMark = '^';
constexpr char kNearMissMark = '~';

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    std::array<char, 4> digits{};
    std::snprintf(digits.data(), digits.size(), "%02X", static_cast<unsigned>(byte));
    text += (text.empty() ? "" : " ") + std::string(digits.data());
  }
  return text;
}

std::string RecordLabel(const capture::TriggerRecord& record) {
  return "[" + TerminalText(record.section) + "] " + std::to_string(record.key);
}

std::string InReceipt(std::size_t offset, const std::optional<std::size_t>& receipt) {
  return "at " + std::to_string(offset) +
         (receipt ? " in receipt " + std::to_string(*receipt) : std::string());
}

// The printed text a stream offset lies in: for each byte of the receipts' text that the stream
// gave, its offset, receipt and place in the receipt's text, in stream order.
class TextPlaces {
 public:
  explicit TextPlaces(const std::vector<TracedText>& texts) : texts_(texts) {
    for (std::size_t receipt = 0; receipt < texts.size(); ++receipt) {
      const std::vector<std::size_t>& sources = texts[receipt].sources;
      for (std::size_t at = 0; at < sources.size(); ++at) {
        if (sources[at] != capture::kMadeByPrinter) {
          places_.push_back({sources[at], receipt, at});
        }
      }
    }
  }

  // The printed line that holds the byte at `offset`; none when the byte prints no text.
  [[nodiscard]] std::optional<std::string> LineAt(std::size_t offset) const {
    const auto place = std::lower_bound(
        places_.begin(), places_.end(), offset,
        [](const Place& entry, std::size_t wanted) { return entry.offset < wanted; });
    if (place == places_.end() || place->offset != offset) {
      return std::nullopt;
    }
    const std::string& text = texts_[place->receipt].text;
    const std::size_t before = text.rfind('\n', place->at);
    const std::size_t start = before == std::string::npos ? 0 : before + 1;
    return text.substr(start, text.find('\n', place->at) - start);
  }

 private:
  struct Place {
    std::size_t offset = 0;
    std::size_t receipt = 0;
    std::size_t at = 0;
  };
  const std::vector<TracedText>& texts_;
  std::vector<Place> places_;
};

// The marks under the receipts' text: for each stream offset its mark, and the labels of what
// starts there.
struct Marks {
  std::vector<char> byOffset;
  std::map<std::size_t, std::vector<std::string>> labels;
};

Marks MarkReport(const DecodedCapture& decoded, const capture::MatchReport& report) {
  Marks marks{std::vector<char>(decoded.bytes.size(), ' '), {}};
  const auto mark = [&](std::size_t from, std::size_t to, char sign, std::string label) {
    to = std::min(to, marks.byOffset.size());
    for (std::size_t at = from; at < to; ++at) {
      marks.byOffset[at] = marks.byOffset[at] == kHitMark ? kHitMark : sign;
    }
    marks.labels[from].push_back(std::move(label));
  };
  for (const capture::TriggerMatch& match : report.triggers) {
    for (const capture::Hit& hit : match.hits) {
      if (hit.where == capture::ByteRole::kText && hit.printed) {
        mark(hit.offset, hit.offset + match.record.bytes.size(), kHitMark,
             RecordLabel(match.record));
      }
    }
    for (const capture::NearMiss& miss : match.nearMisses) {
      mark(miss.offset, miss.end, kNearMissMark,
           RecordLabel(match.record) + " near miss: " + NearMissReasons(miss));
    }
  }
  return marks;
}

// A receipt's text, each line with a line of marks under it when something lies in it.
void PrintMarkedText(std::ostream& out, const TracedText& traced, const Marks& marks) {
  std::size_t start = 0;
  while (start < traced.text.size()) {
    const std::size_t end = traced.text.find('\n', start);
    PrintReceiptText(out, traced.text.substr(start, end + 1 - start));
    std::string under;
    std::vector<std::string> labels;
    for (std::size_t at = start; at < end; ++at) {
      const std::size_t source = traced.sources[at];
      under += source == capture::kMadeByPrinter ? ' ' : marks.byOffset[source];
      const auto found =
          source == capture::kMadeByPrinter ? marks.labels.end() : marks.labels.find(source);
      if (found != marks.labels.end()) {
        labels.insert(labels.end(), found->second.begin(), found->second.end());
      }
    }
    under.erase(under.find_last_not_of(' ') + 1);
    if (!under.empty()) {
      out << under;
      for (std::size_t i = 0; i < labels.size(); ++i) {
        out << (i == 0 ? " " : "; ") << labels[i];
      }
      out << '\n';
    }
    start = end + 1;
  }
}

void PrintReceipts(std::ostream& out, const DecodedCapture& decoded,
                   const std::vector<TracedText>& texts, const capture::MatchReport& report) {
  const Marks marks = MarkReport(decoded, report);
  for (const capture::ReceiptVerdict& verdict : report.receipts) {
    const capture::Receipt& receipt = decoded.receipts[verdict.receipt - 1];
    out << ReceiptHeading(receipt) << '\n';
    PrintMarkedText(out, texts[receipt.index - 1], marks);
    out << "Receipt " << receipt.index << ": void " << VerdictWord(verdict.verdict.voidSeen)
        << ", stop " << VerdictWord(verdict.verdict.stopSeen);
    for (const std::size_t trigger : verdict.triggers) {
      out << (trigger == verdict.triggers.front() ? " (" : ", ")
          << RecordLabel(report.triggers[trigger].record);
    }
    out << (verdict.triggers.empty() ? "\n\n" : ")\n\n");
  }
}

// Where a place lies, as text and as hex: the printed line, or the command it is part of; and
// the bytes around it with the place's own in brackets.
void PrintContext(std::ostream& out, const DecodedCapture& decoded, const TextPlaces& places,
                  std::size_t offset, std::size_t end) {
  if (const std::optional<std::string> line = places.LineAt(offset)) {
    out << "      text: ";
    PrintReceiptText(out, *line);
  } else {
    auto element = std::upper_bound(
        decoded.elements.begin(), decoded.elements.end(), offset,
        [](std::size_t at, const capture::Element& candidate) { return at < candidate.offset; });
    if (element != decoded.elements.begin() && (--element)->form != nullptr) {
      const std::span<const std::uint8_t> command(decoded.bytes.data() + element->offset,
                                                  element->length);
      out << "      in:   " << capture::CommandText(command, *element->form) << '\n';
    }
  }
  const std::span<const std::uint8_t> bytes(decoded.bytes);
  const std::size_t from = offset - std::min(offset, kContextBytes);
  const std::size_t to = std::min(bytes.size(), end + kContextBytes);
  const std::string before = Hex(bytes.subspan(from, offset - from));
  const std::string after = Hex(bytes.subspan(end, to - end));
  out << "      hex:  " << before << (before.empty() ? "[" : " [")
      << Hex(bytes.subspan(offset, end - offset)) << (after.empty() ? "]" : "] ") << after << '\n';
}

std::string HitState(const capture::Hit& hit) {
  std::string state(capture::RoleName(hit.where));
  if (capture::Counts(hit)) {
    state += ", whole";
  } else if (hit.where == capture::ByteRole::kText || hit.where == capture::ByteRole::kCommand) {
    state += ", not whole (it starts or ends inside a character or a command)";
  } else {
    state += " inside a command: the printer sees no trigger here";
  }
  return hit.printed ? state : state + ", dropped by the printer unprinted";
}

void PrintTrigger(std::ostream& out, const DecodedCapture& decoded, const TextPlaces& places,
                  const capture::TriggerMatch& match) {
  const capture::TriggerRecord& record = match.record;
  out << RecordLabel(record) << ", " << EventName(record.event) << ": " << Hex(record.bytes);
  if (std::all_of(record.bytes.begin(), record.bytes.end(),
                  [](std::uint8_t byte) { return byte >= 0x20 && byte != 0x7F; })) {
    out << " \"" << TerminalText(std::string(record.bytes.begin(), record.bytes.end())) << '"';
  }
  out << (match.hits.empty() && match.nearMisses.empty() ? "\n  nowhere in the capture\n" : "\n");
  const std::size_t length = record.bytes.size();
  for (const capture::Hit& hit : match.hits) {
    out << "  " << InReceipt(hit.offset, hit.receipt) << ": " << HitState(hit) << '\n';
    PrintContext(out, decoded, places, hit.offset, hit.offset + length);
  }
  for (const capture::NearMiss& miss : match.nearMisses) {
    out << "  near miss " << InReceipt(miss.offset, miss.receipt) << ": " << NearMissReasons(miss)
        << '\n';
    PrintContext(out, decoded, places, miss.offset, miss.end);
  }
}

void PrintVerdict(std::ostream& out, std::string_view kind, const std::optional<bool>& seen) {
  if (!seen) {
    out << "  " << kind << ": the module has no " << kind << " trigger\n";
  } else if (*seen) {
    out << "  " << kind << ": yes, a " << kind
        << " trigger occurs as printed text or as a whole command\n";
  } else {
    out << "  " << kind << ": no, no " << kind
        << " trigger occurs as printed text or as a whole command\n";
  }
}

}  // namespace

std::string NearMissReasons(const capture::NearMiss& miss) {
  std::string reasons;
  for (const capture::NearMissReason reason : miss.why) {
    reasons += (reasons.empty() ? "" : ", ") + std::string(capture::ReasonName(reason));
  }
  return reasons;
}

std::string_view VerdictWord(const std::optional<bool>& seen) {
  return !seen ? "(no trigger)" : *seen ? "yes" : "no";
}

void PrintMatch(std::ostream& out, const CaptureInput& input, const PrinterCommandModule& module,
                const std::vector<TracedText>& texts, const capture::MatchReport& report) {
  const DecodedCapture& decoded = input.decoded;
  out << "Capture " << TerminalPath(input.path) << ": " << capture::FormatName(input.format) << ", "
      << decoded.bytes.size() << " bytes, " << decoded.receipts.size()
      << (decoded.receipts.size() == 1 ? " receipt\n" : " receipts\n") << "Module \""
      << TerminalText(module.moduleName) << "\" in " << TerminalPath(module.modulePath) << ": "
      << report.triggers.size() << " records with an event tag\n\n";
  PrintReceipts(out, decoded, texts, report);
  const TextPlaces places(texts);
  for (const capture::TriggerMatch& match : report.triggers) {
    PrintTrigger(out, decoded, places, match);
  }
  out << "\nVerdict for the capture:\n";
  PrintVerdict(out, "void", report.capture.voidSeen);
  PrintVerdict(out, "stop", report.capture.stopSeen);
}

}  // namespace quillmere::cli
