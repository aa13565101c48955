// The module library stand-in: the export tables of Windows images (32- and 64-bit) and of ELF
// shared objects, read without running anything, and damaged or hostile files that do not load
// and never make a read outside the file. The images are built byte by byte (export_images.h);
// the libraries the build makes from cutpaper_library.c are read too.
#include "platform/module_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "platform/export_images.h"
#include "platform/export_table_check.h"
#include "platform/file_system.h"
#include "support/faulty_file_system.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::ExportTableViolation;
using testing::FaultyFileSystem;
using testing::Image;
using testing::Names;

// Every built image gives the names its case names, or does not load.
TEST(ExportTable, EachBuiltImageGivesItsNamesOrDoesNotLoad) {
  for (const testing::ImageCase& image : testing::BuiltImageCases()) {
    EXPECT_EQ(ReadExportNames(image.bytes), image.names) << image.name;
  }
}

// The bytes of a library the build made; none when it made none there (no MinGW compiler).
Image FileBytes(const std::string& path) {
  const std::optional<std::string> bytes = RealFileSystem().ReadFile(path);
  EXPECT_TRUE(path.empty() || bytes.has_value()) << path;
  return bytes ? Image(bytes->begin(), bytes->end()) : Image();
}

// Every cut of a library gives nothing or some of its names, never a read past the cut (each
// prefix is a buffer of its own, for the address sanitizer). A shared object keeps its section
// headers at its end, so every cut of one loses them.
TEST(ExportTable, TruncatedLibraryGivesNothingOrSomeOfItsNames) {
  const struct {
    const char* name;
    Image whole;
    bool elf;
  } rows[] = {{"PE32", testing::WellFormedPe(false), false},
              {"PE32+", testing::WellFormedPe(true), false},
              {"ELF32 big-endian", testing::WellFormedElf(false, true), true},
              {"ELF64", testing::WellFormedElf(true, false), true},
              {"host shared object", FileBytes(QUILLMERE_TEST_ELF_LIBRARY), true},
              {"32-bit DLL", FileBytes(QUILLMERE_TEST_PE32_LIBRARY), false},
              {"64-bit DLL", FileBytes(QUILLMERE_TEST_PE64_LIBRARY), false}};
  for (const auto& row : rows) {
    const std::optional<Names> all = ReadExportNames(row.whole);
    ASSERT_TRUE(row.whole.empty() || (all && !all->empty())) << row.name;
    for (std::size_t length = 0; length < row.whole.size(); length += length < 4096 ? 1 : 7) {
      const Image prefix(row.whole.begin(),
                         row.whole.begin() + static_cast<std::ptrdiff_t>(length));
      const std::optional<Names> names = ReadExportNames(prefix);
      if (length < 64 || row.elf) {
        ASSERT_EQ(names, std::nullopt) << row.name << " cut at " << length;
      } else if (names) {
        ASSERT_TRUE(std::includes(all->begin(), all->end(), names->begin(), names->end()))
            << row.name << " cut at " << length << " gave a name the library lacks";
      }
    }
  }
}

TEST(ExportTable, GarbageDoesNotLoad) {
  Image dosHeader(64, 0);
  dosHeader[0] = 'M';
  dosHeader[1] = 'Z';
  const std::string moduleFile = "[Main]\r\nModule_Name=Epson\r\nUseDll=1,EscPosCut.dll\r\n";
  for (const Image& bytes :
       {Image(), Image{'M'}, Image{'M', 'Z'}, dosHeader, Image{0x7F, 'E', 'L', 'F'},
        Image(moduleFile.begin(), moduleFile.end()), Image(1'000'000, 0), Image(1'000'000, 'M')}) {
    EXPECT_EQ(ReadExportNames(bytes), std::nullopt) << bytes.size() << " bytes";
  }
}

// Random bytes behind real headers reach the deeper readers; whatever they give keeps the rules
// every reading keeps.
TEST(ExportTable, ScrambledLibraryKeepsTheRulesOfAnyInput) {
  std::mt19937 random(77);
  for (const Image& valid : {testing::WellFormedPe(false), testing::WellFormedElf(true, false)}) {
    for (int round = 0; round < 300; ++round) {
      Image bytes = valid;
      for (int flips = 0; flips < 8; ++flips) {  // the signature kept
        bytes[4 + random() % (bytes.size() - 4)] = static_cast<std::uint8_t>(random());
      }
      EXPECT_EQ(ExportTableViolation(bytes), "") << "round " << round;
    }
  }
}

// The libraries the build makes: the loader answers for the names they export, case counting
// as GetProcAddress compares, and for nothing kept to the library itself.
TEST(ExportTableLoader, AnswersForTheLibrariesBuiltHere) {
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(RealFileSystem());
  for (const std::string path :
       {QUILLMERE_TEST_ELF_LIBRARY, QUILLMERE_TEST_PE32_LIBRARY, QUILLMERE_TEST_PE64_LIBRARY}) {
    if (path.empty()) {
      continue;  // no MinGW cross compiler, so no such DLL was built
    }
    const std::unique_ptr<ModuleLibrary> library = loader->Load(path);
    ASSERT_NE(library, nullptr) << path;
    for (const char* name : {"AnalyzeBarcode", "CutPaper", "CutterModel"}) {
      EXPECT_TRUE(library->Exports(name)) << path << " " << name;
    }
    for (const char* name : {"cutpaper", "CUTPAPER", "CutPaper ", "CutPape", "CutPaperX",
                             "HiddenCutHelper", "CountCutBytes", ""}) {
      EXPECT_FALSE(library->Exports(name)) << path << " \"" << name << '"';
    }
    if (path.ends_with(".dll")) {
      EXPECT_EQ(ReadExportNames(FileBytes(path)),
                (Names{"AnalyzeBarcode", "CutPaper", "CutterModel"}))
          << "exactly those: " << path;
    }
  }
}

TEST(ExportTableLoader, LoadsOnlyReadableWellFormedLibraries) {
  testing::TempFolder folder;
  FaultyFileSystem files;
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(files);
  const Image image = testing::WellFormedPe(false);
  const std::string dll = folder.Write("EscPosCut.dll", std::string(image.begin(), image.end()));
  ASSERT_NE(loader->Load(dll), nullptr);
  for (const std::string& path :
       {folder.PathOf("absent.dll"), folder.MakeFolder("Folder.dll"), folder.Write("Empty.dll", ""),
        folder.Write("Module.dll", "[Main]\r\nModule_Name=Epson\r\n"),
        folder.Write("Cut.dll", std::string(image.begin(), image.begin() + 0x180)),
        std::string()}) {
    EXPECT_EQ(loader->Load(path), nullptr) << path;
  }
  // CI runs as root, which reads any file whatever its permission bits: the failure is injected.
  files.FailOn(FaultyFileSystem::Operation::kRead);
  EXPECT_EQ(loader->Load(dll), nullptr);
  EXPECT_NE(loader->Load(dll), nullptr);
  // A sparse file one byte past the size limit, the valid library at its start, is not read.
  std::filesystem::resize_file(dll, std::uint64_t{256} * 1024 * 1024 + 1);
  const int reads = files.Calls(FaultyFileSystem::Operation::kRead);
  EXPECT_EQ(loader->Load(dll), nullptr);
  EXPECT_EQ(files.Calls(FaultyFileSystem::Operation::kRead), reads);
}

}  // namespace
}  // namespace quillmere
