#include "ui/qt_toolkit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
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

void QtToolkit::EnableControl(int id, bool enabled) {
  if (QWidget* control = ControlById(dialog_, id)) {
    control->setEnabled(enabled);
  }
}

void QtToolkit::SetControlText(int id, std::string_view text) {
  QWidget* control = ControlById(dialog_, id);
  const QString qtText = FromLocal8Bit(text);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(qtText);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(qtText);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(qtText);
  } else if (auto* groupBox = qobject_cast<QGroupBox*>(control)) {
    groupBox->setTitle(qtText);
  }
}

void QtToolkit::UncheckControl(int id) {
  if (auto* button = qobject_cast<QAbstractButton*>(ControlById(dialog_, id))) {
    button->setChecked(false);
  }
}

void SetWindowIcons(QWidget& window, const QIcon& icon) {
  window.setWindowIcon(icon);
}

}  // namespace quillmere
