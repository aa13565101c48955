// quillmere-cli derive and inspect, run as processes on copies of the sample folder; and the
// JSON writer's escaping in process.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "cli/json_writer.h"
#include "cli_fixture.h"
#include "platform/file_system.h"
#include "platform/messages.h"

namespace quillmere::testing {
namespace {

std::string Line(MessageId id) {
  return std::string(MessageText(id)) + "\n";
}

std::string Replaced(std::string text,
                     const std::vector<std::pair<std::string, std::string>>& edits) {
  for (const auto& [from, to] : edits) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) {
      text.replace(at, from.size(), to);
    }
  }
  return text;
}

// A strict JSON syntax check: one value, then only white space.
class JsonChecker {
 public:
  explicit JsonChecker(std::string_view text) : text_(text) {}
  bool Valid() { return Value() && (Blank(), at_ == text_.size()); }

 private:
  void Blank() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])) != 0)
      ++at_;
  }
  bool Eat(char c) {
    return Blank(), at_ < text_.size() && text_[at_] == c ? (++at_, true) : false;
  }
  bool Word(std::string_view word) {
    return text_.substr(at_, word.size()) == word ? (at_ += word.size(), true) : false;
  }
  bool String() {
    if (!Eat('"'))
      return false;
    while (at_ < text_.size() && text_[at_] != '"') {
      if (static_cast<unsigned char>(text_[at_]) < 0x20)
        return false;
      if (text_[at_] == '\\') {
        ++at_;
        if (at_ < text_.size() && text_[at_] == 'u')
          at_ += 4;
      }
      ++at_;
    }
    return at_ < text_.size() && (++at_, true);
  }
  template <typename Member>
  bool List(char close, Member member) {
    if (Eat(close))
      return true;
    do {
      if (!member())
        return false;
    } while (Eat(','));
    return Eat(close);
  }
  bool Value() {
    Blank();
    if (at_ >= text_.size())
      return false;
    const char c = text_[at_];
    if (c == '{')
      return ++at_, List('}', [&] { return String() && Eat(':') && Value(); });
    if (c == '[')
      return ++at_, List(']', [&] { return Value(); });
    if (c == '"')
      return String();
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c)) != 0) {
      ++at_;
      while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_])) != 0)
        ++at_;
      return true;
    }
    return Word("true") || Word("false") || Word("null");
  }
  std::string_view text_;
  std::size_t at_ = 0;
};

class DeriveCliTest : public CliTest {
 protected:
  void SetUp() override { folder = CopySamples(); }
  ProcessResult Derive(std::vector<std::string> arguments, const ProcessOptions& options = {}) {
    arguments.insert(arguments.begin(), {"derive", "--folder", folder});
    return RunCli(arguments, options);
  }
  std::string folder;
};

TEST_F(DeriveCliTest, WritesTheNewModuleAndSaysSuccess) {
  const ProcessResult run =
      Derive({"--base", "EpsonTM88.ini", "--name", "Epson_9", "--void", "Void", "--stop", "Cash"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, Line(MessageId::kSuccess));
  EXPECT_EQ(run.err, "");
  // Every line the derivation does not write is the base's, byte for byte.
  const std::string base = temp.Read("Printer Commands/EpsonTM88.ini");
  EXPECT_EQ(
      temp.Read("Printer Commands/Epson_9.ini"),
      Replaced(base, {{"Module_Name=EpsonTM88\r\n", "Module_Name=Epson_9\r\n"},
                      {"M-Num=2\r\n", "M-Num=4\r\n"},
                      {"2=GS-Command,GS,4\r\n",
                       "2=GS-Command,GS,4\r\n3=Text_Void,V,1\r\n4=Text_Stop,C,1\r\n"},
                      {"2=2,GS,V,3,CutPaper,0,TRAN_STOP\r\n", "2=2,GS,V,3,CutPaper,0,\r\n"}}) +
          "[Text_Void]\r\n1=4,V,o,i,d,1,0,0,TRAN_VOID\r\n"
          "[Text_Stop]\r\n1=4,C,a,s,h,1,0,0,TRAN_STOP\r\n");
}

// Each refusal prints its one message on standard error and exits 1, writing nothing.
TEST_F(DeriveCliTest, RefusalsExitOneWithTheirMessage) {
  const std::vector<std::pair<std::vector<std::string>, MessageId>> rows = {
      {{"--base", "Absent.ini", "--name", "X"}, MessageId::kSelectBase},
      {{"--base", "EpsonTM88.ini"}, MessageId::kTypeNewName},
      {{"--base", "EpsonTM88.ini", "--name", "a/b"}, MessageId::kInvalidName},
      {{"--base", "EpsonTM88.ini", "--name", "kitchen printer tm-u220"}, MessageId::kNameInUse},
      {{"--base", "EpsonTM88.ini", "--name", "N", "--void", "V", "--stop", "V"},
       MessageId::kKeywordsEqual},
      {{"--base", "EpsonTM88.ini", "--name", "N", "--void", std::string(121, 'v')},
       MessageId::kKeywordTooLong},
      {{"--base", "EpsonTM88.ini", "--name", "Epson_1"}, MessageId::kOverwriteQuestion},
  };
  const auto before = temp.Snapshot();
  for (const auto& [arguments, message] : rows) {
    const ProcessResult run = Derive(arguments);
    EXPECT_EQ(run.exitStatus, 1) << arguments.back();
    EXPECT_EQ(run.err, Line(message)) << arguments.back();
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(temp.Snapshot(), before);
}

TEST_F(DeriveCliTest, YesOverwritesAnExistingModule) {
  const ProcessResult run = Derive({"--base", "SlipPrinter.ini", "--name", "Epson_1", "--yes"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(temp.Read("Printer Commands/Epson_1.ini").find("Module_Name=Epson_1"),
            std::string::npos);
  EXPECT_NE(temp.Read("Printer Commands/Epson_1.ini").find("3=1,FF,1,1"), std::string::npos);
}

TEST_F(DeriveCliTest, OptionsThatTheDialogNeverAllowsAreUsageErrors) {
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"--form-feed", "--cut-paper"},
        std::vector<std::string>{"--form-feed", "--stop", "Cash"},
        std::vector<std::string>{"--cut-paper", "--stop", "Cash"},
        std::vector<std::string>{"--colour"}}) {
    std::vector<std::string> arguments = {"--base", "EpsonTM88.ini", "--name", "N"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const ProcessResult run = Derive(arguments);
    EXPECT_EQ(run.exitStatus, 2) << extra.front();
    EXPECT_NE(run.err.find("usage: quillmere-cli derive"), std::string::npos);
  }
}

// A sub-folder named like a module is offered as a base, and copying it fails for root too.
TEST_F(DeriveCliTest, FailedCopyExitsThree) {
  temp.MakeFolder("Printer Commands/Folder.ini");
  const auto before = temp.Snapshot();
  const ProcessResult run = Derive({"--base", "Folder.ini", "--name", "N"});
  EXPECT_EQ(run.exitStatus, 3);
  EXPECT_EQ(run.err, Line(MessageId::kCopyFailed));
  EXPECT_EQ(temp.Snapshot(), before);
}

class InspectCliTest : public CliTest {};

TEST_F(InspectCliTest, SamplesLoadWholeAndShowWhatADerivationTouches) {
  const ProcessResult epson = RunCli({"inspect", kSampleFolder + "/EpsonTM88.ini", "--json"});
  EXPECT_EQ(epson.exitStatus, 0) << epson.out;
  EXPECT_TRUE(JsonChecker(epson.out).Valid()) << epson.out;
  EXPECT_NE(epson.out.find("\"cutPaperCommand\": {\n    \"section\": \"GS-Command\",\n"
                           "    \"key\": 2\n"),
            std::string::npos)
      << epson.out;
  EXPECT_NE(epson.out.find("\"function\": \"CutPaper\""), std::string::npos);
  EXPECT_NE(epson.out.find("\"formFeedCommand\": null"), std::string::npos);
  const ProcessResult kitchen = RunCli({"inspect", kSampleFolder + "/TMU220.ini"});
  EXPECT_EQ(kitchen.exitStatus, 0);
  EXPECT_NE(kitchen.out.find("stop trigger: Mutli-Command 1 (inside the list"), std::string::npos)
      << kitchen.out;
}

// Every kind of left-out record is named with its section, key, value and reason; exit 1.
TEST_F(InspectCliTest, TellsWhatTheLoadLeftOutAndWhy) {
  ASSERT_TRUE(
      RealFileSystem().CopyFile(kSampleFolder + "/EscPosCut.dll", temp.PathOf("EscPosCut.dll")));
  const std::string path = temp.Write(
      "Bad.ini",
      "[Main]\nUseDll=1,EscPosCut.dll\nS-Num=4\nM-Num=2\nC-Num=3\n[Single-Command]\n1=1,CR,1\n"
      "2=-1,LF,1,0\n3=2,GS,V,3,NoSuch\n4=1,\xE9,1,0,1,caf\xC3\xA9\xFF\n[Mutli-Command]\n"
      "1=Keys,K\n2=Keys,K,1\n[Keys]\n1=1,K,3,CutPaper\n[ChangeLine-Command]\n1=2,CR\n");
  const ProcessResult run = RunCli({"inspect", path});
  EXPECT_EQ(run.exitStatus, 1);
  for (const char* expected :
       {"[Single-Command] 1 = 1,CR,1: kind 1 needs a parameter token, which is absent",
        "[Single-Command] 2 = -1,LF,1,0: the byte count -1 is below zero",
        "[Single-Command] 3 = 2,GS,V,3,NoSuch: function NoSuch is not exported",
        "[Mutli-Command] 1 = Keys,K: the count is absent",
        "[ChangeLine-Command] 1 = 2,CR: byte token 2 is absent",
        "[ChangeLine-Command] holds 1 of the 3 keys", "function CutPaper"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
  const ProcessResult json = RunCli({"inspect", path, "--json"});
  EXPECT_TRUE(JsonChecker(json.out).Valid()) << json.out;
  EXPECT_NE(json.out.find("\"text\": \"caf\xC3\xA9\\u00ff\""), std::string::npos) << json.out;
  temp.Write("NoLib.ini",
             "[Main]\nUseDll=0,EscPosCut.dll\nS-Num=1\n[Single-Command]\n"
             "1=2,GS,V,3,CutPaper,0,\n");
  EXPECT_NE(RunCli({"inspect", temp.PathOf("NoLib.ini")}).out.find("UseDll flag 0"),
            std::string::npos);
  temp.Write("Gone.ini",
             "[Main]\nUseDll=1,Gone.dll\nS-Num=1\n[Single-Command]\n"
             "1=2,GS,V,3,CutPaper,0,\n");
  EXPECT_NE(RunCli({"inspect", temp.PathOf("Gone.ini")}).out.find("was not found or did not load"),
            std::string::npos);
}

TEST_F(InspectCliTest, UnreadableFilesAndTheByteOrderMark) {
  EXPECT_EQ(RunCli({"inspect", temp.PathOf("absent.ini")}).exitStatus, 2);
  EXPECT_EQ(RunCli({"inspect", temp.path()}).exitStatus, 2);
  EXPECT_EQ(RunCli({"inspect"}).exitStatus, 2);
  const ProcessResult bom =
      RunCli({"inspect", temp.Write("bom.ini", "\xEF\xBB\xBF[Main]\nModule_Name=Hidden\n")});
  EXPECT_EQ(bom.exitStatus, 0);
  EXPECT_NE(bom.out.find("Warning: the file starts with a UTF-8 byte-order mark"),
            std::string::npos);
  EXPECT_NE(bom.out.find("Module \"\""), std::string::npos) << "the first section is unread";
}

TEST(JsonString, EscapesWhatJsonCannotCarry) {
  EXPECT_EQ(cli::JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(cli::JsonString("\t\n\r\x01\x7F"), "\"\\t\\n\\r\\u0001\\u007f\"");
  EXPECT_EQ(cli::JsonString("caf\xC3\xA9 \xE2\x82\xAC"), "\"caf\xC3\xA9 \xE2\x82\xAC\"");
  // Not UTF-8: a lone high byte, a cut sequence, an overlong form, a surrogate.
  EXPECT_EQ(cli::JsonString("\xFF\xC3"), "\"\\u00ff\\u00c3\"");
  EXPECT_EQ(cli::JsonString("\xC0\xAF"), "\"\\u00c0\\u00af\"");
  EXPECT_EQ(cli::JsonString("\xED\xA0\x80"), "\"\\u00ed\\u00a0\\u0080\"");
}

}  // namespace
}  // namespace quillmere::testing
