#include "load_frames.h"

#include "number_format.h"

namespace vortn {

TVector3 LocalToGlobal(const TVector3& p, const TFrameLink& k) {
    return {p.x - (k.cbLocal.x - k.base.x), p.y - (k.cbLocal.y - k.base.y), -p.z - (k.cbLocal.z - k.base.z)};
}

TVector3 GlobalToLocal(const TVector3& p, const TFrameLink& k) {
    return {p.x + (k.cbLocal.x - k.base.x), p.y + (k.cbLocal.y - k.base.y), -p.z - (k.cbLocal.z - k.base.z)};
}

TVector3 MomentsAtCG(const TVector3& F, const TVector3& M, const TVector3& P) {
    return {M.x - P.y * F.z + P.z * F.y, M.y - P.z * F.x + P.x * F.z, M.z - P.x * F.y + P.y * F.x};
}

QString EquivalentLoadsText(bool quadratic, int unitSystem, const TVector3& F, const TVector3& Mcg) {
    const bool si = unitSystem == 2;
    QString fu, mu, head, fp, mp;
    if (quadratic) {
        head = QStringLiteral("Equivalent Coeffs.");
        fp = QStringLiteral("Fc");
        mp = QStringLiteral("Mc");
        fu = si ? QStringLiteral(" Mg-m") : QStringLiteral(" slug-ft");
        mu = si ? QStringLiteral(" Mg-m^2") : QStringLiteral(" slug-ft^2");
    } else {
        head = QStringLiteral("Equivalent Loads.");
        fp = QStringLiteral("F");
        mp = QStringLiteral("M");
        fu = si ? QStringLiteral(" kN") : QStringLiteral(" lbs");
        mu = si ? QStringLiteral(" kN-m") : QStringLiteral(" lbs-ft");
    }
    // Line breaks as the platform's message boxes expect them.
    const QString nl = QStringLiteral("\n");
    QString s = head + nl + nl;
    const Extended f[3] = {F.x, F.y, F.z}, m[3] = {Mcg.x, Mcg.y, Mcg.z};
    const char* axis[3] = {"x", "y", "z"};
    for (int i = 0; i < 3; ++i) s += fp + QLatin1String(axis[i]) + QStringLiteral(": ") + FloatToStr(f[i]) + fu + nl;
    for (int i = 0; i < 3; ++i) s += mp + QLatin1String(axis[i]) + QStringLiteral(": ") + FloatToStr(m[i]) + mu + nl;
    return s;
}

}  // namespace vortn
