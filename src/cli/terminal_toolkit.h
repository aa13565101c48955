// The toolkit of quillmere-cli: message boxes become lines on the terminal, with the texts of
// the string table exactly as the dialog shows them and, below a text, its line of detail.
// "Success" goes to standard output, every other message to standard error, so a script can tell
// them apart. A Yes/No question is asked only on a terminal: --yes answers it unasked, and
// without a terminal the run stops with a line that says to pass --yes.
#pragma once

#include <iosfwd>
#include <string_view>

#include "platform/toolkit.h"

namespace quillmere::cli {

enum class YesNoAnswers {
  kAlwaysYes,      // --yes was given: nothing is printed, Yes is the answer
  kAskOnTerminal,  // "(y/N)" on standard error, the answer read from standard input
  kNotAsked,       // no terminal to ask on: the question, then why it was not asked; No
};

// kAlwaysYes with --yes; otherwise kAskOnTerminal when standard input is a terminal.
[[nodiscard]] YesNoAnswers YesNoAnswersFor(bool yesOption, bool inputIsTerminal);

// True when the process's standard input is a terminal.
[[nodiscard]] bool StandardInputIsTerminal();

inline constexpr std::string_view kPassYes =
    "Not asked without a terminal: pass --yes to answer Yes.";

// The terminal has no dialog to end and no base list to fill: the command that runs the core
// prints what it found itself, and its exit status says how the run ended.
class TerminalToolkit final : public Toolkit {
 public:
  TerminalToolkit(std::ostream& out, std::ostream& err, std::istream& in, YesNoAnswers answers);

  MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) override;
  MessageAnswer ShowDetailedMessage(MessageId id, MessageButtons buttons,
                                    std::string_view detail) override;
  void EndWithOk() override {}
  void EndWithCancel() override {}
  void AddListLine(std::string_view /*text*/) override {}

 private:
  MessageAnswer Ask();

  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  YesNoAnswers answers_;
};

}  // namespace quillmere::cli
