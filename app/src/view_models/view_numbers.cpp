#include "view_numbers.h"

#include <algorithm>
#include <cmath>

namespace vortn {

QString FixedText(Extended value, int precision, int digits) {
    if (!std::isfinite(double(value)))
        return value != value ? QStringLiteral("NAN") : value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (std::fabs(double(value)) >= std::pow(10.0, precision)) return ExponentText(value, precision, 1);
    QString s = QString::number(double(value), 'f', digits);
    if (s.startsWith(QLatin1Char('-'))) {
        bool allZero = true;
        for (QChar c : s)
            if (c.isDigit() && c != QLatin1Char('0')) allZero = false;
        if (allZero) s.remove(0, 1);
    }
    return s;
}

QString ExponentText(Extended value, int precision, int digits) {
    if (!std::isfinite(double(value))) return FixedText(value, precision, 0);
    QString s = QString::number(double(value), 'E', std::max(0, precision - 1));
    const int e = int(s.indexOf(QLatin1Char('E')));
    QString exponent = s.mid(e + 2);
    while (exponent.size() > std::max(1, digits) && exponent.startsWith(QLatin1Char('0'))) exponent.remove(0, 1);
    while (exponent.size() < digits) exponent.prepend(QLatin1Char('0'));
    return s.left(e + 2) + exponent;
}

int RoundPixel(Extended value) {
    constexpr double limit = 1 << 28;
    const double v = double(value);
    if (!(v > -limit)) return -int(limit);  // also NaN
    if (v > limit) return int(limit);
    return int(std::nearbyint(v));
}

}  // namespace vortn
