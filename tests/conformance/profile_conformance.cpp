// The portable profile store against Wine's profile functions: a seeded script of reads, integer
// reads and writes (each write followed by a read of every key of its file) is applied through
// the Windows functions by the cross-built harness under Wine, and through the store on files of
// this machine. Every result is compared; every difference must be explained by the model of
// Wine's known deviations and the store's own choices (wine_model.h), or the test fails and
// prints the operation, the file and both results. Where the harness was not built or Wine cannot
// start, the test says why and is skipped.
//
//   profile_conformance HARNESS WINE WINESERVER [OPERATIONS [SEED]]
// With QUILLMERE_RELIABILITY_DOC naming docs/reliability.md, the figures fill its marked block.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/portable_profile_store.h"
#include "script_generator.h"
#include "support/figures_block.h"
#include "support/golden.h"
#include "wine_model.h"

namespace quillmere::conformance {
namespace {

namespace fs = std::filesystem;
using testing::Quoted;

constexpr int kSkipped = 77;  // SKIP_RETURN_CODE of the ctest entry
constexpr int kLargestCauseSet = 4;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line.substr(0, line.find('\r')));
  }
  return lines;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a program wrote to standard output, given `words` (the program and its arguments, none
// holding a quote); its standard error is left in work/err.txt.
std::string Output(const std::vector<std::string>& words, const fs::path& work) {
  std::string command;
  for (const std::string& word : words) {
    command += "'" + word + "' ";
  }
  command +=
      "</dev/null >'" + (work / "out.txt").string() + "' 2>'" + (work / "err.txt").string() + "'";
  (void)std::system(command.c_str());
  return ReadAll(work / "out.txt");
}

// The results of the whole script under Wine, case by case; none when Wine could not run it.
std::optional<std::vector<std::string>> RunUnderWine(const std::string& wine,
                                                     const std::string& harness,
                                                     const fs::path& work, std::string& why) {
  const auto windowsPath = [](const fs::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
  };
  ::setenv("WINEPREFIX", (work / "prefix").c_str(), 1);
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);  // Wine takes its code page from the locale: 1252 here
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  std::vector<std::string> lines = Lines(
      Output({wine, harness, windowsPath(work / "script.txt"), windowsPath(work / "wine")}, work));
  if (lines.empty() || lines.front() != "harness started") {
    why = "Wine did not start the harness: " + ReadAll(work / "err.txt").substr(0, 600);
    return std::nullopt;
  }
  lines.erase(lines.begin());
  return lines;
}

std::string StoreResult(ProfileStore& store, const Operation& op, const fs::path& folder) {
  const std::string path = (folder / op.name).string();
  if (op.verb == "file") {
    std::ofstream(path, std::ios::binary) << op.text;
    return "ok";
  }
  if (op.verb == "read") {
    return Hex(store.ReadString(op.section, op.key, op.text, path));
  }
  if (op.verb == "int") {
    return std::to_string(store.ReadInt(op.section, op.key, op.number, path));
  }
  return store.WriteString(op.section, op.key, op.text, path) == WriteStatus::kOk ? "1" : "0";
}

// The model's results for every step of one case, under each set of ways tried: a case is
// replayed once per set of ways, not once per difference.
using CaseModels = std::map<unsigned long, std::vector<std::string>>;

const std::string& ModelResult(CaseModels& models, const ScriptCase& steps, Ways ways,
                               std::size_t step) {
  const auto [run, isNew] = models.try_emplace(ways.to_ulong());
  if (isNew) {
    WineModel model(ways);
    for (const ScriptStep& each : steps) {
      run->second.push_back(model.Apply(each.op));
    }
  }
  return run->second[step];
}

// The smallest set of causes (of up to kLargestCauseSet) whose switch to the store's way turns
// the model's result from Wine's into the store's; none when there is no such set.
Ways Explain(CaseModels& models, const ScriptCase& steps, std::size_t step,
             const std::string& store, const std::string& wine) {
  const Ways all = Ways().set();
  if (ModelResult(models, steps, all, step) != wine) {
    return {};
  }
  for (int size = 1; size <= kLargestCauseSet; ++size) {
    for (unsigned long mask = 1; mask < (1UL << kCauseCount); ++mask) {
      if (std::popcount(mask) == size &&
          ModelResult(models, steps, all & ~Ways(mask), step) == store) {
        return {mask};
      }
    }
  }
  return {};
}

// The four kinds of operation compared, as the figures name them.
const std::array<const char*, 4> kKinds = {"string reads", "integer reads", "writes",
                                           "read-backs after writes"};

struct Figures {
  std::array<std::size_t, kKinds.size()> operations{};
  std::size_t compared = 0, agreed = 0, explained = 0;
  std::array<std::size_t, kCauseCount> alone{}, together{};  // differences each cause explains
  std::vector<std::string> unexplained;
};

std::size_t KindOf(const ScriptStep& step) {
  return step.readBack ? 3 : step.op.verb == "read" ? 0 : step.op.verb == "int" ? 1 : 2;
}

void Compare(const ScriptCase& steps, const std::vector<std::string>& store,
             const std::vector<std::string>& wine, Figures& figures) {
  CaseModels models;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Operation& op = steps[i].op;
    const bool counted = op.verb != "file";  // a file step must only succeed
    figures.operations[KindOf(steps[i])] += counted ? 1 : 0;
    figures.compared += counted ? 1 : 0;
    if (store[i] == wine[i]) {
      figures.agreed += counted ? 1 : 0;
      continue;
    }
    if (const Ways causes = Explain(models, steps, i, store[i], wine[i]); causes.any()) {
      ++figures.explained;
      for (std::size_t cause = 0; cause < kCauseCount; ++cause) {
        (causes.count() == 1 ? figures.alone : figures.together)[cause] += causes[cause] ? 1U : 0U;
      }
      continue;
    }
    std::string report = "unexplained difference at step " + std::to_string(i) + " of " + op.name +
                         "; the file and the steps so far:\n";
    for (std::size_t j = 0; j <= i; ++j) {
      const Operation& step = steps[j].op;
      report += "  " + step.verb + " " +
                (step.verb == "file" ? "" : Quoted(step.section) + " " + Quoted(step.key) + " ") +
                (step.verb == "int" ? std::to_string(step.number) : Quoted(step.text)) + "\n";
    }
    const auto shown = [&op](const std::string& result) {
      return op.verb == "read" ? Quoted(Unhex(result)) : result;
    };
    figures.unexplained.push_back(report + "  store: " + shown(store[i]) +
                                  "\n  Wine:  " + shown(wine[i]) + "\n");
  }
}

std::string FiguresText(const Figures& figures, std::uint32_t seed, const std::string& version) {
  std::ostringstream text;
  text << "Seed " << seed << ", " << version << ".\n\n| Operations compared | " << figures.compared
       << " |\n|---|---:|\n";
  for (std::size_t kind = 0; kind < kKinds.size(); ++kind) {
    text << "| " << kKinds[kind] << " | " << figures.operations[kind] << " |\n";
  }
  text << "| the same result | " << figures.agreed << " |\n| a difference, explained | "
       << figures.explained << " |\n| a difference, unexplained | " << figures.unexplained.size()
       << " |\n\n| Cause | Whose | What differs | Alone | With another |\n"
       << "|---|---|---|---:|---:|\n";
  for (std::size_t cause = 0; cause < kCauseCount; ++cause) {
    const CauseText& about = Describe(Cause(cause));
    text << "| " << about.name << " | " << about.kind << " | " << about.why << " | "
         << figures.alone[cause] << " | " << figures.together[cause] << " |\n";
  }
  return text.str();
}

// Writes the whole script; gives its number of lines.
std::size_t WriteScript(const std::vector<ScriptCase>& cases, const fs::path& path) {
  std::ofstream script(path, std::ios::binary);
  std::size_t lines = 0;
  for (const ScriptCase& steps : cases) {
    for (const ScriptStep& step : steps) {
      script << FormatOperation(step.op) << "\n";
      ++lines;
    }
  }
  return lines;
}

// Every case through the store and against Wine's results, which come in script order.
Figures CompareAll(const std::vector<ScriptCase>& cases, const std::vector<std::string>& wine,
                   const fs::path& folder) {
  const std::unique_ptr<ProfileStore> store = MakePortableProfileStore(RealFileSystem());
  Figures figures;
  auto next = wine.begin();
  for (const ScriptCase& steps : cases) {
    std::vector<std::string> storeResults;
    for (const ScriptStep& step : steps) {
      storeResults.push_back(StoreResult(*store, step.op, folder));
    }
    Compare(steps, storeResults, std::vector<std::string>(next, next + std::ssize(steps)), figures);
    next += std::ssize(steps);
  }
  return figures;
}

int Run(const std::vector<std::string>& args) {
  const std::string& harness = args.at(0);
  const std::string& wine = args.at(1);
  const std::size_t operations = args.size() > 3 ? std::stoul(args[3]) : 10000;
  const auto seed = static_cast<std::uint32_t>(args.size() > 4 ? std::stoul(args[4]) : 20240514);
  if (!fs::exists(harness)) {
    std::puts("skipped: the harness was not built (no x86_64-w64-mingw32-g++-posix found)");
    return kSkipped;
  }
  if (::access(wine.c_str(), X_OK) != 0) {
    std::puts("skipped: no Wine loader found (wine64; on Debian 12 /usr/lib/wine/wine64)");
    return kSkipped;
  }
  std::string pattern = (fs::temp_directory_path() / "quillmere-conformance-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::printf("cannot make a temporary folder from %s\n", pattern.c_str());
    return 1;
  }
  const fs::path work = pattern;
  fs::create_directories(work / "wine");
  fs::create_directories(work / "store");
  const std::vector<ScriptCase> cases = GenerateCases(seed, operations);
  const std::size_t scriptLines = WriteScript(cases, work / "script.txt");
  const std::string version = Lines(Output({wine, "--version"}, work) + "\n").at(0);
  std::string why;
  const auto wineResults = RunUnderWine(wine, harness, work, why);
  (void)Output({args.at(2), "-k"}, work);  // the server of this run's prefix
  std::error_code ignored;
  fs::remove_all(work / "prefix", ignored);
  if (!wineResults) {
    fs::remove_all(work, ignored);
    std::printf("skipped: %s\n", why.c_str());
    return kSkipped;
  }
  if (wineResults->size() != scriptLines) {
    fs::remove_all(work, ignored);
    std::printf("Wine gave %zu results for %zu script lines\n", wineResults->size(), scriptLines);
    return 1;
  }
  const Figures figures = CompareAll(cases, *wineResults, work / "store");
  fs::remove_all(work, ignored);

  const std::string text = FiguresText(figures, seed, version);
  std::fputs(text.c_str(), stdout);
  for (std::size_t i = 0; i < figures.unexplained.size() && i < 20; ++i) {
    std::fputs(figures.unexplained[i].c_str(), stdout);
  }
  const bool filled = testing::FillFiguresBlock("conformance", text);
  return figures.unexplained.empty() && filled ? 0 : 1;
}

}  // namespace
}  // namespace quillmere::conformance

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: profile_conformance HARNESS WINE WINESERVER [OPERATIONS [SEED]]\n", stderr);
    return 2;
  }
  return quillmere::conformance::Run(std::vector<std::string>(argv + 1, argv + argc));
}
