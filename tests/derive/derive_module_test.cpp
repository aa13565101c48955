// DeriveModule's own rules on a folder of module files: the checks in their order, the
// overwrite question, and that a derivation succeeds whole or leaves the folder as it found it;
// the module name rules and the 259 fit of the keyword records. What the new file holds is the
// golden cases' part (golden_cases_test.cpp).
#include "derive/derive_module.h"

#include <gtest/gtest.h>

#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/module_files.h"
#include "support/case_name.h"
#include "support/recording_toolkit.h"

namespace quillmere {
namespace {

using testing::RecordingToolkit;
using Operation = testing::FaultyFileSystem::Operation;
using Messages = std::vector<MessageId>;

DeriveInputs Inputs(std::string name, std::string voidKeyword = "Void",
                    std::string stopKeyword = "Cash") {
  return {.voidKeyword = std::move(voidKeyword),
          .stopKeyword = std::move(stopKeyword),
          .newModuleName = std::move(name)};
}

class DeriveModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modules.Write("Epson.ini", "[Main]\r\nModule_Name=Epson\r\nM-Num=0\r\n");
    modules.Write("Other.ini", "[Main]\r\nModule_Name=Star\r\n");
    modules.Write("Odd.ini", "[Main]\r\nModule_Name=Odd?\r\n");
    modules.Write("Epson_1.ini", "[Main]\r\nModule_Name=Epson_1\r\n");
  }

  DeriveResult Derive(const DeriveInputs& inputs, std::string_view base = "Epson.ini") {
    return modules.Derive(inputs, base, toolkit);
  }

  testing::ModuleFiles modules;
  RecordingToolkit toolkit;
};

struct RefusalCase {
  std::string_view name;
  DeriveInputs inputs;
  MessageId message;
  DeriveOutcome outcome = DeriveOutcome::kRefused;
  std::string_view base = "Epson.ini";  // "": nothing selected
};
QUILLMERE_PRINT_ROW_AS_NAME(RefusalCase)

class DeriveRefusal : public DeriveModuleTest, public ::testing::WithParamInterface<RefusalCase> {};

// Only the first failed check is shown; nothing is written, the dialog stays open, and no
// loader comes back. An existing module file is kept unless the overwrite question is answered
// Yes (the toolkit answers other than Yes here).
TEST_P(DeriveRefusal, ShowsTheFirstFailedCheckAndWritesNothing) {
  const auto before = modules.Snapshot();
  const DeriveResult result = Derive(GetParam().inputs, GetParam().base);
  EXPECT_EQ(result.outcome, GetParam().outcome);
  EXPECT_EQ(toolkit.messages, Messages{GetParam().message});
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen);
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(result.loadedBase, nullptr);
  EXPECT_EQ(result.fileName, result.outcome == DeriveOutcome::kDeclined ? "Epson_1" : "");
}

const std::string k121 = std::string(121, 'v');
const RefusalCase kRefusals[] = {
    {"NothingSelectedFirst", Inputs("", "", ""), MessageId::kSelectBase, {}, ""},
    {"EmptyName", Inputs(""), MessageId::kTypeNewName},
    // "Odd?" is also the name of Odd.ini's module.
    {"InvalidNameBeforeInUseAndEqualKeywords", Inputs("Odd?", "Void", "Void"),
     MessageId::kInvalidName},
    {"NameOfAnotherFilesModuleBeforeEqualKeywords", Inputs("STAR", "Void", "Void"),
     MessageId::kNameInUse},
    {"EqualKeywords", Inputs("Epson_2", "Void", "Void"), MessageId::kKeywordsEqual},
    {"EqualKeywordsBeforeTooLong", Inputs("Epson_2", k121, k121), MessageId::kKeywordsEqual},
    {"VoidKeywordTooLong", Inputs("Epson_2", k121), MessageId::kKeywordTooLong},
    {"StopKeywordTooLong", Inputs("Epson_2", "Void", k121), MessageId::kKeywordTooLong},
    {"TooLongBeforeTheOverwriteQuestion", Inputs("Epson_1", k121), MessageId::kKeywordTooLong},
    {"OverwriteDeclined", Inputs("Epson_1"), MessageId::kOverwriteQuestion,
     DeriveOutcome::kDeclined}};
INSTANTIATE_TEST_SUITE_P(Checks, DeriveRefusal, ::testing::ValuesIn(kRefusals),
                         testing::CaseName());

// The staging file failing gives message 6; the one write of the new module, its flush or the
// final rename, message 14. Each time the folder holds exactly what it held (the existing target
// too), no loader is left and the dialog stays open; "Go" pressed again succeeds.
TEST_F(DeriveModuleTest, AnyFailedStepLeavesTheFolderAsItWas) {
  const auto before = modules.Snapshot();
  DeriveResult result;
  const auto failedAt = [&](Operation operation, int nth) {
    toolkit.messages.clear();
    toolkit.answers = {MessageAnswer::kYes};
    modules.files.ClearFailures();
    modules.files.FailOn(operation, nth);
    result = Derive(Inputs("Epson_1"));
    return result.outcome;
  };
  const auto expectUntouched = [&](MessageId message, const std::string& label) {
    EXPECT_EQ(toolkit.messages, (Messages{MessageId::kOverwriteQuestion, message})) << label;
    EXPECT_EQ(modules.Snapshot(), before) << label;
    EXPECT_EQ(result.loadedBase, nullptr) << label;
    EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen) << label;
  };
  EXPECT_EQ(failedAt(Operation::kCreateUnique, 1), DeriveOutcome::kCopyFailed);
  expectUntouched(MessageId::kCopyFailed, "staging file");
  EXPECT_EQ(failedAt(Operation::kWrite, 1), DeriveOutcome::kWriteFailed);
  expectUntouched(MessageId::kWriteFailed, "write");
  EXPECT_EQ(failedAt(Operation::kFlush, 1), DeriveOutcome::kWriteFailed);
  expectUntouched(MessageId::kWriteFailed, "flush");
  EXPECT_EQ(failedAt(Operation::kRename, 1), DeriveOutcome::kWriteFailed);
  expectUntouched(MessageId::kWriteFailed, "rename");
  // The key writes go to memory: no file is replaced key by key on the way.
  EXPECT_EQ(failedAt(Operation::kReplace, 1), DeriveOutcome::kSucceeded);
  EXPECT_EQ(toolkit.messages, (Messages{MessageId::kOverwriteQuestion, MessageId::kSuccess}));
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOk);
  EXPECT_EQ(result.fileName, "Epson_1");
  ASSERT_NE(result.loadedBase, nullptr);
  EXPECT_EQ(result.loadedBase->modulePath, modules.PathOf("Epson.ini"));
}

// A name makes one file inside the module folder: no separators, no < > : " | ? *, no byte
// below 32, not "." or "..", no device name (any case, any extension), at most 255 bytes of file
// name and 259 of Module_Name. The file name is the name, ".ini" added unless it ends so.
TEST(ModuleName, UsableNamesAndTheirFileNames) {
  const std::string a251(251, 'a');
  for (const std::string& name :
       std::vector<std::string>{"Epson TM 88", "\xC4pfel", "v1.2", "...", "COM0", "COM10",
                                "CONSOLE", a251, a251 + ".ini"}) {
    EXPECT_TRUE(IsUsableModuleName(name)) << name;
  }
  for (const std::string& name :
       std::vector<std::string>{".", "..", "CON", "nul.tar.gz", "Prn", "aux.INI", "COM1", "com9",
                                "Lpt5.ini", a251 + "a", a251 + "a.ini", std::string(260, 'a')}) {
    EXPECT_FALSE(IsUsableModuleName(name)) << name;
  }
  for (const char c : std::string_view("/\\<>:\"|?*\x01\x1F\n")) {
    EXPECT_FALSE(IsUsableModuleName(std::string("a") + c + "b")) << c;
  }
  EXPECT_EQ(ModuleFileName("Epson_2"), "Epson_2.ini");
  EXPECT_EQ(ModuleFileName("Epson_2.INI"), "Epson_2.INI");
  EXPECT_EQ(ModuleFileName("Epson.ini.bak"), "Epson.ini.bak.ini");
}

// A keyword's record must read back whole: at most the 259 characters a read returns. 120
// printable bytes make exactly 259, 60 bytes of the three-digit form 258.
TEST(KeywordRecordsFit, UpTo259CharactersARecord) {
  EXPECT_TRUE(KeywordRecordsFit("", ""));
  EXPECT_TRUE(KeywordRecordsFit(std::string(120, 'a'), std::string(60, '\t')));
  EXPECT_FALSE(KeywordRecordsFit(std::string(121, 'a'), ""));
  EXPECT_FALSE(KeywordRecordsFit("Void", std::string(61, '\t')));
  EXPECT_FALSE(KeywordRecordsFit(std::string(100000, 'a'), ""));
}

}  // namespace
}  // namespace quillmere
