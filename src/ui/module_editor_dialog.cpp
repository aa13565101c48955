#include "ui/module_editor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "derive/derive_module.h"
#include "derive/typed_texts.h"
#include "ui/application_icon.h"

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
      services_(services),
      controls_(BuildEditorWindow(*this)),
      toolkit_(*this, *controls_.baseList, std::move(runMessageBox)) {
  connect(controls_.goButton, &QPushButton::clicked, this, &ModuleEditorDialog::Go);
  // `clicked` comes from the mouse and from Space alike, never from a change made in code.
  connect(controls_.cutPaperOption, &QCheckBox::clicked, this,
          &ModuleEditorDialog::ApplyCutPaperOption);
  connect(controls_.formFeedOption, &QCheckBox::clicked, this,
          &ModuleEditorDialog::ApplyFormFeedOption);
}

int ModuleEditorDialog::exec() {
  setWindowIcon(ApplicationIcon());
  const bool scanned = places_ ? ScanCatalogueIn(catalogue_, *places_, services_, toolkit_)
                               : ScanCatalogue(catalogue_, services_, toolkit_);
  if (scanned) {
    controls_.baseList->setFocus(Qt::OtherFocusReason);  // the first control in tab order
    QDialog::exec();
  }
  destroy();
  ReleaseCatalogue(catalogue_);
  loaderSlot_.reset();
  return result();
}

void ModuleEditorDialog::keyPressEvent(QKeyEvent* event) {
  // Without a default button Qt's dialog does nothing on Enter; the platform's takes it as the
  // OK action, or as a press of the push button that has the focus.
  if (IsEnterKey(*event)) {
    if (focusWidget() == controls_.goButton) {
      controls_.goButton->click();
    } else {
      accept();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void ModuleEditorDialog::Go() {
  DeriveInputs inputs;
  inputs.baseSelection = controls_.baseList->currentIndex();
  inputs.cutPaperOption = controls_.cutPaperOption->isChecked();
  inputs.formFeedOption = controls_.formFeedOption->isChecked();
  const QByteArray name = controls_.newModuleName->text().toUtf8();
  const QByteArray voidKeyword = controls_.voidKeyword->text().toUtf8();
  const QByteArray stopKeyword = controls_.stopKeyword->text().toUtf8();
  const auto view = [](const QByteArray& utf8) {
    return std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  };
  if (const std::optional<InputRefusal> refusal =
          TakeTypedTexts({view(name), view(voidKeyword), view(stopKeyword)}, inputs)) {
    toolkit_.ShowDetailedMessage(refusal->message, MessageButtons::kOk, refusal->detail);
    return;
  }
  DeriveResult result = DeriveModule(inputs, catalogue_, services_, toolkit_);
  if (!result.fileName.empty()) {
    fileName_ = std::move(result.fileName);
  }
  loaderSlot_ = std::move(result.loadedBase);
}

void ModuleEditorDialog::ApplyCutPaperOption() {
  ApplyStopOption(*controls_.cutPaperOption, *controls_.formFeedOption);
}

void ModuleEditorDialog::ApplyFormFeedOption() {
  ApplyStopOption(*controls_.formFeedOption, *controls_.cutPaperOption);
}

// While one stop option is set, the register's end of a transaction is that signal: a stop
// keyword would contradict it, and so would the other option. Unsetting it gives both back,
// but not the keyword that was typed.
void ModuleEditorDialog::ApplyStopOption(const QCheckBox& option, QCheckBox& otherOption) {
  if (option.isChecked()) {
    controls_.stopKeyword->setEnabled(false);
    controls_.stopKeyword->clear();
    otherOption.setEnabled(false);
    otherOption.setChecked(false);
  } else {
    controls_.stopKeyword->setEnabled(true);
    otherOption.setEnabled(true);
  }
}

}  // namespace quillmere
