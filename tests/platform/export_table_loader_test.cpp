#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/module_library.h"
#include "support/case_name.h"
#include "support/faulty_file_system.h"
#include "support/pe_image_builder.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::FaultyFileSystem;
using testing::PeImageOptions;
using testing::PeWidth;
using testing::TempFolder;

// Table rows print as their names in failure messages, not as bytes.
template <typename Row>
requires requires(const Row& row) {
  std::string_view(row.name);
}
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

constexpr std::uint64_t kLargestLibrary = std::uint64_t{256} * 1024 * 1024;

std::string AsText(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

std::string CutPaperDll() {
  return AsText(
      testing::BuildPeImage({.width = PeWidth::kPe32, .exports = {"CutPaper", "AnalyzeBarcode"}}));
}

// The real file system, except that a file's size is claimed to be `claimedSize`: the loader's
// size limit is tested without writing or reading hundreds of megabytes.
class SizeClaimingFileSystem final : public FileSystem {
 public:
  explicit SizeClaimingFileSystem(std::uint64_t claimedSize) : claimedSize_(claimedSize) {}

  int reads = 0;

  std::optional<std::string> ExecutablePath() override { return real_.ExecutablePath(); }
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  bool IsFolder(const std::string& path) override { return real_.IsFolder(path); }
  std::optional<std::vector<std::string>> ListFolder(const std::string& folder) override {
    return real_.ListFolder(folder);
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    ++reads;
    return real_.ReadFile(path);
  }
  FileStamp Stamp(const std::string& path) override {
    FileStamp stamp = real_.Stamp(path);
    stamp.size = claimedSize_;
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
  std::uint64_t claimedSize_;
};

TEST(ExportTableLoader, LoadsTheSharedObjectBuiltHere) {
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(RealFileSystem());
  const std::unique_ptr<ModuleLibrary> library = loader->Load(QUILLMERE_TEST_ELF_LIBRARY);
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(library->Path(), QUILLMERE_TEST_ELF_LIBRARY);
  EXPECT_TRUE(library->Exports("CutPaper"));
  EXPECT_TRUE(library->Exports("AnalyzeBarcode"));
  EXPECT_FALSE(library->Exports("cutpaper"));
  EXPECT_FALSE(library->Exports("HiddenCutHelper"));
}

TEST(ExportTableLoader, LoadsTheWindowsDllsBuiltHere) {
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(RealFileSystem());
  int built = 0;
  for (const char* path : {QUILLMERE_TEST_PE32_LIBRARY, QUILLMERE_TEST_PE64_LIBRARY}) {
    if (std::string(path).empty()) {
      continue;
    }
    ++built;
    SCOPED_TRACE(path);
    const std::unique_ptr<ModuleLibrary> library = loader->Load(path);
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(library->Exports("CutPaper"));
    EXPECT_TRUE(library->Exports("CutterModel"));
    EXPECT_FALSE(library->Exports("CUTPAPER"));
    EXPECT_FALSE(library->Exports("HiddenCutHelper"));
  }
  if (built == 0) {
    GTEST_SKIP() << "the MinGW cross compilers were not found, so no DLL was built";
  }
}

TEST(ExportTableLoader, LooksUpNamesWithCaseCounting) {
  TempFolder folder;
  const std::string path = folder.Write("EscPosCut.dll", CutPaperDll());
  const std::unique_ptr<ModuleLibrary> library =
      MakeExportTableLoader(RealFileSystem())->Load(path);
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(library->Path(), path);
  EXPECT_TRUE(library->Exports("CutPaper"));
  EXPECT_TRUE(library->Exports("AnalyzeBarcode"));
  for (const char* other : {"cutpaper", "CutPaperX", "CutPape", " CutPaper", "", "OpenDrawer"}) {
    EXPECT_FALSE(library->Exports(other)) << '"' << other << '"';
  }
}

TEST(ExportTableLoader, LibraryWithoutExportsLoads) {
  TempFolder folder;
  const std::string path = folder.Write("Plain.dll", AsText(testing::BuildPeImage({})));
  const std::unique_ptr<ModuleLibrary> library =
      MakeExportTableLoader(RealFileSystem())->Load(path);
  ASSERT_NE(library, nullptr);
  EXPECT_FALSE(library->Exports("CutPaper"));
}

struct UnloadableCase {
  const char* name;
  std::string (*make)(const TempFolder&);  // gives the path to load
};

class UnloadableFile : public ::testing::TestWithParam<UnloadableCase> {};

TEST_P(UnloadableFile, GivesNoLibrary) {
  TempFolder folder;
  const std::string path = GetParam().make(folder);
  EXPECT_EQ(MakeExportTableLoader(RealFileSystem())->Load(path), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    ExportTableLoader, UnloadableFile,
    ::testing::Values(
        UnloadableCase{"MissingFile",
                       [](const TempFolder& f) { return f.PathOf("EscPosCut.dll"); }},
        UnloadableCase{"Folder", [](const TempFolder& f) { return f.MakeFolder("EscPosCut.dll"); }},
        UnloadableCase{"EmptyFile",
                       [](const TempFolder& f) { return f.Write("EscPosCut.dll", ""); }},
        UnloadableCase{"ModuleFile",
                       [](const TempFolder& f) {
                         return f.Write("EscPosCut.dll", "[Main]\r\nModule_Name=Epson\r\n");
                       }},
        UnloadableCase{"TruncatedDll",
                       [](const TempFolder& f) {
                         return f.Write("EscPosCut.dll", CutPaperDll().substr(0, 0x180));
                       }},
        UnloadableCase{"EmptyPath", [](const TempFolder&) { return std::string(); }}),
    testing::CaseName());

// CI runs as root, which reads any file whatever its permission bits: the failure is injected.
TEST(ExportTableLoader, UnreadableFileGivesNoLibrary) {
  TempFolder folder;
  const std::string path = folder.Write("EscPosCut.dll", CutPaperDll());
  FaultyFileSystem files;
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(files);
  files.FailOn(FaultyFileSystem::Operation::kRead);
  EXPECT_EQ(loader->Load(path), nullptr);
  EXPECT_EQ(files.Calls(FaultyFileSystem::Operation::kRead), 1);
  // The same file loads once it can be read.
  EXPECT_NE(loader->Load(path), nullptr);
}

TEST(ExportTableLoader, OversizedFileIsRefusedUnread) {
  TempFolder folder;
  const std::string path = folder.Write("Huge.dll", CutPaperDll());
  // A sparse file: the valid library at its start, its size one byte past the limit.
  std::filesystem::resize_file(path, kLargestLibrary + 1);
  FaultyFileSystem files;
  EXPECT_EQ(MakeExportTableLoader(files)->Load(path), nullptr);
  EXPECT_EQ(files.Calls(FaultyFileSystem::Operation::kRead), 0);
}

TEST(ExportTableLoader, FileAtTheSizeLimitIsRead) {
  TempFolder folder;
  const std::string path = folder.Write("EscPosCut.dll", CutPaperDll());
  SizeClaimingFileSystem atLimit(kLargestLibrary);
  const std::unique_ptr<ModuleLibrary> library = MakeExportTableLoader(atLimit)->Load(path);
  ASSERT_NE(library, nullptr);
  EXPECT_TRUE(library->Exports("CutPaper"));
  SizeClaimingFileSystem pastLimit(kLargestLibrary + 1);
  EXPECT_EQ(MakeExportTableLoader(pastLimit)->Load(path), nullptr);
  EXPECT_EQ(pastLimit.reads, 0);
}

}  // namespace
}  // namespace quillmere
