// The 8-bit text helpers every layer compares names, finds separators and reads numbers with.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

namespace quillmere::text {
namespace {

// (EndsWithIgnoreCase: the catalogue's ".ini" rule owns its cases.)
TEST(Text, ComparesIgnoringTheCaseOfAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoreCase("Mutli-Command", "MUTLI-command"));
  EXPECT_FALSE(EqualsIgnoreCase("Main", "Mai"));
  EXPECT_FALSE(EqualsIgnoreCase("\xC4", "\xE4"));  // bytes above 127 never fold
  EXPECT_FALSE(EqualsIgnoreCase("@", "`"));        // next to the letters, but no letters
}

TEST(Text, FindsTheFirstAndLastSeparator) {
  EXPECT_EQ(FindChar("a,b,c", ','), 1U);
  EXPECT_EQ(FindLastChar("a,b,c", ','), 3U);
  EXPECT_EQ(FindChar("abc", ','), std::string_view::npos);
  EXPECT_EQ(FindLastChar("", ','), std::string_view::npos);
}

// atoi: its white space (wider than a file's blanks), a sign, digits up to the first other byte,
// no digits 0, wrapping as 32 bits.
TEST(Text, ReadsALeadingDecimalAsAtoiDoes) {
  const std::pair<std::string_view, std::int32_t> rows[] = {{" \n\r\f\v\t-12x", -12},
                                                            {"+27", 27},
                                                            {"086", 86},
                                                            {"42A9", 42},
                                                            {"xyz", 0},
                                                            {"", 0},
                                                            {"- 5", 0},
                                                            {"0x1F", 0},
                                                            {"2147483647", INT_MAX},
                                                            {"2147483648", INT_MIN},
                                                            {"4294967297", 1},
                                                            {"-4294967297", -1}};
  for (const auto& [text, value] : rows) {
    EXPECT_EQ(ParseLeadingDecimal(text), value) << "'" << text << "'";
  }
}

}  // namespace
}  // namespace quillmere::text
