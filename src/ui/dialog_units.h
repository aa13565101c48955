// Dialog units to pixels, as the Windows dialog manager converts a template: the horizontal base
// unit is the average width of "A".."Z""a".."z" in the dialog's font, the vertical one the font's
// height, and every coordinate is scaled with MulDiv's rounding. The same template thus gives the
// same pixel layout here as there for the same font.
#pragma once

#include <QRect>

#include "ui/editor_template.h"

class QFont;

namespace quillmere {

struct DialogBaseUnits {
  int horizontal = 0;
  int vertical = 0;
};

// number * numerator / denominator in 64 bits, rounded half away from zero (Windows' MulDiv).
[[nodiscard]] int MulDiv(int number, int numerator, int denominator);

[[nodiscard]] DialogBaseUnits BaseUnitsOf(const QFont& font);

[[nodiscard]] int HorizontalPixels(int dialogUnits, DialogBaseUnits units);
[[nodiscard]] int VerticalPixels(int dialogUnits, DialogBaseUnits units);
[[nodiscard]] QRect PixelRect(DialogUnitRect rect, DialogBaseUnits units);

// The height Windows gives a closed drop-down list: 13/8 of the font's height, whatever the
// template says (the template's height bounds the dropped list).
[[nodiscard]] int ClosedDropDownHeight(DialogBaseUnits units);

// The lines a drop-down list of the template's `rect` shows dropped, at least one: what its
// height holds below the closed list, a line as high as the font, as Windows fills it.
[[nodiscard]] int DroppedListLines(DialogUnitRect rect, DialogBaseUnits units);

}  // namespace quillmere
