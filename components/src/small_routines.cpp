#include "small_routines.h"

#include <cmath>

namespace vortn {

void RaiseListIndexError(long long index) {
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

QChar CharAt(const QString& s, int i) {
    if (i < 1 || i > s.size()) return QChar(0);
    return s[i - 1];
}

QString Tail(const QString& s, int i) {
    if (i < 1) i = 1;
    if (i > s.size()) return QString();
    return s.mid(i - 1);
}

int PosFrom(const QString& sub, const QString& s, int i) {
    if (i < 1) i = 1;
    if (sub.isEmpty() || i > s.size()) return 0;
    const qsizetype p = s.indexOf(sub, i - 1, Qt::CaseSensitive);
    return p < 0 ? 0 : int(p) + 1;
}

int PosOr(const QString& sub, const QString& s, int d) {
    const int p = PosFrom(sub, s, 1);
    return p == 0 ? d : p;
}

int PosOrEnd(const QString& sub, const QString& s) { return PosOr(sub, s, int(s.size()) + 1); }

QString ReplaceAll(const QString& s, const QString& oldText, const QString& newText) {
    if (oldText.isEmpty()) return s;
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = s.indexOf(oldText, from, Qt::CaseSensitive);
        if (p < 0) break;
        result += s.mid(from, p - from);
        result += newText;
        from = p + oldText.size();  // resume after the inserted text
    }
    result += s.mid(from);
    return result;
}

bool IsWholeNumber(long double x) {
    if (!(x >= -2147483648.0L && x <= 2147483647.0L)) return false;
    return x - std::truncl(x) == 0.0L;
}

int MinOf(const std::vector<int>& values) {
    if (values.empty()) RaiseListIndexError(0);
    int m = values[0];
    for (size_t i = 1; i < values.size(); ++i) m = Min(m, values[i]);
    return m;
}

int64_t Round(long double x) {
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!std::isfinite(x) || x >= 9223372036854775808.0L || x < -9223372036854775808.0L)
        throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    const long double lo = std::floor(x);
    const long double frac = x - lo;  // exact
    long double r;
    if (frac < 0.5L)
        r = lo;
    else if (frac > 0.5L)
        r = lo + 1;
    else
        r = std::fmod(lo, 2.0L) == 0 ? lo : lo + 1;  // halves to the even neighbour
    if (r >= 9223372036854775808.0L) throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    return static_cast<int64_t>(r);
}

}  // namespace vortn
