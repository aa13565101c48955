// How long a whole module load takes: generated module files of 1,000 to 20,000 records (change-
// line, single and multi-command records and a barcode command), loaded through the portable
// store, with the store's parse of the file kept between loads (warm) and made anew (cold). A
// last case gives every count as 2,000,000,000 over a handful of keys: it must cost what those
// keys cost, not what the counts say.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "module/printer_command_module.h"
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

std::string ListSection(const std::string& section, std::int64_t count, const std::string& value) {
  std::string text = "\r\n[" + section + "]\r\n";
  for (std::int64_t key = 1; key <= count; ++key) {
    text += std::to_string(key) + "=" + value + "\r\n";
  }
  return text;
}

// About `records` records: a quarter change-line records, half single commands, a quarter
// spread over eight multi-commands.
std::string GenerateModule(std::int64_t records) {
  const std::int64_t changeLines = records / 4;
  const std::int64_t singles = records / 2;
  const std::int64_t perEntry = records / 32 + 1;
  constexpr int kEntries = 8;
  std::string text = "[Main]\r\nModule_Name=Bench\r\nUseDll=0,\r\n";
  text += "C-Num=" + std::to_string(changeLines) + "\r\n";
  text += "S-Num=" + std::to_string(singles) + "\r\n";
  text += "M-Num=" + std::to_string(kEntries) + "\r\n";
  text += ListSection("ChangeLine-Command", changeLines, "2,CR,LF");
  text += ListSection("Single-Command", singles, "3,ESC,064,SP,1,5,1,Receipt text,TRAN_STOP");
  text += "\r\n[Mutli-Command]\r\n";
  for (int entry = 1; entry <= kEntries; ++entry) {
    text += std::to_string(entry) + "=Entry" + std::to_string(entry) + ",V," +
            std::to_string(perEntry) + "\r\n";
  }
  for (int entry = 1; entry <= kEntries; ++entry) {
    text += ListSection("Entry" + std::to_string(entry), perEntry, "4,V,o,i,d,1,0,0,TRAN_VOID");
  }
  text += "\r\n[BARCODE]\r\n1=2,GS,k,1,0\r\n[STOP_EVENT]\r\nWaitTime=30\r\n";
  return text;
}

std::string GenerateHugeCounts() {
  return "[Main]\r\nC-Num=2000000000\r\nS-Num=2000000000\r\nM-Num=2000000000\r\n"
         "[ChangeLine-Command]\r\n1=2,CR,LF\r\n[Single-Command]\r\n1=1,FF,1,1\r\n2=1,SP,1\r\n"
         "[Mutli-Command]\r\n1=Sec,V,2000000000\r\n[Sec]\r\n1=1,V,1,0\r\n";
}

// A module file in a folder of its own, dated an hour back as a module lying in its folder is.
class ModuleOnDisk {
 public:
  explicit ModuleOnDisk(const std::string& bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmere-load-XXXXXX");
    if (::mkdtemp(pattern.data()) != nullptr) {
      folder_ = pattern;
      path_ = JoinPath(folder_, "Bench.ini");
      if (RealFileSystem().ReplaceFile(path_, bytes)) {
        std::filesystem::last_write_time(
            path_, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
      }
    }
  }
  ~ModuleOnDisk() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ModuleOnDisk(const ModuleOnDisk&) = delete;
  ModuleOnDisk& operator=(const ModuleOnDisk&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};

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
  const ModuleOnDisk file(GenerateModule(state.range(0)));
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
