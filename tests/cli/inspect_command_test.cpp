// Every case folder of tests/data/cli: inspect's text and JSON of one module file (a sample
// named by "sample=", else the case's module.ini), beside the samples' module library, compared
// with inspect.txt and inspect.json; the folder's path shows as "<folder>". The exit status is
// the case's "status=" (1 when something was left out).
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/json_writer.h"
#include "cli_run.h"
#include "support/golden.h"

namespace quillmere::testing {
namespace {

constexpr std::string_view kArea = "cli";

class InspectGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(InspectGolden, ShowsTheExpectedTextAndJson) {
  const CaseInputs inputs = ReadCaseInputs(kArea, GetParam());
  const TempFolder temp;
  std::filesystem::copy_file(kSampleFolder + "/EscPosCut.dll", temp.PathOf("EscPosCut.dll"));
  const std::string path = temp.PathOf(InputOr(inputs, "sample", "module.ini"));
  if (inputs.contains("sample")) {
    std::filesystem::copy_file(kSampleFolder + "/" + inputs.at("sample"), path);
  } else {
    temp.Write("module.ini", ReadCaseFile(kArea, GetParam(), "module.ini"));
  }
  for (const auto& [file, json] : {std::pair{"inspect.txt", false}, {"inspect.json", true}}) {
    CliRun run = RunCli(json ? std::vector<std::string>{"inspect", path, "--json"}
                             : std::vector<std::string>{"inspect", path});
    EXPECT_EQ(run.status, std::stoi(InputOr(inputs, "status", "0"))) << file;
    EXPECT_EQ(run.err, "") << file;
    for (std::size_t at; (at = run.out.find(temp.path())) != std::string::npos;) {
      run.out.replace(at, temp.path().size(), "<folder>");
    }
    ExpectMatchesCaseFile(kArea, GetParam(), file, run.out);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, InspectGolden, ::testing::ValuesIn(GoldenCases(kArea)),
                         [](const auto& row) { return row.param; });

// Line ends cannot stand in a module value, but may in a path.
TEST(JsonString, EscapesLineEnds) {
  EXPECT_EQ(cli::JsonString("a\nb\r"), "\"a\\nb\\r\"");
}

}  // namespace
}  // namespace quillmere::testing
