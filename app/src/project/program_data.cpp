// Project object: default project, unit conversion and the small text and
// number routines the project files use.
#include "program_data.h"

#include "project_holder.h"

#include <algorithm>
#include <QCoreApplication>

#include <charconv>
#include <cmath>
#include <limits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef VORTN_VERSION
#error "VORTN_VERSION comes from the CMake project version"
#endif

namespace vortn {

QString ProgramVersion() { return QStringLiteral(VORTN_VERSION); }

void SetProgramNames() {
    QCoreApplication::setApplicationName(QStringLiteral("VORT-N"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessik"));
}

namespace {

// What a text of `digits` significant digits reads back as (no locale).
long double ReadBack(const std::string& mantissa, int exp) {
    std::string text = mantissa.substr(0, 1) + "." + mantissa.substr(1) + "e" + std::to_string(exp);
    long double v = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
    if (res.ec == std::errc::result_out_of_range) return exp > 0 ? HUGE_VALL : 0.0L;
    return v;
}

// Moves the last of the `digits` digits by one unit (down or up), keeping the
// digit count; 1000 down becomes 9999 of the next lower exponent.
void StepLastDigit(std::string& m, int& exp, bool up) {
    int i = int(m.size()) - 1;
    if (up) {
        while (i >= 0 && m[size_t(i)] == '9') m[size_t(i--)] = '0';
        if (i >= 0) {
            ++m[size_t(i)];
        } else {
            m.insert(m.begin(), '1');
            m.pop_back();
            ++exp;
        }
    } else {
        while (i >= 0 && m[size_t(i)] == '0') m[size_t(i--)] = '9';
        if (i >= 0) --m[size_t(i)];
        if (m[0] == '0') {
            m.erase(m.begin());
            m.push_back('9');
            --exp;
        }
    }
}

// The decimal digits and exponent of |x| rounded to `digits` significant
// digits: |x| = d1.d2d3... x 10^exp, trailing zeros dropped. A value close to
// the ends of the Extended range whose rounding would read back as infinity
// (above the largest Extended) or as nothing (below the smallest normal one)
// is rounded the other way, so what is written always reads back.
void Decompose(Extended x, int digits, std::string& mantissa, int& exp) {
    char buf[64];
    const Extended a = std::fabs(x);
    std::snprintf(buf, sizeof buf, "%.*Le", digits - 1, a);
    const char* e = std::strchr(buf, 'e');
    exp = std::atoi(e + 1);
    mantissa.clear();
    for (const char* p = buf; p < e; ++p)
        if (*p >= '0' && *p <= '9') mantissa += *p;
    if (std::isfinite(a) && a > 0) {
        const long double back = ReadBack(mantissa, exp);
        if (std::isinf(back))
            StepLastDigit(mantissa, exp, false);
        else if (a >= std::numeric_limits<long double>::min() && back < std::numeric_limits<long double>::min())
            StepLastDigit(mantissa, exp, true);
    }
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
    if (!std::isfinite(x)) x = 0;  // the writer refuses such values before it gets here
    std::string m = "0";
    int exp = 0;
    if (x != 0) Decompose(x, 15, m, exp);
    m.resize(15, '0');
    char tail[64];
    std::snprintf(tail, sizeof tail, "%c%c.%sE%c%04d", x < 0 ? '-' : ' ', m[0], m.c_str() + 1, exp < 0 ? '-' : '+',
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

void TProgramData::SetDefaultFields() {
    *this = TProgramData(*holder_);
    FileName = kNewProjectFileName;
    UnitSystem = CodeOf(TUnitSystem::SI);  // every quantity is 0, so none needs converting
    Title = QStringLiteral("New Pile");
    SetLoading(TLoadingType::Harmonic);
    SetFooting(TFoundationType::HalfSpace);
    FoundationWord = FoundationWordOf(TFoundationType::HalfSpace);
    FixedFlag = 1;
    MatrixFlag = 1;
    EndBearingFlag = 0;
    InteractionFlag = 1;
    TotalSoilDepth = 0;
    BatteredFlag = 0;
    SideCapFlag = 0;
    WeakZoneFlag = 1;
    LoadReference = 0;
}

std::unique_ptr<TProgramData> TProgramData::CreateDefault(TProjectHolder& holder) {
    holder.CloseAllChildren();
    auto p = std::make_unique<TProgramData>(holder);
    p->SetDefaultFields();
    p->SetUnits(CodeOf(TUnitSystem::SI));  // the tables and open dialogs switch to SI
    for (TGridTable* t : holder.Tables()) {
        t->SetRowCount(0);
        t->SetRowCount(t->MinRows());
    }
    holder.SetModified(false);
    return p;
}

void TProgramData::SetUnits(int target) {
    target = std::clamp(target, CodeOf(TUnitSystem::English), CodeOf(TUnitSystem::SI));
    if (target != UnitSystem) {
        Extended f, L, M;
        if (target == CodeOf(TUnitSystem::SI)) {
            f = 1.0L / 224.8089237L;
            L = 1.0L / 3.280839895L;
            M = 1.0L / 68.364249L;
        } else {
            f = 224.8089237L;
            L = 3.280839895L;
            M = 68.364249L;
        }
        for (Extended* v : {&Radius,       &Length,     &Width, &Xc,    &Yc,    &Zc,          &CGx, &CGy,
                            &CGz,          &CBX,        &CBY,   &CBZ,   &CBx,   &CBy,         &CBz, &BaseDepth,
                            &BedRockDepth, &PileLength, &LoadX, &LoadY, &LoadZ, &SoilVelocity})
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
