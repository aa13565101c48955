#include "ui/qt_toolkit.h"

#include <QComboBox>
#include <QDialog>
#include <QStyle>
#include <utility>

#include "ui/local_text.h"

namespace quillmere {

QtToolkit::QtToolkit(QDialog& dialog, QComboBox& baseList, MessageBoxRunner runMessageBox)
    : dialog_(dialog), baseList_(baseList), runMessageBox_(std::move(runMessageBox)) {}

MessageAnswer QtToolkit::ShowMessage(MessageId id, MessageButtons buttons) {
  return ShowDetailedMessage(id, buttons, {});
}

MessageAnswer QtToolkit::ShowDetailedMessage(MessageId id, MessageButtons buttons,
                                             std::string_view detail) {
  return runMessageBox_(dialog_.isVisible() ? &dialog_ : nullptr, id, buttons, detail);
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
  // A Qt list selects its first line by itself; the platform's stays without a selection.
  const int selected = baseList_.currentIndex();
  // A Qt list would widen its dropped part for a long line; the line is cut to the list's width
  // instead, the whole name kept as its tool tip.
  const QFontMetrics metrics = baseList_.fontMetrics();
  const int room = baseList_.width() -
                   baseList_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &baseList_) -
                   2 * metrics.averageCharWidth();
  for (const std::string_view text : lines) {
    const QString line = FromModuleText(text);
    baseList_.addItem(metrics.elidedText(line, Qt::ElideRight, room));
    baseList_.setItemData(baseList_.count() - 1, line, Qt::ToolTipRole);
  }
  baseList_.setCurrentIndex(selected);
}

}  // namespace quillmere
