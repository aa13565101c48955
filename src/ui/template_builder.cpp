#include "ui/template_builder.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>
#include <algorithm>
#include <vector>

#include "ui/local_text.h"

namespace quillmere {
namespace {

QWidget* MakeControl(const ControlTemplate& control, QDialog& dialog, DialogBaseUnits units) {
  const QString text = FromLocal8Bit(control.text);
  const QRect rect = PixelRect(control.rect, units);
  switch (control.kind) {
    case ControlKind::kGroupBox: {
      auto* groupBox = new QGroupBox(text, &dialog);
      groupBox->setGeometry(rect);
      return groupBox;
    }
    case ControlKind::kDropDownList: {
      auto* list = new QComboBox(&dialog);
      list->setEditable(false);
      // The template's height is that of the open list; the closed list is as high as the
      // platform makes one, and the dropped part gets the rest.
      const int closedHeight = ClosedDropDownHeight(units);
      list->setGeometry(rect.x(), rect.y(), rect.width(), closedHeight);
      const int droppedHeight = std::max(rect.height() - closedHeight, closedHeight);
      list->view()->parentWidget()->setMaximumHeight(droppedHeight);
      list->setMaxVisibleItems(std::max(1, droppedHeight / units.vertical));
      list->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      return list;
    }
    case ControlKind::kCheckBox: {
      auto* checkBox = new QCheckBox(text, &dialog);
      checkBox->setGeometry(rect);
      return checkBox;
    }
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(&dialog);
      edit->setFrame(true);
      edit->setGeometry(rect);
      return edit;
    }
    case ControlKind::kPushButton: {
      auto* button = new QPushButton(text, &dialog);
      // Enter must reach the dialog, where it is the OK action.
      button->setAutoDefault(false);
      button->setDefault(false);
      button->setGeometry(rect);
      return button;
    }
    case ControlKind::kLabel: {
      auto* label = new QLabel(&dialog);
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      // Static text on the platform is drawn from the top left and breaks lines at blanks.
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(true);
      label->setGeometry(rect);
      return label;
    }
  }
  return nullptr;
}

}  // namespace

DialogBaseUnits BuildFromTemplate(QDialog& dialog, const DialogTemplate& dialogTemplate) {
  QFont font(FromLocal8Bit(dialogTemplate.fontFamily), dialogTemplate.fontPointSize, QFont::Normal);
  dialog.setFont(font);
  const DialogBaseUnits units = BaseUnitsOf(dialog.font());
  dialog.setWindowTitle(FromLocal8Bit(dialogTemplate.caption));
  dialog.setFixedSize(HorizontalPixels(dialogTemplate.width, units),
                      VerticalPixels(dialogTemplate.height, units));

  std::vector<QWidget*> focusChain;
  std::vector<QWidget*> groupBoxes;
  int index = 0;
  for (const ControlTemplate& control : dialogTemplate.controls) {
    QWidget* widget = MakeControl(control, dialog, units);
    widget->setProperty(kControlIdProperty, control.id);
    widget->setProperty(kTemplateIndexProperty, ++index);
    if (control.id != kNoControlId) {
      widget->setObjectName(QStringLiteral("control%1").arg(control.id));
    }
    if (control.kind == ControlKind::kGroupBox) {
      groupBoxes.push_back(widget);
    } else if (widget->focusPolicy() != Qt::NoFocus) {
      focusChain.push_back(widget);
    }
  }
  // Group boxes come before the controls they frame in the template but must not cover them.
  for (QWidget* groupBox : groupBoxes) {
    groupBox->lower();
  }
  for (std::size_t i = 1; i < focusChain.size(); ++i) {
    QWidget::setTabOrder(focusChain[i - 1], focusChain[i]);
  }
  return units;
}

QWidget* ControlById(const QWidget& dialog, int id) {
  if (id == kNoControlId) {
    return nullptr;
  }
  const QList<QWidget*> children = dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    const QVariant childId = child->property(kControlIdProperty);
    if (childId.isValid() && childId.toInt() == id) {
      return child;
    }
  }
  return nullptr;
}

}  // namespace quillmere
