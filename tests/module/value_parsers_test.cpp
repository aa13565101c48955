// The value grammar of module files, one table per value form: tokens, byte tokens, change-line
// and command records with their event tags, multi-command entries and the library setting.
// Values are parsed from memory; no file is involved. Binding kind-3 records needs the library
// state a load makes: the load cases show it (tests/data/module).
#include "module/value_parsers.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "module/module_dump.h"
#include "platform/text.h"

namespace quillmere {
namespace {

using testing::RecordText;
using Rows = std::vector<std::pair<std::string_view, std::string_view>>;

// Each value of `rows` parsed by `parse` gives the text beside it: the value's own text, or "! "
// and the plain words for why it did not parse (which name the failure and its detail).
template <typename Parse, typename Text>
void ExpectParses(const Rows& rows, Parse parse, Text text) {
  for (const auto& [value, expected] : rows) {
    const auto parsed = parse(value);
    const ParseError* error = std::get_if<ParseError>(&parsed);
    EXPECT_EQ(error ? "! " + DescribeParseError(*error) : text(std::get<0>(parsed)), expected)
        << value;
  }
}

// A token runs to the first comma and is never trimmed; the remainder is what follows it. A
// double-byte character is one character to the comma search: "日" in UTF-8 is an odd run of
// high bytes, so a search that paired high bytes blindly would swallow the comma after it.
TEST(NextTokenTest, SplitsAtEachCommaAndKeepsBlanks) {
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

// One byte is itself; a longer token is a control name (any case, whole token) or else the low
// 8 bits of a decimal (text's atoi; no digits give 0). SO, DC1, SUB and DEL have no name.
TEST(ParseByteTokenTest, GivesTheByte) {
  const std::pair<std::string_view, int> rows[] = {
      {"NUL", 0},  {"SOH", 1},  {"STX", 2},  {"ETX", 3},  {"EOT", 4},     {"ENQ", 5},  {"ACK", 6},
      {"BEL", 7},  {"BS", 8},   {"HT", 9},   {"LF", 10},  {"VT", 11},     {"FF", 12},  {"CR", 13},
      {"SI", 15},  {"SLE", 16}, {"DLE", 16}, {"CS1", 17}, {"DC2", 18},    {"DC3", 19}, {"DC4", 20},
      {"NAK", 21}, {"SYN", 22}, {"ETB", 23}, {"CAN", 24}, {"EM", 25},     {"SIB", 26}, {"ESC", 27},
      {"FS", 28},  {"GS", 29},  {"RS", 30},  {"US", 31},  {"SP", 32},     {"esc", 27}, {"gS", 29},
      {"sle", 16}, {"SO", 0},   {"DC1", 0},  {"SUB", 0},  {"DEL", 0},     {" FF", 0},  {"FF ", 0},
      {"V", 0x56}, {"0", 0x30}, {"9", 0x39}, {" ", 0x20}, {"\xe9", 0xE9}, {"27", 27},  {"09", 9},
      {"086", 86}, {"300", 44}, {"-1", 255}, {"256", 0},  {"xyz", 0}};
  for (const auto& [token, byte] : rows) {
    EXPECT_EQ(ParseByteToken(token), byte) << "'" << token << "'";
  }
}

// A change-line record is a count and exactly that many byte tokens; what follows is ignored.
TEST(ParseChangeLineValueTest, GivesTheBytesOrSaysWhichTokenIsAbsent) {
  const Rows rows = {
      {"2,CR,LF", "[0D 0A] kind 0 param 0"},
      {"0", "[] kind 0 param 0"},
      {"2,1,2", "[31 32] kind 0 param 0"},
      {"1,ESC,TRAN_STOP,9", "[1B] kind 0 param 0"},
      {"3,027,064,300", "[1B 40 2C] kind 0 param 0"},
      {"3,CR,LF", "! byte token 3 is absent"},
      {"2,,LF", "! byte token 1 is absent"},
      {"", "! the count is absent"},
      {"-2,CR,LF", "! the byte count -2 is below zero"},
      {"2000000000,CR,LF", "! byte token 3 is absent"},
  };
  ExpectParses(rows, ParseChangeLineValue, RecordText);
}

// count, bytes, kind, [parameter unless kind 2], then optional flag, [text], tag (the whole
// token, any case): only kind 1 keeps its parameter, and an absent optional token ends a
// complete record. "+start"/"+stop": the tag cleared noStartTag/noStopTag, which a record
// that fails never does.
TEST(ParseCommandValueTest, GivesTheRecordOrSaysWhichTokenIsAbsent) {
  const Rows rows = {
      {"1,esc,2", "[1B] kind 2 param 0"},
      {"1,SP,2,0,TRAN_VOID", "[20] kind 2 param 0 void"},
      {"1,SP,0,x", "[20] kind 0 param 0"},
      {"1,SP,1,5,1,Hello,tran_stop", "[20] kind 1 param 5 'Hello' stop +stop"},
      {"1,SP,1,5,1", "[20] kind 1 param 5"},
      {"1,SP,1,5,0,,TRAN_STOP", "[20] kind 1 param 5"},
      {"1,SP,1,5,0,TRAN_START", "[20] kind 1 param 5 start +start"},
      {"1,SP,1,5,x,TRAN_STOP", "[20] kind 1 param 5 stop +stop"},
      {"1,SP,1,0,1, a b ,TRAN_STOP", "[20] kind 1 param 0 ' a b ' stop +stop"},
      {"1,SP,1,5,1,Hi,TRAN_VOID,more,3", "[20] kind 1 param 5 'Hi' void"},
      {"1,SP,2,0,TRAN_STOP ", "[20] kind 2 param 0"},
      {"1,SP,4,99,1,T,TRAN_VOID", "[20] kind 4 param 0 'T' void"},
      {"1,SP,1,-3", "[20] kind 1 param -3"},
      {"0,1,0", "[] kind 1 param 0"},
      {"1,SP,1", "! kind 1 needs a parameter token, which is absent"},
      {"1,SP", "! the kind is absent"},
      {"2,SP", "! byte token 2 is absent"},
      {"-1,SP,1,0", "! the byte count -1 is below zero"},
      {"1,SP,3,Cut,0,TRAN_STOP",
       "! function Cut cannot be bound: the module uses no library (UseDll flag 0)"},
  };
  TagFlags flags;
  const auto parse = [&](std::string_view value) {
    flags = {};
    return ParseCommandValue(value, {}, flags);
  };
  ExpectParses(rows, parse, [&](const CommandRecord& record) {
    return RecordText(record) + (flags.noStartTag ? "" : " +start") +
           (flags.noStopTag ? "" : " +stop");
  });
  EXPECT_TRUE(flags.noStopTag) << "the failed kind-3 record's TRAN_STOP";
}

// A multi-command entry is section, trigger byte token and count, each required; the section
// keeps its blanks and the count is kept as read.
TEST(ParseMultiCommandValueTest, GivesSectionTriggerAndCount) {
  const Rows rows = {
      {"Text_Void,V,0", "'Text_Void' 86 0"},         {"Text_Stop,ESC,2", "'Text_Stop' 27 2"},
      {"Text_Void,086,-5", "'Text_Void' 86 -5"},     {"Cut,GS,1,extra", "'Cut' 29 1"},
      {" Text Void ,V,1", "' Text Void ' 86 1"},     {"Text_Void,V,", "! the count is absent"},
      {"Text_Void", "! the trigger byte is absent"}, {",V,1", "! the section name is absent"}};
  ExpectParses(rows, ParseMultiCommandValue, [](const MultiCommandEntry& entry) {
    return "'" + entry.section + "' " + std::to_string(entry.trigger) + " " +
           std::to_string(entry.count);
  });
}

// UseDll: a decimal flag (non-zero uses a library), then the whole remainder as the path.
TEST(ParseLibrarySettingTest, GivesFlagAndPath) {
  const Rows rows = {
      {"0,", "0 ''"},
      {"1,a,b.dll", "1 'a,b.dll'"},
      {"1", "1 ''"},
      {"0,cut.dll", "0 'cut.dll'"},
      {"-1,x.dll", "1 'x.dll'"},
      {"yes,x.dll", "0 'x.dll'"},
      {"1, my.dll ", "1 ' my.dll '"},
  };
  const auto parse = [](std::string_view value) {
    return Parsed<LibrarySetting>(ParseLibrarySetting(value));
  };
  ExpectParses(rows, parse, [](const LibrarySetting& setting) {
    return (setting.useLibrary ? "1 '" : "0 '") + setting.path + "'";
  });
}

}  // namespace
}  // namespace quillmere
