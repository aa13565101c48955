// The file layer fails its n-th operation, for every n, through whole derivations from the sample
// modules: each run must end with "Success" and the whole new module, or with a message and the
// folder as it was. With QUILLMERE_RELIABILITY_DOC naming docs/reliability.md, the figures fill
// its "faults" block.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "derive/derive_module.h"
#include "derive/staging_files.h"
#include "module/catalogue.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"
#include "support/faulty_file_system.h"
#include "support/figures_block.h"
#include "support/recording_toolkit.h"
#include "support/temp_folder.h"

namespace quillmere::testing {
namespace {

using Operation = FaultyFileSystem::Operation;
using Snapshot = std::vector<std::pair<std::string, std::string>>;

struct Scenario {
  std::string_view name;
  std::string_view base;
  std::string_view newName;
  std::string_view target;
  bool staleStagingFile = false;
};

constexpr Scenario kScenarios[] = {
    {"a new module", "EpsonTM88.ini", "Epson_2", "Epson_2.ini"},
    {"over another module, after Yes", "EpsonTM88.ini", "Epson_1", "Epson_1.ini"},
    {"onto its own base, named in another case", "Epson_1.ini", "EPSON_1", "Epson_1.ini"},
    {"beside a staging file a killed derivation left", "EpsonTM88.ini", "Epson_2", "Epson_2.ini",
     true},
};
constexpr std::string_view kLibrary = "EscPosCut.dll";
// A process with ID 0 never runs: its staging file is stale.
const std::string kStale = StagingStem(ProcessIdentity{}) + "x7Qz2a";

constexpr std::string_view kNames[] = {
    "copy", "replace",       "create the staging file", "rename",
    "read", "list a folder", "write (half written)",    "flush (all written)",
    "open", "remove"};

// One derivation in a new copy of the samples, its n-th file operation failing (none for 0).
struct DerivationRun {
  DerivationRun(const Scenario& scenario, int failAt, bool withLibrary = true) {
    std::filesystem::copy(QUILLMERE_SAMPLE_FOLDER, folder.path());
    if (!withLibrary) {
      std::filesystem::remove(folder.PathOf(kLibrary));
    }
    if (scenario.staleStagingFile) {
      folder.Write(kStale, "half a module");
    }
    before = Kept(folder.Snapshot());
    Catalogue catalogue;
    EXPECT_TRUE(ScanCatalogueFolder(catalogue, folder.path(), services, toolkit));
    DeriveInputs inputs{.voidKeyword = "Void",
                        .stopKeyword = "Cash",
                        .newModuleName = std::string(scenario.newName)};
    for (std::size_t i = 0; i < catalogue.entries.size(); ++i) {
      if (FileNameOf(catalogue.entries[i].path) == scenario.base) {
        inputs.baseSelection = static_cast<std::int32_t>(i);
      }
    }
    toolkit.yesNoAnswer = MessageAnswer::kYes;
    toolkit.messages.clear();
    const std::size_t start = files.log().size();
    if (failAt > 0) {
      files.FailOnAny(failAt);
    }
    succeeded =
        DeriveModule(inputs, catalogue, services, toolkit).outcome == DeriveOutcome::kSucceeded;
    operations.assign(files.log().begin() + static_cast<std::ptrdiff_t>(start), files.log().end());
    after = Kept(folder.Snapshot());
  }

  // The stale staging file may go or, when its removal fails, stay.
  [[nodiscard]] static Snapshot Kept(Snapshot snapshot) {
    std::erase_if(snapshot, [](const auto& entry) { return entry.first == kStale; });
    return snapshot;
  }

  TempFolder folder;
  FaultyFileSystem files;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(files);
  std::unique_ptr<LibraryLoader> libraries = MakeExportTableLoader(files);
  PlatformServices services{*store, files, *libraries};
  RecordingToolkit toolkit;
  Snapshot before;
  Snapshot after;
  bool succeeded = false;
  std::vector<FaultyFileSystem::Logged> operations;
};

struct Tally {
  int succeeded = 0;
  int refused = 0;
  int damaged = 0;
};

TEST(FaultSweep, EveryFailedOperationEndsInAWholeModuleOrAnUntouchedFolder) {
  std::map<std::string, Tally> byOperation;
  int runs = 0;
  for (const Scenario& scenario : kScenarios) {
    SCOPED_TRACE(scenario.name);
    const DerivationRun clean(scenario, 0);
    ASSERT_TRUE(clean.succeeded);
    // A library that cannot be read is one that does not load: the module is derived whole
    // from the records that load without it.
    const std::string whole = clean.folder.Read(scenario.target);
    const std::string withoutLibrary =
        DerivationRun(scenario, 0, false).folder.Read(scenario.target);
    for (std::size_t n = 1; n <= clean.operations.size(); ++n, ++runs) {
      const DerivationRun run(scenario, static_cast<int>(n));
      const auto& [failed, path] = clean.operations[n - 1];
      const bool ofLibrary = FileNameOf(path) == kLibrary;
      const std::string name = std::string(kNames[static_cast<int>(failed)]) +
                               (ofLibrary ? " of the module library" : "");
      Snapshot expected = run.before;
      if (run.succeeded) {
        std::erase_if(expected, [&](const auto& entry) { return entry.first == scenario.target; });
        expected.emplace_back(scenario.target, ofLibrary ? withoutLibrary : whole);
        std::sort(expected.begin(), expected.end());
      }
      const bool intact = run.after == expected && !run.toolkit.messages.empty() &&
                          (run.toolkit.messages.back() == MessageId::kSuccess) == run.succeeded;
      EXPECT_TRUE(intact) << "operation " << n << " (" << name << ") failed";
      Tally& tally = byOperation[name];
      ++(run.succeeded ? tally.succeeded : tally.refused);
      tally.damaged += intact ? 0 : 1;
    }
  }
  std::ostringstream figures;
  figures << runs << " derivations in " << std::size(kScenarios)
          << " settings, each failing one operation of the file layer.\n\n"
          << "| Operation failed | \"Success\", the new module whole | "
             "A message, the folder as it was | Neither |\n|---|---:|---:|---:|\n";
  for (const auto& [name, tally] : byOperation) {
    figures << "| " << name << " | " << tally.succeeded << " | " << tally.refused << " | "
            << tally.damaged << " |\n";
  }
  std::cout << figures.str();
  EXPECT_TRUE(FillFiguresBlock("faults", figures.str())) << "no faults block to fill";
}

}  // namespace
}  // namespace quillmere::testing
