// The terminal toolkit: where each message goes, in the string table's words, and how a Yes/No
// question is answered.
#include "cli/terminal_toolkit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

#include "support/case_name.h"

namespace quillmere::cli {
namespace {

using quillmere::testing::CaseName;
using ::testing::ElementsAre;

class TerminalToolkitTest : public ::testing::Test {
 protected:
  TerminalToolkit Toolkit(YesNoAnswers answers) { return {out, err, in, answers}; }

  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in;
};

TEST_F(TerminalToolkitTest, SuccessGoesToStandardOutput) {
  TerminalToolkit toolkit = Toolkit(YesNoAnswers::kAlwaysNo);
  toolkit.ShowMessage(MessageId::kSuccess, MessageButtons::kOk);
  EXPECT_EQ(out.str(), "Success\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(TerminalToolkitTest, EveryOtherMessageGoesToStandardErrorAsTheTableHasIt) {
  TerminalToolkit toolkit = Toolkit(YesNoAnswers::kAlwaysNo);
  std::string expected;
  for (const MessageId id : kAllMessageIds) {
    if (id != MessageId::kSuccess) {
      toolkit.ShowMessage(id, MessageButtons::kOk);
      expected += std::string(MessageText(id)) + "\n";
    }
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), expected);
  // Spot checks of the exact texts, trailing blank and spelling included.
  EXPECT_THAT(err.str(), ::testing::HasSubstr("Key word of Void and Stop are the same \n"));
  EXPECT_THAT(err.str(), ::testing::HasSubstr("new printer command name in used\n"));
}

TEST_F(TerminalToolkitTest, OverwriteQuestionIsTwoLines) {
  TerminalToolkit toolkit = Toolkit(YesNoAnswers::kAlwaysNo);
  toolkit.ShowMessage(MessageId::kOverwriteQuestion, MessageButtons::kYesNo);
  EXPECT_EQ(err.str(),
            "the ini file you want to save is existed.\nDo you want to over write it?\n");
}

TEST_F(TerminalToolkitTest, RecordsMessagesEndingAndListLines) {
  TerminalToolkit toolkit = Toolkit(YesNoAnswers::kAlwaysNo);
  EXPECT_EQ(toolkit.ending(), TerminalToolkit::Ending::kOpen);
  toolkit.AddListLine("EpsonTM88");
  toolkit.AddListLine("");
  toolkit.ShowMessage(MessageId::kNoModuleFiles, MessageButtons::kOk);
  toolkit.EndWithCancel();
  EXPECT_EQ(toolkit.ending(), TerminalToolkit::Ending::kCancel);
  toolkit.EndWithOk();
  EXPECT_EQ(toolkit.ending(), TerminalToolkit::Ending::kOk);
  EXPECT_THAT(toolkit.listLines(), ElementsAre("EpsonTM88", ""));
  EXPECT_THAT(toolkit.messages(), ElementsAre(MessageId::kNoModuleFiles));
  // List lines are the dialog's; the terminal shows nothing for them.
  EXPECT_EQ(out.str(), "");
}

TEST_F(TerminalToolkitTest, OkBoxNeverReadsTheTerminal) {
  in.str("y\n");
  TerminalToolkit toolkit = Toolkit(YesNoAnswers::kAskOnTerminal);
  EXPECT_EQ(toolkit.ShowMessage(MessageId::kCopyFailed, MessageButtons::kOk),
            MessageAnswer::kOther);
  EXPECT_EQ(err.str(), "Copy file false!\n");
  EXPECT_EQ(in.tellg(), 0);
}

struct AnswerCase {
  const char* name;
  YesNoAnswers answers;
  const char* typed;
  MessageAnswer expected;
  const char* prompt;  // what follows the question on standard error
  // Rows print as their names, so the test names stay readable.
  friend void PrintTo(const AnswerCase& row, std::ostream* os) { *os << row.name; }
};

class YesNoTest : public TerminalToolkitTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(YesNoTest, AnswersTheOverwriteQuestion) {
  in.str(GetParam().typed);
  TerminalToolkit toolkit = Toolkit(GetParam().answers);
  EXPECT_EQ(toolkit.ShowMessage(MessageId::kOverwriteQuestion, MessageButtons::kYesNo),
            GetParam().expected);
  EXPECT_EQ(err.str(),
            std::string(MessageText(MessageId::kOverwriteQuestion)) + "\n" + GetParam().prompt);
  EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cli, YesNoTest,
    ::testing::Values(
        AnswerCase{"YesOptionWithoutAsking", YesNoAnswers::kAlwaysYes, "n\n", MessageAnswer::kYes,
                   ""},
        AnswerCase{"NoTerminalMeansNo", YesNoAnswers::kAlwaysNo, "y\n", MessageAnswer::kOther, ""},
        AnswerCase{"TypedY", YesNoAnswers::kAskOnTerminal, "y\n", MessageAnswer::kYes, "(y/N) "},
        AnswerCase{"TypedUpperYes", YesNoAnswers::kAskOnTerminal, "YES\n", MessageAnswer::kYes,
                   "(y/N) "},
        AnswerCase{"TypedYWithCarriageReturn", YesNoAnswers::kAskOnTerminal, "y\r\n",
                   MessageAnswer::kYes, "(y/N) "},
        AnswerCase{"TypedN", YesNoAnswers::kAskOnTerminal, "n\n", MessageAnswer::kOther, "(y/N) "},
        AnswerCase{"EmptyLineIsNo", YesNoAnswers::kAskOnTerminal, "\n", MessageAnswer::kOther,
                   "(y/N) "},
        AnswerCase{"MoreThanYesIsNo", YesNoAnswers::kAskOnTerminal, "yes please\n",
                   MessageAnswer::kOther, "(y/N) "},
        AnswerCase{"EndOfInputIsNo", YesNoAnswers::kAskOnTerminal, "", MessageAnswer::kOther,
                   "(y/N) \n"}),
    CaseName());

TEST(YesNoAnswersFor, YesOptionFirstThenTheTerminal) {
  EXPECT_EQ(YesNoAnswersFor(true, true), YesNoAnswers::kAlwaysYes);
  EXPECT_EQ(YesNoAnswersFor(true, false), YesNoAnswers::kAlwaysYes);
  EXPECT_EQ(YesNoAnswersFor(false, true), YesNoAnswers::kAskOnTerminal);
  EXPECT_EQ(YesNoAnswersFor(false, false), YesNoAnswers::kAlwaysNo);
}

}  // namespace
}  // namespace quillmere::cli
