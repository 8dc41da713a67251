// Harmonic loads: the two frames of the point of application, the transfer
// to the C.G. and its message; transient and random data buttons.
#include "dialog_fixture.h"
#include "grid_table.h"
#include "load_dialogs.h"
#include "load_frames.h"

#include <QMessageBox>
#include <QRadioButton>
#include <tuple>

namespace vortn::test {
namespace {

const TFrameLink kLink{{1.5L, -2, 3.25L}, {0.5L, 0.75L, -1}};

// The frames of kLink, and the point (4, 5, 6).
void SetFramesAndPoint(TProgramData& p) {
    p.CBx = kLink.cbLocal.x;
    p.CBy = kLink.cbLocal.y;
    p.CBz = kLink.cbLocal.z;
    p.Xc = kLink.base.x;
    p.Yc = kLink.base.y;
    p.Zc = kLink.base.z;
    p.LoadX = 4;
    p.LoadY = 5;
    p.LoadZ = 6;
}

TEST(LoadFrames, RoundTripReturnsThePoint) {
    const TVector3 points[] = {{0, 0, 0}, {4, 5, 6}, {-1e3L, 2.5L, -0.125L}};
    for (const TVector3& p : points) {
        const TVector3 g = LocalToGlobal(p, kLink);
        const TVector3 back = GlobalToLocal(g, kLink);
        EXPECT_NEAR(double(back.x), double(p.x), 1e-12);
        EXPECT_NEAR(double(back.y), double(p.y), 1e-12);
        EXPECT_NEAR(double(back.z), double(p.z), 1e-12);
        const TVector3 l = GlobalToLocal(p, kLink);
        const TVector3 again = LocalToGlobal(l, kLink);
        EXPECT_NEAR(double(again.z), double(p.z), 1e-12);
    }
    // With the base from a mass computation the C.G. is the global origin.
    const TVector3 cg{2, 3, 4}, cb{1, 1, 0};
    const TFrameLink fromMass{cb, CentreOfBaseGlobal(cb, cg)};
    const TVector3 origin = LocalToGlobal(cg, fromMass);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(origin.z, 0);
}

struct TransferCase {
    const char* name;
    TVector3 F, M, P, expected;
};

const TransferCase kTransferCases[] = {
    {"VerticalForceOffsetInX", {0, 0, 10}, {1, 2, 3}, {1, 0, 0}, {1, 12, 3}},
    {"HorizontalForceAboveTheCG", {10, 0, 0}, {1, 2, 3}, {0, 0, 2}, {1, -18, 3}},
    {"AllComponents", {1, 2, 3}, {0, 0, 0}, {4, 5, 6}, {-(5 * 3 - 6 * 2), -(6 * 1 - 4 * 3), -(4 * 2 - 5 * 1)}},
};

class TransferTest : public ::testing::TestWithParam<TransferCase> {};

TEST_P(TransferTest, MomentsAboutTheCG) {
    const TransferCase& c = GetParam();
    const TVector3 m = MomentsAtCG(c.F, c.M, c.P);
    EXPECT_EQ(m.x, c.expected.x);
    EXPECT_EQ(m.y, c.expected.y);
    EXPECT_EQ(m.z, c.expected.z);
}

INSTANTIATE_TEST_SUITE_P(Loads, TransferTest, ::testing::ValuesIn(kTransferCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the dialogs

struct MessageCase {
    const char* name;
    TDialogKind kind;
    int units;
    const char* expected;
};

class TransferMessageTest : public DialogFixture, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(TransferMessageTest, ShowsTheEquivalentLoadsInTheProjectUnits) {
    const MessageCase& c = GetParam();
    holder->Project().SetUnits(c.units);
    TInputDialog* d = Open(c.kind);
    const char* values[] = {"DataEdit4", "0", "DataEdit5", "0", "DataEdit6", "10", "DataEdit7", "1",
                            "DataEdit8", "2", "DataEdit9", "3", "DataEdit10", "1", "DataEdit11", "0",
                            "DataEdit12", "0"};
    for (int i = 0; i < 18; i += 2) Type(Box(d, values[i]), QString::fromLatin1(values[i + 1]));
    holder->SetModified(false);
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromLatin1(c.expected));
    EXPECT_EQ(P().My, 0);  // nothing stored
    // Second case, the point given in the base frame: converted before the transfer.
    messages.clear();
    P().CBx = 0;
    P().CBz = 2;
    P().Zc = 0;
    auto* local = d->findChild<QRadioButton*>(QStringLiteral("RadioButton2"));
    Click(local);
    EXPECT_TRUE(local->isChecked());
    Type(Box(d, "DataEdit4"), QStringLiteral("10"));
    Type(Box(d, "DataEdit6"), QStringLiteral("0"));
    Type(Box(d, "DataEdit10"), QStringLiteral("0"));
    Type(Box(d, "DataEdit12"), QStringLiteral("0"));  // local z 0 is global Z = -2
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("y: 22 "))) << messages[0].toStdString();
    EXPECT_EQ(Value(Box(d, "DataEdit12")), 0);  // the boxes keep their values
}

INSTANTIATE_TEST_SUITE_P(
    Loads, TransferMessageTest,
    ::testing::Values(
        MessageCase{"NonQuadraticEnglish", TDialogKind::Harmonic, 1,
                    "Equivalent Loads.\n\nFx: 0 lbs\nFy: 0 lbs\nFz: 10 lbs\nMx: 1 lbs-ft\nMy: 12 lbs-ft\nMz: 3 lbs-ft\n"},
        MessageCase{"NonQuadraticSI", TDialogKind::Harmonic, 2,
                    "Equivalent Loads.\n\nFx: 0 kN\nFy: 0 kN\nFz: 10 kN\nMx: 1 kN-m\nMy: 12 kN-m\nMz: 3 kN-m\n"},
        MessageCase{"QuadraticEnglish", TDialogKind::Quadratic, 1,
                    "Equivalent Coeffs.\n\nFcx: 0 slug-ft\nFcy: 0 slug-ft\nFcz: 10 slug-ft\nMcx: 1 slug-ft^2\n"
                    "Mcy: 12 slug-ft^2\nMcz: 3 slug-ft^2\n"},
        MessageCase{"QuadraticSI", TDialogKind::Quadratic, 2,
                    "Equivalent Coeffs.\n\nFcx: 0 Mg-m\nFcy: 0 Mg-m\nFcz: 10 Mg-m\nMcx: 1 Mg-m^2\nMcy: 12 Mg-m^2\n"
                    "Mcz: 3 Mg-m^2\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogFixture, SwitchingTheReferenceBackAndForthReturnsThePoint) {
    SetFramesAndPoint(P());
    auto* d = Open<THarmonicDialog>(TDialogKind::Harmonic);
    auto* global = d->findChild<QRadioButton*>(QStringLiteral("RadioButton1"));
    auto* local = d->findChild<QRadioButton*>(QStringLiteral("RadioButton2"));
    EXPECT_TRUE(global->isChecked());
    Click(global);  // already checked: nothing converts
    EXPECT_EQ(Value(Box(d, "DataEdit10")), 4);

    Click(local);
    const TVector3 l = GlobalToLocal({4, 5, 6}, kLink);
    EXPECT_EQ(Value(Box(d, "DataEdit10")), l.x);
    EXPECT_EQ(Value(Box(d, "DataEdit12")), l.z);
    EXPECT_EQ(Box(d, "DataEdit10")->Caption(), QStringLiteral("x-coordinate"));
    EXPECT_TRUE(Box(d, "DataEdit10")->EditLabel()->text().startsWith(QStringLiteral("x-coordinate")));
    Click(global);
    EXPECT_NEAR(double(Value(Box(d, "DataEdit10"))), 4, 1e-15);
    EXPECT_NEAR(double(Value(Box(d, "DataEdit11"))), 5, 1e-15);
    EXPECT_NEAR(double(Value(Box(d, "DataEdit12"))), 6, 1e-15);
    EXPECT_EQ(Box(d, "DataEdit12")->Caption(), QStringLiteral("Z-coordinate"));
}

TEST_F(DialogFixture, AnInvalidPointKeepsTheReferenceAndCaptions) {
    auto* d = Open<THarmonicDialog>(TDialogKind::Harmonic);
    Type(Box(d, "DataEdit11"), QStringLiteral("ln(0)"));
    auto* local = d->findChild<QRadioButton*>(QStringLiteral("RadioButton2"));
    Click(local);
    Settle();
    EXPECT_EQ(messages.size(), 1) << messages.join(" | ").toStdString();
    EXPECT_FALSE(local->isChecked());
    EXPECT_EQ(d->ShownFrame(), 0);
    EXPECT_EQ(Box(d, "DataEdit10")->Caption(), QStringLiteral("X-coordinate"));
    EXPECT_EQ(Value(Box(d, "DataEdit10")), 0);
}

TEST_F(DialogFixture, BothHarmonicDialogsOpenConvertThePointOnlyOnce) {
    SetFramesAndPoint(P());
    P().LoadReference = 1;
    auto* harmonic = Open<THarmonicDialog>(TDialogKind::Harmonic);
    // The first activation shows the stored point in the base frame as it is.
    EXPECT_EQ(Value(Box(harmonic, "DataEdit12")), 6);
    EXPECT_EQ(Box(harmonic, "DataEdit12")->Caption(), QStringLiteral("z-coordinate"));
    auto* quad = Open<THarmonicDialog>(TDialogKind::Quadratic);
    EXPECT_EQ(Value(Box(quad, "DataEdit12")), 6);
    EXPECT_TRUE(quad->findChild<QRadioButton*>(QStringLiteral("RadioButton2"))->isChecked());
    for (int i = 0; i < 3; ++i) {
        host->WindowActivated(harmonic);
        host->WindowActivated(quad);
    }
    EXPECT_EQ(P().LoadZ, 6);
    EXPECT_EQ(P().LoadReference, 1);

    // One dialog converts to the C.G. frame; the other then shows that point.
    host->WindowActivated(harmonic);
    Click(harmonic->findChild<QRadioButton*>(QStringLiteral("RadioButton1")));
    host->WindowActivated(quad);
    const TVector3 g = LocalToGlobal({4, 5, 6}, kLink);
    EXPECT_EQ(P().LoadReference, 0);
    EXPECT_EQ(P().LoadZ, g.z);
    EXPECT_EQ(Value(Box(quad, "DataEdit12")), g.z);
    EXPECT_TRUE(quad->findChild<QRadioButton*>(QStringLiteral("RadioButton1"))->isChecked());
    host->WindowActivated(harmonic);
    EXPECT_EQ(P().LoadZ, g.z);
    EXPECT_EQ(Value(Box(harmonic, "DataEdit12")), g.z);
}

TEST_F(DialogFixture, QuadraticDialogIsATopLevelWindowOfTheMainWindow) {
    TInputDialog* quad = Open(TDialogKind::Quadratic);
    EXPECT_TRUE(quad->isWindow());
    EXPECT_EQ(quad->parentWidget(), window.get());
    EXPECT_FALSE(quad->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
    // Its boxes mark the project modified like every other dialog's.
    holder->SetModified(false);
    Type(Box(quad, "DataEdit4"), QStringLiteral("3"));
    EXPECT_TRUE(holder->IsModified());
}

struct DataButtonCase {
    const char* name;
    TDialogKind kind;
    const char* table;
};

class DataButtonTest : public DialogFixture, public ::testing::WithParamInterface<DataButtonCase> {};

TEST_P(DataButtonTest, ShowsTheLoadTable) {
    const DataButtonCase& c = GetParam();
    TInputDialog* d = Open(c.kind);
    TGridTable* t = holder->TableByName(QString::fromLatin1(c.table));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Editor(), nullptr);
    QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    Settle();
    EXPECT_NE(t->Editor(), nullptr);
    EXPECT_TRUE(messages.isEmpty());
    t->CloseEditor();
}

INSTANTIATE_TEST_SUITE_P(Loads, DataButtonTest,
                         ::testing::Values(DataButtonCase{"Transient", TDialogKind::Transient, "TLoadtype"},
                                           DataButtonCase{"Random", TDialogKind::Random, "Trandom"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The count boxes take only what the project file's reader takes back.
struct CountBoxCase {
    const char* name;
    TDialogKind kind;
    const char* box;
    const char* typed;
    const char* message;
    double kept;
};

void PrintTo(const CountBoxCase& c, std::ostream* os) { *os << c.name; }

class CountBoxTest : public DialogFixture, public ::testing::WithParamInterface<CountBoxCase> {};

TEST_P(CountBoxTest, RefusesWhatTheReaderRefuses) {
    const CountBoxCase& c = GetParam();
    TInputDialog* d = Open(c.kind);
    ASSERT_NE(d, nullptr);
    TDataEdit* box = Box(d, c.box);
    Type(box, QString::fromLatin1(c.typed));
    EXPECT_FALSE(box->ValidateEntry());
    EXPECT_EQ(messages, QStringList{QString::fromLatin1(c.message)});
    EXPECT_EQ(double(Value(box)), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
        Loads, CountBoxTest,
        ::testing::Values(CountBoxCase{"NegativeTransientPoints", TDialogKind::Transient, "DataEdit1", "-5",
                                       "Entry must be greater than or equal to 0", 0},
                          CountBoxCase{"TooManyTransientPoints", TDialogKind::Transient, "DataEdit1", "100001",
                                       "Entry must be less than or equal to 100000", 100000},
                          CountBoxCase{"NegativeLoadTypes", TDialogKind::Transient, "DataEdit3", "-1",
                                       "Entry must be greater than or equal to 0", 0},
                          CountBoxCase{"NegativeRandomPoints", TDialogKind::Random, "DataEdit3", "-5",
                                       "Entry must be greater than or equal to 0", 0},
                          CountBoxCase{"TooManyRandomPoints", TDialogKind::Random, "DataEdit3", "1e6",
                                       "Entry must be less than or equal to 100000", 100000},
                          CountBoxCase{"NegativeSpectra", TDialogKind::Random, "DataEdit5", "-2",
                                       "Entry must be greater than or equal to 0", 0}),
        [](const auto& info) { return std::string(info.param.name); });

// Fewer points than values typed: the values past the new count would not
// be written, so the dialog asks; No keeps the count (and the values in the
// file), Yes takes the new one.
struct FewerPointsCase {
    const char* name;
    TDialogKind kind;
    const char* table;
    const char* box;
    const char* values;
};

void PrintTo(const FewerPointsCase& c, std::ostream* os) { *os << c.name; }

class FewerPointsTest : public DialogFixture,
                        public ::testing::WithParamInterface<std::tuple<FewerPointsCase, bool>> {};

TEST_P(FewerPointsTest, AsksBeforeValuesAreLeftOut) {
    const auto& [c, yes] = GetParam();
    P().SetLoading(c.kind == TDialogKind::Transient ? TLoadingType::Transient : TLoadingType::Random);
    P().NumberOfPoints = 8;
    TGridTable* t = holder->TableByName(QString::fromLatin1(c.table));
    ASSERT_NE(t, nullptr);
    t->SetRowCount(2);
    for (int r = 0; r < 2; ++r) {
        TGridTable* sub = t->Cells(1, r).AsObject();
        ASSERT_NE(sub, nullptr);
        sub->SetRowCount(8);
        for (int k = 0; k < 8; ++k) sub->Cells(0, k).SetAsFloat(r == 0 && k < 6 ? k + 1 : 0);
    }
    QStringList questions;
    SetMessageHook([&](const TMessageRequest& r) {
        if (r.kind == TMessageKind::Question) {
            questions << r.text;
            EXPECT_EQ(r.defaultButton, int(QMessageBox::No));
            return int(yes ? QMessageBox::Yes : QMessageBox::No);
        }
        messages << r.text;
        return int(QMessageBox::Ok);
    });
    TInputDialog* d = Open(c.kind);
    ASSERT_NE(d, nullptr);
    TDataEdit* box = Box(d, c.box);
    // Down to 6: every typed value still goes into the file.
    Type(box, QStringLiteral("6"));
    EXPECT_TRUE(d->Deactivate());
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_EQ(P().NumberOfPoints, 6);
    // Down to 4: values 5 and 6 would be left out.
    Type(box, QStringLiteral("4"));
    EXPECT_TRUE(d->Deactivate());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0].toStdString(), QStringLiteral("With 4 points the %1 5 to 6 are not saved.\rDo you want "
                                                         "to reduce the number of points to 4?")
                                                  .arg(QString::fromLatin1(c.values))
                                                  .toStdString());
    EXPECT_EQ(P().NumberOfPoints, yes ? 4 : 6);
    EXPECT_EQ(double(Value(box)), yes ? 4.0 : 6.0);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
        Loads, FewerPointsTest,
        ::testing::Combine(::testing::Values(FewerPointsCase{"Transient", TDialogKind::Transient, "TLoadtype",
                                                             "DataEdit1", "load amplitudes"},
                                             FewerPointsCase{"Random", TDialogKind::Random, "Trandom", "DataEdit3",
                                                             "spectrum values"}),
                           ::testing::Bool()),
        [](const auto& info) {
            return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Yes" : "No");
        });

}  // namespace
}  // namespace vortn::test
