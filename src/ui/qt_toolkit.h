// The Toolkit the logic calls, on the Qt editor dialog: message boxes owned by the dialog
// (standing by themselves while it is not yet shown), the OK and cancel actions as the dialog's
// accept and reject, and lines appended to the base list, cut to its width with an ellipsis.
#pragma once

#include <span>
#include <string_view>

#include "platform/toolkit.h"
#include "ui/message_box.h"

class QComboBox;
class QDialog;

namespace quillmere {

class QtToolkit final : public Toolkit {
 public:
  // `dialog` and its `baseList` must outlive the toolkit.
  QtToolkit(QDialog& dialog, QComboBox& baseList, MessageBoxRunner runMessageBox);

  MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) override;
  MessageAnswer ShowDetailedMessage(MessageId id, MessageButtons buttons,
                                    std::string_view detail) override;
  void EndWithOk() override;
  void EndWithCancel() override;
  void AddListLine(std::string_view text) override;
  // All lines in one insertion: the list's model then signals once, not once a line.
  void AddListLines(std::span<const std::string_view> lines) override;

 private:
  QDialog& dialog_;
  QComboBox& baseList_;
  MessageBoxRunner runMessageBox_;
};

}  // namespace quillmere
