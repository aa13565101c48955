// The portable profile store on a real disk: missing files, atomic writes that fail cleanly, and a
// parsed copy that follows the file when it changes from outside.
#include "platform/portable_profile_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::FaultyFileSystem;
using testing::TempFolder;
using Operation = FaultyFileSystem::Operation;

// Puts the file's modification time an hour back, as a module file lying in its folder has it.
void MakeOld(const std::string& path) {
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
}

// The real disk, but every stamp carries one fixed time, as on a file system whose clock steps
// are coarser than the test: a rewrite in place with the same size leaves the stamp alike.
class FrozenStampFiles final : public FileSystem {
 public:
  explicit FrozenStampFiles(std::chrono::system_clock::time_point frozenAt)
      : frozenNs_(std::chrono::duration_cast<std::chrono::nanoseconds>(frozenAt.time_since_epoch())
                      .count()) {}

  std::optional<std::string> ExecutablePath() override { return real_.ExecutablePath(); }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  bool IsFolder(const std::string& path) override { return real_.IsFolder(path); }
  std::optional<std::vector<std::string>> ListFolder(const std::string& folder) override {
    return real_.ListFolder(folder);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    return real_.ReadFile(path);
  }
  FileStamp Stamp(const std::string& path) override {
    FileStamp stamp = real_.Stamp(path);
    if (stamp.exists) {
      stamp.modifiedNs = frozenNs_;
      stamp.changedNs = frozenNs_;
    }
    return stamp;
  }
  bool CopyFile(const std::string& from, const std::string& to) override {
    return real_.CopyFile(from, to);
  }
  bool ReplaceFile(const std::string& path, std::string_view bytes) override {
    return real_.ReplaceFile(path, bytes);
  }
  std::optional<std::string> CreateUniqueFile(const std::string& folder,
                                              std::string_view stem) override {
    return real_.CreateUniqueFile(folder, stem);
  }
  bool RenameOver(const std::string& from, const std::string& to) override {
    return real_.RenameOver(from, to);
  }
  bool RemoveFile(const std::string& path) override { return real_.RemoveFile(path); }

 private:
  FileSystem& real_ = RealFileSystem();
  std::int64_t frozenNs_;
};

TEST(CoarseStamps, RewriteInPlaceJustAfterAChangeIsSeen) {
  TempFolder folder;
  FrozenStampFiles files(std::chrono::system_clock::now());
  const std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
  folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "BBBB");
}

TEST(CoarseStamps, WriteStartsFromTheFileEvenWhenItsStampIsAlike) {
  TempFolder folder;
  FrozenStampFiles files(std::chrono::system_clock::now() - std::chrono::hours(1));
  const std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
  folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");
  ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\nModule_Name=BBBB\r\nUseDll=0,\r\n");
}

class PortableStore : public ::testing::Test {
 protected:
  TempFolder folder;
  FaultyFileSystem files{RealFileSystem()};
  std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);
};

TEST_F(PortableStore, MissingFileReadsDefaultsAndStaysMissing) {
  const std::string path = folder.PathOf("absent.ini");
  EXPECT_EQ(store->ReadString("Main", "UseDll", "0,", path), "0,");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "trailing  ", path), "trailing");
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 30, path), 30);
  EXPECT_TRUE(store->ReadKeyNames("Main", path).empty());
  EXPECT_FALSE(folder.Exists("absent.ini"));
}

TEST_F(PortableStore, WriteCreatesMissingFile) {
  const std::string path = folder.PathOf("new.ini");
  ASSERT_EQ(store->WriteString("Main", "Module_Name", "Epson_1", path), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("new.ini"), "[Main]\r\nModule_Name=Epson_1\r\n");
  EXPECT_EQ(folder.List(), std::vector<std::string>{"new.ini"});  // no temporary file left
}

TEST_F(PortableStore, LaterReadSeesWrite) {
  const std::string path = folder.Write("m.ini", "[Single-Command]\r\nC-Num=2\r\n");
  ASSERT_EQ(store->ReadInt("Single-Command", "C-Num", 0, path), 2);
  ASSERT_EQ(store->WriteString("single-command", "c-num", "3", path), WriteStatus::kOk);
  EXPECT_EQ(store->ReadInt("Single-Command", "C-Num", 0, path), 3);
  ASSERT_EQ(store->WriteString("Single-Command", "3", "3,0A,LF", path), WriteStatus::kOk);
  EXPECT_EQ(store->ReadString("Single-Command", "3", "", path), "3,0A,LF");
  EXPECT_EQ(store->ReadKeyNames("Single-Command", path), (std::vector<std::string>{"C-Num", "3"}));
  EXPECT_EQ(folder.Read("m.ini"), "[Single-Command]\r\nC-Num=3\r\n3=3,0A,LF\r\n");
}

TEST_F(PortableStore, WriteToLfFileKeepsItLf) {
  const std::string path = folder.Write("m.ini", "; made on Linux\n[Main]\nModule_Name=A\n\n");
  ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
  ASSERT_EQ(store->WriteString("Mutli-Command", "M-Num", "0", path), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("m.ini"),
            "; made on Linux\n[Main]\nModule_Name=A\nUseDll=0,\n\n[Mutli-Command]\nM-Num=0\n");
}

TEST_F(PortableStore, RefusedWriteLeavesFolderAlone) {
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=A\r\n");
  const auto before = folder.Snapshot();
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "A\r\n[Evil]", path), WriteStatus::kRefused);
  EXPECT_EQ(store->WriteString("Main", "a=b", "c", path), WriteStatus::kRefused);
  EXPECT_EQ(store->WriteString("", "k", "v", folder.PathOf("absent.ini")), WriteStatus::kRefused);
  EXPECT_EQ(folder.Snapshot(), before);
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

TEST_F(PortableStore, FailedReplaceReportsFailureAndKeepsFile) {
  const std::string bytes = "[Main]\r\nModule_Name=A\r\n";
  const std::string path = folder.Write("m.ini", bytes);
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "A");
  files.FailOn(Operation::kReplace);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(folder.Read("m.ini"), bytes);
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "A");
  // The next write starts from the file as it is, not from the one that failed.
  ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\nModule_Name=A\r\nUseDll=0,\r\n");
}

TEST_F(PortableStore, UnreadableFileIsNeverReplaced) {
  const std::string bytes = "[Main]\r\nModule_Name=A\r\n";
  const std::string path = folder.Write("m.ini", bytes);
  files.FailOn(Operation::kRead);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(folder.Read("m.ini"), bytes);
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

// Failures a root user meets too: something other than a writable file stands in the way.
TEST_F(PortableStore, FolderStandingAtTargetFailsTheWrite) {
  const std::string path = folder.MakeFolder("m.ini");
  folder.Write("m.ini/inside.txt", "kept");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "none", path), "none");
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(folder.List(), std::vector<std::string>{"m.ini"});
  EXPECT_EQ(folder.Read("m.ini/inside.txt"), "kept");
}

TEST_F(PortableStore, MissingFolderFailsTheWrite) {
  EXPECT_EQ(store->WriteString("Main", "k", "v", folder.PathOf("absent/m.ini")),
            WriteStatus::kFailed);
  EXPECT_TRUE(folder.List().empty());
}

TEST_F(PortableStore, FileStandingAsFolderFailsTheWrite) {
  folder.Write("plain", "not a folder");
  EXPECT_EQ(store->WriteString("Main", "k", "v", folder.PathOf("plain/m.ini")),
            WriteStatus::kFailed);
  EXPECT_EQ(folder.Read("plain"), "not a folder");
  EXPECT_EQ(folder.List(), std::vector<std::string>{"plain"});
}

TEST_F(PortableStore, UnicodeFileReadsDefaultsAndIsNeverWritten) {
  // After the mark the bytes look like an 8-bit module file, which they are not.
  const std::string bytes = "\xFF\xFE\r\n[S]\r\nk=v\r\n";
  const std::string path = folder.Write("u.ini", bytes);
  EXPECT_EQ(store->ReadString("S", "k", "d", path), "d");
  EXPECT_EQ(store->WriteString("S", "k", "w", path), WriteStatus::kFailed);
  EXPECT_EQ(folder.Read("u.ini"), bytes);
}

TEST_F(PortableStore, FileReplacedFromOutsideWithSameSizeIsReadAgain) {
  const std::string path = folder.Write("m.ini", "[Main]\r\nWaitTime=30\r\n");
  ASSERT_EQ(store->ReadInt("Main", "WaitTime", 0, path), 30);
  ASSERT_TRUE(RealFileSystem().ReplaceFile(path, "[Main]\r\nWaitTime=45\r\n"));
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 0, path), 45);
}

TEST_F(PortableStore, FileRewrittenInPlaceWithSameSizeIsReadAgain) {
  // Within the same tick of the file system's clock: the stamp may not show the change.
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
  folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "BBBB");
}

TEST_F(PortableStore, OldFileIsReadOnceForManyReads) {
  std::string bytes = "[Multi-Command]\r\n";
  for (int i = 1; i <= 200; ++i) {
    bytes += std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
  }
  const std::string path = folder.Write("m.ini", bytes);
  MakeOld(path);
  for (int i = 1; i <= 200; ++i) {
    ASSERT_EQ(store->ReadInt("Multi-Command", std::to_string(i), -1, path), i * 7);
  }
  EXPECT_EQ(files.Calls(Operation::kRead), 1);

  // A change from outside shows in the stamp, whatever the size.
  folder.Write("m.ini", "[Multi-Command]\r\n1=8\r\n");
  EXPECT_EQ(store->ReadInt("Multi-Command", "1", -1, path), 8);
  EXPECT_EQ(store->ReadInt("Multi-Command", "2", -1, path), -1);
}

TEST_F(PortableStore, OldFileRewrittenInPlaceWithSameSizeIsReadAgain) {
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
  MakeOld(path);
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
  folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "BBBB");
}

TEST_F(PortableStore, FileRemovedOrCreatedFromOutsideIsSeen) {
  const std::string path = folder.PathOf("m.ini");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "none", path), "none");
  folder.Write("m.ini", "[Main]\r\nModule_Name=A\r\n");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "none", path), "A");
  std::filesystem::remove(path);
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "none", path), "none");
}

TEST_F(PortableStore, WriteKeepsAnOutsideChangeMadeAfterARead) {
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=A\r\n");
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "A");
  folder.Write("m.ini", "[Main]\r\nModule_Name=A\r\nUseDll=0,\r\n");
  ASSERT_EQ(store->WriteString("Main", "WaitTime", "30", path), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\nModule_Name=A\r\nUseDll=0,\r\nWaitTime=30\r\n");
}

TEST_F(PortableStore, WriteOfTheSameValueLeavesFileUntouched) {
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=A\r\n");
  MakeOld(path);
  const FileStamp before = RealFileSystem().Stamp(path);
  ASSERT_EQ(store->WriteString("Main", "Module_Name", "A", path), WriteStatus::kOk);
  EXPECT_EQ(RealFileSystem().Stamp(path), before);
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

TEST_F(PortableStore, ManyFilesEachKeepTheirOwnValues) {
  std::vector<std::string> paths;
  paths.reserve(20);
  for (int i = 0; i < 20; ++i) {
    paths.push_back(folder.Write("m" + std::to_string(i) + ".ini",
                                 "[Main]\r\nModule_Name=M" + std::to_string(i) + "\r\n"));
  }
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(store->ReadString("Main", "Module_Name", "", paths[static_cast<std::size_t>(i)]),
                "M" + std::to_string(i));
    }
  }
  ASSERT_EQ(store->WriteString("Main", "Module_Name", "New", paths[0]), WriteStatus::kOk);
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", paths[19]), "M19");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", paths[0]), "New");
}

TEST(ProfileStoreOfThisPlatform, ReadsAndWritesModuleFiles) {
  TempFolder folder;
  const std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=A\r\n");
  ASSERT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kOk);
  EXPECT_EQ(store->ReadString("MAIN", "module_name", "", path), "B");
  EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\nModule_Name=B\r\n");
}

}  // namespace
}  // namespace quillmere
