// Units of measure: unit systems, units strings with placeholders, their
// expansion per system, conversion factors between systems, and the small
// stand-alone units catalogue.
#pragma once

#include "small_routines.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

namespace vortn {

// Unit systems.
constexpr int kEnglish = 1;
constexpr int kSI = 2;
constexpr int kDimensions = 3;

// Placeholder slots 0..9 (F0, F1, F2, L0, L1, L2, F4, F5, L3, F6).
extern const std::array<int, 10> kPlaceholderSlot;      // in order F0 F1 F2 F4 F5 F6 L0 L1 L2 L3
extern const std::array<long double, 10> kSIToEnglish;  // by slot
const QString& UnitName(int system, int slot);          // system 1..3, slot 0..9

// Expansion used by the numeric entry box (one force and one length kind).
QString EditUnitsText(const QString& unitsString, int system);
// Expansion used by the numeric combo box (every F and L, digits kept).
QString ComboUnitsText(const QString& unitsString, int system);
// Expansion used by float columns of grid tables.
QString ColumnUnitsText(const QString& unitsString, int system);

// Factor by which a stored value is multiplied when moving from one system
// to the other (1 unless from/to is 1->2 or 2->1).
long double ConversionFactor(int fromSystem, int toSystem, const QString& unitsString);
// Factor SI -> English of one side of a units string's "/". A malformed
// exponent raises EConvertError.
long double TermFactor(const QString& term);

// --- units catalogue ---
struct TUnit {
    QString Symbol;
    QString Name;
    long double Factor = 1;
    bool FirstFlag = true;
    bool SecondFlag = false;
};

class TCategory {
public:
    explicit TCategory(QString name) : name_(std::move(name)) {}
    const QString& Name() const { return name_; }
    // Raises ENameError "<symbol> already exists. A unit's symbol must be unique."
    void AddUnit(const QString& symbol, const QString& name, long double factor);
    void DeleteUnit(int index);
    void SetBaseUnit(int index);  // -1: no base
    const TUnit& UnitAt(int index) const;
    int UnitCount() const { return int(units_.size()); }
    int BaseUnit() const { return base_; }
    int RememberedUnit(int which) const { return remembered_[which]; }  // which 0 or 1
    void SetRememberedUnits(int first, int second) { remembered_ = {first, second}; }
    int IndexOfSymbol(const QString& symbol) const;

private:
    QString name_;
    std::vector<TUnit> units_;
    int base_ = -1;
    std::array<int, 2> remembered_{-1, -1};
};

class TCategories {
public:
    // Raises ENameError "<name> already exists."
    TCategory& AddCategory(const QString& name);
    // Raises EListError "<i> Out of Range 0-<count>".
    TCategory& Category(int index);
    const TCategory& Category(int index) const;
    int CategoryCount() const { return int(categories_.size()); }

private:
    std::vector<std::unique_ptr<TCategory>> categories_;
};

// Builds the start-up catalogue (six categories) into `c`.
void BuildUnitCatalogue(TCategories& c);
// The one global catalogue, built on first use.
TCategories& UnitCatalogue();

}  // namespace vortn
