#include "ui/qt_toolkit.h"

#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <utility>

#include "ui/local_text.h"
#include "ui/template_builder.h"

namespace quillmere {

QtToolkit::QtToolkit(QDialog& dialog, MessageBoxRunner runMessageBox)
    : dialog_(dialog), runMessageBox_(std::move(runMessageBox)) {}

MessageAnswer QtToolkit::ShowMessage(MessageId id, MessageButtons buttons) {
  return runMessageBox_(dialog_.isVisible() ? &dialog_ : nullptr, id, buttons);
}

void QtToolkit::EndWithOk() {
  dialog_.accept();
}

void QtToolkit::EndWithCancel() {
  dialog_.reject();
}

void QtToolkit::AddListLine(std::string_view text) {
  auto* list = qobject_cast<QComboBox*>(ControlById(dialog_, kBaseListId));
  if (list == nullptr) {
    return;
  }
  // A Qt list selects its first line by itself; the platform's stays without a selection.
  const int selected = list->currentIndex();
  list->addItem(FromLocal8Bit(text));
  list->setCurrentIndex(selected);
}

void SetWindowIcons(QWidget& window, const QIcon& icon) {
  window.setWindowIcon(icon);
}

}  // namespace quillmere
