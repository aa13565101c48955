#include "ui/win32/dialog_data_exchange.h"

#include <cstddef>
#include <utility>

namespace quillmere::win32 {

void DialogDataExchange::Control(int id, HWND& control) const {
  if (control == nullptr) {
    control = GetDlgItem(dialog_, id);
  }
}

void DialogDataExchange::Check(int id, std::int32_t& field) const {
  if (direction_ == ExchangeDirection::kFieldsToControls) {
    CheckDlgButton(dialog_, id, field != 0 ? BST_CHECKED : BST_UNCHECKED);
  } else {
    field = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
  }
}

void DialogDataExchange::Text(int id, std::string& field) const {
  const HWND edit = GetDlgItem(dialog_, id);
  if (direction_ == ExchangeDirection::kFieldsToControls) {
    SetWindowTextA(edit, field.c_str());
    return;
  }
  const int length = GetWindowTextLengthA(edit);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(edit, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  field = std::move(text);
}

void DialogDataExchange::ListIndex(int id, std::int32_t& field) const {
  if (direction_ == ExchangeDirection::kFieldsToControls) {
    SendDlgItemMessageA(dialog_, id, CB_SETCURSEL, static_cast<WPARAM>(field), 0);
  } else {
    field = static_cast<std::int32_t>(SendDlgItemMessageA(dialog_, id, CB_GETCURSEL, 0, 0));
  }
}

}  // namespace quillmere::win32
