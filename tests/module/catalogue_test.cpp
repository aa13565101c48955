// The catalogue scan: which folder entries become base modules, what the base list shows, and
// how a folder with nothing to offer ends the dialog; and which new names are in use. The
// listing order is the file services' and Module_Name is read by the profile rules: both are
// tested there, and here only that the catalogue keeps what they give.
#include "module/catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FaultyFileSystem;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using Ending = testing::RecordingToolkit::Ending;

// An executable in a temporary folder, the real profile store, a toolkit that records.
struct Bench {
  Bench() { files.executablePath = temp.PathOf("quillmere"); }

  // Fills "Printer Commands": "name=Module" writes a module file, "name/" makes a sub-folder.
  void Make(std::initializer_list<std::string_view> entries) const {
    temp.MakeFolder("Printer Commands");
    for (const std::string_view entry : entries) {
      const std::size_t equals = entry.find('=');
      const std::string name = "Printer Commands/" + std::string(entry.substr(0, equals));
      if (entry.ends_with('/')) {
        temp.MakeFolder(name);
      } else {
        temp.Write(name, "[Main]\r\nModule_Name=" + std::string(entry.substr(equals + 1)) + "\r\n");
      }
    }
  }
  [[nodiscard]] std::string In(std::string_view name) const {
    return temp.PathOf("Printer Commands/" + std::string(name));
  }
  bool Scan() { return ScanCatalogue(catalogue, services, toolkit); }
  [[nodiscard]] std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const ModuleEntry& entry : catalogue.entries) {
      paths.push_back(entry.path);
    }
    return paths;
  }

  testing::TempFolder temp;
  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  testing::FakeLibraryLoader libraries;
  PlatformServices services{*store, files, libraries};
  testing::RecordingToolkit toolkit;
  Catalogue catalogue{"", "", {{"stale", "from an earlier scan"}}};
};

// The folder is "Printer Commands" beside the executable, or in the root for an executable
// there; an earlier scan's entries go.
TEST(Catalogue, LooksBesideTheExecutable) {
  Bench bench;
  bench.Make({"Epson.ini=Epson"});
  ASSERT_TRUE(bench.Scan());
  EXPECT_EQ(bench.catalogue.executableFolder, bench.temp.path());
  EXPECT_EQ(bench.catalogue.folderPath, bench.temp.PathOf("Printer Commands"));
  EXPECT_THAT(bench.Paths(), ElementsAre(bench.In("Epson.ini")));
  EXPECT_THAT(bench.toolkit.messages, IsEmpty());
  EXPECT_EQ(bench.toolkit.ending, Ending::kOpen);
  bench.files.executablePath = std::string(1, kPathSeparator) + "quillmere";
  bench.Scan();
  EXPECT_EQ(bench.catalogue.executableFolder, "");
  EXPECT_EQ(bench.catalogue.folderPath, std::string(1, kPathSeparator) + "Printer Commands");
}

// Only the name counts: it ends in ".ini", ignoring case, file or sub-folder alike; the scan
// does not look into sub-folders. A sub-folder has no Module_Name: its line is empty. (In the
// listing's order, which the next test checks.)
TEST(Catalogue, TakesEveryEntryEndingInIni) {
  Bench bench;
  bench.Make({"EPSON.INI=A", "Star.Ini=B", "tm.ini=C", ".ini=D", "x.ini/", "epson.ini.bak=E",
              "epson.in=F", "epsonini=G", "ini=H", "old/Star.ini=I"});
  ASSERT_TRUE(bench.Scan());
  EXPECT_THAT(bench.Paths(),
              UnorderedElementsAre(bench.In(".ini"), bench.In("EPSON.INI"), bench.In("Star.Ini"),
                                   bench.In("tm.ini"), bench.In("x.ini")));
  EXPECT_THAT(bench.toolkit.listLines, UnorderedElementsAre("D", "A", "B", "C", ""));
}

// The entries and the base list keep the order the folder listing gives, whatever the module
// names; a name twice stays twice (the line's index tells them apart); release empties it.
TEST(Catalogue, KeepsTheListingsOrder) {
  Bench bench;
  bench.Make({"tm-u220.ini=Aardvark", "Citizen.ini=Xylo", "Epson2.ini=TM-T88", "Aclas.ini=Zebra",
              "Epson.ini=TM-T88"});
  ASSERT_TRUE(bench.Scan());
  std::vector<std::string> listed = RealFileSystem().ListFolder(bench.In("")).value();
  for (std::string& name : listed) {
    name = bench.In(name);
  }
  EXPECT_THAT(bench.Paths(), ElementsAreArray(listed));
  std::vector<std::string> lines;
  lines.reserve(listed.size());
  for (const std::string& path : listed) {
    lines.push_back(bench.store->ReadString("Main", "Module_Name", "", path));
  }
  EXPECT_THAT(bench.toolkit.listLines, ElementsAreArray(lines));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "TM-T88"), 2);
  ReleaseCatalogue(bench.catalogue);
  EXPECT_THAT(bench.catalogue.entries, IsEmpty());
}

// Nothing to offer, or no folder to look in: one message in an OK box, the cancel action, no
// line and no entry left.
TEST(Catalogue, GivesUpWithMessage1Or2) {
  using Operation = FaultyFileSystem::Operation;
  const struct {
    const char* name;
    std::function<void(Bench&)> setUp;
    MessageId message;
  } rows[] = {{"missing folder", [](Bench&) {}, MessageId::kFolderMissing},
              {"file in its place", [](Bench& b) { b.temp.Write("Printer Commands", "x"); },
               MessageId::kFolderMissing},
              {"empty folder", [](Bench& b) { b.Make({}); }, MessageId::kNoModuleFiles},
              {"no module file",
               [](Bench& b) {
                 b.Make({"Epson/", "ini/", "a.txt=A"});
               },
               MessageId::kNoModuleFiles},
              {"unlistable folder",
               [](Bench& b) {
                 b.Make({"E.ini=E"});
                 b.files.FailOn(Operation::kList);
               },
               MessageId::kNoModuleFiles}};
  for (const auto& row : rows) {
    Bench bench;
    row.setUp(bench);
    EXPECT_FALSE(bench.Scan()) << row.name;
    EXPECT_THAT(bench.toolkit.messages, ElementsAre(row.message)) << row.name;
    EXPECT_THAT(bench.toolkit.buttonsShown, ElementsAre(MessageButtons::kOk)) << row.name;
    EXPECT_EQ(bench.toolkit.ending, Ending::kCancel) << row.name;
    EXPECT_TRUE(bench.toolkit.listLines.empty() && bench.catalogue.entries.empty()) << row.name;
  }
}

// A name is in use when some module shows it (ignoring case) while living in a file of another
// title; a module whose name is its own file's title can be overwritten by naming it.
TEST(Catalogue, NameInUseIsAnotherFilesModuleName) {
  const std::string in(1, kPathSeparator);
  const Catalogue catalogue{"",
                            "",
                            {{"Epson TM", in + "Epson.ini"},
                             {"Star", in + "STAR.INI"},
                             {"Citizen", in + "Citizen.ini"},
                             {"Citizen", in + "B.ini"}}};
  for (const std::string_view name : {"epson tm", "CITIZEN"}) {
    EXPECT_TRUE(IsNameInUse(catalogue, name)) << name;
  }
  for (const std::string_view name : {"Epson", "star", "Star_1", ""}) {
    EXPECT_FALSE(IsNameInUse(catalogue, name)) << name;
  }
}

}  // namespace
}  // namespace quillmere
