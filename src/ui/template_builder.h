// Builds a dialog window from a dialog template, as the Windows dialog manager does: the font,
// the caption, the fixed client size and every control in template order, placed in pixels
// converted from dialog units. Each control carries its ID and its place in the template as
// properties, which is how the toolkit finds a control by ID.
#pragma once

#include "ui/dialog_units.h"
#include "ui/editor_template.h"

class QDialog;
class QWidget;

namespace quillmere {

// The control's ID (kNoControlId for controls never addressed).
inline constexpr char kControlIdProperty[] = "controlId";
// The control's place in the template, counted from 1.
inline constexpr char kTemplateIndexProperty[] = "templateIndex";

// Gives the dialog the template's font, caption and client size and creates its controls;
// gives the base units the layout was converted with.
DialogBaseUnits BuildFromTemplate(QDialog& dialog, const DialogTemplate& dialogTemplate);

// The dialog's control with this ID, or null.
[[nodiscard]] QWidget* ControlById(const QWidget& dialog, int id);

}  // namespace quillmere
