#include "ui/qt_toolkit.h"

#include <QComboBox>
#include <QDialog>
#include <QStringList>
#include <utility>

#include "ui/local_text.h"

namespace quillmere {

QtToolkit::QtToolkit(QDialog& dialog, QComboBox& baseList, MessageBoxRunner runMessageBox)
    : dialog_(dialog), baseList_(baseList), runMessageBox_(std::move(runMessageBox)) {}

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
  AddListLines(std::span(&text, 1));
}

void QtToolkit::AddListLines(std::span<const std::string_view> lines) {
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string_view line : lines) {
    texts.append(FromLocal8Bit(line));
  }
  // A Qt list selects its first line by itself; the platform's stays without a selection.
  const int selected = baseList_.currentIndex();
  baseList_.addItems(texts);
  baseList_.setCurrentIndex(selected);
}

}  // namespace quillmere
