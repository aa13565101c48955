#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "support/case_name.h"

namespace quillmere::text {
namespace {

struct DecimalCase {
  std::string_view name;
  std::string_view input;
  std::int32_t expected;
};

class LeadingDecimal : public ::testing::TestWithParam<DecimalCase> {};

// atoi as the module readers used it: blanks, a sign, digits to the first other byte, 32-bit wrap.
TEST_P(LeadingDecimal, ReadsAsTheModuleReaderDid) {
  EXPECT_EQ(ParseLeadingDecimal(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeadingDecimal,
    ::testing::Values(DecimalCase{"Plain", "300", 300}, DecimalCase{"Negative", "-1", -1},
                      DecimalCase{"PlusSign", "+7", 7}, DecimalCase{"LeadingZeros", "086", 86},
                      DecimalCase{"LeadingWhiteSpace", " \t\n\v\f\r42", 42},
                      DecimalCase{"StopsAtOtherByte", "12ab3", 12},
                      DecimalCase{"NoDigits", "FF", 0}, DecimalCase{"Empty", "", 0},
                      DecimalCase{"SignAlone", "-", 0}, DecimalCase{"BlankAfterSign", "- 5", 0},
                      DecimalCase{"WrapsAt32Bits", "4294967297", 1},
                      DecimalCase{"WrapsNegative", "-4294967297", -1},
                      DecimalCase{"LargestInt", "2147483647", 2147483647},
                      DecimalCase{"PastLargestWraps", "2147483648", -2147483647 - 1}),
    quillmere::testing::CaseName());

TEST(EqualsIgnoreCase, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoreCase("Mutli-Command", "MUTLI-command"));
  EXPECT_TRUE(EqualsIgnoreCase("", ""));
  EXPECT_FALSE(EqualsIgnoreCase("Main", "Mai"));
  // Bytes above 127 are never folded: 0xC4 and 0xE4 are different characters.
  EXPECT_FALSE(EqualsIgnoreCase("\xC4", "\xE4"));
  // '@' and '`' sit next to the letters but are no letters.
  EXPECT_FALSE(EqualsIgnoreCase("@", "`"));
}

TEST(EndsWithIgnoreCase, TakesAnyCaseOfTheExtension) {
  EXPECT_TRUE(EndsWithIgnoreCase("EPSON.INI", ".ini"));
  EXPECT_TRUE(EndsWithIgnoreCase(".ini", ".ini"));
  EXPECT_FALSE(EndsWithIgnoreCase("epson.ini.bak", ".ini"));
  EXPECT_FALSE(EndsWithIgnoreCase("ini", ".ini"));
}

TEST(FindChar, FindsFirstAndLast) {
  EXPECT_EQ(FindChar("a,b,c", ','), 1U);
  EXPECT_EQ(FindLastChar("a,b,c", ','), 3U);
  EXPECT_EQ(FindChar("abc", ','), std::string_view::npos);
  EXPECT_EQ(FindLastChar("", ','), std::string_view::npos);
}

}  // namespace
}  // namespace quillmere::text
