// The keyword trigger writer on module files: which entries and records it writes at which keys,
// and which old triggers it replaces.
#include "derive/keyword_triggers.h"

#include <gtest/gtest.h>

#include <vector>

#include "derive/module_files.h"
#include "support/case_name.h"
#include "support/ini_text.h"

namespace quillmere {
namespace {

using testing::Lines;
using testing::ModuleFiles;

struct Expected {
  std::string_view section;
  std::string_view key;
  std::string_view value;  // "<absent>" for a key that must not be there
};

struct TriggerCase {
  std::string_view name;
  std::string base;
  std::string voidKeyword;
  std::string stopKeyword;
  std::vector<Expected> expected;
};
QUILLMERE_PRINT_ROW_AS_NAME(TriggerCase)

class KeywordTriggers : public ::testing::TestWithParam<TriggerCase> {};

TEST_P(KeywordTriggers, WritesEntriesAfterTheKeptOnes) {
  ModuleFiles modules;
  modules.Write("base.ini", GetParam().base);
  modules.Write("new.ini", GetParam().base);
  const auto module = modules.Load("base.ini");
  ASSERT_EQ(WriteKeywordTriggers(*module, *modules.store, modules.PathOf("new.ini"),
                                 GetParam().voidKeyword, GetParam().stopKeyword),
            WriteStatus::kOk);
  for (const Expected& expected : GetParam().expected) {
    EXPECT_EQ(modules.Value("new.ini", expected.section, expected.key), expected.value)
        << "[" << expected.section << "] " << expected.key;
  }
}

const std::string kThreeMultis = Lines({
    "[Main]",
    "Module_Name=Three",
    "M-Num=3",
    "[Mutli-Command]",
    "1=ESC-Command,ESC,1",
    "2=GS-Command,GS,1",
    "3=FS-Command,FS,1",
    "[ESC-Command]",
    "1=2,ESC,@,0,0,0,TRAN_START",
    "[GS-Command]",
    "1=2,GS,!,1,1",
    "[FS-Command]",
    "1=2,FS,p,1,1",
});

// kThreeMultis after a derivation with Void and Cash.
const std::string kDerivedOnce =
    kThreeMultis.substr(0, kThreeMultis.find("M-Num")) +
    Lines({"M-Num=5", "[Mutli-Command]", "1=ESC-Command,ESC,1", "2=GS-Command,GS,1",
           "3=FS-Command,FS,1", "4=Text_Void,V,1", "5=Text_Stop,C,1", "[ESC-Command]",
           "1=2,ESC,@,0,0,0,TRAN_START", "[GS-Command]", "1=2,GS,!,1,1", "[FS-Command]",
           "1=2,FS,p,1,1", "[Text_Void]", "1=4,V,o,i,d,1,0,0,TRAN_VOID", "[Text_Stop]",
           "1=4,C,a,s,h,1,0,0,TRAN_STOP"});

const std::string kNoMultisDerivedOnce = Lines(
    {"[Main]", "M-Num=2", "[Mutli-Command]", "1=Text_Void,V,1", "2=Text_Stop,C,1", "[Text_Void]",
     "1=4,V,o,i,d,1,0,0,TRAN_VOID", "[Text_Stop]", "1=4,C,a,s,h,1,0,0,TRAN_STOP"});

INSTANTIATE_TEST_SUITE_P(
    Cases, KeywordTriggers,
    ::testing::Values(
        TriggerCase{"VoidAndStopAfterThreeEntries",
                    kThreeMultis,
                    "Void",
                    "Cash",
                    {{"Mutli-Command", "3", "FS-Command,FS,1"},
                     {"Mutli-Command", "4", "Text_Void,V,1"},
                     {"Mutli-Command", "5", "Text_Stop,C,1"},
                     {"Text_Void", "1", "4,V,o,i,d,1,0,0,TRAN_VOID"},
                     {"Text_Stop", "1", "4,C,a,s,h,1,0,0,TRAN_STOP"},
                     {"Main", "M-Num", "5"}}},
        TriggerCase{"RederivedTriggersReplaceTheOldOnes",
                    kDerivedOnce,
                    "Cancel",
                    "Change",
                    {{"Mutli-Command", "3", "FS-Command,FS,1"},
                     {"Mutli-Command", "4", "Text_Void,C,2"},
                     {"Text_Void", "1", "6,C,a,n,c,e,l,1,0,0,TRAN_VOID"},
                     {"Text_Void", "2", "6,C,h,a,n,g,e,1,0,0,TRAN_STOP"},
                     {"Main", "M-Num", "4"},
                     {"Mutli-Command", "5", "Text_Stop,C,1"},
                     {"Text_Stop", "1", "4,C,a,s,h,1,0,0,TRAN_STOP"}}},
        TriggerCase{"SameKeywordsTwiceKeepTheCount",
                    kNoMultisDerivedOnce,
                    "Void",
                    "Cash",
                    {{"Mutli-Command", "1", "Text_Void,V,1"},
                     {"Mutli-Command", "2", "Text_Stop,C,1"},
                     {"Main", "M-Num", "2"}}},
        TriggerCase{"OnlyVoidDropsTheOldStopTrigger",
                    kDerivedOnce,
                    "Void",
                    "",
                    {{"Mutli-Command", "4", "Text_Void,V,1"},
                     {"Main", "M-Num", "4"},
                     {"Mutli-Command", "5", "Text_Stop,C,1"}}},
        TriggerCase{"OnlyStop",
                    kThreeMultis,
                    "",
                    "Cash",
                    {{"Mutli-Command", "4", "Text_Stop,C,1"},
                     {"Text_Stop", "1", "4,C,a,s,h,1,0,0,TRAN_STOP"},
                     {"Text_Void", "1", "<absent>"},
                     {"Main", "M-Num", "4"}}},
        TriggerCase{"NoKeywordStillWritesTheReducedCount",
                    kDerivedOnce,
                    "",
                    "",
                    {{"Main", "M-Num", "3"}, {"Mutli-Command", "4", "Text_Void,V,1"}}},
        TriggerCase{"TabAndHighByteTokens",
                    kThreeMultis,
                    "\xC8x",
                    "a\tb",
                    {{"Mutli-Command", "4", "Text_Void,200,1"},
                     {"Mutli-Command", "5", "Text_Stop,a,1"},
                     {"Text_Void", "1", "2,200,x,1,0,0,TRAN_VOID"},
                     {"Text_Stop", "1", "3,a,009,b,1,0,0,TRAN_STOP"}}},
        TriggerCase{"ControlByteTrigger",
                    kThreeMultis,
                    "\tVoid",
                    "",
                    {{"Mutli-Command", "4", "Text_Void,009,1"}}},
        // The cut-paper command tagged as stop is the Form Feed's sibling, not a keyword trigger.
        TriggerCase{"CutPaperStopIsNoStopTrigger",
                    Lines({"[Main]", "UseDll=1,EscPosCut.dll", "M-Num=1", "[Mutli-Command]",
                           "1=GS-Command,GS,1", "[GS-Command]", "1=2,GS,V,3,CutPaper,0,TRAN_STOP"}),
                    "Void",
                    "",
                    {{"Mutli-Command", "1", "GS-Command,GS,1"},
                     {"Mutli-Command", "2", "Text_Void,V,1"},
                     {"Main", "M-Num", "2"}}},
        // Fault mended: a comma byte is written as 044, so the keyword reads back whole.
        TriggerCase{"CommaWrittenAsDecimal",
                    kThreeMultis,
                    ",5",
                    "",
                    {{"Mutli-Command", "4", "Text_Void,044,1"},
                     {"Text_Void", "1", "2,044,5,1,0,0,TRAN_VOID"}}},
        // Fault mended: a void holder that is not at the end of the list is an entry of the
        // base module; it stays, and the new entries go after the last entry.
        TriggerCase{"HolderInsideTheListIsKept",
                    Lines({"[Main]", "M-Num=3", "[Mutli-Command]", "1=Cancel-Key,CAN,1",
                           "2=GS-Command,GS,1", "3=FS-Command,FS,1", "[Cancel-Key]",
                           "1=1,CAN,1,0,0,TRAN_VOID", "[GS-Command]", "1=2,GS,!,1,1",
                           "[FS-Command]", "1=2,FS,p,1,1"}),
                    "Void",
                    "Cash",
                    {{"Mutli-Command", "1", "Cancel-Key,CAN,1"},
                     {"Mutli-Command", "3", "FS-Command,FS,1"},
                     {"Mutli-Command", "4", "Text_Void,V,1"},
                     {"Mutli-Command", "5", "Text_Stop,C,1"},
                     {"Main", "M-Num", "5"}}},
        // Fault mended: counted from the file's M-Num; entry 2 failed to load but is still there.
        TriggerCase{"CountedFromTheFileWhenAnEntryFailed",
                    Lines({"[Main]", "M-Num=3", "[Mutli-Command]", "1=ESC-Command,ESC,1",
                           "2=Broken", "3=GS-Command,GS,1", "[ESC-Command]", "1=2,ESC,@,0,0",
                           "[GS-Command]", "1=2,GS,!,1,1"}),
                    "Void",
                    "",
                    {{"Mutli-Command", "2", "Broken"},
                     {"Mutli-Command", "3", "GS-Command,GS,1"},
                     {"Mutli-Command", "4", "Text_Void,V,1"},
                     {"Main", "M-Num", "4"}}},
        // The old stop holder stands last and the void holder before it: both go.
        TriggerCase{
            "HoldersInTheLastTwoKeysBothReplaced",
            Lines({"[Main]", "M-Num=3", "[Mutli-Command]", "1=GS-Command,GS,1", "2=Text_Stop,C,1",
                   "3=Text_Void,V,1", "[GS-Command]", "1=2,GS,!,1,1", "[Text_Stop]",
                   "1=4,C,a,s,h,1,0,0,TRAN_STOP", "[Text_Void]", "1=4,V,o,i,d,1,0,0,TRAN_VOID"}),
            "Void",
            "Vale",
            {{"Mutli-Command", "2", "Text_Void,V,2"},
             {"Text_Void", "2", "4,V,a,l,e,1,0,0,TRAN_STOP"},
             {"Main", "M-Num", "2"}}}),
    testing::CaseName());

TEST(FindTriggerHolders, TellsWhichHoldersStandAtTheEnd) {
  ModuleFiles modules;
  modules.Write("m.ini", kDerivedOnce);
  const auto module = modules.Load("m.ini");
  const TriggerHolders holders = FindTriggerHolders(*module, 5);
  EXPECT_EQ(holders.voidHolder, 4);
  EXPECT_EQ(holders.stopHolder, 5);
  EXPECT_TRUE(holders.voidAtEnd);
  EXPECT_TRUE(holders.stopAtEnd);
  EXPECT_EQ(holders.keptCount, 3);
  // With more entries in the file than the holders' keys, neither is at the end.
  const TriggerHolders inside = FindTriggerHolders(*module, 7);
  EXPECT_FALSE(inside.voidAtEnd);
  EXPECT_FALSE(inside.stopAtEnd);
  EXPECT_EQ(inside.keptCount, 7);
}

TEST(WriteKeywordTriggers, StopsAtTheFirstFailedWrite) {
  ModuleFiles modules;
  modules.Write("m.ini", kThreeMultis);
  const auto module = modules.Load("m.ini");
  modules.files.FailOn(testing::FaultyFileSystem::Operation::kReplace, 2);
  EXPECT_EQ(WriteKeywordTriggers(*module, *modules.store, modules.PathOf("m.ini"), "Void", "Cash"),
            WriteStatus::kFailed);
  EXPECT_EQ(modules.Value("m.ini", "Mutli-Command", "4"), "Text_Void,V,1");
  EXPECT_EQ(modules.Value("m.ini", "Mutli-Command", "5"), "<absent>");
  EXPECT_EQ(modules.Value("m.ini", "Main", "M-Num"), "3");
}

}  // namespace
}  // namespace quillmere
