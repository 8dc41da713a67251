// A run killed with the program, in the real program: the project file was
// saved at the start of the run, the plot data beside it are the last
// completed run's. Opening the project again says so.
#include "real_program_session.h"
#include "result_age.h"

#include <QFileInfo>

using namespace vortn::test;

TEST(RealProgramKilledRun, OpeningSaysTheResultsAreTheLastCompletedRuns) {
    TRealProgramSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-half-space")));
    const QString plotFile = QFileInfo(session.Project()).path() + QStringLiteral("/project-half-space.vtp");
    // A completed run: Computation > Run Analysis, its message answered.
    session.Keys(session.MainWindow(), {QStringLiteral("alt+c"), QStringLiteral("r")});
    const QString done = session.WaitForMessageBox();
    ASSERT_FALSE(done.isEmpty()) << "the run gave no message";
    session.Keys(done, {QStringLiteral("Return")});
    ASSERT_TRUE(QFileInfo::exists(plotFile));
    // A completed run's results are those of the project as saved.
    EXPECT_FALSE(vortn::ResultsOlderThanProject(session.Project(), plotFile));
    ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown(); }));
    // The input edited (Data > Units > English), then the next run's first
    // step, its save; then the program is killed.
    const QDateTime run = QFileInfo(plotFile).lastModified();
    session.Keys(session.MainWindow(), {QStringLiteral("alt+d"), QStringLiteral("u"), QStringLiteral("e")});
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+s")});
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(session.Project()).lastModified() > run; }));
    session.KillProgram();
    // Opened again: the results load, with a word on where they come from.
    ASSERT_NO_FATAL_FAILURE(session.StartProgram(false));
    const QString hint = session.WaitForMessageBox();
    session.Screenshot(QStringLiteral("killed_run_results_hint.png"));
    EXPECT_FALSE(hint.isEmpty()) << "the results loaded without a word";
    if (!hint.isEmpty()) session.Keys(hint, {QStringLiteral("Return")});
    ASSERT_NO_FATAL_FAILURE(session.WaitForMainWindow());
    EXPECT_TRUE(session.Running());
    session.Stop();
}
