// Project object: default project, number and text routines, unit conversion.
#include "project_fixture.h"

#include "number_format.h"

#include <cmath>
#include <limits>

namespace project_test {
namespace {

using vortn::BlankPos;
using vortn::CommaPos;
using vortn::FloatText;
using vortn::TailReal;
using vortn::TextLength;

TEST(FloatText, GeneralFormatWithEightDigits) {
    struct Case {
        Extended x;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {1, "1"},
        {-1, "-1"},
        {9.8L, "9.8"},
        {0.1L, "0.1"},
        {1.0L / 3, "0.33333333"},
        {-2.0L / 3, "-0.66666667"},
        {100, "100"},
        {1234.5678L, "1234.5678"},
        {1234.56789L, "1234.5679"},
        {12345678, "12345678"},
        {123456789, "1.2345679E8"},
        {99999999.5L, "1E8"},
        {1.5e20L, "1.5E20"},
        {0.0001L, "0.0001"},
        {0.00001L, "0.00001"},
        {0.000012345L, "0.000012345"},
        {0.000001L, "1E-6"},
        {-2.5e-7L, "-2.5E-7"},
        {0.0000012345L, "1.2345E-6"},
        {40 * 6.28L, "251.2"},
        {2.5e7L, "25000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(FloatText(c.x).toStdString(), c.text) << double(c.x);
}

TEST(FloatText, TailRealsHaveTheFixedWidthLayout) {
    EXPECT_EQ(TailReal(32).toStdString(), " 3.20000000000000E+0001");
    EXPECT_EQ(TailReal(0).toStdString(), " 0.00000000000000E+0000");
    EXPECT_EQ(TailReal(-0.5L).toStdString(), "-5.00000000000000E-0001");
    EXPECT_EQ(TailReal(1.0L / 3).size(), 23);
}

// Values at the ends of the Extended range are written so that they read
// back: rounding that would pass the largest value (or fall below the
// smallest normal one) goes the other way.
TEST(FloatText, ValuesAtTheEndsOfTheRangeReadBack) {
    struct Case {
        Extended x;
        const char* text;  // FloatText; empty: not checked
    };
    const Extended max = std::numeric_limits<Extended>::max(), min = std::numeric_limits<Extended>::min();
    const Case cases[] = {
        {max, "1.1897314E4932"},
        {-max, "-1.1897314E4932"},
        {1.18973149e4932L, "1.1897314E4932"},
        {1.1897314e4932L, "1.1897314E4932"},
        {min, "3.3621032E-4932"},
        {-min, "-3.3621032E-4932"},
        {3.36210315e-4932L, "3.3621032E-4932"},
        {9.99999999e4931L, "1E4932"},
        {1e4932L, "1E4932"},
    };
    for (const Case& c : cases) {
        const QString text = FloatText(c.x);
        EXPECT_EQ(text.toStdString(), c.text) << double(c.x);
        for (const QString& written : {text, TailReal(c.x)}) {
            long double back = 0;
            ASSERT_TRUE(vortn::TextToFloat(written, back, QLatin1Char('.'))) << written.toStdString();
            EXPECT_TRUE(std::isfinite(back) && std::fabs(back) >= min) << written.toStdString();
            EXPECT_EQ(std::signbit(back), std::signbit(c.x)) << written.toStdString();
        }
        // Written again, the value read back gives the same text.
        long double back = 0;
        ASSERT_TRUE(vortn::TextToFloat(text, back, QLatin1Char('.')));
        EXPECT_EQ(FloatText(back), text);
    }
    EXPECT_EQ(TailReal(max).toStdString(), " 1.18973149535723E+4932");
}

TEST(FloatText, TextPositions) {
    EXPECT_EQ(CommaPos(QStringLiteral("12.5")), 5);
    EXPECT_EQ(CommaPos(QStringLiteral("4,3")), 2);
    EXPECT_EQ(BlankPos(QString()), 1);
    EXPECT_EQ(BlankPos(QStringLiteral("1 2")), 2);
    EXPECT_EQ(TextLength(QStringLiteral("abc")), 3);
    EXPECT_EQ(vortn::ChangeFileExt(QStringLiteral("/a.b/job.vtd"), QStringLiteral(".vtm")).toStdString(), "/a.b/job.vtm");
    EXPECT_EQ(vortn::ChangeFileExt(QStringLiteral("/a.b/job"), QStringLiteral(".vtt")).toStdString(), "/a.b/job.vtt");
}

using ProgramDataTest = ProjectTest;

TEST_F(ProgramDataTest, NewProjectDefaults) {
    const TProgramData& p = P();
    EXPECT_EQ(p.UnitSystem, 2);
    EXPECT_EQ(p.FoundationWord.toStdString(), "HALF-SPACE");
    EXPECT_EQ(p.FootingType, 1);
    EXPECT_EQ(p.LoadingCode, 1);
    EXPECT_EQ(p.MatrixFlag, 1);
    EXPECT_EQ(p.WeakZoneFlag, 1);
    EXPECT_EQ(p.FixedFlag, 1);
    EXPECT_EQ(p.InteractionFlag, 1);
    EXPECT_EQ(p.BatteredFlag, 0);
    EXPECT_EQ(p.SideCapFlag, 0);
    EXPECT_EQ(p.FileName.toStdString(), "NewData.vtd");
    EXPECT_EQ(p.Title.toStdString(), "New Pile");
    EXPECT_EQ(H().Tables().size(), 13u);
    for (TGridTable* t : H().Tables()) {
        EXPECT_EQ(t->RowCount(), 1) << t->Name.toStdString();
        EXPECT_EQ(t->Units(), 2) << t->Name.toStdString();
        for (int c = 0; c < t->ColumnCount(); ++c)
            if (dynamic_cast<vortn::TFloatColumn*>(t->Columns(c))) {
                EXPECT_EQ(t->Cells(c, 0).AsFloat(), 0);
            }
    }
    EXPECT_FALSE(H().IsModified());
}

TEST_F(ProgramDataTest, NewAndOpenReplaceTheProjectWhole) {
    const TProgramData* first = &P();
    P().Title = QStringLiteral("changed");
    H().D().SetRowCount(4);
    H().NewProject();
    EXPECT_EQ(P().Title.toStdString(), "New Pile");
    EXPECT_EQ(H().D().RowCount(), 1);
    EXPECT_EQ(&vortn::ProgramData(), &P());
    (void)first;
}

TEST_F(ProgramDataTest, ModifiedFlagClearsTheTablesToo) {
    H().SetModified(true);
    EXPECT_TRUE(H().IsModified());
    H().SetModified(false);
    EXPECT_FALSE(H().IsModified());
    H().D().SetModified(true);
    EXPECT_TRUE(H().IsModified());
    H().SetModified(false);
    EXPECT_FALSE(H().D().Modified());
}

// Every converted field, with distinct values.
std::vector<Extended*> ConvertedFields(TProgramData& p) {
    return {&p.Radius, &p.Length, &p.Width, &p.Xc, &p.Yc, &p.Zc, &p.CGx, &p.CGy, &p.CGz, &p.CBX, &p.CBY,
            &p.CBZ, &p.CBx, &p.CBy, &p.CBz, &p.BaseDepth, &p.BedRockDepth, &p.PileLength, &p.LoadX, &p.LoadY,
            &p.LoadZ, &p.SoilVelocity, &p.SoilUnitWeight, &p.PileUnitWeight, &p.PileModulus, &p.StaticLoad,
            &p.TotalMass, &p.Ix, &p.Iy, &p.Iz, &p.Ixy, &p.Ixz, &p.Iyz, &p.Fx, &p.Fy, &p.Fz, &p.Mx, &p.My, &p.Mz};
}

TEST_F(ProgramDataTest, SameUnitSystemChangesNothing) {
    auto fields = ConvertedFields(P());
    for (size_t i = 0; i < fields.size(); ++i) *fields[i] = 1.25L + i;
    H().D().Cells(0, 0).SetAsFloat(150);
    P().SetUnits(2);
    for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(*fields[i], 1.25L + i);
    EXPECT_EQ(H().D().Cells(0, 0).AsFloat(), 150);
}

TEST_F(ProgramDataTest, EnglishToSIToEnglishRestoresEveryValue) {
    for (int quadratic : {0, 1}) {
        P().SetUnits(1);
        P().QuadraticFlag = quadratic;
        auto fields = ConvertedFields(P());
        for (size_t i = 0; i < fields.size(); ++i) *fields[i] = 3.7L * (i + 1);
        H().D1().Cells(0, 0).SetAsFloat(12.5);
        P().SetUnits(2);
        EXPECT_EQ(P().UnitSystem, 2);
        P().SetUnits(1);
        EXPECT_EQ(P().UnitSystem, 1);
        for (size_t i = 0; i < fields.size(); ++i)
            EXPECT_NEAR(double(*fields[i] / (3.7L * (i + 1))), 1.0, 1e-15) << "field " << i;
        EXPECT_NEAR(double(H().D1().Cells(0, 0).AsFloat()), 12.5, 1e-12);
    }
}

TEST_F(ProgramDataTest, FactorsByDimension) {
    P().SetUnits(1);
    TProgramData& p = P();
    p.Length = 1;
    p.SoilUnitWeight = 1;
    p.PileModulus = 1;
    p.StaticLoad = 1;
    p.TotalMass = 1;
    p.Ix = 1;
    p.QuadraticFlag = 1;
    p.Fx = 1;
    p.Mx = 1;
    p.SetUnits(2);
    const long double f = 1 / 224.8089237L, L = 1 / 3.280839895L, M = 1 / 68.364249L;
    EXPECT_NEAR(double(p.Length), 0.3048, 1e-9);
    EXPECT_NEAR(double(p.SoilUnitWeight / (f / (L * L * L))), 1, 1e-15);
    EXPECT_NEAR(double(p.PileModulus / (f / (L * L))), 1, 1e-15);
    EXPECT_NEAR(double(p.StaticLoad / f), 1, 1e-15);
    EXPECT_NEAR(double(p.TotalMass / M), 1, 1e-15);
    EXPECT_NEAR(double(p.Ix / (M * L * L)), 1, 1e-15);
    // A force coefficient of 1 slug-ft becomes 1/68.364249 x 1/3.280839895 Mg-m.
    EXPECT_NEAR(double(p.Fx / (1 / 68.364249L / 3.280839895L)), 1, 1e-15);
    EXPECT_NEAR(double(p.Mx / (M * L * L)), 1, 1e-15);
    // Non-quadratic loads are forces and moments.
    p.QuadraticFlag = 0;
    p.Fx = 1;
    p.Mx = 1;
    p.SetUnits(1);
    EXPECT_NEAR(double(p.Fx), 224.8089237, 1e-9);
    EXPECT_NEAR(double(p.Mx), 224.8089237 * 3.280839895, 1e-9);
}

TEST_F(ProgramDataTest, TargetIsClamped) {
    P().SetUnits(7);
    EXPECT_EQ(P().UnitSystem, 2);
    P().SetUnits(-1);
    EXPECT_EQ(P().UnitSystem, 1);
    EXPECT_EQ(H().D().Units(), 1);
}

TEST_F(ProgramDataTest, UnitChangeRefreshesOpenDialogs) {
    int refreshed = 0;
    H().OnRefreshOpenDialogs = [&] { ++refreshed; };
    P().SetUnits(1);
    EXPECT_EQ(refreshed, 1);
    int closed = 0;
    H().OnCloseAllChildren = [&] { ++closed; };
    H().NewProject();
    EXPECT_EQ(closed, 1);
}

}  // namespace
}  // namespace project_test
