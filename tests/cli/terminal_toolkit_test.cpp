// The terminal toolkit: where each message goes, in the string table's words, and how the
// overwrite question is answered.
#include "cli/terminal_toolkit.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace quillmere::cli {
namespace {

// "Success" goes to standard output, every other message to standard error. An OK box is only
// shown, never answered from the terminal. A Yes/No box is Yes with --yes, even on a terminal;
// No unasked without a terminal; on a terminal only "y" or "yes" (any case, CR LF too) is Yes,
// and the end of input is No.
TEST(TerminalToolkit, ShowsMessagesAndAnswersTheOverwriteQuestion) {
  const struct {
    MessageId message;
    bool yesOption;
    bool terminal;
    std::string typed;
    MessageAnswer answer;
    std::string out;
    std::string err;  // after the question's own line
  } rows[] = {
      {MessageId::kSuccess, false, true, "y\n", MessageAnswer::kOther, "Success\n", ""},
      {MessageId::kCopyFailed, false, true, "y\n", MessageAnswer::kOther, "", "Copy file false!\n"},
      {MessageId::kOverwriteQuestion, true, true, "n\n", MessageAnswer::kYes, "", ""},
      {MessageId::kOverwriteQuestion, false, false, "y\n", MessageAnswer::kOther, "", ""},
      {MessageId::kOverwriteQuestion, false, true, "y\n", MessageAnswer::kYes, "", "(y/N) "},
      {MessageId::kOverwriteQuestion, false, true, "YES\n", MessageAnswer::kYes, "", "(y/N) "},
      {MessageId::kOverwriteQuestion, false, true, "y\r\n", MessageAnswer::kYes, "", "(y/N) "},
      {MessageId::kOverwriteQuestion, false, true, "\n", MessageAnswer::kOther, "", "(y/N) "},
      {MessageId::kOverwriteQuestion, false, true, "yes please\n", MessageAnswer::kOther, "",
       "(y/N) "},
      {MessageId::kOverwriteQuestion, false, true, "", MessageAnswer::kOther, "", "(y/N) \n"},
  };
  for (const auto& row : rows) {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(row.typed);
    TerminalToolkit toolkit(out, err, in, YesNoAnswersFor(row.yesOption, row.terminal));
    const bool isQuestion = row.message == MessageId::kOverwriteQuestion;
    const std::string name = std::string(MessageText(row.message)) + " '" + row.typed + "'";
    EXPECT_EQ(
        toolkit.ShowMessage(row.message, isQuestion ? MessageButtons::kYesNo : MessageButtons::kOk),
        row.answer)
        << name;
    EXPECT_EQ(out.str(), row.out) << name;
    EXPECT_EQ(err.str(), (isQuestion ? std::string(MessageText(row.message)) + "\n" : "") + row.err)
        << name;
    if (!isQuestion) {
      EXPECT_EQ(in.tellg(), 0) << name;
    }
  }
}

}  // namespace
}  // namespace quillmere::cli
