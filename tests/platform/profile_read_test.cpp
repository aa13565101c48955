// Reads of a module file as the Windows profile functions give them, from bytes in memory.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/ini_document.h"
#include "support/case_name.h"

namespace quillmere {
namespace {

using namespace std::string_literals;
using testing::CaseName;

// The file Windows' own conformance checks read, in CRLF and in CR-only form.
const std::string kListed =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
const std::string kListedCrOnly =
    "[section1]\rname1=val1\rname2=\"val2\"\rname3\rname4=a\r[section2]\r";

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string defaultValue;
  std::string expected;  // A failing row is reported by its name, not as a dump of its bytes.
  friend void PrintTo(const ReadCase& row, std::ostream* out) { *out << row.name; }
};

class StringRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(StringRead, GivesWhatWindowsGives) {
  const ReadCase& row = GetParam();
  EXPECT_EQ(IniDocument(row.file).ReadString(row.section, row.key, row.defaultValue), row.expected);
}

// Absent files, sections and keys give the default, with only its trailing spaces removed.
INSTANTIATE_TEST_SUITE_P(
    Absent, StringRead,
    ::testing::Values(
        ReadCase{"KeyGivesDefault", kListed, "section1", "notakey", "default", "default"},
        ReadCase{"SectionGivesDefault", kListed, "notasection", "name1", "default", "default"},
        ReadCase{"EmptyFileGivesDefault", "", "Main", "Module_Name", "0,", "0,"},
        ReadCase{"SectionWithoutKeysGivesEmpty", kListed, "section2", "DoesntExist", "", ""},
        ReadCase{"EmptyKeyWithoutSuchLine", kListed, "section1", "", "default", "default"},
        ReadCase{"DefaultLosesTrailingSpaces", "", "S", "k", "   default   ", "   default"},
        ReadCase{"DefaultKeepsTabs", "", "S", "k", "\tdefault\t", "\tdefault\t"},
        ReadCase{"DefaultKeepsQuotes", "", "S", "k", "\"x\"", "\"x\""},
        ReadCase{"DefaultOfSpacesIsEmpty", "", "S", "k", "   ", ""}),
    CaseName{});

// A value, or a default, longer than 259 characters comes back cut to 259.
INSTANTIATE_TEST_SUITE_P(
    Cut, StringRead,
    ::testing::Values(
        ReadCase{"ValueOf300", "[S]\r\nk=" + std::string(300, 'v') + "\r\n", "S", "k", "",
                 std::string(259, 'v')},
        ReadCase{"ValueOf259Whole", "[S]\r\nk=" + std::string(258, 'v') + "w\r\n", "S", "k", "",
                 std::string(258, 'v') + "w"},
        ReadCase{"ValueOf260", "[S]\r\nk=" + std::string(259, 'v') + "w\r\n", "S", "k", "",
                 std::string(259, 'v')},
        ReadCase{"QuotedValueCutAfterQuotesGo", "[S]\r\nk=\"" + std::string(300, 'q') + "\"", "S",
                 "k", "", std::string(259, 'q')},
        ReadCase{"DefaultOf300", "", "S", "k", std::string(300, 'd'), std::string(259, 'd')}),
    CaseName{});

// Section and key names match ignoring case; the caller's names lose spaces, not TABs.
INSTANTIATE_TEST_SUITE_P(
    Names, StringRead,
    ::testing::Values(
        ReadCase{"Plain", kListed, "section1", "name1", "default", "val1"},
        ReadCase{"KeyIgnoresCase", kListed, "section1", "NaMe1", "default", "val1"},
        ReadCase{"SectionIgnoresCase", kListed, "SECTION1", "name4", "default", "a"},
        ReadCase{"ValueKeepsCase", "[S]\r\nk=MiXeD\r\n", "s", "K", "", "MiXeD"},
        ReadCase{"CallerSpacesTrimmed", kListed, "  section1  ", " name1 ", "", "val1"},
        ReadCase{"CallerTabInSectionCounts", kListed, "\tsection1", "name1", "d", "d"},
        ReadCase{"CallerTabInKeyCounts", kListed, "section1", "name1\t", "d", "d"},
        ReadCase{"FileBlanksAroundKey", "[S]\r\n\t  TestKey \v\t=v\r\n", "S", "TestKey", "", "v"},
        ReadCase{"EmptyKeyName", "[s]\r\n=val_no_key\r\n", "s", "", "d", "val_no_key"},
        ReadCase{"BareLineIsNoKey", kListed, "section1", "name3", "default", "default"},
        ReadCase{"NonAsciiNeverFolds", "[S]\r\n\xC4k=v\r\n", "S", "\xE4k", "d", "d"}),
    CaseName{});

// Only the first section of a name is searched, and the first key of a name wins.
INSTANTIATE_TEST_SUITE_P(
    Duplicates, StringRead,
    ::testing::Values(
        ReadCase{"SecondSectionNotSearched", "[S]\r\n[S]\r\nk=v\r\n", "S", "k", "d", "d"},
        ReadCase{"SecondSectionOtherCase", "[s]\r\na=1\r\n[S]\r\nk=v\r\n", "S", "k", "d", "d"},
        ReadCase{"FirstSectionStillRead", "[S]\r\nk=1\r\n[T]\r\n[S]\r\nk=2\r\n", "S", "k", "", "1"},
        ReadCase{"FirstKeyWins", "[S]\r\nk=A\r\nk=B\r\n", "S", "k", "", "A"},
        ReadCase{"FirstKeyWinsIgnoringCase", "[S]\r\nK=A\r\nk=B\r\n", "S", "k", "", "A"}),
    CaseName{});

// Blanks around a value go, then one matching outer pair of quotes.
INSTANTIATE_TEST_SUITE_P(
    Values, StringRead,
    ::testing::Values(
        ReadCase{"BlanksTrimmed", "[S]\r\nk=\t Value \v\t\r\n", "S", "k", "", "Value"},
        ReadCase{"DoubleQuotesGo", "[S]\r\nk=  \"   TestValue   \"  \r\n", "S", "k", "",
                 "   TestValue   "},
        ReadCase{"SingleQuotesGo", "[S]\r\nk=  '   TestValue   '  \r\n", "S", "k", "",
                 "   TestValue   "},
        ReadCase{"QuotedInList", kListed, "section1", "name2", "", "val2"},
        ReadCase{"OnlyOuterPair", "[S]\r\nk=\"'x'\"\r\n", "S", "k", "", "'x'"},
        ReadCase{"DoubledQuotesLoseOnePair", "[S]\r\nk=\"\"x\"\"\r\n", "S", "k", "", "\"x\""},
        ReadCase{"MismatchedQuotesKept", "[S]\r\nk=  \"   v   '  \r\n", "S", "k", "", "\"   v   '"},
        ReadCase{"WrongOrderKept", "[S]\r\nk='\"x'\"\r\n", "S", "k", "", "'\"x'\""},
        ReadCase{"LoneQuoteKept", "[S]\r\nk=\"\r\n", "S", "k", "", "\""},
        ReadCase{"EmptyQuotesAreEmptyNotDefault", "[S]\r\nk=\"\"\r\n", "S", "k", "d", ""},
        ReadCase{"EmptyValueIsNotDefault", "[S]\r\nk=\r\n", "S", "k", "d", ""},
        ReadCase{"SplitAtFirstEquals", "[S]\r\nk=a=b\r\n", "S", "k", "", "a=b"},
        ReadCase{"FormFeedIsNoBlank", "[S]\r\nk=\fv\f\r\n", "S", "k", "", "\fv\f"},
        ReadCase{"NulEndsTheValue", "[S]\r\nk=ab\0cd\r\n"s, "S", "k", "", "ab"},
        ReadCase{"SemicolonInValueIsText", "[S]\r\nk=;nocomment\r\n", "S", "k", "", ";nocomment"},
        ReadCase{"NoTrailingComments", "[S]\r\npepsi=diet ;gag\r\n", "S", "pepsi", "",
                 "diet ;gag"}),
    CaseName{});

// Comments and lines before the first section cannot be read.
INSTANTIATE_TEST_SUITE_P(
    Unreachable, StringRead,
    ::testing::Values(
        ReadCase{"CommentByItsText", "[S]\r\n;key=TestValue\r\n", "S", ";key", "d", "d"},
        ReadCase{"CommentByItsName", "[S]\r\n;key=TestValue\r\n", "S", "key", "d", "d"},
        ReadCase{"CommentAfterBlanks", "[S]\r\n \t\v;key=TestValue\r\n", "S", ";key", "d", "d"},
        ReadCase{"HashIsNoComment", "[S]\r\n#k=v\r\n", "S", "#k", "", "v"},
        ReadCase{"SemicolonInsideKey", "[S]\r\nthis;is=x\r\n", "S", "this;is", "", "x"},
        ReadCase{"BeforeFirstSectionByEmptyName", "k=1\r\n[S]\r\nk2=2\r\n", "", "k", "d", "d"},
        ReadCase{"BeforeFirstSectionByFirstName", "k=1\r\n[S]\r\nk2=2\r\n", "S", "k", "d", "d"},
        ReadCase{"NulsBeforeFirstSection", "Data \0 before \0\r\n[S]\r\nk=v\r\n"s, "S", "k", "",
                 "v"}),
    CaseName{});

// A header's name runs from "[" to the first "]" or the line's end, trimmed.
INSTANTIATE_TEST_SUITE_P(
    Headers, StringRead,
    ::testing::Values(
        ReadCase{"TrailingTextIgnored", "[Main] trailing\r\nk=v\r\n", "Main", "k", "", "v"},
        ReadCase{"EntryBehindHeaderLost", "[Main]k=v\r\nj=w\r\n", "Main", "k", "d", "d"},
        ReadCase{"NextLineAfterLostEntry", "[Main]k=v\r\nj=w\r\n", "Main", "j", "d", "w"},
        ReadCase{"NoClosingBracket", "[Main   \r\nk=v\r\n", "Main", "k", "", "v"},
        ReadCase{"NoOpeningBracketIsNoHeader", "[A]\r\nMain]\r\nk=v\r\n", "Main", "k", "d", "d"},
        ReadCase{"LinesAfterNonHeaderStayInSection", "[A]\r\nMain]\r\nk=v\r\n", "A", "k", "", "v"},
        ReadCase{"FirstClosingBracketEnds", "[sec]whoops]\r\nk=v\r\n", "sec", "k", "", "v"},
        ReadCase{"TextAfterFirstBracketNoName", "[sec]whoops]\r\nk=v\r\n", "sec]whoops", "k", "d",
                 "d"},
        ReadCase{"InnerOpeningBracketIsText", "[[sec]\r\nk=v\r\n", "[sec", "k", "", "v"},
        ReadCase{"BlanksInsideTrimmed", "[ \tMain\v ]\r\nk=v\r\n", "Main", "k", "", "v"},
        ReadCase{"BlanksBeforeBracket", " \t\v[Main]\r\nk=v\r\n", "Main", "k", "", "v"},
        ReadCase{"QuotesArePartOfName", "[\"Main\"]\r\nk=v\r\n", "Main", "k", "d", "d"},
        ReadCase{"EmptyName", "k=0\r\n[]\r\nk=v\r\n", "", "k", "", "v"}),
    CaseName{});

// CR, LF and CRLF all end lines; byte-order marks are no line ends, and a UTF-8 one hides the
// header it stands before.
INSTANTIATE_TEST_SUITE_P(
    Encodings, StringRead,
    ::testing::Values(ReadCase{"CrOnly", kListedCrOnly, "section1", "name4", "", "a"},
                      ReadCase{"CrOnlyQuoted", kListedCrOnly, "section1", "name2", "", "val2"},
                      ReadCase{"LfOnly", "[S]\nk=1\nj=2\n", "S", "j", "", "2"},
                      ReadCase{"Mixed", "[S]\r\nk=1\nj=2\rl=3", "S", "l", "", "3"},
                      ReadCase{"LastLineWithoutEnding", "[S]\r\nk=v", "S", "k", "", "v"},
                      ReadCase{"Utf8BomHidesFirstSection",
                               "\xEF\xBB\xBF[A]\r\nk=1\r\n[B]\r\nm=2\r\n", "A", "k", "d", "d"},
                      ReadCase{"Utf8BomLeavesLaterSections",
                               "\xEF\xBB\xBF[A]\r\nk=1\r\n[B]\r\nm=2\r\n", "B", "m", "d", "2"},
                      ReadCase{"Utf16LeGivesDefault", "\xFF\xFE\r\n[S]\r\nk=v\r\n", "S", "k", "d",
                               "d"}),
    CaseName{});

struct IntCase {
  const char* name;
  std::string file;
  std::int32_t defaultValue;
  std::int32_t expected;
  friend void PrintTo(const IntCase& row, std::ostream* out) { *out << row.name; }
};

class IntegerRead : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntegerRead, GivesWhatWindowsGives) {
  const IntCase& row = GetParam();
  EXPECT_EQ(IniDocument(row.file).ReadInt("S", "k", row.defaultValue), row.expected);
}

// Leading blanks, a sign and digits up to the first other byte, wrapping as 32 bits; an empty
// value gives the default, a non-numeric one 0.
INSTANTIATE_TEST_SUITE_P(
    Table, IntegerRead,
    ::testing::Values(IntCase{"AbsentKey", "[S]\r\nj=1\r\n", -1, -1},
                      IntCase{"AbsentFile", "", 30, 30},
                      IntCase{"MinusOne", "[S]\r\nk=-1\r\n", 5, -1},
                      IntCase{"One", "[S]\r\nk=1\r\n", 5, 1},
                      IntCase{"PlusOne", "[S]\r\nk=+1\r\n", 5, 1},
                      IntCase{"WrapsToZero", "[S]\r\nk=4294967296\r\n", 5, 0},
                      IntCase{"WrapsToOne", "[S]\r\nk=4294967297\r\n", 5, 1},
                      IntCase{"NegativeWraps", "[S]\r\nk=-4294967297\r\n", 5, -1},
                      IntCase{"StopsAtLetter", "[S]\r\nk=42A94967297\r\n", 5, 42},
                      IntCase{"TrailingText", "[S]\r\nk=102abc\r\n", 5, 102},
                      IntCase{"NonNumericIsZero", "[S]\r\nk=B4294967297\r\n", 5, 0},
                      IntCase{"EmptyGivesDefault", "[S]\r\nk=\r\n", 7, 7},
                      IntCase{"EmptyQuotesGiveDefault", "[S]\r\nk=\"\"\r\n", 7, 7},
                      IntCase{"Quoted", "[S]\r\nk=\"12\"\r\n", 5, 12},
                      IntCase{"Blanks", "[S]\r\nk= \t 12 \t\r\n", 5, 12},
                      IntCase{"NoHexPrefix", "[S]\r\nk=0x1F\r\n", 5, 0},
                      IntCase{"SignThenBlankIsZero", "[S]\r\nk=- 5\r\n", 5, 0},
                      IntCase{"CountOfAModule", "[S]\r\nK=12\r\n", 0, 12}),
    CaseName{});

struct KeyNamesCase {
  const char* name;
  std::string file;
  std::string section;
  std::vector<std::string> expected;
  friend void PrintTo(const KeyNamesCase& row, std::ostream* out) { *out << row.name; }
};

class KeyNames : public ::testing::TestWithParam<KeyNamesCase> {};

TEST_P(KeyNames, ListsTheKeysOfTheFirstSection) {
  const KeyNamesCase& row = GetParam();
  EXPECT_EQ(IniDocument(row.file).ReadKeyNames(row.section), row.expected);
}

// Entries of the first section of the name in file order, duplicates included; comments, bare
// lines and empty names left out.
INSTANTIATE_TEST_SUITE_P(
    Table, KeyNames,
    ::testing::Values(
        KeyNamesCase{"BareLineLeftOut",
                     "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n",
                     "s",
                     {"name1", "name2", "name4"}},
        KeyNamesCase{"CommentsLeftOutDuplicatesKept",
                     "[S]\r\nk=1\r\n;c=2\r\nk2=3\r\n\r\nk=4\r\n",
                     "S",
                     {"k", "k2", "k"}},
        KeyNamesCase{"FirstSectionOnly", "[S]\r\na=1\r\n[T]\r\nb=2\r\n[s]\r\nc=3", "s", {"a"}},
        KeyNamesCase{"SpellingKeptBlanksTrimmed", "[S]\r\n  MiXed \t= 1\r\n", " s ", {"MiXed"}},
        KeyNamesCase{"EmptyNameLeftOut", "[S]\r\n=v\r\nk=1\r\n", "S", {"k"}},
        KeyNamesCase{"BeforeFirstSectionLeftOut", "a=1\r\n[]\r\nb=2\r\n", "", {"b"}},
        KeyNamesCase{"AbsentSection", "[S]\r\nk=1\r\n", "T", {}},
        KeyNamesCase{"MissingFile", "", "S", {}},
        KeyNamesCase{"Utf16LeFile", "\xFF\xFE\r\n[S]\r\nk=v\r\n", "S", {}}),
    CaseName{});

}  // namespace
}  // namespace quillmere
