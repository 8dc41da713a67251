// Project object: default project, unit conversion and the small text and
// number routines the project files use.
#include "program_data.h"

#include "project_holder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vortn {

namespace {

// Decimal digits and exponent of x rounded to `digits` significant digits:
// x = 0.d1d2... is not used; the value is d1.d2d3... x 10^exp.
void Decompose(Extended x, int digits, std::string& mantissa, int& exp) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", digits - 1, std::fabs(x));
    const char* e = std::strchr(buf, 'e');
    exp = std::atoi(e + 1);
    mantissa.clear();
    for (const char* p = buf; p < e; ++p)
        if (*p >= '0' && *p <= '9') mantissa += *p;
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
}

}  // namespace

QString FloatText(Extended x) {
    if (std::isnan(x)) return QStringLiteral("NAN");
    if (std::isinf(x)) return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0) return QStringLiteral("0");
    std::string m;
    int e = 0;
    Decompose(x, 8, m, e);
    std::string out = x < 0 ? "-" : "";
    if (e >= 8 || e < -5) {
        out += m[0];
        if (m.size() > 1) out += "." + m.substr(1);
        out += "E" + std::to_string(e);
    } else if (e >= 0) {
        const size_t intDigits = size_t(e) + 1;
        if (m.size() <= intDigits) {
            out += m + std::string(intDigits - m.size(), '0');
        } else {
            out += m.substr(0, intDigits) + "." + m.substr(intDigits);
        }
    } else {
        out += "0." + std::string(size_t(-e - 1), '0') + m;
    }
    return QString::fromLatin1(out.c_str());
}

QString TailReal(Extended x) {
    if (!std::isfinite(x)) x = 0;  // never reached from the editors; keeps the layout readable
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", std::fabs(x));
    const char* e = std::strchr(buf, 'e');
    const int exp = std::atoi(e + 1);
    char tail[64];
    std::snprintf(tail, sizeof tail, "%c%.*sE%c%04d", x < 0 ? '-' : ' ', int(e - buf), buf, exp < 0 ? '-' : '+',
                  std::abs(exp));
    return QString::fromLatin1(tail);
}

int TextLength(const QString& s) { return int(s.size()); }

int CommaPos(const QString& s) {
    const qsizetype i = s.indexOf(QLatin1Char(','));
    return i < 0 ? int(s.size()) + 1 : int(i) + 1;
}

int BlankPos(const QString& s) {
    const qsizetype i = s.indexOf(QLatin1Char(' '));
    return i < 0 ? int(s.size()) + 1 : int(i) + 1;
}

QString ChangeFileExt(const QString& fileName, const QString& extension) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot > slash) return fileName.left(dot) + extension;
    return fileName + extension;
}

std::unique_ptr<TProgramData> TProgramData::CreateDefault(TProjectHolder& holder) {
    holder.CloseAllChildren();
    auto p = std::make_unique<TProgramData>(holder);
    p->FileName = QStringLiteral("NewData.vtd");
    p->UnitSystem = 1;
    p->Title = QStringLiteral("New Pile");
    p->SetUnits(2);
    p->LoadingCode = 1;
    p->FootingType = 1;
    p->FoundationWord = QStringLiteral("HALF-SPACE");
    p->FixedFlag = 1;
    p->MatrixFlag = 1;
    p->EndBearingFlag = 0;
    p->InteractionFlag = 1;
    p->TotalSoilDepth = 0;
    for (TGridTable* t : holder.Tables()) {
        t->SetRowCount(0);
        t->SetRowCount(t->MinRows());
    }
    holder.SetModified(false);
    p->BatteredFlag = 0;
    p->SideCapFlag = 0;
    p->WeakZoneFlag = 1;
    p->LoadReference = 0;
    return p;
}

void TProgramData::SetUnits(int target) {
    if (target > 2) target = 2;
    if (target < 1) target = 1;
    if (target != UnitSystem) {
        Extended f, L, M;
        if (target == 2) {
            f = 1.0L / 224.8089237L;
            L = 1.0L / 3.280839895L;
            M = 1.0L / 68.364249L;
        } else {
            f = 224.8089237L;
            L = 3.280839895L;
            M = 68.364249L;
        }
        for (Extended* v : {&Radius, &Length, &Width, &Xc, &Yc, &Zc, &CGx, &CGy, &CGz, &CBX, &CBY, &CBZ, &CBx, &CBy,
                            &CBz, &BaseDepth, &BedRockDepth, &PileLength, &LoadX, &LoadY, &LoadZ, &SoilVelocity})
            *v *= L;
        const Extended weight = f / (L * L * L);
        SoilUnitWeight *= weight;
        PileUnitWeight *= weight;
        PileModulus *= f / (L * L);
        StaticLoad *= f;
        TotalMass *= M;
        for (Extended* v : {&Ix, &Iy, &Iz, &Ixy, &Ixz, &Iyz}) *v *= M * L * L;
        const Extended force = QuadraticFlag == 1 ? M * L : f;
        const Extended moment = QuadraticFlag == 1 ? M * L * L : f * L;
        for (Extended* v : {&Fx, &Fy, &Fz}) *v *= force;
        for (Extended* v : {&Mx, &My, &Mz}) *v *= moment;
        UnitSystem = target;
    }
    for (TGridTable* t : holder_->Tables()) t->SetUnits(target);
    holder_->RefreshOpenDialogs();
}

}  // namespace vortn
