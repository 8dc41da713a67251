// The real program on the X server, as a user meets it: started on a copy
// of an example project under openbox, driven with xdotool, and watched
// through what the X server holds (its windows, the screen) and through the
// files it saves. Every wait is for something to happen, with a generous
// limit only as a last resort.
#pragma once

#include "patience.h"
#include "screen_fixture.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

namespace vortn::test {

// Runs a command to its end; its standard output, trimmed.
inline QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(kPatienceMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

inline QString Xdotool(const QStringList& args) { return RunTool(QStringLiteral("xdotool"), args); }

// Polls `done` until it holds; false when the last resort ran out.
inline bool WaitFor(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(kPatienceMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    return true;
}

// A top-level window of the program as the window manager sees it.
// About how many pure white pixels the screen shows (every fourth one
// counted): a window of white cells opening or growing raises it.
inline int WhitePixels() {
    const QImage shot = GrabScreen();
    int n = 0;
    for (int y = 0; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2)
            if (shot.pixel(x, y) == qRgb(255, 255, 255)) ++n;
    return n * 4;
}

struct TXWindow {
    QString id;
    QString name;
    QString type;  // _NET_WM_WINDOW_TYPE, e.g. "_NET_WM_WINDOW_TYPE_DIALOG"
};

class TRealProgramSession {
public:
    // Copies `project` (.vtd, .vtm, .vtt) of the examples into a folder of
    // its own, starts openbox and the program with that project.
    // `prepare` may change the copied project file before the program starts.
    // `waitForMainWindow` false: a message at start-up is expected first.
    void Start(const QString& project, const std::function<void(const QString&)>& prepare = {},
               bool waitForMainWindow = true) {
        ASSERT_TRUE(OnXServer()) << "run under tools/virtual-display.sh";
        ASSERT_TRUE(folder_.isValid());
        project_ = folder_.filePath(project + QStringLiteral(".vtd"));
        for (const char* ext : {".vtd", ".vtm", ".vtt"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(VORTN_EXAMPLES "/") + project + QLatin1String(ext),
                                    folder_.filePath(project + QLatin1String(ext))));
        if (prepare) prepare(project_);
        // A window manager killed before leaves its mark on the root window;
        // the new one sets it again once it manages windows.
        RunTool(QStringLiteral("xprop"),
                {QStringLiteral("-root"), QStringLiteral("-remove"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        wm_.start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(wm_.waitForStarted());
        ASSERT_TRUE(WaitFor([this] {
            // One that ended before it came up (the display refused it) is
            // started again.
            if (wm_.state() == QProcess::NotRunning || wm_.waitForFinished(0)) {
                wm_.start(QStringLiteral("openbox"), {});
                wm_.waitForStarted();
            }
            return RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QLatin1String("window id"));
        })) << "openbox did not come up";
        StartProgram(waitForMainWindow);
    }
    // The program (again) with the project; its main window waited for
    // unless a message at start-up is expected first.
    void StartProgram(bool waitForMainWindow = true) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_.filePath(QStringLiteral("config")));
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(folder_.path());
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QStringLiteral(VORTN_PROGRAM), {project_});
        ASSERT_TRUE(program_.waitForStarted());
        if (waitForMainWindow) WaitForMainWindow();
    }
    void WaitForMainWindow() {
        main_ = WaitForWindow([](const TXWindow& w) { return w.name.startsWith(QLatin1String("VORT-N 3")); });
        ASSERT_FALSE(main_.isEmpty()) << "no main window";
    }
    // The program ends as a killed one does, without a word.
    void KillProgram() {
        program_.kill();
        program_.waitForFinished(kPatienceMs);
    }
    void Stop() {
        if (wm_.state() != QProcess::NotRunning) {
            wm_.terminate();
            wm_.waitForFinished(kPatienceMs);
        }
        for (QProcess* p : {&program_, &wm_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->kill();
            p->waitForFinished();
        }
    }

    QString Project() const { return project_; }
    // The program starts on `fileName` of the project's folder instead
    // (called from `prepare`).
    void UseProjectFile(const QString& fileName) { project_ = folder_.filePath(fileName); }
    QString Folder() const { return folder_.path(); }
    QString MainWindow() const { return main_; }
    bool Running() {
        program_.waitForFinished(0);
        return program_.state() == QProcess::Running;
    }
    QProcess& Program() { return program_; }

    // The program's visible windows.
    QList<TXWindow> Windows() {
        QList<TXWindow> out;
        const QString ids = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                     QString::number(program_.processId())});
        for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            TXWindow w{id, Xdotool({QStringLiteral("getwindowname"), id}), {}};
            const QString type = RunTool(QStringLiteral("xprop"),
                                         {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_WINDOW_TYPE")});
            w.type = type.section(QLatin1Char('='), 1).section(QLatin1Char(','), 0, 0).trimmed();
            out << w;
        }
        return out;
    }
    QString WaitForWindow(const std::function<bool(const TXWindow&)>& match) {
        QString found;
        WaitFor([&] {
            for (const TXWindow& w : Windows())
                if (match(w)) found = w.id;
            return !found.isEmpty() || !Running();
        });
        return found;
    }
    // A message box of the program ("VORT-N", a dialog rather than a menu).
    static bool IsMessageBox(const TXWindow& w) {
        return w.name == QLatin1String("VORT-N") && w.type == QLatin1String("_NET_WM_WINDOW_TYPE_DIALOG");
    }
    QString WaitForMessageBox() { return WaitForWindow(IsMessageBox); }
    bool MessageBoxShown() {
        for (const TXWindow& w : Windows())
            if (IsMessageBox(w)) return true;
        return false;
    }
    bool MenuShown() {
        for (const TXWindow& w : Windows())
            if (w.type.contains(QLatin1String("MENU"))) return true;
        return false;
    }

    // Keys to `window` (activated first), one xdotool key argument each.
    void Keys(const QString& window, const QStringList& keys) {
        Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        for (const QString& k : keys) Xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), k});
    }
    void Type(const QString& text) { Xdotool({QStringLiteral("type"), text}); }

    // Opens the item of the Data menu `downs` places below its first one
    // with the keyboard, and waits until the editor it opens is on the
    // screen (white cells over the grey area of the main window).
    void OpenDataItem(int downs) {
        const int whiteBefore = WhitePixels();
        Keys(main_, {QStringLiteral("alt+d")});
        ASSERT_TRUE(WaitFor([this] { return MenuShown(); })) << "the Data menu did not open";
        QStringList keys;
        for (int i = 0; i < downs; ++i) keys << QStringLiteral("Down");
        keys << QStringLiteral("Return");
        for (const QString& k : keys) Xdotool({QStringLiteral("key"), k});
        ASSERT_TRUE(WaitFor([&] { return !MenuShown() && WhitePixels() > whiteBefore + 5000; }))
                << "no editor came up";
    }

    // The project file as saved, waited for until `done` holds for it.
    bool WaitForSavedFile(const std::function<bool(const QString&)>& done) {
        return WaitFor([&] {
            QFile f(project_);
            return f.open(QIODevice::ReadOnly) && done(QString::fromUtf8(f.readAll()));
        });
    }
    QString SavedFile() const {
        QFile f(project_);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    void Screenshot(const QString& name) {
        const QImage shot = GrabScreen();
        EXPECT_TRUE(shot.save(ScreenshotPath(name)));
    }

private:
    QTemporaryDir folder_;
    QString project_;
    QString main_;
    QProcess wm_, program_;
};

}  // namespace vortn::test
