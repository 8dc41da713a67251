// The real program started on a file that begins as a project file does
// but is larger than a project file can be (a sparse file: no disk is
// used): refused at once with its message, and the program goes on with a
// new project.
#include "program_data.h"
#include "real_program_session.h"

using namespace vortn::test;

TEST(RealLargeFile, IsRefusedBeforeItIsRead) {
    TRealProgramSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start(
            QStringLiteral("project-pile"),
            [&](const QString& project) {
                const QString big = QFileInfo(project).dir().filePath(QStringLiteral("big.vtd"));
                QFile f(big);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write("TITLE=huge\r\n");
                ASSERT_TRUE(f.resize(vortn::kMaxProjectFileBytes + 1));
                session.UseProjectFile(QStringLiteral("big.vtd"));
            },
            false));
    const QString box = session.WaitForMessageBox();
    session.Screenshot(QStringLiteral("large_file_refused.png"));
    ASSERT_FALSE(box.isEmpty()) << "no message";
    session.Keys(box, {QStringLiteral("Return")});
    ASSERT_NO_FATAL_FAILURE(session.WaitForMainWindow());
    // The new project's caption, not the large file's.
    EXPECT_TRUE(WaitFor([&] {
        return !session.MessageBoxShown() &&
               Xdotool({QStringLiteral("getwindowname"), session.MainWindow()}) ==
                       QLatin1String("VORT-N 3.0.12 - NewData");
    })) << Xdotool({QStringLiteral("getwindowname"), session.MainWindow()}).toStdString();
    EXPECT_TRUE(session.Running());
    session.Stop();
}
