// Loading whole module files. Each golden case, tests/data/module/load/<case>/, holds a module.ini
// (none: the file is absent), the module libraries beside it and the expected.txt the load must
// give (module_dump.h, then how many string values the load read). A file of the case whose name
// ends in ".dll" is a library to the loader double when it starts with "exports:", exporting the
// names that follow; any other such file does not load. The tests below the runner cover what
// one load cannot show: a library in the current folder, the wait time's bounds, Release.
#include "module/printer_command_module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "module/module_dump.h"
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/golden.h"
#include "support/host_platform.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using testing::FakeLibraryLoader;

// Forwards to a store and counts the string values read.
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

struct Services {
  std::unique_ptr<ProfileStore> real = MakeProfileStore(RealFileSystem());
  CountingStore store{*real};
  FakeLibraryLoader libraries;
  PlatformServices services{store, RealFileSystem(), libraries};
};

// The case's libraries made known to the loader double; the path of its module file.
std::string SetUpCase(const std::string& name, FakeLibraryLoader& libraries) {
  const fs::path folder = fs::path(testing::GoldenArea("module/load")) / name;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".dll") {
      continue;
    }
    std::istringstream text(
        testing::ReadCaseFile("module/load", name, entry.path().filename().string()));
    std::string word;
    if (text >> word && word == "exports:") {
      std::set<std::string, std::less<>> exports;
      while (text >> word) {
        exports.insert(word);
      }
      libraries.Add(entry.path().string(), std::move(exports));
    }
  }
  return (folder / "module.ini").string();
}

class LoadCase : public ::testing::TestWithParam<std::string> {};

TEST_P(LoadCase, GivesTheExpectedModel) {
  if (testing::RunningUnderWine() && GetParam() == "list_keys") {
    GTEST_SKIP() << "Wine takes the form feed before a key name of this case for a blank";
  }
  Services machine;
  PrinterCommandModule module(machine.services);
  EXPECT_TRUE(module.Load(SetUpCase(GetParam(), machine.libraries)));
  testing::ExpectMatchesCaseFile(
      "module/load", GetParam(), "expected.txt",
      testing::ModuleDump(module) + "values read: " + std::to_string(machine.store.reads) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Golden, LoadCase, ::testing::ValuesIn(testing::GoldenCases("module/load")),
                         [](const ::testing::TestParamInfo<std::string>& row) {
                           return row.param;
                         });

// A library path as written is tried first, a relative one against the current folder; the
// module file's folder only when nothing is there.
TEST(Load, TakesTheLibraryInTheCurrentFolderFirst) {
  Services machine;
  const testing::TempFolder current;
  const testing::TempFolder modules;
  machine.libraries.Add("cut.dll", {"CutPaper"});
  current.Write("cut.dll", "exports: CutPaper");
  modules.Write("cut.dll", "exports: CutPaper");
  struct InFolder {
    explicit InFolder(const std::string& folder) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(before); }
    fs::path before = fs::current_path();
  } inCurrent(current.path());
  PrinterCommandModule module(machine.services);
  module.Load(modules.Write("m.ini", "[Main]\nUseDll=1,cut.dll\n"));
  EXPECT_EQ(module.libraryFoundAt, "cut.dll");
  EXPECT_NE(module.library, nullptr);
}

// WaitTime is 30 when absent (the absent_file case), else bounded to 1..600.
TEST(Load, BoundsTheWaitTime) {
  Services machine;
  const testing::TempFolder folder;
  const std::pair<std::string_view, int> rows[] = {{"0", 1},     {"1", 1},           {"x", 1},
                                                   {"-5", 1},    {"2", 2},           {"600", 600},
                                                   {"601", 600}, {"2000000000", 600}};
  for (const auto& [value, wait] : rows) {
    PrinterCommandModule module(machine.services);
    module.Load(folder.Write(std::string(value) + ".ini",
                             "[STOP_EVENT]\nWaitTime=" + std::string(value) + "\n"));
    EXPECT_EQ(module.waitTime, wait) << value;
  }
}

// Release frees records, library and what the load told, but leaves the name, the flags, the
// wait time and the buffer; the next Load holds only the second file. Destruction unloads.
TEST(Load, ReleaseThenLoadHoldsOnlyTheSecondFile) {
  Services machine;
  auto module = std::make_unique<PrinterCommandModule>(machine.services);
  module->Load(SetUpCase("every_part", machine.libraries));
  ASSERT_EQ(machine.libraries.LiveLibraries(), 1);
  EXPECT_TRUE(module->Release());
  EXPECT_EQ(machine.libraries.LiveLibraries(), 0);
  EXPECT_EQ(testing::ModuleDump(*module),
            "Module_Name 'Epson TM'\nUseDll '1,epson.dll' -> library not found\n"
            "changeLineBuffer: 2 bytes\nwaitTime: 45\nnoStartTag: false, noStopTag: false\n");
  module->Load(SetUpCase("kind3_not_exported", machine.libraries));
  testing::ExpectMatchesCaseFile("module/load", "kind3_not_exported", "after_every_part.txt",
                                 testing::ModuleDump(*module));
  EXPECT_EQ(machine.libraries.LiveLibraries(), 1);
  module.reset();
  EXPECT_EQ(machine.libraries.LiveLibraries(), 0);
}

}  // namespace
}  // namespace quillmere
