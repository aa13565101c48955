#include "ui/module_editor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "derive/derive_module.h"
#include "platform/toolkit.h"
#include "ui/application_icon.h"
#include "ui/editor_template.h"
#include "ui/template_builder.h"

namespace quillmere {
namespace {

// A title bar with the window menu and a close box, no minimise or maximise box, fixed size.
constexpr Qt::WindowFlags kDialogFrame =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

bool IsEnterKey(const QKeyEvent& event) {
  const bool enterKey = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  return enterKey && modifiers == Qt::NoModifier;
}

}  // namespace

ModuleEditorDialog::ModuleEditorDialog(const PlatformServices& services,
                                       MessageBoxRunner runMessageBox)
    : QDialog(nullptr, kDialogFrame),
      applicationIcon_(ApplicationIcon()),
      services_(services),
      toolkit_(*this, std::move(runMessageBox)) {
  BuildFromTemplate(*this, kEditorTemplate);
  goButton_ = qobject_cast<QPushButton*>(ControlById(*this, kGoButtonId));
  connect(goButton_, &QPushButton::clicked, this, [this] { Go(); });
  // `clicked` comes from the mouse and from Space alike, never from a change made in code.
  connect(qobject_cast<QCheckBox*>(ControlById(*this, kCutPaperOptionId)), &QCheckBox::clicked,
          this, [this] { ApplyCutPaperOption(); });
  connect(qobject_cast<QCheckBox*>(ControlById(*this, kFormFeedOptionId)), &QCheckBox::clicked,
          this, [this] { ApplyFormFeedOption(); });
}

ModuleEditorDialog::~ModuleEditorDialog() {
  ReleaseWindowHoldings();
}

int ModuleEditorDialog::exec() {
  if (windowGone_) {
    return result();
  }
  if (!initialised_) {
    Initialise();
  }
  if (!ended_) {
    QDialog::exec();
  }
  destroy();
  ReleaseWindowHoldings();
  return result();
}

void ModuleEditorDialog::accept() {
  TakeControlValues();
  QDialog::accept();
}

void ModuleEditorDialog::done(int result) {
  ended_ = true;
  QDialog::done(result);
}

void ModuleEditorDialog::keyPressEvent(QKeyEvent* event) {
  // Without a default button Qt's dialog does nothing on Enter; the platform's takes it as the
  // OK action, or as a press of the push button that has the focus.
  if (IsEnterKey(*event)) {
    if (goButton_ != nullptr && focusWidget() == goButton_) {
      goButton_->click();
    } else {
      accept();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void ModuleEditorDialog::ExchangeData(ExchangeDirection direction) {
  DataExchange exchange(*this, direction);
  exchange.Control(kBaseListId, baseList_);
  exchange.Check(kCutPaperOptionId, cutPaperOption_);
  exchange.Text(kNewModuleNameId, newModuleName_);
  exchange.Text(kStopKeywordId, stopKeyword_);
  exchange.Text(kVoidKeywordId, voidKeyword_);
  exchange.ListIndex(kBaseListId, baseSelection_);
  exchange.Check(kFormFeedOptionId, formFeedOption_);
}

void ModuleEditorDialog::Initialise() {
  initialised_ = true;
  ExchangeData(ExchangeDirection::kFieldsToControls);
  SetWindowIcons(*this, applicationIcon_);
  if (!ScanCatalogue(catalogue_, services_, toolkit_)) {
    return;
  }
  // The first control in tab order.
  if (baseList_ != nullptr) {
    baseList_->setFocus(Qt::OtherFocusReason);
  }
}

void ModuleEditorDialog::Go() {
  TakeControlValues();
  const DeriveInputs inputs{
      .baseSelection = baseSelection_,
      .cutPaperOption = cutPaperOption_ != 0,
      .formFeedOption = formFeedOption_ != 0,
      .voidKeyword = voidKeyword_,
      .stopKeyword = stopKeyword_,
      .newModuleName = newModuleName_,
  };
  DeriveResult result = DeriveModule(inputs, catalogue_, services_, toolkit_);
  if (!result.fileName.empty()) {
    fileName_ = std::move(result.fileName);
  }
  loaderSlot_ = std::move(result.loadedBase);
}

void ModuleEditorDialog::ApplyCutPaperOption() {
  TakeControlValues();
  ApplyStopOption(cutPaperOption_, kFormFeedOptionId);
}

void ModuleEditorDialog::ApplyFormFeedOption() {
  TakeControlValues();
  ApplyStopOption(formFeedOption_, kCutPaperOptionId);
}

// While one stop option is set, the register's end of a transaction is that signal: a stop
// keyword would contradict it, and so would the other option. Unsetting it gives both back,
// but not the keyword that was typed.
void ModuleEditorDialog::ApplyStopOption(std::int32_t option, int otherOptionId) {
  auto* stopKeyword = qobject_cast<QLineEdit*>(ControlById(*this, kStopKeywordId));
  auto* otherOption = qobject_cast<QCheckBox*>(ControlById(*this, otherOptionId));
  if (option == 1) {
    stopKeyword->setEnabled(false);
    stopKeyword->clear();
    otherOption->setEnabled(false);
    otherOption->setChecked(false);
  } else {
    stopKeyword->setEnabled(true);
    otherOption->setEnabled(true);
  }
}

void ModuleEditorDialog::ReleaseWindowHoldings() {
  if (windowGone_) {
    return;
  }
  windowGone_ = true;
  ReleaseCatalogue(catalogue_);
  loaderSlot_.reset();
}

}  // namespace quillmere
