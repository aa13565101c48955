// Every figure of the performance table in one run: each operation against its floor, timed in
// interleaved rounds (rounds.h), one line per figure as "name: ratio (<= target)". Exits 1 when
// a ratio misses its target. bench/run builds the programs and runs this one.
//
//   quillmere_figures --bin DIR [--rounds N] [--only GROUP,...]
//
// DIR holds quillmere-cli, read_each_file, empty_dialog, editor_dialog and the sample folder
// "Printer Commands". Groups: load, changed, derive, cli, list, heap, dialog.
#include <fcntl.h>
#include <ini.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "derive/derive_module.h"
#include "heap_counter.h"
#include "module/catalogue.h"
#include "module/printer_command_module.h"
#include "module_file_generator.h"
#include "platform/machine_services.h"
#include "platform/toolkit.h"
#include "processes.h"
#include "rounds.h"

namespace quillmere::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSmall = 10'000;
constexpr std::size_t kLarge = 100'000;
constexpr std::size_t kListedModules = 2'000;
constexpr std::size_t kListedModuleRecords = 450;  // about 21 KB each

struct Options {
  fs::path bin;
  int rounds = 9;
  std::set<std::string> only;  // empty: every group
  [[nodiscard]] bool Runs(const std::string& group) const {
    return only.empty() || only.contains(group);
  }
};

// A folder of its own under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "quillmere-figures-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("no temporary folder");
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  [[nodiscard]] const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

// A module lying in its folder was last changed long ago; one just copied or generated, now.
void DateBack(const fs::path& path) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
}
void DateNow(const fs::path& path) {
  ::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);
}

// A module folder holding one generated module, Bench.ini, of `records` records.
struct BaseFolder {
  explicit BaseFolder(std::size_t records) {
    const std::string bytes = GenerateModuleFile(records).bytes;
    size = bytes.size();
    WriteBytes(base(), bytes);
    DateBack(base());
  }
  [[nodiscard]] fs::path base() const { return scratch.path() / "Bench.ini"; }
  [[nodiscard]] fs::path In(const std::string& name) const { return scratch.path() / name; }
  ScratchFolder scratch;
  std::size_t size = 0;
};

std::string Size(std::size_t bytes) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

std::string Versus(double a, double b) {
  return Milliseconds(a) + " vs " + Milliseconds(b);
}

// --- The operations --------------------------------------------------------------------------

// Seconds of one Load by a new store, as a process that loads a module pays it.
double LoadSeconds(const fs::path& path) {
  const MachineServices machine;
  auto module = std::make_unique<PrinterCommandModule>(machine.services());
  return SecondsOf([&] { module->Load(path.string()); });
}

int IgnoreEveryValue(void* /*user*/, const char* /*section*/, const char* /*name*/,
                     const char* /*value*/) {
  return 1;
}

double InihSeconds(const fs::path& path) {
  int status = 0;
  const double seconds =
      SecondsOf([&] { status = ini_parse(path.c_str(), IgnoreEveryValue, nullptr); });
  return status < 0 ? -1 : seconds;
}

// A toolkit that answers every question Yes and shows nothing.
class SilentToolkit final : public Toolkit {
 public:
  MessageAnswer ShowMessage(MessageId /*id*/, MessageButtons /*buttons*/) override {
    return MessageAnswer::kYes;
  }
  void EndWithOk() override {}
  void EndWithCancel() override {}
  void AddListLine(std::string_view /*text*/) override {}
};

DeriveInputs TheDerivation() {
  return {
      .baseSelection = 0, .voidKeyword = "Void", .stopKeyword = "Cash", .newModuleName = "Derived"};
}

// One in-process derivation of the folder's base into Derived.ini, by new services.
double DeriveSeconds(const BaseFolder& folder, const Catalogue& catalogue) {
  const MachineServices machine;
  SilentToolkit toolkit;
  // The loaded base that comes back is the caller's to keep (the dialog keeps it until its
  // window goes): it is freed after the clock stops.
  DeriveResult result;
  const double seconds = SecondsOf(
      [&] { result = DeriveModule(TheDerivation(), catalogue, machine.services(), toolkit); });
  fs::remove(folder.In("Derived.ini"));
  return result.outcome == DeriveOutcome::kSucceeded ? seconds : -1;
}

// The floor of a derivation: the base read once, its bytes written to a new file and flushed.
double ReadWriteFlushSeconds(const BaseFolder& folder) {
  bool done = false;
  const double seconds = SecondsOf([&] {
    const int in = ::open(folder.base().c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (in < 0 || ::fstat(in, &info) != 0) {
      return;
    }
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    const bool read = ::read(in, bytes.data(), bytes.size()) == info.st_size;
    ::close(in);
    const int out =
        ::open(folder.In("Copy.ini").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    done = read && out >= 0 && ::write(out, bytes.data(), bytes.size()) == info.st_size &&
           ::fsync(out) == 0 && ::close(out) == 0;
  });
  fs::remove(folder.In("Copy.ini"));
  return done ? seconds : -1;
}

double ProcessSeconds(const Command& command) {
  int status = -1;
  const double seconds = SecondsOf([&] { status = RunToEnd(command); });
  return status == 0 ? seconds : -1;
}

// --- The figures -----------------------------------------------------------------------------

bool LoadFigures(const Options& options, const BaseFolder& small, const BaseFolder& large) {
  const std::vector<double> m = MedianSeconds(
      {[&] { return LoadSeconds(small.base()); }, [&] { return InihSeconds(small.base()); },
       [&] { return LoadSeconds(large.base()); }, [&] { return InihSeconds(large.base()); }},
      options.rounds);
  bool met = Report("Load vs inih, 10,000 records", m[0] / m[1], 2, Versus(m[0], m[1]));
  met &= Report("Load vs inih, 100,000 records", m[2] / m[3], 2, Versus(m[2], m[3]));
  met &= Report("Load growth, 100,000 / 10,000 records", m[2] / m[0], 11, Versus(m[2], m[0]));
  return met;
}

bool JustChangedFigure(const Options& options, const BaseFolder& small) {
  const fs::path changed = small.In("Changed.ini");
  fs::copy_file(small.base(), changed);
  const std::vector<double> m = MedianSeconds({[&] {
                                                 DateNow(changed);
                                                 return LoadSeconds(changed);
                                               },
                                               [&] { return LoadSeconds(small.base()); }},
                                              options.rounds);
  fs::remove(changed);
  return Report("Load of a just-changed 10,000-record file vs dated back", m[0] / m[1], 1.5,
                Versus(m[0], m[1]));
}

Catalogue CatalogueOf(const BaseFolder& folder) {
  const MachineServices machine;
  SilentToolkit toolkit;
  Catalogue catalogue;
  if (!ScanCatalogueFolder(catalogue, folder.scratch.path().string(), machine.services(),
                           toolkit)) {
    throw std::runtime_error("no catalogue");
  }
  return catalogue;
}

bool DeriveFigures(const Options& options, const BaseFolder& small, const BaseFolder& large) {
  const Catalogue smallCatalogue = CatalogueOf(small);
  const Catalogue largeCatalogue = CatalogueOf(large);
  const std::vector<double> m = MedianSeconds({[&] { return DeriveSeconds(small, smallCatalogue); },
                                               [&] { return ReadWriteFlushSeconds(small); },
                                               [&] { return DeriveSeconds(large, largeCatalogue); },
                                               [&] { return ReadWriteFlushSeconds(large); }},
                                              options.rounds);
  bool met =
      Report("derivation vs read+write+fsync, 10,000 records", m[0] / m[1], 3, Versus(m[0], m[1]));
  met &=
      Report("derivation vs read+write+fsync, 100,000 records", m[2] / m[3], 3, Versus(m[2], m[3]));
  return met;
}

Command CliDerive(const Options& options, const BaseFolder& folder) {
  return {(options.bin / "quillmere-cli").string(),
          {"derive", "--folder", folder.scratch.path().string(), "--base", "Bench.ini", "--name",
           "Derived", "--void", "Void", "--stop", "Cash"},
          {}};
}

Command Cp(const BaseFolder& folder) {
  return {"/bin/cp", {folder.base().string(), folder.In("Copy.ini").string()}, {}};
}

bool CliDeriveFigures(const Options& options, const BaseFolder& small, const BaseFolder& large) {
  const auto timed = [](const Command& command, const fs::path& made) {
    return [command, made] {
      const double seconds = ProcessSeconds(command);
      fs::remove(made);
      return seconds;
    };
  };
  const std::vector<double> m =
      MedianSeconds({timed(CliDerive(options, small), small.In("Derived.ini")),
                     timed(Cp(small), small.In("Copy.ini")),
                     timed(CliDerive(options, large), large.In("Derived.ini")),
                     timed(Cp(large), large.In("Copy.ini"))},
                    options.rounds);
  bool met =
      Report("quillmere-cli derive vs cp, 10,000 records", m[0] / m[1], 3, Versus(m[0], m[1]));
  met &= Report("quillmere-cli derive vs cp, 100,000 records", m[2] / m[3], 4, Versus(m[2], m[3]));
  return met;
}

// "Printer Commands" with 2,000 generated modules of about 21 KB, beside where a dialog program
// will be put.
fs::path MakeListedFolder(const ScratchFolder& scratch) {
  fs::path modules = scratch.path() / "Printer Commands";
  for (std::size_t i = 1; i <= kListedModules; ++i) {
    char name[32];
    std::snprintf(name, sizeof(name), "Module%04zu.ini", i);
    WriteBytes(modules / name,
               GenerateModuleFile(kListedModuleRecords, static_cast<std::uint32_t>(i)).bytes);
    DateBack(modules / name);
  }
  return modules;
}

bool ListFigure(const Options& options, const fs::path& modules) {
  const Command list{
      (options.bin / "quillmere-cli").string(), {"list", "--folder", modules.string()}, {}};
  const Command reader{(options.bin / "read_each_file").string(), {modules.string()}, {}};
  const std::vector<double> m =
      MedianSeconds({[&] { return ProcessSeconds(list); }, [&] { return ProcessSeconds(reader); }},
                    options.rounds);
  return Report("quillmere-cli list vs C reader, 2,000 modules", m[0] / m[1], 2,
                Versus(m[0], m[1]));
}

bool HeapFigure(const BaseFolder& large) {
  const std::size_t peak = PeakHeapOf([&] {
    const MachineServices machine;
    PrinterCommandModule module(machine.services());
    module.Load(large.base().string());
  });
  return Report("peak heap of Load vs file size, 100,000 records",
                static_cast<double>(peak) / static_cast<double>(large.size), 4,
                Size(peak) + " vs " + Size(large.size));
}

// The tool's dialog program put beside a folder "Printer Commands", as the tool is installed.
Command EditorDialogBeside(const Options& options, const fs::path& folder) {
  const fs::path program = folder / "editor_dialog";
  if (!fs::exists(program)) {
    fs::copy_file(options.bin / "editor_dialog", program);
  }
  return {program.string(), {}, {"QT_QPA_PLATFORM=offscreen"}};
}

bool DialogFigures(const Options& options, const fs::path& listedFolder) {
  if (!fs::exists(options.bin / "editor_dialog") || !fs::exists(options.bin / "empty_dialog")) {
    std::printf("dialog figures: not built (no Qt)\n");
    return false;
  }
  const ScratchFolder samples;
  fs::copy(options.bin / "Printer Commands", samples.path() / "Printer Commands");
  const Command five = EditorDialogBeside(options, samples.path());
  const Command many = EditorDialogBeside(options, listedFolder);
  const Command empty{(options.bin / "empty_dialog").string(), {}, {"QT_QPA_PLATFORM=offscreen"}};
  const std::vector<double> m = MedianSeconds({[&] { return SecondsUntilFirstOutput(five); },
                                               [&] { return SecondsUntilFirstOutput(empty); },
                                               [&] { return SecondsUntilFirstOutput(many); }},
                                              options.rounds);
  bool met =
      Report("dialog shown vs empty Qt dialog, 5 modules", m[0] / m[1], 1.3, Versus(m[0], m[1]));
  met &=
      Report("dialog shown vs empty Qt dialog, 2,000 modules", m[2] / m[1], 2, Versus(m[2], m[1]));
  return met;
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const std::string value = argv[i + 1];
    if (name == "--bin") {
      options.bin = value;
    } else if (name == "--rounds") {
      options.rounds = std::stoi(value);
    } else if (name == "--only") {
      for (std::size_t start = 0; start <= value.size();) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        options.only.insert(value.substr(start, comma - start));
        start = comma + 1;
      }
    } else {
      return std::nullopt;
    }
  }
  if (argc % 2 == 0 || options.bin.empty() || options.rounds < 1) {
    return std::nullopt;
  }
  return options;
}

int Run(const Options& options) {
  const BaseFolder small(kSmall);
  const BaseFolder large(kLarge);
  std::fprintf(stderr, "    modules of %s and %s\n", Size(small.size).c_str(),
               Size(large.size).c_str());
  bool met = true;
  if (options.Runs("load")) {
    met &= LoadFigures(options, small, large);
  }
  if (options.Runs("changed")) {
    met &= JustChangedFigure(options, small);
  }
  if (options.Runs("derive")) {
    met &= DeriveFigures(options, small, large);
  }
  if (options.Runs("cli")) {
    met &= CliDeriveFigures(options, small, large);
  }
  if (options.Runs("heap")) {
    met &= HeapFigure(large);
  }
  if (options.Runs("list") || options.Runs("dialog")) {
    const ScratchFolder listed;
    const fs::path modules = MakeListedFolder(listed);
    if (options.Runs("list")) {
      met &= ListFigure(options, modules);
    }
    if (options.Runs("dialog")) {
      met &= DialogFigures(options, listed.path());
    }
  }
  return met ? 0 : 1;
}

}  // namespace
}  // namespace quillmere::bench

int main(int argc, char** argv) {
  // The in-process figures compare work with work: the heap keeps what a round freed for the next
  // round, instead of handing it back to the system and taking fresh pages again (a page fault
  // costs this project's virtual machines some 18 microseconds). What a process pays for fresh
  // pages shows in the figures that run the tool as a process.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  const std::optional<quillmere::bench::Options> options =
      quillmere::bench::ParseOptions(argc, argv);
  if (!options) {
    std::fprintf(stderr, "usage: quillmere_figures --bin DIR [--rounds N] [--only GROUP,...]\n");
    return 2;
  }
  try {
    return quillmere::bench::Run(*options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillmere_figures: %s\n", error.what());
    return 2;
  }
}
