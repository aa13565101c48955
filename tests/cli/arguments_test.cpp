// The option parser every command shares.
#include "cli/arguments.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "support/case_name.h"

namespace quillmere::cli {
namespace {

using quillmere::testing::CaseName;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::array kOptions{
    OptionSpec{"folder", OptionKind::kValue, "DIR", ""},
    OptionSpec{"void", OptionKind::kValue, "KEYWORD", ""},
    OptionSpec{"yes", OptionKind::kFlag, "", ""},
};

std::variant<ParsedArguments, UsageError> Parse(const std::vector<std::string>& arguments) {
  return ParseArguments(arguments, kOptions);
}

TEST(ParseArguments, ValueAfterTheOptionOrAfterAnEqualsSign) {
  const auto parsed = std::get<ParsedArguments>(Parse({"--folder", "a b", "--void=Void"}));
  EXPECT_EQ(parsed.Value("folder"), "a b");
  EXPECT_EQ(parsed.Value("void"), "Void");
  EXPECT_FALSE(parsed.Has("yes"));
  EXPECT_EQ(parsed.Value("yes"), std::nullopt);
}

TEST(ParseArguments, EmptyValueIsAValue) {
  const auto parsed = std::get<ParsedArguments>(Parse({"--void=", "--folder", ""}));
  EXPECT_EQ(parsed.Value("void"), "");
  EXPECT_EQ(parsed.Value("folder"), "");
}

// A keyword may be anything a register prints, a leading dash too.
TEST(ParseArguments, ValueMayStartWithADash) {
  const auto parsed = std::get<ParsedArguments>(Parse({"--void", "--yes", "--folder", "-"}));
  EXPECT_EQ(parsed.Value("void"), "--yes");
  EXPECT_FALSE(parsed.Has("yes"));
  EXPECT_EQ(parsed.Value("folder"), "-");
}

TEST(ParseArguments, PositionalsKeepTheirOrderAroundOptions) {
  const auto parsed =
      std::get<ParsedArguments>(Parse({"Epson.ini", "--yes", "-", "--", "--folder", "x"}));
  EXPECT_TRUE(parsed.Has("yes"));
  EXPECT_FALSE(parsed.Has("folder"));
  EXPECT_THAT(parsed.positional(), ElementsAre("Epson.ini", "-", "--folder", "x"));
}

TEST(ParseArguments, NothingGivenIsNothingSet) {
  const auto parsed = std::get<ParsedArguments>(Parse({}));
  EXPECT_FALSE(parsed.Has("folder"));
  EXPECT_THAT(parsed.positional(), IsEmpty());
}

struct ErrorCase {
  const char* name;
  std::vector<std::string> arguments;
  const char* message;
  // Rows print as their names, so the test names stay readable.
  friend void PrintTo(const ErrorCase& row, std::ostream* os) { *os << row.name; }
};

class ParseErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParseErrorTest, SaysWhatIsWrong) {
  const auto parsed = Parse(GetParam().arguments);
  ASSERT_TRUE(std::holds_alternative<UsageError>(parsed));
  EXPECT_EQ(std::get<UsageError>(parsed).message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ParseErrorTest,
    ::testing::Values(
        ErrorCase{"UnknownLongOption", {"--colour"}, "unknown option '--colour'"},
        ErrorCase{"UnknownWithValue", {"--colour=red"}, "unknown option '--colour'"},
        ErrorCase{"ShortOption", {"-y"}, "unknown option '-y'"},
        ErrorCase{"PrefixOfAnOption", {"--fold", "x"}, "unknown option '--fold'"},
        ErrorCase{"MissingValue", {"--yes", "--folder"}, "option '--folder' needs a value (DIR)"},
        ErrorCase{"FlagWithValue", {"--yes=no"}, "option '--yes' takes no value"},
        ErrorCase{"FlagTwice", {"--yes", "--yes"}, "option '--yes' given twice"},
        ErrorCase{"ValueTwice", {"--void=a", "--void", "b"}, "option '--void' given twice"}),
    CaseName());

}  // namespace
}  // namespace quillmere::cli
