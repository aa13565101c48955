// A module file whose library is a real one, built from source with the tests: the loader finds
// it beside the module file, binds the cut-paper record and the barcode analyser to its exports,
// and leaves out a record naming a function it keeps to itself. Windows DLLs are read where the
// cross compilers built them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "module/printer_command_module.h"
#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/case_name.h"
#include "support/ini_text.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

using testing::Lines;

struct LibraryCase {
  const char* name;
  std::string_view builtAt;  // empty when this kind of library was not built here
};

class RealLibraryLoadTest : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(RealLibraryLoadTest, BindsRecordsAndAnalyserToTheLibrarysExports) {
  if (GetParam().builtAt.empty()) {
    GTEST_SKIP() << "this library was not built on this machine";
  }
  const testing::TempFolder folder;
  const std::string library = folder.Write(
      "cutpaper.dll",
      RealFileSystem().ReadFile(std::string(GetParam().builtAt)).value_or(std::string()));
  const std::string path = folder.Write(
      "Epson.ini",
      Lines({"[Main]", "Module_Name=Epson", "UseDll=1,cutpaper.dll", "M-Num=1", "[Mutli-Command]",
             "1=Cut,GS,3", "[Cut]", "1=2,GS,V,3,CutPaper,0,TRAN_STOP",
             "2=2,GS,V,3,HiddenCutHelper,0,", "3=2,GS,V,3,CutterModel,0,", "[BARCODE]",
             "1=2,GS,k,1,0", "[BARCODE_Analyze]", "1=AnalyzeBarcode"}));

  const std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  const std::unique_ptr<LibraryLoader> libraries = MakeExportTableLoader(RealFileSystem());
  PrinterCommandModule module(PlatformServices{*store, RealFileSystem(), *libraries});
  module.Load(path);

  ASSERT_NE(module.library, nullptr);
  EXPECT_EQ(module.libraryFoundAt, library);
  ASSERT_EQ(module.multiCommands.size(), 1U);
  const MultiCommand& cut = module.multiCommands[0];
  ASSERT_EQ(cut.records.size(), 2U);
  EXPECT_EQ(cut.records[0].function, "CutPaper");
  EXPECT_EQ(cut.records[0].event, TransactionEvent::kStop);
  // A data export is found by a look-up by name too, so a record naming it binds.
  EXPECT_EQ(cut.records[1].function, "CutterModel");
  ASSERT_EQ(module.leftOut.size(), 1U);
  EXPECT_EQ(module.leftOut[0].section, "Cut");
  EXPECT_EQ(module.leftOut[0].key, 2);
  EXPECT_EQ(module.leftOut[0].error.failure, ParseFailure::kNameNotExported);
  EXPECT_EQ(module.leftOut[0].error.detail, "HiddenCutHelper");
  EXPECT_EQ(module.barcodeAnalyzer, "AnalyzeBarcode");
}

const LibraryCase kLibraries[] = {
    {"ElfSharedObject", QUILLMERE_TEST_ELF_LIBRARY},
    {"Windows32BitDll", QUILLMERE_TEST_PE32_LIBRARY},
    {"Windows64BitDll", QUILLMERE_TEST_PE64_LIBRARY},
};
INSTANTIATE_TEST_SUITE_P(Libraries, RealLibraryLoadTest, ::testing::ValuesIn(kLibraries),
                         testing::CaseName());

}  // namespace
}  // namespace quillmere
