// The portable profile store on module files: reads and writes give what the Windows profile
// functions give, every byte a write does not touch stays, and a failed write leaves the file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/portable_profile_store.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using namespace std::string_literals;
using testing::FaultyFileSystem;
using testing::TempFolder;
using Operation = FaultyFileSystem::Operation;
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

class Store : public ::testing::Test {
 protected:
  // Each row gets a file of its own, so that no row reads another row's parsed copy.
  std::string File(const std::string& bytes) {
    return folder.Write("m" + std::to_string(++files_) + ".ini", bytes);
  }
  std::string Bytes(const std::string& path) { return folder.Read(FileNameOf(path)); }

  TempFolder folder;
  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);

 private:
  int files_ = 0;
};

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

TEST_F(Store, ReadsStringsAsWindowsDoes) {
  for (const ReadRow& row : kReads) {
    EXPECT_EQ(store->ReadString(row.section, row.key, row.defaultValue, File(row.file)),
              row.expected)
        << row.name;
  }
}

// Blanks, a sign, then digits up to the first other byte, wrapping as 32 bits; empty gives the
// default.
TEST_F(Store, ReadsIntegersAsWindowsDoes) {
  const struct {
    const char* value;
    std::int32_t defaultValue, expected;
  } rows[] = {{"-1", 5, -1},
              {"+1", 5, 1},
              {"2147483647", 5, 2147483647},
              {"2147483648", 5, INT32_MIN},
              {"4294967297", 5, 1},
              {"-4294967297", 5, -1},
              {"42A9", 5, 42},
              {"B42", 5, 0},
              {"", 7, 7},
              {"\"\"", 7, 7},
              {"\"12\"", 5, 12},
              {" \t12 ", 5, 12},
              {"\f12", 5, 12},
              {"0x1F", 5, 0},
              {"- 5", 5, 0}};
  EXPECT_EQ(store->ReadInt("S", "k", -1, File("[S]\r\nj=1\r\n")), -1);
  for (const auto& row : rows) {
    EXPECT_EQ(store->ReadInt("S", "k", row.defaultValue, File(K(row.value))), row.expected)
        << row.value;
  }
}

// The entries of the first section of the name in file order, duplicates included; comments,
// bare lines and empty names left out.
TEST_F(Store, ListsKeyNamesOfTheFirstSection) {
  EXPECT_EQ(store->ReadKeyNames(" s ", File("[S]\r\n  MiXed \t= 1\r\n;c=2\r\nbare\r\n=v\r\nk=\r\n"
                                            "MiXed=3\r\n[s]\r\nz=1\r\n")),
            (Names{"MiXed", "k", "MiXed"}));
  EXPECT_EQ(store->ReadKeyNames("", File("a=1\r\n[]\r\nb=2\r\n")), Names{"b"});
  EXPECT_TRUE(store->ReadKeyNames("T", File("[S]\r\nk=1\r\n")).empty());
  EXPECT_TRUE(store->ReadKeyNames("S", File("\xFF\xFE\r\n[S]\r\nk=v\r\n")).empty());
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
    {"more odd names kept", "", "[s", "a\tb", ";v", "[[s]\r\na\tb=;v\r\n"}};

TEST_F(Store, WritesOneLineAsWindowsDoes) {
  for (const WriteRow& row : kWrites) {
    const std::string path = File(row.before);
    EXPECT_EQ(store->WriteString(row.section, row.key, row.value, path), WriteStatus::kOk)
        << row.name;
    EXPECT_EQ(Bytes(path), row.after) << row.name;
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
TEST_F(Store, WriteKeepsEveryOtherByteOfAHandEditedFile) {
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
      const std::string path = File(WithEnding(hand, ending));
      ASSERT_EQ(store->WriteString(row.section, row.key, row.value, path), WriteStatus::kOk);
      std::string after = WithEnding(hand, ending);
      const std::string from = WithEnding(row.from, ending);
      after.replace(after.find(from), from.size(), WithEnding(row.to, ending));
      EXPECT_EQ(Bytes(path), after) << row.key << ending.size();
    }
  }
}

// Keys already there keep their place, new ones follow the section's last key, in turn.
TEST_F(Store, WritesInTurnKeepKeysAndCommentsInPlace) {
  const std::string path = File(";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n");
  for (const char* key : {"z", "y", "a", "b"}) {
    ASSERT_EQ(store->WriteString("S", key, "", path), WriteStatus::kOk) << key;
  }
  ASSERT_EQ(store->WriteString("T", "k", "", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(path), ";c0\r\n[S]\r\n;c1\r\nb=\r\n;c2\r\na=\r\nz=\r\ny=\r\n[T]\r\nk=\r\n");
}

// A line break would split the file's lines apart; the names could never be read back.
TEST_F(Store, RefusesWritesThatWouldBreakTheFile) {
  const std::string bytes = "[S]\r\nk=1\r\n";
  const std::string path = File(bytes);
  const struct {
    std::string section, key, value;
  } rows[] = {{"S", "k", "a\rb"},  {"S", "k", "a\nb"}, {"S", "k", "1\r\n[X]"},
              {"S", "k", "a\0b"s}, {"S", "k\n", "v"},  {"S]\r\nk", "k", "v"},
              {"S", "a=b", "c"},   {"S", "  ;x", "v"}, {"S", "[x", "v"},
              {"S", "\tk", "v"},   {"S", "k\v", "v"},  {"S", "   ", "v"},
              {"s]x", "k", "v"},   {"", "k", "v"},     {"\tS\t", "k", "v"}};
  for (const auto& row : rows) {
    EXPECT_EQ(store->WriteString(row.section, row.key, row.value, path), WriteStatus::kRefused)
        << row.section << "/" << row.key << "/" << row.value;
  }
  EXPECT_EQ(store->WriteString("", "k", "v", folder.PathOf("absent.ini")), WriteStatus::kRefused);
  EXPECT_EQ(Bytes(path), bytes);
  EXPECT_FALSE(folder.Exists("absent.ini"));
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

TEST_F(Store, MissingFileReadsDefaultsAndAWriteCreatesIt) {
  const std::string path = folder.PathOf("new.ini");
  EXPECT_EQ(store->ReadString("Main", "UseDll", "0,", path), "0,");
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 30, path), 30);
  EXPECT_TRUE(store->ReadKeyNames("Main", path).empty());
  EXPECT_FALSE(folder.Exists("new.ini"));
  ASSERT_EQ(store->WriteString("Main", "Module_Name", "Epson_1", path), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("new.ini"), "[Main]\r\nModule_Name=Epson_1\r\n");
  EXPECT_EQ(folder.List(), Names{"new.ini"});  // no temporary file left
  EXPECT_EQ(store->ReadString("main", "module_name", "", path), "Epson_1");
}

TEST_F(Store, FailedReplaceIsReportedAndKeepsTheFile) {
  const std::string bytes = "[Main]\r\nModule_Name=A\r\n";
  const std::string path = File(bytes);
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "A");
  files.FailOn(Operation::kReplace);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(Bytes(path), bytes);
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "A");
  // The next write starts from the file as it is, not from the one that failed.
  ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(path), bytes + "UseDll=0,\r\n");
}

TEST_F(Store, UnreadableOrUnicodeFileIsNeverReplaced) {
  const std::string bytes = "[Main]\r\nModule_Name=A\r\n";
  const std::string path = File(bytes);
  files.FailOn(Operation::kRead);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(Bytes(path), bytes);
  // After the mark the bytes look like an 8-bit module file, which they are not.
  const std::string unicode = File("\xFF\xFE\r\n[S]\r\nk=v\r\n");
  EXPECT_EQ(store->WriteString("S", "k", "w", unicode), WriteStatus::kFailed);
  EXPECT_EQ(Bytes(unicode), "\xFF\xFE\r\n[S]\r\nk=v\r\n");
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

// The parsed copy follows the file: an old file is read once for a whole load, and every change
// from outside is seen, even one of the same size within the file system's clock step.
TEST_F(Store, ParsedCopyFollowsTheFile) {
  std::string bytes = "[Multi-Command]\r\n";
  for (int i = 1; i <= 200; ++i) {
    bytes += std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
  }
  const std::string path = File(bytes);
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  for (int i = 1; i <= 200; ++i) {
    ASSERT_EQ(store->ReadInt("Multi-Command", std::to_string(i), -1, path), i * 7);
  }
  EXPECT_EQ(files.Calls(Operation::kRead), 1);
  const std::string name = FileNameOf(path);
  folder.Write(name, "[Main]\r\nModule_Name=AAAA\r\n");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
  folder.Write(name, "[Main]\r\nModule_Name=BBBB\r\n");  // in place, same size, same tick
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "BBBB");
  ASSERT_TRUE(RealFileSystem().ReplaceFile(path, "[Main]\r\nModule_Name=CCCC\r\n"));
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "CCCC");
  std::filesystem::remove(path);
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "none", path), "none");
  // A write reads the file again and keeps what changed outside.
  folder.Write(name, "[Main]\r\nModule_Name=A\r\nUseDll=0,\r\n");
  ASSERT_EQ(store->WriteString("Main", "WaitTime", "30", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(path), "[Main]\r\nModule_Name=A\r\nUseDll=0,\r\nWaitTime=30\r\n");
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 0, path), 30);
  // A write of the value already there leaves the file untouched.
  const int replaced = files.Calls(Operation::kReplace);
  ASSERT_EQ(store->WriteString("Main", "WaitTime", "30", path), WriteStatus::kOk);
  EXPECT_EQ(files.Calls(Operation::kReplace), replaced);
}

// The real disk, but every stamp carries one fixed time, as on a file system whose clock steps
// are coarser than the test: a rewrite in place with the same size leaves the stamp alike.
class FrozenStampFiles final : public FileSystem {
 public:
  explicit FrozenStampFiles(std::chrono::system_clock::time_point at)
      : ns_(std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count()) {}
  FileStamp Stamp(const std::string& path) override {
    FileStamp stamp = real_.Stamp(path);
    stamp.modifiedNs = stamp.changedNs = ns_;
    return stamp;
  }
  std::optional<std::string> ReadFile(const std::string& p) override { return real_.ReadFile(p); }
  bool ReplaceFile(const std::string& p, std::string_view b) override {
    return real_.ReplaceFile(p, b);
  }
  // The store only stamps, reads and replaces files.
  std::optional<std::string> ExecutablePath() override { return {}; }
  bool Exists(const std::string&) override { return false; }
  bool IsFolder(const std::string&) override { return false; }
  std::optional<Names> ListFolder(const std::string&) override { return {}; }
  bool CopyFile(const std::string&, const std::string&) override { return false; }
  std::optional<std::string> CreateUniqueFile(const std::string&, std::string_view) override {
    return {};
  }
  bool RenameOver(const std::string&, const std::string&) override { return false; }
  bool RemoveFile(const std::string&) override { return false; }

 private:
  FileSystem& real_ = RealFileSystem();
  std::int64_t ns_;
};

TEST(CoarseStamps, RecentChangeIsSeenAndAWriteStartsFromTheFile) {
  const auto now = std::chrono::system_clock::now();
  for (const auto frozenAt : {now, now - std::chrono::hours(1)}) {
    TempFolder folder;
    FrozenStampFiles files(frozenAt);
    const std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);
    const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
    ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
    folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");
    if (frozenAt == now) {
      EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "BBBB");
    }
    ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
    EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\nModule_Name=BBBB\r\nUseDll=0,\r\n");
  }
}

}  // namespace
}  // namespace quillmere
