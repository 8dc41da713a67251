// Nothing typed is lost in silence: a save names the rows the project file
// has no place for and can be cancelled, the Data menu asks before it cuts
// soil-column rows, an empty side file is named when its project opens, and
// a run the engine refuses shows no results.
#include "front_end_fixture.h"

#include <QFileInfo>

using namespace vortn;
using namespace vortn::test;

namespace {

class UnwrittenRowsWindow : public FrontEndFixture {
protected:
    TProjectHolder& Holder() { return Form().Project().Holder(); }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void OpenDataMenu() {
        Ui().DataMenu->popup(QPoint(0, 0));  // opening the menu runs its handler
        Ui().DataMenu->hide();
    }
};

TEST_F(UnwrittenRowsWindow, SaveNamesThePileCapSoilItDropsAndCancelKeepsTheFile) {
    const QString project = CopyExample(QStringLiteral("project-pile"));
    Form().OpenFileName(project);
    ASSERT_EQ(messages_, QStringList());
    TGridTable& cap = Holder().pilecapsoil();
    const int last = cap.RowCount();
    cap.SetRowCount(last + 1);
    cap.Cells(0, last).SetAsFloat(0.5);  // a thickness typed, the velocity not yet
    Holder().SetModified(true);
    const QByteArray before = Bytes(project);

    answer_ = QMessageBox::Cancel;
    EXPECT_FALSE(Form().FileSaveClick());
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_TRUE(questions_[0].startsWith(QStringLiteral("These entries will not be written to the project file:")))
            << questions_[0].toStdString();
    EXPECT_TRUE(questions_[0].contains(
            QStringLiteral("the table \"Side Weakened Soil Parameters\", rows 1 to %1: the pile cap gets no side soil")
                    .arg(last + 1)))
            << questions_[0].toStdString();
    EXPECT_EQ(Bytes(project), before);
    EXPECT_TRUE(Form().IsModified());

    // Closing the window asks to save; the cancelled save keeps it open.
    questions_.clear();
    answerFor_ = [](const QString& q) {
        return q.startsWith(QStringLiteral("Do you want to save")) ? int(QMessageBox::Yes) : int(QMessageBox::Cancel);
    };
    EXPECT_FALSE(Form().FormCloseQuery());
    EXPECT_EQ(questions_.size(), 2);
    EXPECT_EQ(Bytes(project), before);

    // Saved without them, the file has no side soil.
    answerFor_ = nullptr;
    answer_ = QMessageBox::Yes;
    EXPECT_TRUE(Form().FileSaveClick());
    EXPECT_FALSE(QString::fromLatin1(Bytes(project)).contains(QLatin1String("EMBEDDED")));
    // A project that loses nothing saves without a question.
    questions_.clear();
    cap.SetRowCount(last);
    EXPECT_TRUE(Form().FileSaveClick());
    EXPECT_EQ(questions_, QStringList());
    EXPECT_TRUE(QString::fromLatin1(Bytes(project)).contains(QLatin1String("EMBEDDED")));
}

TEST_F(UnwrittenRowsWindow, SaveAsNamesMassComponentsWithoutAFirstMass) {
    Form().FileNewClick();
    TGridTable& mass = Holder().MassCal();
    mass.SetRowCount(2);
    mass.Cells(0, 1).SetAsFloat(20);
    saveName_ = Path(QStringLiteral("masses.vtd"));
    answer_ = QMessageBox::Cancel;
    EXPECT_FALSE(Form().FileSaveAsClick());
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_TRUE(
            questions_[0].contains(QStringLiteral("rows 1 to 2: no mass component is written when the first "
                                                  "mass is below 1E-8.")))
            << questions_[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(saveName_));
    EXPECT_TRUE(IsNewProjectFile(Form().Project().FileName));
}

TEST_F(UnwrittenRowsWindow, DataMenuAsksBeforeItCutsSoilColumnRows) {
    const QString project = CopyExample(QStringLiteral("project-multilayer"));
    Form().OpenFileName(project);
    TGridTable& column = Holder().Multisoil();
    ASSERT_EQ(column.RowCount(), 1);  // 3 foundation layers, 2 adjacent ones
    column.SetRowCount(3);
    column.Cells(0, 2).SetAsFloat(300);  // typed in the third row

    answer_ = QMessageBox::No;
    OpenDataMenu();
    ASSERT_EQ(questions_.size(), 1);
    EXPECT_TRUE(questions_[0].contains(
            QStringLiteral("the table \"Soil Column Layer\", rows 2 to 3: the soil column has one layer for each of "
                           "the 3 foundation layers below the 2 adjacent soil layers, that is 1.")))
            << questions_[0].toStdString();
    EXPECT_EQ(column.RowCount(), 3);
    // Kept once, the menu does not ask again; the save names them.
    OpenDataMenu();
    EXPECT_EQ(questions_.size(), 1);
    answer_ = QMessageBox::Cancel;
    EXPECT_FALSE(Form().FileSaveClick());
    ASSERT_EQ(questions_.size(), 2);
    EXPECT_TRUE(questions_[1].contains(QStringLiteral("\"Soil Column Layer\", rows 2 to 3")));

    // Agreed, the rows go.
    column.SetRowCount(4);
    column.Cells(0, 3).SetAsFloat(320);
    answer_ = QMessageBox::Yes;
    OpenDataMenu();
    EXPECT_EQ(questions_.size(), 3);
    EXPECT_EQ(column.RowCount(), 1);
    // Blank rows go without a question, as before.
    column.SetRowCount(3);
    OpenDataMenu();
    EXPECT_EQ(questions_.size(), 3);
    EXPECT_EQ(column.RowCount(), 1);
}

// A multilayer foundation without adjacent layers reads back with the one
// blank row every table keeps; the soil column the file holds stays whole.
TEST_F(UnwrittenRowsWindow, DataMenuKeepsTheSoilColumnOfAFoundationWithoutAdjacentLayers) {
    const QString project = CopyExample(QStringLiteral("project-multilayer"));
    Form().OpenFileName(project);
    TGridTable& adjacent = Holder().D();
    TGridTable& column = Holder().Multisoil();
    adjacent.SetRowCount(0);
    adjacent.SetRowCount(1);
    column.SetRowCount(3);
    for (int r = 0; r < 3; ++r) column.Cells(0, r).SetAsFloat(200 + 10 * r);
    ASSERT_TRUE(Form().FileSaveClick());
    EXPECT_EQ(questions_, QStringList());
    ASSERT_TRUE(QString::fromLatin1(Bytes(project)).contains(QLatin1String("\r\nCONSTANTS=0\r\n")));
    Form().OpenFileName(project);
    ASSERT_EQ(column.RowCount(), 3);
    OpenDataMenu();
    EXPECT_EQ(questions_, QStringList());
    ASSERT_EQ(column.RowCount(), 3);
    EXPECT_EQ(column.Cells(0, 2).AsFloat(), 220);
}

TEST_F(UnwrittenRowsWindow, EmptySideFileBesideAGoodDeckIsNamedAndTheProjectOpens) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    const QString massFile = Path(QStringLiteral("project-half-space.vtm"));
    {
        QFile f(massFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    Form().OpenFileName(project);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0], QStringLiteral("The mass data file \"%1\" is empty. The project was read from its project "
                                           "file; saving the project writes the file again.")
                                    .arg(QDir::toNativeSeparators(massFile)));
    EXPECT_EQ(Form().Project().FileName, project);
    EXPECT_EQ(Form().Project().FoundationWord, QStringLiteral("HALF-SPACE"));
    // The deck was read whole: the save asks nothing and writes the side file.
    EXPECT_TRUE(Form().FileSaveClick());
    EXPECT_EQ(questions_, QStringList());
    EXPECT_GT(QFileInfo(massFile).size(), 0);
}

// A harmonic range of 3000 points is more than the engine computes: the run
// is refused, and the window says so and shows no results.
TEST_F(UnwrittenRowsWindow, RefusedRunShowsNoResults) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    Form().SetEngineLibraryName(QStringLiteral(VRT3_LIBRARY));
    TProgramData& p = Form().Project();
    ASSERT_EQ(p.LoadingCode, 1);
    p.MinFrequency = 0.1L;
    p.FrequencyStep = 0.1L;
    p.MaxFrequency = 300;
    Holder().SetModified(true);
    Ui().CompRun->trigger();
    EXPECT_EQ(messages_, QStringList{QStringLiteral("The analysis did not complete (result 3). Please, check output "
                                                    "file for error messages.")});
    EXPECT_FALSE(Form().ResultsLoaded());
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("project-half-space.vtp"))));
    EXPECT_TRUE(QString::fromLatin1(Bytes(Path(QStringLiteral("project-half-space.vto"))))
                        .contains(QLatin1String("MUST LIE BETWEEN 1 AND 1024")));
}

}  // namespace
