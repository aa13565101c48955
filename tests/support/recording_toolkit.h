// A toolkit double: records every message box with its line of detail, list line and ending,
// and gives every Yes/No box the answer a test sets.
#pragma once

#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace quillmere::testing {

class RecordingToolkit final : public Toolkit {
 public:
  enum class Ending { kOpen, kOk, kCancel };

  MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) override {
    return ShowDetailedMessage(id, buttons, {});
  }
  MessageAnswer ShowDetailedMessage(MessageId id, MessageButtons buttons,
                                    std::string_view detail) override {
    messages.push_back(id);
    buttonsShown.push_back(buttons);
    details.emplace_back(detail);
    return buttons == MessageButtons::kYesNo ? yesNoAnswer : MessageAnswer::kOther;
  }
  void EndWithOk() override { ending = Ending::kOk; }
  void EndWithCancel() override { ending = Ending::kCancel; }
  void AddListLine(std::string_view text) override { listLines.emplace_back(text); }

  MessageAnswer yesNoAnswer = MessageAnswer::kOther;
  std::vector<MessageId> messages;
  std::vector<MessageButtons> buttonsShown;
  std::vector<std::string> details;  // each box's line of detail, empty when it had none
  std::vector<std::string> listLines;
  Ending ending = Ending::kOpen;
};

}  // namespace quillmere::testing
