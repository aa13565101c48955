// How reads scale: every key of a generated module file read through the portable store, one by
// one as lone reads and through one view of the file. The time per read stays flat from 100 to
// 10,000 keys because a section read key by key is indexed once; a lone read is an operation of
// its own and looks at the disk (a stat) each time, a view only when it is made.
//
// The file is dated an hour back, as a module lying in its folder is; a file changed within the
// last seconds is also compared byte for byte once per operation (see portable_profile_store.h).
#include <benchmark/benchmark.h>

#include <string>

#include "module_file_generator.h"
#include "module_on_disk.h"
#include "platform/file_system.h"
#include "platform/portable_profile_store.h"

namespace quillmere::bench {
namespace {

// A generated module file on disk, with the keys it holds.
struct GeneratedFile {
  explicit GeneratedFile(std::size_t records)
      : module(GenerateModuleFile(records)), disk(module.bytes) {}
  [[nodiscard]] const std::string& path() const { return disk.path(); }
  GeneratedModule module;
  ModuleOnDisk disk;
};

// Reads every key of a file the store has already parsed: the loader's steady state.
void ReadEveryKey(benchmark::State& state) {
  const GeneratedFile file(static_cast<std::size_t>(state.range(0)));
  const auto store = MakePortableProfileStore(RealFileSystem());
  for (auto _ : state) {
    for (const auto& [section, key] : file.module.keys) {
      benchmark::DoNotOptimize(store->ReadString(section, key, "", file.path()));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(file.module.keys.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.module.bytes.size()));
}
BENCHMARK(ReadEveryKey)->Arg(100)->Arg(1'000)->Arg(10'000);

// The same through one view: the disk is looked at once.
void ReadEveryKeyThroughAView(benchmark::State& state) {
  const GeneratedFile file(static_cast<std::size_t>(state.range(0)));
  const auto store = MakePortableProfileStore(RealFileSystem());
  for (auto _ : state) {
    const auto view = store->View(file.path());
    for (const auto& [section, key] : file.module.keys) {
      benchmark::DoNotOptimize(view->ReadString(section, key, ""));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(file.module.keys.size()));
}
BENCHMARK(ReadEveryKeyThroughAView)->Arg(100)->Arg(1'000)->Arg(10'000);

// A whole load by a new store: the file read and parsed once, then every key.
void LoadWithNewStore(benchmark::State& state) {
  const GeneratedFile file(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const auto store = MakePortableProfileStore(RealFileSystem());
    for (const auto& [section, key] : file.module.keys) {
      benchmark::DoNotOptimize(store->ReadString(section, key, "", file.path()));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(file.module.keys.size()));
}
BENCHMARK(LoadWithNewStore)->Arg(100)->Arg(1'000)->Arg(10'000);

}  // namespace
}  // namespace quillmere::bench

BENCHMARK_MAIN();
