// The portable profile store on disk: whole or no replaces, and a cache that follows the disk.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

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
  std::string Name() { return store->ReadString("Main", "Module_Name", "none", path); }
  WriteStatus Write(std::string_view key, std::string_view value) {
    return store->WriteString("Main", key, value, path);
  }

  testing::TempFolder folder;
  testing::FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakePortableProfileStore(files);
  std::string path = folder.PathOf("m.ini");
};

// A missing file reads as defaults; a write creates it and leaves no temporary file.
TEST_F(Store, MissingFileReadsDefaultsAndAWriteCreatesIt) {
  EXPECT_EQ(Name(), "none");
  EXPECT_EQ(folder.List(), Names{});
  ASSERT_EQ(Write("Module_Name", "A"), WriteStatus::kOk);
  EXPECT_EQ(folder.List(), Names{"m.ini"});
  EXPECT_EQ(folder.Read("m.ini"), kModule);
  EXPECT_EQ(Name(), "A");
}

// A refused or failed write leaves the file as it was, and the next write starts from the file.
TEST_F(Store, FailedWriteKeepsTheFile) {
  EXPECT_EQ(Write("k", "a\nb"), WriteStatus::kRefused);
  EXPECT_EQ(folder.List(), Names{});
  folder.Write("m.ini", kModule);
  ASSERT_EQ(Name(), "A");
  files.FailOn(Operation::kRead);
  EXPECT_EQ(Write("Module_Name", "B"), WriteStatus::kFailed);
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
  files.FailOn(Operation::kReplace);
  EXPECT_EQ(Write("Module_Name", "B"), WriteStatus::kFailed);
  EXPECT_EQ(folder.Read("m.ini"), kModule);
  EXPECT_EQ(Name(), "A");
  ASSERT_EQ(Write("UseDll", "0,"), WriteStatus::kOk);
  EXPECT_EQ(folder.Read("m.ini"), kModule + "UseDll=0,\r\n");
}

// An old file is read once for many reads; every change from outside is seen; no idle write.
TEST_F(Store, ParsedCopyFollowsTheFile) {
  folder.Write("m.ini", kModule);
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(Name(), "A");
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
  // A write of the value already there leaves the file untouched.
  folder.Write("m.ini", kModule);
  ASSERT_EQ(Write("Module_Name", "A"), WriteStatus::kOk);
  EXPECT_EQ(files.Calls(Operation::kReplace), 0);
}

// Where a rewrite keeps the stamp (coarse clock), a recent change is seen; a write reads anew.
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
    ASSERT_EQ(Write("UseDll", "0,"), WriteStatus::kOk);
    EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\nModule_Name=BBBB\r\nUseDll=0,\r\n");
  }
}

}  // namespace
}  // namespace quillmere
