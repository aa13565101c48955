// The catalogue scan and the name-in-use query. The listing order and Module_Name's reading are
// tested with the file services and the profile rules; here only that the catalogue keeps them.
#include "module/catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using Ending = testing::RecordingToolkit::Ending;
using Names = std::vector<std::string>;
const std::string kRoot(1, kPathSeparator);

// An executable in a temporary folder, the real profile store, a toolkit that records.
struct Bench {
  Bench() { files.executablePath = temp.PathOf("quillmere"); }

  // Fills "Printer Commands" with "path=Module" module files ("x.ini/y.ini=Y": a sub-folder).
  void Make(std::initializer_list<std::string_view> entries) const {
    temp.MakeFolder("Printer Commands");
    for (const std::string_view entry : entries) {
      temp.Write("Printer Commands/" + std::string(entry.substr(0, entry.find('='))),
                 "[Main]\r\nModule_Name=" + std::string(entry.substr(entry.find('=') + 1)));
    }
  }
  bool Scan() { return ScanCatalogue(catalogue, services, toolkit); }
  // Each entry as "file name=module name".
  [[nodiscard]] Names Entries() const {
    Names entries;
    for (const ModuleEntry& entry : catalogue.entries) {
      entries.push_back(FileNameOf(entry.path) + "=" + entry.name);
    }
    return entries;
  }

  testing::TempFolder temp;
  testing::FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  testing::FakeLibraryLoader libraries;
  PlatformServices services{*store, files, libraries};
  testing::RecordingToolkit toolkit;
  Catalogue catalogue{"", "", {{"stale", "from an earlier scan"}}};
};

// "Printer Commands" beside the executable (in the root for one there); no earlier entry stays.
TEST(Catalogue, LooksBesideTheExecutable) {
  Bench bench;
  bench.Make({"Epson.ini=Epson"});
  ASSERT_TRUE(bench.Scan());
  EXPECT_EQ(bench.catalogue.executableFolder, bench.temp.path());
  EXPECT_EQ(bench.Entries(), Names{"Epson.ini=Epson"});
  EXPECT_EQ(bench.catalogue.entries[0].path, bench.temp.PathOf("Printer Commands/Epson.ini"));
  EXPECT_TRUE(bench.toolkit.messages.empty() && bench.toolkit.ending == Ending::kOpen);
  bench.files.executablePath = kRoot + "quillmere";
  bench.Scan();
  EXPECT_EQ(bench.catalogue.executableFolder, "");
  EXPECT_EQ(bench.catalogue.folderPath, kRoot + "Printer Commands");
}

// Every entry whose name ends in ".ini" in any case, even a sub-folder (no name); none inside.
TEST(Catalogue, TakesEveryEntryEndingInIni) {
  Bench bench;
  // Names that differ in more than case, so that they stand side by side on Windows too.
  bench.Make({"EPSON.INI=A", "Star.Ini=B", "tm.ini=C", ".ini=D", "x.ini/y.ini=X", "epson.ini.bak=E",
              "epson.in=F", "epsonini=G", "ini=H", "old/Star.ini=I"});
  Names expected{".ini=D", "EPSON.INI=A", "Star.Ini=B", "tm.ini=C", "x.ini="};
#ifndef _WIN32
  // A named pipe and a device named so are offered as unreadable files are: no name, no wait.
  ASSERT_EQ(::mkfifo(bench.temp.PathOf("Printer Commands/pipe.ini").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", bench.temp.PathOf("Printer Commands/zero.ini"));
  expected.insert(expected.end(), {"pipe.ini=", "zero.ini="});
#endif
  ASSERT_TRUE(bench.Scan());
  EXPECT_THAT(bench.Entries(), ::testing::UnorderedElementsAreArray(expected));
}

// Entries and base list keep the listing's order whatever the names; a name twice shows twice.
TEST(Catalogue, KeepsTheListingsOrder) {
  Bench bench;
  bench.Make({"tm-u220.ini=Aardvark", "Citizen.ini=Xylo", "Epson2.ini=TM-T88", "Aclas.ini=Zebra",
              "Epson.ini=TM-T88"});
  ASSERT_TRUE(bench.Scan());
  Names listed = bench.files.ListFolder(bench.temp.PathOf("Printer Commands")).value();
  Names lines;
  for (std::string& name : listed) {
    const std::string path = bench.temp.PathOf("Printer Commands/" + name);
    lines.push_back(bench.store->ReadString("Main", "Module_Name", "", path));
    name += "=" + lines.back();
  }
  EXPECT_EQ(bench.Entries(), listed);
  EXPECT_EQ(bench.toolkit.listLines, lines);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "TM-T88"), 2);
  ReleaseCatalogue(bench.catalogue);
  EXPECT_TRUE(bench.catalogue.entries.empty());
}

// No folder, or nothing to offer: message 1 or 2 in an OK box, the cancel action, nothing kept.
TEST(Catalogue, GivesUpWithMessage1Or2) {
  const struct {
    const char* name;
    void (*setUp)(Bench&);
    MessageId message;
  } rows[] = {{"missing folder", [](Bench&) {}, MessageId::kFolderMissing},
              {"file in its place", [](Bench& b) { b.temp.Write("Printer Commands", "x"); },
               MessageId::kFolderMissing},
              {"empty folder", [](Bench& b) { b.Make({}); }, MessageId::kNoModuleFiles},
              {"no module file",
               [](Bench& b) {
                 b.Make({"Epson/a.ini=A", "ini/b.ini=B", "a.txt=A"});
               },
               MessageId::kNoModuleFiles},
              {"unlistable folder",
               [](Bench& b) {
                 b.Make({"E.ini=E"});
                 b.files.FailOn(testing::FaultyFileSystem::Operation::kList);
               },
               MessageId::kNoModuleFiles}};
  for (const auto& row : rows) {
    Bench bench;
    row.setUp(bench);
    EXPECT_FALSE(bench.Scan()) << row.name;
    EXPECT_THAT(bench.toolkit.messages, ::testing::ElementsAre(row.message)) << row.name;
    EXPECT_THAT(bench.toolkit.buttonsShown, ::testing::ElementsAre(MessageButtons::kOk));
    EXPECT_EQ(bench.toolkit.ending, Ending::kCancel) << row.name;
    EXPECT_TRUE(bench.toolkit.listLines.empty() && bench.catalogue.entries.empty()) << row.name;
  }
}

// A name is in use when a module shows it (any case) from a file of another title, not its own.
TEST(Catalogue, NameInUseIsAnotherFilesModuleName) {
  const Catalogue catalogue{"",
                            "",
                            {{"Epson TM", kRoot + "Epson.ini"},
                             {"Star", kRoot + "STAR.INI"},
                             {"Citizen", kRoot + "Citizen.ini"},
                             {"Citizen", kRoot + "B.ini"}}};
  for (const std::string_view name : {"epson tm", "CITIZEN"}) {
    EXPECT_TRUE(IsNameInUse(catalogue, name)) << name;
  }
  for (const std::string_view name : {"Epson", "star", "Star_1", ""}) {
    EXPECT_FALSE(IsNameInUse(catalogue, name)) << name;
  }
}

}  // namespace
}  // namespace quillmere
