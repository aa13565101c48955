// The three writers on module files: which record of the base's model they find, and which keys
// of the new file they write. Bases are LF files; "Section/key=value" is a key the new file must
// hold, "Section/key" one it must not.
#include <gtest/gtest.h>

#include <vector>

#include "derive/keyword_triggers.h"
#include "derive/module_files.h"
#include "derive/stop_patchers.h"
#include "support/case_name.h"

namespace quillmere {
namespace {

using testing::ModuleFiles;

enum class Writer { kFormFeedOn, kFormFeedOff, kCutPaperOn, kCutPaperOff, kTriggers };

struct WriterCase {
  std::string_view name;
  Writer writer;
  std::string_view base;
  std::vector<std::string_view> expected;
  std::string_view voidKeyword = {};
  std::string_view stopKeyword = {};
};
QUILLMERE_PRINT_ROW_AS_NAME(WriterCase)

WriteStatus RunWriter(const WriterCase& row, const PrinterCommandModule& module,
                      ProfileStore& store, const std::string& target) {
  switch (row.writer) {
    case Writer::kFormFeedOn:
      return PatchFormFeed(module, store, target, true);
    case Writer::kFormFeedOff:
      return PatchFormFeed(module, store, target, false);
    case Writer::kCutPaperOn:
      return PatchCutPaper(module, store, target, true);
    case Writer::kCutPaperOff:
      return PatchCutPaper(module, store, target, false);
    case Writer::kTriggers:
      return WriteKeywordTriggers(module, store, target, row.voidKeyword, row.stopKeyword);
  }
  return WriteStatus::kFailed;
}

class Writers : public ::testing::TestWithParam<WriterCase> {};

// The base is loaded and the writer writes into a copy of it, as a derivation does.
TEST_P(Writers, WriteTheExpectedKeys) {
  const WriterCase& row = GetParam();
  ModuleFiles modules;
  modules.Write("base.ini", row.base);
  modules.Write("new.ini", row.base);
  const auto module = modules.Load("base.ini");
  ASSERT_EQ(RunWriter(row, *module, *modules.store, modules.PathOf("new.ini")), WriteStatus::kOk);
  for (const std::string_view expected : row.expected) {
    const std::size_t slash = expected.find('/');
    const std::size_t equals = expected.find('=', slash);
    const std::string_view section = expected.substr(0, slash);
    const std::string_view key = expected.substr(slash + 1, equals - slash - 1);
    const std::string_view value =
        equals == std::string_view::npos ? "<absent>" : expected.substr(equals + 1);
    EXPECT_EQ(modules.Value("new.ini", section, key), value) << expected;
  }
  EXPECT_EQ(modules.Read("base.ini"), row.base) << "the base is never written";
}

constexpr std::string_view kFiveSingles =
    "[Main]\nS-Num=5\n[Single-Command]\n1=1,LF,1,0\n2=2,FF,LF,1,0\n3=1,CR,1,0\n4=1,ESC,2\n"
    "5=1,HT,1,0\n[ChangeLine-Command]\n1=1,FF\n";
constexpr std::string_view kGsVInMulti4 =
    "[Main]\nUseDll=1,EscPosCut.dll\nM-Num=4\n[Mutli-Command]\n1=ESC-Command,ESC,1\n"
    "2=Text_Void,V,1\n3=Other,FS,1\n4=GS-Command,GS,2\n[ESC-Command]\n1=2,ESC,@,0,0\n"
    "[Text_Void]\n1=4,V,o,i,d,1,0,0,TRAN_VOID\n[Other]\n1=3,GS,V,A,1,1\n"
    "[GS-Command]\n1=2,GS,!,1,1\n2=2,GS,V,3,CutPaper,0,TRAN_STOP\n";
constexpr std::string_view kThreeMultis =
    "[Main]\nM-Num=3\n[Mutli-Command]\n1=ESC-Command,ESC,1\n2=GS-Command,GS,1\n"
    "3=FS-Command,FS,1\n[ESC-Command]\n1=2,ESC,@,0,0\n[GS-Command]\n1=2,GS,!,1,1\n"
    "[FS-Command]\n1=2,FS,p,1,1\n";
// kThreeMultis after a derivation with Void and Cash.
constexpr std::string_view kDerivedOnce =
    "[Main]\nM-Num=5\n[Mutli-Command]\n1=ESC-Command,ESC,1\n2=GS-Command,GS,1\n"
    "3=FS-Command,FS,1\n4=Text_Void,V,1\n5=Text_Stop,C,1\n[ESC-Command]\n1=2,ESC,@,0,0\n"
    "[GS-Command]\n1=2,GS,!,1,1\n[FS-Command]\n1=2,FS,p,1,1\n[Text_Void]\n"
    "1=4,V,o,i,d,1,0,0,TRAN_VOID\n[Text_Stop]\n1=4,C,a,s,h,1,0,0,TRAN_STOP\n";

INSTANTIATE_TEST_SUITE_P(
    FormFeed, Writers,
    ::testing::Values(
        WriterCase{"AppendedAfterFiveRecords",
                   Writer::kFormFeedOn,
                   kFiveSingles,
                   {"Single-Command/6=1,FF,1,1,0,TRAN_STOP", "Main/S-Num=6",
                    "Single-Command/2=2,FF,LF,1,0", "ChangeLine-Command/1=1,FF"}},
        WriterCase{"AppendedToAModuleWithoutSingles",
                   Writer::kFormFeedOn,
                   "[Main]\n",
                   {"Single-Command/1=1,FF,1,1,0,TRAN_STOP", "Main/S-Num=1"}},
        WriterCase{"RewrittenInPlaceAtKey3Of5",
                   Writer::kFormFeedOn,
                   "[Main]\nS-Num=5\n[Single-Command]\n1=1,LF,1,0\n2=1,CR,1,0\n"
                   "3=1,FF,2,7,1,Feed,TRAN_START\n4=1,FF,1,1\n5=1,HT,1,0\n",
                   {"Single-Command/3=1,FF,1,1,0,TRAN_STOP", "Single-Command/4=1,FF,1,1",
                    "Main/S-Num=5", "Single-Command/6"}},
        WriterCase{"UntaggedWhenTheOptionIsClear",
                   Writer::kFormFeedOff,
                   "[Main]\nS-Num=1\n[Single-Command]\n1=1,012,1,1,0,TRAN_STOP\n",
                   {"Single-Command/1=1,FF,1,1"}},
        WriterCase{"NotAppendedWhenTheOptionIsClear",
                   Writer::kFormFeedOff,
                   kFiveSingles,
                   {"Single-Command/6", "Main/S-Num=5"}},
        // Mended: appended after the file's count; key 2 failed to load but still holds a line.
        WriterCase{
            "AppendedAfterTheFileCount",
            Writer::kFormFeedOn,
            "[Main]\nS-Num=3\n[Single-Command]\n1=1,LF,1,0\n2=1,CR,1\n3=1,HT,1,0\n",
            {"Single-Command/3=1,HT,1,0", "Single-Command/4=1,FF,1,1,0,TRAN_STOP", "Main/S-Num=4"}},
        // Mended: the found record's own key, not its position.
        WriterCase{"RewrittenAtItsOwnKey",
                   Writer::kFormFeedOff,
                   "[Main]\nS-Num=2\n[Single-Command]\n1=2,LF\n2=1,FF,1,1,0,TRAN_STOP\n",
                   {"Single-Command/1=2,LF", "Single-Command/2=1,FF,1,1"}},
        WriterCase{"NegativeCountAppendsAtKey1",
                   Writer::kFormFeedOn,
                   "[Main]\nS-Num=-4\n",
                   {"Single-Command/1=1,FF,1,1,0,TRAN_STOP", "Main/S-Num=1"}}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(
    CutPaper, Writers,
    ::testing::Values(
        WriterCase{"SubRecord2OfMultiCommand4Untagged",
                   Writer::kCutPaperOff,
                   kGsVInMulti4,
                   {"GS-Command/2=2,GS,V,3,CutPaper,0,", "Other/1=3,GS,V,A,1,1"}},
        WriterCase{"Tagged",
                   Writer::kCutPaperOn,
                   "[Main]\nUseDll=1,EscPosCut.dll\nM-Num=1\n[Mutli-Command]\n1=GS-Command,GS,1\n"
                   "[GS-Command]\n1=2,GS,V,3,CutPaper,0,\n",
                   {"GS-Command/1=2,GS,V,3,CutPaper,0,TRAN_STOP"}},
        WriterCase{"NotLoadedWithoutItsLibrary",
                   Writer::kCutPaperOn,
                   "[Main]\nUseDll=1,Missing.dll\nM-Num=1\n[Mutli-Command]\n1=GS-Command,GS,1\n"
                   "[GS-Command]\n1=2,GS,V,3,CutPaper,0,\n",
                   {"GS-Command/1=2,GS,V,3,CutPaper,0,"}},
        WriterCase{"NothingAppended",
                   Writer::kCutPaperOn,
                   kFiveSingles,
                   {"Main/M-Num", "Mutli-Command/1"}},
        // Mended: its own keys, although entry 1 and sub-record 1 failed to load.
        WriterCase{"RewrittenAtItsOwnKeys",
                   Writer::kCutPaperOn,
                   "[Main]\nUseDll=1,EscPosCut.dll\nM-Num=2\n[Mutli-Command]\n1=Broken,GS\n"
                   "2=GS-Command,GS,2\n[Broken]\n1=1,LF,1,0\n[GS-Command]\n1=2,GS,V,3,Cut,0,\n"
                   "2=2,GS,V,3,CutPaper,0,\n",
                   {"Broken/1=1,LF,1,0", "GS-Command/1=2,GS,V,3,Cut,0,",
                    "GS-Command/2=2,GS,V,3,CutPaper,0,TRAN_STOP"}}),
    testing::CaseName());

INSTANTIATE_TEST_SUITE_P(
    Triggers, Writers,
    ::testing::Values(
        WriterCase{"VoidAndStopAfterThreeEntries",
                   Writer::kTriggers,
                   kThreeMultis,
                   {"Mutli-Command/3=FS-Command,FS,1", "Mutli-Command/4=Text_Void,V,1",
                    "Mutli-Command/5=Text_Stop,C,1", "Text_Void/1=4,V,o,i,d,1,0,0,TRAN_VOID",
                    "Text_Stop/1=4,C,a,s,h,1,0,0,TRAN_STOP", "Main/M-Num=5"},
                   "Void",
                   "Cash"},
        WriterCase{"RederivedTriggersReplaceTheOldOnes",
                   Writer::kTriggers,
                   kDerivedOnce,
                   {"Mutli-Command/3=FS-Command,FS,1", "Mutli-Command/4=Text_Void,C,2",
                    "Text_Void/1=6,C,a,n,c,e,l,1,0,0,TRAN_VOID",
                    "Text_Void/2=6,C,h,a,n,g,e,1,0,0,TRAN_STOP", "Main/M-Num=4",
                    "Mutli-Command/5=Text_Stop,C,1", "Text_Stop/1=4,C,a,s,h,1,0,0,TRAN_STOP"},
                   "Cancel",
                   "Change"},
        WriterCase{
            "SameKeywordsTwiceKeepTheCount",
            Writer::kTriggers,
            "[Main]\nM-Num=2\n[Mutli-Command]\n1=Text_Void,V,1\n2=Text_Stop,C,1\n"
            "[Text_Void]\n1=4,V,o,i,d,1,0,0,TRAN_VOID\n[Text_Stop]\n"
            "1=4,C,a,s,h,1,0,0,TRAN_STOP\n",
            {"Mutli-Command/1=Text_Void,V,1", "Mutli-Command/2=Text_Stop,C,1", "Main/M-Num=2"},
            "Void",
            "Cash"},
        WriterCase{"OnlyVoidDropsTheOldStopTrigger",
                   Writer::kTriggers,
                   kDerivedOnce,
                   {"Mutli-Command/4=Text_Void,V,1", "Main/M-Num=4"},
                   "Void"},
        WriterCase{"OnlyStop",
                   Writer::kTriggers,
                   kThreeMultis,
                   {"Mutli-Command/4=Text_Stop,C,1", "Text_Void/1", "Main/M-Num=4"},
                   "",
                   "Cash"},
        WriterCase{"NoKeywordStillWritesTheReducedCount",
                   Writer::kTriggers,
                   kDerivedOnce,
                   {"Main/M-Num=3", "Mutli-Command/4=Text_Void,V,1"}},
        WriterCase{
            "TabHighByteAndCommaTokens",
            Writer::kTriggers,
            kThreeMultis,
            {"Mutli-Command/4=Text_Void,200,1", "Mutli-Command/5=Text_Stop,044,1",
             "Text_Void/1=3,200,x,009,1,0,0,TRAN_VOID", "Text_Stop/1=2,044,5,1,0,0,TRAN_STOP"},
            "\xC8x\t",
            ",5"},
        // The cut-paper command tagged as stop is a stop command, not a keyword trigger.
        WriterCase{
            "CutPaperStopIsNoStopTrigger",
            Writer::kTriggers,
            "[Main]\nUseDll=1,EscPosCut.dll\nM-Num=1\n[Mutli-Command]\n1=GS-Command,GS,1\n"
            "[GS-Command]\n1=2,GS,V,3,CutPaper,0,TRAN_STOP\n",
            {"Mutli-Command/1=GS-Command,GS,1", "Mutli-Command/2=Text_Void,V,1", "Main/M-Num=2"},
            "Void"},
        // Mended: a void holder inside the list is a command of the base module and stays.
        WriterCase{"HolderInsideTheListIsKept",
                   Writer::kTriggers,
                   "[Main]\nM-Num=2\n[Mutli-Command]\n1=Cancel-Key,CAN,1\n2=GS-Command,GS,1\n"
                   "[Cancel-Key]\n1=1,CAN,1,0,0,TRAN_VOID\n[GS-Command]\n1=2,GS,!,1,1\n",
                   {"Mutli-Command/1=Cancel-Key,CAN,1", "Mutli-Command/2=GS-Command,GS,1",
                    "Mutli-Command/3=Text_Void,V,1", "Main/M-Num=4"},
                   "Void",
                   "Cash"},
        // Mended: counted from the file's M-Num; entry 2 failed to load but is still there.
        WriterCase{"CountedFromTheFileWhenAnEntryFailed",
                   Writer::kTriggers,
                   "[Main]\nM-Num=3\n[Mutli-Command]\n1=ESC-Command,ESC,1\n2=Broken\n"
                   "3=GS-Command,GS,1\n[ESC-Command]\n1=2,ESC,@,0,0\n[GS-Command]\n1=2,GS,!,1,1\n",
                   {"Mutli-Command/2=Broken", "Mutli-Command/4=Text_Void,V,1", "Main/M-Num=4"},
                   "Void"},
        // The stop holder is last and the void holder before it: both give way.
        WriterCase{"HoldersInTheLastTwoKeysBothReplaced",
                   Writer::kTriggers,
                   "[Main]\nM-Num=3\n[Mutli-Command]\n1=GS-Command,GS,1\n2=Text_Void,V,1\n"
                   "3=Text_Stop,C,1\n[GS-Command]\n1=2,GS,!,1,1\n[Text_Void]\n"
                   "1=4,V,o,i,d,1,0,0,TRAN_VOID\n[Text_Stop]\n1=4,C,a,s,h,1,0,0,TRAN_STOP\n",
                   {"Mutli-Command/2=Text_Void,V,2", "Text_Void/2=4,V,a,l,e,1,0,0,TRAN_STOP",
                    "Main/M-Num=2"},
                   "Void",
                   "Vale"}),
    testing::CaseName());

TEST(WriteKeywordTriggers, StopsAtTheFirstFailedWrite) {
  ModuleFiles modules;
  modules.Write("m.ini", kThreeMultis);
  const auto module = modules.Load("m.ini");
  modules.files.FailOn(testing::FaultyFileSystem::Operation::kReplace, 2);
  EXPECT_EQ(WriteKeywordTriggers(*module, *modules.store, modules.PathOf("m.ini"), "Void", "Cash"),
            WriteStatus::kFailed);
  EXPECT_EQ(modules.Value("m.ini", "Mutli-Command", "5"), "<absent>");
  EXPECT_EQ(modules.Value("m.ini", "Main", "M-Num"), "3");
}

}  // namespace
}  // namespace quillmere
