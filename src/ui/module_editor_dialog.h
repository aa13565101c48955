// ModuleEditorDialog: the tool's only window, built from dialog template 102. It leads the
// installer through six steps, keeps the two stop options and the stop keyword mutually
// exclusive, scans the catalogue while it initialises and runs DeriveModule with what the
// controls hold when "Go" is pressed. When its window goes, the catalogue is released, then the
// loaded base module with its module library.
//
// Minimised painting and the drag icon are left to the window manager, which draws minimised
// windows itself from the window icon.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "module/catalogue.h"
#include "module/printer_command_module.h"
#include "platform/services.h"
#include "ui/message_box.h"
#include "ui/qt_toolkit.h"
#include "ui/template_builder.h"

class QCheckBox;
class QKeyEvent;

namespace quillmere {

class ModuleEditorDialog final : public QDialog {
 public:
  // Made without a parent, so the dialog has a task-bar entry of its own. `services` must
  // outlive the dialog; every message box goes through `runMessageBox`.
  explicit ModuleEditorDialog(const PlatformServices& services,
                              MessageBoxRunner runMessageBox = RunMessageBox);

  // The one modal run. The dialog initialises while its window is not yet shown (icons, the
  // catalogue scan, the focus on the base list); a failed scan has ended the run with Rejected
  // before the window is ever shown. Then the window goes, and with it the catalogue and, after
  // it, the loader. The OK action is accept(): Enter anywhere but on "Go", or "Success". The
  // cancel action is reject(), which reads no control: Escape, the close box, the window menu's
  // Close, or a failed scan.
  int exec() override;

  // Where the scan looks for the module folder; without this, only beside the executable.
  void UseModuleFolderPlaces(ModuleFolderPlaces places) { places_ = std::move(places); }

  [[nodiscard]] const EditorControls& Controls() const { return controls_; }
  [[nodiscard]] const Catalogue& BaseCatalogue() const { return catalogue_; }
  // The name the last derivation that passed its checks gave the new module file.
  [[nodiscard]] const std::string& FileName() const { return fileName_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Go();
  void ApplyCutPaperOption();
  void ApplyFormFeedOption();
  void ApplyStopOption(const QCheckBox& option, QCheckBox& otherOption);

  PlatformServices services_;
  EditorControls controls_;
  QtToolkit toolkit_;
  std::string fileName_;
  std::optional<ModuleFolderPlaces> places_;
  Catalogue catalogue_;  // with the executable folder and the folder path
  std::unique_ptr<PrinterCommandModule> loaderSlot_;
};

}  // namespace quillmere
