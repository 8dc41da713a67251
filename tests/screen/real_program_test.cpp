// The real program on the X server, driven with xdotool under openbox as a
// user meets it: its caption and the captions of its dialogs are exactly
// what the program sets, without the application's name appended.
#include "patience.h"
#include "screen_fixture.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

using namespace vortn::test;

namespace {

// Runs a command to its end (at most `ms`); its standard output, trimmed.
QString RunTool(const QString& program, const QStringList& args, int ms = kPatienceMs) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Asks `found` again and again until it gives a non-empty answer or the
// test's patience is out.
template <typename Found>
QString WaitFor(Found found) {
    for (QDeadlineTimer patience(kPatienceMs);; QThread::msleep(50)) {
        const QString answer = found();
        if (!answer.isEmpty() || patience.hasExpired()) return answer;
    }
}

// The first visible window whose name matches `pattern`, waited for.
QString FindWindow(const QString& pattern) {
    return WaitFor([&] {
        return RunTool(QStringLiteral("xdotool"),
                       {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern})
                .section(QLatin1Char('\n'), 0, 0);
    });
}

// The window manager's own window, once it manages the screen.
QString WindowManagerWindow() {
    return WaitFor([] {
        const QString line =
                RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        return line.contains(QLatin1String("window id #")) ? line : QString();
    });
}

QString WindowName(const QString& id) {
    return RunTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id});
}

// Where the window's client area lies on the screen.
QRect WindowGeometry(const QString& id) {
    const QStringList lines =
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id})
                    .split(QLatin1Char('\n'));
    auto value = [&](const char* key) {
        for (const QString& l : lines)
            if (l.startsWith(QLatin1String(key) + QLatin1Char('='))) return l.section(QLatin1Char('='), 1).toInt();
        return 0;
    };
    return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
}

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OnXServer()) << "run under tools/virtual-display.sh";
        ASSERT_TRUE(folder_.isValid());
        for (const char* ext : {".vtd", ".vtm", ".vtt"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(VORTN_EXAMPLES "/project-pile") + QLatin1String(ext),
                                    folder_.filePath(QStringLiteral("project-pile") + QLatin1String(ext))));
        wm_.start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(wm_.waitForStarted());
        ASSERT_FALSE(WindowManagerWindow().isEmpty());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_.filePath(QStringLiteral("config")));
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(folder_.path());
        program_.start(QStringLiteral(VORTN_PROGRAM), {folder_.filePath(QStringLiteral("project-pile.vtd"))});
        ASSERT_TRUE(program_.waitForStarted());
    }
    void TearDown() override {
        for (QProcess* p : {&program_, &wm_}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->kill();
            p->waitForFinished();
        }
    }
    void Key(const QString& window, const QString& keys) {
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    }
    QTemporaryDir folder_;
    QProcess wm_, program_;
};

TEST_F(RealProgram, CaptionsAreExactlyWhatTheProgramSets) {
    const QString main = FindWindow(QStringLiteral("^VORT-N 3"));
    ASSERT_FALSE(main.isEmpty());
    EXPECT_EQ(WindowName(main).toStdString(), "VORT-N 3.0.12 - Project-pile");

    Key(main, QStringLiteral("alt+h"));
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("a")});
    const QString about = FindWindow(QStringLiteral("^About"));
    ASSERT_FALSE(about.isEmpty());
    EXPECT_EQ(WindowName(about).toStdString(), "About VORT-PILE");
    // The box is on the screen, on its window background with its texts,
    // once the X server has it painted.
    QImage shot;
    QRect box;
    auto painted = [&] {
        return shot.rect().contains(box) && qGray(shot.pixel(box.left() + 4, box.center().y())) > 200 &&
               DarkPixels(shot, box) > 200;
    };
    (void)WaitFor([&] {
        shot = GrabScreen();
        box = WindowGeometry(about);
        return painted() ? about : QString();
    });
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("real_program_about.png"))));
    ASSERT_TRUE(shot.rect().contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
    EXPECT_GT(qGray(shot.pixel(box.left() + 4, box.center().y())), 200);
    EXPECT_GT(DarkPixels(shot, box), 200);
    Key(about, QStringLiteral("Escape"));
}

}  // namespace
