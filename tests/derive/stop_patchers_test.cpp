// The Form Feed and cut-paper patchers: which record they find in the base's model, and which key
// of the new file they rewrite.
#include "derive/stop_patchers.h"

#include <gtest/gtest.h>

#include "derive/module_files.h"
#include "support/case_name.h"
#include "support/ini_text.h"

namespace quillmere {
namespace {

using testing::Lines;
using testing::ModuleFiles;

enum class Patcher { kFormFeed, kCutPaper };

struct PatchCase {
  std::string_view name;
  Patcher patcher;
  bool option;
  std::string base;
  std::string expected;  // the whole new file
};
QUILLMERE_PRINT_ROW_AS_NAME(PatchCase)

class StopPatcher : public ::testing::TestWithParam<PatchCase> {};

// The base is loaded, and the patcher writes into a copy of it, as a derivation does.
TEST_P(StopPatcher, RewritesTheFoundCommandAndNothingElse) {
  ModuleFiles modules;
  modules.Write("base.ini", GetParam().base);
  modules.Write("new.ini", GetParam().base);
  const auto module = modules.Load("base.ini");
  const std::string target = modules.PathOf("new.ini");
  const WriteStatus status =
      GetParam().patcher == Patcher::kFormFeed
          ? PatchFormFeed(*module, *modules.store, target, GetParam().option)
          : PatchCutPaper(*module, *modules.store, target, GetParam().option);
  EXPECT_EQ(status, WriteStatus::kOk);
  EXPECT_EQ(modules.Read("new.ini"), GetParam().expected);
  EXPECT_EQ(modules.Read("base.ini"), GetParam().base) << "the base is never written";
}

const std::string kFiveSingles = Lines({
    "[Main]",
    "Module_Name=Five",
    "S-Num=5",
    "[Single-Command]",
    "1=1,LF,1,0",
    "2=2,FF,LF,1,0",
    "3=1,CR,1,0",
    "4=1,ESC,2",
    "5=1,HT,1,0",
    "[ChangeLine-Command]",
    "1=1,FF",
});

const std::string kGsVInMulti4 = Lines({
    "[Main]",
    "Module_Name=Cutter",
    "UseDll=1,EscPosCut.dll",
    "M-Num=4",
    "[Mutli-Command]",
    "1=ESC-Command,ESC,1",
    "2=Text_Void,V,1",
    "3=Other,FS,1",
    "4=GS-Command,GS,3",
    "[ESC-Command]",
    "1=2,ESC,@,0,0,0,TRAN_START",
    "[Text_Void]",
    "1=4,V,o,i,d,1,0,0,TRAN_VOID",
    "[Other]",
    "1=3,GS,V,A,1,1",
    "[GS-Command]",
    "1=2,GS,!,1,1",
    "2=2,GS,V,3,CutPaper,0,TRAN_STOP",
    "3=2,GS,V,3,CutPaper,0,",
});

INSTANTIATE_TEST_SUITE_P(
    Cases, StopPatcher,
    ::testing::Values(
        PatchCase{"FormFeedAppendedAfterFiveRecords", Patcher::kFormFeed, true, kFiveSingles,
                  Lines({"[Main]", "Module_Name=Five", "S-Num=6", "[Single-Command]", "1=1,LF,1,0",
                         "2=2,FF,LF,1,0", "3=1,CR,1,0", "4=1,ESC,2", "5=1,HT,1,0",
                         "6=1,FF,1,1,0,TRAN_STOP", "[ChangeLine-Command]", "1=1,FF"})},
        PatchCase{"FormFeedAppendedToAModuleWithoutSingles", Patcher::kFormFeed, true,
                  Lines({"[Main]", "Module_Name=None"}),
                  Lines({"[Main]", "Module_Name=None", "S-Num=1", "[Single-Command]",
                         "1=1,FF,1,1,0,TRAN_STOP"})},
        PatchCase{"FormFeedRewrittenInPlaceAtKey3Of5", Patcher::kFormFeed, true,
                  Lines({"[Main]", "S-Num=5", "[Single-Command]", "1=1,LF,1,0", "2=1,CR,1,0",
                         "3=1,FF,2,7,1,Feed,TRAN_START", "4=1,FF,1,1", "5=1,HT,1,0"}),
                  Lines({"[Main]", "S-Num=5", "[Single-Command]", "1=1,LF,1,0", "2=1,CR,1,0",
                         "3=1,FF,1,1,0,TRAN_STOP", "4=1,FF,1,1", "5=1,HT,1,0"})},
        PatchCase{"FormFeedUntaggedWhenTheOptionIsClear", Patcher::kFormFeed, false,
                  Lines({"[Main]", "S-Num=2", "[Single-Command]", "1=1,LF,1,0",
                         "2=1,012,1,1,0,TRAN_STOP"}),
                  Lines({"[Main]", "S-Num=2", "[Single-Command]", "1=1,LF,1,0", "2=1,FF,1,1"})},
        PatchCase{"NoFormFeedAppendedWhenTheOptionIsClear", Patcher::kFormFeed, false, kFiveSingles,
                  kFiveSingles},
        // Fault mended: the append goes after the file's count, not after the records that
        // loaded; key 3 still holds a line that failed to load.
        PatchCase{"FormFeedAppendedAfterTheFileCountWhenARecordFailed", Patcher::kFormFeed, true,
                  Lines({"[Main]", "S-Num=3", "[Single-Command]", "1=1,LF,1,0", "2=1,CR,1",
                         "3=1,HT,1,0"}),
                  Lines({"[Main]", "S-Num=4", "[Single-Command]", "1=1,LF,1,0", "2=1,CR,1",
                         "3=1,HT,1,0", "4=1,FF,1,1,0,TRAN_STOP"})},
        // Fault mended: the found record's own key, not its position in the list.
        PatchCase{
            "FormFeedRewrittenAtItsOwnKeyAfterAFailedRecord", Patcher::kFormFeed, false,
            Lines({"[Main]", "S-Num=3", "[Single-Command]", "1=2,LF", "2=1,LF,1,0",
                   "3=1,FF,1,1,0,TRAN_STOP"}),
            Lines({"[Main]", "S-Num=3", "[Single-Command]", "1=2,LF", "2=1,LF,1,0", "3=1,FF,1,1"})},
        PatchCase{"NegativeCountAppendsAtKey1", Patcher::kFormFeed, true,
                  Lines({"[Main]", "S-Num=-4"}),
                  Lines({"[Main]", "S-Num=1", "[Single-Command]", "1=1,FF,1,1,0,TRAN_STOP"})},
        PatchCase{"CutPaperSubRecord2OfMultiCommand4Tagged", Patcher::kCutPaper, true, kGsVInMulti4,
                  Lines({"[Main]", "Module_Name=Cutter", "UseDll=1,EscPosCut.dll", "M-Num=4",
                         "[Mutli-Command]", "1=ESC-Command,ESC,1", "2=Text_Void,V,1",
                         "3=Other,FS,1", "4=GS-Command,GS,3", "[ESC-Command]",
                         "1=2,ESC,@,0,0,0,TRAN_START", "[Text_Void]", "1=4,V,o,i,d,1,0,0,TRAN_VOID",
                         "[Other]", "1=3,GS,V,A,1,1", "[GS-Command]", "1=2,GS,!,1,1",
                         "2=2,GS,V,3,CutPaper,0,TRAN_STOP", "3=2,GS,V,3,CutPaper,0,"})},
        PatchCase{"CutPaperUntaggedWhenTheOptionIsClear", Patcher::kCutPaper, false, kGsVInMulti4,
                  Lines({"[Main]", "Module_Name=Cutter", "UseDll=1,EscPosCut.dll", "M-Num=4",
                         "[Mutli-Command]", "1=ESC-Command,ESC,1", "2=Text_Void,V,1",
                         "3=Other,FS,1", "4=GS-Command,GS,3", "[ESC-Command]",
                         "1=2,ESC,@,0,0,0,TRAN_START", "[Text_Void]", "1=4,V,o,i,d,1,0,0,TRAN_VOID",
                         "[Other]", "1=3,GS,V,A,1,1", "[GS-Command]", "1=2,GS,!,1,1",
                         "2=2,GS,V,3,CutPaper,0,", "3=2,GS,V,3,CutPaper,0,"})},
        PatchCase{"CutPaperNotLoadedWithoutItsLibrary", Patcher::kCutPaper, true,
                  Lines({"[Main]", "UseDll=1,Missing.dll", "M-Num=1", "[Mutli-Command]",
                         "1=GS-Command,GS,1", "[GS-Command]", "1=2,GS,V,3,CutPaper,0,"}),
                  Lines({"[Main]", "UseDll=1,Missing.dll", "M-Num=1", "[Mutli-Command]",
                         "1=GS-Command,GS,1", "[GS-Command]", "1=2,GS,V,3,CutPaper,0,"})},
        PatchCase{"NoCutPaperCommandNothingWritten", Patcher::kCutPaper, true, kFiveSingles,
                  kFiveSingles},
        // Fault mended: the sub-record's own key in its own entry's section, although entry 1
        // and sub-record 1 failed to load.
        PatchCase{"CutPaperRewrittenAtItsOwnKeysAfterFailedRecords", Patcher::kCutPaper, true,
                  Lines({"[Main]", "UseDll=1,EscPosCut.dll", "M-Num=2", "[Mutli-Command]",
                         "1=Broken,GS", "2=GS-Command,GS,2", "[Broken]", "1=1,LF,1,0",
                         "[GS-Command]", "1=2,GS,V,3,Cut,0,", "2=2,GS,V,3,CutPaper,0,"}),
                  Lines({"[Main]", "UseDll=1,EscPosCut.dll", "M-Num=2", "[Mutli-Command]",
                         "1=Broken,GS", "2=GS-Command,GS,2", "[Broken]", "1=1,LF,1,0",
                         "[GS-Command]", "1=2,GS,V,3,Cut,0,", "2=2,GS,V,3,CutPaper,0,TRAN_STOP"})}),
    testing::CaseName());

TEST(FindFormFeedCommand, IgnoresLongerSequencesAndOtherLists) {
  ModuleFiles modules;
  modules.Write("m.ini", kFiveSingles);
  const auto module = modules.Load("m.ini");
  EXPECT_EQ(FindFormFeedCommand(*module), nullptr);
}

TEST(FindCutPaperCommand, TakesTheFirstInListOrder) {
  ModuleFiles modules;
  modules.Write("m.ini", kGsVInMulti4);
  const auto module = modules.Load("m.ini");
  const auto found = FindCutPaperCommand(*module);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->holder->key, 4);
  EXPECT_EQ(found->holder->section, "GS-Command");
  EXPECT_EQ(found->record->key, 2);
}

TEST(PatchFormFeed, FailedWriteIsReported) {
  ModuleFiles modules;
  modules.Write("m.ini", kFiveSingles);
  const auto module = modules.Load("m.ini");
  modules.files.FailOn(testing::FaultyFileSystem::Operation::kReplace, 2);
  EXPECT_EQ(PatchFormFeed(*module, *modules.store, modules.PathOf("m.ini"), true),
            WriteStatus::kFailed);
}

}  // namespace
}  // namespace quillmere
