// A toolkit double: records every message box and list line, and answers Yes/No boxes from a
// script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace quillmere::testing {

class RecordingToolkit final : public Toolkit {
 public:
  enum class Ending { kOpen, kOk, kCancel };

  MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) override {
    messages.push_back(id);
    buttonsShown.push_back(buttons);
    if (buttons == MessageButtons::kOk) {
      return MessageAnswer::kOther;
    }
    if (answers.empty()) {
      return MessageAnswer::kOther;
    }
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void EndWithOk() override { ending = Ending::kOk; }
  void EndWithCancel() override { ending = Ending::kCancel; }
  void AddListLine(std::string_view text) override { listLines.emplace_back(text); }

  // What the next Yes/No boxes answer, in order; a box beyond the script answers other than Yes.
  std::deque<MessageAnswer> answers;

  std::vector<MessageId> messages;
  std::vector<MessageButtons> buttonsShown;
  std::vector<std::string> listLines;
  Ending ending = Ending::kOpen;
};

}  // namespace quillmere::testing
