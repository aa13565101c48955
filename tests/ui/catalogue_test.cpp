// The catalogue scan: which folder entries become base modules, what the base list shows, and
// how a folder with nothing to offer ends the dialog.
#include "ui/catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/case_name.h"
#include "support/faulty_file_system.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::CaseName;
using ::testing::ElementsAre;
using testing::FaultyFileSystem;
using ::testing::IsEmpty;
using testing::RecordingToolkit;
using testing::TempFolder;
using Ending = RecordingToolkit::Ending;

// The scan never loads a module library.
class NoLibraries final : public LibraryLoader {
 public:
  std::unique_ptr<ModuleLibrary> Load(const std::string& /*path*/) override { return nullptr; }
};

std::string ModuleFile(std::string_view moduleName) {
  return "; sample\r\n[Main]\r\nModule_Name=" + std::string(moduleName) +
         "\r\nUseDll=0,\r\nS-Num=1\r\n\r\n[Single-Command]\r\n1=1,FF,1,1\r\n";
}

class CatalogueTest : public ::testing::Test {
 protected:
  CatalogueTest() { files.executablePath = temp.PathOf("quillmere"); }

  // The module folder beside the executable.
  void MakeModuleFolder() const { temp.MakeFolder("Printer Commands"); }
  void WriteModule(std::string_view fileName, std::string_view moduleName) const {
    temp.Write("Printer Commands/" + std::string(fileName), ModuleFile(moduleName));
  }
  [[nodiscard]] std::string ModulePath(std::string_view fileName) const {
    return temp.PathOf("Printer Commands/" + std::string(fileName));
  }

  bool Scan() { return ScanCatalogue(catalogue, services, toolkit); }

  // A scan that gave up: this message in an OK box, the cancel action, and nothing offered.
  void ExpectGaveUpWith(MessageId message) const {
    EXPECT_THAT(toolkit.messages, ElementsAre(message));
    EXPECT_THAT(toolkit.buttonsShown, ElementsAre(MessageButtons::kOk));
    EXPECT_EQ(toolkit.ending, Ending::kCancel);
    EXPECT_THAT(toolkit.listLines, IsEmpty());
    EXPECT_THAT(catalogue.entries, IsEmpty());
  }

  // A scan that filled the list: no message, the dialog still open.
  void ExpectFilled() const {
    EXPECT_THAT(toolkit.messages, IsEmpty());
    EXPECT_EQ(toolkit.ending, Ending::kOpen);
  }

  [[nodiscard]] std::vector<std::string> EntryPaths() const {
    std::vector<std::string> paths;
    for (const ModuleEntry& entry : catalogue.entries) {
      paths.push_back(entry.path);
    }
    return paths;
  }

  TempFolder temp;
  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  NoLibraries libraries;
  PlatformServices services{*store, files, libraries};
  RecordingToolkit toolkit;
  Catalogue catalogue;
};

// Where the module folder is: "Printer Commands" in the executable's folder.

TEST_F(CatalogueTest, LooksBesideTheExecutable) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson");
  ASSERT_TRUE(Scan());
  EXPECT_EQ(catalogue.executableFolder, temp.path());
  EXPECT_EQ(catalogue.folderPath, temp.PathOf("Printer Commands"));
  EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath("Epson.ini")));
}

TEST_F(CatalogueTest, ExecutableInTheRootLooksInTheRoot) {
  files.executablePath = std::string(1, kPathSeparator) + "quillmere";
  Scan();
  EXPECT_EQ(catalogue.executableFolder, "");
  EXPECT_EQ(catalogue.folderPath, std::string(1, kPathSeparator) + "Printer Commands");
}

TEST_F(CatalogueTest, GivenFolderLeavesTheExecutableFolderAlone) {
  const std::string folder = temp.MakeFolder("elsewhere");
  temp.Write("elsewhere/Epson.ini", ModuleFile("Epson"));
  catalogue.executableFolder = "kept";
  ASSERT_TRUE(ScanCatalogueFolder(catalogue, folder, services, toolkit));
  EXPECT_EQ(catalogue.executableFolder, "kept");
  EXPECT_EQ(catalogue.folderPath, folder);
  EXPECT_THAT(EntryPaths(), ElementsAre(temp.PathOf("elsewhere/Epson.ini")));
}

// Which entries are module files: the name ends in ".ini", ignoring case; nothing else counts.

struct NameCase {
  const char* name;
  const char* fileName;
  bool taken;
  // Rows print as their names, so the test names stay readable.
  friend void PrintTo(const NameCase& row, std::ostream* os) { *os << row.name; }
};

class ModuleFileNameTest : public CatalogueTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ModuleFileNameTest, TakesNamesEndingInIni) {
  MakeModuleFolder();
  WriteModule(GetParam().fileName, "Module");
  const bool filled = Scan();
  if (GetParam().taken) {
    EXPECT_TRUE(filled);
    ExpectFilled();
    EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath(GetParam().fileName)));
    EXPECT_THAT(toolkit.listLines, ElementsAre("Module"));
  } else {
    EXPECT_FALSE(filled);
    ExpectGaveUpWith(MessageId::kNoModuleFiles);
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ModuleFileNameTest,
                         ::testing::Values(NameCase{"UpperCase", "EPSON.INI", true},
                                           NameCase{"MixedCase", "Epson.Ini", true},
                                           NameCase{"LowerCase", "epson.ini", true},
                                           NameCase{"OnlyTheExtension", ".ini", true},
                                           NameCase{"BlankInName", "Epson TM-T88.ini", true},
                                           NameCase{"BackupCopy", "epson.ini.bak", false},
                                           NameCase{"ShortExtension", "epson.in", false},
                                           NameCase{"NoDot", "epsonini", false},
                                           NameCase{"ThreeLetters", "ini", false},
                                           NameCase{"OtherExtension", "epson.txt", false}),
                         CaseName());

TEST_F(CatalogueTest, SubFolderNamedLikeAModuleIsTaken) {
  MakeModuleFolder();
  temp.MakeFolder("Printer Commands/Archive.ini");
  ASSERT_TRUE(Scan());
  ExpectFilled();
  ASSERT_THAT(EntryPaths(), ElementsAre(ModulePath("Archive.ini")));
  // A folder has no Module_Name to read: an empty line that can still be chosen.
  EXPECT_EQ(catalogue.entries[0].name, "");
  EXPECT_THAT(toolkit.listLines, ElementsAre(""));
}

TEST_F(CatalogueTest, DoesNotLookIntoSubFolders) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson");
  temp.Write("Printer Commands/old/Star.ini", ModuleFile("Star"));
  temp.Write("Printer Commands/Archive.ini/Citizen.ini", ModuleFile("Citizen"));
  ASSERT_TRUE(Scan());
  EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath("Archive.ini"), ModulePath("Epson.ini")));
}

// Folders with nothing to offer: message 2 and the cancel action.

struct EmptyCase {
  const char* name;
  std::vector<const char*> folders;
  std::vector<const char*> files;
  // Rows print as their names, so the test names stay readable.
  friend void PrintTo(const EmptyCase& row, std::ostream* os) { *os << row.name; }
};

class NothingToOfferTest : public CatalogueTest, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(NothingToOfferTest, ShowsMessage2AndCancels) {
  MakeModuleFolder();
  for (const char* folder : GetParam().folders) {
    temp.MakeFolder("Printer Commands/" + std::string(folder));
  }
  for (const char* file : GetParam().files) {
    temp.Write("Printer Commands/" + std::string(file), ModuleFile("Not offered"));
  }
  EXPECT_FALSE(Scan());
  ExpectGaveUpWith(MessageId::kNoModuleFiles);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, NothingToOfferTest,
    ::testing::Values(EmptyCase{"EmptyFolder", {}, {}},
                      EmptyCase{"OnlySubFolders", {"Epson", "old", "ini"}, {}},
                      EmptyCase{"OtherExtensions", {}, {"Epson.ini.bak", "readme.txt", "Epson.in"}},
                      EmptyCase{"SubFoldersAndOtherFiles",
                                {"backup"},
                                {"backup/Epson.ini", "Star.INI~", "notes"}}),
    CaseName());

// No module folder: message 1 and the cancel action.

TEST_F(CatalogueTest, MissingFolderShowsMessage1) {
  EXPECT_FALSE(Scan());
  ExpectGaveUpWith(MessageId::kFolderMissing);
}

TEST_F(CatalogueTest, FileInPlaceOfTheFolderShowsMessage1) {
  temp.Write("Printer Commands", ModuleFile("A file, not a folder"));
  EXPECT_FALSE(Scan());
  ExpectGaveUpWith(MessageId::kFolderMissing);
}

TEST_F(CatalogueTest, UnlistableFolderShowsMessage2) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson");
  files.FailOn(FaultyFileSystem::Operation::kList);
  EXPECT_FALSE(Scan());
  EXPECT_EQ(files.Calls(FaultyFileSystem::Operation::kList), 1);
  ExpectGaveUpWith(MessageId::kNoModuleFiles);
}

// What each line shows: the file's Module_Name, as the profile functions read it.

TEST_F(CatalogueTest, LongModuleNameIsCutTo259Characters) {
  MakeModuleFolder();
  std::string longName;
  for (int i = 0; i < 300; ++i) {
    longName.push_back(static_cast<char>('a' + i % 26));
  }
  WriteModule("Long.ini", longName);
  ASSERT_TRUE(Scan());
  ASSERT_EQ(catalogue.entries.size(), 1U);
  EXPECT_EQ(catalogue.entries[0].name, longName.substr(0, 259));
  EXPECT_THAT(toolkit.listLines, ElementsAre(longName.substr(0, 259)));
}

struct UnnamedCase {
  const char* name;
  const char* bytes;
  // Rows print as their names, so the test names stay readable.
  friend void PrintTo(const UnnamedCase& row, std::ostream* os) { *os << row.name; }
};

class UnnamedModuleTest : public CatalogueTest,
                          public ::testing::WithParamInterface<UnnamedCase> {};

TEST_P(UnnamedModuleTest, GivesAnEmptyLineThatStillCounts) {
  MakeModuleFolder();
  temp.Write("Printer Commands/Unnamed.ini", GetParam().bytes);
  WriteModule("Named.ini", "Named");
  ASSERT_TRUE(Scan());
  ExpectFilled();
  EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath("Named.ini"), ModulePath("Unnamed.ini")));
  EXPECT_THAT(toolkit.listLines, ElementsAre("Named", ""));
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, UnnamedModuleTest,
    ::testing::Values(UnnamedCase{"NoModuleNameKey", "[Main]\r\nUseDll=0,\r\nS-Num=0\r\n"},
                      UnnamedCase{"NoMainSection", "[Single-Command]\r\nModule_Name=Wrong\r\n"},
                      UnnamedCase{"NameOnlyInAComment", "[Main]\r\n;Module_Name=Commented\r\n"},
                      UnnamedCase{"NameBeforeAnySection", "Module_Name=Loose\r\n[Main]\r\n"},
                      UnnamedCase{"EmptyFile", ""}),
    CaseName());

TEST_F(CatalogueTest, UnreadableFileGivesAnEmptyName) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson");
  files.FailOn(FaultyFileSystem::Operation::kRead);
  ASSERT_TRUE(Scan());
  EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath("Epson.ini")));
  EXPECT_THAT(toolkit.listLines, ElementsAre(""));
}

TEST_F(CatalogueTest, SameModuleNameTwiceGivesTwoLines) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson TM-T88");
  WriteModule("Epson_copy.ini", "Epson TM-T88");
  ASSERT_TRUE(Scan());
  EXPECT_THAT(toolkit.listLines, ElementsAre("Epson TM-T88", "Epson TM-T88"));
  // The list index still tells them apart.
  EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath("Epson.ini"), ModulePath("Epson_copy.ini")));
}

// The order of the list: the folder listing's, whatever the module names are.

TEST_F(CatalogueTest, ListsInFolderOrderNotByModuleName) {
  MakeModuleFolder();
  // Written in neither order, with module names that sort the other way round.
  WriteModule("tm-u220.ini", "Aardvark kitchen");
  WriteModule("Citizen.ini", "Xylo");
  WriteModule("BIXOLON.INI", "Yonder");
  WriteModule("epson.ini", "Monarch");
  WriteModule("Aclas.ini", "Zebra");
  WriteModule("Epson.ini", "Second Epson");
  ASSERT_TRUE(Scan());
  // Ignoring case first, then byte by byte: "Epson.ini" before "epson.ini".
  EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath("Aclas.ini"), ModulePath("BIXOLON.INI"),
                                        ModulePath("Citizen.ini"), ModulePath("Epson.ini"),
                                        ModulePath("epson.ini"), ModulePath("tm-u220.ini")));
  EXPECT_THAT(toolkit.listLines, ElementsAre("Zebra", "Yonder", "Xylo", "Second Epson", "Monarch",
                                             "Aardvark kitchen"));
  for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
    EXPECT_EQ(toolkit.listLines[i], catalogue.entries[i].name) << "line " << i;
  }
}

// The catalogue's life: built fresh by each scan, emptied on release.

TEST_F(CatalogueTest, SecondScanReplacesTheFirst) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson");
  ASSERT_TRUE(Scan());
  WriteModule("Star.ini", "Star");
  ASSERT_TRUE(Scan());
  EXPECT_THAT(EntryPaths(), ElementsAre(ModulePath("Epson.ini"), ModulePath("Star.ini")));
}

TEST_F(CatalogueTest, FailedScanLeavesNoEntryOfAnEarlierOne) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson");
  ASSERT_TRUE(Scan());
  files.FailOn(FaultyFileSystem::Operation::kList);
  EXPECT_FALSE(Scan());
  EXPECT_THAT(catalogue.entries, IsEmpty());
}

TEST_F(CatalogueTest, ReleaseEmptiesTheCatalogue) {
  MakeModuleFolder();
  WriteModule("Epson.ini", "Epson");
  WriteModule("Star.ini", "Star");
  ASSERT_TRUE(Scan());
  ASSERT_EQ(catalogue.entries.size(), 2U);
  ReleaseCatalogue(catalogue);
  EXPECT_THAT(catalogue.entries, IsEmpty());
  EXPECT_EQ(catalogue.entries.capacity(), 0U);
}

}  // namespace
}  // namespace quillmere
