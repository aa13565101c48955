// Builds the editor window from dialog template 102, as the Windows dialog manager builds a
// dialog: the font, the caption, the fixed client size and every control in template order,
// placed in pixels converted from dialog units. The controls the dialog works with come back
// typed, once, so nothing is ever looked up by ID afterwards.
#pragma once

#include <array>

#include "ui/editor_template.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quillmere {

// The controls of template 102 as built; the dialog is their parent and owns them.
struct EditorControls {
  std::array<QWidget*, kEditorTemplate.controls.size()> inTemplateOrder{};
  QComboBox* baseList = nullptr;
  QCheckBox* cutPaperOption = nullptr;
  QCheckBox* formFeedOption = nullptr;
  QLineEdit* voidKeyword = nullptr;
  QLineEdit* stopKeyword = nullptr;
  QLineEdit* newModuleName = nullptr;
  QPushButton* goButton = nullptr;
};

// Gives `dialog` the template's font, caption and client size and makes its controls.
[[nodiscard]] EditorControls BuildEditorWindow(QDialog& dialog);

}  // namespace quillmere
