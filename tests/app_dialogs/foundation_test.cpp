// The footing dialogs, the pile and foundation properties, and the two small
// windows built on the same pattern.
#include "app_settings.h"
#include "deck_title.h"
#include "dialog_fixture.h"
#include "foundation_dialogs.h"
#include "pile_dialogs.h"
#include "small_dialogs.h"
#include "ui_TDlgOptions.h"
#include "ui_TdlgTitle.h"
#include "ui_TfrmCPileProperties.h"
#include "ui_TfrmFoundations.h"
#include "ui_TfrmLayout.h"
#include "ui_TfrmShape.h"

#include <QDir>
#include <QTemporaryDir>

#ifndef VORTN_SCREENSHOT_DIR
#define VORTN_SCREENSHOT_DIR "."
#endif

namespace vortn::test {
namespace {

// Picks the combo's entry `steps` below the current one, as a user does
// with the arrow keys.
void ChooseBelow(QComboBox* combo, int steps) {
    combo->setFocus();
    for (int i = 0; i < steps; ++i) QTest::keyClick(combo, Qt::Key_Down);
}

TEST_F(DialogFixture, FoundationOptionsShowsTheWordAndPictureAndMarksOnlyAChangedWord) {
    auto* d = Open<TfrmLayout>(TDialogKind::Layout);
    QComboBox* combo = d->Form().ComboBox1;
    EXPECT_EQ(combo->currentText(), QStringLiteral("HALF-SPACE"));
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->count(), 4);
    ASSERT_FALSE(d->Form().Image1->pixmap().isNull());

    ChooseBelow(combo, 1);
    EXPECT_EQ(P().FoundationWord, QStringLiteral("PILE"));
    EXPECT_EQ(P().FootingType, 2);
    EXPECT_FALSE(holder->IsModified());
    host->DeactivateActiveChild();
    EXPECT_TRUE(holder->IsModified());
    EXPECT_EQ(foundationMenuUpdates, 1);
    EXPECT_TRUE(d->Frame()->close());
    Settle();

    holder->SetModified(false);
    d = Open<TfrmLayout>(TDialogKind::Layout);
    EXPECT_EQ(d->Form().ComboBox1->currentText(), QStringLiteral("PILE"));
    ChooseBelow(d->Form().ComboBox1, 1);
    d->Form().ComboBox1->setFocus();
    QTest::keyClick(d->Form().ComboBox1, Qt::Key_Up);  // back to the word it had
    host->DeactivateActiveChild();
    EXPECT_FALSE(holder->IsModified());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();

    // The picture as the user sees it: the footing's ground line is drawn.
    ChooseBelow(d->Form().ComboBox1, 0);
    QImage shot = d->Frame()->grab().toImage();
    QDir().mkpath(QStringLiteral(VORTN_SCREENSHOT_DIR));
    ASSERT_TRUE(shot.save(QStringLiteral(VORTN_SCREENSHOT_DIR "/foundation_options.png")));
    QLabel* image = d->Form().Image1;
    const QPoint origin = image->mapTo(d->Frame(), QPoint((image->width() - 320) / 2, (image->height() - 200) / 2));
    EXPECT_LT(qGray(shot.pixel(origin + QPoint(160, 130))), 80);   // the cap's piles
    EXPECT_GT(qGray(shot.pixel(origin + QPoint(20, 150))), 200);   // background
    EXPECT_LT(qGray(shot.pixel(origin + QPoint(20, 60))), 80);     // ground line
}

TEST_F(DialogFixture, ADialogOpenedWhileAnotherHoldsAnInvalidEntryShowsItsOwnData) {
    P().FoundationWord = QStringLiteral("PILE");
    P().FootingType = 2;
    TInputDialog* soil = Open(TDialogKind::SoilBelow);
    TDataEdit* box = Box(soil, "DataEdit1");
    Type(box, QStringLiteral("abc"));
    host->DeactivateActiveChild();  // the Data menu opens: its one message
    ASSERT_EQ(messages.size(), 1);

    auto* layout = Open<TfrmLayout>(TDialogKind::Layout);
    Settle();
    EXPECT_EQ(layout->Form().ComboBox1->currentText(), QStringLiteral("PILE"));
    EXPECT_FALSE(layout->Form().Image1->pixmap().isNull());
    EXPECT_GE(layout->Frame()->width(), layout->Form().Image1->pixmap().width());
    // It stands in the MDI area with its frame, behind the dialog that keeps the focus.
    EXPECT_NE(qobject_cast<QMdiSubWindow*>(layout->Frame()), nullptr);
    EXPECT_TRUE(layout->Frame()->isVisible());
    EXPECT_EQ(mdi->activeSubWindow(), soil->Frame());
    EXPECT_EQ(host->ActiveDialog(), soil);
    EXPECT_EQ(box->text(), QStringLiteral("abc"));
    EXPECT_EQ(messages.size(), 1) << messages.join(" | ").toStdString();
    const QImage shot = window->grab().toImage();
    QDir().mkpath(QStringLiteral(VORTN_SCREENSHOT_DIR));
    ASSERT_TRUE(shot.save(QStringLiteral(VORTN_SCREENSHOT_DIR "/dialog_opened_behind_invalid_entry.png")));

    // Mended, the new dialog takes over and keeps its data.
    Type(box, QStringLiteral("250"));
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(layout->Frame()));
    Settle();
    EXPECT_EQ(host->ActiveDialog(), layout);
    EXPECT_EQ(P().SoilVelocity, 250);
    EXPECT_EQ(layout->Form().ComboBox1->currentText(), QStringLiteral("PILE"));
    EXPECT_FALSE(holder->IsModified() && P().FoundationWord != QStringLiteral("PILE"));
}

TEST_F(DialogFixture, AMissingPictureGivesOneMessageAndKeepsTheChoice) {
    QTemporaryDir empty;
    host->SetProgramFolder(empty.path());
    auto* d = Open<TfrmLayout>(TDialogKind::Layout);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("halfspace.bmp")));
    ChooseBelow(d->Form().ComboBox1, 2);
    EXPECT_EQ(messages.size(), 3);  // one per picture shown
    EXPECT_EQ(P().FoundationWord, QStringLiteral("STRATUM"));
    EXPECT_EQ(P().FootingType, 3);
    EXPECT_TRUE(d->Frame()->close());
}

TEST_F(DialogFixture, ShapeRadiosSwitchTheBoxesKeepHiddenValuesAndMarkTheProject) {
    P().Radius = 2;
    P().Length = 3;
    P().Width = 4;
    holder->SetModified(false);
    auto* d = Open<TfrmShape>(TDialogKind::Shape);
    auto& f = d->Form();
    EXPECT_TRUE(f.RadioButton1->isChecked());
    EXPECT_FALSE(f.DataEdit1->isVisible());
    EXPECT_TRUE(f.DataEdit2->isVisible());
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Length x,  (m)"));
    Click(f.RadioButton2);
    EXPECT_EQ(P().CircularFlag, 1);
    EXPECT_TRUE(holder->IsModified());
    EXPECT_TRUE(f.DataEdit1->isVisible());
    EXPECT_FALSE(f.Label3->isVisible());
    Type(f.DataEdit1, QStringLiteral("2.5"));
    EXPECT_TRUE(d->Frame()->close());
    EXPECT_EQ(P().Radius, 2.5L);
    EXPECT_EQ(P().Length, 3);
    EXPECT_EQ(P().Width, 4);
}

TEST_F(DialogFixture, FoundationDataHidesTheDepthsForAHalfSpaceAndStillWritesThem) {
    P().BaseDepth = 1.5L;
    auto* d = Open<TfrmFoundations>(TDialogKind::FoundationData);
    EXPECT_FALSE(d->Form().DataEdit4->isVisible());
    EXPECT_FALSE(d->Form().Label5->isVisible());
    Type(d->Form().DataEdit1, QStringLiteral("7"));
    EXPECT_TRUE(d->Frame()->close());
    Settle();
    EXPECT_EQ(P().BaseDepth, 1.5L);
    EXPECT_EQ(P().Xc, 7);
    P().FootingType = 3;
    d = Open<TfrmFoundations>(TDialogKind::FoundationData);
    EXPECT_TRUE(d->Form().DataEdit4->isVisible());
    EXPECT_EQ(Value(d->Form().DataEdit4), 1.5L);
    // Other dialogs see the same base coordinate.
    EXPECT_TRUE(d->Frame()->close());
    Settle();
    TInputDialog* pile = Open(TDialogKind::PileProperties);
    EXPECT_EQ(Value(Box(pile, "DataEdit1")), 7);
}

TEST_F(DialogFixture, SoilBelowMapsTheBoxesByName) {
    TInputDialog* d = Open(TDialogKind::SoilBelow);
    Type(Box(d, "DataEdit1"), QStringLiteral("150"));
    Type(Box(d, "DataEdit2"), QStringLiteral("18"));
    Type(Box(d, "DataEdit3"), QStringLiteral("0.3"));
    Type(Box(d, "DataEdit4"), QStringLiteral("0.05"));
    EXPECT_TRUE(d->Frame()->close());
    EXPECT_EQ(P().SoilVelocity, 150);
    EXPECT_EQ(P().SoilUnitWeight, 18);
    EXPECT_EQ(P().SoilPoisson, 0.3L);
    EXPECT_EQ(P().SoilDamping, 0.05L);
}

TEST_F(DialogFixture, PilePropertiesShowsTheChoicesOfTheFlagsAndAChoiceSetsItsFlagAtOnce) {
    auto* d = Open<TfrmCPileProperties>(TDialogKind::PileProperties);
    auto& f = d->Form();
    EXPECT_EQ(f.ComboBox1->currentText(), QStringLiteral("FIXED"));
    EXPECT_EQ(f.ComboBox2->currentText(), QStringLiteral("Floating Piles"));
    EXPECT_EQ(f.ComboBox3->currentText(), QStringLiteral("Yes"));
    EXPECT_FALSE(holder->IsModified());

    ChooseBelow(f.ComboBox1, 1);
    EXPECT_EQ(P().FixedFlag, 0);
    EXPECT_EQ(P().ConnectionWord, QStringLiteral("PINNED"));
    EXPECT_TRUE(holder->IsModified());
    ChooseBelow(f.ComboBox2, 1);
    ChooseBelow(f.ComboBox3, 1);
    EXPECT_EQ(P().EndBearingFlag, 1);
    EXPECT_EQ(P().InteractionFlag, 0);
    EXPECT_TRUE(d->Frame()->close());
    Settle();
    d = Open<TfrmCPileProperties>(TDialogKind::PileProperties);
    EXPECT_EQ(d->Form().ComboBox1->currentText(), QStringLiteral("PINNED"));
    EXPECT_EQ(d->Form().ComboBox2->currentText(), QStringLiteral("End-Bearing Piles"));
    EXPECT_EQ(d->Form().ComboBox3->currentText(), QStringLiteral("No"));
}

// The deck's title line holds 80 columns, "TITLE=" among them.
TEST_F(DialogFixture, ProjectTitleTakesWhatTheDeckLineHoldsAndMarksOnlyAChange) {
    auto* d = Open<TdlgTitle>(TDialogKind::Title);
    QLineEdit* memo = d->Form().TitleMemo;
    EXPECT_EQ(memo->text(), QStringLiteral("New Pile"));
    host->DeactivateActiveChild();
    EXPECT_FALSE(holder->IsModified());
    memo->setFocus();
    memo->selectAll();
    QTest::keyClicks(memo, QString(81, QLatin1Char('a')));
    EXPECT_EQ(memo->text().size(), kDeckTitleBytes);
    EXPECT_TRUE(d->Frame()->close());
    EXPECT_EQ(P().Title, QString(kDeckTitleBytes, QLatin1Char('a')));
    EXPECT_TRUE(holder->IsModified());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DialogFixture, ProjectTitleRefusesWhatTheDeckLineCannotCarry) {
    auto* d = Open<TdlgTitle>(TDialogKind::Title);
    QLineEdit* memo = d->Form().TitleMemo;
    memo->setFocus();
    memo->selectAll();
    QTest::keyClicks(memo, QStringLiteral("R=2 m footing, T shape"));
    host->DeactivateActiveChild();
    ASSERT_EQ(messages.size(), 1);
    for (const char* named : {"\"=\"", "\",\"", "\"T\""})
        EXPECT_TRUE(messages[0].contains(QLatin1String(named))) << messages[0].toStdString();
    EXPECT_EQ(P().Title, QStringLiteral("New Pile"));
    EXPECT_FALSE(holder->IsModified());
    // Closing is refused too, without a second message for the same text.
    EXPECT_FALSE(d->Frame()->close());
    Settle();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(QApplication::focusWidget(), memo);
    // Mended, the title is taken.
    memo->selectAll();
    QTest::keyClicks(memo, QStringLiteral("R 2 m footing; t shape"));
    EXPECT_TRUE(d->Frame()->close());
    EXPECT_EQ(P().Title, QStringLiteral("R 2 m footing; t shape"));
    EXPECT_TRUE(holder->IsModified());
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(DialogFixture, ProjectTitleLeavesATitleReadFromAFileToTheWriter) {
    P().Title = QStringLiteral("Old deck: R=2 m");
    auto* d = Open<TdlgTitle>(TDialogKind::Title);
    host->DeactivateActiveChild();
    EXPECT_TRUE(d->Frame()->close());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(P().Title, QStringLiteral("Old deck: R=2 m"));
}

TEST_F(DialogFixture, ControlOptionsEditorPathAndMatrixSwitch) {
    auto* d = Open<TDlgOptions>(TDialogKind::Options);
    auto& f = d->Form();
    EXPECT_EQ(f.EdtWord->text(), DefaultEditorPath());
    EXPECT_FALSE(f.EdtWord->text().isEmpty());
    EXPECT_TRUE(f.CheckBox1->isChecked());
    Click(f.CheckBox1);
    EXPECT_EQ(P().MatrixFlag, 0);
    f.EdtWord->clear();
    EXPECT_TRUE(d->Frame()->close());
    Settle();
    EXPECT_TRUE(editorPath.isEmpty());  // stored as left
    d = Open<TDlgOptions>(TDialogKind::Options);
    EXPECT_EQ(d->Form().EdtWord->text(), DefaultEditorPath());
    EXPECT_FALSE(d->Form().CheckBox1->isChecked());
}

}  // namespace
}  // namespace vortn::test
