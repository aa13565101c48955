// Loading whole module files written by the tests: lists in key order with their keys, the
// module library found beside the module file, kind-3 records and the barcode analyser bound
// through it, the wait time's bounds, the tag flags, Release and reload, untrusted counts, and
// what the load tells of every record it left out.
#include "module/printer_command_module.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "module/record_text.h"
#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;
using testing::RecordText;
using Bytes = std::vector<std::uint8_t>;
using Rows = std::vector<std::pair<std::string, std::string>>;

// Forwards to the real store and counts the values read, so a test bounds the work of a load by
// what the file holds rather than by a clock.
class CountingStore final : public ProfileStore {
 public:
  explicit CountingStore(ProfileStore& inner) : inner_(inner) {}
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, const std::string& path) override {
    ++reads;
    return inner_.ReadString(section, key, defaultValue, path);
  }
  std::int32_t ReadInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                       const std::string& path) override {
    return inner_.ReadInt(section, key, defaultValue, path);
  }
  WriteStatus WriteString(std::string_view section, std::string_view key, std::string_view value,
                          const std::string& path) override {
    return inner_.WriteString(section, key, value, path);
  }
  std::vector<std::string> ReadKeyNames(std::string_view section,
                                        const std::string& path) override {
    return inner_.ReadKeyNames(section, path);
  }
  int reads = 0;

 private:
  ProfileStore& inner_;
};

// Each record after its key ("S3 [27] k2 p0"; a multi-command's indented under its entry), the
// barcode with its analyser, then what the load told: "-" a record left out (section, key, raw
// value, why), "?" a list whose count names absent keys.
std::string Text(const PrinterCommandModule& module) {
  std::string text;
  const auto list = [&](const std::string& prefix, const std::vector<CommandRecord>& records) {
    for (const CommandRecord& record : records) {
      text += prefix + std::to_string(record.key) + " " + RecordText(record) + "\n";
    }
  };
  list("C", module.changeLineCommands);
  list("S", module.singleCommands);
  for (const MultiCommand& multi : module.multiCommands) {
    text += "M" + std::to_string(multi.key) + " '" + multi.section + "' " +
            std::to_string(multi.trigger) + "\n";
    list(" ", multi.records);
  }
  if (module.barcodeCommand) {
    text += "B " + RecordText(*module.barcodeCommand) + " @@" +
            module.barcodeAnalyzer.value_or("") + "\n";
  }
  for (const LeftOutRecord& out : module.leftOut) {
    text += "- " + out.section + " " + std::to_string(out.key) + " '" + out.value +
            "': " + DescribeParseError(out.error) + "\n";
  }
  for (const MissingKeys& missing : module.missingKeys) {
    text += "? " + missing.section + " holds " + std::to_string(missing.keysPresent) + " of " +
            std::to_string(missing.count) + "\n";
  }
  return text;
}

// A module file with every part; its key 1 of Single-Command stands after key 2.
constexpr std::string_view kEpson =
    "[Main]\nModule_Name=Epson TM\nUseDll=1,epson.dll\nC-Num=1\nS-Num=2\nM-Num=1\n"
    "[ChangeLine-Command]\n1=2,CR,LF\n[Single-Command]\n2=1,ESC,2,1,Hello,TRAN_START\n"
    "1=1,FF,1,1\n[Mutli-Command]\n1=Cut,GS,1\n[Cut]\n1=2,GS,V,3,CutPaper,0,TRAN_STOP\n"
    "[BARCODE]\n1=2,GS,k,1,2\n[BARCODE_Analyze]\n1=AnalyzeBarcode\n[STOP_EVENT]\nWaitTime=45\n";

class ModuleLoadTest : public ::testing::Test {
 protected:
  std::unique_ptr<PrinterCommandModule> Load(std::string_view text,
                                             std::string_view name = "m.ini") {
    auto module = std::make_unique<PrinterCommandModule>(services);
    EXPECT_TRUE(module->Load(folder.Write(name, text)));
    return module;
  }
  // A file at `name` that the fake loader loads as a library exporting `exports`.
  std::string PlaceLibrary(std::string_view name, std::set<std::string, std::less<>> exports) {
    std::string path = folder.Write(name, "library");
    libraries.Add(path, std::move(exports));
    return path;
  }
  // Each file of `rows` loaded on its own gives the text beside it.
  void ExpectLoads(const Rows& rows) {
    for (const auto& [file, text] : rows) {
      EXPECT_EQ(Text(*Load(file)), text) << file;
    }
  }

  testing::TempFolder folder;
  std::unique_ptr<ProfileStore> realStore = MakeProfileStore(RealFileSystem());
  CountingStore store{*realStore};
  testing::FakeLibraryLoader libraries;
  PlatformServices services{store, RealFileSystem(), libraries};
};

// Every part of a module file, lists in key order whatever the file order; destruction unloads
// the library.
TEST_F(ModuleLoadTest, ReadsEveryPartOfAModuleFile) {
  PlaceLibrary("epson.dll", {"CutPaper", "AnalyzeBarcode"});
  auto module = Load(kEpson, "Epson.ini");
  EXPECT_EQ(Text(*module),
            "C1 [13 10] k0 p0\nS1 [12] k1 p1\nS2 [27] k2 p0 'Hello' start\nM1 'Cut' 29\n"
            " 1 [29 86] k3 p0 @CutPaper stop\nB [29 107] k1 p2 @@AnalyzeBarcode\n");
  EXPECT_TRUE(module->moduleName == "Epson TM" && module->useLibrary && module->waitTime == 45);
  EXPECT_EQ(module->modulePath, folder.PathOf("Epson.ini"));
  EXPECT_EQ(module->libraryFoundAt, folder.PathOf("epson.dll"));
  EXPECT_EQ(module->changeLineBuffer, Bytes(2));
  EXPECT_FALSE(module->noStartTag || module->noStopTag);
  module.reset();
  EXPECT_EQ(libraries.LiveLibraries(), 0);
}

// A malformed key 2 of 3 leaves no gap: positions 1 and 2 hold keys 1 and 3. List keys are keys
// 1..count written as plain decimals ("01", "+2", "5x" are none; blanks around a name are no
// part of it); a key that stands twice is read once, from its first line.
TEST_F(ModuleLoadTest, ListsHoldTheRecordsThatParsedWithTheirKeys) {
  ExpectLoads({
      {"[Main]\nC-Num=3\nS-Num=3\n[ChangeLine-Command]\n1=2,CR,LF\n2=3,CR,LF\n3=1,ESC\n"
       "[Single-Command]\n1=1,FF,1,1\n2=\n3=1,ESC,2\n",
       "C1 [13 10] k0 p0\nC3 [27] k0 p0\nS1 [12] k1 p1\nS3 [27] k2 p0\n"
       "- ChangeLine-Command 2 '3,CR,LF': byte token 3 is absent\n"
       "- Single-Command 2 '': the count is absent\n"},
      {"[Main]\nS-Num=5\n[Single-Command]\n01=1,A,1,1\n+2=1,B,1,1\n 3 = 1,C,1,1\n1=1,D,1,1\n"
       "1=1,E,1,1\n6=1,F,1,1\n0=1,G,1,1\n5x=1,H,1,1\n-4=1,I,1,1\n",
       "S1 [68] k1 p1\nS3 [67] k1 p1\n? Single-Command holds 2 of 5\n"},
  });
  EXPECT_EQ(store.reads, 2 + 3 + 3 + 2 + 2);  // Module_Name and UseDll, then the keys visited
}

// The change-line buffer is as long as the longest change-line record that parsed (none when
// no record has bytes); WaitTime is 30 when absent, else bounded to 1..600.
TEST_F(ModuleLoadTest, SizesTheChangeLineBufferAndBoundsTheWaitTime) {
  const Rows buffers = {
      {"1=2,CR,LF\n2=5,1,2,3,4,5", "5"},
      {"1=5,1,2,3,4,5\n2=2,CR,LF", "5"},
      {"1=9,1,2,3\n2=2,CR,LF", "2"},
      {"1=0\n2=0", "none"},
      {"1=9,1,2,3", "none"},
  };
  for (const auto& [records, size] : buffers) {
    const auto module = Load("[Main]\nC-Num=2\n[ChangeLine-Command]\n" + records);
    const auto& buffer = module->changeLineBuffer;
    EXPECT_EQ(buffer ? std::to_string(buffer->size()) : "none", size) << records;
  }
  const Rows waits = {
      {"", "30"},
      {"WaitTime=0", "1"},
      {"WaitTime=1", "1"},
      {"WaitTime=x", "1"},
      {"WaitTime=-5", "1"},
      {"WaitTime=2", "2"},
      {"WaitTime=600", "600"},
      {"WaitTime=601", "600"},
      {"WaitTime=2000000000", "600"},
  };
  for (const auto& [line, wait] : waits) {
    EXPECT_EQ(std::to_string(Load("[STOP_EVENT]\n" + line + "\n")->waitTime), wait) << line;
  }
  PrinterCommandModule absent(services);  // an absent file reads as all defaults
  EXPECT_TRUE(absent.Load(folder.PathOf("absent.ini")) && absent.waitTime == 30);
  EXPECT_TRUE(Text(absent).empty() && absent.moduleName.empty() && !absent.changeLineBuffer);
}

// The library path as written when a file is there (relative ones against the current folder),
// else beside the module file, else none; useLibrary keeps the flag read.
TEST_F(ModuleLoadTest, FindsTheLibraryAsWrittenElseBesideTheModuleFile) {
  const std::string beside = PlaceLibrary("mods/beside_only_4f2a.dll", {"CutPaper"});
  ASSERT_FALSE(RealFileSystem().Exists("beside_only_4f2a.dll"));
  EXPECT_EQ(Text(*Load("[Main]\nUseDll=1,beside_only_4f2a.dll\nS-Num=1\n[Single-Command]\n"
                       "1=2,GS,V,3,CutPaper,0,\n",
                       "mods/m.ini")),
            "S1 [29 86] k3 p0 @CutPaper\n");

  const testing::TempFolder current;
  current.Write("cut.dll", "library");
  libraries.Add("cut.dll", {});
  PlaceLibrary("cut.dll", {});  // beside the module too, but never chosen
  struct InFolder {
    explicit InFolder(const std::string& folder) { std::filesystem::current_path(folder); }
    ~InFolder() { std::filesystem::current_path(before); }
    std::filesystem::path before = std::filesystem::current_path();
  };
  const InFolder inCurrent(current.path());
  EXPECT_NE(Load("[Main]\nUseDll=1,cut.dll\n")->library, nullptr);

  for (const std::string_view none : {"0,cut.dll", "1", "1,", "yes,cut.dll", "1,absent.dll"}) {
    const auto module = Load("[Main]\nUseDll=" + std::string(none) + "\n");
    EXPECT_EQ(module->library, nullptr) << none;
    EXPECT_EQ(module->useLibrary, none.starts_with("1")) << none;
  }
  EXPECT_THAT(libraries.loadedPaths, ElementsAre(beside, "cut.dll"));
}

// Without a library that binds it only the kind-3 record is left out, and the load says why.
TEST_F(ModuleLoadTest, DropsOnlyTheKindThreeRecordThatDoesNotBind) {
  PlaceLibrary("cut.dll", {"CutPaper"});
  folder.Write("broken.dll", "not a library");
  const std::string records =
      "\nS-Num=3\n[Single-Command]\n1=1,FF,1,1\n2=2,GS,V,3,FeedPaper,0,\n3=1,ESC,2\n";
  const std::string kept =
      "S1 [12] k1 p1\nS3 [27] k2 p0\n- Single-Command 2 "
      "'2,GS,V,3,FeedPaper,0,': function FeedPaper ";
  ExpectLoads({
      {"[Main]\nUseDll=0,cut.dll" + records,
       kept + "cannot be bound: the module uses no library (UseDll flag 0)\n"},
      {"[Main]\nUseDll=1,absent.dll" + records,
       kept + "cannot be bound: the module library was not found or did not load\n"},
      {"[Main]\nUseDll=1,broken.dll" + records,
       kept + "cannot be bound: the module library was not found or did not load\n"},
      {"[Main]\nUseDll=1,cut.dll" + records, kept + "is not exported by the module library\n"},
  });
  EXPECT_THAT(libraries.loadedPaths,
              ElementsAre(folder.PathOf("broken.dll"), folder.PathOf("cut.dll")));
}

// A bad BARCODE record gives no command and no analyser; an analyser that does not bind is told.
TEST_F(ModuleLoadTest, BindsTheBarcodeAnalyserOnlyToAGoodBarcodeAndTheLibrary) {
  PlaceLibrary("cut.dll", {"CutPaper"});
  const std::string analyser = "[BARCODE_Analyze]\n1=AnalyzeBarcode\n[Main]\nUseDll=";
  const std::string_view unbound = "- BARCODE_Analyze 1 'AnalyzeBarcode': function AnalyzeBarcode ";
  ExpectLoads({
      {analyser + "1,cut.dll\n[BARCODE]\n1=2,GS,k\n", "- BARCODE 1 '2,GS,k': the kind is absent\n"},
      {analyser + "1,cut.dll\n[BARCODE]\n1=2,GS,k,1,0\n",
       "B [29 107] k1 p0 @@\n" + std::string(unbound) + "is not exported by the module library\n"},
      {analyser + "0,\n[BARCODE]\n1=2,GS,k,1,0\n",
       "B [29 107] k1 p0 @@\n" + std::string(unbound) +
           "cannot be bound: the module uses no library (UseDll flag 0)\n"},
  });
}

// An entry enters the list with the records of its section that parsed, even with none; those
// records' tags count for the module's flags, and TRAN_STOP clears noStopTag for good.
TEST_F(ModuleLoadTest, LoadsMultiCommandsWithTheRecordsTheirSectionsHold) {
  const auto module = Load(
      "[Main]\nM-Num=4\n[Mutli-Command]\n1=Text_Void,V,4\n2=Text_Stop,S\n3=Empty,E,2\n"
      "4=Text_Void,W,-3\n[Text_Void]\n1=1,S,1,0,0,TRAN_STOP\n2=2,GS,V,3,CutPaper,0,\n"
      "4=1,V,1,0,0,TRAN_VOID\n");
  EXPECT_EQ(Text(*module),
            "M1 'Text_Void' 86\n 1 [83] k1 p0 stop\n 4 [86] k1 p0 void\nM3 'Empty' 69\n"
            "M4 'Text_Void' 87\n- Text_Void 2 '2,GS,V,3,CutPaper,0,': function CutPaper cannot "
            "be bound: the module uses no library (UseDll flag 0)\n"
            "- Mutli-Command 2 'Text_Stop,S': the count is absent\n"
            "? Text_Void holds 3 of 4\n? Empty holds 0 of 2\n");
  EXPECT_FALSE(module->noStopTag);
  EXPECT_TRUE(module->noStartTag);
}

// Release frees records, library and diagnostics but leaves name, flags, wait time and buffer;
// the next Load holds only the second file.
TEST_F(ModuleLoadTest, ReleaseThenLoadHoldsOnlyTheSecondFile) {
  PlaceLibrary("epson.dll", {"CutPaper"});
  const std::string second = PlaceLibrary("b.dll", {});
  PrinterCommandModule module(services);
  module.Load(folder.Write("a.ini", kEpson));
  ASSERT_EQ(libraries.LiveLibraries(), 1);
  ASSERT_THAT(Text(module), ::testing::HasSubstr("\n- BARCODE_Analyze 1"));
  EXPECT_TRUE(module.Release());
  EXPECT_EQ(libraries.LiveLibraries(), 0);
  EXPECT_EQ(module.library, nullptr);
  EXPECT_EQ(Text(module), "");
  EXPECT_TRUE(module.moduleName == "Epson TM" && module.useLibrary && module.waitTime == 45);
  EXPECT_FALSE(module.noStopTag || module.noStartTag);
  EXPECT_EQ(module.changeLineBuffer, Bytes(2));

  module.Load(folder.Write(
      "b.ini", "[Main]\nModule_Name=B\nUseDll=1,b.dll\nS-Num=1\n[Single-Command]\n1=1,Z,1,1\n"));
  EXPECT_EQ(Text(module), "S1 [90] k1 p1\n");
  EXPECT_TRUE(module.moduleName == "B" && module.waitTime == 30);
  EXPECT_EQ(module.libraryFoundAt, second);
  EXPECT_EQ(libraries.LiveLibraries(), 1);
  EXPECT_FALSE(module.noStopTag || module.noStartTag);  // flags are never set back
  EXPECT_EQ(module.changeLineBuffer, Bytes(2));         // nor is a buffer when no record has bytes
}

// Counts are untrusted: a load reads one value per key the section holds, whatever the count. A
// byte count below zero rejects the record; a list count below zero reads no key.
TEST_F(ModuleLoadTest, ReadsOnlyTheKeysTheFileHoldsWhateverTheCounts) {
  const auto module = Load(
      "[Main]\nC-Num=2000000000\nS-Num=2000000000\nM-Num=2000000000\n[ChangeLine-Command]\n"
      "1=2000000000,CR,LF\n2=2,CR,LF\n[Single-Command]\n1=1,A,1,1\n2=1,B,1,1\n"
      "[Mutli-Command]\n1=Sec,V,2000000000\n[Sec]\n1=1,D,1,1\n");
  EXPECT_EQ(Text(*module),
            "C2 [13 10] k0 p0\nS1 [65] k1 p1\nS2 [66] k1 p1\nM1 'Sec' 86\n 1 [68] k1 p1\n"
            "- ChangeLine-Command 1 '2000000000,CR,LF': byte token 3 is absent\n"
            "? ChangeLine-Command holds 2 of 2000000000\n? Single-Command holds 2 of 2000000000\n"
            "? Mutli-Command holds 1 of 2000000000\n? Sec holds 1 of 2000000000\n");
  // One read per key present, plus Module_Name, UseDll and BARCODE_Analyze at most.
  EXPECT_LE(store.reads, 3 + 2 + 2 + 1 + 1);
  EXPECT_EQ(module->changeLineBuffer, Bytes(2));
  ExpectLoads(
      {{"[Main]\nC-Num=1\nS-Num=1\nM-Num=-1\n[ChangeLine-Command]\n1=-1,CR\n"
        "[Single-Command]\n1=-2,A,1,1\n[Mutli-Command]\n1=Cut,GS,1\n",
        "- ChangeLine-Command 1 '-1,CR': the byte count -1 is below zero\n"
        "- Single-Command 1 '-2,A,1,1': the byte count -2 is below zero\n"}});
}

}  // namespace
}  // namespace quillmere
