// The engine run through a stand-in engine library: names.dat, the private
// run folder, the results loaded only from a completed run, the refusals.
#include "engine_run.h"
#include "exceptions.h"
#include "front_end_fixture.h"
#include "patience.h"
#include "small_windows.h"

#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QProgressBar>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <functional>
#include <new>

#include <sys/wait.h>
#include <unistd.h>

using namespace vortn;
using namespace vortn::test;

namespace {

const QString kDone =
        QStringLiteral("Computations are completed. Please, check output file for results or error messages.");

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
        hold_ = Path(QStringLiteral("hold"));
        qputenv("VORTN_FAKE_RECORD", record_.toUtf8());
        Form().SetEngineLibraryName(QStringLiteral(VORTN_FAKE_ENGINE));
    }
    void TearDown() override {
        for (const char* v : {"VORTN_FAKE_RECORD", "VORTN_FAKE_RESULT", "VORTN_FAKE_VTP", "VORTN_FAKE_VTO",
                              "VORTN_FAKE_HOLD", "VORTN_FAKE_THROW"})
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
    // The stand-in engine, once it has written its outputs, waits in the
    // run's thread until the test releases it.
    void HoldTheEngine() { qputenv("VORTN_FAKE_HOLD", hold_.toUtf8()); }
    bool EngineHeld() const { return QFileInfo::exists(hold_ + QStringLiteral(".held")); }
    void ReleaseTheEngine() { WriteText(hold_ + QStringLiteral(".release"), ""); }
    // Runs `whileHeld` once on the main thread as soon as the held engine
    // waits, then releases it.
    void WhenTheEngineIsHeld(std::function<void()> whileHeld) {
        HoldTheEngine();
        auto* poll = new QTimer(&Form());
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, whileHeld] {
            if (!EngineHeld()) return;
            poll->stop();
            poll->deleteLater();
            whileHeld();
            ReleaseTheEngine();
        });
        poll->start();
    }
    QString record_;
    QString hold_;
};

TEST_F(EngineRun, NamesGoToAPrivateFolderThatIsRemovedAfterwards) {
    const QString project = OpenProject();
    qputenv("VORTN_FAKE_VTP", Path(QStringLiteral("fresh.vtp")).toUtf8());
    Form().CompRunClick();

    const QString record = ReadAll(record_);
    const QString runFolder = record.section(QLatin1Char('\n'), 0, 0);
    const QString names = record.section(QLatin1Char('\n'), 1);
    const QString stem = project.left(project.size() - 4);
    // The engine writes its report and plot data in the private folder.
    const QString runStem = runFolder + QStringLiteral("/project-half-space");
    EXPECT_EQ(names, QStringLiteral("3.0.12\r\n") + project + QStringLiteral("\r\n") + runStem + ".vto\r\n" + runStem +
                             ".vtp\r\n" + stem + ".vtr\r\n" + stem + ".vtt\r\n" + stem + ".vtm\r\n");
    EXPECT_TRUE(QFileInfo(runFolder).fileName().startsWith(
            QStringLiteral("vortn-run-%1-").arg(QCoreApplication::applicationPid())))
            << runFolder.toStdString();
    EXPECT_EQ(ReadAll(stem + QStringLiteral(".vtp")).toUtf8(), kThreePoints);  // moved beside the project
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
    // A plot-data file of an earlier run, and one the failed run began.
    WriteText(Path(QStringLiteral("project-half-space.vtp")), kThreePoints);
    qputenv("VORTN_FAKE_RESULT", "3");
    qputenv("VORTN_FAKE_VTP", Path(QStringLiteral("fresh.vtp")).toUtf8());
    WriteText(Path(QStringLiteral("errors.vto")), "ERRORS IN THE DECK\n");
    qputenv("VORTN_FAKE_VTO", Path(QStringLiteral("errors.vto")).toUtf8());
    Form().CompRunClick();
    // Its report with the error messages is beside the project; no plot data.
    EXPECT_EQ(ReadAll(Path(QStringLiteral("project-half-space.vto"))), QStringLiteral("ERRORS IN THE DECK\n"));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("project-half-space.vtp"))));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("did not complete"))) << messages_[0].toStdString();
    EXPECT_FALSE(Form().ResultsLoaded());
    for (TGraphPlot* p : Form().Plots().All()) EXPECT_EQ(p->PointCount(), 0) << p->Name.toStdString();
    Form().GraphicsMenuClick();
    EXPECT_FALSE(Ui().GraphDisp->isEnabled());
}

// An engine call that throws (a library without memory, or one of another
// make) ends the run, not the program: the message says the analysis
// failed, its report is beside the project, no plot data is loaded.
TEST_F(EngineRun, AnEngineThatThrowsEndsTheRunNotTheProgram) {
    OpenProject();
    qputenv("VORTN_FAKE_THROW", "1");
    qputenv("VORTN_FAKE_VTP", Path(QStringLiteral("fresh.vtp")).toUtf8());
    WriteText(Path(QStringLiteral("partial.vto")), "THE REPORT SO FAR\n");
    qputenv("VORTN_FAKE_VTO", Path(QStringLiteral("partial.vto")).toUtf8());
    Form().CompRunClick();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(QLatin1String("The analysis failed (not enough memory)")))
            << messages_[0].toStdString();
    EXPECT_EQ(ReadAll(Path(QStringLiteral("project-half-space.vto"))), QStringLiteral("THE REPORT SO FAR\n"));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("project-half-space.vtp"))));
    EXPECT_FALSE(Form().ResultsLoaded());
    EXPECT_FALSE(Form().RunInProgress());
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

INSTANTIATE_TEST_SUITE_P(Names, EngineNamesRefused,
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
    HoldTheEngine();
    // Three ticks while the engine is at work, then it may end.
    int ticks = 0;
    QObject::connect(&Form().RunProgress()->TimerRun(), &QTimer::timeout, [&] {
        if (EngineHeld() && ++ticks == 3) ReleaseTheEngine();
    });
    Form().CompRunClick();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(messages_, QStringList{kDone});
    EXPECT_FALSE(Form().RunProgress()->isVisible());
}

TEST_F(EngineRun, NewOpenAndCloseAreRefusedWhileTheEngineWorks) {
    const QString project = OpenProject();
    openName_ = CopyExample(QStringLiteral("project-pile"));
    bool closed = true;
    WhenTheEngineIsHeld([&] {
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

TEST_F(EngineRun, WhileTheEngineWorksTheProjectsResultsAreUntouched) {
    // A run killed here would leave the project's files as they were.
    const QString project = OpenProject();
    const QString projectVtp = Path(QStringLiteral("project-half-space.vtp"));
    const QByteArray earlier = kThreePoints + "\n";
    WriteText(projectVtp, earlier);
    WriteText(Path(QStringLiteral("project-half-space.vto")), "EARLIER REPORT\n");
    WriteText(Path(QStringLiteral("run.vto")), "THIS RUN\n");
    qputenv("VORTN_FAKE_VTP", Path(QStringLiteral("fresh.vtp")).toUtf8());
    qputenv("VORTN_FAKE_VTO", Path(QStringLiteral("run.vto")).toUtf8());
    QString runFolder;
    QByteArray duringVtp, duringVto, runVtp;
    WhenTheEngineIsHeld([&] {
        runFolder = ReadAll(record_).section(QLatin1Char('\n'), 0, 0);
        duringVtp = ReadAll(projectVtp).toUtf8();
        duringVto = ReadAll(Path(QStringLiteral("project-half-space.vto"))).toUtf8();
        runVtp = ReadAll(runFolder + QStringLiteral("/project-half-space.vtp")).toUtf8();
    });
    Form().CompRunClick();
    EXPECT_EQ(duringVtp, earlier);
    EXPECT_EQ(duringVto, QByteArray("EARLIER REPORT\n"));
    EXPECT_EQ(runVtp, kThreePoints);  // the engine's output waits in the private folder
    EXPECT_EQ(ReadAll(projectVtp).toUtf8(), kThreePoints);
    EXPECT_EQ(ReadAll(Path(QStringLiteral("project-half-space.vto"))), QStringLiteral("THIS RUN\n"));
    EXPECT_EQ(messages_, QStringList{kDone});
    EXPECT_TRUE(Form().ResultsLoaded());
    EXPECT_FALSE(QFileInfo::exists(runFolder));
    EXPECT_EQ(QDir::currentPath(), QFileInfo(project).absolutePath());
}

TEST_F(EngineRun, ResultsThatCannotBeMovedBesideTheProjectAreNotReportedAsDone) {
    OpenProject();
    qputenv("VORTN_FAKE_VTP", Path(QStringLiteral("fresh.vtp")).toUtf8());
    // A folder where the plot-data file should go: it cannot be replaced.
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("project-half-space.vtp/inside"))));
    Form().CompRunClick();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_NE(messages_[0], kDone);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("project-half-space.vtp"))) << messages_[0].toStdString();
    EXPECT_FALSE(Form().ResultsLoaded());
    EXPECT_FALSE(Form().RunInProgress());
}

TEST_F(EngineRun, TheHiddenViewerItemSaysWhenTheViewerIsMissing) {
    OpenProject();
    Form().N3DView1Click();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("Vrt3-viewer"))) << messages_[0].toStdString();
}

// ---- the private run folders ----

TEST(RunFolders, AtStartUpOnlyTheFoldersOfEndedProcessesAreRemoved) {
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ASSERT_GT(ended, 0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const QString stale = QStringLiteral("vortn-run-%1-a1B2c3").arg(ended);
    const QString live = QStringLiteral("vortn-run-%1-d4E5f6").arg(QCoreApplication::applicationPid());
    const QStringList kept = {live, QStringLiteral("vortn-run-a1B2c3"), QStringLiteral("other-%1-x").arg(ended)};
    QDir dir(base.path());
    for (const QString& name : QStringList{stale} + kept) ASSERT_TRUE(dir.mkpath(name + QStringLiteral("/sub")));
    WriteText(dir.filePath(stale + QStringLiteral("/TAPE7")), "half");
    WriteText(dir.filePath(stale + QStringLiteral("/sub/project.vtp")), "           3\n    6.28");
    WriteText(dir.filePath(QStringLiteral("vortn-run-%1-file").arg(ended)), "a file, not a folder");

    EXPECT_EQ(RemoveStaleRunFolders(base.path()), 1);
    EXPECT_FALSE(dir.exists(stale));
    for (const QString& name : kept) EXPECT_TRUE(dir.exists(name + QStringLiteral("/sub"))) << name.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("vortn-run-%1-file").arg(ended))).isFile());
}

TEST(RunFolders, TheProgramRemovesAStaleFolderWhenItStarts) {
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const QString stale = base.filePath(QStringLiteral("vortn-run-%1-Xy12Zq").arg(ended));
    ASSERT_TRUE(QDir().mkpath(stale));
    WriteText(stale + QStringLiteral("/names.dat"), "3.0.12\r\n");

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), base.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), base.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VORTN_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted());
    // The program removes it before it makes its main window.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(stale); }, kPatienceMs));
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

// The entry point the scope test calls: it notes its current folder.
QString entryFolder;
int NoteFolderEntry(int) {
    entryFolder = QDir::currentPath();
    return 0;
}

struct TThrowingWaiter : TRunWaiter {
    void Wait() override { throw EInOutError(QStringLiteral("the waiter failed")); }
    void Done() override {}
};

TEST(CallEngine, TheCurrentFolderComesBackWhenTheWaitThrows) {
    QTemporaryDir run;
    ASSERT_TRUE(run.isValid());
    const QString before = QDir::currentPath();
    TThrowingWaiter waiter;
    EXPECT_THROW(CallEngine(&NoteFolderEntry, run.path(), waiter), EInOutError);
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(QFileInfo(entryFolder).canonicalFilePath(), QFileInfo(run.path()).canonicalFilePath());
}

int ThrowingEntry(int) { throw std::bad_alloc(); }

struct TDoneWaiter : TRunWaiter {
    void Wait() override {}
    void Done() override {}
};

TEST(CallEngine, AnExceptionOfTheEntryReachesTheCallerAfterTheWorkerEnded) {
    QTemporaryDir run;
    ASSERT_TRUE(run.isValid());
    const QString before = QDir::currentPath();
    TDoneWaiter waiter;
    EXPECT_THROW(CallEngine(&ThrowingEntry, run.path(), waiter), std::bad_alloc);
    EXPECT_EQ(QDir::currentPath(), before);
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

TEST(AboutBox, OkClosesIt) {
    TAboutBox box;
    box.show();
    box.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace

// A pile deck opened as "a.b" beside the half-space project "a.vtd" shares
// its side files and results: neither a save nor a run replaces them, each
// refused with one message naming both files, and the results of "a.vtd"
// are not loaded as the deck's.
TEST_F(EngineRun, AProjectNotNamedVtdLeavesTheSideFilesOfTheVtdBesideIt) {
    CopyExample(QStringLiteral("project-half-space"));
    for (const char* ext : {".vtd", ".vtm", ".vtt"})
        ASSERT_TRUE(QFile::rename(Path(QStringLiteral("project-half-space") + QLatin1String(ext)),
                                  Path(QStringLiteral("a") + QLatin1String(ext))));
    ASSERT_TRUE(QFile::copy(ExampleFile(QStringLiteral("project-pile.vtd")), Path(QStringLiteral("a.b"))));
    WriteText(Path(QStringLiteral("a.vtp")), kThreePoints);
    WriteText(Path(QStringLiteral("a.vto")), "report of a.vtd\r\n");
    QMap<QString, QByteArray> before;
    for (const char* ext : {".vtd", ".vtm", ".vtt", ".vtp", ".vto"}) {
        const QString f = Path(QStringLiteral("a") + QLatin1String(ext));
        before[f] = ReadAll(f).toUtf8();
    }
    qputenv("VORTN_FAKE_VTP", Path(QStringLiteral("fresh.vtp")).toUtf8());
    WriteText(Path(QStringLiteral("fresh.vtp")), kThreePoints);

    Form().OpenFileName(Path(QStringLiteral("a.b")));
    EXPECT_EQ(Form().Project().FoundationWord.toStdString(), "PILE");
    EXPECT_FALSE(Form().ResultsLoaded());
    EXPECT_EQ(messages_.join('|').toStdString(), "");
    const QString refusal =
            QStringLiteral("The project \"%1\" was not saved: its mass data file, geometry file and run results "
                           "(a.vtm, a.vtt, a.vto, a.vtp) are those of the project \"%2\" beside it, which they "
                           "would replace. Please, save the project under another name.")
                    .arg(Path(QStringLiteral("a.b")), Path(QStringLiteral("a.vtd")));
    EXPECT_FALSE(Form().FileSaveClick());
    EXPECT_EQ(messages_, QStringList{refusal});
    messages_.clear();
    Form().CompRunClick();
    EXPECT_EQ(messages_, QStringList{refusal});
    EXPECT_FALSE(QFileInfo::exists(record_)) << "the engine ran";
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_EQ(ReadAll(it.key()).toUtf8(), it.value()) << it.key().toStdString();
}
