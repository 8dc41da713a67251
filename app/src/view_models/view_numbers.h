// Numbers of the geometry views: the texts of the mouse read-out and the
// labels, and pixel rounding. Free of widgets, so the view models use them.
#pragma once

#include <QString>

namespace vortn {

using Extended = long double;

// Fixed notation with `digits` decimals; scientific ("1.00000E+6") when the
// integer part needs more than `precision` digits. A value that rounds to
// zero shows no minus sign.
QString FixedText(Extended value, int precision, int digits);

// Scientific notation: `precision` significant digits, "E", the exponent's
// sign and at least `digits` exponent digits ("1.235E+05").
QString ExponentText(Extended value, int precision, int digits);

// Nearest whole pixel (ties to even), kept inside what a painter can take so
// that a far-away point never overflows.
int RoundPixel(Extended value);

}  // namespace vortn
