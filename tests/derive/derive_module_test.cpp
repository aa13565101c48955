// DeriveModule end to end on a folder of module files: the checks in their order, the target
// path, the overwrite question, and that a derivation succeeds whole or leaves the folder as it
// found it.
#include "derive/derive_module.h"

#include <gtest/gtest.h>

#include "derive/module_files.h"
#include "support/case_name.h"
#include "support/ini_text.h"
#include "support/recording_toolkit.h"
#include "ui/catalogue.h"

namespace quillmere {
namespace {

using testing::FaultyFileSystem;
using testing::Lines;
using testing::ModuleFiles;
using testing::RecordingToolkit;
using Operation = FaultyFileSystem::Operation;

const std::string kEpson = Lines({
    "; Epson TM receipt printer",
    "[Main]",
    "Module_Name=Epson",
    "UseDll=1,EscPosCut.dll",
    "S-Num=2",
    "M-Num=1",
    "",
    "[Single-Command]",
    "1=1,LF,1,0",
    "2=1,FF,1,1",
    "",
    "[Mutli-Command]",
    "1=GS-Command,GS,1",
    "[GS-Command]",
    "1=2,GS,V,3,CutPaper,0,TRAN_STOP",
});

class DeriveModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    modules.Write("Epson.ini", kEpson);
    modules.Write("Other.ini", Lines({"[Main]", "Module_Name=Star"}));
    modules.Write("Epson_1.ini", Lines({"[Main]", "Module_Name=Epson_1"}));
  }

  // Scans the folder as the dialog does, then derives with `inputs`.
  DeriveOutcome Derive(DeriveInputs& inputs) {
    RecordingToolkit scanToolkit;
    catalogue = Catalogue{};
    EXPECT_TRUE(ScanCatalogueFolder(catalogue, modules.folder(), modules.services, scanToolkit));
    return DeriveModule(inputs, fileName, catalogue, loader, modules.services, toolkit);
  }

  [[nodiscard]] std::int32_t IndexOf(std::string_view file) const {
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
      if (catalogue.entries[i].path == modules.PathOf(file)) {
        return static_cast<std::int32_t>(i);
      }
    }
    return -1;
  }

  // Inputs for deriving from `base`, found by scanning first.
  DeriveInputs From(std::string_view base, std::string name, std::string voidKeyword = "Void",
                    std::string stopKeyword = "Cash") {
    RecordingToolkit scanToolkit;
    catalogue = Catalogue{};
    ScanCatalogueFolder(catalogue, modules.folder(), modules.services, scanToolkit);
    DeriveInputs inputs;
    inputs.baseSelection = IndexOf(base);
    inputs.newModuleName = std::move(name);
    inputs.voidKeyword = std::move(voidKeyword);
    inputs.stopKeyword = std::move(stopKeyword);
    return inputs;
  }

  ModuleFiles modules;
  RecordingToolkit toolkit;
  Catalogue catalogue;
  std::unique_ptr<PrinterCommandModule> loader;
  std::string fileName = "untouched";
};

struct RefusalCase {
  std::string_view name;
  std::string_view base;  // empty: nothing selected
  std::string newName;
  std::string voidKeyword;
  std::string stopKeyword;
  bool formFeed;
  MessageId message;
};
QUILLMERE_PRINT_ROW_AS_NAME(RefusalCase)

class DeriveRefusal : public DeriveModuleTest, public ::testing::WithParamInterface<RefusalCase> {};

// A refused derivation shows its one message, writes nothing, keeps the fields and makes no
// loader.
TEST_P(DeriveRefusal, ShowsTheFirstFailedCheckAndWritesNothing) {
  const RefusalCase& row = GetParam();
  DeriveInputs inputs = From(row.base, row.newName, row.voidKeyword, row.stopKeyword);
  if (row.base.empty()) {
    inputs.baseSelection = -1;
  }
  inputs.formFeedOption = row.formFeed;
  const auto before = modules.Snapshot();
  EXPECT_EQ(Derive(inputs), DeriveOutcome::kRefused);
  EXPECT_EQ(toolkit.messages, std::vector<MessageId>{row.message});
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen);
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(loader, nullptr);
  EXPECT_EQ(fileName, "untouched");
  EXPECT_EQ(inputs.stopKeyword, row.stopKeyword);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, DeriveRefusal,
    ::testing::Values(
        RefusalCase{"NothingSelectedComesFirst", "", "", "", "", false, MessageId::kSelectBase},
        RefusalCase{"EmptyName", "Epson.ini", "", "Void", "Cash", false, MessageId::kTypeNewName},
        RefusalCase{"NameWithSeparator", "Epson.ini", "../Epson_2", "Void", "Cash", false,
                    MessageId::kInvalidName},
        RefusalCase{"DeviceName", "Epson.ini", "con", "Void", "Cash", false,
                    MessageId::kInvalidName},
        RefusalCase{"InvalidNameBeforeEqualKeywords", "Epson.ini", "a|b", "Void", "Void", false,
                    MessageId::kInvalidName},
        RefusalCase{"NameShownByAModuleOfAnotherFile", "Epson.ini", "STAR", "Void", "Cash", false,
                    MessageId::kNameInUse},
        RefusalCase{"NameInUseBeforeEqualKeywords", "Epson.ini", "star", "Void", "Void", false,
                    MessageId::kNameInUse},
        RefusalCase{"EqualKeywords", "Epson.ini", "Epson_2", "Void", "Void", false,
                    MessageId::kKeywordsEqual},
        RefusalCase{"EqualKeywordsBeforeLength", "Epson.ini", "Epson_2", std::string(200, 'v'),
                    std::string(200, 'v'), false, MessageId::kKeywordsEqual},
        RefusalCase{"VoidKeywordTooLong", "Epson.ini", "Epson_2", std::string(121, 'v'), "Cash",
                    false, MessageId::kKeywordTooLong},
        RefusalCase{"StopKeywordTooLong", "Epson.ini", "Epson_2", "Void", std::string(61, '\t'),
                    false, MessageId::kKeywordTooLong}),
    testing::CaseName());

TEST_F(DeriveModuleTest, NewModuleIsTheBaseWithNameStopAndTriggers) {
  DeriveInputs inputs = From("Epson.ini", "Epson_2");
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(toolkit.messages, std::vector<MessageId>{MessageId::kSuccess});
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOk);
  EXPECT_EQ(fileName, "Epson_2");
  // Every line the derivation does not write is the base's, byte for byte.
  EXPECT_EQ(modules.Read("Epson_2.ini"), Lines({
                                             "; Epson TM receipt printer",
                                             "[Main]",
                                             "Module_Name=Epson_2",
                                             "UseDll=1,EscPosCut.dll",
                                             "S-Num=2",
                                             "M-Num=3",
                                             "",
                                             "[Single-Command]",
                                             "1=1,LF,1,0",
                                             "2=1,FF,1,1",
                                             "",
                                             "[Mutli-Command]",
                                             "1=GS-Command,GS,1",
                                             "2=Text_Void,V,1",
                                             "3=Text_Stop,C,1",
                                             "[GS-Command]",
                                             "1=2,GS,V,3,CutPaper,0,",
                                             "[Text_Void]",
                                             "1=4,V,o,i,d,1,0,0,TRAN_VOID",
                                             "[Text_Stop]",
                                             "1=4,C,a,s,h,1,0,0,TRAN_STOP",
                                         }));
  EXPECT_EQ(modules.Read("Epson.ini"), kEpson);
  ASSERT_NE(loader, nullptr);
  EXPECT_EQ(loader->modulePath, modules.PathOf("Epson.ini"));
  EXPECT_FALSE(modules.Snapshot().empty());
  for (const auto& [file, bytes] : modules.Snapshot()) {
    EXPECT_EQ(file.find(".quillmere"), std::string::npos) << "staging file left: " << file;
  }
}

TEST_F(DeriveModuleTest, FormFeedOptionEmptiesTheStopKeywordAndTagsFormFeed) {
  DeriveInputs inputs = From("Epson.ini", "Epson_2");
  inputs.formFeedOption = true;
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(inputs.stopKeyword, "");
  EXPECT_EQ(modules.Value("Epson_2.ini", "Single-Command", "2"), "1,FF,1,1,0,TRAN_STOP");
  EXPECT_EQ(modules.Value("Epson_2.ini", "Mutli-Command", "2"), "Text_Void,V,1");
  EXPECT_EQ(modules.Value("Epson_2.ini", "Main", "M-Num"), "2");
  EXPECT_EQ(modules.Value("Epson_2.ini", "Text_Stop", "1"), "<absent>");
}

TEST_F(DeriveModuleTest, CutPaperOptionTagsTheCutAndEmptiesTheStopKeyword) {
  DeriveInputs inputs = From("Epson.ini", "Epson_2");
  inputs.cutPaperOption = true;
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(inputs.stopKeyword, "");
  EXPECT_EQ(modules.Value("Epson_2.ini", "GS-Command", "1"), "2,GS,V,3,CutPaper,0,TRAN_STOP");
  EXPECT_EQ(modules.Value("Epson_2.ini", "Single-Command", "2"), "1,FF,1,1");
}

TEST_F(DeriveModuleTest, NameEndingInIniIsTheFileName) {
  DeriveInputs inputs = From("Epson.ini", "Epson_2.INI");
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_TRUE(modules.Exists("Epson_2.INI"));
  EXPECT_FALSE(modules.Exists("Epson_2.INI.ini"));
  EXPECT_EQ(modules.Value("Epson_2.INI", "Main", "Module_Name"), "Epson_2.INI");
}

TEST_F(DeriveModuleTest, ExistingTargetIsOverwrittenOnlyAfterYes) {
  DeriveInputs inputs = From("Epson.ini", "Epson_1");
  const auto before = modules.Snapshot();
  toolkit.answers = {MessageAnswer::kOther};
  EXPECT_EQ(Derive(inputs), DeriveOutcome::kDeclined);
  EXPECT_EQ(toolkit.messages, std::vector<MessageId>{MessageId::kOverwriteQuestion});
  EXPECT_EQ(toolkit.buttonsShown, std::vector<MessageButtons>{MessageButtons::kYesNo});
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(loader, nullptr);

  toolkit.messages.clear();
  toolkit.answers = {MessageAnswer::kYes};
  EXPECT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(toolkit.messages,
            (std::vector<MessageId>{MessageId::kOverwriteQuestion, MessageId::kSuccess}));
  EXPECT_EQ(modules.Value("Epson_1.ini", "Single-Command", "1"), "1,LF,1,0");
}

// A module shown under its own file title, derived onto itself: asked, then rewritten in place.
TEST_F(DeriveModuleTest, BaseDerivedOntoItself) {
  DeriveInputs inputs = From("Epson.ini", "Epson");
  toolkit.answers = {MessageAnswer::kYes};
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Value("Epson.ini", "Mutli-Command", "2"), "Text_Void,V,1");
  EXPECT_EQ(modules.Value("Epson.ini", "GS-Command", "1"), "2,GS,V,3,CutPaper,0,");
  EXPECT_EQ(modules.Value("Epson.ini", "Main", "M-Num"), "3");
}

// Paths compare with case counting: another case of the title is another file here.
TEST_F(DeriveModuleTest, NameDifferingOnlyInCaseMakesAnotherFile) {
  DeriveInputs inputs = From("Epson.ini", "EPSON");
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Read("Epson.ini"), kEpson);
  EXPECT_EQ(modules.Value("EPSON.ini", "Main", "Module_Name"), "EPSON");
}

TEST_F(DeriveModuleTest, KeywordsDifferingInCaseAreNotTheSameAndOptionsEmptyLongStops) {
  DeriveInputs inputs = From("Epson.ini", "Epson_2", "Void", "void");
  ASSERT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Value("Epson_2.ini", "Mutli-Command", "3"), "Text_Stop,v,1");
  DeriveInputs longStop = From("Epson.ini", "Epson_3", "Void", std::string(300, 's'));
  longStop.formFeedOption = true;
  EXPECT_EQ(Derive(longStop), DeriveOutcome::kSucceeded);
}

struct FaultCase {
  std::string_view name;
  Operation operation;
  int nth;
  MessageId message;
  DeriveOutcome outcome;
};
QUILLMERE_PRINT_ROW_AS_NAME(FaultCase)

class DeriveFault : public DeriveModuleTest, public ::testing::WithParamInterface<FaultCase> {};

// Whatever step fails, the folder holds exactly what it held, the user is told, no loader is
// left, and pressing "Go" again succeeds. Epson_1.ini exists, so the overwrite is in play too.
TEST_P(DeriveFault, LeavesTheFolderAsItWas) {
  DeriveInputs inputs = From("Epson.ini", "Epson_1");
  const auto before = modules.Snapshot();
  toolkit.answers = {MessageAnswer::kYes, MessageAnswer::kYes};
  modules.files.FailOn(GetParam().operation, GetParam().nth);
  EXPECT_EQ(Derive(inputs), GetParam().outcome);
  EXPECT_EQ(toolkit.messages,
            (std::vector<MessageId>{MessageId::kOverwriteQuestion, GetParam().message}));
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(loader, nullptr);
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen);

  modules.files.ClearFailures();
  toolkit.messages.clear();
  EXPECT_EQ(Derive(inputs), DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Value("Epson_1.ini", "Main", "Module_Name"), "Epson_1");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DeriveFault,
    ::testing::Values(FaultCase{"StagingFile", Operation::kCreateUnique, 1, MessageId::kCopyFailed,
                                DeriveOutcome::kCopyFailed},
                      FaultCase{"Copy", Operation::kCopy, 1, MessageId::kCopyFailed,
                                DeriveOutcome::kCopyFailed},
                      FaultCase{"ModuleName", Operation::kReplace, 1, MessageId::kWriteFailed,
                                DeriveOutcome::kWriteFailed},
                      FaultCase{"FinalRename", Operation::kRename, 1, MessageId::kWriteFailed,
                                DeriveOutcome::kWriteFailed}),
    testing::CaseName());

// Every write of a derivation, failed in turn, leaves the folder as it was.
TEST_F(DeriveModuleTest, EveryWriteFailedInTurnLeavesTheFolder) {
  DeriveInputs probe = From("Epson.ini", "Epson_2");
  const int before = modules.files.Calls(Operation::kReplace);
  ASSERT_EQ(Derive(probe), DeriveOutcome::kSucceeded);
  const int writes = modules.files.Calls(Operation::kReplace) - before;
  ASSERT_GT(writes, 3);
  ASSERT_TRUE(modules.files.RemoveFile(modules.PathOf("Epson_2.ini")));
  loader.reset();
  const auto folder = modules.Snapshot();
  for (int nth = 1; nth <= writes; ++nth) {
    DeriveInputs inputs = From("Epson.ini", "Epson_2");
    toolkit.messages.clear();
    modules.files.FailOn(Operation::kReplace, nth);
    EXPECT_EQ(Derive(inputs), DeriveOutcome::kWriteFailed) << "write " << nth;
    EXPECT_EQ(toolkit.messages, std::vector<MessageId>{MessageId::kWriteFailed});
    EXPECT_EQ(modules.Snapshot(), folder) << "write " << nth;
    modules.files.ClearFailures();
  }
}

// A folder standing where the new module must go: the rename fails for real, nothing is lost.
TEST_F(DeriveModuleTest, FolderInTheWayOfTheTarget) {
  ASSERT_TRUE(::mkdir(modules.PathOf("Epson_3.ini").c_str(), 0755) == 0);
  DeriveInputs inputs = From("Epson.ini", "Epson_3");
  toolkit.answers = {MessageAnswer::kYes};
  const auto before = modules.Snapshot();
  EXPECT_EQ(Derive(inputs), DeriveOutcome::kWriteFailed);
  EXPECT_EQ(modules.Snapshot(), before);
}

}  // namespace
}  // namespace quillmere
