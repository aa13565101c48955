// The module library stand-in: the names a library image exports, and the loader of its file.
#include "platform/module_library.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/export_images.h"
#include "platform/file_system.h"
#include "support/faulty_file_system.h"
#include "support/golden.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::Image;
using Names = std::vector<std::string>;

// The libraries the build made from source; a DLL's path is empty without a MinGW compiler.
const std::string kBuiltLibraries[] = {QUILLMERE_TEST_ELF_LIBRARY, QUILLMERE_TEST_PE32_LIBRARY,
                                       QUILLMERE_TEST_PE64_LIBRARY};

Image FileBytes(const std::string& path) {
  const std::string bytes = RealFileSystem().ReadFile(path).value_or("");
  return {bytes.begin(), bytes.end()};
}

// tests/data/library/<format>/table.txt: a row's names in all its layouts (naming one unlike).
std::string Answer(const testing::Words& call) {
  std::string first;
  std::string others;
  for (const std::string_view layout : testing::kLayouts) {
    if (!layout.starts_with(call.at(0))) {
      continue;
    }
    const std::optional<Image> image = testing::BuildImage(layout, {call.begin() + 2, call.end()});
    const std::optional<Names> names = image ? ReadExportNames(*image) : std::nullopt;
    std::string joined;
    for (const std::string& name : names.value_or(Names{})) {
      joined += (joined.empty() ? "" : " ") + name;
    }
    const std::string given = !image  ? "no such field"
                              : names ? testing::Quoted(joined)
                                      : "does not load";
    others +=
        first.empty() || given == first ? "" : ", but " + given + " in " + std::string(layout);
    first = first.empty() ? given : first;
  }
  return first.empty() ? "no such layout" : first + others;
}

QUILLMERE_RULE_TABLES(ExportTableRows, "library", Answer);

// A cut library gives nothing or some of its names (a shared object nothing: its section headers
// are at its end), each prefix a buffer of its own for the address sanitizer.
TEST(ExportTable, TruncatedLibraryGivesNothingOrSomeOfItsNames) {
  std::vector<Image> libraries;
  for (const char* layout : {"pe32", "pe64", "elf32be", "elf64le"}) {
    libraries.push_back(testing::BuildImage(layout).value());
  }
  for (const std::string& path : kBuiltLibraries) {
    libraries.push_back(FileBytes(path));
  }
  for (std::size_t i = 0; i < libraries.size(); ++i) {
    const Image& whole = libraries[i];
    const std::optional<Names> all = ReadExportNames(whole);
    ASSERT_TRUE(whole.empty() || (all && !all->empty())) << "library " << i;
    for (std::size_t length = 0; length < whole.size(); length += length < 4096 ? 1 : 7) {
      const std::optional<Names> names = ReadExportNames(
          Image(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)));
      if (length < 64 || whole[0] == 0x7F) {
        ASSERT_EQ(names, std::nullopt) << "library " << i << " cut at " << length;
      } else if (names) {
        ASSERT_TRUE(std::includes(all->begin(), all->end(), names->begin(), names->end()))
            << "library " << i << " cut at " << length << " gave a name it lacks";
      }
    }
  }
}

// The built libraries export their three names (a DLL those alone), exactly as GetProcAddress.
TEST(ExportTableLoader, AnswersForTheLibrariesBuiltHere) {
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(RealFileSystem());
  for (const std::string& path : kBuiltLibraries) {
    const std::unique_ptr<ModuleLibrary> library = path.empty() ? nullptr : loader->Load(path);
    std::string exported;
    for (const char* name : {"AnalyzeBarcode", "CutPaper", "CutterModel", "cutpaper", "CUTPAPER",
                             "CutPaper ", "CutPape", "CutPaperX", "HiddenCutHelper", ""}) {
      exported += library && library->Exports(name) ? std::string(name) + " " : "";
    }
    EXPECT_EQ(exported, path.empty() ? "" : "AnalyzeBarcode CutPaper CutterModel ") << path;
    if (path.ends_with(".dll")) {
      EXPECT_EQ(ReadExportNames(FileBytes(path)),
                (Names{"AnalyzeBarcode", "CutPaper", "CutterModel"}));
    }
  }
}

// Only a file the file services can read loads (they bound every read and read regular files
// only).
TEST(ExportTableLoader, LoadsOnlyReadableFiles) {
  using Operation = testing::FaultyFileSystem::Operation;
  testing::TempFolder folder;
  testing::FaultyFileSystem files;
  const std::unique_ptr<LibraryLoader> loader = MakeExportTableLoader(files);
  const Image image = testing::BuildImage("pe32").value();
  const std::string dll = folder.Write("EscPosCut.dll", std::string(image.begin(), image.end()));
  ASSERT_NE(loader->Load(dll), nullptr);
  for (const std::string& path :
       {folder.PathOf("absent.dll"), folder.MakeFolder("Folder.dll"), std::string()}) {
    EXPECT_EQ(loader->Load(path), nullptr) << path;
  }
  files.FailOn(Operation::kRead);
  EXPECT_EQ(loader->Load(dll), nullptr);
  EXPECT_NE(loader->Load(dll), nullptr);
}

}  // namespace
}  // namespace quillmere
