// The toolkit of quillmere-cli: message boxes become lines on the terminal, with the texts of
// the string table exactly as the dialog shows them. "Success" goes to standard output, every
// other message to standard error, so a script can tell them apart. A Yes/No question is
// answered by --yes, asked on the terminal when there is one, and answered No otherwise.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/toolkit.h"

namespace quillmere::cli {

enum class YesNoAnswers {
  kAlwaysYes,      // --yes was given
  kAskOnTerminal,  // "(y/N)" on standard error, the answer read from standard input
  kAlwaysNo,       // no terminal to ask on
};

// kAlwaysYes with --yes; otherwise kAskOnTerminal when standard input is a terminal.
[[nodiscard]] YesNoAnswers YesNoAnswersFor(bool yesOption, bool inputIsTerminal);

// True when the process's standard input is a terminal.
[[nodiscard]] bool StandardInputIsTerminal();

class TerminalToolkit final : public Toolkit {
 public:
  enum class Ending { kOpen, kOk, kCancel };

  TerminalToolkit(std::ostream& out, std::ostream& err, std::istream& in, YesNoAnswers answers);

  MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) override;
  void EndWithOk() override { ending_ = Ending::kOk; }
  void EndWithCancel() override { ending_ = Ending::kCancel; }
  void AddListLine(std::string_view text) override { listLines_.emplace_back(text); }

  [[nodiscard]] Ending ending() const { return ending_; }
  [[nodiscard]] const std::vector<std::string>& listLines() const { return listLines_; }
  // Every message shown, in order.
  [[nodiscard]] const std::vector<MessageId>& messages() const { return messages_; }

 private:
  MessageAnswer Ask();

  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  YesNoAnswers answers_;
  Ending ending_ = Ending::kOpen;
  std::vector<std::string> listLines_;
  std::vector<MessageId> messages_;
};

}  // namespace quillmere::cli
