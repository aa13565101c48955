// The portable profile store on disk: a missing file, a write that replaces the file whole or
// fails leaving it as it was, and a parsed copy that follows every change on disk. The rules of
// reading and writing a file's bytes are the document's (ini_document_test).
#include <gtest/gtest.h>

#include <chrono>
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

using Operation = testing::FaultyFileSystem::Operation;
using Names = std::vector<std::string>;

const std::string kModule = "[Main]\r\nModule_Name=A\r\n";

class Store : public ::testing::Test {
 protected:
  std::string Bytes() { return folder.Read("m.ini"); }
  std::string Name() { return store->ReadString("Main", "Module_Name", "none", path); }

  testing::TempFolder folder;
  testing::FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);
  std::string path = folder.PathOf("m.ini");
};

TEST_F(Store, MissingFileReadsDefaultsAndAWriteCreatesIt) {
  EXPECT_EQ(Name(), "none");
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 30, path), 30);
  EXPECT_TRUE(store->ReadKeyNames("Main", path).empty());
  EXPECT_FALSE(folder.Exists("m.ini"));
  ASSERT_EQ(store->WriteString("Main", "Module_Name", "A", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(), kModule);
  EXPECT_EQ(folder.List(), Names{"m.ini"});  // no temporary file left
  EXPECT_EQ(Name(), "A");
}

// A write the document refuses, or that finds the file unreadable, replaces nothing.
TEST_F(Store, RefusedOrUnreadableWriteTouchesNoFile) {
  EXPECT_EQ(store->WriteString("Main", "k", "a\nb", path), WriteStatus::kRefused);
  EXPECT_FALSE(folder.Exists("m.ini"));
  folder.Write("m.ini", kModule);
  files.FailOn(Operation::kRead);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(Bytes(), kModule);
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

TEST_F(Store, FailedReplaceIsReportedAndKeepsTheFile) {
  folder.Write("m.ini", kModule);
  ASSERT_EQ(Name(), "A");
  files.FailOn(Operation::kReplace);
  EXPECT_EQ(store->WriteString("Main", "Module_Name", "B", path), WriteStatus::kFailed);
  EXPECT_EQ(Bytes(), kModule);
  EXPECT_EQ(Name(), "A");
  // The next write starts from the file as it is, not from the one that failed.
  ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(), kModule + "UseDll=0,\r\n");
}

// The parsed copy follows the file: an old file is read once for a whole load, and every change
// from outside is seen, even one of the same size within the file system's clock step.
TEST_F(Store, ParsedCopyFollowsTheFile) {
  std::string bytes = "[Multi-Command]\r\n";
  for (int i = 1; i <= 200; ++i) {
    bytes += std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
  }
  folder.Write("m.ini", bytes);
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  for (int i = 1; i <= 200; ++i) {
    ASSERT_EQ(store->ReadInt("Multi-Command", std::to_string(i), -1, path), i * 7);
  }
  EXPECT_EQ(files.Calls(Operation::kRead), 1);
  folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
  EXPECT_EQ(Name(), "AAAA");
  folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");  // in place, same size, same tick
  EXPECT_EQ(Name(), "BBBB");
  ASSERT_TRUE(RealFileSystem().ReplaceFile(path, "[Main]\r\nModule_Name=CCCC\r\n"));
  EXPECT_EQ(Name(), "CCCC");
  std::filesystem::remove(path);
  EXPECT_EQ(Name(), "none");
  // A write reads the file again and keeps what changed outside.
  folder.Write("m.ini", kModule);
  ASSERT_EQ(store->WriteString("Main", "WaitTime", "30", path), WriteStatus::kOk);
  EXPECT_EQ(Bytes(), kModule + "WaitTime=30\r\n");
  EXPECT_EQ(store->ReadInt("Main", "WaitTime", 0, path), 30);
  // A write of the value already there leaves the file untouched.
  const int replaced = files.Calls(Operation::kReplace);
  ASSERT_EQ(store->WriteString("Main", "WaitTime", "30", path), WriteStatus::kOk);
  EXPECT_EQ(files.Calls(Operation::kReplace), replaced);
}

// Where a rewrite keeps the stamp (coarse clock steps), a recent change is still seen, and a
// write starts from the file, never from the parsed copy alone.
TEST_F(Store, CoarseStampsHideNoChange) {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  for (const auto at : {now, now - std::chrono::hours(1)}) {
    files.stampTimeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(at).count();
    folder.Write("m.ini", "[Main]\r\nModule_Name=AAAA\r\n");
    ASSERT_EQ(Name(), "AAAA");
    folder.Write("m.ini", "[Main]\r\nModule_Name=BBBB\r\n");
    if (at == now) {
      EXPECT_EQ(Name(), "BBBB");
    }
    ASSERT_EQ(store->WriteString("Main", "UseDll", "0,", path), WriteStatus::kOk);
    EXPECT_EQ(Bytes(), "[Main]\r\nModule_Name=BBBB\r\nUseDll=0,\r\n");
  }
}

}  // namespace
}  // namespace quillmere
