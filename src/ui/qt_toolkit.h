// The Toolkit the logic calls, on a Qt dialog: message boxes owned by the dialog (standing by
// themselves while it is not yet shown), the OK and cancel actions as the dialog's accept and
// reject, and lines appended to the base list.
#pragma once

#include <string_view>

#include "platform/toolkit.h"
#include "ui/message_box.h"

class QDialog;
class QIcon;
class QWidget;

namespace quillmere {

class QtToolkit final : public Toolkit {
 public:
  // `dialog` must outlive the toolkit; its accept() and reject() are the OK and cancel actions.
  QtToolkit(QDialog& dialog, MessageBoxRunner runMessageBox);

  MessageAnswer ShowMessage(MessageId id, MessageButtons buttons) override;
  void EndWithOk() override;
  void EndWithCancel() override;
  void AddListLine(std::string_view text) override;

 private:
  QDialog& dialog_;
  MessageBoxRunner runMessageBox_;
};

// The window's large and small icon (title bar, task bar, task switcher).
void SetWindowIcons(QWidget& window, const QIcon& icon);

}  // namespace quillmere
