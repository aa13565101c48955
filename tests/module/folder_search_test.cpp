// Where the module folder is found when none is named: beside the executable as invoked, then as
// resolved, else the user's own folder, made on first start with the installed samples; and
// message 1, naming every folder looked for, when none serves.
#include "module/folder_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cerrno>
#include <memory>
#include <optional>

#include "module/catalogue.h"
#include "platform/profile_store.h"
#include "platform/program_places.h"
#include "support/environment_variable.h"
#include "support/fake_library_loader.h"
#include "support/faulty_file_system.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::FaultyFileSystem;

// Folders "invoked" and "resolved" for the executable, samples in "share", the user's folder
// below "data"; the real profile store over a file system that fails on demand.
struct Places {
  Places() {
    temp.MakeFolder("invoked");
    temp.MakeFolder("resolved");
    temp.Write("share/Printer Commands/A.ini", "[Main]\r\nModule_Name=Alpha\r\n");
    temp.Write("share/Printer Commands/Cut.dll", "a module library");
    places = {{temp.PathOf("invoked"), temp.PathOf("resolved")},
              temp.PathOf("data/quillmere/Printer Commands"),
              temp.PathOf("share/Printer Commands")};
  }
  // The folder the scan settles on, "" when none; message 1's detail when it is shown.
  std::pair<std::string, std::string> Scan() {
    Catalogue catalogue;
    toolkit.details.clear();
    const bool scanned = ScanCatalogueIn(catalogue, places, services, toolkit);
    return {scanned ? catalogue.folderPath : "",
            toolkit.details.empty() ? "" : toolkit.details.front()};
  }

  testing::TempFolder temp;
  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  testing::FakeLibraryLoader libraries;
  PlatformServices services{*store, files, libraries};
  testing::RecordingToolkit toolkit;
  ModuleFolderPlaces places;
};

TEST(FolderSearch, BesideTheExecutableAsInvokedFirst) {
  Places at;
  at.temp.Write("resolved/Printer Commands/R.ini", "[Main]\r\n");
  EXPECT_EQ(at.Scan().first, at.temp.PathOf("resolved/Printer Commands"));
  at.temp.Write("invoked/Printer Commands/I.ini", "[Main]\r\n");
  EXPECT_EQ(at.Scan().first, at.temp.PathOf("invoked/Printer Commands"));
  EXPECT_FALSE(at.temp.Exists("data"));
}

// Made once, with every sample file; found as it is afterwards.
TEST(FolderSearch, TheUsersOwnFolderIsMadeWithTheSamplesOnFirstStart) {
  Places at;
  EXPECT_EQ(at.Scan(), std::pair(at.places.userFolder, std::string()));
  EXPECT_EQ(at.temp.List("data/quillmere/Printer Commands"),
            (std::vector<std::string>{"A.ini", "Cut.dll"}));
  at.temp.Write("data/quillmere/Printer Commands/A.ini", "[Main]\r\nModule_Name=Mine\r\n");
  EXPECT_EQ(at.Scan().first, at.places.userFolder);
  EXPECT_EQ(at.temp.Read("data/quillmere/Printer Commands/A.ini"),
            "[Main]\r\nModule_Name=Mine\r\n");
}

// A copy that fails leaves no half-made folder behind, and message 1 says where it looked and why.
TEST(FolderSearch, MessageOneNamesEveryFolderLookedFor) {
  Places at;
  at.files.FailOn(FaultyFileSystem::Operation::kCopy, 2);
  EXPECT_EQ(at.Scan(),
            std::pair(std::string(), "looked for " + at.temp.PathOf("invoked/Printer Commands") +
                                         ", " + at.temp.PathOf("resolved/Printer Commands") +
                                         " and " + at.places.userFolder +
                                         " (could not be made: No space left on device)"));
  EXPECT_EQ(at.toolkit.messages, std::vector{MessageId::kFolderMissing});
  EXPECT_FALSE(at.temp.Exists("data/quillmere/Printer Commands"));
#ifndef _WIN32
  at.places = {{}, at.temp.PathOf("blocked/Printer Commands"), at.places.sampleFolder};
  at.temp.Write("blocked", "a file where the folder would go");
  EXPECT_EQ(at.Scan().second, "looked for " + at.places.userFolder +
                                  " (could not be made: " + SystemErrorText(ENOTDIR) + ")");
#endif
}

#ifndef _WIN32
// The executable as invoked through a link keeps the link's folder; the user's folder is under
// $XDG_DATA_HOME, else ~/.local/share.
TEST(FolderSearch, ThisProgramsPlaces) {
  using testing::EnvironmentVariable;
  testing::TempFolder temp;
  const std::string link = temp.PathOf("quillmere-cli");
  ASSERT_EQ(::symlink(RealFileSystem().ExecutablePath().value().c_str(), link.c_str()), 0);
  RecordInvocation(link);
  const EnvironmentVariable home("HOME", temp.PathOf("home").c_str());
  std::optional<ModuleFolderPlaces> places;
  {
    const EnvironmentVariable dataHome("XDG_DATA_HOME", temp.PathOf("data").c_str());
    places = ProgramModuleFolderPlaces(RealFileSystem());
  }
  const EnvironmentVariable noDataHome("XDG_DATA_HOME", nullptr);
  const ModuleFolderPlaces withoutXdg = ProgramModuleFolderPlaces(RealFileSystem());
  RecordInvocation("");
  EXPECT_EQ(places->executableFolders,
            (std::vector{temp.path(), FolderOf(*RealFileSystem().ExecutablePath())}));
  EXPECT_EQ(places->userFolder, temp.PathOf("data/quillmere/Printer Commands"));
  EXPECT_EQ(withoutXdg.userFolder, temp.PathOf("home/.local/share/quillmere/Printer Commands"));
}
#endif

}  // namespace
}  // namespace quillmere
