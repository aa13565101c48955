// The value grammar of module files, one table per value form: tokens, byte tokens, change-line
// and command records with their event tags, multi-command entries and the library setting.
// Values are parsed from memory; no file is involved.
#include "module/value_parsers.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "module/module_dump.h"
#include "platform/text.h"
#include "support/golden.h"
#include "support/golden_table.h"

namespace quillmere {
namespace {

// The value tables, tests/data/module/values/<form>/table.txt, one row per value:
//   byte TOKEN => the byte in hex
//   changeline VALUE, command VALUE => the record (module_dump.h), "+start"/"+stop" when the
//     value cleared noStartTag/noStopTag; or "!" and why it gave none
//   multi VALUE => 'section' trigger count
//   usedll VALUE => flag 'path'
std::string Answer(const testing::Words& call) {
  const std::string_view form = call.at(0);
  const std::string_view value = call.at(1);
  if (form == "byte") {
    return testing::Hex(ParseByteToken(value));
  }
  if (form == "usedll") {
    const LibrarySetting setting = ParseLibrarySetting(value);
    return (setting.useLibrary ? "1 '" : "0 '") + setting.path + "'";
  }
  TagFlags flags;
  std::string answer;
  if (form == "multi") {
    const Parsed<MultiCommandEntry> entry = ParseMultiCommandValue(value);
    if (const auto* parsed = std::get_if<MultiCommandEntry>(&entry)) {
      return "'" + parsed->section + "' " + testing::Hex(parsed->trigger) + " " +
             std::to_string(parsed->count);
    }
    return "! " + DescribeParseError(std::get<ParseError>(entry));
  }
  const Parsed<CommandRecord> record =
      form == "changeline" ? ParseChangeLineValue(value) : ParseCommandValue(value, {}, flags);
  const auto* error = std::get_if<ParseError>(&record);
  return (error ? "! " + DescribeParseError(*error) : testing::RecordText(std::get<0>(record))) +
         (flags.noStartTag ? "" : " +start") + (flags.noStopTag ? "" : " +stop");
}

class ValueTable : public ::testing::TestWithParam<std::string> {};

TEST_P(ValueTable, GivesWhatTheGrammarSays) {
  testing::ExpectTableAnswers("module/values", GetParam(), "table.txt", Answer);
}

INSTANTIATE_TEST_SUITE_P(Golden, ValueTable,
                         ::testing::ValuesIn(testing::GoldenCases("module/values")),
                         [](const ::testing::TestParamInfo<std::string>& row) {
                           return row.param;
                         });

// A token runs to the first comma and is never trimmed; the remainder is what follows it. A
// double-byte character is one character to the comma search: "日" in UTF-8 is an odd run of
// high bytes, so a search that paired high bytes blindly would swallow the comma after it.
TEST(NextTokenTest, SplitsAtEachCommaAndKeepsBlanks) {
  using Rows = std::vector<std::pair<std::string_view, std::string_view>>;
  Rows rows = {{"abc", "abc|"}, {" a , b ", " a | b |"},     {"a,,b", "a||b|"}, {",a", "|a|"},
               {"", "|"},       {"1,d,x.dll", "1|d|x.dll|"}, {"0,", "0|"}};
  if (!text::IsLeadByte(0xA5)) {  // as in every code page but the Chinese and Korean ones
    rows.emplace_back("\xe6\x97\xa5,x", "\xe6\x97\xa5|x|");
  }
  for (const auto& [value, tokens] : rows) {
    std::string_view rest = value;
    std::string taken;
    do {
      taken += std::string(NextToken(rest)) + "|";
    } while (!rest.empty());
    EXPECT_EQ(taken, tokens) << value;
  }
}

}  // namespace
}  // namespace quillmere
