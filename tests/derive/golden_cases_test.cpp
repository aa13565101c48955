// Every case folder of tests/data/derive: one writer, or the whole derivation, run on the case's
// base.ini as a derivation runs it, and the new file compared byte for byte with expected.ini.
// The inputs name the "writer" (PatchFormFeed, PatchCutPaper, WriteKeywordTriggers or
// DeriveModule), the options set ("form-feed", "cut-paper"), the keywords ("void", "stop") and,
// for a derivation, the base's file name ("base"), the new "name" and the file it must write
// ("target"); an overwrite question is answered Yes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "derive/keyword_triggers.h"
#include "derive/module_files.h"
#include "derive/stop_patchers.h"
#include "support/golden.h"

namespace quillmere::testing {
namespace {

constexpr std::string_view kArea = "derive";

class DeriveGolden : public ::testing::TestWithParam<std::string> {
 protected:
  // The writer on the model loaded from the base, into a copy of the base.
  WriteStatus RunWriter(const std::string& baseName, const std::string& target) {
    modules.Write(target, modules.Read(baseName));
    PrinterCommandModule base(modules.services);
    base.Load(modules.PathOf(baseName));
    const std::string path = modules.PathOf(target);
    if (inputs.at("writer") == "PatchFormFeed") {
      return PatchFormFeed(base, *modules.store, path, inputs.contains("form-feed"));
    }
    if (inputs.at("writer") == "PatchCutPaper") {
      return PatchCutPaper(base, *modules.store, path, inputs.contains("cut-paper"));
    }
    EXPECT_EQ(inputs.at("writer"), "WriteKeywordTriggers");
    return WriteKeywordTriggers(base, *modules.store, path, InputOr(inputs, "void"),
                                InputOr(inputs, "stop"));
  }

  DeriveOutcome RunDerive(const std::string& baseName) {
    RecordingToolkit toolkit;
    toolkit.answers = {MessageAnswer::kYes};
    const DeriveInputs derive{.cutPaperOption = inputs.contains("cut-paper"),
                              .formFeedOption = inputs.contains("form-feed"),
                              .voidKeyword = InputOr(inputs, "void"),
                              .stopKeyword = InputOr(inputs, "stop"),
                              .newModuleName = inputs.at("name")};
    return modules.Derive(derive, baseName, toolkit).outcome;
  }

  const CaseInputs inputs = ReadCaseInputs(kArea, GetParam());
  ModuleFiles modules;
};

TEST_P(DeriveGolden, WritesTheExpectedFile) {
  const std::string base = ReadCaseFile(kArea, GetParam(), "base.ini");
  const std::string baseName = InputOr(inputs, "base", "base.ini");
  const std::string target = InputOr(inputs, "target", "new.ini");
  modules.Write(baseName, base);
  if (inputs.at("writer") == "DeriveModule") {
    ASSERT_EQ(RunDerive(baseName), DeriveOutcome::kSucceeded);
  } else {
    ASSERT_EQ(RunWriter(baseName, target), WriteStatus::kOk);
  }
  ExpectMatchesCaseFile(kArea, GetParam(), "expected.ini", modules.Read(target));
  if (target != baseName) {
    EXPECT_EQ(modules.Read(baseName), base) << "the base is never written";
  }
  EXPECT_THAT(modules.List(), ::testing::UnorderedElementsAreArray(
                                  std::set<std::string>{baseName, target, "EscPosCut.dll"}))
      << "no staging file stays";
}

INSTANTIATE_TEST_SUITE_P(Cases, DeriveGolden, ::testing::ValuesIn(GoldenCases(kArea)),
                         [](const auto& row) { return row.param; });

}  // namespace
}  // namespace quillmere::testing
