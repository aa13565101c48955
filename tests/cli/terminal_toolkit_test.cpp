// The terminal toolkit: where each message goes, in the string table's words, and how the
// overwrite question is answered.
#include "cli/terminal_toolkit.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace quillmere::cli {
namespace {

// An OK box is only shown, never answered from the terminal; only "Success" goes to standard
// output.
TEST(TerminalToolkit, OkBoxesAreOnlyShown) {
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in("y\n");
  TerminalToolkit toolkit(out, err, in, YesNoAnswers::kAskOnTerminal);
  EXPECT_EQ(toolkit.ShowMessage(MessageId::kCopyFailed, MessageButtons::kOk),
            MessageAnswer::kOther);
  toolkit.ShowMessage(MessageId::kSuccess, MessageButtons::kOk);
  EXPECT_EQ(out.str(), "Success\n");
  EXPECT_EQ(err.str(), "Copy file false!\n");
  EXPECT_EQ(in.tellg(), 0);
}

// --yes answers Yes without asking, even on a terminal; without a terminal the answer is No
// unasked; on a terminal only "y" or "yes" (any case, CR LF too) is Yes, end of input is No.
TEST(TerminalToolkit, AnswersTheOverwriteQuestion) {
  const std::string question =
      "the ini file you want to save is existed.\nDo you want to over write it?\n";
  struct Row {
    bool yesOption;
    bool terminal;
    const char* typed;
    MessageAnswer answer;
    const char* prompt;  // what follows the question on standard error
  };
  const std::vector<Row> rows{
      {true, true, "n\n", MessageAnswer::kYes, ""},
      {false, false, "y\n", MessageAnswer::kOther, ""},
      {false, true, "y\n", MessageAnswer::kYes, "(y/N) "},
      {false, true, "YES\n", MessageAnswer::kYes, "(y/N) "},
      {false, true, "y\r\n", MessageAnswer::kYes, "(y/N) "},
      {false, true, "\n", MessageAnswer::kOther, "(y/N) "},
      {false, true, "yes please\n", MessageAnswer::kOther, "(y/N) "},
      {false, true, "", MessageAnswer::kOther, "(y/N) \n"},
  };
  for (const Row& row : rows) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(row.typed);
    TerminalToolkit toolkit(out, err, in, YesNoAnswersFor(row.yesOption, row.terminal));
    const std::string name = std::string(row.yesOption ? "--yes " : "") +
                             (row.terminal ? "terminal '" : "no terminal '") + row.typed + "'";
    EXPECT_EQ(toolkit.ShowMessage(MessageId::kOverwriteQuestion, MessageButtons::kYesNo),
              row.answer)
        << name;
    EXPECT_EQ(err.str(), question + row.prompt) << name;
    EXPECT_EQ(out.str(), "");
  }
}

}  // namespace
}  // namespace quillmere::cli
