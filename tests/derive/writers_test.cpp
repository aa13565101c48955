// The three writers on module files: which record of the base's model they find and which keys
// of the new file they write; and the keyword records they write, which must read back whole.
#include <gtest/gtest.h>

#include <sstream>
#include <variant>

#include "derive/keyword_triggers.h"
#include "derive/module_files.h"
#include "derive/stop_patchers.h"
#include "module/printer_command_module.h"
#include "module/value_parsers.h"
#include "support/case_name.h"

namespace quillmere {
namespace {

enum Writer { kFormFeed, kCutPaper, kTriggers };

struct WriterCase {
  std::string_view name;
  Writer writer;
  bool option;            // the patcher's option; unused by the trigger writer
  std::string_view base;  // LF lines
  // Blank-separated: "[Section]", then "key=value" the new file holds or "key" it lacks.
  std::string_view expected;
  std::string_view voidKeyword = {};
  std::string_view stopKeyword = {};
};
QUILLMERE_PRINT_ROW_AS_NAME(WriterCase)

WriteStatus RunWriter(const WriterCase& row, const PrinterCommandModule& module,
                      ProfileStore& store, const std::string& target) {
  switch (row.writer) {
    case kFormFeed:
      return PatchFormFeed(module, store, target, row.option);
    case kCutPaper:
      return PatchCutPaper(module, store, target, row.option);
    case kTriggers:
      return WriteKeywordTriggers(module, store, target, row.voidKeyword, row.stopKeyword);
  }
  return WriteStatus::kFailed;
}

class Writers : public ::testing::TestWithParam<WriterCase> {};

// The base is loaded and the writer writes into a copy of it, as a derivation does.
TEST_P(Writers, WriteTheExpectedKeys) {
  const WriterCase& row = GetParam();
  testing::ModuleFiles modules;
  modules.Write("base.ini", row.base);
  modules.Write("new.ini", row.base);
  PrinterCommandModule module(modules.services);
  module.Load(modules.PathOf("base.ini"));
  ASSERT_EQ(RunWriter(row, module, *modules.store, modules.PathOf("new.ini")), WriteStatus::kOk);
  std::istringstream expected{std::string(row.expected)};
  std::string section;
  for (std::string item; expected >> item;) {
    if (item.front() == '[') {
      section = item.substr(1, item.size() - 2);
      continue;
    }
    const std::size_t equals = item.find('=');
    EXPECT_EQ(modules.Value("new.ini", section, item.substr(0, equals)),
              equals == std::string::npos ? "<absent>" : item.substr(equals + 1))
        << section << "/" << item;
  }
  EXPECT_EQ(modules.Read("base.ini"), row.base) << "the base is never written";
}

constexpr std::string_view kFiveSingles =
    "[Main]\nS-Num=5\n[Single-Command]\n1=1,LF,1,0\n2=2,FF,LF,1,0\n3=1,CR,1,0\n4=1,ESC,2\n"
    "5=1,HT,1,0\n[ChangeLine-Command]\n1=1,FF\n";

// The first lone FF single command, rewritten at its own key; appended after the file's S-Num
// (0 when below 0) only when the option is set.
const WriterCase kFormFeedRows[] = {
    {"NotInLongerSequencesOrOtherListsSoAppendedAsKey6", kFormFeed, true, kFiveSingles,
     "[Single-Command] 6=1,FF,1,1,0,TRAN_STOP 2=2,FF,LF,1,0 [Main] S-Num=6 "
     "[ChangeLine-Command] 1=1,FF"},
    {"NegativeCountTakenAsZeroWithoutSingles", kFormFeed, true, "[Main]\nS-Num=-4\n",
     "[Single-Command] 1=1,FF,1,1,0,TRAN_STOP [Main] S-Num=1"},
    {"OnlyTheFirstRewrittenInPlaceAtKey3Of5", kFormFeed, true,
     "[Main]\nS-Num=5\n[Single-Command]\n1=1,LF,1,0\n2=1,CR,1,0\n"
     "3=1,FF,2,7,1,Feed,TRAN_START\n4=1,FF,1,1\n5=1,HT,1,0\n",
     "[Single-Command] 3=1,FF,1,1,0,TRAN_STOP 4=1,FF,1,1 6 [Main] S-Num=5"},
    {"UntaggedWhenTheOptionIsClear", kFormFeed, false,
     "[Main]\nS-Num=1\n[Single-Command]\n1=1,012,1,1,0,TRAN_STOP\n", "[Single-Command] 1=1,FF,1,1"},
    {"NotAppendedWhenTheOptionIsClear", kFormFeed, false, kFiveSingles,
     "[Single-Command] 6 [Main] S-Num=5"},
    // Key 2 failed to load but still holds its line.
    {"AppendedAfterTheFileCount", kFormFeed, true,
     "[Main]\nS-Num=3\n[Single-Command]\n1=1,LF,1,0\n2=1,CR,1\n3=1,HT,1,0\n",
     "[Single-Command] 2=1,CR,1 3=1,HT,1,0 4=1,FF,1,1,0,TRAN_STOP [Main] S-Num=4"},
    {"RewrittenAtItsOwnKeyNotItsPosition", kFormFeed, false,
     "[Main]\nS-Num=2\n[Single-Command]\n1=2,LF\n2=1,FF,1,1,0,TRAN_STOP\n",
     "[Single-Command] 1=2,LF 2=1,FF,1,1"}};
INSTANTIATE_TEST_SUITE_P(FormFeed, Writers, ::testing::ValuesIn(kFormFeedRows),
                         testing::CaseName());

// The first GS V sub-record, rewritten at its own key in its own section; nothing appended.
const WriterCase kCutPaperRows[] = {
    {"SubRecord2OfMultiCommand4Untagged", kCutPaper, false,
     "[Main]\nUseDll=1,EscPosCut.dll\nM-Num=4\n[Mutli-Command]\n1=ESC-Command,ESC,1\n"
     "2=Text_Void,V,1\n3=Other,FS,1\n4=GS-Command,GS,2\n[ESC-Command]\n1=2,ESC,@,0,0\n"
     "[Text_Void]\n1=4,V,o,i,d,1,0,0,TRAN_VOID\n[Other]\n1=3,GS,V,A,1,1\n[GS-Command]\n"
     "1=2,GS,!,1,1\n2=2,GS,V,3,CutPaper,0,TRAN_STOP\n",
     "[GS-Command] 2=2,GS,V,3,CutPaper,0, [Other] 1=3,GS,V,A,1,1"},
    {"OnlyTheFirstTagged", kCutPaper, true,
     "[Main]\nUseDll=1,EscPosCut.dll\nM-Num=2\n[Mutli-Command]\n1=GS-Command,GS,1\n"
     "2=Again,GS,1\n[GS-Command]\n1=2,GS,V,3,CutPaper,0,\n[Again]\n1=2,GS,V,3,CutPaper,0,\n",
     "[GS-Command] 1=2,GS,V,3,CutPaper,0,TRAN_STOP [Again] 1=2,GS,V,3,CutPaper,0,"},
    {"NotFoundWhenItsLibraryIsMissing", kCutPaper, true,
     "[Main]\nUseDll=1,Missing.dll\nM-Num=1\n[Mutli-Command]\n1=GS-Command,GS,1\n"
     "[GS-Command]\n1=2,GS,V,3,CutPaper,0,\n",
     "[GS-Command] 1=2,GS,V,3,CutPaper,0,"},
    {"NothingAppended", kCutPaper, true, kFiveSingles, "[Main] M-Num [Mutli-Command] 1"},
    // Entry 1 and sub-record 1 failed to load.
    {"RewrittenAtItsOwnKeys", kCutPaper, true,
     "[Main]\nUseDll=1,EscPosCut.dll\nM-Num=2\n[Mutli-Command]\n1=Broken,GS\n"
     "2=GS-Command,GS,2\n[Broken]\n1=1,LF,1,0\n[GS-Command]\n1=2,GS,V,3,Cut,0,\n"
     "2=2,GS,V,3,CutPaper,0,\n",
     "[Broken] 1=1,LF,1,0 [GS-Command] 1=2,GS,V,3,Cut,0, 2=2,GS,V,3,CutPaper,0,TRAN_STOP"}};
INSTANTIATE_TEST_SUITE_P(CutPaper, Writers, ::testing::ValuesIn(kCutPaperRows),
                         testing::CaseName());

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

// Triggers go after the file's M-Num less the old holders at the end of the list (the last key,
// or the one before it with the other holder last); M-Num is written even without keywords.
const WriterCase kTriggersRows[] = {
    {"SameFirstByteSharesOneEntryReplacingBothOld", kTriggers, false, kDerivedOnce,
     "[Mutli-Command] 3=FS-Command,FS,1 4=Text_Void,C,2 [Main] M-Num=4 [Text_Void] "
     "1=6,C,a,n,c,e,l,1,0,0,TRAN_VOID 2=6,C,h,a,n,g,e,1,0,0,TRAN_STOP",
     "Cancel", "Change"},
    {"SameKeywordsTwiceKeepTheCount", kTriggers, false,
     "[Main]\nM-Num=2\n[Mutli-Command]\n1=Text_Void,V,1\n2=Text_Stop,C,1\n[Text_Void]\n"
     "1=4,V,o,i,d,1,0,0,TRAN_VOID\n[Text_Stop]\n1=4,C,a,s,h,1,0,0,TRAN_STOP\n",
     "[Mutli-Command] 1=Text_Void,V,1 2=Text_Stop,C,1 [Main] M-Num=2", "Void", "Cash"},
    {"NoKeywordStillWritesTheReducedCount", kTriggers, false, kDerivedOnce,
     "[Main] M-Num=3 [Mutli-Command] 4=Text_Void,V,1"},
    {"TabHighByteAndCommaTokens", kTriggers, false, kThreeMultis,
     "[Mutli-Command] 3=FS-Command,FS,1 4=Text_Void,200,1 5=Text_Stop,044,1 [Main] M-Num=5 "
     "[Text_Void] 1=3,200,x,009,1,0,0,TRAN_VOID [Text_Stop] 1=2,044,5,1,0,0,TRAN_STOP",
     "\xC8x\t", ",5"},
    {"HolderBeforeTheLastAloneIsKept", kTriggers, false,
     "[Main]\nM-Num=2\n[Mutli-Command]\n1=Cancel-Key,CAN,1\n2=GS-Command,GS,1\n"
     "[Cancel-Key]\n1=1,CAN,1,0,0,TRAN_VOID\n[GS-Command]\n1=2,GS,!,1,1\n",
     "[Mutli-Command] 1=Cancel-Key,CAN,1 2=GS-Command,GS,1 3=Text_Void,V,1 4=Text_Stop,C,1 "
     "[Main] M-Num=4",
     "Void", "Cash"},
    {"LoneHolderAtTheLastKeyReplacedByOnlyStop", kTriggers, false,
     "[Main]\nM-Num=2\n[Mutli-Command]\n1=GS-Command,GS,1\n2=Text_Stop,V,1\n"
     "[GS-Command]\n1=2,GS,!,1,1\n[Text_Stop]\n1=4,V,a,l,e,1,0,0,TRAN_STOP\n",
     "[Mutli-Command] 2=Text_Stop,C,1 [Text_Stop] 1=4,C,a,s,h,1,0,0,TRAN_STOP [Text_Void] 1 "
     "[Main] M-Num=2",
     "", "Cash"},
    // Entry 2 failed to load but still holds its key.
    {"CountedFromTheFileWhenAnEntryFailed", kTriggers, false,
     "[Main]\nM-Num=3\n[Mutli-Command]\n1=ESC-Command,ESC,1\n2=Broken\n3=GS-Command,GS,1\n"
     "[ESC-Command]\n1=2,ESC,@,0,0\n[GS-Command]\n1=2,GS,!,1,1\n",
     "[Mutli-Command] 2=Broken 4=Text_Void,V,1 [Main] M-Num=4", "Void"},
    {"StopLastAndVoidBeforeItBothReplaced", kTriggers, false,
     "[Main]\nM-Num=3\n[Mutli-Command]\n1=GS-Command,GS,1\n2=Text_Void,V,1\n3=Text_Stop,C,1\n"
     "[GS-Command]\n1=2,GS,!,1,1\n[Text_Void]\n1=4,V,o,i,d,1,0,0,TRAN_VOID\n[Text_Stop]\n"
     "1=4,C,a,s,h,1,0,0,TRAN_STOP\n",
     "[Mutli-Command] 1=GS-Command,GS,1 2=Text_Void,V,2 [Main] M-Num=2 "
     "[Text_Void] 2=4,V,a,l,e,1,0,0,TRAN_STOP",
     "Void", "Vale"}};
INSTANTIATE_TEST_SUITE_P(Triggers, Writers, ::testing::ValuesIn(kTriggersRows),
                         testing::CaseName());

// Control bytes, DEL and up, and the comma take three digits; every byte reads back as itself.
TEST(KeywordRecord, ReadsBackAsTheKeyword) {
  EXPECT_EQ(EncodeByteToken(31), "031");
  EXPECT_EQ(EncodeByteToken(' '), " ");
  EXPECT_EQ(EncodeByteToken('~'), "~");
  EXPECT_EQ(EncodeByteToken(127), "127");
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<std::uint8_t>(value);
    EXPECT_EQ(ParseByteToken(EncodeByteToken(byte)), byte) << "byte " << value;
  }
  // A keyword's record parses back as exactly that keyword, up to the 259 characters of a read.
  EXPECT_EQ(StopKeywordRecord(std::string(120, 'k')).size(), kProfileValueMax);
  for (const std::string& keyword : {std::string("1,50"), std::string("\0\x01,\xFF", 4),
                                     std::string(" x "), std::string(120, 'k')}) {
    TagFlags flags;
    const auto parsed = ParseCommandValue(StopKeywordRecord(keyword), LibraryBinding{}, flags);
    ASSERT_TRUE(std::holds_alternative<CommandRecord>(parsed)) << keyword;
    const auto& record = std::get<CommandRecord>(parsed);
    EXPECT_EQ(std::string(record.bytes.begin(), record.bytes.end()), keyword);
    EXPECT_EQ(record.event, TransactionEvent::kStop);
  }
  EXPECT_TRUE(KeywordRecordsFit(std::string(120, 'a'), std::string(60, '\t')));
  EXPECT_FALSE(KeywordRecordsFit(std::string(121, 'a'), ""));
  EXPECT_FALSE(KeywordRecordsFit("Void", std::string(61, '\t')));
  EXPECT_FALSE(KeywordRecordsFit(std::string(61, ','), ""));
  EXPECT_FALSE(KeywordRecordsFit(std::string(100000, 'a'), ""));
}

}  // namespace
}  // namespace quillmere
