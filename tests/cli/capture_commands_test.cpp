// match, receipts and check wired to the command line: their text and JSON against golden case
// folders (tests/data/cli-match, cli-receipts and cli-check; the captures of data/captures as
// inputs); their exit statuses and messages are the cli-exit tables'. What the decoder and the
// trigger finder find is the capture suites' to test.
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

QUILLMERE_GOLDEN_CASES(Cases, CheckGolden, "cli-check");

// The case folder is the module folder; its other files are no modules.
TEST_P(CheckGolden, ListsTheProblemsOfEachModule) {
  std::string folder = CasePath("cli-check", GetParam());
  if (folder.ends_with('/')) {
    folder.pop_back();
  }
  ExpectForms("cli-check", GetParam(), {"check", "--folder", folder}, folder, "<folder>");
}

}  // namespace
}  // namespace quillmere::testing
