// Number <-> text conversions shared by every component and the front-end.
// They follow one process-wide decimal separator (never the C locale), so
// results do not depend on the locale the process runs under.
#pragma once

#include <QChar>
#include <QString>

#include <functional>

namespace vortn {

// The process-wide decimal separator ('.' at start-up).
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);

// Sets the decimal separator for the lifetime of the object and restores the
// previous one on every exit (also by exception).
class DecimalSeparatorScope {
public:
    explicit DecimalSeparatorScope(QChar separator);
    ~DecimalSeparatorScope();
    DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
    DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;

private:
    QChar previous_;
};

// General floating-point format with `digits` significant digits (1..18):
// the shortest text, fixed notation when the decimal exponent lies in
// -5 < e < digits, else scientific with "E" ("1.5E20", "1E-5"); trailing
// zeros and a needless separator are dropped; no '+' in the exponent.
// NaN and infinities give "NAN", "INF", "-INF".
QString FloatToStrG(long double value, int digits);
// Same with the 15 digits of the plain float-to-text conversion.
QString FloatToStr(long double value);

// `text` as it fits a space that `fits` tells: unchanged when it fits;
// a number that does not fit with fewer significant digits, its exponent
// kept ("1.23456789012E-5" -> "1.235E-5"), so that it never reads as
// another number; "#" marks where not even one digit fits. Empty for a text
// that is not a number (the caller shortens it its own way).
QString NumberThatFits(const QString& text, const std::function<bool(const QString&)>& fits);

// The standard text-to-floating-point conversion: optional leading and
// trailing blanks, optional sign, digits with an optional decimal separator
// (at least one digit), optional exponent "E"/"e" with optional sign.
// Returns false for anything else (including out-of-range values).
bool TextToFloat(const QString& text, long double& value, QChar separator);
bool TextToFloat(const QString& text, long double& value);  // process separator
// As TextToFloat; raises EConvertError "'<text>' is not a valid floating point value".
long double StrToFloat(const QString& text);

}  // namespace vortn
