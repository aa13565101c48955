// Loading whole module files written by the tests: lists in key order with their keys, the
// module library found beside the module file, kind-3 records and the barcode analyser bound
// through it, the wait time's bounds, the tag flags, Release and reload, untrusted counts, and
// what the load tells of every record it left out.
#include "module/printer_command_module.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "module/counting_profile_store.h"
#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/case_name.h"
#include "support/fake_library_loader.h"
#include "support/ini_text.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::CaseName;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Lines;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::int32_t> KeysOf(const std::vector<CommandRecord>& records) {
  std::vector<std::int32_t> keys;
  keys.reserve(records.size());
  for (const CommandRecord& record : records) {
    keys.push_back(record.key);
  }
  return keys;
}

// Makes `folder` the current folder for one test and goes back afterwards.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& folder)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~ScopedCurrentFolder() { std::filesystem::current_path(previous_); }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

class ModuleLoadTest : public ::testing::Test {
 protected:
  std::string WriteModule(std::string_view name, std::initializer_list<std::string_view> lines) {
    return folder.Write(name, Lines(lines));
  }

  std::unique_ptr<PrinterCommandModule> Loaded(const std::string& path) {
    auto module = std::make_unique<PrinterCommandModule>(services);
    EXPECT_TRUE(module->Load(path));
    return module;
  }

  // A library file at `name` in the folder that the fake loader loads with `exports`.
  std::string PlaceLibrary(std::string_view name, std::set<std::string, std::less<>> exports) {
    std::string path = folder.Write(name, "library");
    libraries.Add(path, std::move(exports));
    return path;
  }

  testing::TempFolder folder;
  std::unique_ptr<ProfileStore> realStore = MakeProfileStore(RealFileSystem());
  testing::CountingProfileStore store{*realStore};
  testing::FakeLibraryLoader libraries;
  PlatformServices services{store, RealFileSystem(), libraries};
};

// --- A whole file -------------------------------------------------------------------------

TEST_F(ModuleLoadTest, ReadsEveryPartOfAModuleFile) {
  PlaceLibrary("epson.dll", {"CutPaper", "AnalyzeBarcode"});
  const std::string path = WriteModule("Epson.ini", {"[Main]",
                                                     "Module_Name=Epson TM",
                                                     "UseDll=1,epson.dll",
                                                     "C-Num=1",
                                                     "S-Num=2",
                                                     "M-Num=1",
                                                     "[ChangeLine-Command]",
                                                     "1=2,CR,LF",
                                                     "[Single-Command]",
                                                     "1=1,FF,1,1",
                                                     "2=1,ESC,2,1,Hello,TRAN_START",
                                                     "[Mutli-Command]",
                                                     "1=Cut,GS,1",
                                                     "[Cut]",
                                                     "1=2,GS,V,3,CutPaper,0,TRAN_STOP",
                                                     "[BARCODE]",
                                                     "1=2,GS,k,1,2",
                                                     "[BARCODE_Analyze]",
                                                     "1=AnalyzeBarcode",
                                                     "[STOP_EVENT]",
                                                     "WaitTime=45"});
  const auto module = Loaded(path);

  EXPECT_EQ(module->moduleName, "Epson TM");
  EXPECT_EQ(module->modulePath, path);
  EXPECT_TRUE(module->useLibrary);
  ASSERT_NE(module->library, nullptr);
  EXPECT_EQ(module->library->Path(), folder.PathOf("epson.dll"));
  EXPECT_EQ(module->librarySetting, "1,epson.dll");

  ASSERT_EQ(module->changeLineCommands.size(), 1U);
  EXPECT_EQ(module->changeLineCommands[0].bytes, (Bytes{0x0D, 0x0A}));
  EXPECT_EQ(module->changeLineBuffer, Bytes(2));

  ASSERT_EQ(module->singleCommands.size(), 2U);
  EXPECT_EQ(module->singleCommands[0].bytes, Bytes{0x0C});
  EXPECT_EQ(module->singleCommands[1].text, "Hello");
  EXPECT_EQ(module->singleCommands[1].event, TransactionEvent::kStart);

  ASSERT_EQ(module->multiCommands.size(), 1U);
  const MultiCommand& cut = module->multiCommands[0];
  EXPECT_EQ(cut.trigger, 29);
  EXPECT_EQ(cut.section, "Cut");
  EXPECT_EQ(cut.key, 1);
  ASSERT_EQ(cut.records.size(), 1U);
  EXPECT_EQ(cut.records[0].function, "CutPaper");
  EXPECT_EQ(cut.records[0].event, TransactionEvent::kStop);

  ASSERT_TRUE(module->barcodeCommand.has_value());
  EXPECT_EQ(module->barcodeCommand->bytes, (Bytes{0x1D, 'k'}));
  EXPECT_EQ(module->barcodeAnalyzer, "AnalyzeBarcode");
  EXPECT_EQ(module->waitTime, 45);
  EXPECT_FALSE(module->noStartTag);
  EXPECT_FALSE(module->noStopTag);
  EXPECT_THAT(module->leftOut, IsEmpty());
  EXPECT_THAT(module->missingKeys, IsEmpty());
  EXPECT_EQ(store.writes, 0);
}

TEST_F(ModuleLoadTest, AnAbsentFileReadsAsAllDefaults) {
  const auto module = Loaded(folder.PathOf("absent.ini"));
  EXPECT_EQ(module->moduleName, "");
  EXPECT_FALSE(module->useLibrary);
  EXPECT_EQ(module->library, nullptr);
  EXPECT_EQ(module->librarySetting, "0,");
  EXPECT_THAT(module->changeLineCommands, IsEmpty());
  EXPECT_THAT(module->singleCommands, IsEmpty());
  EXPECT_THAT(module->multiCommands, IsEmpty());
  EXPECT_FALSE(module->barcodeCommand.has_value());
  EXPECT_FALSE(module->changeLineBuffer.has_value());
  EXPECT_EQ(module->waitTime, 30);
  EXPECT_THAT(module->leftOut, IsEmpty());
  EXPECT_EQ(libraries.LoadCalls(), 0);
}

// --- Lists: no gaps, key order, keys kept ----------------------------------------------------

TEST_F(ModuleLoadTest, AMalformedChangeLineKeyLeavesNoGapAndTheKeysStay) {
  const auto module = Loaded(WriteModule(
      "m.ini", {"[Main]", "C-Num=3", "[ChangeLine-Command]", "1=2,CR,LF", "2=3,CR,LF", "3=1,ESC"}));
  ASSERT_EQ(module->changeLineCommands.size(), 2U);
  EXPECT_EQ(module->changeLineCommands[0].bytes, (Bytes{0x0D, 0x0A}));
  EXPECT_EQ(module->changeLineCommands[1].bytes, Bytes{0x1B});
  EXPECT_THAT(KeysOf(module->changeLineCommands), ElementsAre(1, 3));
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "ChangeLine-Command");
  EXPECT_EQ(module->leftOut[0].key, 2);
  EXPECT_EQ(module->leftOut[0].value, "3,CR,LF");
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kMissingByte);
  EXPECT_EQ(module->leftOut[0].error.detail, "3");
}

TEST_F(ModuleLoadTest, AMalformedSingleCommandLeavesNoGapAndTheKeysStay) {
  const auto module = Loaded(WriteModule(
      "m.ini", {"[Main]", "S-Num=3", "[Single-Command]", "1=1,FF,1,1", "2=1,SP,1", "3=1,ESC,2"}));
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1, 3));
  EXPECT_EQ(module->singleCommands[1].bytes, Bytes{0x1B});
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "Single-Command");
  EXPECT_EQ(module->leftOut[0].key, 2);
  EXPECT_EQ(module->leftOut[0].value, "1,SP,1");
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kMissingParameter);
}

TEST_F(ModuleLoadTest, ListsFollowKeyOrderNotFileOrder) {
  const auto module = Loaded(WriteModule(
      "m.ini", {"[Main]", "S-Num=3", "[Single-Command]", "3=1,C,1,1", "1=1,A,1,1", "2=1,B,1,1"}));
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1, 2, 3));
  EXPECT_EQ(module->singleCommands[0].bytes, Bytes{'A'});
  EXPECT_EQ(module->singleCommands[2].bytes, Bytes{'C'});
}

TEST_F(ModuleLoadTest, KeysAboveTheCountAreNeverRead) {
  const auto module = Loaded(WriteModule(
      "m.ini", {"[Main]", "S-Num=1", "[Single-Command]", "1=1,A,1,1", "2=1,B,1,1", "3=1,SP"}));
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1));
  EXPECT_THAT(module->leftOut, IsEmpty());
  EXPECT_EQ(store.stringReadsBySection["Single-Command"], 1);
}

TEST_F(ModuleLoadTest, OnlyKeysWrittenAsPlainDecimalsAreListKeys) {
  // A read of key "2" finds neither "02" nor "+2"; blanks around a key name are no part of it;
  // a key that stands twice is read once, from its first line.
  const auto module = Loaded(WriteModule(
      "m.ini", {"[Main]", "S-Num=5", "[Single-Command]", "01=1,A,1,1", "+2=1,B,1,1", " 3 = 1,C,1,1",
                "1=1,D,1,1", "1=1,E,1,1", "6=1,F,1,1", "0=1,G,1,1", "5x=1,H,1,1", "-4=1,I,1,1"}));
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1, 3));
  EXPECT_EQ(module->singleCommands[0].bytes, Bytes{'D'});
  EXPECT_EQ(module->singleCommands[1].bytes, Bytes{'C'});
  EXPECT_EQ(store.stringReadsBySection["Single-Command"], 2);
  ASSERT_EQ(module->missingKeys.size(), 1U);
  EXPECT_EQ(module->missingKeys[0].section, "Single-Command");
  EXPECT_EQ(module->missingKeys[0].count, 5);
  EXPECT_EQ(module->missingKeys[0].keysPresent, 2);
}

TEST_F(ModuleLoadTest, SectionAndKeyNamesMatchIgnoringCase) {
  const auto module = Loaded(WriteModule(
      "m.ini", {"[main]", "module_name=Lower", "s-num=1", "[SINGLE-COMMAND]", "1=1,A,1,1"}));
  EXPECT_EQ(module->moduleName, "Lower");
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1));
}

TEST_F(ModuleLoadTest, AnEmptyValueIsLeftOutAsAnAbsentCount) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "S-Num=2", "[Single-Command]", "1=", "2=1,A,1,1"}));
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(2));
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].key, 1);
  EXPECT_EQ(module->leftOut[0].value, "");
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kMissingCount);
}

// --- The change-line buffer: as long as the longest change-line record ----------------------

struct BufferCase {
  const char* name;
  std::vector<std::string_view> records;  // keys 1, 2, ... of ChangeLine-Command
  std::optional<std::size_t> bufferSize;
};

class ChangeLineBufferTest : public ModuleLoadTest,
                             public ::testing::WithParamInterface<BufferCase> {};

TEST_P(ChangeLineBufferTest, IsSizedByTheLongestRecordThatParsed) {
  std::string text = Lines(
      {"[Main]", "C-Num=" + std::to_string(GetParam().records.size()), "[ChangeLine-Command]"});
  for (std::size_t i = 0; i < GetParam().records.size(); ++i) {
    text += Lines({std::to_string(i + 1) + "=" + std::string(GetParam().records[i])});
  }
  const auto module = Loaded(folder.Write("m.ini", text));
  ASSERT_EQ(module->changeLineBuffer.has_value(), GetParam().bufferSize.has_value());
  if (GetParam().bufferSize) {
    EXPECT_EQ(module->changeLineBuffer->size(), *GetParam().bufferSize);
  }
}

const BufferCase kBufferCases[] = {
    {"TwoAndFiveBytesGiveFive", {"2,CR,LF", "5,1,2,3,4,5"}, 5},
    {"LongestFirst", {"5,1,2,3,4,5", "2,CR,LF"}, 5},
    {"NoRecordsGiveNone", {}, std::nullopt},
    {"OnlyEmptyRecordsGiveNone", {"0", "0"}, std::nullopt},
    {"AFailedLongRecordDoesNotCount", {"9,1,2,3", "2,CR,LF"}, 2},
    {"OnlyFailedRecordsGiveNone", {"9,1,2,3"}, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Sizes, ChangeLineBufferTest, ::testing::ValuesIn(kBufferCases),
                         CaseName());

TEST_F(ModuleLoadTest, TheChangeLineBufferStaysWhenTheNextLoadHasNoRecords) {
  PrinterCommandModule module(services);
  module.Load(WriteModule("a.ini", {"[Main]", "C-Num=1", "[ChangeLine-Command]", "1=4,A,B,C,D"}));
  module.Release();
  ASSERT_EQ(module.changeLineBuffer, Bytes(4));
  module.Load(WriteModule("b.ini", {"[Main]", "C-Num=1", "[ChangeLine-Command]", "1=0"}));
  EXPECT_EQ(module.changeLineBuffer, Bytes(4));
  module.Release();
  module.Load(WriteModule("c.ini", {"[Main]", "C-Num=1", "[ChangeLine-Command]", "1=2,A,B"}));
  EXPECT_EQ(module.changeLineBuffer, Bytes(2));
}

// --- WaitTime: default 30, bounded to 1..600 ------------------------------------------------

struct WaitCase {
  const char* name;
  std::optional<std::string_view> value;  // none: no WaitTime key
  std::int32_t waitTime;
};

class WaitTimeTest : public ModuleLoadTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WaitTimeTest, IsBounded) {
  std::string text = Lines({"[Main]", "Module_Name=W", "[STOP_EVENT]"});
  if (GetParam().value) {
    text += Lines({"WaitTime=" + std::string(*GetParam().value)});
  }
  EXPECT_EQ(Loaded(folder.Write("m.ini", text))->waitTime, GetParam().waitTime);
}

const WaitCase kWaitCases[] = {
    {"AbsentIsThirty", std::nullopt, 30},
    {"ZeroIsOne", "0", 1},
    {"OneIsOne", "1", 1},
    {"TextIsOne", "x", 1},
    {"NegativeIsOne", "-5", 1},
    {"TwoStays", "2", 2},
    {"SixHundredStays", "600", 600},
    {"SixHundredOneIsSixHundred", "601", 600},
    {"HugeIsSixHundred", "2000000000", 600},
};
INSTANTIATE_TEST_SUITE_P(Bounds, WaitTimeTest, ::testing::ValuesIn(kWaitCases), CaseName());

// --- Where the module library is found ------------------------------------------------------

TEST_F(ModuleLoadTest, ALibraryBesideTheModuleFileLoadsThroughTheModuleFolder) {
  const std::string library = PlaceLibrary("mods/beside_only_4f2a.dll", {"CutPaper"});
  ASSERT_FALSE(RealFileSystem().Exists("beside_only_4f2a.dll"));  // not in the current folder
  const auto module =
      Loaded(WriteModule("mods/m.ini", {"[Main]", "UseDll=1,beside_only_4f2a.dll", "S-Num=1",
                                        "[Single-Command]", "1=2,GS,V,3,CutPaper,0,"}));
  EXPECT_THAT(libraries.loadedPaths, ElementsAre(library));
  EXPECT_EQ(module->libraryFoundAt, library);
  ASSERT_NE(module->library, nullptr);
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1));
}

TEST_F(ModuleLoadTest, ALibraryPathThatExistsAsWrittenIsTakenUnchanged) {
  testing::TempFolder elsewhere;
  const std::string library = elsewhere.Write("cut.dll", "library");
  libraries.Add(library, {"CutPaper"});
  PlaceLibrary("cut.dll", {"CutPaper"});  // beside the module too, but not chosen
  const auto module = Loaded(WriteModule("m.ini", {"[Main]", "UseDll=1," + library}));
  EXPECT_THAT(libraries.loadedPaths, ElementsAre(library));
  EXPECT_EQ(module->libraryFoundAt, library);
}

TEST_F(ModuleLoadTest, ARelativeLibraryPathInTheCurrentFolderComesBeforeTheModuleFolder) {
  testing::TempFolder current;
  current.Write("cut.dll", "library");
  libraries.Add("cut.dll", {"CutPaper"});
  PlaceLibrary("cut.dll", {"CutPaper"});
  const std::string path = WriteModule("m.ini", {"[Main]", "UseDll=1,cut.dll"});
  const ScopedCurrentFolder inCurrent(current.path());
  const auto module = Loaded(path);
  EXPECT_THAT(libraries.loadedPaths, ElementsAre("cut.dll"));
  ASSERT_NE(module->library, nullptr);
}

struct LibrarySettingCase {
  const char* name;
  std::string_view useDll;
};

class NoLibraryLoadTest : public ModuleLoadTest,
                          public ::testing::WithParamInterface<LibrarySettingCase> {};

TEST_P(NoLibraryLoadTest, LoadsNothing) {
  PlaceLibrary("cut.dll", {"CutPaper"});
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "UseDll=" + std::string(GetParam().useDll)}));
  EXPECT_EQ(libraries.LoadCalls(), 0);
  EXPECT_EQ(module->library, nullptr);
  EXPECT_EQ(module->libraryFoundAt, "");
}

const LibrarySettingCase kNoLibraryCases[] = {
    {"FlagZero", "0,cut.dll"},       {"FlagWithoutPath", "1"},
    {"FlagAndEmptyPath", "1,"},      {"FlagThatIsNoNumber", "yes,cut.dll"},
    {"MissingFile", "1,absent.dll"},
};
INSTANTIATE_TEST_SUITE_P(Settings, NoLibraryLoadTest, ::testing::ValuesIn(kNoLibraryCases),
                         CaseName());

TEST_F(ModuleLoadTest, UseLibraryKeepsTheFlagReadWhenNoLibraryIsFound) {
  const auto module = Loaded(WriteModule("m.ini", {"[Main]", "UseDll=1,absent.dll"}));
  EXPECT_TRUE(module->useLibrary);
  EXPECT_EQ(module->library, nullptr);
}

TEST_F(ModuleLoadTest, AFileThatIsNoLibraryIsFoundButNotLoaded) {
  const std::string file = folder.Write("broken.dll", "not a library");
  const auto module = Loaded(WriteModule("m.ini", {"[Main]", "UseDll=1,broken.dll"}));
  EXPECT_THAT(libraries.loadedPaths, ElementsAre(file));
  EXPECT_EQ(module->libraryFoundAt, file);
  EXPECT_EQ(module->library, nullptr);
}

// --- Kind-3 records: only they fail when the library cannot bind them -----------------------

struct BindingCase {
  const char* name;
  std::string_view useDll;
  ParseFailure failure;
};

class KindThreeLoadTest : public ModuleLoadTest,
                          public ::testing::WithParamInterface<BindingCase> {};

TEST_P(KindThreeLoadTest, DropsOnlyTheKindThreeRecordAndSaysWhy) {
  PlaceLibrary("cut.dll", {"CutPaper"});
  folder.Write("broken.dll", "not a library");
  const auto module = Loaded(WriteModule(
      "m.ini", {"[Main]", "UseDll=" + std::string(GetParam().useDll), "S-Num=3", "[Single-Command]",
                "1=1,FF,1,1", "2=2,GS,V,3,FeedPaper,0,", "3=1,ESC,2"}));
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1, 3));
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "Single-Command");
  EXPECT_EQ(module->leftOut[0].key, 2);
  EXPECT_EQ(module->leftOut[0].value, "2,GS,V,3,FeedPaper,0,");
  EXPECT_EQ(module->leftOut[0].error.failure, GetParam().failure);
  EXPECT_EQ(module->leftOut[0].error.detail, "FeedPaper");
}

const BindingCase kBindingCases[] = {
    {"NoLibrary", "0,cut.dll", ParseFailure::kNoLibrary},
    {"LibraryMissing", "1,absent.dll", ParseFailure::kLibraryNotLoaded},
    {"LibraryDoesNotLoad", "1,broken.dll", ParseFailure::kLibraryNotLoaded},
    {"NameNotExported", "1,cut.dll", ParseFailure::kNameNotExported},
};
INSTANTIATE_TEST_SUITE_P(Reasons, KindThreeLoadTest, ::testing::ValuesIn(kBindingCases),
                         CaseName());

// --- The barcode command and its analyser ---------------------------------------------------

TEST_F(ModuleLoadTest, ABadBarcodeRecordGivesNoCommandAndNoAnalyser) {
  PlaceLibrary("cut.dll", {"AnalyzeBarcode"});
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "UseDll=1,cut.dll", "[BARCODE]", "1=2,GS,k",
                                   "[BARCODE_Analyze]", "1=AnalyzeBarcode"}));
  ASSERT_NE(module->library, nullptr);
  EXPECT_FALSE(module->barcodeCommand.has_value());
  EXPECT_FALSE(module->barcodeAnalyzer.has_value());
  EXPECT_EQ(store.stringReadsBySection["BARCODE_Analyze"], 0);
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "BARCODE");
  EXPECT_EQ(module->leftOut[0].key, 1);
  EXPECT_EQ(module->leftOut[0].value, "2,GS,k");
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kMissingKind);
}

TEST_F(ModuleLoadTest, AModuleWithoutBarcodeReportsNothingLeftOut) {
  const auto module = Loaded(WriteModule("m.ini", {"[Main]", "Module_Name=No barcode"}));
  EXPECT_FALSE(module->barcodeCommand.has_value());
  EXPECT_THAT(module->leftOut, IsEmpty());
  EXPECT_THAT(module->missingKeys, IsEmpty());
}

TEST_F(ModuleLoadTest, AnAnalyserTheLibraryLacksIsNotBoundButTheBarcodeStays) {
  PlaceLibrary("cut.dll", {"CutPaper"});
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "UseDll=1,cut.dll", "[BARCODE]", "1=2,GS,k,1,0",
                                   "[BARCODE_Analyze]", "1=AnalyzeBarcode"}));
  EXPECT_TRUE(module->barcodeCommand.has_value());
  EXPECT_FALSE(module->barcodeAnalyzer.has_value());
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "BARCODE_Analyze");
  EXPECT_EQ(module->leftOut[0].value, "AnalyzeBarcode");
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kNameNotExported);
}

TEST_F(ModuleLoadTest, AnAnalyserIsNotLookedUpWithoutALibrary) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "UseDll=0,", "[BARCODE]", "1=2,GS,k,1,0",
                                   "[BARCODE_Analyze]", "1=AnalyzeBarcode"}));
  EXPECT_TRUE(module->barcodeCommand.has_value());
  EXPECT_FALSE(module->barcodeAnalyzer.has_value());
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kNoLibrary);
}

// --- Multi-commands ---------------------------------------------------------------------------

TEST_F(ModuleLoadTest, AMultiCommandEntersWithTheRecordsItsSectionHolds) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "M-Num=3", "[Mutli-Command]", "1=Text_Void,V,3",
                                   "2=Text_Stop,S", "3=Empty,E,2", "[Text_Void]",
                                   "1=4,V,o,i,d,1,0,0,TRAN_VOID", "3=4,S,t,o,p,1,0,0,TRAN_STOP"}));
  ASSERT_EQ(module->multiCommands.size(), 2U);
  const MultiCommand& voids = module->multiCommands[0];
  EXPECT_EQ(voids.key, 1);
  EXPECT_EQ(voids.section, "Text_Void");
  EXPECT_EQ(voids.trigger, 'V');
  EXPECT_THAT(KeysOf(voids.records), ElementsAre(1, 3));
  EXPECT_EQ(voids.records[1].event, TransactionEvent::kStop);

  const MultiCommand& empty = module->multiCommands[1];
  EXPECT_EQ(empty.key, 3);
  EXPECT_EQ(empty.section, "Empty");
  EXPECT_EQ(empty.trigger, 'E');
  EXPECT_THAT(empty.records, IsEmpty());

  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "Mutli-Command");
  EXPECT_EQ(module->leftOut[0].key, 2);
  EXPECT_EQ(module->leftOut[0].value, "Text_Stop,S");
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kMissingCount);

  ASSERT_EQ(module->missingKeys.size(), 2U);
  EXPECT_EQ(module->missingKeys[0].section, "Text_Void");
  EXPECT_EQ(module->missingKeys[0].count, 3);
  EXPECT_EQ(module->missingKeys[0].keysPresent, 2);
  EXPECT_EQ(module->missingKeys[1].section, "Empty");
  EXPECT_EQ(module->missingKeys[1].keysPresent, 0);
}

TEST_F(ModuleLoadTest, AMultiCommandRecordThatFailsIsLeftOutUnderItsOwnSection) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "M-Num=1", "[Mutli-Command]", "1=Cut,GS,2", "[Cut]",
                                   "1=2,GS,V,3,CutPaper,0,", "2=1,ESC,2"}));
  ASSERT_EQ(module->multiCommands.size(), 1U);
  EXPECT_THAT(KeysOf(module->multiCommands[0].records), ElementsAre(2));
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "Cut");
  EXPECT_EQ(module->leftOut[0].key, 1);
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kNoLibrary);
  EXPECT_EQ(DescribeParseError(module->leftOut[0].error),
            "function CutPaper cannot be bound: the module uses no library (UseDll flag 0)");
}

TEST_F(ModuleLoadTest, AMultiCommandWithACountOfZeroOrBelowReadsNoRecords) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "M-Num=2", "[Mutli-Command]", "1=Cut,GS,0",
                                   "2=Cut,GS,-3", "[Cut]", "1=1,ESC,2"}));
  ASSERT_EQ(module->multiCommands.size(), 2U);
  EXPECT_THAT(module->multiCommands[0].records, IsEmpty());
  EXPECT_THAT(module->multiCommands[1].records, IsEmpty());
  EXPECT_EQ(store.stringReadsBySection["Cut"], 0);
}

// --- Tag flags --------------------------------------------------------------------------------

struct TagCase {
  const char* name;
  std::string_view record;  // Single-Command key 1
  bool noStartTag;
  bool noStopTag;
};

class TagFlagLoadTest : public ModuleLoadTest, public ::testing::WithParamInterface<TagCase> {};

TEST_P(TagFlagLoadTest, RecordsThatParseClearTheirFlag) {
  const auto module = Loaded(WriteModule(
      "m.ini", {"[Main]", "S-Num=1", "[Single-Command]", "1=" + std::string(GetParam().record)}));
  EXPECT_EQ(module->noStartTag, GetParam().noStartTag);
  EXPECT_EQ(module->noStopTag, GetParam().noStopTag);
}

const TagCase kTagCases[] = {
    {"StopClearsNoStopTag", "1,FF,1,1,0,TRAN_STOP", true, false},
    {"VoidChangesNeither", "1,FF,1,1,0,TRAN_VOID", true, true},
    {"StartClearsNoStartTag", "1,FF,1,1,0,tran_start", false, true},
    {"NoTagChangesNeither", "1,FF,1,1", true, true},
    {"AFailedRecordChangesNeither", "1,FF,3,CutPaper,0,TRAN_STOP", true, true},
};
INSTANTIATE_TEST_SUITE_P(Flags, TagFlagLoadTest, ::testing::ValuesIn(kTagCases), CaseName());

TEST_F(ModuleLoadTest, AStopTagInAMultiCommandRecordCountsToo) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "M-Num=1", "[Mutli-Command]", "1=Text_Stop,C,1",
                                   "[Text_Stop]", "1=4,C,a,s,h,1,0,0,TRAN_STOP"}));
  EXPECT_FALSE(module->noStopTag);
}

// --- Release, reload, destruction -------------------------------------------------------------

TEST_F(ModuleLoadTest, ReleaseThenLoadHoldsOnlyTheSecondFile) {
  PlaceLibrary("a.dll", {"CutPaper"});
  const std::string second = PlaceLibrary("b.dll", {"CutPaper"});
  PrinterCommandModule module(services);
  module.Load(WriteModule(
      "a.ini", {"[Main]", "Module_Name=A", "UseDll=1,a.dll", "C-Num=1", "S-Num=2", "M-Num=1",
                "[ChangeLine-Command]", "1=1,LF", "[Single-Command]", "1=1,A,1,1",
                "2=1,SP,1,0,0,TRAN_STOP", "[Mutli-Command]", "1=Cut,GS,1", "[Cut]",
                "1=2,GS,V,3,CutPaper,0,", "[BARCODE]", "1=1,B,1,1", "[STOP_EVENT]", "WaitTime=7"}));
  ASSERT_EQ(libraries.LiveLibraries(), 1);

  EXPECT_TRUE(module.Release());
  EXPECT_EQ(libraries.LiveLibraries(), 0);
  EXPECT_EQ(module.library, nullptr);
  EXPECT_THAT(module.changeLineCommands, IsEmpty());
  EXPECT_THAT(module.singleCommands, IsEmpty());
  EXPECT_THAT(module.multiCommands, IsEmpty());
  EXPECT_FALSE(module.barcodeCommand.has_value());
  // What Release leaves for the next Load to set again.
  EXPECT_EQ(module.moduleName, "A");
  EXPECT_TRUE(module.useLibrary);
  EXPECT_EQ(module.waitTime, 7);
  EXPECT_FALSE(module.noStopTag);
  EXPECT_EQ(module.changeLineBuffer, Bytes(1));

  module.Load(WriteModule("b.ini", {"[Main]", "Module_Name=B", "UseDll=1,b.dll", "S-Num=1",
                                    "[Single-Command]", "1=1,Z,1,1"}));
  EXPECT_EQ(module.moduleName, "B");
  ASSERT_NE(module.library, nullptr);
  EXPECT_EQ(module.library->Path(), second);
  EXPECT_EQ(libraries.LiveLibraries(), 1);
  ASSERT_EQ(module.singleCommands.size(), 1U);
  EXPECT_EQ(module.singleCommands[0].bytes, Bytes{'Z'});
  EXPECT_THAT(module.changeLineCommands, IsEmpty());
  EXPECT_THAT(module.multiCommands, IsEmpty());
  EXPECT_FALSE(module.barcodeCommand.has_value());
  EXPECT_EQ(module.waitTime, 30);
  EXPECT_FALSE(module.noStopTag);  // flags are never set back
}

TEST_F(ModuleLoadTest, ReleaseThenLoadOfAFileWithoutLibraryLeavesNone) {
  PlaceLibrary("a.dll", {"CutPaper"});
  PrinterCommandModule module(services);
  module.Load(WriteModule("a.ini", {"[Main]", "UseDll=1,a.dll"}));
  module.Release();
  module.Load(
      WriteModule("b.ini", {"[Main]", "S-Num=1", "[Single-Command]", "1=2,GS,V,3,CutPaper,0,"}));
  EXPECT_FALSE(module.useLibrary);
  EXPECT_EQ(module.library, nullptr);
  EXPECT_EQ(libraries.LiveLibraries(), 0);
  EXPECT_THAT(module.singleCommands, IsEmpty());
}

TEST_F(ModuleLoadTest, ReleaseForgetsWhatWasLeftOut) {
  PrinterCommandModule module(services);
  module.Load(WriteModule("a.ini", {"[Main]", "S-Num=2", "[Single-Command]", "1=1,SP"}));
  ASSERT_EQ(module.leftOut.size(), 1U);
  ASSERT_EQ(module.missingKeys.size(), 1U);
  module.Release();
  EXPECT_THAT(module.leftOut, IsEmpty());
  EXPECT_THAT(module.missingKeys, IsEmpty());
}

TEST_F(ModuleLoadTest, DestructionUnloadsTheLibrary) {
  PlaceLibrary("a.dll", {"CutPaper"});
  auto module = Loaded(WriteModule("a.ini", {"[Main]", "UseDll=1,a.dll"}));
  ASSERT_EQ(libraries.LiveLibraries(), 1);
  module.reset();
  EXPECT_EQ(libraries.LiveLibraries(), 0);
}

// --- Untrusted counts -------------------------------------------------------------------------

TEST_F(ModuleLoadTest, HugeCountsCostOnlyTheKeysTheFileHolds) {
  const auto module = Loaded(WriteModule(
      "m.ini",
      {"[Main]", "C-Num=2000000000", "S-Num=2000000000", "M-Num=2000000000", "[ChangeLine-Command]",
       "1=2000000000,CR,LF", "2=2,CR,LF", "[Single-Command]", "1=1,A,1,1", "2=1,B,1,1", "3=1,C,1,1",
       "[Mutli-Command]", "1=Sec,V,2000000000", "[Sec]", "1=1,D,1,1", "2=1,E,1,1"}));
  EXPECT_THAT(KeysOf(module->changeLineCommands), ElementsAre(2));
  EXPECT_EQ(module->changeLineBuffer, Bytes(2));
  EXPECT_THAT(KeysOf(module->singleCommands), ElementsAre(1, 2, 3));
  ASSERT_EQ(module->multiCommands.size(), 1U);
  EXPECT_THAT(KeysOf(module->multiCommands[0].records), ElementsAre(1, 2));

  // One read per key present, plus Module_Name, UseDll and BARCODE_Analyze at most.
  EXPECT_LE(store.stringReads, 2 + 3 + 1 + 2 + 3);
  EXPECT_EQ(store.stringReadsBySection["Single-Command"], 3);
  ASSERT_EQ(module->leftOut.size(), 1U);
  EXPECT_EQ(module->leftOut[0].section, "ChangeLine-Command");
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kMissingByte);
  EXPECT_EQ(module->leftOut[0].error.detail, "3");
  ASSERT_EQ(module->missingKeys.size(), 4U);
  EXPECT_EQ(module->missingKeys[0].count, 2000000000);
}

TEST_F(ModuleLoadTest, ANegativeCountReadsNoKey) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "S-Num=-1", "[Single-Command]", "1=1,A,1,1"}));
  EXPECT_THAT(module->singleCommands, IsEmpty());
  EXPECT_EQ(store.stringReadsBySection["Single-Command"], 0);
  EXPECT_THAT(module->missingKeys, IsEmpty());
}

TEST_F(ModuleLoadTest, ANegativeByteCountRejectsTheRecord) {
  const auto module =
      Loaded(WriteModule("m.ini", {"[Main]", "C-Num=1", "S-Num=1", "[ChangeLine-Command]",
                                   "1=-1,CR", "[Single-Command]", "1=-2,A,1,1"}));
  EXPECT_THAT(module->changeLineCommands, IsEmpty());
  EXPECT_THAT(module->singleCommands, IsEmpty());
  ASSERT_EQ(module->leftOut.size(), 2U);
  EXPECT_EQ(module->leftOut[0].error.failure, ParseFailure::kNegativeCount);
  EXPECT_EQ(module->leftOut[0].error.detail, "-1");
  EXPECT_EQ(module->leftOut[1].section, "Single-Command");
  EXPECT_EQ(module->leftOut[1].error.detail, "-2");
}

}  // namespace
}  // namespace quillmere
