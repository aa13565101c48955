// The sample modules placed beside the tool: each loads whole, with its module library, and
// shows what it was written to show. Epson_1 is exactly what a derivation makes of EpsonTM88.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "derive/derive_module.h"
#include "module/printer_command_module.h"
#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"
#include "ui/catalogue.h"

namespace quillmere::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SampleModulesTest : public CliTest {
 protected:
  std::unique_ptr<PrinterCommandModule> Load(const std::string& fileName) {
    auto module = std::make_unique<PrinterCommandModule>(services);
    module->Load(JoinPath(kSampleFolder, fileName));
    EXPECT_THAT(module->leftOut, IsEmpty()) << fileName << " left records out";
    EXPECT_THAT(module->missingKeys, IsEmpty()) << fileName << " counts absent keys";
    return module;
  }

  std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  std::unique_ptr<LibraryLoader> libraries = MakeExportTableLoader(RealFileSystem());
  PlatformServices services{*store, RealFileSystem(), *libraries};
};

// Every record of every sample loads: none is left out, no count names an absent key.
TEST_F(SampleModulesTest, EverySampleLoadsWhole) {
  const std::vector<std::string> names = *RealFileSystem().ListFolder(kSampleFolder);
  int modules = 0;
  for (const std::string& name : names) {
    if (name.ends_with(".ini")) {
      const auto module = Load(name);
      EXPECT_FALSE(module->moduleName.empty()) << name;
      ++modules;
    }
  }
  EXPECT_GE(modules, 5);
}

TEST_F(SampleModulesTest, SlipPrinterHasALoneFormFeed) {
  const auto module = Load("SlipPrinter.ini");
  const auto formFeed = std::find_if(
      module->singleCommands.begin(), module->singleCommands.end(),
      [](const CommandRecord& record) { return record.bytes == std::vector<std::uint8_t>{0x0C}; });
  ASSERT_NE(formFeed, module->singleCommands.end());
  EXPECT_EQ(formFeed->kind, 1);
  EXPECT_EQ(formFeed->parameter, 1);
  EXPECT_EQ(formFeed->event, TransactionEvent::kNone);
  EXPECT_FALSE(module->useLibrary);
}

TEST_F(SampleModulesTest, EpsonTM88BindsGsVToCutPaper) {
  const auto module = Load("EpsonTM88.ini");
  ASSERT_NE(module->library, nullptr) << "EscPosCut.dll did not load";
  const CommandRecord* cut = nullptr;
  for (const MultiCommand& multi : module->multiCommands) {
    for (const CommandRecord& record : multi.records) {
      if (record.bytes == std::vector<std::uint8_t>{0x1D, 0x56}) {
        cut = &record;
      }
    }
  }
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->kind, 3);
  EXPECT_EQ(cut->function, "CutPaper");
  EXPECT_EQ(cut->event, TransactionEvent::kStop);
  EXPECT_FALSE(module->noStopTag);
  EXPECT_FALSE(module->noStartTag);
}

TEST_F(SampleModulesTest, Barcode80HasChangeLinesAndABoundAnalyser) {
  const auto module = Load("Barcode80.ini");
  std::vector<std::vector<std::uint8_t>> changeLines;
  for (const CommandRecord& record : module->changeLineCommands) {
    changeLines.push_back(record.bytes);
  }
  EXPECT_THAT(changeLines,
              ElementsAre(std::vector<std::uint8_t>{0x0D, 0x0A}, std::vector<std::uint8_t>{0x0A},
                          std::vector<std::uint8_t>{0x0D}));
  ASSERT_TRUE(module->barcodeCommand.has_value());
  EXPECT_EQ(module->barcodeCommand->bytes, (std::vector<std::uint8_t>{0x1D, 'k'}));
  EXPECT_EQ(module->barcodeAnalyzer, "AnalyzeBarcode");
  EXPECT_EQ(module->waitTime, 20);
}

TEST_F(SampleModulesTest, Epson1CarriesTheTriggersOfAnEarlierDerivation) {
  const auto module = Load("Epson_1.ini");
  ASSERT_EQ(module->multiCommands.size(), 4U);
  const MultiCommand& voidTrigger = module->multiCommands[2];
  const MultiCommand& stopTrigger = module->multiCommands[3];
  EXPECT_EQ(voidTrigger.section, "Text_Void");
  EXPECT_EQ(voidTrigger.trigger, 'V');
  ASSERT_EQ(voidTrigger.records.size(), 1U);
  EXPECT_EQ(voidTrigger.records[0].bytes, (std::vector<std::uint8_t>{'V', 'o', 'i', 'd'}));
  EXPECT_EQ(voidTrigger.records[0].event, TransactionEvent::kVoid);
  EXPECT_EQ(stopTrigger.section, "Text_Stop");
  EXPECT_EQ(stopTrigger.trigger, 'C');
  ASSERT_EQ(stopTrigger.records.size(), 1U);
  EXPECT_EQ(stopTrigger.records[0].bytes, (std::vector<std::uint8_t>{'C', 'a', 's', 'h'}));
  EXPECT_EQ(stopTrigger.records[0].event, TransactionEvent::kStop);
}

TEST_F(SampleModulesTest, TMU220IsNamedOtherwiseThanItsFile) {
  const auto module = Load("TMU220.ini");
  EXPECT_EQ(module->moduleName, "Kitchen Printer TM-U220");
}

// Deriving Epson_1 from EpsonTM88 with the keywords Void and Cash gives the shipped file, byte
// for byte.
TEST_F(SampleModulesTest, Epson1IsWhatTheDerivationWrites) {
  const std::string folder = CopySamples();
  const std::string shipped = temp.Read("Printer Commands/Epson_1.ini");
  ASSERT_TRUE(RealFileSystem().RemoveFile(JoinPath(folder, "Epson_1.ini")));

  RecordingToolkit toolkit;
  Catalogue catalogue;
  ASSERT_TRUE(ScanCatalogueFolder(catalogue, folder, services, toolkit));
  const auto base =
      std::find_if(catalogue.entries.begin(), catalogue.entries.end(),
                   [](const ModuleEntry& entry) { return entry.name == "EpsonTM88"; });
  ASSERT_NE(base, catalogue.entries.end());
  DeriveInputs inputs;
  inputs.baseSelection = static_cast<std::int32_t>(base - catalogue.entries.begin());
  inputs.voidKeyword = "Void";
  inputs.stopKeyword = "Cash";
  inputs.newModuleName = "Epson_1";
  std::string fileName;
  std::unique_ptr<PrinterCommandModule> loader;
  EXPECT_EQ(DeriveModule(inputs, fileName, catalogue, loader, services, toolkit),
            DeriveOutcome::kSucceeded);
  EXPECT_EQ(temp.Read("Printer Commands/Epson_1.ini"), shipped);
}

}  // namespace
}  // namespace quillmere::testing
