// The profile rules on a module file parsed from memory: reads and writes give what the Windows
// profile functions give (the rule tables under tests/data/platform), and a write changes one
// line or adds one, every other byte kept.
#include "platform/ini_document.h"

#include <gtest/gtest.h>

#include <string>

#include "support/golden.h"
#include "support/golden_table.h"

namespace quillmere {
namespace {

using namespace std::string_literals;

// The profile rule tables, tests/data/platform/<table>/table.txt, answered by a document parsed
// from the file text each row gives:
//   read FILE SECTION KEY DEFAULT => the string read
//   int FILE SECTION KEY DEFAULT => the integer read
//   keys FILE SECTION => the key names listed, or none
//   write FILE SECTION KEY VALUE... => the file's bytes after the writes in turn, or refused, or
//     failed
std::string Answer(const testing::Words& call) {
  const IniDocument file(call.at(1));
  if (call[0] == "read") {
    return testing::Quoted(file.ReadString(call.at(2), call.at(3), call.at(4)));
  }
  if (call[0] == "int") {
    return std::to_string(file.ReadInt(call.at(2), call.at(3), std::stoi(call.at(4))));
  }
  if (call[0] == "keys") {
    std::string names;
    for (const std::string& name : file.ReadKeyNames(call.at(2))) {
      names += (names.empty() ? "" : " ") + testing::Quoted(name);
    }
    return names.empty() ? "none" : names;
  }
  std::string bytes = call.at(1);
  for (std::size_t at = 2; at + 2 < call.size(); at += 3) {
    const DocumentEdit edit = IniDocument(bytes).WithValue(call[at], call[at + 1], call[at + 2]);
    if (edit.status != WriteStatus::kOk) {
      return edit.status == WriteStatus::kRefused ? "refused" : "failed";
    }
    bytes = edit.bytes;
  }
  return testing::Quoted(bytes);
}

class RuleTable : public ::testing::TestWithParam<std::string> {};

TEST_P(RuleTable, AnswersAsWindowsDoes) {
  testing::ExpectTableAnswers("platform", GetParam(), "table.txt", Answer);
}

INSTANTIATE_TEST_SUITE_P(Golden, RuleTable, ::testing::ValuesIn(testing::GoldenCases("platform")),
                         [](const ::testing::TestParamInfo<std::string>& row) {
                           return row.param;
                         });

// The bytes after writing (section, key, value) into `before`.
std::string Written(const std::string& before, std::string_view section, std::string_view key,
                    std::string_view value) {
  const DocumentEdit edit = IniDocument(before).WithValue(section, key, value);
  EXPECT_EQ(edit.status, WriteStatus::kOk) << section << "/" << key;
  return edit.bytes;
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

}  // namespace
}  // namespace quillmere
