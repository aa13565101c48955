// The module model against its golden cases. Values: a table per value form,
// tests/data/module/values/<form>/table.txt. Loads: a case, tests/data/module/load/<case>/,
// holds a module.ini (none: absent), its libraries ("*.dll" starting "exports:" export the names
// that follow; others do not load) and the expected.txt, the model as text: a key the load reads
// beyond those present shows as left out. Then what one load cannot show.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <sstream>
#include <utility>

#include "module/printer_command_module.h"
#include "module/value_parsers.h"
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "support/fake_library_loader.h"
#include "support/golden.h"
#include "support/host_platform.h"
#include "support/temp_folder.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
constexpr std::string_view kArea = "module/load";

// A byte as two hex digits ("1D").
std::string Hex(std::uint8_t byte) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  return {kDigits[byte >> 4U], kDigits[byte & 0xFU]};
}

// A record: "[1D 56] kind 3 param 0 'text' @CutPaper stop" (text, function and event when set),
// "(counts disagree)" when byteCount or textLength miscounts.
std::string RecordLine(const CommandRecord& record) {
  std::string bytes;
  for (const std::uint8_t byte : record.bytes) {
    bytes += (bytes.empty() ? "" : " ") + Hex(byte);
  }
  const char* const events[] = {"", " start", " stop", " void"};
  const bool countsAgree = std::cmp_equal(record.byteCount, record.bytes.size()) &&
                           std::cmp_equal(record.textLength, record.text.value_or("").size());
  return "[" + bytes + "] kind " + std::to_string(record.kind) + " param " +
         std::to_string(record.parameter) +
         (record.text ? " '" + std::string(*record.text) + "'" : "") +
         (record.function ? " @" + std::string(*record.function) : "") +
         events[static_cast<int>(record.event) + 1] + (countsAgree ? "" : " (counts disagree)");
}

// A module: one fact a line, records after their section and key, then what the load left out.
std::string ModuleDump(const PrinterCommandModule& module) {
  std::string where = module.libraryFoundAt;
  if (const std::string folder = FolderOf(module.modulePath) + kPathSeparator;
      where.starts_with(folder)) {
    where.replace(0, folder.size(), "<module folder>/");
  }
  const std::string library =
      !module.useLibrary ? "no library"
      : where.empty()    ? "library not found"
                         : "found at " + where + (module.library ? ", loaded" : ", did not load");
  const auto flag = [](bool set) { return set ? "true" : "false"; };
  std::string dump =
      "Module_Name '" + module.moduleName + "'\nUseDll '" + module.librarySetting + "' -> " +
      library + "\nchangeLineBuffer: " +
      (module.changeLineBuffer ? std::to_string(module.changeLineBuffer->size()) + " bytes"
                               : "none") +
      "\nwaitTime: " + std::to_string(module.waitTime) +
      "\nnoStartTag: " + flag(module.noStartTag) + ", noStopTag: " + flag(module.noStopTag) + "\n";
  const auto list = [&](std::string_view indent, std::string_view section,
                        const std::vector<CommandRecord>& records) {
    for (const CommandRecord& record : records) {
      dump += std::string(indent) + std::string(section) + " " + std::to_string(record.key) + ": " +
              RecordLine(record) + "\n";
    }
  };
  list("", sections::kChangeLine, module.changeLineCommands);
  list("", sections::kSingle, module.singleCommands);
  for (const MultiCommand& multi : module.multiCommands) {
    dump += std::string(sections::kMulti) + " " + std::to_string(multi.key) + ": trigger " +
            Hex(multi.trigger) + ", section " + multi.section + "\n";
    list("  ", multi.section, multi.records);
  }
  dump += module.barcodeCommand ? "BARCODE 1: " + RecordLine(*module.barcodeCommand) + "\n" : "";
  dump += module.barcodeAnalyzer ? "BARCODE_Analyze 1: @" + *module.barcodeAnalyzer + "\n" : "";
  for (const LeftOutRecord& out : module.leftOut) {
    dump += "left out: " + out.section + " " + std::to_string(out.key) + " '" + out.value +
            "': " + DescribeParseError(out.error) + "\n";
  }
  for (const MissingKeys& missing : module.missingKeys) {
    dump += "missing keys: " + missing.section + " holds " + std::to_string(missing.keysPresent) +
            " of " + std::to_string(missing.count) + "\n";
  }
  return dump;
}

// A call of the tables answered, as each table's first lines say.
std::string Answer(const testing::Words& call) {
  const std::string_view form = call.at(0);
  std::string_view value = call.at(1);
  if (form == "tokens") {
    std::string taken;
    do {
      taken += std::string(NextToken(value)) + "|";
    } while (!value.empty());
    return testing::Quoted(taken);
  }
  if (form == "byte") {
    return Hex(ParseByteToken(value));
  }
  if (form == "usedll") {
    const LibrarySetting setting = ParseLibrarySetting(value);
    return (setting.useLibrary ? "1 '" : "0 '") + setting.path + "'";
  }
  if (form == "multi") {
    const Parsed<MultiCommandEntry> entry = ParseMultiCommandValue(value);
    const auto* parsed = std::get_if<MultiCommandEntry>(&entry);
    return parsed == nullptr ? "! " + DescribeParseError(std::get<ParseError>(entry))
                             : "'" + parsed->section + "' " + Hex(parsed->trigger) + " " +
                                   std::to_string(parsed->count);
  }
  TagFlags flags;
  const Parsed<CommandRecord> record =
      form == "changeline" ? ParseChangeLineValue(value) : ParseCommandValue(value, {}, flags);
  const auto* error = std::get_if<ParseError>(&record);
  return (error ? "! " + DescribeParseError(*error) : RecordLine(std::get<0>(record))) +
         (flags.noStartTag ? "" : " +start") + (flags.noStopTag ? "" : " +stop");
}

QUILLMERE_RULE_TABLES(ValueTable, "module/values", Answer);

// A load's services: the real profile store and a library loader double.
struct Machine {
  std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  testing::FakeLibraryLoader libraries;
  PlatformServices services{*store, RealFileSystem(), libraries};
};

// The case's libraries made known to the loader double; the path of its module file.
std::string SetUpCase(const std::string& name, testing::FakeLibraryLoader& libraries) {
  for (const fs::directory_entry& entry : fs::directory_iterator(testing::CasePath(kArea, name))) {
    std::istringstream text(testing::ReadCaseFile(kArea, name, entry.path().filename().string()));
    std::string word;
    if (entry.path().extension() == ".dll" && text >> word && word == "exports:") {
      libraries.Add(entry.path().string(), {std::istream_iterator<std::string>(text), {}});
    }
  }
  return testing::CasePath(kArea, name, "module.ini");
}

QUILLMERE_GOLDEN_CASES(Golden, LoadCase, kArea);

TEST_P(LoadCase, GivesTheExpectedModel) {
  if (testing::RunningUnderWine() && GetParam() == "list_keys") {
    GTEST_SKIP() << "Wine takes the form feed before a key name of this case for a blank";
  }
  Machine machine;
  PrinterCommandModule module(machine.services);
  EXPECT_TRUE(module.Load(SetUpCase(GetParam(), machine.libraries)));
  testing::ExpectMatchesCaseFile(kArea, GetParam(), "expected.txt", ModuleDump(module));
}

// A library path is tried as written (against the current folder) first, then beside the file.
TEST(Load, TakesTheLibraryInTheCurrentFolderFirst) {
  Machine machine;
  const testing::TempFolder current;
  const testing::TempFolder modules;
  machine.libraries.Add("cut.dll", {"CutPaper"});
  current.Write("cut.dll", "exports: CutPaper");
  modules.Write("cut.dll", "exports: CutPaper");
  const fs::path before = fs::current_path();
  fs::current_path(current.path());
  PrinterCommandModule module(machine.services);
  module.Load(modules.Write("m.ini", "[Main]\nUseDll=1,cut.dll\n"));
  fs::current_path(before);
  EXPECT_EQ(module.libraryFoundAt, "cut.dll");
  EXPECT_NE(module.library, nullptr);
}

// Release frees all but name, flags, wait time and buffer; a Load after it; destruction unloads.
TEST(Load, ReleaseThenLoadHoldsOnlyTheSecondFile) {
  Machine machine;
  auto module = std::make_unique<PrinterCommandModule>(machine.services);
  module->Load(SetUpCase("every_part", machine.libraries));
  ASSERT_EQ(machine.libraries.LiveLibraries(), 1);
  EXPECT_TRUE(module->Release());
  EXPECT_EQ(machine.libraries.LiveLibraries(), 0);
  testing::ExpectMatchesCaseFile(kArea, "every_part", "released.txt", ModuleDump(*module));
  module->Load(SetUpCase("kind3_not_exported", machine.libraries));
  testing::ExpectMatchesCaseFile(kArea, "kind3_not_exported", "after_every_part.txt",
                                 ModuleDump(*module));
  EXPECT_EQ(machine.libraries.LiveLibraries(), 1);
  module.reset();
  EXPECT_EQ(machine.libraries.LiveLibraries(), 0);
}

}  // namespace
}  // namespace quillmere
