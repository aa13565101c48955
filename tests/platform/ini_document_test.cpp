// The profile rules on a module file parsed from memory: reads and writes give what the Windows
// profile functions give, and a write changes one line or adds one, every other byte kept.
#include "platform/ini_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quillmere {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

// A file of section "S" holding key "k" with the value `value`.
std::string K(const std::string& value) {
  return "[S]\r\nk=" + value + "\r\n";
}

// The file Windows' own conformance checks read, in CRLF and in CR-only form.
const std::string kListed =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
const std::string kListedCr =
    "[section1]\rname1=val1\rname2=\"val2\"\rname3\rname4=a\r[section2]\r";
const std::string kBomFile = "\xEF\xBB\xBF[A]\r\nk=1\r\n[B]\r\nm=2\r\n";

struct ReadRow {
  const char* name;
  std::string file, section, key, defaultValue, expected;
};

// Names ignore case, only the first section and the first key count, values lose their blanks
// and one pair of quotes, comments and lines before the first section cannot be read, a header
// ends at its first "]", CR, LF and CRLF end lines, and 259 characters come back at most.
const std::vector<ReadRow> kReads = {
    {"absent key", kListed, "section1", "notakey", "d", "d"},
    {"absent section", kListed, "notasection", "name1", "d", "d"},
    {"empty file", "", "Main", "UseDll", "0,", "0,"},
    {"default loses trailing spaces only", "", "S", "k", "\t'd'\t  ", "\t'd'\t"},
    {"value of 259 whole", K(std::string(258, 'v') + "w"), "S", "k", "",
     std::string(258, 'v') + "w"},
    {"value of 260 cut", K(std::string(259, 'v') + "w"), "S", "k", "", std::string(259, 'v')},
    {"quotes go before the cut", K("\"" + std::string(300, 'q') + "\""), "S", "k", "",
     std::string(259, 'q')},
    {"default cut", "", "S", "k", std::string(300, 'd'), std::string(259, 'd')},
    {"names ignore case, value keeps it", "[Sec]\r\nKey=MiXeD\r\n", "sEC", "kEY", "", "MiXeD"},
    {"caller's spaces trimmed", kListed, "  section1  ", " name1 ", "", "val1"},
    {"caller's tab counts", kListed, "section1", "name1\t", "d", "d"},
    {"file blanks around key", "[S]\r\n\t  Key \v\t=v\r\n", "S", "Key", "", "v"},
    {"empty key name", "[s]\r\n=val\r\n", "s", "", "d", "val"},
    {"bare line is no key", kListed, "section1", "name3", "d", "d"},
    {"non-ASCII never folds", "[S]\r\n\xC4k=v\r\n", "S", "\xE4k", "d", "d"},
    {"second section not searched", "[S]\r\na=1\r\n[s]\r\nk=v\r\n", "S", "k", "d", "d"},
    {"first section still read", "[S]\r\nk=1\r\n[T]\r\n[S]\r\nk=2\r\n", "S", "k", "", "1"},
    {"first key wins", "[S]\r\nK=A\r\nk=B\r\n", "S", "k", "", "A"},
    {"blanks trimmed", K("\t Value \v\t"), "S", "k", "", "Value"},
    {"double quotes go", K("  \"  v  \"  "), "S", "k", "", "  v  "},
    {"single quotes go", K("'  v  '"), "S", "k", "", "  v  "},
    {"only the outer pair goes", K("\"'x'\""), "S", "k", "", "'x'"},
    {"mismatched quotes kept", K("\"v'"), "S", "k", "", "\"v'"},
    {"lone quote kept", K("\""), "S", "k", "", "\""},
    {"empty quotes are no default", K("\"\""), "S", "k", "d", ""},
    {"empty value is no default", K(""), "S", "k", "d", ""},
    {"split at the first equals", K("a=b"), "S", "k", "", "a=b"},
    {"form feed is no blank", K("\fv\f"), "S", "k", "", "\fv\f"},
    {"NUL ends the value", K("ab\0cd"s), "S", "k", "", "ab"},
    {"semicolon in value is text", K("diet ;gag"), "S", "k", "", "diet ;gag"},
    {"comment by its text", "[S]\r\n \t;k=v\r\n", "S", ";k", "d", "d"},
    {"comment by its name", "[S]\r\n \t;k=v\r\n", "S", "k", "d", "d"},
    {"hash is no comment", "[S]\r\n#k=v\r\n", "S", "#k", "", "v"},
    {"semicolon inside key", "[;s]\r\na;b]=v\r\n", ";s", "a;b]", "", "v"},
    {"before first section by \"\"", "k=1\r\n[S]\r\n", "", "k", "d", "d"},
    {"before first section by name", "k=1\r\n[S]\r\nj=2\r\n", "S", "k", "d", "d"},
    {"header's trailing text ignored", "[Main] x\r\nk=v\r\n", "Main", "k", "", "v"},
    {"entry behind header lost", "[Main]k=v\r\n", "Main", "k", "d", "d"},
    {"no closing bracket", "[Main   \r\nk=v\r\n", "Main", "k", "", "v"},
    {"no opening bracket, no header", "[A]\r\nMain]\r\nk=v\r\n", "Main", "k", "d", "d"},
    {"first ] ends the name", "[sec]whoops]\r\nk=v\r\n", "sec", "k", "", "v"},
    {"inner [ is text", "[[sec]\r\nk=v\r\n", "[sec", "k", "", "v"},
    {"blanks around header trimmed", " \t[ \tMain\v ]\r\nk=v\r\n", "Main", "k", "", "v"},
    {"quotes are part of the name", "[\"M\"]\r\nk=v\r\n", "M", "k", "d", "d"},
    {"empty section name", "k=0\r\n[]\r\nk=v\r\n", "", "k", "", "v"},
    {"CR only", kListedCr, "section1", "name2", "", "val2"},
    {"mixed endings", "[S]\r\nk=1\nj=2\rl=3", "S", "l", "", "3"},
    {"UTF-8 BOM hides first section", kBomFile, "A", "k", "d", "d"},
    {"UTF-8 BOM leaves later sections", kBomFile, "B", "m", "d", "2"},
    {"UTF-16LE file gives defaults", "\xFF\xFE\r\n[S]\r\nk=v\r\n", "S", "k", "d", "d"}};

TEST(IniDocument, ReadsStringsAsWindowsDoes) {
  for (const ReadRow& row : kReads) {
    EXPECT_EQ(IniDocument(row.file).ReadString(row.section, row.key, row.defaultValue),
              row.expected)
        << row.name;
  }
}

// An integer is the string read taken as a leading decimal (text's atoi); an empty string gives
// the default.
TEST(IniDocument, ReadsIntegersFromTheStringRead) {
  const struct {
    const char* value;
    std::int32_t expected;
  } rows[] = {{"", 7}, {"\"\"", 7}, {"\"12\"", 12}, {" \t12 ", 12}, {"-1", -1}, {"B42", 0}};
  EXPECT_EQ(IniDocument("[S]\r\nj=1\r\n").ReadInt("S", "k", 7), 7);
  for (const auto& row : rows) {
    EXPECT_EQ(IniDocument(K(row.value)).ReadInt("S", "k", 7), row.expected) << row.value;
  }
}

// The entries of the first section of the name in file order, duplicates included; comments,
// bare lines and empty names left out.
TEST(IniDocument, ListsKeyNamesOfTheFirstSection) {
  EXPECT_EQ(
      IniDocument("[S]\r\n  MiXed \t= 1\r\n;c=2\r\nbare\r\n=v\r\nk=\r\nMiXed=3\r\n[s]\r\nz=1\r\n")
          .ReadKeyNames(" s "),
      (Names{"MiXed", "k", "MiXed"}));
  EXPECT_EQ(IniDocument("a=1\r\n[]\r\nb=2\r\n").ReadKeyNames(""), Names{"b"});
  EXPECT_TRUE(IniDocument("[S]\r\nk=1\r\n").ReadKeyNames("T").empty());
  EXPECT_TRUE(IniDocument("\xFF\xFE\r\n[S]\r\nk=v\r\n").ReadKeyNames("S").empty());
}

// The bytes after writing (section, key, value) into `before`; "refused"/"failed" when not made.
std::string Written(const std::string& before, std::string_view section, std::string_view key,
                    std::string_view value) {
  const DocumentEdit edit = IniDocument(before).WithValue(section, key, value);
  return edit.status == WriteStatus::kOk        ? edit.bytes
         : edit.status == WriteStatus::kRefused ? "refused"
                                                : "failed";
}

struct WriteRow {
  const char* name;
  std::string before, section, key, value, after;
};

// The first matching key's line is replaced, its key part and its own ending kept; a new key
// goes after the last key line of its section; a new section goes at the end, a line end first
// when the file lacks one. New lines take the file's first line ending, CRLF when it has none.
const std::vector<WriteRow> kWrites = {
    {"replace", "[S]\r\na=1\r\nb=2\r\nc=3\r\n", "S", "b", "X", "[S]\r\na=1\r\nb=X\r\nc=3\r\n"},
    {"replace in LF file", "[S]\na=1\nb=2\n", "S", "b", "X", "[S]\na=1\nb=X\n"},
    {"spelling of names kept", "[Sec]\r\nKey=1", "SEC", "KEY", "2", "[Sec]\r\nKey=2\r\n"},
    {"blanks before = kept", "[S]\r\n  Key  = old \r\n", "S", "key", "2", "[S]\r\n  Key  =2\r\n"},
    {"line's own ending kept", "[S]\r\nk=1\nj=2\r\n", "S", "k", "X", "[S]\r\nk=X\nj=2\r\n"},
    {"first duplicate key", "[S]\r\nk=1\r\nk=2\r\n", "S", "K", "X", "[S]\r\nk=X\r\nk=2\r\n"},
    {"first duplicate section", "[S]\r\nk=1\r\n[s]\r\nk=2", "s", "k", "X",
     "[S]\r\nk=X\r\n[s]\r\nk=2"},
    {"value written raw", "[S]\r\nk=\"a b\"\r\n", "S", "k", " \"q\" ;x", "[S]\r\nk= \"q\" ;x\r\n"},
    {"before closing comment", "[S]\r\na=1\r\n;c\r\n\r\n[T]", "S", "n", "v",
     "[S]\r\na=1\r\nn=v\r\n;c\r\n\r\n[T]"},
    {"after comment between keys", "[S]\r\na=1\r\n;c\r\nb=2\r\n", "S", "n", "v",
     "[S]\r\na=1\r\n;c\r\nb=2\r\nn=v\r\n"},
    {"right after header", "[S]\r\n;c\r\n[T]\r\n", "S", "k", "v", "[S]\r\nk=v\r\n;c\r\n[T]\r\n"},
    {"after unended header", "[S]", "S", "k", "v", "[S]\r\nk=v\r\n"},
    {"after unended line", "[S]\nk=1", "S", "j", "2", "[S]\nk=1\nj=2\n"},
    {"after bare line", "[S]\r\nk=1\r\nbare\r\n;c\r\n", "S", "n", "v",
     "[S]\r\nk=1\r\nbare\r\nn=v\r\n;c\r\n"},
    {"bare line not replaced", "[S]\r\nname3\r\n", "S", "name3", "v",
     "[S]\r\nname3\r\nname3=v\r\n"},
    {"new key in CR file", "[S]\ra=1\r[T]\r", "S", "k", "v", "[S]\ra=1\rk=v\r[T]\r"},
    {"first line ending rules", "[S]\na=1\r\n", "S", "k", "v", "[S]\na=1\r\nk=v\n"},
    {"into first duplicate section", "[S]\r\n[s]\r\n", "s", "c", "3", "[S]\r\nc=3\r\n[s]\r\n"},
    {"line before first section", "k=1\r\n[S]\r\n", "S", "k", "2", "k=1\r\n[S]\r\nk=2\r\n"},
    {"comment is no key", "[S]\r\n;k=1\r\n", "S", "k", "2", "[S]\r\nk=2\r\n;k=1\r\n"},
    {"new section after ending", "[S]\r\n", "T", "k", "v", "[S]\r\n[T]\r\nk=v\r\n"},
    {"new section, ending added", "[S]\r\na=1", "T", "k", "v", "[S]\r\na=1\r\n[T]\r\nk=v\r\n"},
    {"new section in empty file", "", "T", "k", "v", "[T]\r\nk=v\r\n"},
    {"new section in LF file", "[S]\na=1", "T", "k", "v", "[S]\na=1\n[T]\nk=v\n"},
    {"file without line ending", "; note", "T", "k", "v", "; note\r\n[T]\r\nk=v\r\n"},
    {"NULs before first section", "a\0b"s, "S", "k", "v", "a\0b\r\n[S]\r\nk=v\r\n"s},
    {"UTF-8 BOM hides section", "\xEF\xBB\xBF[A]\r\n", "A", "k", "2",
     "\xEF\xBB\xBF[A]\r\n[A]\r\nk=2\r\n"},
    {"caller's spaces trimmed", "", " sec ", " key ", " v ", "[sec]\r\nkey= v \r\n"},
    // Odd names that a read still finds are written as they are.
    {"odd names kept", "", ";s", "a;b]", "v", "[;s]\r\na;b]=v\r\n"},
    {"more odd names kept", "", "[s", "a\tb", ";v", "[[s]\r\na\tb=;v\r\n"},
    // The mark makes the rest UTF-16 text, which an 8-bit line would corrupt.
    {"UTF-16LE file never written", "\xFF\xFE\r\n[S]\r\n", "S", "k", "w", "failed"}};

TEST(IniDocument, WritesOneLineAsWindowsDoes) {
  for (const WriteRow& row : kWrites) {
    EXPECT_EQ(Written(row.before, row.section, row.key, row.value), row.after) << row.name;
  }
}

// A line break would split the file's lines apart; the names could never be read back.
TEST(IniDocument, RefusesWritesThatWouldBreakTheFile) {
  const struct {
    std::string section, key, value;
  } rows[] = {{"S", "k", "a\rb"},  {"S", "k", "a\nb"}, {"S", "k", "1\r\n[X]"},
              {"S", "k", "a\0b"s}, {"S", "k\n", "v"},  {"S]\r\nk", "k", "v"},
              {"S", "a=b", "c"},   {"S", "  ;x", "v"}, {"S", "[x", "v"},
              {"S", "\tk", "v"},   {"S", "k\v", "v"},  {"S", "   ", "v"},
              {"s]x", "k", "v"},   {"", "k", "v"},     {"\tS\t", "k", "v"}};
  for (const auto& row : rows) {
    EXPECT_EQ(Written("[S]\r\nk=1\r\n", row.section, row.key, row.value), "refused")
        << row.section << "/" << row.key << "/" << row.value;
  }
}

// `text` with each "\n" turned into `ending`.
std::string WithEnding(std::string_view text, std::string_view ending) {
  std::string out;
  for (const char c : text) {
    out.append(c == '\n' ? ending : std::string_view(&c, 1));
  }
  return out;
}

// A hand-edited module file: lines before the first section, NULs, blank and odd lines, blanks
// around "=", a duplicate section, no final line ending. A write changes one line or adds one.
TEST(IniDocument, WriteKeepsEveryOtherByteOfAHandEditedFile) {
  const std::string hand =
      "; by hand\nstray=before\nData \0 NUL\n\n[Main]\nModule_Name=Epson\n  UseDll = 0,  \n"
      "\t; indented\nodd line\n\n[Single-Command]\nC-Num=2\n1=1,0C,Form Feed\n2 = 2,1D,56,Cut\n"
      "   \n; trailing\n[main]\nModule_Name=B\n[Last]\nx=1"s;
  const struct {
    const char *section, *key, *value, *from, *to;
  } rows[] = {{"Main", "Module_Name", "Epson", "", ""},
              {"Single-Command", "C-Num", "3", "C-Num=2\n", "C-Num=3\n"},
              {"MAIN", "usedll", "1,Cut.dll", "  UseDll = 0,  \n", "  UseDll =1,Cut.dll\n"},
              {"Single-Command", "3", "3,0A,LF", "56,Cut\n", "56,Cut\n3=3,0A,LF\n"},
              {"Main", "WaitTime", "30", "odd line\n", "odd line\nWaitTime=30\n"},
              {"Mutli-Command", "M-Num", "0", "x=1", "x=1\n[Mutli-Command]\nM-Num=0\n"}};
  for (const std::string_view ending : {"\r\n", "\n"}) {
    for (const auto& row : rows) {
      std::string after = WithEnding(hand, ending);
      const std::string from = WithEnding(row.from, ending);
      after.replace(after.find(from), from.size(), WithEnding(row.to, ending));
      EXPECT_EQ(Written(WithEnding(hand, ending), row.section, row.key, row.value), after)
          << row.key << ending.size();
    }
  }
}

// Keys already there keep their place, new ones follow the section's last key, in turn.
TEST(IniDocument, WritesInTurnKeepKeysAndCommentsInPlace) {
  std::string bytes = ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n";
  for (const char* key : {"z", "y", "a", "b"}) {
    bytes = Written(bytes, "S", key, "");
  }
  EXPECT_EQ(Written(bytes, "T", "k", ""),
            ";c0\r\n[S]\r\n;c1\r\nb=\r\n;c2\r\na=\r\nz=\r\ny=\r\n[T]\r\nk=\r\n");
}

}  // namespace
}  // namespace quillmere
