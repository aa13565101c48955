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
#include <cstddef>
#include <vector>

#include "ui/dialog_units.h"
#include "ui/local_text.h"

namespace quillmere {
namespace {

QWidget* MakeControl(const ControlTemplate& control, QDialog& dialog, DialogBaseUnits units) {
  const QString text = FromUtf8(control.text);
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
      // platform makes one, and the dropped part shows as many lines as the rest holds. The
      // dropped list keeps the template's width, whatever the names' length.
      const int closedHeight = ClosedDropDownHeight(units);
      list->setGeometry(rect.x(), rect.y(), rect.width(), closedHeight);
      list->setMaxVisibleItems(DroppedListLines(control.rect, units));
      list->view()->parentWidget()->setMaximumWidth(rect.width());
      list->view()->setTextElideMode(Qt::ElideRight);
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

// The addressed controls of the template, by their ID, each with the kind the template gives it.
void Attach(EditorControls& controls, int id, QWidget* widget) {
  switch (id) {
    case kBaseListId:
      controls.baseList = qobject_cast<QComboBox*>(widget);
      return;
    case kCutPaperOptionId:
      controls.cutPaperOption = qobject_cast<QCheckBox*>(widget);
      return;
    case kFormFeedOptionId:
      controls.formFeedOption = qobject_cast<QCheckBox*>(widget);
      return;
    case kVoidKeywordId:
      controls.voidKeyword = qobject_cast<QLineEdit*>(widget);
      return;
    case kStopKeywordId:
      controls.stopKeyword = qobject_cast<QLineEdit*>(widget);
      return;
    case kNewModuleNameId:
      controls.newModuleName = qobject_cast<QLineEdit*>(widget);
      return;
    case kGoButtonId:
      controls.goButton = qobject_cast<QPushButton*>(widget);
      return;
    default:
      return;
  }
}

}  // namespace

EditorControls BuildEditorWindow(QDialog& dialog) {
  const DialogTemplate& dialogTemplate = kEditorTemplate;
  QFont font(FromUtf8(dialogTemplate.fontFamily), dialogTemplate.fontPointSize, QFont::Normal);
  dialog.setFont(font);
  const DialogBaseUnits units = BaseUnitsOf(dialog.font());
  dialog.setWindowTitle(FromUtf8(dialogTemplate.caption));
  dialog.setFixedSize(HorizontalPixels(dialogTemplate.width, units),
                      VerticalPixels(dialogTemplate.height, units));

  EditorControls controls;
  std::vector<QWidget*> focusChain;
  std::vector<QWidget*> groupBoxes;
  for (std::size_t place = 0; place < dialogTemplate.controls.size(); ++place) {
    const ControlTemplate& control = dialogTemplate.controls[place];
    QWidget* widget = MakeControl(control, dialog, units);
    controls.inTemplateOrder[place] = widget;
    Attach(controls, control.id, widget);
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
  return controls;
}

}  // namespace quillmere
