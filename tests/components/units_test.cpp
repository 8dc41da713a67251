#include "units.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace vortn;

TEST(Units, EntryBoxExpansion) {
    struct { const char* units; int system; const char* text; } cases[] = {
        {"F6-L2^2", 1, "slug-ft^2"}, {"F6-L2^2", 2, "Mg-m^2"}, {"F6-L2^2", 3, "F6-L2^2"},
        {"F/L2", 1, "lbs/ft"}, {"F-F6", 1, "F-slug"}, {"L1", 2, "mm"}, {"F4", 1, "lb-sec2/in"},
        {"L3", 2, "rad"}, {"F/L", 2, "kN/m"}, {"", 1, ""}};
    for (auto c : cases) EXPECT_EQ(EditUnitsText(c.units, c.system), c.text) << c.units << " " << c.system;
}

TEST(Units, ComboBoxExpansionKeepsDigits) {
    EXPECT_EQ(ComboUnitsText("F/L2", 1), "lbs/in2");
    EXPECT_EQ(ComboUnitsText("F/L2", 2), "kN/m2");
    EXPECT_EQ(ComboUnitsText("F/L2", 3), "F/L2");
}

TEST(Units, ColumnExpansion) {
    struct { const char* units; int system; const char* text; } cases[] = {
        {"F/L2^3", 1, "lbs/ft^3"}, {"F/L2^3", 2, "kN/m^3"}, {"F6", 1, "slug"}, {"F6", 2, "Mg"}, {"F6", 3, "F"},
        {"L2/SEC", 1, "ft/SEC"}, {"L2^4", 2, "m^4"}, {"F", 3, "F"}, {"L", 3, "L"}, {"DEGREES", 1, "DEGREES"},
        {"F5", 3, "T"}, {"F4", 3, "M"}};
    for (auto c : cases) EXPECT_EQ(ColumnUnitsText(c.units, c.system), c.text) << c.units << " " << c.system;
}

TEST(Units, ConversionFactors) {
    for (const char* s : {"", "L2", "F/L2^3", "DEGREES", "F6-L2^2"}) {
        EXPECT_EQ(ConversionFactor(1, 1, s), 1);
        EXPECT_EQ(ConversionFactor(2, 2, s), 1);
        EXPECT_EQ(ConversionFactor(3, 1, s), 1);
    }
    EXPECT_EQ(ConversionFactor(2, 1, "L2"), 3.280839895L);
    EXPECT_EQ(ConversionFactor(1, 2, "L2"), 1 / 3.280839895L);
    EXPECT_EQ(ConversionFactor(2, 1, ""), 1);
    EXPECT_EQ(ConversionFactor(2, 1, "DEGREES"), 1);
    EXPECT_EQ(ConversionFactor(2, 1, "L2/SEC"), 3.280839895L);
    EXPECT_EQ(ConversionFactor(2, 1, "F6-L2^2"), 68.364249L * 3.280839895L * 3.280839895L);
    EXPECT_EQ(ConversionFactor(2, 1, "F/L2^3"), 224.8089237L / (3.280839895L * 3.280839895L * 3.280839895L));
    EXPECT_EQ(ConversionFactor(2, 1, "L2^4"), 3.280839895L * 3.280839895L * 3.280839895L * 3.280839895L);
    EXPECT_EQ(ConversionFactor(2, 1, "F"), 224.8089237L);
    EXPECT_EQ(ConversionFactor(2, 1, "F6"), 68.364249L);
    EXPECT_EQ(TermFactor("F1-L1"), 0.2248089237L * 0.03937007874L);
    EXPECT_EQ(TermFactor("F^2"), 224.8089237L * 224.8089237L);
    EXPECT_EQ(TermFactor("L"), 39.37007874L);
    EXPECT_EQ(TermFactor("SEC"), 1);
    EXPECT_THROW(TermFactor("L2^x"), EConvertError);
}

TEST(UnitCatalogue, StartUpCategories) {
    TCategories& c = UnitCatalogue();
    ASSERT_EQ(c.CategoryCount(), 6);
    const char* names[] = {"Length", "Time", "Force", "Temperature", "Angle", "Computer Bits"};
    const int counts[] = {12, 13, 11, 4, 7, 10};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(c.Category(i).Name(), names[i]);
        EXPECT_EQ(c.Category(i).UnitCount(), counts[i]) << names[i];
    }
    const TCategory& length = c.Category(0);
    EXPECT_EQ(length.UnitAt(length.BaseUnit()).Symbol, "m");
    EXPECT_NEAR(double(length.UnitAt(length.IndexOfSymbol("ft")).Factor), 0.3048, 1e-15);
    EXPECT_NEAR(double(length.UnitAt(length.IndexOfSymbol("mm")).Factor), 0.001, 1e-18);
    const TCategory& time = c.Category(1);
    EXPECT_EQ(time.IndexOfSymbol("PH s"), -1);
    EXPECT_EQ(time.UnitAt(time.BaseUnit()).Symbol, "s");
    EXPECT_NEAR(double(time.UnitAt(time.IndexOfSymbol("hr")).Factor), 3600, 1e-9);
    const TCategory& angle = c.Category(4);
    EXPECT_EQ(angle.IndexOfSymbol("PH rev"), -1);
    EXPECT_EQ(angle.UnitAt(angle.BaseUnit()).Symbol, "deg");
    EXPECT_NEAR(double(angle.UnitAt(angle.IndexOfSymbol("rad")).Factor), 57.29577951308232, 1e-12);
    try {
        c.Category(6);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "6 Out of Range 0-6");
    }
}

TEST(UnitCatalogue, DuplicatesAndRebasing) {
    TCategories c;
    TCategory& cat = c.AddCategory("Mass");
    try {
        c.AddCategory("Mass");
        FAIL();
    } catch (const ENameError& e) {
        EXPECT_EQ(e.Message(), "Mass already exists.");
    }
    cat.AddUnit("g", "grams", 1);
    cat.AddUnit("kg", "kilograms", 1000);
    try {
        cat.AddUnit("kg", "again", 1);
        FAIL();
    } catch (const ENameError& e) {
        EXPECT_EQ(e.Message(), "kg already exists. A unit's symbol must be unique.");
    }
    EXPECT_EQ(cat.UnitCount(), 2);
    cat.SetBaseUnit(1);
    EXPECT_EQ(cat.UnitAt(0).Factor, 0.001L);
    EXPECT_EQ(cat.UnitAt(1).Factor, 1);
    cat.DeleteUnit(1);
    EXPECT_EQ(cat.BaseUnit(), -1);
}
