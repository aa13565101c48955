// match, receipts and check wired to the command line: their text and JSON against golden case
// folders (tests/data/cli-match, cli-receipts and cli-check; the captures of data/captures as
// inputs), and one row per exit status and message. What the decoder and the trigger finder
// find is the capture suites' to test.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_run.h"
#include "support/golden.h"

namespace quillmere::testing {
namespace {

const std::string kCaptures = QUILLMERE_SAMPLE_CAPTURES;

std::string Capture(std::string_view name) {
  return kCaptures + "/" + std::string(name);
}

std::string Replaced(std::string text, const std::string& from, std::string_view to) {
  for (std::size_t at; (at = text.find(from)) != std::string::npos;) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Each form of a case that has its expected file: `<command>.txt`, `<command>.json`.
void ExpectForms(const std::string& area, const std::string& caseName,
                 std::vector<std::string> arguments, const std::string& folder,
                 std::string_view shownAs) {
  const CaseInputs inputs = ReadCaseInputs(area, caseName);
  for (const std::string form : {"txt", "json"}) {
    const std::string expected = arguments.front() + "." + form;
    if (!std::filesystem::exists(CasePath(area, caseName, expected))) {
      continue;
    }
    std::vector<std::string> given = arguments;
    if (form == "json") {
      given.emplace_back("--json");
    }
    const CliRun run = RunCli(given);
    EXPECT_EQ(run.status, std::stoi(InputOr(inputs, "status", "0"))) << expected;
    EXPECT_EQ(run.err, "") << expected;
    ExpectMatchesCaseFile(area, caseName, expected, Replaced(run.out, folder, shownAs));
  }
}

struct GoldenRun {
  std::string command;
  std::string caseName;
};

[[maybe_unused]] void PrintTo(const GoldenRun& run, std::ostream* out) {
  *out << run.command << "_" << run.caseName;
}

std::vector<GoldenRun> CaptureRuns() {
  std::vector<GoldenRun> runs;
  for (const std::string command : {"match", "receipts"}) {
    for (std::string& caseName : GoldenCases("cli-" + command)) {
      runs.push_back({command, std::move(caseName)});
    }
  }
  return runs;
}

class CaptureCommandGolden : public ::testing::TestWithParam<GoldenRun> {};

TEST_P(CaptureCommandGolden, ShowsTheExpectedTextAndJson) {
  const auto& [command, caseName] = GetParam();
  const std::string area = "cli-" + command;
  const CaseInputs inputs = ReadCaseInputs(area, caseName);
  std::vector<std::string> arguments{command};
  if (inputs.contains("module")) {
    arguments.push_back(Capture(InputOr(inputs, "module")));
  }
  arguments.push_back(Capture(InputOr(inputs, "capture")));
  if (inputs.contains("codePage")) {
    arguments.insert(arguments.end(), {"--code-page", InputOr(inputs, "codePage")});
  }
  ExpectForms(area, caseName, arguments, kCaptures, "<captures>");
}

INSTANTIATE_TEST_SUITE_P(Cases, CaptureCommandGolden, ::testing::ValuesIn(CaptureRuns()),
                         [](const auto& row) {
                           return row.param.command + "_" + row.param.caseName;
                         });

class CheckGolden : public ::testing::TestWithParam<std::string> {};

// The case folder is the module folder; its other files are no modules.
TEST_P(CheckGolden, ListsTheProblemsOfEachModule) {
  std::string folder = CasePath("cli-check", GetParam());
  if (folder.ends_with('/')) {
    folder.pop_back();
  }
  ExpectForms("cli-check", GetParam(), {"check", "--folder", folder}, folder, "<folder>");
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckGolden, ::testing::ValuesIn(GoldenCases("cli-check")),
                         [](const auto& row) { return row.param; });

// Every way the three commands end, with the first words they say on standard output (exit 0
// and 1 with a result) or standard error.
TEST(CaptureCommandsExit, OneRowPerStatusAndMessage) {
  const std::string sale = Capture("sale_cut.bin");
  const std::string module = Capture("sale_cut.ini");
  const std::string match = "quillmere-cli match: ";
  const TempFolder temp;
  const std::string empty = temp.Write("empty.bin", "");
  const struct {
    std::string name;
    std::vector<std::string> given;
    int status;
    std::string starts;
    bool onError;
  } rows[] = {
      {"NoVoidSeen", {"match", module, sale}, 1, "Capture " + sale + ": raw, 145 bytes", false},
      {"BothSeen",
       {"match", Capture("big5_void.ini"), Capture("big5_void.bin")},
       0,
       "Capture ",
       false},
      {"PacketCapture",
       {"match", module, Capture("sale_cut.pcap"), "--format=pcap"},
       1,
       "Capture " + Capture("sale_cut.pcap") + ": pcap, 145 bytes",
       false},
      {"OneArgument",
       {"match", module},
       2,
       match + "takes a module file and a capture file\n",
       true},
      {"ModuleUnreadable",
       {"match", kCaptures, sale},
       2,
       match + "cannot read the module file '" + kCaptures + "'\n",
       true},
      {"CaptureUnreadable",
       {"match", module, Capture("absent.bin")},
       2,
       match + "cannot read the capture file '" + Capture("absent.bin") + "'\n",
       true},
      {"NotThatFormat",
       {"match", module, sale, "--format", "hex"},
       2,
       match + "cannot read the capture file '" + sale + "': not a hex dump: line 1",
       true},
      {"NoSuchFormat",
       {"match", module, sale, "--format", "bin"},
       2,
       match + "no capture format 'bin' (raw, hex or pcap)\n",
       true},
      {"NoSuchCodePage",
       {"match", module, sale, "--code-page", "12"},
       2,
       match + "no code page 12",
       true},
      {"Receipts", {"receipts", sale}, 0, "--- receipt 1 [0, 145) cut by GS V 66 0\n", false},
      {"CaptureWarning",
       {"receipts", module},
       0,
       "quillmere-cli receipts: warning: not one ESC byte",
       true},
      {"EmptyCapture",
       {"receipts", empty},
       0,
       "quillmere-cli receipts: warning: the capture holds no bytes",
       true},
      {"NoModuleFolder",
       {"check", "--folder", Capture("absent")},
       1,
       "Can't Find Printer Command Folder\n",
       true},
      {"CheckArgument", {"check", "x.ini"}, 2, "quillmere-cli check: takes no arguments", true},
  };
  for (const auto& row : rows) {
    const CliRun run = RunCli(row.given);
    EXPECT_EQ(run.status, row.status) << row.name;
    EXPECT_THAT(row.onError ? run.err : run.out, ::testing::StartsWith(row.starts)) << row.name;
  }
}

}  // namespace
}  // namespace quillmere::testing
