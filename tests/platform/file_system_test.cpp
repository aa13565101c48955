#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::TempFolder;

TEST(Paths, JoinAndCutAtTheLastSeparator) {
  EXPECT_EQ(JoinPath("/opt/q", "Printer Commands"), "/opt/q/Printer Commands");
  EXPECT_EQ(FolderOf("/opt/q/quillmere"), "/opt/q");
  EXPECT_EQ(FileNameOf("/opt/q/Epson.ini"), "Epson.ini");
  // An executable in the root: the folder is empty, and the module folder lies in the root.
  EXPECT_EQ(FolderOf("/quillmere"), "");
  EXPECT_EQ(JoinPath(FolderOf("/quillmere"), "Printer Commands"), "/Printer Commands");
}

TEST(ListFolder, GivesNtfsOrderWithoutDotEntries) {
  TempFolder folder;
  for (const char* name : {"b.ini", "A.ini", "a.ini", "_x.ini", "B.INI", "ab.ini", "a"}) {
    folder.Write(name, "x");
  }
  const auto names = RealFileSystem().ListFolder(folder.path());
  ASSERT_TRUE(names.has_value());
  // Upper-cased first ("a" < "a.ini" < "ab.ini" < "b..."), then bytes ("A.ini" < "a.ini");
  // upper-cased, '_' (0x5F) comes after every letter, as NTFS lists "EpsonTM88" before "Epson_1".
  const std::vector<std::string> expected = {"a",     "A.ini", "a.ini", "ab.ini",
                                             "B.INI", "b.ini", "_x.ini"};
  EXPECT_EQ(*names, expected);
}

TEST(ListFolder, MissingFolderCannotBeListed) {
  TempFolder folder;
  EXPECT_FALSE(RealFileSystem().ListFolder(folder.PathOf("absent")).has_value());
}

TEST(CopyFile, CopiesExactBytesAndOverwrites) {
  TempFolder folder;
  const std::string bytes("[Main]\r\nModule_Name=A\r\n\0\xFF\n", 26);
  const std::string from = folder.Write("from.ini", bytes);
  const std::string to = folder.Write("to.ini", "older and longer content that must go");
  ASSERT_TRUE(RealFileSystem().CopyFile(from, to));
  EXPECT_EQ(folder.Read("to.ini"), bytes);
}

TEST(CopyFile, FailsOnMissingSourceOrFolderTarget) {
  TempFolder folder;
  const std::string from = folder.Write("from.ini", "x");
  EXPECT_FALSE(RealFileSystem().CopyFile(folder.PathOf("absent.ini"), folder.PathOf("to.ini")));
  EXPECT_FALSE(folder.Exists("to.ini"));
  const std::string target = folder.MakeFolder("target.ini");
  EXPECT_FALSE(RealFileSystem().CopyFile(from, target));
}

TEST(ReplaceFile, ReplacesWholeAndKeepsPermissions) {
  TempFolder folder;
  const std::string path = folder.Write("m.ini", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(RealFileSystem().ReplaceFile(path, "new bytes"));
  EXPECT_EQ(folder.Read("m.ini"), "new bytes");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640U);
  EXPECT_EQ(folder.List(), std::vector<std::string>{"m.ini"}) << "no temporary file is left";
}

TEST(ReplaceFile, FolderInTheWayFailsAndLeavesNothing) {
  TempFolder folder;
  folder.MakeFolder("m.ini");
  EXPECT_FALSE(RealFileSystem().ReplaceFile(folder.PathOf("m.ini"), "x"));
  EXPECT_EQ(folder.List(), std::vector<std::string>{"m.ini"});
  EXPECT_FALSE(RealFileSystem().ReplaceFile(folder.PathOf("absent/m.ini"), "x"));
}

TEST(CreateUniqueFile, MakesDistinctNamesThatAreNoModules) {
  TempFolder folder;
  const auto first = RealFileSystem().CreateUniqueFile(folder.path(), ".quillmere-");
  const auto second = RealFileSystem().CreateUniqueFile(folder.path(), ".quillmere-");
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_EQ(FolderOf(*first), folder.path());
  EXPECT_FALSE(first->ends_with(".ini"));
  EXPECT_EQ(folder.Read(FileNameOf(*first)), "");
}

TEST(Stamp, ChangesWhenTheFileIsReplaced) {
  TempFolder folder;
  const std::string path = folder.Write("m.ini", "same size");
  const FileStamp before = RealFileSystem().Stamp(path);
  ASSERT_TRUE(RealFileSystem().ReplaceFile(path, "same SIZE"));
  const FileStamp after = RealFileSystem().Stamp(path);
  EXPECT_TRUE(before.exists);
  EXPECT_NE(before, after);
  EXPECT_FALSE(RealFileSystem().Stamp(folder.PathOf("absent")).exists);
}

TEST(Exists, SeesFilesAndFolders) {
  TempFolder folder;
  folder.Write("f.ini", "");
  folder.MakeFolder("d");
  EXPECT_TRUE(RealFileSystem().Exists(folder.PathOf("f.ini")));
  EXPECT_TRUE(RealFileSystem().Exists(folder.PathOf("d")));
  EXPECT_FALSE(RealFileSystem().Exists(folder.PathOf("none")));
  EXPECT_TRUE(RealFileSystem().IsFolder(folder.PathOf("d")));
  EXPECT_FALSE(RealFileSystem().IsFolder(folder.PathOf("f.ini")));
}

}  // namespace
}  // namespace quillmere
