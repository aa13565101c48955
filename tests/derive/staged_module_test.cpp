// The derivation made in memory before it touches the disk: staging changes no file and holds
// the base as read beside the bytes the derivation writes; a base that cannot be read is
// refused with message 6 before anything is written.
#include "derive/staged_module.h"

#include <gtest/gtest.h>

#include "derive/module_files.h"

namespace quillmere::testing {
namespace {

const std::string kBase =
    "[Main]\r\nModule_Name=Epson\r\nS-Num=1\r\nM-Num=0\r\n[Single-Command]\r\n1=1,FF,1,1\r\n";

DeriveInputs EpsonTwo() {
  return {
      .formFeedOption = true, .voidKeyword = "Void", .stopKeyword = "", .newModuleName = "Epson_2"};
}

TEST(StageModule, ChangesNoFileAndHoldsWhatItWouldWrite) {
  ModuleFiles modules;
  modules.Write("Epson.ini", kBase);
  const auto before = modules.Snapshot();
  const StagedModule staged = StageModule(EpsonTwo(), modules.PathOf("Epson.ini"),
                                          modules.PathOf("Epson_2.ini"), modules.services);
  ASSERT_EQ(staged.failure, StagedModule::Failure::kNone);
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(staged.files->Bytes(modules.PathOf("Epson.ini")), kBase);
  const std::string staging(*staged.files->Bytes(modules.PathOf("Epson_2.ini")));
  RecordingToolkit toolkit;
  ASSERT_EQ(modules.Derive(EpsonTwo(), "Epson.ini", toolkit).outcome, DeriveOutcome::kSucceeded);
  EXPECT_EQ(modules.Read("Epson_2.ini"), staging);
}

// The catalogue offers a sub-folder whose name ends in ".ini"; there is no base to read in it.
TEST(StageModule, ABaseThatCannotBeReadIsACopyFailure) {
  ModuleFiles modules;
  modules.MakeFolder("Folder.ini");
  const auto before = modules.Snapshot();
  RecordingToolkit toolkit;
  const DeriveResult result = modules.Derive(EpsonTwo(), "Folder.ini", toolkit);
  EXPECT_EQ(result.outcome, DeriveOutcome::kCopyFailed);
  EXPECT_EQ(toolkit.messages, std::vector<MessageId>{MessageId::kCopyFailed});
  EXPECT_EQ(modules.Snapshot(), before);
  EXPECT_EQ(modules.List(), (std::vector<std::string>{"EscPosCut.dll", "Folder.ini"}));
}

}  // namespace
}  // namespace quillmere::testing
