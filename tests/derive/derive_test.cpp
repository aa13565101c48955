// Tests of src/derive: DeriveModule's own rules, the module name rules, the 259 fit, the golden
// case folders of tests/data/derive for the writers and whole derivations, and those of
// tests/data/stop_signal for the question before a module without a stop signal.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "derive/derive_module.h"
#include "derive/keyword_triggers.h"
#include "derive/module_file_name.h"
#include "derive/staged_module.h"
#include "derive/staging_files.h"
#include "derive/stop_patchers.h"
#include "derive/typed_texts.h"
#include "module/catalogue.h"
#include "platform/code_page.h"
#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/golden.h"
#include "support/host_platform.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere {

void PrintTo(MessageId id, std::ostream* out) {
  *out << "message " << static_cast<int>(id);
}

namespace testing {
namespace {

using Messages = std::vector<MessageId>;
using Operation = FaultyFileSystem::Operation;

// A module folder behind a fault injector, a recording toolkit, "EscPosCut.dll" exporting CutPaper.
struct ModuleFiles : TempFolder {
  ModuleFiles() { libraries.Add(Write("EscPosCut.dll", "a library stand-in"), {"CutPaper"}); }

  // Scans the folder as the dialog does, chooses the file `base` (none if unlisted), derives.
  DeriveResult Derive(DeriveInputs inputs, std::string_view base) {
    Catalogue catalogue;
    EXPECT_TRUE(ScanCatalogueFolder(catalogue, path(), services, toolkit));
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
      if (catalogue.entries[i].path == PathOf(base)) {
        inputs.baseSelection = static_cast<std::int32_t>(i);
      }
    }
    toolkit.messages.clear();
    toolkit.ending = RecordingToolkit::Ending::kOpen;
    return DeriveModule(inputs, catalogue, services, toolkit);
  }

  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  FakeLibraryLoader libraries;
  PlatformServices services{*store, files, libraries};
  RecordingToolkit toolkit;
};

// Four modules: "Odd?" is the name in Odd.ini, "Star" in Other.ini, Epson_1 its own file's; two
// files in UTF-16, of either byte order; and a sub-folder the catalogue offers, Folder.ini.
struct FourModules : ModuleFiles {
  FourModules() {
    Write("Epson.ini", "[Main]\r\nModule_Name=Epson\r\nM-Num=0\r\n");
    Write("Other.ini", "[Main]\r\nModule_Name=Star\r\n");
    Write("Odd.ini", "[Main]\r\nModule_Name=Odd?\r\n");
    Write("Epson_1.ini", "[Main]\r\nModule_Name=Epson_1\r\n");
    Write("WideLE.ini", std::string_view("\xFF\xFE[\0M\0", 6));
    Write("WideBE.ini", std::string_view("\xFE\xFF\0[\0M", 6));
    MakeFolder("Folder.ini");
  }
};

// tests/data/derive_checks/<table>/table.txt: "derive BASE NAME VOID STOP [yes] [fail OPERATION |
// out-of-memory OPERATION]" in FourModules (BASE "-": none selected; "yes" answers every question
// Yes; OPERATION of the file layer fails, or runs out of memory) answered with the outcome, the
// name of the file, the messages shown and each one's line of detail (a path in the folder as
// "<folder>/<name>").
// A derivation that does not succeed leaves the folder as it was, the dialog open, no base loaded.
std::string CheckAnswer(const Words& call) {
  constexpr std::string_view kOperations[] = {"copy", "replace", "create", "rename", "read",
                                              "list", "write",   "flush",  "open",   "remove"};
  FourModules modules;
  const auto operation = [&](std::size_t at) {
    return static_cast<Operation>(std::ranges::find(kOperations, call.at(at)) - kOperations);
  };
  for (std::size_t at = 5; at < call.size(); ++at) {
    if (call[at] == "yes") {
      modules.toolkit.yesNoAnswer = MessageAnswer::kYes;
    } else if (call[at] == "fail") {
      modules.files.FailOn(operation(++at));
    } else {
      modules.files.throwsOutOfMemory = operation(++at);
    }
  }
  const auto before = modules.Snapshot();
  const DeriveInputs inputs{
      .voidKeyword = call.at(3), .stopKeyword = call.at(4), .newModuleName = call.at(2)};
  const DeriveResult result = modules.Derive(inputs, call.at(1) == "-" ? "" : call[1]);
  if (result.outcome != DeriveOutcome::kSucceeded) {
    EXPECT_EQ(modules.Snapshot(), before);
    EXPECT_EQ(modules.toolkit.ending, RecordingToolkit::Ending::kOpen);
    EXPECT_EQ(result.loadedBase, nullptr);
    EXPECT_EQ(result.reason, modules.toolkit.details.back());
  }
  constexpr std::string_view kOutcomes[] = {"refused", "declined", "copy failed", "write failed",
                                            "succeeded"};
  std::string answer = std::string(kOutcomes[static_cast<int>(result.outcome)]) + " " +
                       Quoted(result.fileName) + ":";
  for (std::size_t i = 0; i < modules.toolkit.messages.size(); ++i) {
    std::string detail = modules.toolkit.details[i];
    if (detail.starts_with(modules.path())) {
      detail.replace(0, modules.path().size(), "<folder>");
      std::replace(detail.begin(), detail.end(), kPathSeparator, '/');
    }
    answer += " message " + std::to_string(static_cast<int>(modules.toolkit.messages[i])) + " " +
              Quoted(detail);
  }
  return answer;
}

QUILLMERE_RULE_TABLES(DeriveChecks, "derive_checks", CheckAnswer);

// Staging changes no file and holds the base as read beside what the derivation then writes; a
// base that cannot be read is refused.
TEST(StageModule, ChangesNoFileAndHoldsWhatItWouldWrite) {
  FourModules modules;
  const DeriveInputs inputs{
      .formFeedOption = true, .voidKeyword = "Void", .stopKeyword = "", .newModuleName = "E2"};
  const auto before = modules.Snapshot();
  StagedModule staged = ReadBase(modules.PathOf("Epson.ini"), modules.services);
  StageModule(inputs, modules.PathOf("E2.ini"), staged);
  ASSERT_EQ(staged.failure, StagedModule::Failure::kNone);
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(staged.files->Bytes(modules.PathOf("Epson.ini")), modules.Read("Epson.ini"));
  const std::string staging(*staged.files->Bytes(modules.PathOf("E2.ini")));
  ASSERT_EQ(modules.Derive(inputs, "Epson.ini").outcome, DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Read("E2.ini"), staging);
  // A base that cannot be read (a sub-folder the catalogue offers): message 6, saying why.
  DeriveInputs another = inputs;
  another.newModuleName = "E3";
  const DeriveResult refused = modules.Derive(another, "Folder.ini");
  EXPECT_EQ(refused.outcome, DeriveOutcome::kCopyFailed);
  EXPECT_EQ(modules.toolkit.messages, Messages{MessageId::kCopyFailed});
  EXPECT_EQ(refused.reason, modules.PathOf("Folder.ini") + ": " +
                                UnreadableReason(modules.files, modules.PathOf("Folder.ini")));
}

// A staging file names the process that makes it. Those of a process that is gone (or whose ID
// another process has now) are stale, and the next derivation in the folder removes them; one of
// a running process, and any other file, stays.
TEST(StagingFiles, StaleOnesAreRemovedByTheNextDerivation) {
  FourModules modules;
  const ProcessIdentity self = ThisProcess();
  std::optional<ProcessIdentity> writer;
  modules.files.onWrite = [&](const std::string& path) {
    writer = StagingFileOwner(FileNameOf(path));
  };
  const std::string running = StagingStem(self) + "aaaaaa";
  const std::string reused = StagingStem({self.id, self.startTime + 1}) + "bbbbbb";
  const std::string gone = StagingStem({0xFFFFFFFFU, 7}) + "cccccc";
  for (const std::string& name : {running, reused, gone, std::string(".quillmere-derive-7-x")}) {
    modules.Write(name, "part of a module");
  }
  EXPECT_THAT(StaleStagingFiles(modules.files, modules.path()),
              ::testing::UnorderedElementsAre(reused, gone));
  ASSERT_EQ(
      modules.Derive({.voidKeyword = "", .stopKeyword = "Cash", .newModuleName = "E2"}, "Epson.ini")
          .outcome,
      DeriveOutcome::kSucceeded);
  EXPECT_EQ(writer, self);
  EXPECT_THAT(modules.List(), ::testing::IsSupersetOf(std::vector<std::string>{
                                  running, ".quillmere-derive-7-x", "E2.ini"}));
  EXPECT_THAT(StaleStagingFiles(modules.files, modules.path()), ::testing::IsEmpty());
}

// tests/data/module_name/<table>/table.txt: the module name rules, the file name a name makes,
// typed texts taken in the code page and the 259 fit of a keyword's record, each row in its code
// page.
std::string NameRuleAnswer(const Words& call) {
  const codepage::ActiveCodePageScope codePage(
      static_cast<codepage::CodePage>(std::stoul(call.at(1))));
  const std::string& verb = call.at(0);
  if (verb == "name") {
    return ModuleNameRefusal(call.at(2)).value_or("usable");
  }
  if (verb == "file") {
    return Quoted(ModuleFileName(call.at(2)).value_or("none"));
  }
  if (verb == "fit") {
    return KeywordRecordOverflow(call.at(2), call.at(3)).value_or("fits");
  }
  DeriveInputs inputs;
  if (const auto refusal = TakeTypedTexts({call.at(2), call.at(3), call.at(4)}, inputs)) {
    return "message " + std::to_string(static_cast<int>(refusal->message)) + " " +
           Quoted(refusal->detail);
  }
  return Quoted(inputs.newModuleName + "|" + inputs.voidKeyword + "|" + inputs.stopKeyword);
}

QUILLMERE_GOLDEN_CASES(Golden, NameRuleTable, "module_name");

TEST_P(NameRuleTable, AnswersAsTheRulesSay) {
  if (!testing::kFileNamesAreUtf8 && GetParam() == "utf8_file_names") {
    GTEST_SKIP() << "file names here are the ANSI code page's bytes";
  }
  ExpectTableAnswers("module_name", GetParam(), "table.txt", NameRuleAnswer);
}

QUILLMERE_GOLDEN_CASES(Cases, DeriveGolden, "derive");

// A case's "writer" or DeriveModule on its base.ini writes expected.ini and nothing else.
TEST_P(DeriveGolden, WritesTheExpectedFile) {
  const CaseInputs in = ReadCaseInputs("derive", GetParam());
  const std::string base = ReadCaseFile("derive", GetParam(), "base.ini");
  const std::string baseName = InputOr(in, "base", "base.ini");
  const std::string target = InputOr(in, "target", "new.ini");
  const std::string& writer = in.at("writer");
  if (!testing::kFileNamesAreUtf8 && in.contains("code-page")) {
    GTEST_SKIP() << "here file names are the ANSI code page's bytes";
  }
  const codepage::ActiveCodePageScope codePage(
      static_cast<codepage::CodePage>(std::stoul(InputOr(in, "code-page", "1252"))));
  ModuleFiles modules;
  modules.Write(baseName, base);
  if (writer == "DeriveModule") {
    modules.toolkit.yesNoAnswer = MessageAnswer::kYes;
    const DeriveInputs inputs{.cutPaperOption = in.contains("cut-paper"),
                              .formFeedOption = in.contains("form-feed"),
                              .voidKeyword = InputOr(in, "void"),
                              .stopKeyword = InputOr(in, "stop"),
                              .newModuleName = in.at("name")};
    ASSERT_EQ(modules.Derive(inputs, baseName).outcome, DeriveOutcome::kSucceeded);
  } else {
    const std::string path = modules.Write(target, base);
    PrinterCommandModule model(modules.services);
    model.Load(modules.PathOf(baseName));
    ProfileStore& store = *modules.store;
    ASSERT_EQ(
        writer == "PatchFormFeed"   ? PatchFormFeed(model, store, path, in.contains("form-feed"))
        : writer == "PatchCutPaper" ? PatchCutPaper(model, store, path, in.contains("cut-paper"))
        : writer == "WriteKeywordTriggers"
            ? WriteKeywordTriggers(model, store, path, InputOr(in, "void"), InputOr(in, "stop"))
            : WriteStatus::kFailed,
        WriteStatus::kOk);
  }
  if (testing::RunningUnderWine()) {
    // Wine saves a profile file whole, in its own layout: what each key reads back as counts.
    const TempFolder expected;
    EXPECT_EQ(testing::KeysAsRead(modules.PathOf(target)),
              testing::KeysAsRead(expected.Write(
                  "expected.ini", ReadCaseFile("derive", GetParam(), "expected.ini"))));
  } else {
    ExpectMatchesCaseFile("derive", GetParam(), "expected.ini", modules.Read(target));
  }
  if (target != baseName) {
    EXPECT_EQ(modules.Read(baseName), base) << "the base is never written";
  }
  EXPECT_THAT(modules.List(), ::testing::UnorderedElementsAreArray(
                                  std::set<std::string>{baseName, target, "EscPosCut.dll"}));
}

QUILLMERE_GOLDEN_CASES(Cases, StopSignalGolden, "stop_signal");

// Message 15 comes after the overwrite question and before the copy exactly when the module
// written on Yes loads without a stop record, as it loads here ("EscPosCut.dll" exports CutPaper;
// a case's base names another library to go without one).
TEST_P(StopSignalGolden, AsksExactlyWhenTheNewModuleHoldsNoStopRecord) {
  const CaseInputs in = ReadCaseInputs("stop_signal", GetParam());
  ModuleFiles modules;
  modules.Write("base.ini", ReadCaseFile("stop_signal", GetParam(), "base.ini"));
  modules.Write("new.ini", "an older module");
  modules.toolkit.yesNoAnswer = MessageAnswer::kYes;
  const DeriveInputs inputs{.cutPaperOption = in.contains("cut-paper"),
                            .formFeedOption = in.contains("form-feed"),
                            .voidKeyword = InputOr(in, "void"),
                            .stopKeyword = InputOr(in, "stop"),
                            .newModuleName = "new"};
  ASSERT_EQ(modules.Derive(inputs, "base.ini").outcome, DeriveOutcome::kSucceeded);
  const bool asks = in.at("asks") == "yes";
  Messages expected{MessageId::kOverwriteQuestion, MessageId::kSuccess};
  if (asks) {
    expected.insert(expected.begin() + 1, MessageId::kNoStopSignal);
  }
  EXPECT_EQ(modules.toolkit.messages, expected);
  PrinterCommandModule written(modules.services);
  written.Load(modules.PathOf("new.ini"));
  EXPECT_EQ(written.noStopTag, asks) << "the question must foretell the module written";
}

}  // namespace
}  // namespace testing
}  // namespace quillmere
