#include "units.h"

#include <cmath>

namespace vortn {

const std::array<int, 10> kPlaceholderSlot = {0, 1, 2, 6, 7, 9, 3, 4, 5, 8};

const std::array<long double, 10> kSIToEnglish = {224.8089237L,   0.2248089237L, 0.1124044745L, 39.37007874L,
                                                  0.03937007874L, 3.280839895L,  5.7101483L,    1.0L,
                                                  1.0L,           68.364249L};

const QString& UnitName(int system, int slot) {
    static const QString kNames[3][10] = {{"lbs", "kips", "tons", "in", "in", "ft", "lb-sec2/in", "sec", "rad", "slug"},
                                          {"kN", "kN", "kN", "m", "mm", "m", "Mg", "sec", "rad", "Mg"},
                                          {"F", "F", "F", "L", "L", "L", "M", "T", "L", "F"}};
    if (system < 1 || system > 3) system = system < 1 ? 1 : 3;
    return kNames[system - 1][slot];
}

QString EditUnitsText(const QString& unitsString, int system) {
    if (system != kEnglish && system != kSI) return unitsString;
    QString s = unitsString;
    static const char* const kForce[] = {"F6", "F5", "F4", "F2", "F1"};
    static const char* const kForceEn[] = {"slug", "sec", "lb-sec2/in", "tons", "kips", "lbs"};
    static const char* const kForceSI[] = {"Mg", "sec", "Mg", "kN", "kN", "kN"};
    int k = 5;
    for (int i = 0; i < 5; ++i)
        if (s.contains(QLatin1String(kForce[i]))) {
            k = i;
            break;
        }
    const QString forceKey = k < 5 ? QString::fromLatin1(kForce[k]) : QStringLiteral("F");
    s = ReplaceAll(s, forceKey, QString::fromLatin1(system == kEnglish ? kForceEn[k] : kForceSI[k]));

    static const char* const kLength[] = {"L2", "L1", "L3"};
    static const char* const kLengthEn[] = {"ft", "in", "rad", "in"};
    static const char* const kLengthSI[] = {"m", "mm", "rad", "m"};
    k = 3;
    for (int i = 0; i < 3; ++i)
        if (s.contains(QLatin1String(kLength[i]))) {
            k = i;
            break;
        }
    const QString lengthKey = k < 3 ? QString::fromLatin1(kLength[k]) : QStringLiteral("L");
    return ReplaceAll(s, lengthKey, QString::fromLatin1(system == kEnglish ? kLengthEn[k] : kLengthSI[k]));
}

QString ComboUnitsText(const QString& unitsString, int system) {
    if (system != kEnglish && system != kSI) return unitsString;
    QString s = ReplaceAll(unitsString, "F", system == kEnglish ? "lbs" : "kN");
    return ReplaceAll(s, "L", system == kEnglish ? "in" : "m");
}

QString ColumnUnitsText(const QString& unitsString, int system) {
    // Placeholder and slot, in replacement order.
    static const struct {
        const char* key;
        int slot;
    } kSteps[] = {{"F2", 2}, {"F1", 1}, {"F4", 6}, {"F5", 7}, {"F6", 9},
                  {"F", 0},  {"L3", 8}, {"L2", 5}, {"L1", 4}, {"L", 3}};
    QString s = unitsString;
    for (const auto& step : kSteps) s = ReplaceAll(s, QString::fromLatin1(step.key), UnitName(system, step.slot));
    return s;
}

namespace {

long double IntPow(long double x, int e) {
    long double r = 1;
    const bool neg = e < 0;
    for (int i = 0; i < (neg ? -e : e); ++i) r *= x;
    return neg ? 1 / r : r;
}

// The digit of an exponent position; anything else fails as the
// text-to-integer conversion would.
int ExponentDigit(const QString& t, int pos) {
    const QChar c = CharAt(t, pos);
    if (c < '0' || c > '9')
        throw EConvertError(
                QStringLiteral("'%1' is not a valid integer value").arg(c == QChar(0) ? QString() : QString(c)));
    return c.unicode() - '0';
}

}  // namespace

long double TermFactor(const QString& term) {
    QString t = term;
    long double forceFactor = 1;
    int forceExp = 0;
    if (CharAt(t, 1) == 'F') {
        const QChar d = CharAt(t, 2);
        if (!(d == '0' || d == '1' || d == '2' || d == '4' || d == '5' || d == '6')) t = "F0" + Tail(t, 2);
        int slot;
        switch (CharAt(t, 2).unicode()) {
            case '0':
                slot = 0;
                break;
            case '1':
                slot = 1;
                break;
            case '4':
                slot = 6;
                break;
            case '5':
                slot = 7;
                break;
            case '6':
                slot = 9;
                break;
            default:
                slot = 2;
                break;
        }
        forceFactor = kSIToEnglish[slot];
        if (CharAt(t, 3) == '^') {
            forceExp = ExponentDigit(t, 4);
            t = Tail(t, 6);
        } else {
            forceExp = 1;
            t = Tail(t, 4);
        }
    }
    long double lengthFactor = 1;
    int lengthExp = 0;
    if (CharAt(t, 1) == 'L') {
        const QChar d = CharAt(t, 2);
        if (!(d >= '0' && d <= '3')) t = "L0" + Tail(t, 2);
        int slot;
        switch (CharAt(t, 2).unicode()) {
            case '0':
                slot = 3;
                break;
            case '1':
                slot = 4;
                break;
            case '3':
                slot = 8;
                break;
            default:
                slot = 5;
                break;
        }
        lengthFactor = kSIToEnglish[slot];
        lengthExp = t.size() >= 3 ? ExponentDigit(t, 4) : 1;
    }
    return IntPow(forceFactor, forceExp) * IntPow(lengthFactor, lengthExp);
}

long double ConversionFactor(int fromSystem, int toSystem, const QString& unitsString) {
    int e = 0;
    if (fromSystem == 1 && toSystem == 2)
        e = -1;
    else if (fromSystem == 2 && toSystem == 1)
        e = 1;
    if (e == 0) return 1;
    const qsizetype slash = unitsString.indexOf('/');
    const QString numerator = slash < 0 ? unitsString : unitsString.left(slash);
    const QString denominator = slash < 0 ? QString() : unitsString.mid(slash + 1);
    return IntPow(TermFactor(numerator) / TermFactor(denominator), e);
}

// ---- catalogue

void TCategory::AddUnit(const QString& symbol, const QString& name, long double factor) {
    if (IndexOfSymbol(symbol) >= 0) throw ENameError(symbol + " already exists. A unit's symbol must be unique.");
    units_.push_back(TUnit{symbol, name, factor, true, false});
    if (units_.size() == 1) SetBaseUnit(0);
}

int TCategory::IndexOfSymbol(const QString& symbol) const {
    for (size_t i = 0; i < units_.size(); ++i)
        if (units_[i].Symbol == symbol) return int(i);
    return -1;
}

void TCategory::SetBaseUnit(int index) {
    if (index < 0) {
        base_ = -1;
        return;
    }
    const long double f = UnitAt(index).Factor;
    for (size_t i = 0; i < units_.size(); ++i)
        if (int(i) != index) units_[i].Factor /= f;
    units_[index].Factor = 1;
    base_ = index;
}

const TUnit& TCategory::UnitAt(int index) const {
    if (index < 0 || index >= UnitCount()) RaiseListIndexError(index);
    return units_[index];
}

void TCategory::DeleteUnit(int index) {
    UnitAt(index);  // index check
    if (index == base_) base_ = -1;
    if (base_ > index) --base_;
    const bool wasLast = index == UnitCount() - 1;
    for (int& r : remembered_) {
        if (r > index)
            --r;
        else if (r == index && wasLast && UnitCount() != 1)
            --r;
    }
    units_.erase(units_.begin() + index);
}

TCategory& TCategories::AddCategory(const QString& name) {
    for (const auto& c : categories_)
        if (c->Name() == name) throw ENameError(name + " already exists.");
    categories_.push_back(std::make_unique<TCategory>(name));
    return *categories_.back();
}

TCategory& TCategories::Category(int index) {
    return const_cast<TCategory&>(static_cast<const TCategories*>(this)->Category(index));
}

const TCategory& TCategories::Category(int index) const {
    if (index < 0 || index >= CategoryCount())
        throw EListError(QString::number(index) + " Out of Range 0-" + QString::number(CategoryCount()));
    return *categories_[index];
}

void BuildUnitCatalogue(TCategories& c) {
    struct U {
        const char* sym;
        const char* name;
        long double f;
    };
    auto fill = [&](const char* category, std::initializer_list<U> units, const char* base, const char* placeholder) {
        TCategory& cat = c.AddCategory(QString::fromLatin1(category));
        // The first unit added is the base until re-based, so factors go in
        // relative to it.
        const long double f0 = units.begin()->f;
        for (const U& u : units) cat.AddUnit(QString::fromLatin1(u.sym), QString::fromLatin1(u.name), u.f / f0);
        const int b = cat.IndexOfSymbol(QString::fromLatin1(base));
        cat.SetBaseUnit(b);
        cat.SetRememberedUnits(b, b);
        if (placeholder) {
            const int p = cat.IndexOfSymbol(QString::fromLatin1(placeholder));
            if (p >= 0) cat.DeleteUnit(p);
        }
    };
    // Factors below are those relative to the final base unit.
    fill("Length",
         {{"mm", "millimeters", 0.001L},
          {"cm", "centimeters", 0.01L},
          {"m", "meters", 1},
          {"km", "kilometers", 1000},
          {"in", "inches", 0.0254L},
          {"ft", "feet", 0.3048L},
          {"yd", "yards", 0.9144L},
          {"f", "fathoms", 1.8288L},
          {"mi", "miles, statute", 1609.344L},
          {"nmi", "nautical miles, U.S.", 1852},
          {"league", "leagues, statute", 4828.032L},
          {"au", "astronomical units", 149597890000.0L}},
         "m", nullptr);
    fill("Time",
         {{"PH s", "seconds", 1},
          {"ns", "nanoseconds", 1e-9L},
          {"ms", "milliseconds", 0.001L},
          {"s", "seconds", 1},
          {"mn", "minutes", 60},
          {"hr", "hours", 3600},
          {"day", "days", 86400},
          {"wk", "weeks", 604800},
          {"mth", "months", 2629800},
          {"yr", "years", 31557600},
          {"dec", "decades", 315576000},
          {"cen", "centuries", 3155760000.0L},
          {"mnm", "millenia", 31557600000.0L},
          {"eon", "eons", 3.15576e16L}},
         "s", "PH s");
    fill("Force",
         {{"N", "newtons", 1},
          {"kN", "kilonewtons", 1000},
          {"amu", "atomic mass units", 1.6284334591e-26L},
          {"mg", "milligrams", 9.80665e-6L},
          {"g", "grams force", 0.00980665L},
          {"kg", "kilograms force", 9.80665L},
          {"tn", "metric tons", 9806.65L},
          {"oz", "ounces force", 0.27801670371042364L},
          {"lb", "pounds force", 4.448267259366778L},
          {"kip", "kilopounds", 4448.2672593667785L},
          {"ton", "U.S. Tons force, short", 8896.534518733557L}},
         "N", nullptr);
    fill("Temperature", {{"C", "Celsius", 1}, {"F", "Fahrenheit", 1}, {"K", "Kelvin", 1}, {"R", "Rankine", 1}}, "C",
         nullptr);
    fill("Angle",
         {{"rad", "radians", 57.29577951308232L},
          {"sec", "seconds", 1.0L / 3600},
          {"min", "minutes", 1.0L / 60},
          {"gr", "grades", 0.9L},
          {"deg", "degrees", 1},
          {"quad", "quadrants", 90},
          {"PH rev", "place holder", 360},
          {"rev", "revolutions", 360}},
         "deg", "PH rev");
    fill("Computer Bits",
         {{"b", "bits", 0.125L},
          {"Kb", "kilobits", 128},
          {"Mb", "megabits", 131072},
          {"Gb", "gigabits", 134217728},
          {"Tb", "terabits", 137438953472.0L},
          {"B", "bytes", 1},
          {"KB", "kilobytes", 1024},
          {"MB", "megabytes", 1048576},
          {"GB", "gigabytes", 1073741824.0L},
          {"TB", "terabytes", 1099511627776.0L}},
         "B", nullptr);
}

TCategories& UnitCatalogue() {
    static TCategories catalogue = [] {
        TCategories c;
        BuildUnitCatalogue(c);
        return c;
    }();
    return catalogue;
}

}  // namespace vortn
