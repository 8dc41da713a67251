// Mass properties from the component table, and the two mass dialogs.
#include "dialog_fixture.h"
#include "grid_table.h"
#include "mass_dialogs.h"
#include "mass_properties.h"

namespace vortn::test {
namespace {

struct MassCase {
    const char* name;
    std::vector<TMassComponent> rows;
    TVector3 previousCG;
    TMassProperties expected;
};

void PrintTo(const MassCase& c, std::ostream* os) { *os << c.name; }

TMassProperties Expect(bool rows, Extended M, TVector3 cg, Extended Ix, Extended Iy, Extended Iz, Extended Ixy,
                       Extended Ixz, Extended Iyz) {
    TMassProperties r;
    r.hasRows = rows;
    r.totalMass = M;
    r.cg = cg;
    r.Ix = Ix;
    r.Iy = Iy;
    r.Iz = Iz;
    r.Ixy = Ixy;
    r.Ixz = Ixz;
    r.Iyz = Iyz;
    return r;
}

const MassCase kMassCases[] = {
    {"OneBlock", {{2, 1, 0, 0, 1, 2, 3}}, {9, 9, 9},
     Expect(true, 2, {1, 0, 0}, 2 * 13.0L / 12, 2 * 10.0L / 12, 2 * 5.0L / 12, 0, 0, 0)},
    // The X-Z product sums to -2 and is shown negated.
    {"TwoPointMasses", {{1, -1, 0, 1, 0, 0, 0}, {1, 1, 0, -1, 0, 0, 0}}, {9, 9, 9},
     Expect(true, 2, {0, 0, 0}, 2, 4, 2, 0, 2, 0)},
    {"ProductsWithZ", {{1, 1, 1, 1, 0, 0, 0}, {1, -1, -1, -1, 0, 0, 0}}, {0, 0, 0},
     Expect(true, 2, {0, 0, 0}, 4, 4, 4, 2, -2, -2)},
    {"EmptyTable", {}, {1, 2, 3}, Expect(false, 0, {1, 2, 3}, 0, 0, 0, 0, 0, 0)},
    // No mass: the C.G. stays, the sums are taken about it.
    {"ZeroMass", {{0, 5, 5, 5, 1, 1, 1}}, {1, 2, 3}, Expect(true, 0, {1, 2, 3}, 0, 0, 0, 0, 0, 0)},
    {"NegativeTotal", {{-1, 2, 0, 0, 0, 0, 0}}, {1, 0, 0}, Expect(true, -1, {1, 0, 0}, 0, -1, -1, 0, 0, 0)},
};

class MassPropertiesTest : public ::testing::TestWithParam<MassCase> {};

TEST_P(MassPropertiesTest, MatchesTheBlockFormulas) {
    const MassCase& c = GetParam();
    const TMassProperties r = ComputeMassProperties(c.rows, c.previousCG);
    const TMassProperties& e = c.expected;
    EXPECT_EQ(r.hasRows, e.hasRows);
    const Extended tol = 1e-15L;
    EXPECT_NEAR(double(r.totalMass), double(e.totalMass), tol);
    EXPECT_NEAR(double(r.cg.x), double(e.cg.x), tol);
    EXPECT_NEAR(double(r.cg.y), double(e.cg.y), tol);
    EXPECT_NEAR(double(r.cg.z), double(e.cg.z), tol);
    EXPECT_NEAR(double(r.Ix), double(e.Ix), tol);
    EXPECT_NEAR(double(r.Iy), double(e.Iy), tol);
    EXPECT_NEAR(double(r.Iz), double(e.Iz), tol);
    EXPECT_NEAR(double(r.Ixy), double(e.Ixy), tol);
    EXPECT_NEAR(double(r.Ixz), double(e.Ixz), tol);
    EXPECT_NEAR(double(r.Iyz), double(e.Iyz), tol);
}

INSTANTIATE_TEST_SUITE_P(Mass, MassPropertiesTest, ::testing::ValuesIn(kMassCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CentreOfBase, GlobalFrameHasItsOriginAtTheCGAndZReversed) {
    const TVector3 g = CentreOfBaseGlobal({0, 0, 0}, {0, 0, 1.5L});
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    EXPECT_EQ(g.z, 1.5L);
    const TVector3 h = CentreOfBaseGlobal({4, 5, 6}, {1, 2, 3});
    EXPECT_EQ(h.x, 3);
    EXPECT_EQ(h.y, 3);
    EXPECT_EQ(h.z, -3);
}

// ---- the dialogs

struct MassDialogCase {
    const char* name;
    TDialogKind kind;
    const char* calculate;  // button
    const char* total;
    const char* cbz;        // local C.B. z
    const char* cgz;        // C.G. z (display only)
    const char* productXZ;
};

class MassDialogTest : public DialogFixture, public ::testing::WithParamInterface<MassDialogCase> {
protected:
    void FillComponents() {
        TGridTable& t = holder->MassCal();
        t.SetRowCount(2);
        const Extended rows[2][7] = {{1, -1, 0, 1, 0, 0, 0}, {1, 1, 0, 2, 0, 0, 0}};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 7; ++c) t.Cells(c, r).SetAsFloat(rows[r][c]);
    }
};

TEST_P(MassDialogTest, CalculationFillsTheBoxesAndMovesTheBaseOnlyAfterIt) {
    const MassDialogCase& c = GetParam();
    FillComponents();
    auto* d = Open<TMassDialog>(c.kind);
    ASSERT_NE(d, nullptr);
    // Typing values and leaving never touches the base coordinates.
    Type(Box(d, c.total), QStringLiteral("40"));
    host->DeactivateActiveChild();
    EXPECT_EQ(P().TotalMass, 40);
    EXPECT_EQ(P().Zc, 0);

    Type(Box(d, c.cbz), QStringLiteral("0"));
    holder->SetModified(false);
    QTest::mouseClick(d->findChild<QPushButton*>(QString::fromLatin1(c.calculate)), Qt::LeftButton);
    EXPECT_TRUE(d->Computed());
    EXPECT_TRUE(holder->IsModified());
    EXPECT_EQ(Value(Box(d, c.total)), 2);
    EXPECT_EQ(Value(Box(d, c.cgz)), 1.5L);
    EXPECT_EQ(Value(Box(d, c.productXZ)), -1);  // -(sum m dz dx) = -(1*(-0.5)(-1) + 1*(0.5)(1))
    EXPECT_EQ(Value(Box(d, "DataEdit16")), 1.5L);
    EXPECT_EQ(P().Zc, 0);  // written at the next deactivation
    EXPECT_TRUE(d->Frame()->close());
    Settle();
    EXPECT_EQ(P().CGz, 1.5L);
    EXPECT_EQ(P().CBZ, 1.5L);
    EXPECT_EQ(P().Zc, 1.5L);
    EXPECT_EQ(P().Xc, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_P(MassDialogTest, AnInvalidCentreOfBaseComputesNothing) {
    const MassDialogCase& c = GetParam();
    FillComponents();
    auto* d = Open<TMassDialog>(c.kind);
    Type(Box(d, c.cbz), QStringLiteral("1/0"));
    QTest::mouseClick(d->findChild<QPushButton*>(QString::fromLatin1(c.calculate)), Qt::LeftButton);
    Settle();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(d->Computed());
    EXPECT_EQ(Value(Box(d, c.total)), 0);
    EXPECT_EQ(Value(Box(d, c.cgz)), 0);
}

INSTANTIATE_TEST_SUITE_P(Mass, MassDialogTest,
                         ::testing::Values(MassDialogCase{"Footing", TDialogKind::MassData, "Button1", "DataEdit1",
                                                          "DataEdit13", "DataEdit10", "DataEdit6"},
                                           MassDialogCase{"PileCap", TDialogKind::PileCapProperties, "Button2",
                                                          "DataEdit5", "DataEdit13", "DataEdit3", "DataEdit10"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vortn::test
