// `derive` and `list` over the core (the terminal toolkit that shows their messages and asks
// their questions is terminal_text_test's).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "cli_run.h"
#include "platform/file_system.h"
#include "support/golden.h"

namespace quillmere::testing {
namespace {

using ::testing::HasSubstr;

// Each exit status the core's outcomes give, the questions asked on a terminal. How each option
// decides the new module is DryRunGolden's; every refusal's message, DeriveModule's.
TEST(DeriveCommand, OutcomesAndExitStatuses) {
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "m");
  temp.MakeFolder("m/Folder.ini");  // listed as a base, but cannot be copied
  const std::string written = "Success\n" + folder + "/Epson_1.ini\n";
  const std::string overwrite =
      "the ini file you want to save is existed.\nDo you want to over write it?\n(y/N) ";
  const struct {
    std::vector<std::string> options;  // after --folder m --name Epson_1, a file of the folder
    std::string typed;                 // on a terminal when not empty
    int status;
    std::string out;  // or, with status 0, a line of the new module
    std::string err;  // a part of standard error
  } rows[] = {
      {{"--base", "Folder.ini", "--yes", "--stop", "C"},
       "",
       3,
       "",
       "Copy file false!\n" + folder + "/Folder.ini: it is no regular file"},
      {{"--base", "EpsonTM88.ini", "--void", "Void"},
       "y\n",
       1,
       "",
       overwrite + "The new module has no transaction stop signal.\nSave it anyway?\n"},
      {{"--base", "EpsonTM88.ini", "--void", "Void"},
       "y\ny\n",
       0,
       "1=4,V,o,i,d,1,0,0,TRAN_VOID",
       ""},
      // The keyword typed in UTF-8 is taken in the shop's code page.
      {{"--base", "EpsonTM88.ini", "--void", "\xCE\xA9"},
       "",
       1,
       "",
       "Key word of Void or Stop has a character the code page cannot hold\n"
       "the Void keyword: '\xCE\xA9' (U+03A9) is not in code page 1252\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.options[1] + " " + row.options.back());
    std::vector<std::string> command{"derive", "--folder", folder};
    command.insert(command.end(), row.options.begin(), row.options.end());
    if (std::find(command.begin(), command.end(), "--name") == command.end()) {
      command.insert(command.end(), {"--name", "Epson_1"});
    }
    const CliRun run = RunCli(command, row.typed, !row.typed.empty());
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.out, row.status == 0 ? written : "");
    EXPECT_THAT(run.err, HasSubstr(row.err));
    if (row.status == 0) {
      EXPECT_THAT(temp.Read("m/Epson_1.ini"), HasSubstr(row.out));
    }
  }
}

// What the base lacks is told before the derivation asks anything (here, to overwrite).
TEST(DeriveCommand, TellsWhatTheBaseLacksFirst) {
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "m");
  std::filesystem::remove(temp.PathOf("m/EscPosCut.dll"));
  const CliRun run = RunCli({"derive", "--folder", folder, "--base", "EpsonTM88.ini", "--name",
                             "Epson_1", "--stop", "Cash"},
                            "y\n", true);
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.err, ::testing::StartsWith(
                           "quillmere-cli derive: the base module EpsonTM88.ini: its module "
                           "library \"EscPosCut.dll\" was not found, which leaves out:\n"
                           "  [GS-Command] 2 = 2,GS,V,3,CutPaper,0,TRAN_STOP: "));
}

// A dry run prints the new file as a diff from its base (tests/data/dry_run/<case>/diff.txt,
// the folder as "<folder>"), leaves the folder byte for byte as it was, and exits as the same
// command without --dry-run then does.
QUILLMERE_GOLDEN_CASES(Cases, DryRunGolden, "dry_run");

TEST_P(DryRunGolden, PrintsTheDiffAndWritesNothing) {
  const CaseInputs inputs = ReadCaseInputs("dry_run", GetParam());
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "m");
  std::vector<std::string> command{"derive", "--folder", folder};
  std::istringstream options(inputs.at("options"));
  command.insert(command.end(), std::istream_iterator<std::string>(options), {});
  const auto before = temp.Snapshot();
  command.emplace_back("--dry-run");
  const CliRun dryRun = RunCli(command);
  EXPECT_EQ(temp.Snapshot(), before);
  ExpectMatchesCaseFile("dry_run", GetParam(), "diff.txt",
                        Replaced(dryRun.out, folder, "<folder>"));
  EXPECT_EQ(dryRun.status, std::stoi(inputs.at("status")));
  command.pop_back();
  EXPECT_EQ(RunCli(command).status, dryRun.status);
}

// Index, module name and file name as the dialog lists them: module names in the code page, a
// tab escaped in text, and valid UTF-8 in JSON.
TEST(ListCommand, ShowsTheBaseListEscapedInTextAndValidInJson) {
  const TempFolder temp;
  temp.Write("m/a.ini", "[Main]\r\nModule_Name=Caf\xE9\tBar\\\x81\r\n");
  temp.Write("m/b.ini", "[Main]\r\nModule_Name=\xA4\x61\r\n");
  EXPECT_EQ(RunCli({"list", "--folder", temp.PathOf("m")}).out,
            "0\tCaf\xC3\xA9\\tBar\\\\\\x81\ta.ini\n1\t\xC2\xA4\x61\tb.ini\n");
  EXPECT_THAT(
      RunCli({"list", "--folder", temp.PathOf("m"), "--json", "--code-page", "950"}).out,
      HasSubstr("\"index\": 1,\n      \"name\": \"\xE5\x85\x80\",\n      \"file\": \"b.ini\""));
  EXPECT_THAT(RunCli({"list", "--folder", temp.PathOf("m"), "--json"}).out,
              HasSubstr("\"name\": \"Caf\xC3\xA9\\tBar\\\\\xEF\xBF\xBD\""));
}

}  // namespace
}  // namespace quillmere::testing
