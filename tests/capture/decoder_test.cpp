// The decoder's rules that a golden table row cannot show (capture_tables_test.cpp holds the
// roles of bytes, the cuts and page mode): dropped bytes, the state noted for each receipt, a
// cut amid a line, the receipt of an offset, and what the decoder reports.
#include "capture/decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_files.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;
using testing::Bytes;

DecodedCapture DecodeText(const std::string& bytes, DecodeOptions options = {}) {
  return Decode(Bytes(bytes), options);
}

// ESC @ clears the print buffer: the bytes of the unfinished line before it are not printed.
TEST(DecoderTest, InitializeDropsTheUnfinishedLine) {
  const DecodedCapture decoded = DecodeText("kept\nlost\x1b@new\n");
  EXPECT_TRUE(decoded.info[0].printed);
  EXPECT_FALSE(decoded.info[5].printed);
  EXPECT_TRUE(decoded.info[12].printed);
}

TEST(DecoderTest, NotesTheCodeTablesAndCharacterSetsOfEachReceipt) {
  const DecodedCapture decoded = DecodeText("\x1bt\x10x\x1bR\x03y\x1dV\x00z\x1c&w"s);
  ASSERT_EQ(decoded.receipts.size(), 2U);
  EXPECT_EQ(decoded.receipts[0].codeTables, std::vector<std::uint8_t>{16});
  EXPECT_EQ(decoded.receipts[0].internationalSets, (std::vector<std::uint8_t>{0, 3}));
  EXPECT_FALSE(decoded.receipts[0].doubleByteText);
  EXPECT_TRUE(decoded.receipts[1].doubleByteText);
}

// Printers ignore a cut amid a line in standard mode; the decoder still ends the receipt there.
TEST(DecoderTest, MarksACutAmidALine) {
  EXPECT_EQ(DecodeText("ab\x1dV\x00"s).receipts[0].cut->placement, CutPlacement::kMidLine);
  EXPECT_EQ(DecodeText("ab\x09\n\x1dV\x00"s).receipts[0].cut->placement, CutPlacement::kLineStart);
}

TEST(DecoderTest, FindsTheReceiptOfAnOffset) {
  const DecodedCapture decoded = DecodeText(
      "ab\x1bi"
      "cd"s);
  EXPECT_EQ(decoded.ReceiptAt(3), 0U);
  EXPECT_EQ(decoded.ReceiptAt(4), 1U);
  EXPECT_EQ(decoded.ReceiptAt(6), std::nullopt);
}

TEST(DecoderTest, ReportsWhatItCannotPlaceWithItsOffset) {
  const DecodedCapture decoded = DecodeText(
      "a\x1by\x1dV\x07"
      "b\x1d(A\x05\x00"s);
  ASSERT_EQ(decoded.problems.size(), 3U);
  const std::pair<std::size_t, std::string> expected[] = {
      {1, "unknown command: ESC y"},
      {3, "parameter out of range: GS V 7"},
      {7, "stream ends inside the command: GS ( A 5 0"}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(decoded.problems[i].offset, expected[i].first);
    EXPECT_EQ(std::string(ProblemName(decoded.problems[i].kind)) + ": " + decoded.problems[i].bytes,
              expected[i].second);
  }
}

}  // namespace
}  // namespace quillmere::capture
