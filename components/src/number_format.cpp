#include "number_format.h"

#include "exceptions.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vortn {

namespace {
QChar g_separator = QChar('.');

// Rough decimal exponent of a plain "[-]ddd.ddde[+-]dd" text.
long DecimalMagnitude(const std::string& plain) {
    size_t i = plain[0] == '-' ? 1 : 0;
    long mag = 0;
    bool seenPoint = false, seenDigit = false;
    long intDigits = 0, leadingFractionZeros = 0;
    for (; i < plain.size() && plain[i] != 'e'; ++i) {
        const char c = plain[i];
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenDigit && c == '0') {
            if (seenPoint) ++leadingFractionZeros;
            continue;
        }
        if (!seenDigit) seenDigit = true;
        if (!seenPoint) ++intDigits;
    }
    mag = intDigits > 0 ? intDigits - 1 : -(leadingFractionZeros + 1);
    if (i < plain.size()) {
        long e = 0;
        bool neg = false;
        size_t j = i + 1;
        if (j < plain.size() && (plain[j] == '+' || plain[j] == '-')) {
            neg = plain[j] == '-';
            ++j;
        }
        for (; j < plain.size(); ++j) {
            if (e < 100000000) e = e * 10 + (plain[j] - '0');
        }
        mag += neg ? -e : e;
    }
    return mag;
}
}  // namespace

QChar DecimalSeparator() { return g_separator; }
void SetDecimalSeparator(QChar separator) { g_separator = separator; }

DecimalSeparatorScope::DecimalSeparatorScope(QChar separator) : previous_(g_separator) { g_separator = separator; }
DecimalSeparatorScope::~DecimalSeparatorScope() { g_separator = previous_; }

QString FloatToStrG(long double value, int digits) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (digits < 1) digits = 1;
    if (digits > 18) digits = 18;
    if (value == 0) return QStringLiteral("0");

    // First the 18 significant digits of an Extended (nearest, ties to
    // even), then those rounded to `digits`, halves away from zero.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 17);
    std::string sci(buf, res.ptr);
    const bool negative = sci[0] == '-';
    if (negative) sci.erase(0, 1);
    const size_t epos = sci.find('e');
    int exp10 = std::stoi(sci.substr(epos + 1));
    std::string ds;  // the significant digits
    for (char c : sci.substr(0, epos))
        if (c != '.') ds += c;
    if (int(ds.size()) > digits) {
        const bool up = ds[size_t(digits)] >= '5';
        ds.resize(size_t(digits));
        if (up) {
            int i = digits - 1;
            while (i >= 0 && ds[size_t(i)] == '9') ds[size_t(i--)] = '0';
            if (i >= 0) {
                ++ds[size_t(i)];
            } else {
                ds.insert(ds.begin(), '1');
                ds.pop_back();
                ++exp10;
            }
        }
    }
    while (ds.size() > 1 && ds.back() == '0') ds.pop_back();

    const QString sep(g_separator);
    QString out;
    if (negative) out += '-';
    if (exp10 >= digits || exp10 < -4) {
        // scientific
        out += QChar(ds[0]);
        if (ds.size() > 1) out += sep + QString::fromLatin1(ds.c_str() + 1);
        out += 'E';
        out += QString::number(exp10);
    } else if (exp10 >= 0) {
        const size_t intDigits = size_t(exp10) + 1;
        if (ds.size() <= intDigits) {
            out += QString::fromLatin1(ds.c_str()) + QString(int(intDigits - ds.size()), '0');
        } else {
            out += QString::fromLatin1(ds.substr(0, intDigits).c_str()) + sep +
                   QString::fromLatin1(ds.substr(intDigits).c_str());
        }
    } else {
        out += '0' + sep + QString(-exp10 - 1, '0') + QString::fromLatin1(ds.c_str());
    }
    return out;
}

QString FloatToStr(long double value) { return FloatToStrG(value, 15); }

QString NumberThatFits(const QString& text, const std::function<bool(const QString&)>& fits) {
    if (fits(text)) return text;
    long double value = 0;
    if (!TextToFloat(text, value) || !std::isfinite(value)) return {};
    for (int digits = 18; digits >= 1; --digits) {
        const QString shorter = FloatToStrG(value, digits);
        if (shorter.size() < text.size() && fits(shorter)) return shorter;
    }
    QString marks = QStringLiteral("#");
    while (fits(marks + QLatin1Char('#'))) marks += QLatin1Char('#');
    return marks;
}

bool TextToFloat(const QString& text, long double& value, QChar separator) {
    // Validate the grammar ourselves and hand a plain C form to from_chars.
    qsizetype i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    std::string plain;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        plain += char(text[i].unicode());
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == separator) {
        plain += '.';
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            plain += char(text[i].unicode());
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            plain += char(text[i].unicode());
            ++i;
        }
        int expDigits = 0;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            plain += char(text[i].unicode());
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    const char* first = plain.c_str();
    const char* last = first + plain.size();
    long double v = 0;
    auto res = std::from_chars(first, last, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is not a number of this type.
        if (DecimalMagnitude(plain) < 0) {
            value = plain[0] == '-' ? -0.0L : 0.0L;
            return true;
        }
        return false;
    }
    if (res.ec != std::errc() || res.ptr != last) return false;
    value = v;
    return true;
}

bool TextToFloat(const QString& text, long double& value) { return TextToFloat(text, value, g_separator); }

long double StrToFloat(const QString& text) {
    long double v = 0;
    if (!TextToFloat(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

}  // namespace vortn
