#include "cli/terminal_toolkit.h"

#include <istream>
#include <ostream>

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

#include "platform/text.h"

namespace quillmere::cli {

YesNoAnswers YesNoAnswersFor(bool yesOption, bool inputIsTerminal) {
  if (yesOption) {
    return YesNoAnswers::kAlwaysYes;
  }
  return inputIsTerminal ? YesNoAnswers::kAskOnTerminal : YesNoAnswers::kNotAsked;
}

bool StandardInputIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) != 0;
#else
  return ::isatty(STDIN_FILENO) != 0;
#endif
}

TerminalToolkit::TerminalToolkit(std::ostream& out, std::ostream& err, std::istream& in,
                                 YesNoAnswers answers)
    : out_(out), err_(err), in_(in), answers_(answers) {}

MessageAnswer TerminalToolkit::ShowMessage(MessageId id, MessageButtons buttons) {
  return ShowDetailedMessage(id, buttons, {});
}

MessageAnswer TerminalToolkit::ShowDetailedMessage(MessageId id, MessageButtons buttons,
                                                   std::string_view detail) {
  if (buttons == MessageButtons::kYesNo && answers_ == YesNoAnswers::kAlwaysYes) {
    return MessageAnswer::kYes;
  }
  std::ostream& stream = id == MessageId::kSuccess ? out_ : err_;
  stream << MessageText(id) << "\n";
  if (!detail.empty()) {
    stream << detail << "\n";
  }
  stream.flush();
  if (buttons == MessageButtons::kOk) {
    return MessageAnswer::kOther;
  }
  if (answers_ == YesNoAnswers::kAskOnTerminal) {
    return Ask();
  }
  err_ << kPassYes << "\n";
  return MessageAnswer::kOther;
}

// Only a plain yes counts: anything else, an empty line or the end of input, keeps the file.
MessageAnswer TerminalToolkit::Ask() {
  err_ << "(y/N) ";
  err_.flush();
  std::string line;
  if (!std::getline(in_, line)) {
    err_ << "\n";
    return MessageAnswer::kOther;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return text::EqualsIgnoreCase(line, "y") || text::EqualsIgnoreCase(line, "yes")
             ? MessageAnswer::kYes
             : MessageAnswer::kOther;
}

}  // namespace quillmere::cli
