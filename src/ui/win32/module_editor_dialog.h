// ModuleEditorDialog on Windows: the tool's only window, dialog template 102 from the resources,
// run by the Windows dialog manager. It holds the inputs of a derivation as data fields, keeps
// the two stop options and the stop keyword mutually exclusive, scans the catalogue while it
// initialises and runs DeriveModule when "Go" is pressed. When its window goes, the catalogue is
// released, then the loaded base module with its module library.
//
// The dialog manager gives the keys their meaning: Enter is the OK action, or a press of "Go"
// when "Go" has the focus; Escape, the close box and the system menu's Close are the cancel
// action. Windows draws minimised windows itself, from the window's icon.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "module/catalogue.h"
#include "module/printer_command_module.h"
#include "platform/services.h"
#include "platform/windows_api.h"
#include "ui/win32/dialog_data_exchange.h"
#include "ui/win32/win32_toolkit.h"

namespace quillmere::win32 {

class ModuleEditorDialog {
 public:
  // `services` must outlive the dialog. The application icon is loaded here.
  explicit ModuleEditorDialog(const PlatformServices& services);
  ModuleEditorDialog(const ModuleEditorDialog&) = delete;
  ModuleEditorDialog& operator=(const ModuleEditorDialog&) = delete;
  ~ModuleEditorDialog() = default;

  // The one modal run, without a parent window: IDOK, IDCANCEL, or -1 when the dialog could not
  // be made. A failed catalogue scan ends it before the window is ever shown.
  INT_PTR RunModal(HINSTANCE instance);

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam);
  void Initialise();
  void Command(int id, int notification);
  void ExchangeData(ExchangeDirection direction);
  void TakeControlValues() { ExchangeData(ExchangeDirection::kControlsToFields); }
  void OkAction();
  void CentreOnScreen() const;
  void Go();
  void ApplyCutPaperOption();
  void ApplyFormFeedOption();
  void ApplyStopOption(std::int32_t option, int otherOptionId) const;
  void ReleaseWindowHoldings();

  // The data fields, in the order the original dialog declared them.
  HWND baseList_ = nullptr;  // attached at the first data exchange
  std::int32_t cutPaperOption_ = 0;
  std::string newModuleName_;
  std::string fileName_;  // bound to no control; the derivation names the new file from it
  std::string stopKeyword_;
  std::string voidKeyword_;
  std::int32_t baseSelection_ = -1;
  std::int32_t formFeedOption_ = 0;
  HICON largeIcon_;
  HICON smallIcon_;
  Catalogue catalogue_;  // with the executable folder and the folder path
  std::unique_ptr<PrinterCommandModule> loaderSlot_;

  PlatformServices services_;
  HWND window_ = nullptr;
  std::optional<Win32Toolkit> toolkit_;  // made with the window
};

}  // namespace quillmere::win32
