// Where a trigger's bytes occur and what they are there, the near misses of a keyword by kind,
// and the verdicts: true only for whole text or a whole command, none without such a trigger.
#include "capture/trigger_finder.h"

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_files.h"
#include "support/case_name.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;
using testing::Bytes;

TriggerRecord Record(TransactionEvent event, const std::string& bytes) {
  return {"Text_Void", 1, event, Bytes(bytes), static_cast<std::uint8_t>(bytes[0])};
}

MatchReport Match(const std::string& stream, const std::vector<TriggerRecord>& records,
                  const Reencode& reencode = {}) {
  return MatchTriggers(Decode(Bytes(stream)), records, reencode);
}

struct Row {
  std::string_view name;
  std::string stream;
  std::string keyword;
  std::string found;  // each hit as "offset role [whole]", each near miss as "offset~end why"
};
QUILLMERE_PRINT_ROW_AS_NAME(Row)

std::string Found(const TriggerMatch& match) {
  std::string text;
  for (const Hit& hit : match.hits) {
    text += std::to_string(hit.offset) + " " + std::string(RoleName(hit.where)) +
            (hit.whole ? " whole" : "") + "; ";
  }
  for (const NearMiss& miss : match.nearMisses) {
    text += std::to_string(miss.offset) + "~" + std::to_string(miss.end);
    for (const NearMissReason reason : miss.why) {
      text += " " + std::string(ReasonName(reason));
    }
    text += "; ";
  }
  return text;
}

class FindTest : public ::testing::TestWithParam<Row> {};

TEST_P(FindTest, FindsHitsAndNearMisses) {
  const auto latin1 = [](std::string_view utf8) -> std::optional<std::string> {
    return utf8 == "Ann\xc3\xa9" ? std::optional("Ann\xe9"s) : std::nullopt;
  };
  const MatchReport report =
      Match(GetParam().stream, {Record(TransactionEvent::kVoid, GetParam().keyword)}, latin1);
  EXPECT_EQ(Found(report.triggers.front()), GetParam().found);
}

const Row kRows[] = {
    {"text", "a Void\n", "Void", "2 text whole; "},
    {"inside_a_word", "Avoid\n", "void", "1 text whole; "},
    {"whole_command", "a\x1dV\x42\x00"s, "\x1dV", "1 command whole; "},
    {"command_inside_image", "\x1dv0\x00\x01\x00\x02\x00\x1dV"s, "\x1dV", "8 image; "},
    {"form_feed_as_parameter",
     "\x1b"
     "3\x0c"s,
     "\x0c", "2 parameter; "},
    {"form_feed_in_barcode", "\x1dk\x49\x01\x0c"s, "\x0c", "4 barcode; "},
    {"part_of_an_introducer", "\x1b@"s, "@", "1 command; "},
    {"from_a_trail_byte", "\x1c&\xa4\xa7@\xbc\x6f"s, "\xa7@\xbc\x6f", "3 text; "},
    {"ending_on_a_lead_byte", "\x1c&\xa4\xa7\xa4\xa7"s, "\xa4\xa7\xa4", "2 text; "},
    {"case", "*** VOID ***\n", "Void", "4~8 case; "},
    {"split_by_a_command",
     "V\x1b"
     "E\x01oid\n"s,
     "Void", "0~7 split; "},
    {"split_by_a_line_break", "Vo\nid\n", "Void", "0~5 split; "},
    {"split_by_a_tab", "Vo\tid\n", "Void", "0~5 split; "},
    {"case_and_split",
     "VO\x1b"
     "E\x01ID\n"s,
     "Void", "0~7 case split; "},
    {"blank_by_a_tab", "Grand\ttotal\n", "Grand total", "0~11 blank; "},
    {"blank_by_a_position", "Grand\x1b$\x48\x00total\n"s, "Grand total", "0~14 blank; "},
    {"code_page", "Ann\xe9\n", "Ann\xc3\xa9", "0~4 code page; "},
    {"code_page_and_case", "ANN\xe9\n", "Ann\xc3\xa9", "0~4 case code page; "},
    {"not_across_receipts", "Vo\x1dV\x00id\n"s, "Void", ""},
    {"not_folding_a_trail_byte", "\x1c&\xa4\x61\n"s, "\xa4\x41", ""},
    {"not_from_a_trail_byte", "\x1c&\xa4\x76oid\n"s, "Void", ""},
};
INSTANTIATE_TEST_SUITE_P(Triggers, FindTest, ::testing::ValuesIn(kRows), testing::CaseName{});

// Void and stop are none without a trigger of the kind, and true only where a trigger counts.
TEST(VerdictTest, CountsOnlyWholeTextAndWholeCommands) {
  const TriggerRecord voidWord = Record(TransactionEvent::kVoid, "Void");
  const TriggerRecord cut = Record(TransactionEvent::kStop, "\x1dV");
  const TriggerRecord start = Record(TransactionEvent::kStart, "\x1b@");
  const MatchReport report =
      Match("\x1b@Void\n\x1dV\x00\x1b@VOID\x1dv0\x00\x02\x00\x01\x00\x1dV\n\x1bi"s,
            {start, voidWord, cut});
  ASSERT_EQ(report.receipts.size(), 2U);
  EXPECT_EQ(report.receipts[0].verdict.voidSeen, true);
  EXPECT_EQ(report.receipts[0].verdict.stopSeen, true);
  EXPECT_EQ(report.receipts[0].triggers, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(report.receipts[1].verdict.voidSeen, false);
  EXPECT_EQ(report.receipts[1].verdict.stopSeen, false);
  EXPECT_EQ(report.capture.voidSeen, true);

  const MatchReport none = Match("Void\n", {start});
  EXPECT_EQ(none.capture.voidSeen, std::nullopt);
  EXPECT_EQ(none.receipts.front().verdict.stopSeen, std::nullopt);
}

// Text that ESC @ threw away still holds the bytes: the hit counts, and says it was not printed.
TEST(VerdictTest, DroppedTextCountsButIsMarked) {
  const MatchReport report = Match("Void\x1b@", {Record(TransactionEvent::kVoid, "Void")});
  ASSERT_EQ(report.triggers.front().hits.size(), 1U);
  EXPECT_FALSE(report.triggers.front().hits.front().printed);
  EXPECT_EQ(report.capture.voidSeen, true);
}

}  // namespace
}  // namespace quillmere::capture
