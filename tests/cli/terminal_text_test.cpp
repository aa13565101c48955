// What quillmere-cli writes on the terminal, as the rule tables of tests/data/cli-rules say: the
// unified diff a dry run prints, and the terminal toolkit's messages and questions.
#include <iterator>
#include <sstream>

#include "cli/terminal_toolkit.h"
#include "cli/unified_diff.h"
#include "support/golden.h"

namespace quillmere::testing {
namespace {

// "diff FROM TO": the diff of file a holding FROM and file b holding TO.
// "show MESSAGE DETAIL ANSWERS TYPED": message MESSAGE (11 a Yes/No question, the others an OK
// box) with its line of detail; ANSWERS "--yes", "terminal" or "pipe" (no terminal), TYPED on
// standard input.
std::string Answer(const Words& call) {
  if (call.at(0) == "diff") {
    return Quoted(cli::UnifiedDiff({"a", call.at(1)}, {"b", call.at(2)},
                                   [](std::string_view line) { return std::string(line); }));
  }
  const auto message = static_cast<MessageId>(std::stoi(call.at(1)));
  std::ostringstream out;
  std::ostringstream err;
  std::istringstream in(call.at(4));
  cli::TerminalToolkit toolkit(out, err, in,
                               cli::YesNoAnswersFor(call.at(3) == "--yes", call[3] != "pipe"));
  const bool question = message == MessageId::kOverwriteQuestion;
  const MessageAnswer answer = toolkit.ShowDetailedMessage(
      message, question ? MessageButtons::kYesNo : MessageButtons::kOk, call.at(2));
  return std::string(answer == MessageAnswer::kYes ? "Yes" : "other") + " out " +
         Quoted(out.str()) + " err " + Quoted(err.str()) + " unread " +
         Quoted(std::string(std::istreambuf_iterator<char>(in), {}));
}

QUILLMERE_RULE_TABLES(TerminalText, "cli-rules", Answer);

}  // namespace
}  // namespace quillmere::testing
