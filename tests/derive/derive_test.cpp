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

// Four modules: "Odd?" is the name in Odd.ini, "Star" in Other.ini, Epson_1 its own file's.
struct FourModules : ModuleFiles {
  FourModules() {
    Write("Epson.ini", "[Main]\r\nModule_Name=Epson\r\nM-Num=0\r\n");
    Write("Other.ini", "[Main]\r\nModule_Name=Star\r\n");
    Write("Odd.ini", "[Main]\r\nModule_Name=Odd?\r\n");
    Write("Epson_1.ini", "[Main]\r\nModule_Name=Epson_1\r\n");
  }

  // Derives and expects `messages`, the folder as it was, the dialog open and no loader.
  DeriveResult ExpectUntouched(const DeriveInputs& inputs, const Messages& messages,
                               std::string_view base = "Epson.ini") {
    const auto before = Snapshot();
    DeriveResult result = Derive(inputs, base);
    EXPECT_EQ(toolkit.messages, messages);
    EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(result.loadedBase, nullptr);
    return result;
  }
};

DeriveInputs Inputs(std::string name, std::string voidKeyword = "Void",
                    std::string stopKeyword = "Cash") {
  return {.voidKeyword = std::move(voidKeyword),
          .stopKeyword = std::move(stopKeyword),
          .newModuleName = std::move(name)};
}

// Only the first failed check (in this order) is shown, with its line of detail; nothing is
// written but after Yes to each question.
TEST(DeriveModule, ShowsTheFirstFailedCheckAndWritesNothing) {
  using enum MessageId;
  const std::string k121(121, 'v');
  const std::string tooLong =
      " keyword's record would be 261 characters long; a module file "
      "value holds at most 259";
  const struct {
    std::string_view name;
    DeriveInputs inputs;
    MessageId message;
    std::string detail;
    std::string_view base = "Epson.ini";  // "": nothing selected
  } rows[] = {
      {"NothingSelectedFirst", Inputs("", "", ""), kSelectBase, "", ""},
      {"EmptyName", Inputs(""), kTypeNewName, ""},
      {"InvalidNameBeforeInUseAndEqualKeywords", Inputs("Odd?", "V", "V"), kInvalidName,
       "'?' cannot stand in a file name"},
      {"BlankAtAnEndWithItsReason", Inputs(" Epson_2"), kInvalidName,
       "a blank at either end of a name is lost when the module is read: it would show as "
       "\"Epson_2\""},
      {"NameInUseBeforeEqualKeywords", Inputs("STAR", "V", "V"), kNameInUse, ""},
      {"EqualKeywordsBeforeTooLong", Inputs("Epson_2", k121, k121), kKeywordsEqual, ""},
      {"StopKeywordTooLong", Inputs("Epson_2", "Void", k121), kKeywordTooLong,
       "the Stop" + tooLong},
      {"VoidKeywordTooLongBeforeTheOverwriteQuestion", Inputs("Epson_1", k121), kKeywordTooLong,
       "the Void" + tooLong},
      {"OverwriteDeclined", Inputs("Epson_1"), kOverwriteQuestion, ""},
      {"OverwriteOfTheFileNamedInAnotherCaseDeclined", Inputs("EPSON_1"), kOverwriteQuestion, ""},
      // Epson.ini has no stop record, and neither option nor a stop keyword gives one.
      {"NoStopSignalDeclined", Inputs("Epson_2", "Void", ""), kNoStopSignal, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FourModules modules;
    const DeriveResult result = modules.ExpectUntouched(row.inputs, {row.message}, row.base);
    const bool declined = row.message == kOverwriteQuestion || row.message == kNoStopSignal;
    EXPECT_EQ(result.outcome, declined ? DeriveOutcome::kDeclined : DeriveOutcome::kRefused);
    EXPECT_EQ(result.fileName, declined ? row.inputs.newModuleName : "");
    EXPECT_EQ(modules.toolkit.details, std::vector<std::string>{row.detail});
    EXPECT_EQ(result.reason, row.detail);
  }
}

// The staging file failing gives message 6; the one write of the new module, its flush or the
// rename, 14; the folder kept as it was each time, the detail naming where and the system's
// reason. The key writes go to memory, so no file is replaced key by key: failing such a replace
// lets "Go" succeed.
TEST(DeriveModule, AnyFailedStepLeavesTheFolderAsItWas) {
  FourModules modules;
  modules.toolkit.yesNoAnswer = MessageAnswer::kYes;
  const std::string target = modules.PathOf("Epson_1.ini");
  const std::tuple<std::string, Operation, MessageId, std::string> failures[] = {
      {"staging file", Operation::kCreateUnique, MessageId::kCopyFailed, modules.path()},
      {"write", Operation::kWrite, MessageId::kWriteFailed, target},
      {"flush", Operation::kFlush, MessageId::kWriteFailed, target},
      {"rename", Operation::kRename, MessageId::kWriteFailed, target}};
  for (const auto& [step, operation, message, where] : failures) {
    SCOPED_TRACE(step);
    modules.files.ClearFailures();
    modules.files.FailOn(operation, 1);
    EXPECT_EQ(modules.ExpectUntouched(Inputs("Epson_1"), {MessageId::kOverwriteQuestion, message})
                  .outcome,
              message == MessageId::kCopyFailed ? DeriveOutcome::kCopyFailed
                                                : DeriveOutcome::kWriteFailed);
    EXPECT_EQ(modules.toolkit.details.back(), where + ": No space left on device");
  }
  modules.files.ClearFailures();
  // Out of memory before the staging file is made, and while it is written.
  for (const Operation operation : {Operation::kCreateUnique, Operation::kWrite}) {
    modules.files.throwsOutOfMemory = operation;
    EXPECT_EQ(modules
                  .ExpectUntouched(Inputs("Epson_1"),
                                   {MessageId::kOverwriteQuestion, MessageId::kWriteFailed})
                  .reason,
              "out of memory");
  }
  modules.files.throwsOutOfMemory.reset();
  modules.files.FailOn(Operation::kReplace, 1);
  const DeriveResult result = modules.Derive(Inputs("Epson_1"), "Epson.ini");
  EXPECT_EQ(modules.toolkit.messages,
            (Messages{MessageId::kOverwriteQuestion, MessageId::kSuccess}));
  EXPECT_EQ(modules.toolkit.details.back(), modules.PathOf("Epson_1.ini"));
  EXPECT_EQ(modules.toolkit.ending, RecordingToolkit::Ending::kOk);
  EXPECT_EQ(result.fileName, "Epson_1");
  ASSERT_NE(result.loadedBase, nullptr);
  EXPECT_EQ(result.loadedBase->modulePath, modules.PathOf("Epson.ini"));
}

// Staging changes no file and holds the base as read beside what the derivation then writes; a
// base that cannot be read (a sub-folder the catalogue offers) is refused with message 6.
TEST(StageModule, ChangesNoFileAndHoldsWhatItWouldWrite) {
  FourModules modules;
  const DeriveInputs inputs{
      .formFeedOption = true, .voidKeyword = "Void", .stopKeyword = "", .newModuleName = "E2"};
  const auto before = modules.Snapshot();
  const StagedModule staged =
      StageModule(inputs, modules.PathOf("Epson.ini"), modules.PathOf("E2.ini"), modules.services);
  ASSERT_EQ(staged.failure, StagedModule::Failure::kNone);
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(staged.files->Bytes(modules.PathOf("Epson.ini")), modules.Read("Epson.ini"));
  const std::string staging(*staged.files->Bytes(modules.PathOf("E2.ini")));
  ASSERT_EQ(modules.Derive(inputs, "Epson.ini").outcome, DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Read("E2.ini"), staging);
  modules.MakeFolder("Folder.ini");
  const DeriveResult refused =
      modules.ExpectUntouched(Inputs("E3"), {MessageId::kCopyFailed}, "Folder.ini");
  EXPECT_EQ(refused.outcome, DeriveOutcome::kCopyFailed);
  EXPECT_EQ(refused.reason, modules.PathOf("Folder.ini") + ": " +
                                UnreadableReason(modules.files, modules.PathOf("Folder.ini")));
}

// A UTF-16 base of either byte order is refused before anything is written, saying why.
TEST(DeriveModule, RefusesAUtf16Base) {
  for (const std::string_view bytes :
       {std::string_view("\xFF\xFE[\0M\0", 6), std::string_view("\xFE\xFF\0[\0M", 6)}) {
    FourModules modules;
    modules.Write("Wide.ini", bytes);
    const DeriveResult result =
        modules.ExpectUntouched(Inputs("E3"), {MessageId::kUtf16Base}, "Wide.ini");
    EXPECT_EQ(result.outcome, DeriveOutcome::kRefused);
    EXPECT_THAT(result.reason, ::testing::HasSubstr("UTF-16 byte-order mark"));
  }
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
  ASSERT_EQ(modules.Derive(Inputs("E2"), "Epson.ini").outcome, DeriveOutcome::kSucceeded);
  EXPECT_EQ(writer, self);
  EXPECT_THAT(modules.List(), ::testing::IsSupersetOf(std::vector<std::string>{
                                  running, ".quillmere-derive-7-x", "E2.ini"}));
  EXPECT_THAT(StaleStagingFiles(modules.files, modules.path()), ::testing::IsEmpty());
}

// A name makes one file in the folder, on Windows too; ".ini" is added unless it ends so. A
// refusal says why.
TEST(ModuleName, UsableNamesAndTheirFileNames) {
  const codepage::ActiveCodePageScope westernEuropean(1252);
  const std::string a251(251, 'a');
  for (const std::string& name :
       std::vector<std::string>{"Epson TM 88", "\xC4pfel", "v1.2", "...", "COM0", "COM10",
                                "CONSOLE", a251, a251 + ".ini"}) {
    EXPECT_EQ(ModuleNameRefusal(name), std::nullopt) << name;
  }
  for (const std::string& name : std::vector<std::string>{
           ".",     "..",    "CON",      "nul.tar.gz", "Prn",          "aux.INI",
           "COM1",  "com9",  "Lpt5.ini", a251 + "a",   a251 + "a.ini", std::string(260, 'a'),
           "a/b",   "a\\b",  "a<b",      "a>b",        "a:b",          "a\"b",
           "a|b",   "a?b",   "a*b",      "a\x01",      "a\x1F",        "a\nb",
           " lead", "trail "}) {
    EXPECT_NE(ModuleNameRefusal(name), std::nullopt) << name;
  }
  EXPECT_THAT(BlankEndRefusal(" lead ").value_or(""), ::testing::HasSubstr("show as \"lead\""));
  EXPECT_EQ(BlankEndRefusal("Epson TM 88"), std::nullopt);
  // A read of Module_Name also drops one pair of quotes around it.
  EXPECT_THAT(ModuleNameRefusal("'quoted'").value_or(""),
              ::testing::HasSubstr("show as \"quoted\""));
  EXPECT_EQ(ModuleNameRefusal("'half"), std::nullopt);
  EXPECT_EQ(ModuleNameRefusal("it's"), std::nullopt);
  EXPECT_EQ(ModuleFileName("Epson_2"), "Epson_2.ini");
  EXPECT_EQ(ModuleFileName("Epson_2.INI"), "Epson_2.INI");
  EXPECT_EQ(ModuleFileName("Epson.ini.bak"), "Epson.ini.bak.ini");
  EXPECT_EQ(ModuleNameRefusal("a\tb"), "U+0009 cannot stand in a file name");
  EXPECT_EQ(ModuleNameRefusal("Lpt5.ini"), "'Lpt5' names a device on Windows");
}

// In a double-byte code page a name is searched by character and its file name is made in the
// file system's own encoding, UTF-8 here.
TEST(ModuleName, DoubleByteNamesAndTheirUtf8FileNames) {
  if (!testing::kFileNamesAreUtf8) {
    GTEST_SKIP() << "file names here are the ANSI code page's bytes";
  }
  const codepage::ActiveCodePageScope big5(950);
  // 兀 is A4 61 in Big5; 弋 is A4 7C, its trail byte the '|' a file name cannot hold.
  EXPECT_EQ(ModuleNameRefusal("\xA4\x7C"), std::nullopt);
  EXPECT_EQ(ModuleFileName("\xA4\x61"), "\xE5\x85\x80.ini");
  EXPECT_EQ(ModuleNameRefusal("\xA4"), "the byte 0xA4 is no character of code page 950");
  // 86 times 中 (A4 A4): 172 bytes here, 258 in UTF-8.
  EXPECT_EQ(ModuleNameRefusal(std::string(172, '\xA4')),
            "the file name would be 262 bytes long; a file name holds at most 255");
}

// Typed texts become the code page's bytes; the first that cannot is refused, the name with
// message 13 and a keyword with 16, naming the character.
TEST(TypedTexts, TakenInTheCodePageOrRefusedNamingTheCharacter) {
  const codepage::ActiveCodePageScope big5(950);
  DeriveInputs inputs;
  EXPECT_EQ(TakeTypedTexts({"\xE5\x85\x80", "\xE4\xBD\x9C\xE5\xBB\xA2", "Cash"}, inputs),
            std::nullopt);
  EXPECT_EQ(inputs.newModuleName + "|" + inputs.voidKeyword + "|" + inputs.stopKeyword,
            "\xA4\x61|\xA7\x40\xBC\x6F|Cash");
  const std::optional<InputRefusal> keyword = TakeTypedTexts({"a", "b", "caf\xC3\xA9"}, inputs);
  ASSERT_TRUE(keyword);
  EXPECT_EQ(keyword->message, MessageId::kKeywordNotInCodePage);
  EXPECT_EQ(keyword->detail, "the Stop keyword: '\xC3\xA9' (U+00E9) is not in code page 950");
  const std::optional<InputRefusal> name = TakeTypedTexts({"\xC3\x84", "", ""}, inputs);
  ASSERT_TRUE(name);
  EXPECT_EQ(name->message, MessageId::kInvalidName);
  EXPECT_EQ(name->detail, "the new module name: '\xC3\x84' (U+00C4) is not in code page 950");
}

// A keyword's record reads back whole up to 259 characters: 120 printable bytes, 60 tabs (258).
TEST(KeywordRecordOverflow, UpTo259CharactersARecord) {
  EXPECT_EQ(KeywordRecordOverflow(std::string(120, 'a'), std::string(60, '\t')), std::nullopt);
  EXPECT_THAT(
      KeywordRecordOverflow(std::string(121, 'a'), ""),
      ::testing::Optional(::testing::StartsWith("the Void keyword's record would be 261 ")));
  EXPECT_THAT(
      KeywordRecordOverflow("Void", std::string(61, '\t')),
      ::testing::Optional(::testing::StartsWith("the Stop keyword's record would be 262 ")));
}

class DeriveGolden : public ::testing::TestWithParam<std::string> {};

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

INSTANTIATE_TEST_SUITE_P(Cases, DeriveGolden, ::testing::ValuesIn(GoldenCases("derive")),
                         [](const auto& row) { return row.param; });

class StopSignalGolden : public ::testing::TestWithParam<std::string> {};

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

INSTANTIATE_TEST_SUITE_P(Cases, StopSignalGolden, ::testing::ValuesIn(GoldenCases("stop_signal")),
                         [](const auto& row) { return row.param; });

}  // namespace
}  // namespace testing
}  // namespace quillmere
