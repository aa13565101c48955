// DeriveModule on a folder of module files: the checks in their order, which names make a file,
// the target path, the overwrite question, and that a derivation succeeds whole or leaves the
// folder as it found it.
#include "derive/derive_module.h"

#include <gtest/gtest.h>

#include "derive/module_file_name.h"
#include "derive/module_files.h"
#include "module/catalogue.h"
#include "module/printer_command_module.h"
#include "support/case_name.h"
#include "support/host_platform.h"
#include "support/ini_text.h"
#include "support/recording_toolkit.h"

namespace quillmere {
namespace {

using testing::Lines;
using testing::RecordingToolkit;
using Operation = testing::FaultyFileSystem::Operation;
using Messages = std::vector<MessageId>;

const std::string kEpson = Lines(
    {"; Epson TM receipt printer", "[Main]", "Module_Name=Epson", "UseDll=1,EscPosCut.dll",
     "S-Num=2", "M-Num=1", "", "[Single-Command]", "1=1,LF,1,0", "2=1,FF,1,1", "",
     "[Mutli-Command]", "1=GS-Command,GS,1", "[GS-Command]", "1=2,GS,V,3,CutPaper,0,TRAN_STOP"});

// kEpson derived as "Epson_2" with Void and Cash: only the keys the derivation writes differ.
const std::string kEpson2 =
    Lines({"; Epson TM receipt printer", "[Main]", "Module_Name=Epson_2", "UseDll=1,EscPosCut.dll",
           "S-Num=2", "M-Num=3", "", "[Single-Command]", "1=1,LF,1,0", "2=1,FF,1,1", ""}) +
    Lines({"[Mutli-Command]", "1=GS-Command,GS,1", "2=Text_Void,V,1", "3=Text_Stop,C,1",
           "[GS-Command]", "1=2,GS,V,3,CutPaper,0,", "[Text_Void]", "1=4,V,o,i,d,1,0,0,TRAN_VOID",
           "[Text_Stop]", "1=4,C,a,s,h,1,0,0,TRAN_STOP"});

DeriveInputs Inputs(std::string name, std::string voidKeyword = "Void",
                    std::string stopKeyword = "Cash") {
  DeriveInputs inputs;
  inputs.newModuleName = std::move(name);
  inputs.voidKeyword = std::move(voidKeyword);
  inputs.stopKeyword = std::move(stopKeyword);
  return inputs;
}

class DeriveModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modules.Write("Epson.ini", kEpson);
    modules.Write("Other.ini", "[Main]\r\nModule_Name=Star\r\n");
    modules.Write("Odd.ini", "[Main]\r\nModule_Name=Odd?\r\n");
    modules.Write("Epson_1.ini", "[Main]\r\nModule_Name=Epson_1\r\n");
  }

  // Scans the folder as the dialog does, selects `base` (nothing when empty) and derives.
  DeriveOutcome Derive(DeriveInputs inputs, std::string_view base = "Epson.ini") {
    RecordingToolkit scanToolkit;
    catalogue = Catalogue{};
    EXPECT_TRUE(ScanCatalogueFolder(catalogue, modules.path(), modules.services, scanToolkit));
    inputs.baseSelection = -1;
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
      if (!base.empty() && catalogue.entries[i].path == modules.PathOf(base)) {
        inputs.baseSelection = static_cast<std::int32_t>(i);
      }
    }
    DeriveResult result = DeriveModule(inputs, catalogue, modules.services, toolkit);
    if (!result.fileName.empty()) {
      fileName = result.fileName;
    }
    loader = std::move(result.loadedBase);
    return result.outcome;
  }

  testing::ModuleFiles modules;
  RecordingToolkit toolkit;
  Catalogue catalogue;
  std::unique_ptr<PrinterCommandModule> loader;
  std::string fileName = "untouched";
};

struct RefusalCase {
  std::string_view name;
  DeriveInputs inputs;
  MessageId message;
  std::string_view base = "Epson.ini";  // empty: nothing selected
};
QUILLMERE_PRINT_ROW_AS_NAME(RefusalCase)

class DeriveRefusal : public DeriveModuleTest, public ::testing::WithParamInterface<RefusalCase> {};

// A refused derivation shows only the first failed check, writes nothing, keeps the fields and
// makes no loader.
TEST_P(DeriveRefusal, ShowsTheFirstFailedCheckAndWritesNothing) {
  DeriveInputs inputs = GetParam().inputs;
  const auto before = modules.Snapshot();
  EXPECT_EQ(Derive(inputs, GetParam().base), DeriveOutcome::kRefused);
  EXPECT_EQ(toolkit.messages, Messages{GetParam().message});
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen);
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(loader, nullptr);
  EXPECT_EQ(fileName, "untouched");
}

const std::string k121 = std::string(121, 'v');
const RefusalCase kRefusals[] = {
    {"NothingSelectedFirst", Inputs("", "", ""), MessageId::kSelectBase, ""},
    {"EmptyName", Inputs(""), MessageId::kTypeNewName},
    // "Odd?" is also the name of Odd.ini's module.
    {"InvalidNameBeforeInUseAndEqualKeywords", Inputs("Odd?", "Void", "Void"),
     MessageId::kInvalidName},
    {"NameOfAnotherFilesModuleBeforeEqualKeywords", Inputs("STAR", "Void", "Void"),
     MessageId::kNameInUse},
    {"EqualKeywords", Inputs("Epson_2", "Void", "Void"), MessageId::kKeywordsEqual},
    {"EqualKeywordsBeforeTooLong", Inputs("Epson_2", k121, k121), MessageId::kKeywordsEqual},
    {"VoidKeywordTooLong", Inputs("Epson_2", k121), MessageId::kKeywordTooLong},
    {"StopKeywordTooLong", Inputs("Epson_2", "Void", std::string(61, '\t')),
     MessageId::kKeywordTooLong},
    {"TooLongBeforeTheOverwriteQuestion", Inputs("Epson_1", k121), MessageId::kKeywordTooLong}};
INSTANTIATE_TEST_SUITE_P(Checks, DeriveRefusal, ::testing::ValuesIn(kRefusals),
                         testing::CaseName());

// A name makes one file inside the module folder: no separators, no < > : " | ? *, no byte
// below 32, not "." or "..", no device name (any case, any extension), at most 255 bytes.
TEST(UsableModuleName, TakesOnlyNamesOfOneFileInTheFolder) {
  const std::string a251(251, 'a');
  for (const std::string& name :
       std::vector<std::string>{"Epson TM 88", "\xC4pfel", "v1.2", "...", "COM0", "COM10",
                                "CONSOLE", a251, a251 + ".ini"}) {
    EXPECT_TRUE(IsUsableModuleName(name)) << name;
  }
  for (const char c : std::string_view("/\\<>:\"|?*\x01\x1F\n")) {
    EXPECT_FALSE(IsUsableModuleName(std::string("a") + c + "b")) << c;
  }
  for (const std::string& name :
       std::vector<std::string>{".", "..", "CON", "nul.tar.gz", "Prn", "aux.INI", "COM1", "com9",
                                "Lpt5.ini", a251 + "a", a251 + "a.ini", std::string(260, 'a')}) {
    EXPECT_FALSE(IsUsableModuleName(name)) << name;
  }
  EXPECT_EQ(ModuleFileName("Epson_2.INI"), "Epson_2.INI");
  EXPECT_EQ(ModuleFileName("Epson_2.ini.bak"), "Epson_2.ini.bak.ini");
}

// Every line the derivation does not write is the base's, byte for byte; no staging file stays.
TEST_F(DeriveModuleTest, NewModuleIsTheBaseWithNameStopAndTriggers) {
  DeriveInputs inputs = Inputs("Epson_2");
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(toolkit.messages, Messages{MessageId::kSuccess});
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOk);
  EXPECT_EQ(fileName, "Epson_2");
  EXPECT_EQ(modules.Read("Epson_2.ini"), testing::AsSavedByProfileWrites(kEpson2));
  EXPECT_EQ(modules.Read("Epson.ini"), kEpson);
  EXPECT_EQ(modules.List(), (std::vector<std::string>{"Epson.ini", "Epson_1.ini", "Epson_2.ini",
                                                      "EscPosCut.dll", "Odd.ini", "Other.ini"}));
  ASSERT_NE(loader, nullptr);
  EXPECT_EQ(loader->modulePath, modules.PathOf("Epson.ini"));
}

// Either option empties the stop keyword before its length is checked, and tags its command.
TEST_F(DeriveModuleTest, OptionsEmptyTheStopKeywordAndTagTheirCommand) {
  DeriveInputs feed = Inputs("Epson_2", "Void", std::string(300, 's'));
  feed.formFeedOption = true;
  ASSERT_EQ(Derive(feed), DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Value("Epson_2.ini", "Single-Command", "2"), "1,FF,1,1,0,TRAN_STOP");
  EXPECT_EQ(modules.Value("Epson_2.ini", "GS-Command", "1"), "2,GS,V,3,CutPaper,0,");
  EXPECT_EQ(modules.Value("Epson_2.ini", "Text_Stop", "1"), "<absent>");

  DeriveInputs cut = Inputs("Epson_3");
  cut.cutPaperOption = true;
  ASSERT_EQ(Derive(cut), DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Value("Epson_3.ini", "GS-Command", "1"), "2,GS,V,3,CutPaper,0,TRAN_STOP");
  EXPECT_EQ(modules.Value("Epson_3.ini", "Single-Command", "2"), "1,FF,1,1");
}

// Paths and keywords compare with case counting: another case of the title is another file,
// and "void" is not the keyword "Void". A name ending in ".ini" is the file name itself. Where
// file names ignore case, another case of the title names the same file: the overwrite question.
TEST_F(DeriveModuleTest, CaseCountsInPathsAndKeywords) {
  DeriveInputs inputs = Inputs("EPSON", "Void", "void");
  toolkit.answers = {MessageAnswer::kYes};
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(toolkit.messages.front(),
            testing::kFileNamesIgnoreCase ? MessageId::kOverwriteQuestion : MessageId::kSuccess);
  if (!testing::kFileNamesIgnoreCase) {
    EXPECT_EQ(modules.Read("Epson.ini"), kEpson);
  }
  EXPECT_EQ(modules.Value("EPSON.ini", "Main", "Module_Name"), "EPSON");
  EXPECT_EQ(modules.Value("EPSON.ini", "Mutli-Command", "3"), "Text_Stop,v,1");
  DeriveInputs ini = Inputs("Epson_2.INI");
  ASSERT_EQ(Derive(ini), DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Value("Epson_2.INI", "Main", "Module_Name"), "Epson_2.INI");
  EXPECT_EQ(modules.Value("Epson_2.INI.ini", "Main", "Module_Name"), "<absent>");
}

// An existing module file is replaced only after Yes; a base named as its own file title is
// derived onto itself in place.
TEST_F(DeriveModuleTest, ExistingTargetIsOverwrittenOnlyAfterYes) {
  DeriveInputs inputs = Inputs("Epson_1");
  const auto before = modules.Snapshot();
  toolkit.answers = {MessageAnswer::kOther};
  EXPECT_EQ(Derive(inputs), DeriveOutcome::kDeclined);
  EXPECT_EQ(toolkit.messages, Messages{MessageId::kOverwriteQuestion});
  EXPECT_EQ(toolkit.buttonsShown, std::vector<MessageButtons>{MessageButtons::kYesNo});
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(loader, nullptr);

  toolkit.messages.clear();
  toolkit.answers = {MessageAnswer::kYes};
  DeriveInputs itself = Inputs("Epson");
  EXPECT_EQ(Derive(itself), DeriveOutcome::kSucceeded);
  EXPECT_EQ(toolkit.messages, (Messages{MessageId::kOverwriteQuestion, MessageId::kSuccess}));
  EXPECT_EQ(modules.Value("Epson.ini", "Mutli-Command", "2"), "Text_Void,V,1");
  EXPECT_EQ(modules.Value("Epson.ini", "GS-Command", "1"), "2,GS,V,3,CutPaper,0,");
  EXPECT_EQ(modules.Value("Epson.ini", "Main", "M-Num"), "3");
}

// The staging file or the copy failing gives message 6; any write after it, or the final rename,
// message 14. Each time the folder holds exactly what it held (the existing target too), no
// loader is left and the dialog stays open; "Go" pressed again succeeds.
TEST_F(DeriveModuleTest, AnyFailedStepLeavesTheFolderAsItWas) {
  const auto before = modules.Snapshot();
  DeriveInputs inputs = Inputs("Epson_1");
  const auto failedAt = [&](Operation operation, int nth) {
    toolkit.messages.clear();
    toolkit.answers = {MessageAnswer::kYes};
    modules.files.ClearFailures();
    modules.files.FailOn(operation, nth);
    return Derive(inputs);
  };
  const auto expectUntouched = [&](MessageId message, const std::string& label) {
    EXPECT_EQ(toolkit.messages, (Messages{MessageId::kOverwriteQuestion, message})) << label;
    EXPECT_EQ(modules.Snapshot(), before) << label;
    EXPECT_EQ(loader, nullptr) << label;
    EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen) << label;
  };
  EXPECT_EQ(failedAt(Operation::kCreateUnique, 1), DeriveOutcome::kCopyFailed);
  expectUntouched(MessageId::kCopyFailed, "staging file");
  EXPECT_EQ(failedAt(Operation::kCopy, 1), DeriveOutcome::kCopyFailed);
  expectUntouched(MessageId::kCopyFailed, "copy");
  EXPECT_EQ(failedAt(Operation::kRename, 1), DeriveOutcome::kWriteFailed);
  expectUntouched(MessageId::kWriteFailed, "rename");
  if (!testing::kProfileWritesGoThroughFileServices) {
    return;  // the platform's profile functions write the staging file; no write can be failed
  }
  // Every write in turn, until failing the one after the last lets the derivation through.
  int nth = 1;
  for (; nth < 20 && failedAt(Operation::kReplace, nth) != DeriveOutcome::kSucceeded; ++nth) {
    expectUntouched(MessageId::kWriteFailed, "write " + std::to_string(nth));
  }
  EXPECT_GT(nth, 6) << "Module_Name, the cut, two trigger entries, two records, M-Num";
  EXPECT_EQ(toolkit.messages, (Messages{MessageId::kOverwriteQuestion, MessageId::kSuccess}));
  EXPECT_EQ(modules.Value("Epson_1.ini", "Mutli-Command", "3"), "Text_Stop,C,1");
}

}  // namespace
}  // namespace quillmere
