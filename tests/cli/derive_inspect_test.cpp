// quillmere-cli derive and inspect, run as processes on copies of the sample folder, the
// samples themselves among them; and the JSON writer's escaping in process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "cli/json_writer.h"
#include "cli_fixture.h"

namespace quillmere::testing {
namespace {

using ::testing::HasSubstr;

// `text` with each `from` (which must be there) replaced once by its `to`.
std::string Replaced(std::string text,
                     const std::vector<std::pair<std::string, std::string>>& edits) {
  for (const auto& [from, to] : edits) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    text.replace(at == std::string::npos ? text.size() : at, from.size(), to);
  }
  return text;
}

// A strict JSON syntax check: strings and literals become one letter each, then the innermost
// arrays and objects fold into one value until a single value is left, or nothing folds.
bool ValidJson(std::string text) {
  const std::regex string(R"("(?:[^"\\\x00-\x1F]|\\["\\/bfnrt]|\\u[0-9a-fA-F]{4})*")");
  const std::regex array(R"(\[\s*(?:[SV]\s*(?:,\s*[SV]\s*)*)?\])");
  const std::regex object(R"(\{\s*(?:S\s*:\s*[SV]\s*(?:,\s*S\s*:\s*[SV]\s*)*)?\})");
  text = std::regex_replace(std::regex_replace(text, string, "S"),
                            std::regex(R"(-?\d+|true|false|null)"), "V");
  for (std::string last; last != text;) {
    last = text;
    text = std::regex_replace(std::regex_replace(text, array, "V"), object, "V");
  }
  return std::regex_match(text, std::regex(R"(\s*[SV]\s*)"));
}

class DeriveCli : public ::testing::Test {
 protected:
  [[nodiscard]] ProcessResult Derive(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {"derive", "--folder", folder});
    return RunCli(arguments);
  }
  TempFolder temp;
  std::string folder = CopySamples(temp, "Printer Commands");
};

// "Success" on standard output, and every line the derivation does not write is the base's;
// with --yes the overwrite question is shown, answered Yes, and the module replaced whole.
TEST_F(DeriveCli, WritesTheNewModuleAndSaysSuccess) {
  const ProcessResult run =
      Derive({"--base", "EpsonTM88.ini", "--name", "Epson_9", "--void", "Void", "--stop", "Cash"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, "Success\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(temp.Read("Printer Commands/Epson_9.ini"),
            Replaced(temp.Read("Printer Commands/EpsonTM88.ini"),
                     {{"Module_Name=EpsonTM88\r\n", "Module_Name=Epson_9\r\n"},
                      {"M-Num=2\r\n", "M-Num=4\r\n"},
                      {"2=GS-Command,GS,4\r\n",
                       "2=GS-Command,GS,4\r\n3=Text_Void,V,1\r\n4=Text_Stop,C,1\r\n"},
                      {"2=2,GS,V,3,CutPaper,0,TRAN_STOP\r\n", "2=2,GS,V,3,CutPaper,0,\r\n"}}) +
                "[Text_Void]\r\n1=4,V,o,i,d,1,0,0,TRAN_VOID\r\n"
                "[Text_Stop]\r\n1=4,C,a,s,h,1,0,0,TRAN_STOP\r\n");
  const ProcessResult yes = Derive({"--base", "SlipPrinter.ini", "--name", "Epson_9", "--yes"});
  EXPECT_EQ(yes.exitStatus, 0);
  EXPECT_EQ(yes.out + yes.err, "Success\n" + Line(MessageId::kOverwriteQuestion));
  EXPECT_EQ(temp.Read("Printer Commands/Epson_9.ini"),
            Replaced(temp.Read("Printer Commands/SlipPrinter.ini"),
                     {{"Module_Name=SlipPrinter", "Module_Name=Epson_9"}}));
}

// A refusal exits 1, a usage error 2 (options the dialog never allows together), a failed copy
// 3; each with its words on standard error, and the folder left as it was.
TEST_F(DeriveCli, RefusalsLeaveTheFolderUnchanged) {
  temp.MakeFolder("Printer Commands/Folder.ini");  // listed as a base, but cannot be copied
  const std::string usage = "\nusage: quillmere-cli derive [--folder DIR] --base FILE --name";
  const std::string both =
      "quillmere-cli derive: --stop cannot be given with --form-feed or "
      "--cut-paper";
  struct Row {
    std::vector<std::string> given;  // after --base EpsonTM88.ini, unless it names its own
    int status;
    std::string err;  // for a usage error, how standard error starts
  };
  const std::vector<Row> rows{
      {{"--base", "Absent.ini", "--name", "X"}, 1, Line(MessageId::kSelectBase)},
      {{}, 1, Line(MessageId::kTypeNewName)},
      {{"--name", "a/b"}, 1, Line(MessageId::kInvalidName)},
      {{"--name", "kitchen printer tm-u220"}, 1, Line(MessageId::kNameInUse)},
      {{"--name", "N", "--void", "V", "--stop", "V"}, 1, Line(MessageId::kKeywordsEqual)},
      {{"--name", "N", "--void", std::string(121, 'v')}, 1, Line(MessageId::kKeywordTooLong)},
      // No terminal to ask on: No.
      {{"--name", "Epson_1"}, 1, Line(MessageId::kOverwriteQuestion)},
      {{"--base", "Folder.ini", "--name", "N"}, 3, Line(MessageId::kCopyFailed)},
      {{"--name", "N", "--form-feed", "--cut-paper"},
       2,
       "quillmere-cli derive: --form-feed and --cut-paper exclude each other" + usage},
      {{"--name", "N", "--form-feed", "--stop", "Cash"}, 2, both + usage},
      {{"--name", "N", "--cut-paper", "--stop", "Cash"}, 2, both + usage},
      {{"--name", "N", "x.ini"}, 2, "quillmere-cli derive: takes no arguments, but got 'x.ini'"},
  };
  const auto before = temp.Snapshot();
  for (Row row : rows) {
    if (row.given.empty() || row.given.front() != "--base") {
      row.given.insert(row.given.begin(), {"--base", "EpsonTM88.ini"});
    }
    const ProcessResult run = Derive(row.given);
    EXPECT_EQ(run.exitStatus, row.status) << row.err;
    EXPECT_EQ(run.out, "") << row.err;
    EXPECT_EQ(row.status == 2 ? run.err.substr(0, row.err.size()) : run.err, row.err);
  }
  EXPECT_EQ(temp.Snapshot(), before);
}

// Every record the load left out is named with its section, key, value and reason (exit 1),
// in text and in valid JSON; module text that is not UTF-8 is escaped byte by byte.
TEST(InspectCommand, TellsWhatTheLoadLeftOutAndWhy) {
  const TempFolder temp;
  std::filesystem::copy_file(kSampleFolder + "/EscPosCut.dll", temp.PathOf("EscPosCut.dll"));
  const std::string path = temp.Write(
      "Bad.ini",
      "[Main]\nUseDll=1,EscPosCut.dll\nS-Num=4\nM-Num=2\nC-Num=3\n[Single-Command]\n1=1,CR,1\n"
      "2=-1,LF,1,0\n3=2,GS,V,3,NoSuch\n4=1,\xE9,1,0,1,caf\xC3\xA9\xFF\n[Mutli-Command]\n"
      "1=Keys,K\n2=Keys,K,1\n[Keys]\n1=1,K,3,CutPaper\n[ChangeLine-Command]\n1=2,CR\n");
  const ProcessResult run = RunCli({"inspect", path});
  EXPECT_EQ(run.exitStatus, 1);
  for (const char* expected : {
           "\n  [Single-Command] 2 = -1,LF,1,0: the byte count -1 is below zero\n",
           "\n  [Single-Command] 3 = 2,GS,V,3,NoSuch: function NoSuch is not exported by the",
           "\n  [Mutli-Command] 1 = Keys,K: the count is absent\n",
           "\n  [ChangeLine-Command] holds 1 of the 3 keys its count names\n",
           "\n    1: 4B  kind 3 function CutPaper\n",
       }) {
    EXPECT_THAT(run.out, HasSubstr(expected));
  }
  const ProcessResult json = RunCli({"inspect", path, "--json"});
  EXPECT_EQ(json.exitStatus, 1);
  EXPECT_TRUE(ValidJson(json.out)) << json.out;
  for (const char* expected : {
           "\"key\": 2,\n      \"value\": \"-1,LF,1,0\",\n"
           "      \"reason\": \"the byte count -1 is below zero\"\n",
           "\"missingKeys\": [\n    {\n      \"section\": \"ChangeLine-Command\",\n"
           "      \"count\": 3,\n      \"keysPresent\": 1\n",
           "\"text\": \"caf\xC3\xA9\\u00ff\"",
       }) {
    EXPECT_THAT(json.out, HasSubstr(expected));
  }
}

// A byte-order mark hides the first section, and inspect warns of it; a file that cannot be
// read is exit 2 with a message, not an empty module.
TEST(InspectCommand, ByteOrderMarkAndUnreadableFiles) {
  const TempFolder temp;
  const std::string bom = temp.Write("bom.ini", "\xEF\xBB\xBF[Main]\nModule_Name=Hidden\n");
  const ProcessResult text = RunCli({"inspect", bom});
  EXPECT_EQ(text.exitStatus, 0);
  EXPECT_THAT(text.out, HasSubstr("Module \"\" in "));
  EXPECT_THAT(text.out, HasSubstr("\nWarning: the file starts with a UTF-8 byte-order mark"));
  const ProcessResult json = RunCli({"inspect", "--json", bom});
  EXPECT_TRUE(ValidJson(json.out)) << json.out;
  EXPECT_THAT(json.out, HasSubstr("\"warnings\": [\n    \"the file starts with a UTF-8 byte"));
  for (const std::string& path : {temp.PathOf("absent.ini"), temp.path()}) {
    const ProcessResult run = RunCli({"inspect", path});
    EXPECT_EQ(run.exitStatus, 2) << path;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "quillmere-cli inspect: cannot read the module file '" + path + "'\n");
  }
}

// Valid UTF-8 passes through; quotes, backslashes, control bytes and every byte of a sequence
// that is not UTF-8 (lone, cut, overlong, a surrogate) are escaped.
TEST(JsonString, EscapesWhatJsonCannotCarry) {
  EXPECT_EQ(cli::JsonString("\"\\\t\n\r\x01\x7F caf\xC3\xA9 \xE2\x82\xAC"),
            "\"\\\"\\\\\\t\\n\\r\\u0001\\u007f caf\xC3\xA9 \xE2\x82\xAC\"");
  EXPECT_EQ(cli::JsonString("\xFF\xC3|\xC0\xAF|\xED\xA0\x80"),
            "\"\\u00ff\\u00c3|\\u00c0\\u00af|\\u00ed\\u00a0\\u0080\"");
}

// The samples shipped beside the tool: each loads whole, shows what it was written to show, and
// derives a module that loads whole too.
TEST(SampleModules, ListLoadAndDeriveCleanly) {
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "Printer Commands");
  const ProcessResult list = RunCli({"list", "--folder", folder});
  EXPECT_EQ(list.out,
            "Barcode80.ini\tBarcode80\nEpsonTM88.ini\tEpsonTM88\nEpson_1.ini\tEpson_1\n"
            "SlipPrinter.ini\tSlipPrinter\nTMU220.ini\tKitchen Printer TM-U220\n");
  struct Row {
    std::string stem;
    const char* shows;  // a line of the inspection that the sample was written to show
    std::vector<std::string> options;
  };
  const std::vector<Row> rows{
      {"Barcode80", "\nBarcode command: 1: 1D 6B  kind 1 parameter 2\n", {"--void", "Void"}},
      {"EpsonTM88", ".dll, loaded\n", {"--cut-paper", "--void", "Void"}},
      {"Epson_1", "\n  void trigger: Mutli-Command 3 (at the end", {"--void", "X", "--stop", "Y"}},
      {"SlipPrinter", "\n  Form Feed command: Single-Command 3\n", {"--form-feed"}},
      {"TMU220", "\n  stop trigger: Mutli-Command 1 (inside the list", {"--stop", "Total"}},
  };
  for (const Row& row : rows) {
    const ProcessResult shown = RunCli({"inspect", folder + "/" + row.stem + ".ini"});
    EXPECT_EQ(shown.exitStatus, 0) << row.stem << "\n" << shown.out;
    EXPECT_THAT(shown.out, ::testing::HasSubstr(row.shows)) << row.stem;
    std::vector<std::string> derive{"derive",          "--folder", folder,          "--base",
                                    row.stem + ".ini", "--name",   "New" + row.stem};
    derive.insert(derive.end(), row.options.begin(), row.options.end());
    const ProcessResult derived = RunCli(derive);
    EXPECT_EQ(derived.exitStatus, 0) << row.stem << "\n" << derived.err;
    EXPECT_EQ(derived.out, "Success\n") << row.stem;
    const ProcessResult reloaded = RunCli({"inspect", folder + "/New" + row.stem + ".ini"});
    EXPECT_EQ(reloaded.exitStatus, 0) << row.stem << "\n" << reloaded.out;
  }
}

}  // namespace
}  // namespace quillmere::testing
