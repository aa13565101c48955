// The portable profile store on disk: a missing file, a write that creates or replaces the file
// whole or fails leaving it as it was, and a parsed copy that follows every change on disk. The
// rules of reading and writing a file's bytes are ini_document_test's.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/portable_profile_store.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::FaultyFileSystem;
using testing::TempFolder;
using Operation = FaultyFileSystem::Operation;
using Names = std::vector<std::string>;

class Store : public ::testing::Test {
 protected:
  // Each row gets a file of its own, so that no row reads another row's parsed copy.
  std::string File(const std::string& bytes) {
    return folder.Write("m" + std::to_string(++files_) + ".ini", bytes);
  }
  std::string Bytes(const std::string& path) { return folder.Read(FileNameOf(path)); }

  TempFolder folder;
  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);

 private:
  int files_ = 0;
};

// A write the document refuses never reaches the disk: no file is made or replaced.
TEST_F(Store, RefusedWriteTouchesNoFile) {
  const std::string path = File("[S]\r\nk=1\r\n");
  EXPECT_EQ(store->WriteString("S", "k", "a\nb", path), WriteStatus::kRefused);
  EXPECT_EQ(store->WriteString("", "k", "v", folder.PathOf("absent.ini")), WriteStatus::kRefused);
  EXPECT_EQ(Bytes(path), "[S]\r\nk=1\r\n");
  EXPECT_FALSE(folder.Exists("absent.ini"));
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

TEST_F(Store, MissingFileReadsDefaultsAndAWriteCreatesIt) {
  const std::string path = folder.PathOf("new.ini");
  EXPECT_EQ(store->ReadString("Main", "UseDll", "0,", path), "0,");
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 30, path), 30);
  EXPECT_TRUE(store->ReadKeyNames("Main", path).empty());
  EXPECT_FALSE(folder.Exists("new.ini"));
  ASSERT_EQ(store->WriteString("Main", "Module_Name", "Epson_1", path), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("new.ini"), "[Main]\r\nModule_Name=Epson_1\r\n");
  EXPECT_EQ(folder.List(), Names{"new.ini"});  // no temporary file left
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "Epson_1");
}

TEST_F(Store, FailedReplaceIsReportedAndKeepsTheFile) {
  const std::string bytes = "[Main]\r\nModule_Name=A\r\n";
  const std::string path = File(bytes);
  ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "A");
  files.FailOn(Operation::kReplace);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(Bytes(path), bytes);
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "A");
  // The next write starts from the file as it is, not from the one that failed.
  ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(path), bytes + "UseDll=0,\r\n");
}

TEST_F(Store, UnreadableFileIsNeverReplaced) {
  const std::string bytes = "[Main]\r\nModule_Name=A\r\n";
  const std::string path = File(bytes);
  files.FailOn(Operation::kRead);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(Bytes(path), bytes);
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

// The parsed copy follows the file: an old file is read once for a whole load, and every change
// from outside is seen, even one of the same size within the file system's clock step.
TEST_F(Store, ParsedCopyFollowsTheFile) {
  std::string bytes = "[Multi-Command]\r\n";
  for (int i = 1; i <= 200; ++i) {
    bytes += std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
  }
  const std::string path = File(bytes);
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  for (int i = 1; i <= 200; ++i) {
    ASSERT_EQ(store->ReadInt("Multi-Command", std::to_string(i), -1, path), i * 7);
  }
  EXPECT_EQ(files.Calls(Operation::kRead), 1);
  const std::string name = FileNameOf(path);
  folder.Write(name, "[Main]\r\nModule_Name=AAAA\r\n");
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
  folder.Write(name, "[Main]\r\nModule_Name=BBBB\r\n");  // in place, same size, same tick
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "BBBB");
  ASSERT_TRUE(RealFileSystem().ReplaceFile(path, "[Main]\r\nModule_Name=CCCC\r\n"));
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "CCCC");
  std::filesystem::remove(path);
  EXPECT_EQ(store->ReadString("Main", "Module_Name", "none", path), "none");
  // A write reads the file again and keeps what changed outside.
  folder.Write(name, "[Main]\r\nModule_Name=A\r\nUseDll=0,\r\n");
  ASSERT_EQ(store->WriteString("Main", "WaitTime", "30", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(path), "[Main]\r\nModule_Name=A\r\nUseDll=0,\r\nWaitTime=30\r\n");
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 0, path), 30);
  // A write of the value already there leaves the file untouched.
  const int replaced = files.Calls(Operation::kReplace);
  ASSERT_EQ(store->WriteString("Main", "WaitTime", "30", path), WriteStatus::kOk);
  EXPECT_EQ(files.Calls(Operation::kReplace), replaced);
}

// The real disk, but every stamp carries one fixed time, as on a file system whose clock steps
// are coarser than the test: a rewrite in place with the same size leaves the stamp alike.
class FrozenStampFiles final : public FileSystem {
 public:
  explicit FrozenStampFiles(std::chrono::system_clock::time_point at)
      : ns_(std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count()) {}
  FileStamp Stamp(const std::string& path) override {
    FileStamp stamp = real_.Stamp(path);
    stamp.modifiedNs = stamp.changedNs = ns_;
    return stamp;
  }
  std::optional<std::string> ReadFile(const std::string& p) override { return real_.ReadFile(p); }
  bool ReplaceFile(const std::string& p, std::string_view b) override {
    return real_.ReplaceFile(p, b);
  }
  // The store only stamps, reads and replaces files.
  std::optional<std::string> ExecutablePath() override { return {}; }
  bool Exists(const std::string&) override { return false; }
  bool IsFolder(const std::string&) override { return false; }
  std::optional<Names> ListFolder(const std::string&) override { return {}; }
  bool CopyFile(const std::string&, const std::string&) override { return false; }
  std::optional<std::string> CreateUniqueFile(const std::string&, std::string_view) override {
    return {};
  }
  bool RenameOver(const std::string&, const std::string&) override { return false; }
  bool RemoveFile(const std::string&) override { return false; }

 private:
  FileSystem& real_ = RealFileSystem();
  std::int64_t ns_;
};

TEST(CoarseStamps, RecentChangeIsSeenAndAWriteStartsFromTheFile) {
  const auto now = std::chrono::system_clock::now();
  for (const auto frozenAt : {now, now - std::chrono::hours(1)}) {
    TempFolder folder;
    FrozenStampFiles files(frozenAt);
    const std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);
    const std::string path = folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
    ASSERT_EQ(store->ReadString("Main", "Module_Name", "", path), "AAAA");
    folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");
    if (frozenAt == now) {
      EXPECT_EQ(store->ReadString("Main", "Module_Name", "", path), "BBBB");
    }
    ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
    EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\nModule_Name=BBBB\r\nUseDll=0,\r\n");
  }
}

}  // namespace
}  // namespace quillmere
