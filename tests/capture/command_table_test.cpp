// The command table: each length rule measured on a command of its kind, complete, cut short
// and with a parameter out of range; data runs that are image or barcode bytes; lengths a
// capture states that no stream holds.
#include "capture/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "capture/capture_files.h"
#include "support/case_name.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;

struct Row {
  std::string_view name;
  std::string bytes;
  std::string measured;  // "length" and each data run as " offset+length role"; or the status
};
QUILLMERE_PRINT_ROW_AS_NAME(Row)

std::string Measured(const std::string& bytes) {
  const Measurement m = MeasureCommand(testing::Bytes(bytes));
  switch (m.status) {
    case MeasureStatus::kTruncated:
      return "truncated";
    case MeasureStatus::kUnknown:
      return "unknown";
    case MeasureStatus::kBadParameter:
      return "bad";
    case MeasureStatus::kComplete:
      break;
  }
  std::string text = std::to_string(m.length);
  for (const DataSpan& span : m.data) {
    text += " " + std::to_string(span.offset) + "+" + std::to_string(span.length) + " " +
            std::string(RoleName(span.role));
  }
  return text;
}

class MeasureTest : public ::testing::TestWithParam<Row> {};

TEST_P(MeasureTest, GivesLengthAndData) {
  EXPECT_EQ(Measured(GetParam().bytes), GetParam().measured);
}

const Row kRows[] = {
    {"lf", "\n", "1"},
    {"esc_at", "\x1b@", "2"},
    {"esc_bang", "\x1b!\x30", "3"},
    {"esc_bang_cut_short", "\x1b!", "truncated"},
    {"esc_dollar", "\x1b$\x10\x01", "4"},
    {"esc_w", "\x1bW"s + std::string(8, '\0'), "10"},
    {"esc_c_3",
     "\x1b"
     "c3\x00"s,
     "4"},
    {"esc_i", "\x1bi", "2"},
    {"esc_m", "\x1bm", "2"},
    {"esc_3",
     "\x1b"
     "3\x0c",
     "3"},
    {"unknown_esc", "\x1by", "unknown"},
    {"esc_star_8_dot",
     "\x1b*\x00\x03\x00"
     "abc"s,
     "8 5+3 image"},
    {"esc_star_24_dot",
     "\x1b*\x21\x02\x00"
     "abcdef"s,
     "11 5+6 image"},
    {"esc_star_bad_mode", "\x1b*\x05\x01\x00"s, "bad"},
    {"gs_v_0_raster",
     "\x1dv0\x00\x02\x00\x03\x00"
     "abcdef"s,
     "14 8+6 image"},
    {"gs_q_0_raster",
     "\x1dQ0\x00\x01\x00\x02\x00"
     "ab"s,
     "10 8+2 image"},
    {"gs_v_0_cut_short",
     "\x1dv0\x00\x02\x00\x03\x00"
     "abc"s,
     "truncated"},
    {"gs_paren_unknown_function",
     "\x1d(Z\x02\x00"
     "ab"s,
     "7"},
    {"fs_paren", "\x1c(A\x01\x00x"s, "6"},
    {"esc_paren", "\x1b(A\x01\x00x"s, "6"},
    {"gs_paren_l_store",
     "\x1d(L\x0c\x00\x30\x70\x30\x01\x01\x31\x08\x00\x01\x00"
     "ab"s,
     "17 15+2 image"},
    {"gs_paren_l_print", "\x1d(L\x02\x00\x30\x32"s, "7"},
    {"gs_8_l_store",
     "\x1d"
     "8L\x0c\x00\x00\x00\x30\x70\x30\x01\x01\x31\x08\x00\x01\x00"
     "ab"s,
     "19 17+2 image"},
    {"gs_8_l_four_gigabytes",
     "\x1d"
     "8L\xff\xff\xff\xff\x30\x70"s,
     "truncated"},
    {"gs_paren_k_store",
     "\x1d(k\x06\x00\x31\x50\x30"
     "ABC"s,
     "11 8+3 barcode"},
    {"gs_k_function_a",
     "\x1dk\x04"
     "123\x00"s,
     "7 3+3 barcode"},
    {"gs_k_function_a_unended",
     "\x1dk\x04"
     "123"s,
     "truncated"},
    {"gs_k_function_b",
     "\x1dk\x49\x03"
     "abc"s,
     "7 4+3 barcode"},
    {"gs_k_bad_system",
     "\x1dk\x0a"
     "1"s,
     "bad"},
    {"gs_v_0", "\x1dV\x00"s, "3"},
    {"gs_v_1", "\x1dV\x01"s, "3"},
    {"gs_v_48", "\x1dV\x30"s, "3"},
    {"gs_v_49", "\x1dV\x31"s, "3"},
    {"gs_v_65", "\x1dV\x41\x03"s, "4"},
    {"gs_v_66", "\x1dV\x42\x00"s, "4"},
    {"gs_v_97", "\x1dV\x61\x00"s, "4"},
    {"gs_v_98", "\x1dV\x62\x00"s, "4"},
    {"gs_v_103", "\x1dV\x67\x00"s, "4"},
    {"gs_v_104", "\x1dV\x68\x00"s, "4"},
    {"gs_v_bad", "\x1dV\x02"s, "bad"},
    {"esc_d_tabs_to_nul",
     "\x1b"
     "D\x08\x10\x00"s,
     "5"},
    {"esc_d_tabs_end_at_falling",
     "\x1b"
     "D\x08\x04"s,
     "3"},
    {"gs_star",
     "\x1d*\x01\x01"
     "abcdefgh"s,
     "12 4+8 image"},
    {"fs_q",
     "\x1cq\x01\x01\x00\x01\x00"
     "abcdefgh"s,
     "15 7+8 image"},
    {"fs_q_huge", "\x1cq\x01\xff\xff\xff\xff"s, "truncated"},
    {"esc_ampersand",
     "\x1b&\x03\x41\x41\x02"
     "abcdef"s,
     "12 6+6 image"},
    {"esc_ampersand_bad_range", "\x1b&\x03\x42\x41"s, "bad"},
    {"dle_eot", "\x10\x04\x01"s, "3"},
    {"dle_eot_7", "\x10\x04\x07\x01"s, "4"},
    {"dle_dc4_8", "\x10\x14\x08\x01\x03\x14\x01\x06\x02\x08"s, "10"},
    {"dle_dc4_bad", "\x10\x14\x09"s, "bad"},
    {"fs_ampersand", "\x1c&"s, "2"},
    {"gs_c_1",
     "\x1d"
     "C1\x01\x00\x09\x00\x01\x01"s,
     "9"},
};
INSTANTIATE_TEST_SUITE_P(Commands, MeasureTest, ::testing::ValuesIn(kRows), testing::CaseName{});

TEST(CommandTableTest, IntroducersAreUniqueAndFitTheirLengths) {
  std::set<std::string_view> introducers;
  for (const CommandSpec& spec : CommandTable()) {
    EXPECT_TRUE(introducers.insert(spec.introducer).second) << spec.mnemonic;
    EXPECT_TRUE(spec.rule != LengthRule::kFixed || spec.length >= spec.introducer.size())
        << spec.mnemonic;
  }
}

// Parameters in decimal after the mnemonic; an unnamed frame's function shown as its letter.
TEST(CommandTableTest, WritesCommandsAsTheReferencesDo) {
  const auto text = [](const std::string& bytes) {
    const auto command = testing::Bytes(bytes);
    return CommandText(command, *FindCommand(command), 3);
  };
  EXPECT_EQ(text("\x1dV\x42\x00"s), "GS V 66 0");
  EXPECT_EQ(text("\x1d(E\x01\x00\x05"s), "GS ( E 1 0 5");
  EXPECT_EQ(text("\x1dv0\x00\x02\x00\x03\x00"s), "GS v 0 0 2 0 ...");
}

}  // namespace
}  // namespace quillmere::capture
