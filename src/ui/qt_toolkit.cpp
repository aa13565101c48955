#include "ui/qt_toolkit.h"

#include <QComboBox>
#include <QDialog>
#include <QStandardItemModel>
#include <QStyle>
#include <algorithm>
#include <utility>

#include "ui/local_text.h"

namespace quillmere {
namespace {

bool IsLatin1(const QString& line) {
  return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x100; });
}

}  // namespace

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
  // instead, the whole name then shown as its tool tip. A line of Latin-1 characters, which the
  // font itself draws, too few to fill the room even at its widest, is not measured: shaping every
  // name of a folder of two thousand modules costs more than the rest of the dialog's start.
  const QFontMetrics metrics = baseList_.fontMetrics();
  const int room = baseList_.width() -
                   baseList_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &baseList_) -
                   2 * metrics.averageCharWidth();
  const qsizetype surelyFits = room / std::max(1, metrics.maxWidth());
  QList<QStandardItem*> items;
  items.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string_view text : lines) {
    const QString line = FromModuleText(text);
    const bool fits = line.size() <= surelyFits && IsLatin1(line);
    const QString shown = fits ? line : metrics.elidedText(line, Qt::ElideRight, room);
    auto* item = new QStandardItem(shown);
    if (shown != line) {
      item->setToolTip(line);
    }
    items.append(item);
  }
  // All lines in one insertion into the list's own model (a combo box's is a QStandardItemModel,
  // and the dialog gives it no other): it tells its views once, not once per line.
  static_cast<QStandardItemModel*>(baseList_.model())->invisibleRootItem()->appendRows(items);
  baseList_.setCurrentIndex(selected);
}

}  // namespace quillmere
