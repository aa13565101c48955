// `derive` over DeriveModule, and the terminal toolkit that shows its messages and asks its
// question.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>

#include "cli/terminal_toolkit.h"
#include "cli_run.h"

namespace quillmere::testing {
namespace {

// Each outcome's exit status; each option reaches the derivation, seen in the line it decides.
TEST(DeriveCommand, OptionsAndExitStatuses) {
  const TempFolder temp;
  const std::string folder = CopySamples(temp, "m");
  temp.MakeFolder("m/Folder.ini");  // listed as a base, but cannot be copied
  const struct {
    std::vector<std::string> options;  // after --name Epson_1, a file of the folder
    std::string typed;                 // on a terminal when not empty
    int status;
    std::string line;
  } rows[] = {
      {{"--base", "Absent.ini", "--yes"}, "", 1, ""},
      {{"--base", "SlipPrinter.ini"}, "", 1, ""},
      {{"--base", "Folder.ini", "--yes"}, "", 3, ""},
      {{"--base", "EpsonTM88.ini", "--void", "Void"}, "y\n", 0, "1=4,V,o,i,d,1,0,0,TRAN_VOID"},
      {{"--base", "EpsonTM88.ini", "--yes", "--stop", "Cash"},
       "",
       0,
       "1=4,C,a,s,h,1,0,0,TRAN_STOP"},
      {{"--base", "EpsonTM88.ini", "--yes", "--form-feed"}, "", 0, "4=1,FF,1,1,0,TRAN_STOP"},
      {{"--base", "EpsonTM88.ini", "--yes", "--cut-paper"},
       "",
       0,
       "=2,GS,V,3,CutPaper,0,TRAN_STOP"},
      {{"--base", "EpsonTM88.ini", "--yes"}, "", 0, "=2,GS,V,3,CutPaper,0,\r\n"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> command{"derive", "--folder", folder, "--name", "Epson_1"};
    command.insert(command.end(), row.options.begin(), row.options.end());
    const CliRun run = RunCli(command, row.typed, !row.typed.empty());
    EXPECT_EQ(run.status, row.status) << row.options[1] << " " << row.line;
    EXPECT_EQ(run.out, row.status == 0 ? "Success\n" : "") << row.line;
    if (row.status == 0) {
      EXPECT_THAT(temp.Read("m/Epson_1.ini"), ::testing::HasSubstr(row.line));
    }
  }
}

// "Success" to standard output, the rest to standard error; only --yes, "y" or "yes" answer Yes.
TEST(TerminalToolkit, ShowsMessagesAndAnswersTheOverwriteQuestion) {
  const MessageId question = MessageId::kOverwriteQuestion;
  const std::string asked =
      "the ini file you want to save is existed.\nDo you want to over write it?\n";
  const struct {
    MessageId message;
    bool yesOption;
    bool terminal;
    std::string typed;
    std::string seen;  // "<answer>|<standard output>|<standard error>|<input left unread>"
  } rows[] = {
      {MessageId::kSuccess, false, true, "y\n", "other|Success\n||y\n"},
      {MessageId::kCopyFailed, false, true, "y\n", "other||Copy file false!\n|y\n"},
      {MessageId::kSelectBase, false, false, "", "other||Please select a base printer command\n|"},
      {question, true, true, "n\n", "Yes||" + asked + "|n\n"},
      {question, false, false, "y\n", "other||" + asked + "|y\n"},
      {question, false, true, "y\nn\n", "Yes||" + asked + "(y/N) |n\n"},
      {question, false, true, "YES\n", "Yes||" + asked + "(y/N) |"},
      {question, false, true, "y\r\n", "Yes||" + asked + "(y/N) |"},
      {question, false, true, "\n", "other||" + asked + "(y/N) |"},
      {question, false, true, "yes please\n", "other||" + asked + "(y/N) |"},
      {question, false, true, "", "other||" + asked + "(y/N) \n|"},
  };
  for (const auto& row : rows) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(row.typed);
    cli::TerminalToolkit toolkit(out, err, in, cli::YesNoAnswersFor(row.yesOption, row.terminal));
    const MessageAnswer answer = toolkit.ShowMessage(
        row.message, row.message == question ? MessageButtons::kYesNo : MessageButtons::kOk);
    const std::string unread(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ((answer == MessageAnswer::kYes ? "Yes|" : "other|") + out.str() + "|" + err.str() +
                  "|" + unread,
              row.seen);
  }
}

}  // namespace
}  // namespace quillmere::testing
