// The file services on this machine's disk: paths, listing order, copies and atomic replaces.
#include "platform/file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/host_platform.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using Names = std::vector<std::string>;

// Paths join and cut at the last separator; an executable in the root gives the root.
TEST(Paths, JoinAndCutAtTheLastSeparator) {
#ifdef _WIN32
  EXPECT_EQ(JoinPath("C:\\q", "Printer Commands"), "C:\\q\\Printer Commands");
  EXPECT_EQ(FolderOf("C:\\q\\quillmere.exe"), "C:\\q");
  EXPECT_EQ(FileNameOf("C:\\q\\Epson.ini"), "Epson.ini");
  // An executable in a drive's root: the module folder lies in that root too.
  EXPECT_EQ(JoinPath(FolderOf("C:\\quillmere.exe"), "Printer Commands"), "C:\\Printer Commands");
#else
  EXPECT_EQ(JoinPath("/opt/q", "Printer Commands"), "/opt/q/Printer Commands");
  EXPECT_EQ(FolderOf("/opt/q/quillmere"), "/opt/q");
  EXPECT_EQ(FileNameOf("/opt/q/Epson.ini"), "Epson.ini");
  // An executable in the root: the module folder lies in the root too.
  EXPECT_EQ(JoinPath(FolderOf("/quillmere"), "Printer Commands"), "/Printer Commands");
#endif
  EXPECT_EQ(FileNameOf("Epson.ini"), "Epson.ini");
}

// NTFS order: upper-cased names ('_' after the letters), then bytes; no "." or ".." entries.
TEST(ListFolder, GivesNtfsOrderWithoutDotEntries) {
  testing::TempFolder folder;
  for (const char* name : {"b.ini", "A.ini", "a.ini", "_x.ini", "B.INI", "ab.ini", "a"}) {
    folder.Write(name, "x");
  }
  // Upper-cased first ("a" < "a.ini" < "ab.ini" < "b..."), then bytes ("A.ini" < "a.ini");
  // upper-cased, '_' (0x5F) comes after every letter, as NTFS lists "EpsonTM88" before "Epson_1".
  // Where names ignore case, "a.ini" and "B.INI" were written into the files made first.
  EXPECT_EQ(RealFileSystem().ListFolder(folder.path()),
            testing::kFileNamesIgnoreCase
                ? (Names{"a", "A.ini", "ab.ini", "b.ini", "_x.ini"})
                : (Names{"a", "A.ini", "a.ini", "ab.ini", "B.INI", "b.ini", "_x.ini"}));
  EXPECT_EQ(RealFileSystem().ListFolder(folder.PathOf("absent")), std::nullopt);
}

// A copy gives the exact bytes over a longer target, and fails on an absent source or a folder.
TEST(CopyFile, CopiesExactBytesOverTheTargetOrFails) {
  testing::TempFolder folder;
  const std::string bytes("[Main]\r\nModule_Name=A\r\n\0\xFF\n", 26);
  const std::string from = folder.Write("from.ini", bytes);
  ASSERT_TRUE(RealFileSystem().CopyFile(from, folder.Write("to.ini", "older and longer text")));
  EXPECT_EQ(folder.Read("to.ini"), bytes);
  EXPECT_FALSE(RealFileSystem().CopyFile(folder.PathOf("absent.ini"), folder.PathOf("new.ini")));
  EXPECT_FALSE(RealFileSystem().CopyFile(from, folder.MakeFolder("target.ini")));
  EXPECT_EQ(folder.List(), (Names{"from.ini", "target.ini", "to.ini"}));
}

// A replace is whole, keeps the permissions and gives a new stamp; a failed one leaves nothing.
TEST(ReplaceFile, ReplacesWholeKeepingPermissionsOrFailsLeavingNothing) {
  testing::TempFolder folder;
  const std::string path = folder.Write("m.ini", "old");
#ifndef _WIN32
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
#endif
  const FileStamp before = RealFileSystem().Stamp(path);
  ASSERT_TRUE(RealFileSystem().ReplaceFile(path, "new"));
  EXPECT_EQ(folder.Read("m.ini"), "new");
  EXPECT_NE(RealFileSystem().Stamp(path), before);  // same size, yet another stamp
#ifndef _WIN32
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640U);
#endif
  folder.MakeFolder("d.ini");
  EXPECT_FALSE(RealFileSystem().ReplaceFile(folder.PathOf("d.ini"), "x"));
  EXPECT_FALSE(RealFileSystem().ReplaceFile(folder.PathOf("absent/m.ini"), "x"));
  EXPECT_EQ(folder.List(), (Names{"d.ini", "m.ini"}));
}

// A unique file is new, empty and no module file; only folders are folders.
TEST(CreateUniqueFile, MakesDistinctEmptyFilesThatAreNoModules) {
  testing::TempFolder folder;
  FileSystem& files = RealFileSystem();
  const auto first = files.CreateUniqueFile(folder.path(), ".quillmere-");
  const auto second = files.CreateUniqueFile(folder.path(), ".quillmere-");
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_EQ(FolderOf(*first), folder.path());
  EXPECT_FALSE(first->ends_with(".ini"));
  EXPECT_EQ(folder.Read(FileNameOf(*first)), "");
  EXPECT_TRUE(files.Exists(*first) && files.Exists(folder.path()) && files.IsFolder(folder.path()));
  EXPECT_FALSE(files.IsFolder(*first) || files.Exists(folder.PathOf("none")));
  EXPECT_FALSE(files.Stamp(folder.PathOf("none")).exists);
}

#ifndef _WIN32
// Only regular files are read, links followed to them: a named pipe or a device is never opened
// to be read, nor a file past the bound; a size reported wrong does not cut a file short. A link
// put in the place of a file the tool made is not written through.
TEST(ReadFile, ReadsRegularFilesWithinTheBoundOnly) {
  testing::TempFolder folder;
  FileSystem& files = RealFileSystem();
  const std::string module = folder.Write("m.ini", "[Main]\r\n");
  ASSERT_EQ(::mkfifo(folder.PathOf("pipe.ini").c_str(), 0600), 0);
  std::filesystem::create_symlink(module, folder.PathOf("link.ini"));
  std::filesystem::create_symlink("/dev/zero", folder.PathOf("zero.ini"));
  std::filesystem::create_symlink("/dev/urandom", folder.PathOf("random.ini"));
  std::filesystem::resize_file(folder.Write("bound.ini", ""), kLargestReadableFile);
  std::filesystem::resize_file(folder.Write("past.ini", ""), kLargestReadableFile + 1);
  folder.MakeFolder("dir.ini");
  const struct {
    const char* name;
    std::optional<std::size_t> size;
    const char* why = "";
  } rows[] = {{"m.ini", 8},
              {"link.ini", 8},
              {"bound.ini", kLargestReadableFile},
              {"pipe.ini", std::nullopt, "no regular file"},
              {"zero.ini", std::nullopt, "no regular file"},
              {"random.ini", std::nullopt, "no regular file"},
              {"dir.ini", std::nullopt, "no regular file"},
              {"past.ini", std::nullopt, "larger than 64 MB"},
              {"absent.ini", std::nullopt, "no such file"}};
  for (const auto& row : rows) {
    const std::optional<std::string> bytes = files.ReadFile(folder.PathOf(row.name));
    EXPECT_EQ(bytes ? std::optional(bytes->size()) : std::nullopt, row.size) << row.name;
    EXPECT_THAT(row.size ? "" : UnreadableReason(files, folder.PathOf(row.name)),
                ::testing::HasSubstr(row.why))
        << row.name;
  }
  // /proc reports a size of 0 for files that hold text.
  EXPECT_THAT(files.ReadFile("/proc/self/status").value_or(""), ::testing::StartsWith("Name:"));
  const std::string staging = *files.CreateUniqueFile(folder.path(), ".s-");
  std::filesystem::remove(staging);
  std::filesystem::create_symlink(module, staging);
  EXPECT_FALSE(files.WriteFile(staging, "x"));
  EXPECT_EQ(folder.Read("m.ini"), "[Main]\r\n");
}
#endif

}  // namespace
}  // namespace quillmere
