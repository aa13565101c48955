// The rules of the capture library as golden tables, tests/data/capture/tables/<case>/table.txt,
// one row per line (each table's head says how its rows read):
//   measure COMMAND            the command table's length rules
//   roles STREAM [double-byte] what the decoder makes of each byte
//   cut COMMAND                where receipts end, and how the cut is named
//   text STREAM                the text of a receipt
//   hex DUMP                   the bytes of a hex dump
//   warn STREAM                what the content says of the capture
//   find STREAM KEYWORD        hits and near misses of a trigger
//   printed, state, placement, at, problems, trace STREAM
//                              what the decoder notes of bytes and receipts
//   verdicts STREAM RECORD...  the verdicts of a receipt and of the capture
//   read FILE [FORCED], format NAME, name COMMAND
//                              how a capture is read, a format named and a command written
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>

#include "capture/capture_files.h"
#include "capture/capture_reader.h"
#include "capture/command_table.h"
#include "capture/decoder.h"
#include "capture/hex_dump.h"
#include "capture/receipt_text.h"
#include "capture/trigger_finder.h"
#include "support/golden.h"

namespace quillmere::capture {
namespace {

using testing::Bytes;

std::string Measured(const std::string& bytes) {
  const Measurement m = MeasureCommand(Bytes(bytes));
  constexpr std::string_view kStatus[] = {"", "truncated", "unknown", "bad"};
  if (m.status != MeasureStatus::kComplete) {
    return std::string(kStatus[static_cast<int>(m.status)]);
  }
  std::string text = std::to_string(m.length);
  for (const DataSpan& span : m.data) {
    text += " " + std::to_string(span.offset) + "+" + std::to_string(span.length) + " " +
            std::string(RoleName(span.role));
  }
  return text;
}

std::string Roles(const DecodedCapture& decoded) {
  std::string roles;
  for (const ByteInfo& info : decoded.info) {
    const char letter = "TCPIB"[static_cast<int>(info.role)];
    roles += info.startsUnit ? letter : static_cast<char>(letter + ('a' - 'A'));
  }
  return roles;
}

std::string Cut(const std::string& command) {
  const DecodedCapture decoded = Decode(Bytes("a\n" + command + "b\n"));
  const Receipt& first = decoded.receipts.front();
  constexpr std::string_view kKinds[] = {"full", "partial", "form feed"};
  std::string text = !first.cut ? "none"
                                : first.cut->name + ", " +
                                      std::string(kKinds[static_cast<int>(first.cut->kind)]) +
                                      (first.cut->feeds ? ", feeds" : "");
  text += ";";
  for (const Receipt& receipt : decoded.receipts) {
    text += " [" + std::to_string(receipt.start) + ", " + std::to_string(receipt.end) + ")";
  }
  return text;
}

std::string Hex(const std::string& dump) {
  const auto parsed = ParseHexDump(dump);
  if (const auto* error = std::get_if<HexDumpError>(&parsed)) {
    return "! line " + std::to_string(error->line) + ": " + error->message;
  }
  const auto read = ReadCapture(Bytes(dump));  // recognised as a dump, giving the same bytes
  const auto& bytes = std::get<0>(parsed);
  const bool same = std::get<Capture>(read).format == CaptureFormat::kHex &&
                    std::get<Capture>(read).bytes == bytes;
  return testing::Quoted(std::string(bytes.begin(), bytes.end())) + (same ? "" : " (not read)");
}

std::string Warnings(const std::string& stream) {
  constexpr std::string_view kNames[] = {"not ESC/POS", "other language", "no ESC",
                                         "line ends translated", "missing bytes"};
  std::string text;
  for (const CaptureWarning& warning : ContentWarnings(Decode(Bytes(stream)))) {
    text += (text.empty() ? "" : ", ") + std::string(kNames[static_cast<int>(warning.kind)]);
  }
  return text;
}

std::string Found(const std::string& stream, const std::string& keyword) {
  const auto latin1 = [](std::string_view utf8) -> std::optional<std::string> {
    return utf8 == "Ann\xc3\xa9" ? std::optional<std::string>("Ann\xe9") : std::nullopt;
  };
  const TriggerRecord record{"Text_Void", 1, TransactionEvent::kVoid, Bytes(keyword), {}};
  const TriggerMatch match =
      MatchTriggers(Decode(Bytes(stream)), {record}, latin1).triggers.front();
  std::string text;
  for (const Hit& hit : match.hits) {
    text += (text.empty() ? "" : " ") + std::to_string(hit.offset) + " " +
            std::string(RoleName(hit.where)) + (hit.whole ? " whole" : "") +
            (hit.printed ? ";" : " dropped;");
  }
  for (const NearMiss& miss : match.nearMisses) {
    text +=
        (text.empty() ? "" : " ") + std::to_string(miss.offset) + "~" + std::to_string(miss.end);
    for (const NearMissReason reason : miss.why) {
      text += " " + std::string(ReasonName(reason));
    }
    text += ";";
  }
  return text;
}

// "yes", "no" or "none" (no trigger of the kind).
std::string Seen(std::optional<bool> seen) {
  return !seen ? "none" : *seen ? "yes" : "no";
}

// The verdicts on the stream of the records named: start (ESC @), void ("Void"), stop (GS V).
std::string Verdicts(const testing::Words& call) {
  const std::map<std::string, TriggerRecord> kRecords = {
      {"start", {"ESC-Command", 1, TransactionEvent::kStart, Bytes("\x1B@"), 0x1B}},
      {"void", {"Text_Void", 1, TransactionEvent::kVoid, Bytes("Void"), 'V'}},
      {"stop", {"GS-Command", 1, TransactionEvent::kStop, Bytes("\x1DV"), 0x1D}}};
  std::vector<TriggerRecord> records;
  for (std::size_t at = 2; at < call.size(); ++at) {
    records.push_back(kRecords.at(call[at]));
  }
  const MatchReport report = MatchTriggers(Decode(Bytes(call.at(1))), records);
  std::string text;
  for (const ReceiptVerdict& receipt : report.receipts) {
    text += "[void " + Seen(receipt.verdict.voidSeen) + ", stop " + Seen(receipt.verdict.stopSeen) +
            "; triggers";
    for (const std::size_t trigger : receipt.triggers) {
      text += " " + call.at(trigger + 2);
    }
    text += "] ";
  }
  return text + "capture: void " + Seen(report.capture.voidSeen) + ", stop " +
         Seen(report.capture.stopSeen);
}

// A receipt's code tables and international character sets, and whether it holds double-byte
// text.
std::string State(const Receipt& receipt) {
  std::string text = "[tables";
  for (const std::uint8_t table : receipt.codeTables) {
    text += " " + std::to_string(table);
  }
  text += "; sets";
  for (const std::uint8_t set : receipt.internationalSets) {
    text += " " + std::to_string(set);
  }
  return text + (receipt.doubleByteText ? "; double-byte]" : "]");
}

// The decoder's notes on the stream `call[1]`, as the verb asks.
std::string Noted(const testing::Words& call) {
  const DecodedCapture decoded = Decode(Bytes(call.at(1)));
  std::string text;
  if (call[0] == "printed") {
    for (const ByteInfo& info : decoded.info) {
      text += info.printed ? '+' : '-';
    }
  } else if (call[0] == "state") {
    for (const Receipt& receipt : decoded.receipts) {
      text += State(receipt);
    }
  } else if (call[0] == "placement") {
    const bool midLine = decoded.receipts.front().cut->placement == CutPlacement::kMidLine;
    text = midLine ? "mid-line" : "line start";
  } else if (call[0] == "at") {
    const auto receipt = decoded.ReceiptAt(std::stoul(call.at(2)));
    text = receipt ? std::to_string(*receipt) : "none";
  } else if (call[0] == "problems") {
    for (const DecodeProblem& problem : decoded.problems) {
      text += (text.empty() ? "" : "; ") + std::to_string(problem.offset) + " " +
              std::string(ProblemName(problem.kind)) + ": " + problem.bytes;
    }
  } else {
    for (const TracedText& traced : TracedReceiptTexts(decoded)) {
      text += testing::Quoted(traced.text) + " from";
      for (const std::size_t source : traced.sources) {
        text += source == kMadeByPrinter ? " -" : " " + std::to_string(source);
      }
    }
  }
  return text;
}

// A capture file read, as recognised or as the format forced: its format and size, or why not.
std::string Read(const testing::Words& call) {
  const auto forced = call.size() > 2 ? FormatNamed(call[2]) : std::nullopt;
  const auto read = ReadCapture(Bytes(call.at(1)), forced);
  if (const auto* error = std::get_if<CaptureError>(&read)) {
    return "! " + error->message.substr(0, error->message.find(':'));
  }
  const auto& capture = std::get<Capture>(read);
  return std::string(FormatName(capture.format)) + " " + std::to_string(capture.bytes.size());
}

std::string Answer(const testing::Words& call) {
  const std::string& verb = call.at(0);
  const std::string& bytes = call.at(1);
  if (verb == "measure") {
    return Measured(bytes);
  }
  if (verb == "roles") {
    return Roles(Decode(Bytes(bytes), {call.size() > 2 && call[2] == "double-byte"}));
  }
  if (verb == "cut") {
    return Cut(bytes);
  }
  if (verb == "text") {
    const std::vector<std::string> texts = ReceiptTexts(Decode(Bytes(bytes)));
    return texts.size() == 1 ? testing::Quoted(texts.front())
                             : std::to_string(texts.size()) + " receipts";
  }
  if (verb == "hex") {
    return Hex(bytes);
  }
  if (verb == "warn") {
    return Warnings(bytes);
  }
  if (verb == "verdicts") {
    return Verdicts(call);
  }
  if (verb == "read") {
    return Read(call);
  }
  if (verb == "format") {
    const auto format = FormatNamed(bytes);
    return format ? std::string(FormatName(*format)) : "none";
  }
  if (verb == "name") {
    return CommandText(Bytes(bytes), *FindCommand(Bytes(bytes)), 3);
  }
  return verb == "find" ? Found(bytes, call.at(2)) : Noted(call);
}

QUILLMERE_RULE_TABLES(CaptureTable, "capture/tables", Answer);

}  // namespace
}  // namespace quillmere::capture
