// `derive` as the front end of DeriveModule: its options become the derivation's inputs, its
// outcomes exit statuses. What a derivation writes and refuses is the derivation's own test.
#include <gtest/gtest.h>

#include "cli_run.h"
#include "derive/module_files.h"

namespace quillmere::testing {
namespace {

// The module `derive` writes is the one DeriveModule writes from the same inputs.
TEST(DeriveCommand, PassesItsOptionsToTheDerivation) {
  const struct {
    std::vector<std::string> options;
    bool formFeed;
    bool cutPaper;
    std::string voidKeyword;
    std::string stopKeyword;
  } rows[] = {
      {{"--void", "Void", "--stop", "Cash"}, false, false, "Void", "Cash"},
      {{"--form-feed", "--void=V"}, true, false, "V", ""},
      {{"--cut-paper"}, false, true, "", ""},
  };
  for (const auto& row : rows) {
    const TempFolder temp;
    std::vector<std::string> command{
        "derive", "--folder", CopySamples(temp, "cli"), "--base", "EpsonTM88.ini", "--name", "New"};
    command.insert(command.end(), row.options.begin(), row.options.end());
    EXPECT_EQ(RunCli(command).out, "Success\n");
    ModuleFiles core;
    core.Write("EpsonTM88.ini", temp.Read("cli/EpsonTM88.ini"));
    RecordingToolkit toolkit;
    const DeriveInputs inputs{.cutPaperOption = row.cutPaper,
                              .formFeedOption = row.formFeed,
                              .voidKeyword = row.voidKeyword,
                              .stopKeyword = row.stopKeyword,
                              .newModuleName = "New"};
    ASSERT_EQ(core.Derive(inputs, "EpsonTM88.ini", toolkit).outcome, DeriveOutcome::kSucceeded);
    EXPECT_EQ(temp.Read("cli/New.ini"), core.Read("New.ini")) << command.back();
  }
}

// Each outcome has its exit status, "Success" on standard output and every other message on
// standard error. The overwrite question is answered by --yes, or on a terminal, else No.
TEST(DeriveCommand, ExitStatusOfEachOutcome) {
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "Printer Commands");
  temp.MakeFolder("Printer Commands/Folder.ini");  // listed as a base, but cannot be copied
  const std::string overwrite = Line(MessageId::kOverwriteQuestion);
  const struct {
    std::vector<std::string> options;
    std::string typed;  // on a terminal when not empty
    int status;
    std::string out;
    std::string err;
  } rows[] = {
      {{"--base", "Absent.ini", "--name", "N"}, "", 1, "", Line(MessageId::kSelectBase)},
      {{"--base", "SlipPrinter.ini", "--name", "Epson_1"}, "", 1, "", overwrite},
      {{"--base", "SlipPrinter.ini", "--name", "Epson_1", "--yes"}, "", 0, "Success\n", overwrite},
      {{"--base", "SlipPrinter.ini", "--name", "Epson_1"},
       "y\n",
       0,
       "Success\n",
       overwrite + "(y/N) "},
      {{"--base", "Folder.ini", "--name", "N"}, "", 3, "", Line(MessageId::kCopyFailed)},
  };
  for (const auto& row : rows) {
    std::vector<std::string> command{"derive", "--folder", folder};
    command.insert(command.end(), row.options.begin(), row.options.end());
    const CliRun run = RunCli(command, row.typed, !row.typed.empty());
    EXPECT_EQ(run.status, row.status) << row.err;
    EXPECT_EQ(run.out, row.out) << row.err;
    EXPECT_EQ(run.err, row.err);
  }
}

}  // namespace
}  // namespace quillmere::testing
