// The 8-bit text helpers every layer compares names and finds separators with.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quillmere::text {
namespace {

TEST(Text, ComparesIgnoringTheCaseOfAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoreCase("Mutli-Command", "MUTLI-command"));
  EXPECT_FALSE(EqualsIgnoreCase("Main", "Mai"));
  EXPECT_FALSE(EqualsIgnoreCase("\xC4", "\xE4"));  // bytes above 127 never fold
  EXPECT_FALSE(EqualsIgnoreCase("@", "`"));        // next to the letters, but no letters
  EXPECT_TRUE(EndsWithIgnoreCase("EPSON.INI", ".ini"));
  EXPECT_TRUE(EndsWithIgnoreCase(".ini", ".ini"));
  EXPECT_FALSE(EndsWithIgnoreCase("epson.ini.bak", ".ini"));
  EXPECT_FALSE(EndsWithIgnoreCase("ini", ".ini"));
}

TEST(Text, FindsTheFirstAndLastSeparator) {
  EXPECT_EQ(FindChar("a,b,c", ','), 1U);
  EXPECT_EQ(FindLastChar("a,b,c", ','), 3U);
  EXPECT_EQ(FindChar("abc", ','), std::string_view::npos);
  EXPECT_EQ(FindLastChar("", ','), std::string_view::npos);
  EXPECT_EQ(ParseLeadingDecimal(" \n\r\f\v-12x"), -12);  // atoi's white space, wider than a file's
}

}  // namespace
}  // namespace quillmere::text
