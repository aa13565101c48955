// Makes a dialog program measurable without a user: the first time a dialog window is shown, one
// line goes to standard output (the moment the figure's clock stops) and the dialog is closed
// through its cancel action, so the program ends as it would when the user pressed Escape.
#pragma once

#include <unistd.h>

#include <QDialog>
#include <QEvent>
#include <QMetaObject>
#include <QObject>

namespace quillmere::bench {

class CloseDialogWhenShown final : public QObject {
 public:
  explicit CloseDialogWhenShown(QObject& application) { application.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (event->type() == QEvent::Show && dialog != nullptr && dialog->isWindow() && !shown_) {
      shown_ = true;
      constexpr char kLine[] = "shown\n";
      (void)::write(1, kLine, sizeof(kLine) - 1);
      QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  bool shown_ = false;
};

}  // namespace quillmere::bench
