// How long a whole module load takes: generated module files of 1,000 to 20,000 records, loaded
// through the portable store, with the store's parse of the file kept between loads (warm) and
// made anew (cold). A last case gives every count as 2,000,000,000 over a handful of keys: it
// must cost what those keys cost, not what the counts say.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "module/printer_command_module.h"
#include "module_file_generator.h"
#include "module_on_disk.h"
#include "platform/file_system.h"
#include "platform/module_library.h"
#include "platform/profile_store.h"

namespace quillmere::bench {
namespace {

// The generated modules name no library, so nothing is ever loaded.
class NoLibraries final : public LibraryLoader {
 public:
  std::unique_ptr<ModuleLibrary> Load(const std::string& /*path*/) override { return nullptr; }
};

std::string GenerateHugeCounts() {
  return "[Main]\r\nC-Num=2000000000\r\nS-Num=2000000000\r\nM-Num=2000000000\r\n"
         "[ChangeLine-Command]\r\n1=2,CR,LF\r\n[Single-Command]\r\n1=1,FF,1,1\r\n2=1,SP,1\r\n"
         "[Mutli-Command]\r\n1=Sec,V,2000000000\r\n[Sec]\r\n1=1,V,1,0\r\n";
}

std::size_t RecordsLoaded(const PrinterCommandModule& module) {
  std::size_t records = module.changeLineCommands.size() + module.singleCommands.size();
  for (const MultiCommand& multi : module.multiCommands) {
    records += multi.records.size();
  }
  return records;
}

// Loads the generated module over and over; a cold load starts each time from a new store, so
// it parses the file again, a warm one reads the store's parsed copy.
void LoadRepeatedly(benchmark::State& state, bool cold) {
  const ModuleOnDisk file(GenerateModuleFile(static_cast<std::size_t>(state.range(0))).bytes);
  NoLibraries libraries;
  std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  std::size_t records = 0;
  for (auto _ : state) {
    if (cold) {
      store = MakeProfileStore(RealFileSystem());
    }
    const PlatformServices services{*store, RealFileSystem(), libraries};
    PrinterCommandModule module(services);
    module.Load(file.path());
    records = RecordsLoaded(module);
    benchmark::DoNotOptimize(records);
  }
  state.counters["records"] = static_cast<double>(records);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
}

void LoadWarm(benchmark::State& state) {
  LoadRepeatedly(state, false);
}
BENCHMARK(LoadWarm)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void LoadCold(benchmark::State& state) {
  LoadRepeatedly(state, true);
}
BENCHMARK(LoadCold)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void LoadHugeCounts(benchmark::State& state) {
  const ModuleOnDisk file(GenerateHugeCounts());
  NoLibraries libraries;
  const std::unique_ptr<ProfileStore> store = MakeProfileStore(RealFileSystem());
  const PlatformServices services{*store, RealFileSystem(), libraries};
  for (auto _ : state) {
    PrinterCommandModule module(services);
    module.Load(file.path());
    benchmark::DoNotOptimize(module.singleCommands.data());
  }
}
BENCHMARK(LoadHugeCounts)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillmere::bench

BENCHMARK_MAIN();
