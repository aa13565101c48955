#include "ui/win32/module_editor_dialog.h"

#include <utility>

#include "derive/derive_module.h"
#include "ui/editor_template.h"
#include "ui/win32/resource_ids.h"

namespace quillmere::win32 {
namespace {

// The application icon at one of the system's standard sizes; shared, so Windows frees it.
HICON LoadApplicationIcon(int widthMetric, int heightMetric) {
  return static_cast<HICON>(LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(QUILLMERE_APPLICATION_ICON), IMAGE_ICON,
      GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

ModuleEditorDialog::ModuleEditorDialog(const PlatformServices& services)
    : largeIcon_(LoadApplicationIcon(SM_CXICON, SM_CYICON)),
      smallIcon_(LoadApplicationIcon(SM_CXSMICON, SM_CYSMICON)),
      services_(services) {}

INT_PTR ModuleEditorDialog::RunModal(HINSTANCE instance) {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(QUILLMERE_EDITOR_DIALOG), nullptr, Procedure,
                         reinterpret_cast<LPARAM>(this));
}

// The dialog object travels as the integer DialogBoxParam hands to WM_INITDIALOG and stays with
// the window as its user data.
INT_PTR CALLBACK ModuleEditorDialog::Procedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<ModuleEditorDialog*>(lParam)->window_ = window;  // NOLINT(*-no-int-to-ptr)
  }
  auto* dialog = reinterpret_cast<ModuleEditorDialog*>(  // NOLINT(*-no-int-to-ptr)
      GetWindowLongPtrA(window, DWLP_USER));
  return dialog == nullptr ? FALSE : dialog->Handle(message, wParam);
}

INT_PTR ModuleEditorDialog::Handle(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise();
      // The focus goes to the first control in tab order, the base list.
      return TRUE;
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(largeIcon_);
    case WM_DESTROY:
      ReleaseWindowHoldings();
      return FALSE;
    default:
      return FALSE;
  }
}

void ModuleEditorDialog::Initialise() {
  toolkit_.emplace(window_, [this] { OkAction(); });
  ExchangeData(ExchangeDirection::kFieldsToControls);
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  CentreOnScreen();
  ScanCatalogue(catalogue_, services_, *toolkit_);
}

void ModuleEditorDialog::Command(int id, int notification) {
  switch (id) {
    case IDOK:
      OkAction();
      return;
    case IDCANCEL:
      EndDialog(window_, IDCANCEL);
      return;
    default:
      break;
  }
  // A check box toggled from the keyboard sends the same notification as a click.
  if (notification != BN_CLICKED) {
    return;
  }
  if (id == kGoButtonId) {
    Go();
  } else if (id == kCutPaperOptionId) {
    ApplyCutPaperOption();
  } else if (id == kFormFeedOptionId) {
    ApplyFormFeedOption();
  }
}

void ModuleEditorDialog::ExchangeData(ExchangeDirection direction) {
  const DialogDataExchange exchange(window_, direction);
  exchange.Control(kBaseListId, baseList_);
  exchange.Check(kCutPaperOptionId, cutPaperOption_);
  exchange.Text(kNewModuleNameId, newModuleName_);
  exchange.Text(kStopKeywordId, stopKeyword_);
  exchange.Text(kVoidKeywordId, voidKeyword_);
  exchange.ListIndex(kBaseListId, baseSelection_);
  exchange.Check(kFormFeedOptionId, formFeedOption_);
}

void ModuleEditorDialog::OkAction() {
  TakeControlValues();
  EndDialog(window_, IDOK);
}

// The template names no position and no centring style, yet the dialog opens in the middle of
// the screen's work area, as the original did.
void ModuleEditorDialog::CentreOnScreen() const {
  RECT frame{};
  RECT workArea{};
  if (GetWindowRect(window_, &frame) == FALSE ||
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0) == FALSE) {
    return;
  }
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, workArea.left + (workArea.right - workArea.left - width) / 2,
               workArea.top + (workArea.bottom - workArea.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
  DeriveResult result = DeriveModule(inputs, catalogue_, services_, *toolkit_);
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
void ModuleEditorDialog::ApplyStopOption(std::int32_t option, int otherOptionId) const {
  const HWND stopKeyword = GetDlgItem(window_, kStopKeywordId);
  const HWND otherOption = GetDlgItem(window_, otherOptionId);
  if (option == 1) {
    EnableWindow(stopKeyword, FALSE);
    SetWindowTextA(stopKeyword, "");
    EnableWindow(otherOption, FALSE);
    CheckDlgButton(window_, otherOptionId, BST_UNCHECKED);
  } else {
    EnableWindow(stopKeyword, TRUE);
    EnableWindow(otherOption, TRUE);
  }
}

void ModuleEditorDialog::ReleaseWindowHoldings() {
  ReleaseCatalogue(catalogue_);
  loaderSlot_.reset();
}

}  // namespace quillmere::win32
