// The decoder's rules, one test each: what each byte is (parameters and data are never text),
// the state that changes what bytes mean, where receipts end, and what it reports.
#include "capture/decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_files.h"
#include "capture/receipt_text.h"
#include "support/case_name.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;
using testing::Bytes;

DecodedCapture DecodeText(const std::string& bytes, DecodeOptions options = {}) {
  return Decode(Bytes(bytes), options);
}

// One letter a byte: T text, C command, P parameter, I image, B barcode; upper case where a
// character or a command starts, lower case inside one.
std::string Roles(const DecodedCapture& decoded) {
  std::string roles;
  for (const ByteInfo& info : decoded.info) {
    const char letter = "TCPIB"[static_cast<int>(info.role)];
    roles += info.startsUnit ? letter : static_cast<char>(letter + 32);
  }
  return roles;
}

struct RoleRow {
  std::string_view name;
  std::string bytes;
  std::string roles;
  bool doubleByteAtStart = false;
};
QUILLMERE_PRINT_ROW_AS_NAME(RoleRow)

class RolesTest : public ::testing::TestWithParam<RoleRow> {};

TEST_P(RolesTest, GivesEachByteItsRole) {
  EXPECT_EQ(Roles(DecodeText(GetParam().bytes, {GetParam().doubleByteAtStart})), GetParam().roles);
}

const RoleRow kRoleRows[] = {
    {"parameter_that_looks_like_text",
     "\x1b!A"
     "x"s,
     "CcpT"},
    {"column_image",
     "\x1b*\x00\x02\x00"
     "Vo"
     "x"s,
     "CcpppiiT"},
    {"raster_image",
     "\x1dv0\x00\x01\x00\x01\x00\x0c"
     "x"s,
     "CccpppppiT"},
    {"barcode_to_nul",
     "\x1dk\x04"
     "12\x00"
     "x"s,
     "CcpbbpT"},
    {"unknown_command_resynchronises",
     "\x1by"
     "ab"s,
     "CcTT"},
    {"stray_control_byte",
     "a\x01"
     "b"s,
     "TCT"},
    {"parameter_out_of_range",
     "\x1dV\x07"
     "ab"s,
     "CcpTT"},
    {"cut_short_at_the_end",
     "a\x1d"
     "8L\x09"s,
     "TCccp"},
    {"double_byte_characters",
     "\x1c&\xa4\xa7"
     "A\xa4"s,
     "CcTtTT"},
    {"double_byte_mode_off", "\x1c&\x1c.\xa4\xa7"s, "CcCcTT"},
    {"initialize_ends_double_byte_mode", "\x1c&\x1b@\xa4\xa7"s, "CcCcTT"},
    {"double_byte_from_the_start", "\xa4\xa7"s, "Tt", true},
    {"lead_byte_before_a_control", "\x1c&\xa4\n"s, "CcTC"},
};
INSTANTIATE_TEST_SUITE_P(Streams, RolesTest, ::testing::ValuesIn(kRoleRows), testing::CaseName{});

// ESC @ clears the print buffer: the unfinished line before it never prints; printed lines stay.
TEST(DecoderTest, InitializeDropsTheUnfinishedLine) {
  const DecodedCapture decoded = DecodeText("kept\nlost\x1b@new\n");
  EXPECT_TRUE(decoded.info[0].printed);
  EXPECT_FALSE(decoded.info[5].printed);
  EXPECT_TRUE(decoded.info[12].printed);
  EXPECT_EQ(ReceiptTexts(decoded).front(), "kept\nnew\n");
}

TEST(DecoderTest, NotesTheCodeTablesAndCharacterSetsOfEachReceipt) {
  const DecodedCapture decoded = DecodeText("\x1bt\x10x\x1bR\x03y\x1dV\x00z\x1c&w"s);
  ASSERT_EQ(decoded.receipts.size(), 2U);
  EXPECT_EQ(decoded.receipts[0].codeTables, std::vector<std::uint8_t>{16});
  EXPECT_EQ(decoded.receipts[0].internationalSets, (std::vector<std::uint8_t>{0, 3}));
  EXPECT_FALSE(decoded.receipts[0].doubleByteText);
  EXPECT_TRUE(decoded.receipts[1].doubleByteText);
}

// In page mode FF prints the page and is no receipt boundary; ESC S and CAN drop the page.
TEST(DecoderTest, PageModeKeepsItsFormFeedAndDropsCancelledPages) {
  const DecodedCapture page = DecodeText(
      "\x1bLab\ncd\x0c"
      "ef\n\x1dV\x00"s);
  ASSERT_EQ(page.receipts.size(), 1U);
  EXPECT_EQ(ReceiptTexts(page).front(), "ab\ncd\nef\n");
  EXPECT_EQ(ReceiptTexts(DecodeText("\x1bLab\x1bS"
                                    "cd\n"s))
                .front(),
            "cd\n");
  EXPECT_EQ(ReceiptTexts(DecodeText("\x1bLab\x18"
                                    "cd\x0c"s))
                .front(),
            "cd\n");
}

struct CutRow {
  std::string_view name;
  std::string bytes;
  std::string cut;  // name, kind, feeds
};
QUILLMERE_PRINT_ROW_AS_NAME(CutRow)

class CutTest : public ::testing::TestWithParam<CutRow> {};

// A cut ends a receipt; the receipt runs from its first byte through the cut.
TEST_P(CutTest, EndsTheReceipt) {
  const DecodedCapture decoded = DecodeText("a\n" + GetParam().bytes + "b\n");
  ASSERT_EQ(decoded.receipts.size(), 2U);
  const Receipt& first = decoded.receipts[0];
  ASSERT_TRUE(first.cut);
  EXPECT_EQ(first.end, 2 + GetParam().bytes.size());
  const std::string_view kinds[] = {"full", "partial", "form feed"};
  EXPECT_EQ(first.cut->name + ", " + std::string(kinds[static_cast<int>(first.cut->kind)]) +
                (first.cut->feeds ? ", feeds" : ""),
            GetParam().cut);
  EXPECT_EQ(decoded.receipts[1].start, first.end);
  EXPECT_FALSE(decoded.receipts[1].cut);
}

const CutRow kCutRows[] = {
    {"gs_v_0", "\x1dV\x00"s, "GS V 0, full"},
    {"gs_v_1", "\x1dV\x01"s, "GS V 1, partial"},
    {"gs_v_48", "\x1dV\x30"s, "GS V 48, full"},
    {"gs_v_49", "\x1dV\x31"s, "GS V 49, partial"},
    {"gs_v_65", "\x1dV\x41\x05"s, "GS V 65 5, full, feeds"},
    {"gs_v_66", "\x1dV\x42\x00"s, "GS V 66 0, partial, feeds"},
    {"gs_v_97", "\x1dV\x61\x00"s, "GS V 97 0, full, feeds"},
    {"gs_v_98", "\x1dV\x62\x00"s, "GS V 98 0, partial, feeds"},
    {"gs_v_103", "\x1dV\x67\x00"s, "GS V 103 0, full, feeds"},
    {"gs_v_104", "\x1dV\x68\x00"s, "GS V 104 0, partial, feeds"},
    {"esc_i", "\x1bi"s, "ESC i, partial"},
    {"esc_m", "\x1bm"s, "ESC m, partial"},
    {"form_feed_in_standard_mode", "\x0c"s, "FF, form feed"},
};
INSTANTIATE_TEST_SUITE_P(Cuts, CutTest, ::testing::ValuesIn(kCutRows), testing::CaseName{});

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
