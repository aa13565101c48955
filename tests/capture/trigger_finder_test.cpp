// The verdicts: true only for whole text or a whole command, none without a trigger of the kind.
// Where a trigger's bytes occur and its near misses are a golden table (capture_tables_test.cpp).
#include "capture/trigger_finder.h"

#include <gtest/gtest.h>

#include <string>

#include "capture/capture_files.h"

namespace quillmere::capture {
namespace {

using namespace std::string_literals;
using testing::Bytes;

TriggerRecord Record(TransactionEvent event, const std::string& bytes) {
  return {"Text_Void", 1, event, Bytes(bytes), static_cast<std::uint8_t>(bytes[0])};
}

MatchReport Match(const std::string& stream, const std::vector<TriggerRecord>& records) {
  return MatchTriggers(Decode(Bytes(stream)), records);
}

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
