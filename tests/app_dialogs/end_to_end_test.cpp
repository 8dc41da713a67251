// A pile-group project built by hand through the Data menu, its dialogs and
// its table editors, saved, run by the engine, and read back from the
// report's data echo.
#include "data_edit.h"
#include "dialog_host.h"
#include "grid_editor.h"
#include "message_catcher.h"
#include "input_dialog.h"
#include "main_form.h"
#include "patience.h"
#include "project_holder.h"
#include "ui_MainForm.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace vortn::test {
namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<TMainForm>();
        form->SaveNameHook = [this](const QString&, const QString&) { return dir.filePath("pilegroup.vtd"); };
        form->SetEngineLibraryName(QStringLiteral(VRT3_LIBRARY));
        SetMessageHook(test::CollectMessages(messages));
        form->resize(1200, 900);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get(), kPatienceMs));
    }
    void TearDown() override {
        form.reset();
        SetMessageHook(nullptr);
    }

    // Opens the Data menu (its items are enabled then) and picks `item`.
    void DataItem(QAction* item) {
        emit form->Form().DataMenu->aboutToShow();
        ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
        item->trigger();
        QCoreApplication::processEvents();
    }
    TInputDialog* Dialog(TDialogKind kind) {
        TInputDialog* d = form->Dialogs().Dialog(kind);
        EXPECT_NE(d, nullptr);
        return d;
    }
    // Types into the dialog's boxes, as name/text pairs, then closes it.
    void Fill(TDialogKind kind, std::initializer_list<std::pair<const char*, const char*>> entries) {
        TInputDialog* d = Dialog(kind);
        ASSERT_NE(d, nullptr);
        for (const auto& [name, text] : entries) {
            auto* box = d->findChild<TDataEdit*>(QString::fromLatin1(name));
            ASSERT_NE(box, nullptr) << name;
            box->setFocus(Qt::TabFocusReason);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Delete);
            QTest::keyClicks(box, QString::fromLatin1(text));
        }
        EXPECT_TRUE(d->Frame()->close());
        QCoreApplication::processEvents();
    }
    // Types the rows into the table's editor, adding rows with its button.
    void FillTable(TGridTable& table, const std::vector<std::vector<const char*>>& rows) {
        auto* editor = dynamic_cast<TTableForm*>(table.Editor());
        ASSERT_NE(editor, nullptr);
        for (size_t r = 1; r < rows.size(); ++r) QTest::mouseClick(editor->BtnAdd, Qt::LeftButton);
        ASSERT_EQ(table.RowCount(), int(rows.size()));
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c) {
                editor->Grid->setFocus();
                editor->Grid->setCurrentCell(int(r), int(c));
                auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                ASSERT_NE(cell, nullptr) << r << "," << c;
                cell->selectAll();
                QTest::keyClicks(cell, QString::fromLatin1(rows[r][c]));
                QTest::keyClick(cell, Qt::Key_Return);
            }
        editor->parentWidget()->close();
        QCoreApplication::processEvents();
    }
    static QString Read(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
    QStringList messages;
};

TEST_F(EndToEnd, PileGroupTypedInTheDialogsRunsAndTheReportEchoesIt) {
    Ui::TMainForm& f = form->Form();

    DataItem(f.DataTitle);
    {
        auto* memo = Dialog(TDialogKind::Title)->findChild<QLineEdit*>(QStringLiteral("TitleMemo"));
        memo->setFocus();
        memo->selectAll();
        QTest::keyClicks(memo, QStringLiteral("Pile group typed in the dialogs"));
        Dialog(TDialogKind::Title)->Frame()->close();
    }

    DataItem(f.DataLayout);
    {
        auto* combo = Dialog(TDialogKind::Layout)->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        EXPECT_EQ(combo->currentText(), QStringLiteral("PILE"));
        Dialog(TDialogKind::Layout)->Frame()->close();
    }

    DataItem(f.DataPileCapShape);
    Fill(TDialogKind::Shape, {{"DataEdit2", "4"}, {"DataEdit3", "3"}});
    DataItem(f.DataPileCapMass);
    Fill(TDialogKind::PileCapProperties, {{"DataEdit5", "60"}, {"DataEdit6", "90"}, {"DataEdit7", "120"},
                                          {"DataEdit8", "150"}});
    DataItem(f.DataPileProperties);
    Fill(TDialogKind::PileProperties, {{"DataEdit3", "0.8"}, {"DataEdit4", "24"}, {"DataEdit5", "0.25"},
                                       {"DataEdit6", "0.02"}, {"DataEdit7", "2.5e7"}, {"DataEdit8", "10"},
                                       {"DataEdit9", "0.85"}, {"DataEdit10", "600"}});
    DataItem(f.DataPileCoordinates);
    FillTable(form->Holder().Pilecoord(), {{"-1", "-1"}, {"1", "-1"}, {"-1", "1"}, {"1.25", "1"}});
    DataItem(f.DataPileElements);
    FillTable(form->Holder().PileData(), {{"5", "0.25", "0.25", "0.19635", "0.003068", "0.003068", "0.0061359"},
                                          {"5", "0.25", "0.25", "0.19635", "0.003068", "0.003068", "0.0061359"}});
    DataItem(f.DataSoilLayer);
    FillTable(form->Holder().D(), {{"150", "18", "0.33", "0.05", "1"}, {"210", "18.5", "0.33", "0.05", "1"}});
    DataItem(f.DataSoilBelow);
    Fill(TDialogKind::SoilBelow, {{"DataEdit1", "250"}, {"DataEdit2", "19"}, {"DataEdit3", "0.35"},
                                  {"DataEdit4", "0.05"}});

    emit f.DataMenu->aboutToShow();
    emit f.DataHarmonic->aboutToShow();
    f.HarmonicNonQuadratic->trigger();
    QCoreApplication::processEvents();
    Fill(TDialogKind::Harmonic, {{"DataEdit1", "40"}, {"DataEdit2", "2"}, {"DataEdit3", "2"}, {"DataEdit4", "10"},
                                 {"DataEdit6", "20"}, {"DataEdit7", "-4"}, {"DataEdit8", "4"}, {"DataEdit9", "2"}});
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    EXPECT_TRUE(form->IsModified());

    emit f.ComputationMenu->aboutToShow();
    f.CompRun->trigger();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last(),
              QStringLiteral("Computations are completed. Please, check output file for results or error messages."));
    const QString report = Read(dir.filePath("pilegroup.vto"));
    ASSERT_FALSE(report.isEmpty());
    for (const char* line : {
             " Pile group typed in the dialogs",
             " FOUNDATION TYPE - PILE",
             " RECTANGULAR FOUNDATION  -     4.000 m   BY    3.000 m ",
             " TOTAL MASS OF FOOTING  ......... 6.00000E+01 Mg  ",
             " MASS MOMENT ABOUT Z-AXIS  ...... 1.50000E+02 Mg-m**2   ",
             "   4        1.250       1.000",
             " HEIGHT OF CENTRE OF GRAV.  .....     0.80000 m ",
             " TOTAL LENGTH  ..................    10.00000 m ",
             " STATIC LOAD ON BODY  ........... 6.00000E+02 kN.",
             " YOUNGS MODULUS  ...............  2.50000E+07 kPa",
             "   2    5.000  0.250   0.250   0.196E+00  0.307E-02  0.307E-02   0.61E-02",
             "   2      210.000      18.500   0.330     0.050",
             "  2.50E+02     19.0000   0.350     0.050",
             " MAXIMUM FREQUENCY .............. 4.000E+01 Hz",
             " FORCE IN Z-DIRECTION  .......... 2.000E+01 kN.",
             " MOMENT ABOUT X-AXIS  ...........-4.000E+00 kN-m ",
         })
        EXPECT_TRUE(report.contains(QString::fromLatin1(line))) << line << "\n" << report.left(6000).toStdString();
    EXPECT_FALSE(report.contains(QStringLiteral("PROGRAM WILL NOT EXECUTE"))) << report.toStdString();
}

struct MenuCase {
    const char* item;
    const char* word;  // foundation word the item is used with
    TDialogKind kind;
};

void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.item; }

const MenuCase kMenuCases[] = {
        {"DataTitle", "HALF-SPACE", TDialogKind::Title},
        {"DataLayout", "HALF-SPACE", TDialogKind::Layout},
        {"DataShape", "HALF-SPACE", TDialogKind::Shape},
        {"DataPileCapShape", "PILE", TDialogKind::Shape},
        {"DataMass", "STRATUM", TDialogKind::MassData},
        {"DataFoundation", "HALF-SPACE", TDialogKind::FoundationData},
        {"DataFoundation", "STRATUM", TDialogKind::FoundationData},
        {"DataFoundation", "MULTILAYER", TDialogKind::FoundationProperties},
        {"DataPileCapMass", "PILE", TDialogKind::PileCapProperties},
        {"DataPileProperties", "PILE", TDialogKind::PileProperties},
        {"DataSoilBelow", "MULTILAYER", TDialogKind::SoilBelow},
        {"DataOptions", "PILE", TDialogKind::Options},
};

class DataMenuItem : public EndToEnd, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(DataMenuItem, OpensItsDialogOnceAndItsOpenStateFollowsIt) {
    const MenuCase& c = GetParam();
    form->Project().FoundationWord = QString::fromLatin1(c.word);
    form->Project().FootingType = QStringList{"HALF-SPACE", "PILE", "STRATUM", "MULTILAYER"}.indexOf(c.word) + 1;
    auto* item = form->findChild<QAction*>(QString::fromLatin1(c.item));
    ASSERT_NE(item, nullptr);
    DataItem(item);
    TInputDialog* d = form->Dialogs().Dialog(c.kind);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(form->Dialogs().IsOpen(c.kind));
    DataItem(item);
    EXPECT_EQ(form->Dialogs().Dialog(c.kind), d);
    EXPECT_EQ(form->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(form->MdiArea()->activeSubWindow(), d->Frame());
    EXPECT_TRUE(d->Frame()->close());
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->Dialogs().IsOpen(c.kind));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DataMenuItem, ::testing::ValuesIn(kMenuCases),
                         [](const auto& info) { return std::string(info.param.item) + "_" + std::to_string(info.index); });

TEST_F(EndToEnd, AUnitChangeReloadsEveryOpenDialogSoNoneWritesBackOldUnits) {
    Ui::TMainForm& f = form->Form();
    DataItem(f.DataMass);
    TInputDialog* mass = Dialog(TDialogKind::MassData);
    auto* total = mass->findChild<TDataEdit*>(QStringLiteral("DataEdit1"));
    total->setFocus();
    total->selectAll();
    QTest::keyClick(total, Qt::Key_Delete);
    QTest::keyClicks(total, QStringLiteral("10"));
    emit f.DataMenu->aboutToShow();  // commits the entry
    emit f.DataUnits->aboutToShow();
    f.UnitsEnglish->trigger();
    EXPECT_NEAR(double(total->Number()), 683.64249, 1e-9);
    EXPECT_TRUE(mass->Frame()->close());
    EXPECT_NEAR(double(form->Project().TotalMass), 683.64249, 1e-9);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
}

TEST_F(EndToEnd, ChangingTheLoadingTypeClosesTheOtherLoadDialogsTheQuadraticOneToo) {
    Ui::TMainForm& f = form->Form();
    emit f.DataMenu->aboutToShow();
    emit f.DataHarmonic->aboutToShow();
    f.HarmonicQuadratic->trigger();
    f.HarmonicNonQuadratic->trigger();
    ASSERT_TRUE(form->Dialogs().IsOpen(TDialogKind::Quadratic));
    ASSERT_TRUE(form->Dialogs().IsOpen(TDialogKind::Harmonic));
    f.LoadTransient->trigger();
    DataItem(f.DataTransient);
    f.LoadTransient->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->Dialogs().IsOpen(TDialogKind::Quadratic));
    EXPECT_FALSE(form->Dialogs().IsOpen(TDialogKind::Harmonic));
    EXPECT_TRUE(form->Dialogs().IsOpen(TDialogKind::Transient));
}

TEST_F(EndToEnd, FileNewWithAnInvalidEntryOpenDoesNotRunAndShowsNoSecondMessage) {
    Ui::TMainForm& f = form->Form();
    DataItem(f.DataSoilBelow);
    TInputDialog* soil = Dialog(TDialogKind::SoilBelow);
    auto* box = soil->findChild<TDataEdit*>(QStringLiteral("DataEdit1"));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("1/0"));
    EXPECT_FALSE(soil->Frame()->close());
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.size(), 1);
    form->Project().Title = QStringLiteral("kept");
    form->FileNewClick();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The command does not run: the dialog keeps its entry and the focus.
    EXPECT_EQ(form->Project().Title, QStringLiteral("kept"));
    EXPECT_TRUE(form->Dialogs().IsOpen(TDialogKind::SoilBelow));
    EXPECT_EQ(box->text(), QStringLiteral("1/0"));
    EXPECT_EQ(soil->focusWidget(), box);
    EXPECT_EQ(messages.size(), 1);
    // Mended, New runs and the dialog opens again on the new project.
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("150"));
    form->FileNewClick();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->Project().Title, QStringLiteral("New Pile"));  // the default project
    EXPECT_FALSE(form->Dialogs().IsOpen(TDialogKind::SoilBelow));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(form->Project().SoilVelocity, 0);
    DataItem(f.DataSoilBelow);
    EXPECT_EQ(Dialog(TDialogKind::SoilBelow)->findChild<TDataEdit*>(QStringLiteral("DataEdit1"))->text(),
              QStringLiteral("0"));
}

}  // namespace
}  // namespace vortn::test
