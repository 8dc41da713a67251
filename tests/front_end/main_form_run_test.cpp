// The engine run through a stand-in engine library: names.dat, the private
// run folder, the results loaded only from a completed run, the refusals.
#include "front_end_fixture.h"
#include "small_windows.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

using namespace vortn;
using namespace vortn::test;

namespace {

const QString kDone = QStringLiteral("Computations are completed. Please, check output file for results or error messages.");

QString ReadAll(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void WriteText(const QString& name, const QByteArray& bytes) {
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray kThreePoints =
    "           3\n"
    "    6.28   0.1000E-05  0.2000E-05  0.3000E-05  0.4000E-05  0.5000E-05  0.6000E-05\n"
    "   12.57   0.1100E-05  0.2100E-05  0.3100E-05  0.4100E-05  0.5100E-05  0.6100E-05\n"
    "   18.85   0.1200E-05  0.2200E-05  0.3200E-05  0.4200E-05  0.5200E-05  0.6200E-05\n";

class EngineRun : public FrontEndFixture {
protected:
    void SetUp() override {
        FrontEndFixture::SetUp();
        record_ = Path(QStringLiteral("record.txt"));
        qputenv("VORTN_FAKE_RECORD", record_.toUtf8());
        Form().SetEngineLibraryName(QStringLiteral(VORTN_FAKE_ENGINE));
    }
    void TearDown() override {
        for (const char* v : {"VORTN_FAKE_RECORD", "VORTN_FAKE_RESULT", "VORTN_FAKE_VTP", "VORTN_FAKE_SLEEP_MS"})
            qunsetenv(v);
        FrontEndFixture::TearDown();
    }
    // A project whose run gives matrix-free harmonic results (the example's
    // MATRIX option switched off so that only response records are read).
    QString OpenProject(const QString& folder = QString()) {
        const QString project = CopyExample(QStringLiteral("project-half-space"), folder);
        Form().OpenFileName(project);
        Form().Project().MatrixFlag = 0;
        WriteText(Path(QStringLiteral("fresh.vtp")), kThreePoints);
        return project;
    }
    QString record_;
};

TEST_F(EngineRun, NamesGoToAPrivateFolderThatIsRemovedAfterwards) {
    const QString project = OpenProject();
    qputenv("VORTN_FAKE_VTP", Path(QStringLiteral("fresh.vtp")).toUtf8());
    Form().CompRunClick();

    const QString record = ReadAll(record_);
    const QString runFolder = record.section(QLatin1Char('\n'), 0, 0);
    const QString names = record.section(QLatin1Char('\n'), 1);
    const QString stem = project.left(project.size() - 4);
    EXPECT_EQ(names, QStringLiteral("3.0.12\r\n") + project + QStringLiteral("\r\n") + stem + ".vto\r\n" + stem +
                         ".vtp\r\n" + stem + ".vtr\r\n" + stem + ".vtt\r\n" + stem + ".vtm\r\n");
    EXPECT_NE(runFolder, QFileInfo(project).absolutePath());
    EXPECT_NE(runFolder, QCoreApplication::applicationDirPath());
    EXPECT_FALSE(QFileInfo::exists(runFolder)) << runFolder.toStdString();
    EXPECT_EQ(QDir::currentPath(), QFileInfo(project).absolutePath());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(project).absolutePath() + QStringLiteral("/names.dat")));

    EXPECT_EQ(messages_, QStringList{kDone});
    EXPECT_TRUE(Form().ResultsLoaded());
    ASSERT_EQ(Form().Plots().pltDxyzR().PointCount(), 3);
    EXPECT_NEAR(double(Form().Plots().pltDxyzR().Points(2, 1).Y), 0.31e-5, 1e-12);
    EXPECT_FALSE(Form().RunInProgress());
}

TEST_F(EngineRun, ARunThatDidNotCompleteLoadsNothingFromAnOldPlotFile) {
    const QString project = OpenProject();
    Form().LoadPlotData(Path(QStringLiteral("fresh.vtp")), false);
    ASSERT_EQ(Form().Plots().pltDxyzR().PointCount(), 3);
    // The engine could not open its report: the old plot-data file stays.
    WriteText(Path(QStringLiteral("project-half-space.vtp")), kThreePoints);
    qputenv("VORTN_FAKE_RESULT", "3");
    Form().CompRunClick();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("did not complete"))) << messages_[0].toStdString();
    EXPECT_FALSE(Form().ResultsLoaded());
    for (TGraphPlot* p : Form().Plots().All()) EXPECT_EQ(p->PointCount(), 0) << p->Name.toStdString();
    Form().GraphicsMenuClick();
    EXPECT_FALSE(Ui().GraphDisp->isEnabled());
}

class EngineLibraryMissing : public EngineRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(EngineLibraryMissing, SaysTheLibraryFailedAndCallsNothing) {
    OpenProject();
    Form().SetEngineLibraryName(QLatin1String(GetParam()));
    Form().CompRunClick();
    EXPECT_EQ(messages_, QStringList{QStringLiteral("Attempt to initialize DLL failed")});
    EXPECT_FALSE(QFileInfo::exists(record_));
    EXPECT_FALSE(Form().RunInProgress());
}

INSTANTIATE_TEST_SUITE_P(Libraries, EngineLibraryMissing,
                         ::testing::Values("/nonexistent/libVrt3-comp.so", VORTN_FAKE_ENGINE_NO_ENTRY));

class EngineNamesRefused : public EngineRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(EngineNamesRefused, BeforeTheEngineIsCalled) {
    const QString folder = Path(QLatin1String(GetParam()));
    ASSERT_TRUE(QDir().mkpath(folder));
    OpenProject(folder);
    Form().CompRunClick();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("cannot be run"))) << messages_[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(record_));
}

INSTANTIATE_TEST_SUITE_P(
    Names, EngineNamesRefused,
    ::testing::Values("line\nbreak",
                      "a-folder-name-of-sixty-characters-to-make-the-path-long-enough/"
                      "a-folder-name-of-sixty-characters-to-make-the-path-long-enough/"
                      "a-folder-name-of-sixty-characters-to-make-the-path-long-enough/"
                      "a-folder-name-of-sixty-characters-to-make-the-path-long-enough"));

TEST_F(EngineRun, AnUnnamedProjectWhoseSaveAsIsCancelledDoesNotRun) {
    Form().FileNewClick();
    saveName_.clear();
    Form().CompRunClick();
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(record_));
}

TEST_F(EngineRun, TheProgressBarMovesWhileTheEngineWorks) {
    OpenProject();
    qputenv("VORTN_FAKE_SLEEP_MS", "450");
    int ticks = 0;
    QObject::connect(&Form().RunProgress()->TimerRun(), &QTimer::timeout, [&] { ++ticks; });
    Form().CompRunClick();
    EXPECT_GE(ticks, 3);
    EXPECT_FALSE(Form().RunProgress()->isVisible());
}

TEST_F(EngineRun, NewOpenAndCloseAreRefusedWhileTheEngineWorks) {
    const QString project = OpenProject();
    qputenv("VORTN_FAKE_SLEEP_MS", "400");
    openName_ = CopyExample(QStringLiteral("project-pile"));
    bool closed = true;
    QTimer::singleShot(150, [&] {
        EXPECT_TRUE(Form().RunInProgress());
        Form().FileNewClick();
        Form().FileOpenClick();
        closed = Form().close();
    });
    Form().CompRunClick();
    EXPECT_FALSE(closed);
    EXPECT_EQ(Form().Project().FileName, project);
    ASSERT_EQ(messages_.size(), 3);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("Please wait")));
    EXPECT_TRUE(messages_[1].contains(QLatin1String("Please wait")));
    EXPECT_EQ(messages_[2], kDone);
}

TEST_F(EngineRun, TheHiddenViewerItemSaysWhenTheViewerIsMissing) {
    OpenProject();
    Form().N3DView1Click();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("Vrt3-viewer"))) << messages_[0].toStdString();
}

// ---- the progress dialog on its own ----

TEST(RunProgress, TickAdvancesByTenAndWrapsAfterTheMaximum) {
    TDlgRunAnalysis dialog;
    QProgressBar& bar = *dialog.findChild<QProgressBar*>(QStringLiteral("ProgressBarRun"));
    EXPECT_EQ(bar.maximum(), 100);
    EXPECT_EQ(dialog.TimerRun().interval(), 100);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Vort-N, Run Analysis"));
    bar.setValue(80);
    const int expected[] = {90, 100, 0, 10};
    for (int want : expected) {
        dialog.TimerRunTimer();
        EXPECT_EQ(bar.value(), want);
    }
}

TEST(AboutBox, ShowsTheVersionWhenActivated) {
    TAboutBox box;
    box.FormActivate();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About VORT-PILE"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Version"))->text(), QStringLiteral("Version 3.0.12"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("ProductName"))->text(), QStringLiteral("VORT-N"));
}

}  // namespace
