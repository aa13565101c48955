#include "capture/decoder_invariants.h"

#include <string_view>
#include <variant>

#include "capture/capture_reader.h"
#include "capture/decoder.h"
#include "capture/receipt_text.h"
#include "capture/trigger_finder.h"

namespace quillmere::testing {

std::string BrokenCaptureRule(std::span<const std::uint8_t> bytes) {
  using namespace capture;
  const DecodedCapture decoded = Decode({bytes.begin(), bytes.end()});
  if (decoded.info.size() != bytes.size()) {
    return "a role for each byte";
  }
  std::size_t next = 0;
  for (const Element& element : decoded.elements) {
    if (element.offset != next || element.length == 0 || !decoded.info[element.offset].startsUnit ||
        (element.kind == Element::Kind::kText) !=
            (decoded.info[element.offset].role == ByteRole::kText)) {
      return "elements follow each other, each starting a unit of its kind, at " +
             std::to_string(next);
    }
    next += element.length;
  }
  if (next != bytes.size()) {
    return "the elements cover the stream";
  }
  next = 0;
  for (std::size_t i = 0; i < decoded.receipts.size(); ++i) {
    const Receipt& receipt = decoded.receipts[i];
    if (receipt.start != next || receipt.end <= receipt.start || receipt.index != i + 1) {
      return "receipts follow each other";
    }
    next = receipt.end;
  }
  if (next != bytes.size() || ReceiptTexts(decoded).size() != decoded.receipts.size()) {
    return "the receipts cover the stream, each with its text";
  }
  const std::vector<TriggerRecord> records{
      {"Text_Void", 1, TransactionEvent::kVoid, {'V', 'o', 'i', 'd'}, 'V'},
      {"Text_Stop", 1, TransactionEvent::kStop, {'T', ' ', 'a'}, 'T'},
      {"GS-Command", 1, TransactionEvent::kStop, {0x1D, 'V'}, 0x1D},
      {"Single-Command", 1, TransactionEvent::kStop, {0x0C}, std::nullopt},
  };
  const auto upper = [](std::string_view text) -> std::optional<std::string> {
    std::string out(text);
    for (char& c : out) {
      c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
  };
  for (const TriggerMatch& match : MatchTriggers(decoded, records, upper).triggers) {
    for (const NearMiss& miss : match.nearMisses) {
      if (miss.end > bytes.size() || miss.offset >= miss.end || miss.why.empty()) {
        return "a near miss lies in the stream and says why";
      }
    }
  }
  (void)ContentWarnings(decoded);
  for (const CaptureFormat format : {CaptureFormat::kHex, CaptureFormat::kPcap}) {
    (void)ReadCapture(bytes, format);
  }
  return {};
}

}  // namespace quillmere::testing
