// Data exchange between the editor dialog's controls and its data fields on the Windows dialog
// manager: one pass moves every value one way. The dialog lists its bindings in its own order;
// this unit knows how each kind of control holds a value.
#pragma once

#include <cstdint>
#include <string>

#include "platform/windows_api.h"

namespace quillmere::win32 {

enum class ExchangeDirection { kFieldsToControls, kControlsToFields };

class DialogDataExchange {
 public:
  DialogDataExchange(HWND dialog, ExchangeDirection direction)
      : dialog_(dialog), direction_(direction) {}

  // Attaches the control with this ID to `control`, the first time only.
  void Control(int id, HWND& control) const;

  // A check box: 1 when checked, 0 when not.
  void Check(int id, std::int32_t& field) const;

  // A one-line edit field: its whole text, in the system's code page.
  void Text(int id, std::string& field) const;

  // A list: the index of the selected line, -1 when none; -1 written back clears the selection.
  void ListIndex(int id, std::int32_t& field) const;

 private:
  HWND dialog_;
  ExchangeDirection direction_;
};

}  // namespace quillmere::win32
