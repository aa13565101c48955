// DeriveModule's own rules on a folder of module files: the checks in their order, the
// overwrite question, and that a derivation succeeds whole or leaves the folder as it found it.
// What the new file holds is the golden cases' part (golden_cases_test.cpp).
#include "derive/derive_module.h"

#include <gtest/gtest.h>

#include <optional>

#include "derive/module_file_name.h"
#include "derive/module_files.h"
#include "module/catalogue.h"
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

  // Scans the folder as the dialog does, selects `base` (nothing when empty) and derives.
  DeriveResult Derive(DeriveInputs inputs, std::string_view base = "Epson.ini") {
    RecordingToolkit scanToolkit;
    catalogue = Catalogue{};
    EXPECT_TRUE(ScanCatalogueFolder(catalogue, modules.path(), modules.services, scanToolkit));
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
      if (!base.empty() && catalogue.entries[i].path == modules.PathOf(base)) {
        inputs.baseSelection = static_cast<std::int32_t>(i);
      }
    }
    return DeriveModule(inputs, catalogue, modules.services, toolkit);
  }

  testing::ModuleFiles modules;
  RecordingToolkit toolkit;
  Catalogue catalogue;
};

struct RefusalCase {
  std::string_view name;
  DeriveInputs inputs;
  MessageId message;
  std::string_view base = "Epson.ini";  // empty: nothing selected
};
QUILLMERE_PRINT_ROW_AS_NAME(RefusalCase)

class DeriveRefusal : public DeriveModuleTest, public ::testing::WithParamInterface<RefusalCase> {};

// Only the first failed check is shown; nothing is written, the dialog stays open, and neither
// a file name nor a loader comes back.
TEST_P(DeriveRefusal, ShowsTheFirstFailedCheckAndWritesNothing) {
  const auto before = modules.Snapshot();
  const DeriveResult result = Derive(GetParam().inputs, GetParam().base);
  EXPECT_EQ(result.outcome, DeriveOutcome::kRefused);
  EXPECT_EQ(toolkit.messages, Messages{GetParam().message});
  EXPECT_EQ(toolkit.ending, RecordingToolkit::Ending::kOpen);
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(result.loadedBase, nullptr);
  EXPECT_EQ(result.fileName, "");
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
    {"StopKeywordTooLong", Inputs("Epson_2", "Void", k121), MessageId::kKeywordTooLong},
    {"TooLongBeforeTheOverwriteQuestion", Inputs("Epson_1", k121), MessageId::kKeywordTooLong}};
INSTANTIATE_TEST_SUITE_P(Checks, DeriveRefusal, ::testing::ValuesIn(kRefusals),
                         testing::CaseName());

// An existing module file is kept unless the answer to the overwrite question is Yes.
TEST_F(DeriveModuleTest, ExistingTargetIsKeptUnlessTheAnswerIsYes) {
  const auto before = modules.Snapshot();
  toolkit.answers = {MessageAnswer::kOther};
  const DeriveResult result = Derive(Inputs("Epson_1"));
  EXPECT_EQ(result.outcome, DeriveOutcome::kDeclined);
  EXPECT_EQ(toolkit.messages, Messages{MessageId::kOverwriteQuestion});
  EXPECT_EQ(toolkit.buttonsShown, std::vector<MessageButtons>{MessageButtons::kYesNo});
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(result.loadedBase, nullptr);
}

// The staging file or the copy failing gives message 6; any write after it, or the final rename,
// message 14. Each time the folder holds exactly what it held (the existing target too), no
// loader is left and the dialog stays open; "Go" pressed again succeeds.
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
  EXPECT_EQ(failedAt(Operation::kCopy, 1), DeriveOutcome::kCopyFailed);
  expectUntouched(MessageId::kCopyFailed, "copy");
  EXPECT_EQ(failedAt(Operation::kRename, 1), DeriveOutcome::kWriteFailed);
  expectUntouched(MessageId::kWriteFailed, "rename");
  // Every write in turn, until failing the one after the last lets the derivation through.
  int nth = 1;
  for (; nth < 20 && failedAt(Operation::kReplace, nth) != DeriveOutcome::kSucceeded; ++nth) {
    expectUntouched(MessageId::kWriteFailed, "write " + std::to_string(nth));
  }
  EXPECT_EQ(nth, 7) << "Module_Name, two trigger entries, two records, M-Num, then none fails";
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
  const struct {
    std::string name;
    std::optional<std::string> fileName;  // none: not a usable name
  } rows[] = {{"Epson TM 88", "Epson TM 88.ini"},
              {"\xC4pfel", "\xC4pfel.ini"},
              {"v1.2", "v1.2.ini"},
              {"...", "....ini"},
              {"COM0", "COM0.ini"},
              {"COM10", "COM10.ini"},
              {"CONSOLE", "CONSOLE.ini"},
              {"Epson_2.INI", "Epson_2.INI"},
              {"Epson.ini.bak", "Epson.ini.bak.ini"},
              {a251, a251 + ".ini"},
              {a251 + ".ini", a251 + ".ini"},
              {".", {}},
              {"..", {}},
              {"CON", {}},
              {"nul.tar.gz", {}},
              {"Prn", {}},
              {"aux.INI", {}},
              {"COM1", {}},
              {"com9", {}},
              {"Lpt5.ini", {}},
              {a251 + "a", {}},
              {a251 + "a.ini", {}},
              {std::string(260, 'a'), {}}};
  for (const auto& row : rows) {
    EXPECT_EQ(IsUsableModuleName(row.name), row.fileName.has_value()) << row.name;
    if (row.fileName) {
      EXPECT_EQ(ModuleFileName(row.name), *row.fileName);
    }
  }
  for (const char c : std::string_view("/\\<>:\"|?*\x01\x1F\n")) {
    EXPECT_FALSE(IsUsableModuleName(std::string("a") + c + "b")) << c;
  }
}

}  // namespace
}  // namespace quillmere
