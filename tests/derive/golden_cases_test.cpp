// Every case folder of tests/data/derive: one writer, or the whole derivation, run on the case's
// base.ini as a derivation runs it, and the new file compared byte for byte with expected.ini.
// The inputs name the writer ("PatchFormFeed", "PatchCutPaper", "WriteKeywordTriggers" or
// "DeriveModule"), the options set ("form-feed=set", "cut-paper=set"), the keywords ("void",
// "stop") and, for a derivation, the base's file name ("base"), the new name ("name") and the
// file it must write ("target").
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "derive/derive_module.h"
#include "derive/keyword_triggers.h"
#include "derive/module_files.h"
#include "derive/stop_patchers.h"
#include "module/catalogue.h"
#include "support/case_inputs.h"
#include "support/recording_toolkit.h"

namespace quillmere {
namespace {

using testing::CaseInputs;
constexpr std::string_view kArea = "derive";

class DeriveGolden : public ::testing::TestWithParam<std::string> {
 protected:
  // The writer the case names on the model loaded from the base, into a copy of the base.
  WriteStatus RunWriter(const CaseInputs& inputs, const std::string& baseName,
                        const std::string& target) {
    modules.Write(target, modules.Read(baseName));
    PrinterCommandModule base(modules.services);
    base.Load(modules.PathOf(baseName));
    const std::string writer = inputs.Get("writer");
    const std::string path = modules.PathOf(target);
    if (writer == "PatchFormFeed") {
      return PatchFormFeed(base, *modules.store, path, inputs.Has("form-feed"));
    }
    if (writer == "PatchCutPaper") {
      return PatchCutPaper(base, *modules.store, path, inputs.Has("cut-paper"));
    }
    EXPECT_EQ(writer, "WriteKeywordTriggers");
    return WriteKeywordTriggers(base, *modules.store, path, inputs.Get("void"), inputs.Get("stop"));
  }

  // The derivation with the base chosen from the scanned folder, Yes to an overwrite question.
  DeriveOutcome RunDerive(const CaseInputs& inputs, const std::string& baseName) {
    testing::RecordingToolkit toolkit;
    toolkit.answers = {MessageAnswer::kYes};
    Catalogue catalogue;
    EXPECT_TRUE(ScanCatalogueFolder(catalogue, modules.path(), modules.services, toolkit));
    DeriveInputs derive{.cutPaperOption = inputs.Has("cut-paper"),
                        .formFeedOption = inputs.Has("form-feed"),
                        .voidKeyword = inputs.Get("void"),
                        .stopKeyword = inputs.Get("stop"),
                        .newModuleName = inputs.Get("name")};
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
      if (catalogue.entries[i].path == modules.PathOf(baseName)) {
        derive.baseSelection = static_cast<std::int32_t>(i);
      }
    }
    return DeriveModule(derive, catalogue, modules.services, toolkit).outcome;
  }

  testing::ModuleFiles modules;
};

TEST_P(DeriveGolden, WritesTheExpectedFile) {
  const CaseInputs inputs(kArea, GetParam());
  const std::string base = testing::ReadCaseFile(kArea, GetParam(), "base.ini");
  const std::string baseName = inputs.Get("base", "base.ini");
  const std::string target = inputs.Get("target", "new.ini");
  modules.Write(baseName, base);
  if (inputs.Get("writer") == "DeriveModule") {
    ASSERT_EQ(RunDerive(inputs, baseName), DeriveOutcome::kSucceeded);
  } else {
    ASSERT_EQ(RunWriter(inputs, baseName, target), WriteStatus::kOk);
  }
  testing::ExpectMatchesCaseFile(kArea, GetParam(), "expected.ini", modules.Read(target));
  if (target != baseName) {
    EXPECT_EQ(modules.Read(baseName), base) << "the base is never written";
  }
  EXPECT_THAT(modules.List(), ::testing::UnorderedElementsAreArray(
                                  std::set<std::string>{baseName, target, "EscPosCut.dll"}))
      << "no staging file stays";
}

INSTANTIATE_TEST_SUITE_P(Cases, DeriveGolden, ::testing::ValuesIn(testing::GoldenCases(kArea)),
                         [](const auto& row) { return row.param; });

}  // namespace
}  // namespace quillmere
