// The unified diff a dry run prints: hunks of three lines of context that join when fewer than
// seven kept lines part two changes, diff -u's ranges, and a last line without a line ending.
#include "cli/unified_diff.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere::cli {
namespace {

std::string Diff(std::string_view from, std::string_view to) {
  return UnifiedDiff({"a", from}, {"b", to},
                     [](std::string_view line) { return std::string(line); });
}

TEST(UnifiedDiff, HunksAndRangesAsDiffUPrintsThem) {
  const std::string header = "--- a\n+++ b\n";
  const struct {
    std::string_view name;
    std::string from;
    std::string to;
    std::string hunks;
  } rows[] = {
      {"Equal", "1\n2\n", "1\n2\n", ""},
      {"OneLineChanged", "1\r\n2\r\n", "1\r\nX\r\n", "@@ -1,2 +1,2 @@\n 1\n-2\n+X\n"},
      {"LineEndingCounts", "1\n", "1\r\n", "@@ -1 +1 @@\n-1\n+1\n"},
      {"AddedToAnEmptyFile", "", "1\n", "@@ -0,0 +1 @@\n+1\n"},
      {"AddedAtTheEndWithoutEnding", "1\n", "1\n2",
       "@@ -1 +1,2 @@\n 1\n+2\n\\ No newline at end of file\n"},
      {"SixKeptLinesJoin", "x\n1\n2\n3\n4\n5\n6\ny\n", "X\n1\n2\n3\n4\n5\n6\nY\n",
       "@@ -1,8 +1,8 @@\n-x\n+X\n 1\n 2\n 3\n 4\n 5\n 6\n-y\n+Y\n"},
      {"SevenKeptLinesPart", "x\n1\n2\n3\n4\n5\n6\n7\ny\n", "X\n1\n2\n3\n4\n5\n6\n7\nY\n",
       "@@ -1,4 +1,4 @@\n-x\n+X\n 1\n 2\n 3\n@@ -6,4 +6,4 @@\n 5\n 6\n 7\n-y\n+Y\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Diff(row.from, row.to), header + row.hunks) << row.name;
  }
}

}  // namespace
}  // namespace quillmere::cli
