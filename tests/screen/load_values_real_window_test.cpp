// The load tables of the real program as a user types into them.
#include "real_program_session.h"
#include "transient_deck.h"

using namespace vortn::test;

namespace {

// The half-space example under a transient load of `points` points and one
// load per pick-list item in `items`, the amplitudes 1, 2, ... each.
std::function<void(const QString&)> MakeTransient(int points, std::vector<int> items) {
    return [points, items](const QString& project) {
        QFile f(project);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QByteArray deck = f.readAll();
        f.close();
        ASSERT_TRUE(MakeTransientDeck(deck, points, items));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(deck);
    };
}

// A click at x, y of `window`'s client area.
void ClickAt(const QString& window, int x, int y) {
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("--sync"),
             QString::number(x), QString::number(y)});
    Xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

// Where x, y of the main window's client area lies on the screen: where
// the pointer goes when moved there (the window's reported geometry counts
// the frame in).
QPoint OnScreen(TRealProgramSession& session, int x, int y) {
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), session.MainWindow(), QStringLiteral("--sync"),
             QString::number(x), QString::number(y)});
    const QString where = Xdotool({QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    QPoint p;
    for (const QString& l : where.split(QLatin1Char('\n'))) {
        if (l.startsWith(QLatin1String("X="))) p.setX(l.mid(2).toInt());
        if (l.startsWith(QLatin1String("Y="))) p.setY(l.mid(2).toInt());
    }
    return p;
}

// A window over the grey area of the main window at x, y: white cells or
// a light button face.
bool WindowAt(TRealProgramSession& session, int x, int y) {
    const QPoint p = OnScreen(session, x, y);
    const QImage shot = GrabScreen();
    return shot.rect().contains(p) && qGray(shot.pixel(p)) > 185;
}

// Data > Transient Loading Data, its Data Button, and the button of the
// first load in the table that opens: the load's amplitude editor, whose
// Delete Row button has the focus.
void OpenFirstAmplitudes(TRealProgramSession& session) {
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(9));
    session.Keys(session.MainWindow(),
                 {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")});
    // The first load's button, on its face left of its caption.
    ASSERT_TRUE(WaitFor([&] { return WindowAt(session, 630, 82); })) << "no load table";
    const int white = WhitePixels();
    ClickAt(session.MainWindow(), 630, 82);
    ASSERT_TRUE(WaitFor([&] { return WhitePixels() > white + 5000; })) << "no amplitude editor";
}

}  // namespace

// Transient, 4 points, one load: 8 amplitudes typed, then File Save. The
// save names amplitudes 5 to 8 first; its default answer writes nothing.
TEST(RealLoadValues, AmplitudesBeyondThePointsAreNamedBeforeTheSave) {
    TRealProgramSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-half-space"), MakeTransient(4, {1})));
    const QByteArray before = session.SavedFile().toUtf8();
    ASSERT_NO_FATAL_FAILURE(OpenFirstAmplitudes(session));
    // Four rows more, each waited for, then the values from the first cell on.
    for (int i = 0; i < 4; ++i) {
        const int white = WhitePixels();
        session.Keys(session.MainWindow(), {QStringLiteral("alt+a")});
        ASSERT_TRUE(WaitFor([&] { return WhitePixels() > white + 1000; })) << "no row added";
    }
    ClickAt(session.MainWindow(), 538, 193);
    for (int v = 11; v <= 18; ++v) {
        session.Keys(session.MainWindow(), {QStringLiteral("ctrl+a")});
        session.Type(QString::number(v));
        session.Keys(session.MainWindow(), {QStringLiteral("Return")});
    }
    session.Screenshot(QStringLiteral("load_values_typed.png"));
    session.Keys(session.MainWindow(), {QStringLiteral("ctrl+s")});
    const QString question = session.WaitForMessageBox();
    session.Screenshot(QStringLiteral("load_values_save_question.png"));
    ASSERT_FALSE(question.isEmpty()) << "amplitudes 5 to 8 cut without a word: " << session.SavedFile().toStdString();
    session.Keys(question, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown(); }));
    EXPECT_EQ(session.SavedFile().toUtf8(), before);
    EXPECT_TRUE(session.Running());
    session.Stop();
}

// Answers the message box or question that comes up with its default and
// waits until it has gone; its picture in `shot`.
void AnswerBox(TRealProgramSession& session, const QString& shot, const char* what) {
    const QString box = session.WaitForMessageBox();
    session.Screenshot(shot);
    ASSERT_FALSE(box.isEmpty()) << what;
    session.Keys(box, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitFor([&] { return !session.MessageBoxShown(); }));
}

// Loads X and Z; abc typed over the first amplitude of X. A click on Z's
// number and Delete Row each show the refusal and delete nothing; mended,
// Delete Row deletes Z, the load picked, and X keeps its amplitudes.
TEST(RealLoadValues, DeleteRowWaitsForARefusedAmplitudeAndDeletesTheLoadPicked) {
    TRealProgramSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-half-space"), MakeTransient(8, {1, 3})));
    ASSERT_NO_FATAL_FAILURE(OpenFirstAmplitudes(session));
    const QString main = session.MainWindow();
    ClickAt(main, 538, 222);  // X's first amplitude
    session.Keys(main, {QStringLiteral("ctrl+a")});
    session.Type(QStringLiteral("abc"));
    ClickAt(main, 439, 113);  // Z's number in the load table
    ASSERT_NO_FATAL_FAILURE(AnswerBox(session, QStringLiteral("load_rows_pick_refused.png"), "no refusal"));
    ClickAt(main, 622, 143);  // the load table's Delete Row
    ASSERT_NO_FATAL_FAILURE(
            AnswerBox(session, QStringLiteral("load_rows_delete_refused.png"), "Delete Row went on in silence"));
    session.Screenshot(QStringLiteral("load_rows_kept.png"));
    // Mended where the refusal left the focus (a key starts a new entry),
    // then Delete Row and File Save.
    session.Type(QStringLiteral("5"));
    session.Keys(main, {QStringLiteral("Return")});
    session.Screenshot(QStringLiteral("load_rows_mended.png"));
    ClickAt(main, 622, 143);
    session.Keys(main, {QStringLiteral("ctrl+s")});
    EXPECT_TRUE(session.WaitForSavedFile([](const QString& text) {
        return text.contains(QLatin1String("CONSTANTS \r\n8 \r\n0.01 \r\n1 \r\n1 \r\n5 \r\n2 \r\n3 \r\n"));
    })) << session.SavedFile().toStdString();
    session.Screenshot(QStringLiteral("load_rows_deleted.png"));
    EXPECT_TRUE(session.Running());
    session.Stop();
}

// -5 points, Tab: the box's message, and it shows 0. File Save then asks
// only whether the amplitudes beyond 0 points may go (no, the default) and
// saves the time interval typed before; it is not refused in silence.
TEST(RealLoadValues, ABoxShowingItsBoundLetsTheSaveRun) {
    TRealProgramSession session;
    ASSERT_NO_FATAL_FAILURE(session.Start(QStringLiteral("project-half-space"), MakeTransient(8, {1})));
    // Data > Transient Loading Data: its first box, the number of points.
    ASSERT_NO_FATAL_FAILURE(session.OpenDataItem(9));
    const QString main = session.MainWindow();
    session.Keys(main, {QStringLiteral("Tab"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")});
    session.Type(QStringLiteral("0.02"));
    session.Keys(main, {QStringLiteral("shift+Tab"), QStringLiteral("ctrl+a"), QStringLiteral("BackSpace"),
                        QStringLiteral("minus"), QStringLiteral("5"), QStringLiteral("Tab")});
    ASSERT_NO_FATAL_FAILURE(AnswerBox(session, QStringLiteral("box_bound_message.png"), "-5 taken without a word"));
    session.Keys(main, {QStringLiteral("ctrl+s")});
    ASSERT_NO_FATAL_FAILURE(
            AnswerBox(session, QStringLiteral("box_bound_fewer_points.png"), "the save was refused in silence"));
    EXPECT_TRUE(session.WaitForSavedFile([](const QString& text) {
        return text.contains(QLatin1String("TRANSIENT \r\nCONSTANTS \r\n8 \r\n0.02 \r\n1 \r\n1 \r\n1 \r\n2 \r\n"));
    })) << session.SavedFile().toStdString();
    EXPECT_FALSE(session.MessageBoxShown());
    session.Stop();
}
