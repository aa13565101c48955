// A derivation from any base: "base\0options\0void\0stop\0name" (a plain module file is derived
// as Fuzzed with the keywords Void and Cash; options "c" and "f" set the CutPaper and Form Feed
// options), in a new temporary folder holding the base as Base.ini and EscPosCut.dll, overwriting
// on Yes. Either the derivation is refused with a message and the folder is as it was, or
// "Success" leaves the base and one new module that loads under the name typed, whose keyword
// records read back as the keywords. Which lines a derivation writes, and that every other byte
// stays, is held by the golden cases of tests/data/derive and the profile document's target.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "derive/derive_module.h"
#include "derive/module_file_name.h"
#include "fuzz/fuzz_target.h"
#include "module/catalogue.h"
#include "platform/file_system.h"
#include "platform/profile_store.h"
#include "support/recording_toolkit.h"

namespace quillmere {
namespace {

namespace fs = std::filesystem;
using fuzzing::Require;

// Any library file that exists loads, without a read, and exports every name.
struct EveryNameLoader final : LibraryLoader {
  std::unique_ptr<ModuleLibrary> Load(const std::string& /*path*/) override {
    return std::make_unique<fuzzing::EveryNameLibrary>();
  }
};

using Contents = std::map<std::string, std::string>;  // file name -> bytes

Contents ContentsOf(const std::string& folder) {
  Contents contents;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    contents[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
  }
  return contents;
}

// Whether `module` holds `keyword` as a record of `event` under a trigger of its first byte.
bool HoldsKeyword(const PrinterCommandModule& module, std::string_view keyword,
                  TransactionEvent event) {
  return keyword.empty() ||
         std::any_of(module.multiCommands.begin(), module.multiCommands.end(), [&](const auto& m) {
           return m.trigger == static_cast<std::uint8_t>(keyword[0]) &&
                  std::any_of(m.records.begin(), m.records.end(), [&](const auto& record) {
                    return record.event == event &&
                           std::equal(record.bytes.begin(), record.bytes.end(), keyword.begin(),
                                      keyword.end(), [](std::uint8_t byte, char c) {
                                        return byte == static_cast<std::uint8_t>(c);
                                      });
                  });
         });
}

}  // namespace
}  // namespace quillmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmere;
  std::vector<std::string> call = {"", "Void", "Cash", "Fuzzed"};
  const std::string base(fuzzing::SplitArguments(fuzzing::Text(data, size), call));
  DeriveInputs inputs{.cutPaperOption = call[0].find('c') != std::string::npos,
                      .formFeedOption = call[0].find('f') != std::string::npos,
                      .voidKeyword = call[1],
                      .stopKeyword = call[2],
                      .newModuleName = call[3]};
  std::string folder = (fs::temp_directory_path() / "quillmere-fuzz-XXXXXX").string();
  Require(::mkdtemp(folder.data()) != nullptr, "a temporary folder can be made");
  std::ofstream(JoinPath(folder, "Base.ini"), std::ios::binary) << base;
  std::ofstream(JoinPath(folder, "EscPosCut.dll"), std::ios::binary) << "a library stand-in";
  const Contents before = ContentsOf(folder);

  const std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  EveryNameLoader libraries;
  const PlatformServices services{*store, RealFileSystem(), libraries};
  testing::RecordingToolkit toolkit;
  toolkit.yesNoAnswer = MessageAnswer::kYes;
  Catalogue catalogue;
  Require(
      ScanCatalogueFolder(catalogue, folder, services, toolkit) && catalogue.entries.size() == 1,
      "the folder lists its one module");
  inputs.baseSelection = 0;
  const DeriveResult result = DeriveModule(inputs, catalogue, services, toolkit);
  const Contents after = ContentsOf(folder);
  if (result.outcome != DeriveOutcome::kSucceeded) {
    Require(!toolkit.messages.empty() && toolkit.messages.back() != MessageId::kSuccess &&
                toolkit.ending == testing::RecordingToolkit::Ending::kOpen && after == before,
            "a refusal says why and leaves the folder as it was");
    fs::remove_all(folder);
    return 0;
  }
  const std::string target = ModuleFileName(inputs.newModuleName).value_or("");
  Require(toolkit.messages.back() == MessageId::kSuccess && after.contains(target) &&
              after.size() == before.size() + (before.contains(target) ? 0 : 1) &&
              (target == "Base.ini" || after.at("Base.ini") == base),
          "success adds the new module and leaves the base");
  PrinterCommandModule module(services);
  module.Load(JoinPath(folder, target));
  fs::remove_all(folder);
  Require(module.moduleName == inputs.newModuleName, "the new module loads under its name");
  const bool stopOption = inputs.cutPaperOption || inputs.formFeedOption;
  Require(HoldsKeyword(module, inputs.voidKeyword, TransactionEvent::kVoid) &&
              HoldsKeyword(module, stopOption ? "" : inputs.stopKeyword, TransactionEvent::kStop),
          "the keyword records read back as the keywords");
  return 0;
}
