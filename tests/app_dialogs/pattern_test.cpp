// The dialog pattern, the same for every input dialog: one instance per
// open flag, loading without marking, user edits marking, all-or-nothing
// write-back, the one-message guard on deactivation and close.
#include "dialog_fixture.h"
#include "patience.h"

#include <QDir>
#include <QLabel>
#include <QtTest/QTest>
#include <functional>

#ifndef VORTN_SCREENSHOT_DIR
#define VORTN_SCREENSHOT_DIR "."
#endif

namespace vortn::test {
namespace {

using Field = std::function<Extended&(TProgramData&)>;

struct PatternCase {
    const char* name;
    TDialogKind kind;
    const char* box;  // the box under test
    Field field;
    const char* other;  // a second box of the same dialog
    Field otherField;
};

void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }

#define FIELD(f) [](TProgramData& p) -> Extended& { return p.f; }

const PatternCase kPatternCases[] = {
        {"Shape", TDialogKind::Shape, "DataEdit2", FIELD(Length), "DataEdit3", FIELD(Width)},
        {"FoundationData", TDialogKind::FoundationData, "DataEdit1", FIELD(Xc), "DataEdit5", FIELD(BedRockDepth)},
        {"SoilBelow", TDialogKind::SoilBelow, "DataEdit3", FIELD(SoilPoisson), "DataEdit4", FIELD(SoilDamping)},
        {"MassData", TDialogKind::MassData, "DataEdit11", FIELD(CBx), "DataEdit1", FIELD(TotalMass)},
        {"PileCap", TDialogKind::PileCapProperties, "DataEdit4", FIELD(CBx), "DataEdit5", FIELD(TotalMass)},
        {"PileProperties", TDialogKind::PileProperties, "DataEdit8", FIELD(PileLength), "DataEdit7",
         FIELD(PileModulus)},
        {"FoundationProperties", TDialogKind::FoundationProperties, "DataEdit9", FIELD(ShearCoefficient), "DataEdit1",
         FIELD(Xc)},
        {"Harmonic", TDialogKind::Harmonic, "DataEdit4", FIELD(Fx), "DataEdit1", FIELD(MaxFrequency)},
        {"Quadratic", TDialogKind::Quadratic, "DataEdit7", FIELD(Mx), "DataEdit12", FIELD(LoadZ)},
        {"Transient", TDialogKind::Transient, "DataEdit2", FIELD(TimeInterval), "DataEdit2", FIELD(TimeInterval)},
        {"Random", TDialogKind::Random, "DataEdit4", FIELD(ObservationPeriod), "DataEdit1", FIELD(RandomMaxFrequency)},
};

class PatternTest : public DialogFixture, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(PatternTest, OneInstancePerOpenFlagAndANewOneAfterClose) {
    const PatternCase& c = GetParam();
    TInputDialog* d = Open(c.kind);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(host->IsOpen(c.kind));
    EXPECT_EQ(Open(c.kind), d);
    EXPECT_EQ(mdi->subWindowList().size() + (d->TopLevel() ? 1 : 0), 1);

    Type(Box(d, c.box), QStringLiteral("12"));
    EXPECT_TRUE(d->Frame()->close());
    Settle();
    EXPECT_FALSE(host->IsOpen(c.kind));
    EXPECT_EQ(host->Dialog(c.kind), nullptr);
    EXPECT_EQ(c.field(P()), 12);

    TInputDialog* again = Open(c.kind);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Value(Box(again, c.box)), 12);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
}

TEST_P(PatternTest, ActivationLoadsWithoutMarkingAndAnEditMarks) {
    const PatternCase& c = GetParam();
    c.field(P()) = 7.25L;
    holder->SetModified(false);
    TInputDialog* d = Open(c.kind);
    EXPECT_EQ(Value(Box(d, c.box)), 7.25L);
    host->RefreshOpenDialogs();
    host->DeactivateActiveChild();
    EXPECT_FALSE(holder->IsModified());

    Type(Box(d, c.box), QStringLiteral("2*3"));
    EXPECT_TRUE(holder->IsModified());
    host->DeactivateActiveChild();
    EXPECT_EQ(c.field(P()), 6);
}

class InvalidEntryTest : public DialogFixture,
                         public ::testing::WithParamInterface<std::tuple<PatternCase, const char*>> {};

TEST_P(InvalidEntryTest, KeepsTheDialogWritesNothingAndShowsOneMessage) {
    const auto& [c, text] = GetParam();
    TInputDialog* d = Open(c.kind);
    TDataEdit* other = Box(d, c.other);
    TDataEdit* box = Box(d, c.box);
    const bool twoBoxes = other != box;
    if (twoBoxes) {
        Type(other, QStringLiteral("5"));
        box->setFocus(Qt::TabFocusReason);  // leaving `other` checks it: valid
    }
    Type(box, QString::fromLatin1(text));

    host->DeactivateActiveChild();
    Settle();
    EXPECT_EQ(messages.size(), 1) << messages.join(" | ").toStdString();
    EXPECT_EQ(c.field(P()), 0);
    if (twoBoxes) {
        EXPECT_EQ(c.otherField(P()), 0);                // all or nothing
        EXPECT_EQ(other->text(), QStringLiteral("5"));  // the other entry stays as typed
    }
    EXPECT_EQ(box->text(), QString::fromLatin1(text));
    EXPECT_EQ(d->focusWidget(), box);

    // Closing is refused; the entry already had its message.
    EXPECT_FALSE(d->Frame()->close());
    Settle();
    EXPECT_TRUE(host->IsOpen(c.kind));
    EXPECT_EQ(messages.size(), 1);

    Type(box, QStringLiteral("4"));
    EXPECT_TRUE(d->Frame()->close());
    Settle();
    EXPECT_FALSE(host->IsOpen(c.kind));
    EXPECT_EQ(c.field(P()), 4);
    if (twoBoxes) {
        EXPECT_EQ(c.otherField(P()), 5);
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, PatternTest, ::testing::ValuesIn(kPatternCases),
                         [](const auto& info) { return std::string(info.param.name); });
std::string InvalidEntryName(const ::testing::TestParamInfo<std::tuple<PatternCase, const char*>>& info) {
    static const std::pair<const char*, const char*> names[] = {
            {"1/0", "DivideByZero"}, {"ln(0)", "LogZero"}, {"nosuchname", "UnknownName"}, {"2+", "Unfinished"}};
    std::string kind = "Other";
    for (const auto& [text, name] : names)
        if (std::string(text) == std::get<1>(info.param)) kind = name;
    return std::string(std::get<0>(info.param).name) + "_" + kind;
}

INSTANTIATE_TEST_SUITE_P(Dialogs, InvalidEntryTest,
                         ::testing::Combine(::testing::ValuesIn(kPatternCases),
                                            ::testing::Values("1/0", "ln(0)", "nosuchname", "2+")),
                         InvalidEntryName);

// ---- whole numbers

struct RoundCase {
    const char* text;
    int expected;
};

class RoundingTest : public DialogFixture, public ::testing::WithParamInterface<RoundCase> {};

TEST_P(RoundingTest, WholeNumberFieldsRoundToNearestTiesToEven) {
    TDataEdit box;
    box.setText(QString::fromLatin1(GetParam().text));
    int field = -99;
    TFieldList fields;
    fields.Integer(&box, field);
    EXPECT_EQ(fields.Store(), nullptr);
    EXPECT_EQ(field, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, RoundingTest,
                         ::testing::Values(RoundCase{"2.5", 2}, RoundCase{"3.5", 4}, RoundCase{"-2.5", -2},
                                           RoundCase{"7/2", 4}, RoundCase{"2.51", 3}, RoundCase{"1e12", 2147483647}));

TEST_F(DialogFixture, CountsOfTheTransientDialogAreWholeNumbersSharedWithTheRandomDialog) {
    TInputDialog* t = Open(TDialogKind::Transient);
    Type(Box(t, "DataEdit1"), QStringLiteral("2.5"));
    host->DeactivateActiveChild();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Entry must be an integer.")});
    EXPECT_EQ(P().NumberOfPoints, 0);
    messages.clear();
    Type(Box(t, "DataEdit1"), QStringLiteral("64"));
    Type(Box(t, "DataEdit3"), QStringLiteral("2"));
    EXPECT_TRUE(t->Frame()->close());
    Settle();
    EXPECT_EQ(P().NumberOfPoints, 64);
    EXPECT_EQ(P().NumberOfLoadTypes, 2);
    TInputDialog* r = Open(TDialogKind::Random);
    EXPECT_EQ(Value(Box(r, "DataEdit3")), 64);
    EXPECT_EQ(Value(Box(r, "DataEdit5")), 2);
    EXPECT_TRUE(messages.isEmpty());
}

// ---- MDI activation order

TEST_F(DialogFixture, SwitchingChildrenWritesBackOrBringsTheInvalidDialogBackWithOneMessage) {
    TInputDialog* shape = Open(TDialogKind::Shape);
    TInputDialog* data = Open(TDialogKind::FoundationData);
    auto* shapeFrame = qobject_cast<QMdiSubWindow*>(shape->Frame());
    auto* dataFrame = qobject_cast<QMdiSubWindow*>(data->Frame());
    ASSERT_TRUE(shapeFrame && dataFrame);

    mdi->setActiveSubWindow(shapeFrame);
    Settle();
    Type(Box(shape, "DataEdit2"), QStringLiteral("3"));
    mdi->setActiveSubWindow(dataFrame);
    Settle();
    EXPECT_EQ(P().Length, 3);
    EXPECT_EQ(host->ActiveDialog(), data);

    mdi->setActiveSubWindow(shapeFrame);
    Settle();
    Type(Box(shape, "DataEdit2"), QStringLiteral("1/0"));
    mdi->setActiveSubWindow(dataFrame);
    Settle();
    EXPECT_EQ(messages.size(), 1) << messages.join(" | ").toStdString();
    EXPECT_EQ(mdi->activeSubWindow(), shapeFrame);
    EXPECT_EQ(host->ActiveDialog(), shape);
    EXPECT_EQ(P().Length, 3);
    EXPECT_EQ(Box(shape, "DataEdit2")->text(), QStringLiteral("1/0"));
}

TEST_F(DialogFixture, AnotherWindowTakingTheFocusChecksNothingAndComingBackKeepsTheEntry) {
    TInputDialog* d = Open(TDialogKind::SoilBelow);
    TDataEdit* box = Box(d, "DataEdit1");
    Type(box, QStringLiteral("1/0"));
    QWidget other;  // as another application's window would
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, kPatienceMs));
    Settle();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), kPatienceMs));
    Settle();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    EXPECT_EQ(box->text(), QStringLiteral("1/0"));
    EXPECT_EQ(host->ActiveDialog(), d);
    host->DeactivateActiveChild();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(P().SoilVelocity, 0);
}

TEST_F(DialogFixture, ComingBackToTheSameDialogKeepsItsUnsavedEntries) {
    TInputDialog* d = Open(TDialogKind::SoilBelow);
    Type(Box(d, "DataEdit1"), QStringLiteral("150"));
    // What an application switch does: no child is active for a while.
    emit mdi->subWindowActivated(nullptr);
    host->WindowActivated(d);
    EXPECT_EQ(Box(d, "DataEdit1")->text(), QStringLiteral("150"));
    EXPECT_EQ(P().SoilVelocity, 0);
}

// ---- a unit switch

TEST_F(DialogFixture, ConvertedValuesShowTheDigitsTheFileKeepsAndPassingThroughKeepsThem) {
    holder->OnRefreshOpenDialogs = [this] { host->RefreshOpenDialogs(); };
    P().SoilVelocity = 250;   // m/s
    P().SoilUnitWeight = 19;  // kN/m^3
    P().SoilPoisson = 0.35L;
    TInputDialog* d = Open(TDialogKind::SoilBelow);
    P().SetUnits(1);
    // 250 x 3.280839895 and 19 x 224.8089237 / 3.280839895^3, as the file keeps them.
    EXPECT_EQ(Box(d, "DataEdit1")->text().toStdString(), "820.20997");
    EXPECT_EQ(Box(d, "DataEdit2")->text().toStdString(), "120.95172");
    EXPECT_EQ(Box(d, "DataEdit3")->text().toStdString(), "0.35");
    // Passing through the boxes and leaving the dialog keeps every value.
    const Extended weight = P().SoilUnitWeight;
    Box(d, "DataEdit2")->setFocus(Qt::OtherFocusReason);
    Box(d, "DataEdit1")->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(d->Deactivate());
    EXPECT_EQ(P().SoilUnitWeight, weight);
    P().SetUnits(2);
    EXPECT_NEAR(double(P().SoilUnitWeight / 19), 1, 1e-15);
    EXPECT_EQ(Box(d, "DataEdit2")->text().toStdString(), "19");
    // A value typed is written as its box shows it, with up to 18 digits.
    Type(Box(d, "DataEdit2"), QStringLiteral("1/3"));
    ASSERT_TRUE(d->Deactivate());
    EXPECT_EQ(Box(d, "DataEdit2")->text().toStdString(), "0.333333333333333333");
    EXPECT_EQ(P().SoilUnitWeight, Value(Box(d, "DataEdit2")));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
}

// ---- New and Open

TEST_F(DialogFixture, NewForceClosesEveryDialogWithoutCheckOrWriteBack) {
    TInputDialog* quad = Open(TDialogKind::Quadratic);
    Type(Box(quad, "DataEdit4"), QStringLiteral("9"));
    TInputDialog* mass = Open(TDialogKind::MassData);
    Type(Box(mass, "DataEdit1"), QStringLiteral("8"));
    TInputDialog* shape = Open(TDialogKind::Shape);
    Type(Box(shape, "DataEdit2"), QStringLiteral("1/0"));
    EXPECT_FALSE(shape->Frame()->close());  // this one refuses to close
    Settle();
    ASSERT_EQ(messages.size(), 1);
    holder->SetModified(false);

    holder->NewProject();
    Settle();
    for (TDialogKind k : {TDialogKind::Shape, TDialogKind::Quadratic, TDialogKind::MassData}) {
        EXPECT_FALSE(host->IsOpen(k));
        EXPECT_EQ(host->Dialog(k), nullptr);
    }
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(P().Fx, 0);
    EXPECT_EQ(P().TotalMass, 0);
    EXPECT_FALSE(holder->IsModified());

    // The next dialog works on the new project.
    TInputDialog* again = Open(TDialogKind::Shape);
    Type(Box(again, "DataEdit2"), QStringLiteral("2"));
    host->DeactivateActiveChild();
    EXPECT_EQ(P().Length, 2);
}

TEST_F(DialogFixture, EveryFormShowsItsBoxesOnTheWindowBackground) {
    QDir().mkpath(QStringLiteral(VORTN_SCREENSHOT_DIR));
    for (int k = 0; k < kDialogKindCount; ++k) {
        TInputDialog* d = Open(TDialogKind(k));
        ASSERT_NE(d, nullptr);
        const QImage shot = d->grab().toImage();
        const QString name = d->metaObject()->className();
        ASSERT_TRUE(shot.save(
                QStringLiteral(VORTN_SCREENSHOT_DIR "/dialog_%1.png").arg(name.section(QLatin1String("::"), -1))));
        const QColor window = d->palette().color(QPalette::Window);
        EXPECT_EQ(QColor(shot.pixel(2, 2)), window) << name.toStdString();
        const QList<TDataEdit*> boxes = d->findChildren<TDataEdit*>();
        for (TDataEdit* box : boxes) {
            if (!box->isVisible() || !box->isEnabled()) continue;
            const QPoint inside = box->mapTo(d, QPoint(box->width() - 4, box->height() / 2));
            EXPECT_EQ(QColor(shot.pixel(inside)), box->palette().color(QPalette::Base))
                    << name.toStdString() << " " << box->objectName().toStdString();
        }
        d->Frame()->close();
        Settle();
    }
}

// A user edit of any numeric box of any dialog calls its change handler,
// which marks the project modified; loading the boxes marks nothing.
TEST_F(DialogFixture, EveryNumericBoxMarksTheProjectModifiedWhenTheUserEditsIt) {
    for (int k = 0; k < kDialogKindCount; ++k) {
        TInputDialog* d = Open(TDialogKind(k));
        ASSERT_NE(d, nullptr);
        const std::string name = d->metaObject()->className();
        for (TDataEdit* box : d->findChildren<TDataEdit*>()) {
            holder->SetModified(false);
            d->Activate();
            EXPECT_FALSE(holder->IsModified()) << name;
            emit box->textEdited(box->text());
            EXPECT_TRUE(holder->IsModified()) << name << " " << box->objectName().toStdString();
        }
        d->Frame()->close();
        Settle();
    }
}

TEST_F(DialogFixture, EveryFormBuildsWithALabelForEachBox) {
    for (int k = 0; k < kDialogKindCount; ++k) {
        std::unique_ptr<TInputDialog> d;
        EXPECT_NO_THROW(d.reset(CreateInputDialog(*host, TDialogKind(k)))) << k;
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Kind(), TDialogKind(k));
        for (TDataEdit* box : d->findChildren<TDataEdit*>()) {
            EXPECT_FALSE(box->Caption().isEmpty()) << box->objectName().toStdString();
            ASSERT_NE(box->EditLabel(), nullptr) << box->objectName().toStdString();
            EXPECT_TRUE(box->EditLabel()->text().startsWith(box->Caption()));
        }
    }
}

TEST_F(DialogFixture, EveryMnemonicOfALabelReachesItsBox) {
    // A label with "&" shows the letter underlined, not the "&", and
    // Alt+letter moves the focus to the box it names.
    window->activateWindow();
    for (int k = 0; k < kDialogKindCount; ++k) {
        TInputDialog* d = Open(TDialogKind(k));
        ASSERT_NE(d, nullptr);
        Settle();
        for (QLabel* label : d->findChildren<QLabel*>()) {
            const QString text = label->text();
            const int amp = int(text.indexOf(QLatin1Char('&')));
            if (amp < 0 || amp + 1 >= text.size() || text.at(amp + 1) == QLatin1Char('&')) continue;
            const std::string name = d->objectName().toStdString() + " " + label->objectName().toStdString();
            ASSERT_NE(label->buddy(), nullptr) << name;
            if (!label->isVisible() || !label->buddy()->isEnabled()) continue;
            QTest::keyClick(d->window(), text.at(amp + 1).toLower().toLatin1(), Qt::AltModifier);
            EXPECT_TRUE(label->buddy()->hasFocus()) << name;
        }
        d->Frame()->close();
        Settle();
    }
}

}  // namespace
}  // namespace vortn::test
