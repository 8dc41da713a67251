// The real program on a project not named .vtd whose side files and results
// are those of the .vtd project beside it: a save and a run are refused with
// their message, and every file of the other project stays as it was.
#include "real_program_session.h"

#include <QMap>

using namespace vortn::test;

namespace {

QByteArray ReadFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers the message box that comes up and waits until it has gone.
void AnswerMessage(TRealProgramSession& session, const QString& shot) {
    const QString box = session.WaitForMessageBox();
    ASSERT_FALSE(box.isEmpty()) << "no message";
    session.Screenshot(shot);
    session.Keys(box, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown() || !session.Running(); }));
}

}  // namespace

// "VortN3 a.b", a pile deck, beside "a.vtd", a half-space project with its
// results: Ctrl+S and Computation > Run Analysis each give their message.
TEST(RealSideFiles, AProjectNotNamedVtdLeavesTheVtdBesideItAlone) {
    TRealProgramSession session;
    QMap<QString, QByteArray> theirs;
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-half-space"), [&](const QString& project) {
        const QDir folder = QFileInfo(project).dir();
        for (const char* ext : {".vtd", ".vtm", ".vtt"})
            ASSERT_TRUE(QFile::rename(folder.filePath(QStringLiteral("project-half-space") + QLatin1String(ext)),
                                      folder.filePath(QStringLiteral("a") + QLatin1String(ext))));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd"),
                                folder.filePath(QStringLiteral("a.b"))));
        // The report and plot data of a run of a.vtd, newer than a.b.
        for (const char* ext : {".vto", ".vtp"}) {
            QFile f(folder.filePath(QStringLiteral("a") + QLatin1String(ext)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*ext == '.' && ext[3] == 'p' ? "           1\n    6.28   0.1000E-05  0.2000E-05  0.3000E-05  "
                                                   "0.4000E-05  0.5000E-05  0.6000E-05\n"
                                                 : "report of a.vtd\r\n");
        }
        for (const char* ext : {".vtd", ".vtm", ".vtt", ".vto", ".vtp"}) {
            const QString name = folder.filePath(QStringLiteral("a") + QLatin1String(ext));
            theirs[name] = ReadFile(name);
        }
        session.UseProjectFile(QStringLiteral("a.b"));
    }));
    ASSERT_FALSE(session.MessageBoxShown());
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+s")});
    ASSERT_NO_FATAL_FAILURE(AnswerMessage(session, QStringLiteral("side_files_save_refused.png")));
    session.Keys(session.MainWindow(), {QStringLiteral("alt+c")});
    ASSERT_TRUE(WaitFor([&] { return session.MenuShown(); })) << "the Computation menu did not open";
    Xdotool({QStringLiteral("key"), QStringLiteral("r")});
    ASSERT_NO_FATAL_FAILURE(AnswerMessage(session, QStringLiteral("side_files_run_refused.png")));
    EXPECT_TRUE(session.Running());
    for (auto it = theirs.cbegin(); it != theirs.cend(); ++it)
        EXPECT_EQ(ReadFile(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(ReadFile(session.Project()), ReadFile(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd")));
    session.Stop();
}
