#include "ui/win32/win32_toolkit.h"

#include <array>
#include <utility>

#include "platform/file_system.h"
#include "ui/editor_template.h"

namespace quillmere::win32 {

std::string ApplicationName() {
  std::string name = FileNameOf(RealFileSystem().ExecutablePath().value_or("quillmere.exe"));
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    name.resize(dot);
  }
  return name;
}

Win32Toolkit::Win32Toolkit(HWND dialog, std::function<void()> okAction)
    : dialog_(dialog), okAction_(std::move(okAction)) {}

MessageAnswer Win32Toolkit::ShowMessage(MessageId id, MessageButtons buttons) {
  // The longest message is far shorter; a longer one would show cut, never overrun.
  std::array<char, 1024> text{};
  LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text.data(),
              static_cast<int>(text.size()));
  const HWND owner = IsWindowVisible(dialog_) != FALSE ? dialog_ : nullptr;
  const UINT kind = buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK;
  const int answer =
      MessageBoxA(owner, text.data(), ApplicationName().c_str(), kind | MB_ICONEXCLAMATION);
  return answer == IDYES ? MessageAnswer::kYes : MessageAnswer::kOther;
}

void Win32Toolkit::EndWithOk() {
  okAction_();
}

void Win32Toolkit::EndWithCancel() {
  EndDialog(dialog_, IDCANCEL);
}

void Win32Toolkit::AddListLine(std::string_view text) {
  const std::string line(text);
  SendDlgItemMessageA(dialog_, kBaseListId, CB_ADDSTRING, 0,
                      reinterpret_cast<LPARAM>(line.c_str()));
}

}  // namespace quillmere::win32
