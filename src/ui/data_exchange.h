// Data exchange between a dialog's controls and its data fields: one pass moves every value
// one way, from the fields into the controls or from the controls into the fields. The dialog
// lists its bindings in its own order; this unit knows how each kind of control holds a value.
#pragma once

#include <cstdint>
#include <string>

class QComboBox;
class QWidget;

namespace quillmere {

enum class ExchangeDirection { kFieldsToControls, kControlsToFields };

class DataExchange {
 public:
  DataExchange(const QWidget& dialog, ExchangeDirection direction)
      : dialog_(dialog), direction_(direction) {}

  [[nodiscard]] ExchangeDirection direction() const { return direction_; }

  // Attaches the list control with this ID to `control`, the first time only.
  void Control(int id, QComboBox*& control);

  // A check box: 1 when checked, 0 when not.
  void Check(int id, std::int32_t& field);

  // A one-line edit field: its whole text, as 8-bit text of the system's code page.
  void Text(int id, std::string& field);

  // A list: the index of the selected line, -1 when none; -1 written back clears the selection.
  void ListIndex(int id, std::int32_t& field);

 private:
  const QWidget& dialog_;
  ExchangeDirection direction_;
};

}  // namespace quillmere
