#include "capture/trigger_finder.h"

#include <algorithm>

#include "module/printer_command_module.h"
#include "platform/text.h"

namespace quillmere::capture {
namespace {

// A byte of printed text, or a blank that a tab or a print position made, with what stands
// between it and the one before.
struct TrailEntry {
  std::uint8_t byte = 0;
  std::size_t offset = 0;
  std::optional<std::size_t> receipt;
  bool startsUnit = false;
  bool positioned = false;       // a blank made by HT, ESC $ or ESC \ .
  bool lineBreakBefore = false;  // the line ended since the entry before
  bool commandBefore = false;    // a command stands between it and the entry before
};

std::optional<std::size_t> ReceiptIndex(const DecodedCapture& decoded, std::size_t offset) {
  const auto at = decoded.ReceiptAt(offset);
  return at ? std::optional(decoded.receipts[*at].index) : std::nullopt;
}

bool MakesBlank(const CommandForm& form) {
  return form.effect == CommandEffect::kHorizontalTab ||
         form.effect == CommandEffect::kAbsolutePosition ||
         form.effect == CommandEffect::kRelativePosition;
}

std::vector<TrailEntry> TextTrail(const DecodedCapture& decoded) {
  std::vector<TrailEntry> trail;
  bool lineBreak = false;
  bool command = false;
  const auto add = [&](TrailEntry entry) {
    entry.receipt = ReceiptIndex(decoded, entry.offset);
    entry.lineBreakBefore = lineBreak;
    entry.commandBefore = command;
    lineBreak = command = false;
    trail.push_back(entry);
  };
  for (const Element& element : decoded.elements) {
    if (element.kind == Element::Kind::kText) {
      for (std::size_t at = element.offset; at < element.offset + element.length; ++at) {
        add({decoded.bytes[at], at, {}, decoded.info[at].startsUnit});
      }
    } else if (element.form != nullptr && MakesBlank(*element.form)) {
      add({' ', element.offset, {}, true, true});
    } else {
      lineBreak = lineBreak || element.endsLine;
      command = command || !element.endsLine;
    }
  }
  return trail;
}

bool IsLetter(std::uint8_t byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

void AddReason(std::vector<NearMissReason>& why, NearMissReason reason) {
  if (std::find(why.begin(), why.end(), reason) == why.end()) {
    why.push_back(reason);
  }
}

// The keyword read along the trail from `start`, allowing what a near miss allows.
std::optional<NearMiss> MatchAt(const std::vector<TrailEntry>& trail, std::size_t start,
                                std::string_view keyword, std::vector<NearMissReason> why) {
  const TrailEntry& first = trail[start];
  if (!first.startsUnit || first.positioned) {
    return std::nullopt;
  }
  std::size_t j = start;
  for (std::size_t p = 0; p < keyword.size(); ++p, ++j) {
    const auto c = static_cast<std::uint8_t>(keyword[p]);
    while (p > 0 && j < trail.size() && trail[j].positioned && c != ' ') {
      AddReason(why, NearMissReason::kSplit);  // a tab or a position stands inside the keyword
      ++j;
    }
    if (j == trail.size() || trail[j].receipt != first.receipt) {
      return std::nullopt;
    }
    const TrailEntry& entry = trail[j];
    if (p > 0 && (entry.lineBreakBefore || entry.commandBefore)) {
      AddReason(why, NearMissReason::kSplit);
    }
    if (entry.positioned) {
      AddReason(why, NearMissReason::kBlank);
    } else if (entry.byte != c) {
      if (!entry.startsUnit || !IsLetter(c) || !IsLetter(entry.byte) ||
          text::FoldAscii(static_cast<char>(c)) != text::FoldAscii(static_cast<char>(entry.byte))) {
        return std::nullopt;
      }
      AddReason(why, NearMissReason::kCase);
    }
  }
  if (why.empty() || (j < trail.size() && !trail[j].startsUnit)) {
    return std::nullopt;
  }
  std::sort(why.begin(), why.end());
  return NearMiss{first.offset, trail[j - 1].offset + 1, first.receipt, std::move(why)};
}

void FindNearMisses(const std::vector<TrailEntry>& trail, std::string_view keyword,
                    const std::vector<NearMissReason>& why, std::vector<NearMiss>& out) {
  if (keyword.empty()) {
    return;
  }
  for (std::size_t start = 0; start < trail.size(); ++start) {
    if (auto miss = MatchAt(trail, start, keyword, why)) {
      out.push_back(std::move(*miss));
    }
  }
}

bool IsText(const std::vector<std::uint8_t>& bytes) {
  return !bytes.empty() && std::all_of(bytes.begin(), bytes.end(),
                                       [](std::uint8_t b) { return b >= 0x20 && b != 0x7F; });
}

bool Whole(const DecodedCapture& decoded, std::size_t offset, std::size_t length) {
  if (!decoded.info[offset].startsUnit) {
    return false;
  }
  const std::size_t end = offset + length;
  if (end == decoded.bytes.size() || decoded.info[end].startsUnit) {
    return true;
  }
  if (decoded.info[end].role == ByteRole::kText) {
    return false;  // inside a double-byte character
  }
  // Inside a command: whole when that command starts within the hit.
  const auto command =
      std::upper_bound(decoded.elements.begin(), decoded.elements.end(), end,
                       [](std::size_t at, const Element& element) { return at < element.offset; });
  return command != decoded.elements.begin() && std::prev(command)->offset >= offset;
}

std::vector<Hit> FindHits(const DecodedCapture& decoded, const std::vector<std::uint8_t>& bytes) {
  std::vector<Hit> hits;
  if (bytes.empty()) {
    return hits;
  }
  const auto& stream = decoded.bytes;
  for (auto found = std::search(stream.begin(), stream.end(), bytes.begin(), bytes.end());
       found != stream.end();
       found = std::search(found + 1, stream.end(), bytes.begin(), bytes.end())) {
    const auto offset = static_cast<std::size_t>(found - stream.begin());
    const ByteInfo& info = decoded.info[offset];
    hits.push_back({offset, ReceiptIndex(decoded, offset), info.role,
                    Whole(decoded, offset, bytes.size()), info.printed});
  }
  return hits;
}

}  // namespace

std::vector<TriggerRecord> TaggedRecords(const PrinterCommandModule& module) {
  std::vector<TriggerRecord> records;
  const auto add = [&](const CommandRecord& record, std::string_view section,
                       std::optional<std::uint8_t> trigger) {
    if (record.event != TransactionEvent::kNone) {
      records.push_back({std::string(section), record.key, record.event, record.bytes.ToVector(), trigger});
    }
  };
  for (const CommandRecord& record : module.singleCommands) {
    add(record, sections::kSingle, std::nullopt);
  }
  for (const MultiCommand& multi : module.multiCommands) {
    for (const CommandRecord& record : multi.records) {
      add(record, multi.section, multi.trigger);
    }
  }
  if (module.barcodeCommand) {
    add(*module.barcodeCommand, sections::kBarcode, std::nullopt);
  }
  return records;
}

bool Counts(const Hit& hit) {
  return hit.whole && (hit.where == ByteRole::kText || hit.where == ByteRole::kCommand);
}

std::string_view ReasonName(NearMissReason reason) {
  switch (reason) {
    case NearMissReason::kCase:
      return "case";
    case NearMissReason::kSplit:
      return "split";
    case NearMissReason::kBlank:
      return "blank";
    case NearMissReason::kCodePage:
      return "code page";
  }
  return "case";
}

MatchReport MatchTriggers(const DecodedCapture& decoded, std::vector<TriggerRecord> records,
                          const Reencode& reencode) {
  MatchReport report;
  const std::vector<TrailEntry> trail = TextTrail(decoded);
  for (TriggerRecord& record : records) {
    TriggerMatch match{std::move(record), {}, {}};
    match.hits = FindHits(decoded, match.record.bytes);
    if (IsText(match.record.bytes)) {
      const std::string keyword(match.record.bytes.begin(), match.record.bytes.end());
      FindNearMisses(trail, keyword, {}, match.nearMisses);
      const std::optional<std::string> other = reencode ? reencode(keyword) : std::nullopt;
      if (other && *other != keyword) {
        FindNearMisses(trail, *other, {NearMissReason::kCodePage}, match.nearMisses);
      }
    }
    report.triggers.push_back(std::move(match));
  }
  // One pass over the hits: a capture may hold thousands of receipts and of hits.
  const auto has = [&](TransactionEvent event) {
    return std::any_of(report.triggers.begin(), report.triggers.end(),
                       [&](const TriggerMatch& match) { return match.record.event == event; });
  };
  const Verdict none{has(TransactionEvent::kVoid) ? std::optional(false) : std::nullopt,
                     has(TransactionEvent::kStop) ? std::optional(false) : std::nullopt};
  report.capture = none;
  for (const Receipt& receipt : decoded.receipts) {
    report.receipts.push_back({receipt.index, none, {}});
  }
  for (std::size_t i = 0; i < report.triggers.size(); ++i) {
    const TransactionEvent event = report.triggers[i].record.event;
    if (event != TransactionEvent::kVoid && event != TransactionEvent::kStop) {
      continue;
    }
    for (const Hit& hit : report.triggers[i].hits) {
      if (!Counts(hit) || !hit.receipt) {
        continue;
      }
      ReceiptVerdict& receipt = report.receipts[*hit.receipt - 1];
      (event == TransactionEvent::kVoid ? receipt.verdict.voidSeen : receipt.verdict.stopSeen) =
          true;
      (event == TransactionEvent::kVoid ? report.capture.voidSeen : report.capture.stopSeen) = true;
      if (receipt.triggers.empty() || receipt.triggers.back() != i) {
        receipt.triggers.push_back(i);
      }
    }
  }
  return report;
}

}  // namespace quillmere::capture
