// The real program on the X server, driven with xdotool under openbox as a
// user meets it: its caption and the captions of its dialogs are exactly
// what the program sets, without the application's name appended.
#include "real_program_session.h"

using namespace vortn::test;

namespace {

QString WindowName(const QString& id) { return Xdotool({QStringLiteral("getwindowname"), id}); }

// Where the window's client area lies on the screen.
QRect WindowGeometry(const QString& id) {
    const QStringList lines =
            Xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id}).split(QLatin1Char('\n'));
    auto value = [&](const char* key) {
        for (const QString& l : lines)
            if (l.startsWith(QLatin1String(key) + QLatin1Char('='))) return l.section(QLatin1Char('='), 1).toInt();
        return 0;
    };
    return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
}

TEST(RealProgram, CaptionsAreExactlyWhatTheProgramSets) {
    TRealProgramSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-pile")));
    const QString main = session.MainWindow();
    EXPECT_EQ(WindowName(main).toStdString(), "VORT-N 3.0.12 - Project-pile");

    // Help > About, once the menu is on the screen.
    session.Keys(main, {QStringLiteral("alt+h")});
    ASSERT_TRUE(WaitFor([&] { return session.MenuShown(); })) << "the Help menu did not open";
    Xdotool({QStringLiteral("key"), QStringLiteral("a")});
    const QString about =
            session.WaitForWindow([](const TXWindow& w) { return w.name.startsWith(QLatin1String("About")); });
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
        return painted();
    });
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("real_program_about.png"))));
    ASSERT_TRUE(shot.rect().contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
    EXPECT_GT(qGray(shot.pixel(box.left() + 4, box.center().y())), 200);
    EXPECT_GT(DarkPixels(shot, box), 200);
    session.Keys(about, {QStringLiteral("Escape")});
    session.Stop();
}

}  // namespace
