// ModuleEditorDialog: the tool's only window, built from dialog template 102. It leads the
// installer through six steps, holds the inputs of a derivation as data fields, keeps the two
// stop options and the stop keyword mutually exclusive, scans the catalogue while it
// initialises and runs DeriveModule when "Go" is pressed. When its window goes, the catalogue
// is released, then the loaded base module with its module library.
//
// Minimised painting and the drag icon are left to the window manager, which draws minimised
// windows itself from the window icon.
#pragma once

#include <QDialog>
#include <QIcon>
#include <cstdint>
#include <memory>
#include <string>

#include "module/catalogue.h"
#include "module/printer_command_module.h"
#include "platform/services.h"
#include "ui/data_exchange.h"
#include "ui/message_box.h"
#include "ui/qt_toolkit.h"

class QComboBox;
class QKeyEvent;
class QPushButton;

namespace quillmere {

class ModuleEditorDialog final : public QDialog {
 public:
  // Made without a parent, so the dialog has a task-bar entry of its own. `services` must
  // outlive the dialog; every message box goes through `runMessageBox`.
  explicit ModuleEditorDialog(const PlatformServices& services,
                              MessageBoxRunner runMessageBox = RunMessageBox);
  ~ModuleEditorDialog() override;
  ModuleEditorDialog(const ModuleEditorDialog&) = delete;
  ModuleEditorDialog& operator=(const ModuleEditorDialog&) = delete;

  // The one modal run. The dialog initialises while its window is not yet shown (fields to
  // controls, icons, the catalogue scan); a failed scan ends the run with Rejected before the
  // window is ever shown. When the run ends the window goes away, and with it the catalogue and
  // the loader.
  int exec() override;

  // The OK action: the control values are taken into the data fields, then the run ends with
  // Accepted. Enter anywhere but on "Go" comes here. The cancel action is QDialog::reject,
  // which reads no control: Escape, the close box and the window menu's Close.
  void accept() override;
  void done(int result) override;

  // What the window holds until it goes away.
  [[nodiscard]] const Catalogue& BaseCatalogue() const { return catalogue_; }
  [[nodiscard]] bool HoldsLoader() const { return loaderSlot_ != nullptr; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ExchangeData(ExchangeDirection direction);
  void TakeControlValues() { ExchangeData(ExchangeDirection::kControlsToFields); }
  void Initialise();
  void Go();
  void ApplyCutPaperOption();
  void ApplyFormFeedOption();
  void ApplyStopOption(std::int32_t option, int otherOptionId);
  void ReleaseWindowHoldings();

  // The data fields, in the order the original dialog declared them.
  QComboBox* baseList_ = nullptr;  // attached at the first data exchange
  std::int32_t cutPaperOption_ = 0;
  std::string newModuleName_;
  std::string fileName_;  // bound to no control; the derivation names the new file from it
  std::string stopKeyword_;
  std::string voidKeyword_;
  std::int32_t baseSelection_ = -1;
  std::int32_t formFeedOption_ = 0;
  QIcon applicationIcon_;
  Catalogue catalogue_;  // with the executable folder and the folder path
  std::unique_ptr<PrinterCommandModule> loaderSlot_;

  PlatformServices services_;
  QtToolkit toolkit_;
  QPushButton* goButton_ = nullptr;
  bool initialised_ = false;
  bool ended_ = false;
  bool windowGone_ = false;
};

}  // namespace quillmere
