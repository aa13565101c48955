// The sample captures of data/captures against what their generator wrote beside them from the
// receipt descriptions: the receipts with their byte ranges, cuts and text, and every place the
// sample module's tagged records occur, with the verdicts. The packet capture and the hex dump
// of the sale give the same stream as its raw bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture/capture_files.h"
#include "capture/capture_reader.h"
#include "capture/decoder.h"
#include "capture/receipt_text.h"
#include "capture/trigger_finder.h"
#include "module/printer_command_module.h"
#include "platform/code_page.h"
#include "platform/machine_services.h"
#include "support/golden.h"

namespace quillmere::capture {
namespace {

using testing::SampleCapture;
using testing::SampleNames;
using testing::SamplePath;

std::string ReceiptsText(const DecodedCapture& decoded) {
  const std::vector<std::string> texts = ReceiptTexts(decoded);
  std::string out;
  for (const Receipt& receipt : decoded.receipts) {
    out += "--- receipt " + std::to_string(receipt.index) + " [" + std::to_string(receipt.start) +
           ", " + std::to_string(receipt.end) + ") " + (receipt.cut ? receipt.cut->name : "") +
           "\n" + texts[receipt.index - 1];
  }
  return out;
}

std::string Shown(const std::vector<std::uint8_t>& bytes) {
  std::string text(bytes.begin(), bytes.end());
  if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b >= 32 && b < 127; })) {
    return text;
  }
  text.clear();
  for (const std::uint8_t byte : bytes) {
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    text += std::string(text.empty() ? "" : " ") + kDigits[byte >> 4U] + kDigits[byte & 15U];
  }
  return text;
}

std::string YesNo(std::optional<bool> seen) {
  return !seen ? "none" : *seen ? "yes" : "no";
}

std::string TriggersText(const MatchReport& report) {
  std::string out;
  for (const TriggerMatch& match : report.triggers) {
    out += "[" + match.record.section + "] " + std::to_string(match.record.key) + " " +
           Shown(match.record.bytes) + "\n";
    for (const Hit& hit : match.hits) {
      out += "  hit at " + std::to_string(hit.offset) + " in receipt " +
             std::to_string(hit.receipt.value_or(0)) + ": " + std::string(RoleName(hit.where)) +
             (hit.whole ? ", whole" : "") + "\n";
    }
    for (const NearMiss& miss : match.nearMisses) {
      out += "  near miss at " + std::to_string(miss.offset) + " in receipt " +
             std::to_string(miss.receipt.value_or(0)) + ":";
      for (const NearMissReason reason : miss.why) {
        out +=
            std::string(reason == miss.why.front() ? " " : ", ") + std::string(ReasonName(reason));
      }
      out += "\n";
    }
  }
  for (const ReceiptVerdict& receipt : report.receipts) {
    out += "verdict receipt " + std::to_string(receipt.receipt) + ": void " +
           YesNo(receipt.verdict.voidSeen) + ", stop " + YesNo(receipt.verdict.stopSeen) + "\n";
  }
  return out + "verdict capture: void " + YesNo(report.capture.voidSeen) + ", stop " +
         YesNo(report.capture.stopSeen) + "\n";
}

// A keyword typed in UTF-8 as code page 950 (Big5) holds it, the code page of the sample module
// with a Big5 keyword.
std::optional<std::string> Big5(std::string_view utf8) {
  const codepage::Converted converted = codepage::FromUtf8(utf8, 950);
  const auto* bytes = std::get_if<std::string>(&converted);
  return bytes ? std::optional(*bytes) : std::nullopt;
}

class SampleTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SampleTest, GivesItsReceiptsAndTriggers) {
  const std::string& name = GetParam();
  const auto read = ReadCapture(SampleCapture(name + ".bin"));
  ASSERT_TRUE(std::holds_alternative<Capture>(read));
  const DecodedCapture decoded = Decode(std::get<Capture>(read).bytes);
  EXPECT_TRUE(decoded.problems.empty()) << decoded.problems.front().bytes;
  EXPECT_TRUE(ContentWarnings(decoded).empty());
  const std::string receipts = testing::SampleText(name + ".receipts.txt");
  EXPECT_EQ(receipts, ReceiptsText(decoded));

  MachineServices machine;
  PrinterCommandModule module(machine.services());
  module.Load(SamplePath(name + ".ini"));
  const MatchReport report = MatchTriggers(decoded, TaggedRecords(module), Big5);
  const std::string triggers = testing::SampleText(name + ".triggers.txt");
  EXPECT_EQ(triggers, TriggersText(report));
}

INSTANTIATE_TEST_SUITE_P(Captures, SampleTest, ::testing::ValuesIn(SampleNames()),
                         [](const auto& row) { return row.param; });

// The packet capture sends the sale in four segments, the third before the second, between a
// handshake, the printer's acknowledgements and the close.
TEST(SampleFormatsTest, PacketCaptureAndHexDumpHoldTheSale) {
  const std::vector<std::uint8_t> raw = SampleCapture("sale_cut.bin");
  for (const auto& [file, format] : {std::pair{"sale_cut.pcap", CaptureFormat::kPcap},
                                     std::pair{"sale_cut.hex", CaptureFormat::kHex}}) {
    const auto read = ReadCapture(SampleCapture(file));
    ASSERT_TRUE(std::holds_alternative<Capture>(read)) << std::get<CaptureError>(read).message;
    EXPECT_EQ(std::get<Capture>(read).format, format) << file;
    EXPECT_EQ(std::get<Capture>(read).bytes, raw) << file;
    EXPECT_TRUE(std::get<Capture>(read).warnings.empty()) << file;
  }
}

}  // namespace
}  // namespace quillmere::capture
