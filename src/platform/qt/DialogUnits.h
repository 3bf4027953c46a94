#pragma once
// Dialog templates give positions in dialog units: a quarter of the dialog
// font's average character width across, an eighth of its height down.
#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

namespace nimbrel {

struct DialogBaseUnits {
  int x = 1;  // average character width in pixels
  int y = 1;  // character height in pixels
};

inline DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  // The average over the 52 letters, rounded.
  return DialogBaseUnits{(width / 26 + 1) / 2, metrics.height()};
}

// a * b / c rounded to the nearest integer.
inline int MulDivRounded(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

inline QRect DialogRect(const DialogBaseUnits& units, int x, int y, int width, int height) {
  return QRect(MulDivRounded(x, units.x, 4), MulDivRounded(y, units.y, 8), MulDivRounded(width, units.x, 4),
               MulDivRounded(height, units.y, 8));
}

}  // namespace nimbrel
