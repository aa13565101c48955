#include "ui/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <algorithm>
#include <cstdint>

namespace quillmere {

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) {
    return -1;  // what MulDiv answers for a zero denominator
  }
  const std::int64_t product = std::int64_t{number} * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  const std::int64_t divisor = denominator < 0 ? -std::int64_t{denominator} : denominator;
  const std::int64_t magnitude = ((product < 0 ? -product : product) + divisor / 2) / divisor;
  return static_cast<int>(negative ? -magnitude : magnitude);
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  // Measured once per font for the application's life: every dialog of the template has the
  // same font, and measuring shapes the whole alphabet.
  static QHash<QString, DialogBaseUnits> measured;
  const QString key = font.key();
  if (const auto found = measured.constFind(key); found != measured.cend()) {
    return *found;
  }
  const QFontMetrics metrics(font);
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const DialogBaseUnits units{(alphabetWidth / 26 + 1) / 2, metrics.height()};
  measured.insert(key, units);
  return units;
}

int HorizontalPixels(int dialogUnits, DialogBaseUnits units) {
  return MulDiv(dialogUnits, units.horizontal, 4);
}

int VerticalPixels(int dialogUnits, DialogBaseUnits units) {
  return MulDiv(dialogUnits, units.vertical, 8);
}

QRect PixelRect(DialogUnitRect rect, DialogBaseUnits units) {
  return {HorizontalPixels(rect.x, units), VerticalPixels(rect.y, units),
          HorizontalPixels(rect.width, units), VerticalPixels(rect.height, units)};
}

int ClosedDropDownHeight(DialogBaseUnits units) {
  return 13 * units.vertical / 8;
}

int DroppedListLines(DialogUnitRect rect, DialogBaseUnits units) {
  const int dropped = VerticalPixels(rect.height, units) - ClosedDropDownHeight(units);
  return units.vertical > 0 ? std::max(1, dropped / units.vertical) : 1;
}

}  // namespace quillmere
