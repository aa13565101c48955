// Every case folder of tests/data/cli: inspect's text and JSON of a sample or the case's module.ini
// beside the samples' module library, against inspect.txt and inspect.json.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/json_writer.h"
#include "cli_run.h"
#include "support/golden.h"

namespace quillmere::testing {
namespace {

constexpr std::string_view kArea = "cli";

QUILLMERE_GOLDEN_CASES(Cases, InspectGolden, kArea);

TEST_P(InspectGolden, ShowsTheExpectedTextAndJson) {
  const CaseInputs inputs = ReadCaseInputs(kArea, GetParam());
  const TempFolder temp;
  std::filesystem::copy(kSampleFolder, temp.path());
  const std::string path = temp.PathOf(InputOr(inputs, "sample", "module.ini"));
  if (!inputs.contains("sample")) {
    temp.Write("module.ini", ReadCaseFile(kArea, GetParam(), "module.ini"));
  }
  for (const std::string format : {"txt", "json"}) {
    const CliRun run = RunCli(format == "json" ? std::vector<std::string>{"inspect", path, "--json"}
                                               : std::vector<std::string>{"inspect", path});
    EXPECT_EQ(run.status, std::stoi(InputOr(inputs, "status", "0"))) << format;
    EXPECT_EQ(run.err, "") << format;
    ExpectMatchesCaseFile(kArea, GetParam(), "inspect." + format,
                          Replaced(run.out, temp.path(), "<folder>"));
  }
}

// Line ends cannot stand in a module value, but may in a path.
TEST(JsonString, EscapesLineEnds) {
  EXPECT_EQ(cli::JsonString("a\nb\r"), "\"a\\nb\\r\"");
}

}  // namespace
}  // namespace quillmere::testing
