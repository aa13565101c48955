// Writes to a module file as Windows makes them, from bytes in memory: which line changes or is
// added, and that every other byte stays as it was.
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

struct WriteCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;  // A failing row is reported by its name, not as a dump of its bytes.
  friend void PrintTo(const WriteCase& row, std::ostream* out) { *out << row.name; }
};

class KeyWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(KeyWrite, ChangesOneLineOrAddsOne) {
  const WriteCase& row = GetParam();
  const DocumentEdit edit = IniDocument(row.before).WithValue(row.section, row.key, row.value);
  ASSERT_EQ(edit.status, WriteStatus::kOk);
  EXPECT_EQ(edit.bytes, row.after);
}

// The first matching key's line is replaced: its key part and its own ending stay.
INSTANTIATE_TEST_SUITE_P(
    Replace, KeyWrite,
    ::testing::Values(
        WriteCase{"OneLineCrlf", "[S]\r\na=1\r\nb=2\r\nc=3\r\n", "S", "b", "X",
                  "[S]\r\na=1\r\nb=X\r\nc=3\r\n"},
        WriteCase{"OneLineLf", "[S]\na=1\nb=2\nc=3\n", "S", "b", "X", "[S]\na=1\nb=X\nc=3\n"},
        WriteCase{"SpellingOfNamesKept", "[SectionName]\r\nTestKey=TestValue", "SECTIONNAME",
                  "TESTKEY", "TestValue2", "[SectionName]\r\nTestKey=TestValue2\r\n"},
        WriteCase{"BlanksBeforeEqualsKept", "[S]\r\n  Key  =  old  \r\nz=1\r\n", "S", "key", "new",
                  "[S]\r\n  Key  =new\r\nz=1\r\n"},
        WriteCase{"LinesOwnEndingKept", "[S]\r\nk=1\nj=2\r\n", "S", "k", "X",
                  "[S]\r\nk=X\nj=2\r\n"},
        WriteCase{"LastLineGetsFileEnding", "[S]\nk=1", "S", "k", "X", "[S]\nk=X\n"},
        WriteCase{"FirstOfDuplicateKeys", "[S]\r\nk=1\r\nk=2\r\n", "S", "K", "X",
                  "[S]\r\nk=X\r\nk=2\r\n"},
        WriteCase{"InFirstOfDuplicateSections", "[S]\r\nk=1\r\n[s]\r\nk=2\r\n", "S", "k", "X",
                  "[S]\r\nk=X\r\n[s]\r\nk=2\r\n"},
        WriteCase{"ValueWrittenRaw", "[S]\r\nk=1\r\n", "S", "k", " \"q\" ;x",
                  "[S]\r\nk= \"q\" ;x\r\n"},
        WriteCase{"EmptyValue", "[S]\r\nk=1\r\n", "S", "k", "", "[S]\r\nk=\r\n"},
        WriteCase{"QuotedLineReplacedWhole", "[S]\r\nk=\"a b\"\r\n", "S", "k", "c",
                  "[S]\r\nk=c\r\n"}),
    CaseName{});

// A new key goes right after the last key line of its section, before the comments and blank
// lines that close it, and ends with the file's own line ending.
INSTANTIATE_TEST_SUITE_P(
    AddKey, KeyWrite,
    ::testing::Values(
        WriteCase{"BeforeClosingComment", "[S]\r\na=1\r\n;note\r\n\r\n[T]\r\nb=2\r\n", "S", "n",
                  "v", "[S]\r\na=1\r\nn=v\r\n;note\r\n\r\n[T]\r\nb=2\r\n"},
        WriteCase{"BeforeBlankLines", "[A]\r\nx=1\r\n\r\n[B]", "A", "y", "2",
                  "[A]\r\nx=1\r\ny=2\r\n\r\n[B]"},
        WriteCase{"AfterCommentBetweenKeys", "[S]\r\na=1\r\n;c\r\nb=2\r\n\r\n", "S", "n", "v",
                  "[S]\r\na=1\r\n;c\r\nb=2\r\nn=v\r\n\r\n"},
        WriteCase{"AfterHeaderOfEmptySection", "[S]\r\n;c\r\n[T]\r\n", "S", "k", "v",
                  "[S]\r\nk=v\r\n;c\r\n[T]\r\n"},
        WriteCase{"AfterHeaderWithoutEnding", "[S]", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"AfterLastLineWithoutEnding", "[S]\nk=1", "S", "j", "2", "[S]\nk=1\nj=2\n"},
        WriteCase{"AfterBareLine", "[S]\r\nk=1\r\nbare\r\n;c\r\n", "S", "n", "v",
                  "[S]\r\nk=1\r\nbare\r\nn=v\r\n;c\r\n"},
        WriteCase{"BareLineIsNotReplaced", "[S]\r\nname3\r\n", "S", "name3", "v",
                  "[S]\r\nname3\r\nname3=v\r\n"},
        WriteCase{"LfFile", "[S]\na=1\n[T]\n", "S", "k", "v", "[S]\na=1\nk=v\n[T]\n"},
        WriteCase{"CrFile", "[S]\ra=1\r[T]\r", "S", "k", "v", "[S]\ra=1\rk=v\r[T]\r"},
        WriteCase{"FirstLineEndingRules", "[S]\na=1\r\n", "S", "k", "v", "[S]\na=1\r\nk=v\n"},
        WriteCase{"IntoFirstOfDuplicateSections", "[S]\r\na=1\r\n[S]\r\nb=2\r\n", "s", "c", "3",
                  "[S]\r\na=1\r\nc=3\r\n[S]\r\nb=2\r\n"},
        WriteCase{"SectionMatchIgnoresCase", "[main]\r\na=1\r\n", "MAIN", "b", "2",
                  "[main]\r\na=1\r\nb=2\r\n"},
        WriteCase{"LinesBeforeFirstSectionAreNoKeys", "k=1\r\n[S]\r\n", "S", "k", "2",
                  "k=1\r\n[S]\r\nk=2\r\n"},
        WriteCase{"CommentNamedLikeKeyIsNoKey", "[S]\r\n;k=1\r\n", "S", "k", "2",
                  "[S]\r\nk=2\r\n;k=1\r\n"}),
    CaseName{});

// A new section and its key are appended at the end, a line end first if the file lacks one.
INSTANTIATE_TEST_SUITE_P(
    AddSection, KeyWrite,
    ::testing::Values(
        WriteCase{"AfterFinalEnding", "[S]\r\na=1\r\n", "T", "k", "v",
                  "[S]\r\na=1\r\n[T]\r\nk=v\r\n"},
        WriteCase{"WithoutFinalEnding", "[S]\r\na=1", "T", "k", "v",
                  "[S]\r\na=1\r\n[T]\r\nk=v\r\n"},
        WriteCase{"EmptyFile", "", "T", "k", "v", "[T]\r\nk=v\r\n"},
        WriteCase{"LfFile", "[S]\na=1\n", "T", "k", "v", "[S]\na=1\n[T]\nk=v\n"},
        WriteCase{"LfFileWithoutFinalEnding", "[S]\na=1", "T", "k", "v", "[S]\na=1\n[T]\nk=v\n"},
        WriteCase{"FileWithoutAnyEnding", "; note", "T", "k", "v", "; note\r\n[T]\r\nk=v\r\n"},
        WriteCase{"NulsBeforeFirstSectionKept", "Data \0 before \0 first \0 section"s, "section1",
                  "key1", "string1",
                  "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
        WriteCase{"Utf8BomOnly", "\xEF\xBB\xBF", "S", "k", "v", "\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n"},
        WriteCase{"Utf8BomHidesFirstSection", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2",
                  "\xEF\xBB\xBF[A]\r\nk=1\r\n[A]\r\nk=2\r\n"},
        WriteCase{"CallerSpacesTrimmed", "", " sec ", " key ", " v ", "[sec]\r\nkey= v \r\n"},
        WriteCase{"OpeningBracketInName", "", "[S", "k", "v", "[[S]\r\nk=v\r\n"}),
    CaseName{});

// Each write in turn, as Windows' own checks see the file grow.
TEST(KeyWrites, BuildAFileAsWindowsDoes) {
  IniDocument document;
  const std::vector<std::vector<std::string>> writes = {{"App1", "key1", "string1"},
                                                        {"App1", "key2", "string2"},
                                                        {"App1", "key3", "string3"},
                                                        {"App2", "key4", "string4"},
                                                        {"App3", "key5", "string5"}};
  for (const auto& write : writes) {
    DocumentEdit edit = document.WithValue(write[0], write[1], write[2]);
    ASSERT_EQ(edit.status, WriteStatus::kOk) << write[1];
    document = IniDocument(std::move(edit.bytes));
  }
  EXPECT_EQ(document.Bytes(),
            "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n"
            "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
}

std::string AfterWrites(std::string before, const std::vector<std::string>& keys) {
  IniDocument document(std::move(before));
  for (const std::string& key : keys) {
    DocumentEdit edit = document.WithValue("S", key, "");
    EXPECT_EQ(edit.status, WriteStatus::kOk) << key;
    document = IniDocument(std::move(edit.bytes));
  }
  return document.Bytes();
}

TEST(KeyWrites, KeepExistingKeysInTheirPlace) {
  EXPECT_EQ(AfterWrites("[S]\r\nb=value\r\na=value\r\n", {"z", "b", "y", "a"}),
            "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n");
}

TEST(KeyWrites, KeepCommentsInTheirPlace) {
  EXPECT_EQ(AfterWrites(";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
                        {"z", "y", "a", "b"}),
            ";comment0\r\n[S]\r\n;comment1\r\nb=\r\n;comment2\r\na=\r\nz=\r\ny=\r\n");
}

// A module file with everything a hand-edited file may hold: lines before the first section,
// NULs, blank and odd lines, blanks around "=", a duplicate section, no final line ending.
const std::string kHandEdited =
    "; module written by hand\r\n"
    "stray=before any section\r\n"
    "Data \0 with NUL\r\n"
    "\r\n"
    "[Main]\r\n"
    "Module_Name=Epson\r\n"
    "  UseDll = 0,  \r\n"
    "\t; indented comment\r\n"
    "odd line without equals\r\n"
    "\r\n"
    "[Single-Command]\r\n"
    "C-Num=2\r\n"
    "1=1,0C,Form Feed\r\n"
    "2 = 2,1D,56,Cut\r\n"
    "   \r\n"
    "; trailing comment\r\n"
    "[main]\r\n"
    "Module_Name=Shadow\r\n"
    "[Last]\r\n"
    "x=1"s;

struct GoldenCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
  friend void PrintTo(const GoldenCase& row, std::ostream* out) { *out << row.name; }
};

class GoldenWrite : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenWrite, KeepsEveryOtherByte) {
  const GoldenCase& row = GetParam();
  const DocumentEdit edit = IniDocument(row.before).WithValue(row.section, row.key, row.value);
  ASSERT_EQ(edit.status, WriteStatus::kOk);
  EXPECT_EQ(edit.bytes, row.after);
}

INSTANTIATE_TEST_SUITE_P(
    HandEditedCrlf, GoldenWrite,
    ::testing::Values(GoldenCase{"SameValueGivesSameBytes", kHandEdited, "Main", "Module_Name",
                                 "Epson", kHandEdited},
                      GoldenCase{"ReplaceCount", kHandEdited, "Single-Command", "C-Num", "3",
                                 "; module written by hand\r\n"
                                 "stray=before any section\r\n"
                                 "Data \0 with NUL\r\n"
                                 "\r\n"
                                 "[Main]\r\n"
                                 "Module_Name=Epson\r\n"
                                 "  UseDll = 0,  \r\n"
                                 "\t; indented comment\r\n"
                                 "odd line without equals\r\n"
                                 "\r\n"
                                 "[Single-Command]\r\n"
                                 "C-Num=3\r\n"
                                 "1=1,0C,Form Feed\r\n"
                                 "2 = 2,1D,56,Cut\r\n"
                                 "   \r\n"
                                 "; trailing comment\r\n"
                                 "[main]\r\n"
                                 "Module_Name=Shadow\r\n"
                                 "[Last]\r\n"
                                 "x=1"s},
                      GoldenCase{"ReplaceSpacedKey", kHandEdited, "MAIN", "usedll", "1,Cut.dll",
                                 "; module written by hand\r\n"
                                 "stray=before any section\r\n"
                                 "Data \0 with NUL\r\n"
                                 "\r\n"
                                 "[Main]\r\n"
                                 "Module_Name=Epson\r\n"
                                 "  UseDll =1,Cut.dll\r\n"
                                 "\t; indented comment\r\n"
                                 "odd line without equals\r\n"
                                 "\r\n"
                                 "[Single-Command]\r\n"
                                 "C-Num=2\r\n"
                                 "1=1,0C,Form Feed\r\n"
                                 "2 = 2,1D,56,Cut\r\n"
                                 "   \r\n"
                                 "; trailing comment\r\n"
                                 "[main]\r\n"
                                 "Module_Name=Shadow\r\n"
                                 "[Last]\r\n"
                                 "x=1"s},
                      GoldenCase{"AddRecord", kHandEdited, "Single-Command", "3", "3,0A,Line Feed",
                                 "; module written by hand\r\n"
                                 "stray=before any section\r\n"
                                 "Data \0 with NUL\r\n"
                                 "\r\n"
                                 "[Main]\r\n"
                                 "Module_Name=Epson\r\n"
                                 "  UseDll = 0,  \r\n"
                                 "\t; indented comment\r\n"
                                 "odd line without equals\r\n"
                                 "\r\n"
                                 "[Single-Command]\r\n"
                                 "C-Num=2\r\n"
                                 "1=1,0C,Form Feed\r\n"
                                 "2 = 2,1D,56,Cut\r\n"
                                 "3=3,0A,Line Feed\r\n"
                                 "   \r\n"
                                 "; trailing comment\r\n"
                                 "[main]\r\n"
                                 "Module_Name=Shadow\r\n"
                                 "[Last]\r\n"
                                 "x=1"s},
                      GoldenCase{"AddKeyAfterOddLine", kHandEdited, "Main", "WaitTime", "30",
                                 "; module written by hand\r\n"
                                 "stray=before any section\r\n"
                                 "Data \0 with NUL\r\n"
                                 "\r\n"
                                 "[Main]\r\n"
                                 "Module_Name=Epson\r\n"
                                 "  UseDll = 0,  \r\n"
                                 "\t; indented comment\r\n"
                                 "odd line without equals\r\n"
                                 "WaitTime=30\r\n"
                                 "\r\n"
                                 "[Single-Command]\r\n"
                                 "C-Num=2\r\n"
                                 "1=1,0C,Form Feed\r\n"
                                 "2 = 2,1D,56,Cut\r\n"
                                 "   \r\n"
                                 "; trailing comment\r\n"
                                 "[main]\r\n"
                                 "Module_Name=Shadow\r\n"
                                 "[Last]\r\n"
                                 "x=1"s},
                      GoldenCase{"AddSectionAfterUnendedLine", kHandEdited, "Mutli-Command",
                                 "M-Num", "0", kHandEdited + "\r\n[Mutli-Command]\r\nM-Num=0\r\n"}),
    CaseName{});

const std::string kHandEditedLf =
    "stray=before any section\n"
    "[Main]\n"
    "Module_Name=Epson\n"
    "  UseDll = 0,  \n"
    "\n"
    "[Single-Command]\n"
    "C-Num=2\n"
    "1=1,0C,Form Feed\n"
    "; trailing comment\n"
    "\n";

INSTANTIATE_TEST_SUITE_P(
    HandEditedLf, GoldenWrite,
    ::testing::Values(GoldenCase{"SameValueGivesSameBytes", kHandEditedLf, "Single-Command", "1",
                                 "1,0C,Form Feed", kHandEditedLf},
                      GoldenCase{"ReplaceName", kHandEditedLf, "Main", "Module_Name", "Epson_1",
                                 "stray=before any section\n"
                                 "[Main]\n"
                                 "Module_Name=Epson_1\n"
                                 "  UseDll = 0,  \n"
                                 "\n"
                                 "[Single-Command]\n"
                                 "C-Num=2\n"
                                 "1=1,0C,Form Feed\n"
                                 "; trailing comment\n"
                                 "\n"},
                      GoldenCase{"AddRecord", kHandEditedLf, "Single-Command", "2", "2,1D,56,Cut",
                                 "stray=before any section\n"
                                 "[Main]\n"
                                 "Module_Name=Epson\n"
                                 "  UseDll = 0,  \n"
                                 "\n"
                                 "[Single-Command]\n"
                                 "C-Num=2\n"
                                 "1=1,0C,Form Feed\n"
                                 "2=2,1D,56,Cut\n"
                                 "; trailing comment\n"
                                 "\n"},
                      GoldenCase{"AddSection", kHandEditedLf, "Mutli-Command", "M-Num", "0",
                                 kHandEditedLf + "[Mutli-Command]\nM-Num=0\n"}),
    CaseName{});

struct RefusalCase {
  const char* name;
  std::string section;
  std::string key;
  std::string value;
  friend void PrintTo(const RefusalCase& row, std::ostream* out) { *out << row.name; }
};

class RefusedWrite : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedWrite, LeavesNoBytes) {
  const RefusalCase& row = GetParam();
  const DocumentEdit edit =
      IniDocument("[S]\r\nk=1\r\n").WithValue(row.section, row.key, row.value);
  EXPECT_EQ(edit.status, WriteStatus::kRefused);
  EXPECT_TRUE(edit.bytes.empty());
}

// Line breaks would split the file's lines apart; the names could never be read back.
INSTANTIATE_TEST_SUITE_P(
    Table, RefusedWrite,
    ::testing::Values(RefusalCase{"CrInValue", "S", "k", "a\rb"},
                      RefusalCase{"LfInValue", "S", "k", "a\nb"},
                      RefusalCase{"CrlfInValue", "S", "k", "a\r\n[X]"},
                      RefusalCase{"NulInValue", "S", "k", "a\0b"s},
                      RefusalCase{"LineBreakInKey", "S", "k\n", "v"},
                      RefusalCase{"LineBreakInSection", "S]\r\nk", "k", "v"},
                      RefusalCase{"EqualsInKey", "S", "a=b", "c"},
                      RefusalCase{"KeyStartsComment", "S", ";x", "v"},
                      RefusalCase{"KeyStartsCommentAfterSpaces", "S", "  ;x", "v"},
                      RefusalCase{"KeyStartsHeader", "S", "[x", "v"},
                      RefusalCase{"KeyWithTabAtStart", "S", "\tk", "v"},
                      RefusalCase{"KeyWithVtAtEnd", "S", "k\v", "v"},
                      RefusalCase{"EmptyKey", "S", "", "v"},
                      RefusalCase{"SpacesOnlyKey", "S", "   ", "v"},
                      RefusalCase{"ClosingBracketInSection", "sec]whoops", "k", "v"},
                      RefusalCase{"EmptySection", "", "k", "v"},
                      RefusalCase{"TabAroundSection", "\tS\t", "k", "v"}),
    CaseName{});

struct AcceptedCase {
  const char* name;
  std::string section;
  std::string key;
  std::string value;
  std::string readBack;
  friend void PrintTo(const AcceptedCase& row, std::ostream* out) { *out << row.name; }
};

class AcceptedWrite : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedWrite, ReadsBackByTheSameNames) {
  const AcceptedCase& row = GetParam();
  const DocumentEdit edit =
      IniDocument("[S]\r\nk=1\r\n").WithValue(row.section, row.key, row.value);
  ASSERT_EQ(edit.status, WriteStatus::kOk);
  EXPECT_EQ(IniDocument(edit.bytes).ReadString(row.section, row.key, "default"), row.readBack);
}

// Odd names that still read back are written as Windows writes them.
INSTANTIATE_TEST_SUITE_P(
    Table, AcceptedWrite,
    ::testing::Values(AcceptedCase{"SemicolonInsideKey", "S", "a;b", "v", "v"},
                      AcceptedCase{"HashKey", "S", "#k", "v", "v"},
                      AcceptedCase{"ClosingBracketInKey", "S", "k]", "v", "v"},
                      AcceptedCase{"TabInsideKey", "S", "a\tb", "v", "v"},
                      AcceptedCase{"SemicolonSection", ";s", "k", "v", "v"},
                      AcceptedCase{"OpeningBracketSection", "[s", "k", "v", "v"},
                      AcceptedCase{"SemicolonValue", "S", "k", ";x", ";x"},
                      AcceptedCase{"EqualsValue", "S", "k", "=", "="},
                      AcceptedCase{"BlanksInValueTrimmedOnRead", "S", "k", " \tv ", "v"},
                      AcceptedCase{"QuotesKeepBlanks", "S", "k", "\" v \"", " v "}),
    CaseName{});

TEST(KeyWrites, UnicodeFileIsNeverWritten) {
  const DocumentEdit edit = IniDocument("\xFF\xFE[\0S\0]\0"s).WithValue("S", "k", "v");
  EXPECT_EQ(edit.status, WriteStatus::kFailed);
  EXPECT_TRUE(edit.bytes.empty());
}

}  // namespace
}  // namespace quillmere
