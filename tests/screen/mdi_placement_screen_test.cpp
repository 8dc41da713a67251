// Where the MDI children stand on a real X server under openbox: the 3D
// toolbar appearing and going, a smaller or maximized main window, and
// Window > Cascade keep every child wholly inside the area, at its form's
// size where the area has room; the main window opens inside the screen's
// available area at any scale (QT_SCALE_FACTOR, the screen size given to
// tools/virtual-display.sh). Screenshots in build/screenshots.
#include "block_view.h"
#include "graph_plot.h"
#include "amp_plot.h"
#include "dialog_host.h"
#include "input_dialog.h"
#include "main_form.h"
#include "message_box.h"
#include "patience.h"
#include "screen_fixture.h"
#include "side_view.h"
#include "top_view.h"
#include "plot_window.h"
#include "ui_AmpPlot.h"
#include "ui_MainForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest/QTest>

#include <functional>
#include <memory>
#include <string>

using namespace vortn;
using namespace vortn::test;

namespace {

// Waits for a condition the window system brings about; true when it came.
bool WaitUntil(const std::function<bool()>& condition, int ms = kPatienceMs) {
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= ms) return false;
        QTest::qWait(20);
    }
    return true;
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(15000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Where the X server shows `window`'s client area, in the screen's own pixels.
QRect ClientOnXServer(const QWidget* window) {
    const QStringList info =
            RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window->winId())}).split('\n');
    auto value = [&](const char* key) {
        for (const QString& l : info)
            if (l.trimmed().startsWith(QLatin1String(key))) return l.section(QLatin1Char(':'), 1).trimmed().toInt();
        return 0;
    };
    return QRect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"));
}

// The same with the frame the window manager draws around it.
QRect FrameOnXServer(const QWidget* window) {
    const QRect client = ClientOnXServer(window);
    // left, right, top, bottom
    const QStringList extents =
            RunTool(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), QString::number(window->winId()), QStringLiteral("_NET_FRAME_EXTENTS")})
                    .section(QLatin1Char('='), 1)
                    .split(QLatin1Char(','));
    if (extents.size() != 4) return client;
    return client.adjusted(-extents[0].toInt(), -extents[2].toInt(), extents[1].toInt(), extents[3].toInt());
}

// The screen's area for windows as the window manager gives it, in the
// screen's own pixels.
QRect WorkArea() {
    const QStringList v = RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")})
                                  .section(QLatin1Char('='), 1)
                                  .split(QLatin1Char(','));
    return v.size() < 4 ? QRect() : QRect(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt());
}

// `r` of `widget` (its own coordinates) where the screen shows it, in the
// screen's own pixels, from where the X server shows its window.
QRect OnScreen(const QWidget* widget, const QRect& r) {
    const QWidget* window = widget->window();
    const qreal ratio = window->devicePixelRatioF();
    const QPointF in = widget->mapTo(window, r.topLeft());
    return QRect(ClientOnXServer(window).topLeft() + (in * ratio).toPoint(), (QSizeF(r.size()) * ratio).toSize());
}

// The fraction of `part` of `widget` (its own coordinates) that the screen
// shows as the widget paints it: 1 when that part is wholly on the screen
// and uncovered, near 0 when the status bar or the desktop stands there.
double ShownOnScreen(QWidget* widget, const QRect& part) {
    // Both pictures in the screen's own pixels, whatever the scale.
    const QImage own = widget->grab(part).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shot = GrabScreen().convertToFormat(QImage::Format_RGB32);
    const QPoint at = OnScreen(widget, part).topLeft();
    int same = 0;
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) {
            const QPoint p(at.x() + x, at.y() + y);
            if (!shot.rect().contains(p)) continue;
            const QRgb a = own.pixel(x, y), b = shot.pixel(p);
            if (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) < 24)
                ++same;
        }
    return own.isNull() ? 0 : double(same) / (own.width() * own.height());
}

// Waits until the bottom `rows` of `widget` show on the screen as it paints them.
bool BottomShown(QWidget* widget, int rows) {
    const QRect bottom(0, widget->height() - rows, widget->width(), rows);
    return WaitUntil([&] { return ShownOnScreen(widget, bottom) > 0.95; });
}

std::string Text(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

// A main window on a copy of an example project, under openbox; every
// message box is taken by the test (none is expected).
class MdiOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OnXServer()) << "run under tools/virtual-display.sh";
        ASSERT_TRUE(folder_.isValid());
        // openbox runs before the application connects (mdi_screen_main.cpp).
        ASSERT_TRUE(
                RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                        .contains(QStringLiteral("window id")))
                << "openbox does not run";
        SetMessageHook([this](const TMessageRequest& r) {
            messages_ << r.text;
            return int(0x00000400);  // OK
        });
    }
    void TearDown() override {
        form_.reset();
        SetMessageHook(nullptr);
        QDir::setCurrent(previousDir_);
        EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QLatin1Char('\n')).toStdString();
    }
    // What the display holds, for a window that never came up: whether
    // openbox still runs, and the top-level windows with their state.
    static std::string DisplayState() {
        return "\nwindow managers: " +
               RunTool(QStringLiteral("pgrep"), {QStringLiteral("-a"), QStringLiteral("openbox")}).toStdString() +
               "\nroot: " +
               RunTool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                       .toStdString() +
               "\n" +
               RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")})
                       .toStdString();
    }
    // The main window made and shown at the size it opens at, or first
    // resized to `size`; returns when openbox has framed it.
    TMainForm& Open(const QString& example, QSize size = QSize()) {
        for (const char* ext : {".vtd", ".vtm", ".vtt"})
            QFile::copy(QStringLiteral(VORTN_EXAMPLES "/") + example + QLatin1String(ext),
                        folder_.filePath(example + QLatin1String(ext)));
        form_ = std::make_unique<TMainForm>();
        form_->SetStartupFile(folder_.filePath(example + QStringLiteral(".vtd")));
        if (size.isValid()) form_->resize(size);
        form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get(), kPatienceMs)) << DisplayState();
        EXPECT_TRUE(WaitUntil([this] { return !form_->windowHandle()->frameMargins().isNull(); }))
                << "openbox framed no window";
        return *form_;
    }
    QMdiArea* Area() { return form_->MdiArea(); }
    QRect Room() { return QRect(QPoint(0, 0), Area()->viewport()->size()); }
    // The children that stick out of the area, with where they stand.
    std::string Outside() {
        std::string out;
        for (QMdiSubWindow* s : Area()->subWindowList())
            if (s->isVisible() && !Room().contains(s->geometry()))
                out += s->windowTitle().toStdString() + " at " + Text(s->geometry()) + "; ";
        return out;
    }
    // The area's visible part on the screen, in the screen's own pixels.
    QRect AreaOnScreen() { return OnScreen(Area()->viewport(), Area()->viewport()->rect()); }
    // The screen once it shows the main window as the window paints itself.
    bool Shot(const char* name) {
        const bool painted = WaitUntil([this] { return ShownOnScreen(form_.get(), form_->rect()) > 0.9; });
        return GrabScreen().save(ScreenshotPath(QLatin1String(name))) && painted;
    }
    QMdiSubWindow* Frame(QWidget* form) { return form ? qobject_cast<QMdiSubWindow*>(form->parentWidget()) : nullptr; }
    QMdiSubWindow* Child(const QString& title) {
        for (QMdiSubWindow* s : Area()->subWindowList())
            if (s->windowTitle().trimmed() == title) return s;
        return nullptr;
    }
    // A result plot with one curve over 0..2, opened as its window.
    QMdiSubWindow* OpenPlot(TGraphPlot& plot) {
        plot.SetLineCount(1);
        plot.SetPointCount(3);
        for (int i = 0; i < 3; ++i) plot.Points(0, i).X = i, plot.Points(0, i).Y = i * i;
        plot.Execute();
        QApplication::processEvents();
        return Frame(dynamic_cast<QWidget*>(plot.Window()));
    }
    // The four geometry views and the six result plots of the Graphics menu.
    QList<QMdiSubWindow*> OpenViewsAndPlots() {
        TMainForm& w = *form_;
        w.TopViewClick();
        w.SideViewXZClick();
        w.SideViewYZClick();
        w.View3DClick();
        QList<QMdiSubWindow*> subs = {Frame(w.TopView()), Frame(w.SideViewXZ()), Frame(w.SideViewYZ()),
                                      Frame(w.View3DWindow())};
        TResultPlots& p = w.Plots();
        for (TGraphPlot* plot :
             {&p.pltRealKXX(), &p.pltRealKPPX(), &p.pltDampCXX(), &p.pltDampCPPX(), &p.pltDxyzR(), &p.pltMxyzR()})
            subs << OpenPlot(*plot);
        for (QMdiSubWindow* s : subs) EXPECT_NE(s, nullptr);
        subs.removeAll(nullptr);
        return subs;
    }
    // Waits for the area to take its new size after the main window's
    // layout or the window manager changed it.
    bool WaitForRoom(const std::function<bool(QSize)>& condition) {
        return WaitUntil([&] { return condition(Area()->viewport()->size()); });
    }

    QTemporaryDir folder_;
    QString previousDir_ = QDir::currentPath();
    std::unique_ptr<TMainForm> form_;
    QStringList messages_;
};

using MdiPlacement = MdiOnScreen;

// Showing the 3D toolbar makes the area shorter; children at its bottom
// move up, a child taller than the area shrinks to it and takes its size
// back when the toolbar goes; a smaller and a maximized main window keep
// them inside too.
TEST_F(MdiPlacement, AreaSizeChangesKeepTheChildrenInside) {
    TMainForm& w = Open(QStringLiteral("project-pile"), QSize(1024, 768));
    // Put where the window manager would not put a new window.
    w.move(120, 90);
    ASSERT_TRUE(WaitUntil([&] { return FrameOnXServer(&w).topLeft() == QPoint(120, 90); })) << Text(FrameOnXServer(&w));
    w.TopViewClick();
    w.DataPilePropertiesClick();
    w.Holder().Pilecoord().ShowTable();
    QApplication::processEvents();
    QMdiSubWindow* top = Frame(w.TopView());
    QMdiSubWindow* pile = Child(QStringLiteral("Pile Properties"));
    QMdiSubWindow* coords = Child(QStringLiteral("Pile Coordinations"));
    ASSERT_TRUE(top && pile && coords);
    // The user has put the two side by side at the bottom of the area and
    // made the top view as tall as the area.
    const QSize room = Room().size();
    top->setGeometry(0, 0, 400, room.height());
    pile->move(room.width() - pile->width(), room.height() - pile->height());
    coords->move(pile->x() - coords->width(), room.height() - coords->height());
    const QSize pileSize = pile->size(), coordsSize = coords->size();
    ASSERT_EQ(Outside(), "");

    const QRect frame = FrameOnXServer(&w);
    w.View3DClick();
    ASSERT_TRUE(WaitForRoom([&](QSize now) { return now.height() < room.height(); })) << "the toolbar took no room";
    // The main window stays where it was.
    EXPECT_TRUE(WaitUntil([&] { return FrameOnXServer(&w) == frame; }))
            << Text(FrameOnXServer(&w)) << " was " << Text(frame);
    EXPECT_EQ(Outside(), "");
    EXPECT_EQ(pile->size(), pileSize);
    EXPECT_EQ(coords->size(), coordsSize);
    EXPECT_EQ(top->height(), Room().height());
    // The last rows of each child show on the screen, not under the status bar.
    const QRect status = OnScreen(w.statusBar(), w.statusBar()->rect());
    for (QMdiSubWindow* s : {top, pile, coords}) {
        const QRect onScreen = OnScreen(s, s->rect());
        EXPECT_TRUE(AreaOnScreen().contains(onScreen)) << s->windowTitle().toStdString() << " " << Text(onScreen);
        EXPECT_FALSE(onScreen.intersects(status)) << s->windowTitle().toStdString();
    }
    EXPECT_TRUE(BottomShown(pile->widget(), 40)) << "the last row of Pile Properties";
    EXPECT_TRUE(BottomShown(coords->widget(), 30)) << "the last row of Pile Coordinations";
    EXPECT_TRUE(Shot("mdi_toolbar_shown.png"));

    ASSERT_NE(w.View3DWindow(), nullptr);
    w.View3DWindow()->parentWidget()->close();
    ASSERT_TRUE(WaitForRoom([&](QSize now) { return now == room; })) << "the toolbar did not go";
    EXPECT_TRUE(Shot("mdi_toolbar_hidden.png"));
    EXPECT_EQ(Outside(), "");
    EXPECT_EQ(top->height(), room.height());  // its size back

    w.resize(800, 600);
    ASSERT_TRUE(WaitForRoom([&](QSize now) { return now.height() < room.height() - 100; }));
    EXPECT_TRUE(Shot("mdi_main_window_smaller.png"));
    EXPECT_EQ(Outside(), "");

    w.showMaximized();
    ASSERT_TRUE(WaitForRoom([&](QSize now) { return now.height() > room.height(); }));
    w.View3DClick();
    ASSERT_TRUE(WaitUntil([&] { return !w.Form().ToolBar1->isHidden() && Outside().empty(); })) << Outside();
    EXPECT_TRUE(Shot("mdi_main_window_maximized.png"));
}

// Four views and six plots, cascaded in an area 650 pixels high: every
// child lies wholly inside at its form's size, the one in front too, with
// its frequency axis on the screen.
TEST_F(MdiPlacement, CascadePlacesEveryChildWhollyInside) {
    TMainForm& w = Open(QStringLiteral("project-pile"), QSize(1000, 720));
    const int extra = w.height() - Area()->viewport()->height();
    w.resize(1000, 650 + extra + 28);  // the 3D toolbar takes its room
    const QList<QMdiSubWindow*> subs = OpenViewsAndPlots();
    ASSERT_EQ(subs.size(), 10);
    ASSERT_TRUE(WaitForRoom([&](QSize now) { return std::abs(now.height() - 650) < 15; })) << Room().height();

    w.Form().WindowCascade->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Outside(), "");
    for (QMdiSubWindow* s : subs) {
        EXPECT_FALSE(s->isMaximized()) << s->windowTitle().toStdString();
        EXPECT_EQ(s->size(), s->sizeHint()) << s->windowTitle().toStdString();
    }
    // Every title bar shows: no two children share their top-left corner.
    for (int i = 0; i < subs.size(); ++i)
        for (int j = i + 1; j < subs.size(); ++j) EXPECT_NE(subs[i]->pos(), subs[j]->pos()) << i << " " << j;
    QMdiSubWindow* front = Area()->subWindowList(QMdiArea::StackingOrder).last();
    EXPECT_TRUE(BottomShown(front->widget(), 60)) << "the front plot's frequency axis and legend";
    EXPECT_TRUE(Shot("mdi_cascade_ten_children.png"));
}

// The main window at the size it opens at: its frame and status bar on
// the screen's available area, whatever the scale; maximized, it stays so
// when the 3D view opens, and the children it opens and cascades stay
// inside the area, and the area on the screen.
using MainWindowOnScreen = MdiOnScreen;

// `window`'s frame where Qt has it, in the screen's own pixels.
QRect FrameInPixels(const QWidget* window) {
    const qreal ratio = window->devicePixelRatioF();
    const QRect f = window->frameGeometry();
    return QRect(qRound(f.x() * ratio), qRound(f.y() * ratio), qRound(f.width() * ratio), qRound(f.height() * ratio));
}

// Two rectangles alike but for the rounding of a scaled one.
bool Near(const QRect& a, const QRect& b) {
    return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
           std::abs(a.right() - b.right()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1;
}

TEST_F(MainWindowOnScreen, OpensInsideTheAvailableAreaAtAnyScale) {
    TMainForm& w = Open(QStringLiteral("project-pile"));
    const qreal ratio = w.devicePixelRatioF();
    // The X server shows the window where the window asked to be.
    ASSERT_TRUE(WaitUntil([&] { return Near(FrameOnXServer(&w), FrameInPixels(&w)); }))
            << Text(FrameOnXServer(&w)) << " asked " << Text(FrameInPixels(&w));
    EXPECT_TRUE(Shot("main_window_opened.png"));
    const QRect frame = FrameOnXServer(&w);
    EXPECT_TRUE(WorkArea().contains(frame))
            << "frame " << Text(frame) << " on " << Text(WorkArea()) << " at scale " << ratio;
    const QRect status = OnScreen(w.statusBar(), w.statusBar()->rect());
    EXPECT_TRUE(WorkArea().contains(status)) << Text(status);

    w.showMaximized();
    ASSERT_TRUE(WaitUntil([&] { return w.isMaximized() && Near(FrameOnXServer(&w), WorkArea()); }))
            << Text(FrameOnXServer(&w)) << " on " << Text(WorkArea());
    // Opening the 3D view leaves the window maximized.
    OpenViewsAndPlots();
    w.DataPilePropertiesClick();
    w.Holder().Pilecoord().ShowTable();
    w.Holder().D().ShowTable();
    ASSERT_TRUE(WaitUntil([&] { return !w.Form().ToolBar1->isHidden() && Outside().empty(); })) << Outside();
    EXPECT_TRUE(Shot("main_window_maximized_children.png"));
    EXPECT_TRUE(w.isMaximized());
    EXPECT_TRUE(Near(FrameOnXServer(&w), WorkArea())) << Text(FrameOnXServer(&w));
    EXPECT_TRUE(WorkArea().contains(AreaOnScreen())) << Text(AreaOnScreen());
    for (QMdiSubWindow* s : Area()->subWindowList()) {
        if (s->isMaximized()) continue;
        EXPECT_EQ(s->size(), s->sizeHint()) << s->windowTitle().toStdString();
    }

    w.Form().WindowCascade->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(Shot("main_window_maximized_cascade.png"));
    EXPECT_EQ(Outside(), "");
}

// A dialog that grows to its picture once placed (Data > Option of
// Foundation System after three views, where the area puts a new child at
// its bottom) is fitted back inside: its caption under the picture shows.
TEST_F(MdiPlacement, ADialogGrowingAfterItIsPlacedStaysInside) {
    TMainForm& w = Open(QStringLiteral("project-pile"));
    w.TopViewClick();
    w.SideViewXZClick();
    w.SideViewYZClick();
    w.DataLayoutClick();
    QApplication::processEvents();
    QMdiSubWindow* layout = Child(QStringLiteral("Foundation Options"));
    ASSERT_NE(layout, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Outside().empty(); })) << Outside();
    EXPECT_TRUE(BottomShown(layout->widget(), 40)) << "the caption under the picture";
    EXPECT_TRUE(Shot("mdi_grown_dialog.png"));
}

// A plot maximized before the 3D toolbar appears keeps its legend inside
// the plot box, off the x axis' tick labels.
TEST_F(MdiPlacement, AMaximizedPlotKeepsItsLegendOffTheTickLabels) {
    TMainForm& w = Open(QStringLiteral("project-pile"), QSize(1024, 768));
    const QSize room = Room().size();
    QMdiSubWindow* sub = OpenPlot(w.Plots().pltRealKXX());
    ASSERT_NE(sub, nullptr);
    auto* plot = qobject_cast<TPlotForm*>(sub->widget());
    ASSERT_NE(plot, nullptr);
    sub->showMaximized();
    ASSERT_TRUE(WaitUntil([&] { return ShownOnScreen(plot, plot->rect()) > 0.9; }));
    auto legendInPlot = [plot] {
        const TIntRect& r = plot->Layout().plot;
        const QRect l = plot->Legend()->geometry();
        return l.left() >= r.Left && l.top() >= r.Top && l.right() < r.Right && l.bottom() < r.Bottom;
    };
    ASSERT_TRUE(legendInPlot());
    w.View3DClick();
    ASSERT_TRUE(WaitForRoom([&](QSize now) { return now.height() < room.height(); })) << "the toolbar took no room";
    ASSERT_TRUE(WaitUntil([&] { return plot->Layout().windowHeight == plot->Legend()->parentWidget()->height(); }));
    const TIntRect& r = plot->Layout().plot;
    EXPECT_TRUE(legendInPlot()) << "legend " << Text(plot->Legend()->geometry()) << " plot bottom " << r.Bottom;
    w.View3DWindow()->parentWidget()->lower();
    sub->raise();
    EXPECT_TRUE(Shot("mdi_maximized_plot_legend.png"));
}

// The mouse read-out in a plot's and a view's caption goes when the mouse
// leaves the window: neither the caption nor the Window menu keeps it.
TEST_F(MdiPlacement, CaptionsDropTheMouseReadOutWhenTheMouseLeaves) {
    TMainForm& w = Open(QStringLiteral("project-pile"), QSize(1024, 768));
    QMdiSubWindow* plot = OpenPlot(w.Plots().pltRealKXX());
    w.TopViewClick();
    QMdiSubWindow* top = Frame(w.TopView());
    ASSERT_TRUE(plot && top);
    plot->showNormal();
    plot->setGeometry(0, 0, 450, 350);
    top->setGeometry(460, 0, 300, 300);
    const QString plotCaption = plot->windowTitle(), topCaption = top->windowTitle();
    ASSERT_FALSE(plotCaption.contains(QStringLiteral(" X: ")));
    for (QMdiSubWindow* s : {plot, top}) {
        QWidget* form = s->widget();
        QCursor::setPos(form->mapToGlobal(form->rect().center()));
        EXPECT_TRUE(WaitUntil([&] { return s->windowTitle().contains(QStringLiteral(" X: ")); }))
                << s->windowTitle().toStdString() << ": no read-out";
    }
    // Off both, onto the status bar.
    QCursor::setPos(w.statusBar()->mapToGlobal(w.statusBar()->rect().center()));
    EXPECT_TRUE(WaitUntil([&] { return plot->windowTitle() == plotCaption; })) << plot->windowTitle().toStdString();
    EXPECT_TRUE(WaitUntil([&] { return top->windowTitle() == topCaption; })) << top->windowTitle().toStdString();
    w.WindowMenuClick();
    for (const QAction* a : w.Form().WindowMenu->actions())
        EXPECT_FALSE(a->text().contains(QStringLiteral(" X: "))) << a->text().toStdString();
    EXPECT_TRUE(Shot("mdi_captions_after_leave.png"));
}

// Forms larger than their room (the main window at 150 % on 1280x1024):
// each child opens and cascades wholly inside the area, every control of it
// can be brought into view, and no label is squeezed below its text.
using FormsOnScreen = MdiOnScreen;

struct LargeFormCase {
    const char* example;
    void (TMainForm::*open)();
    const char* title;
};

// What of `control` the area shows, in the area's coordinates: its
// rectangle cut by every widget it lies in.
QRect ShownPart(QWidget* control, QWidget* areaViewport) {
    QRect r(control->mapTo(areaViewport, QPoint(0, 0)), control->size());
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget()) {
        r &= QRect(p->mapTo(areaViewport, QPoint(0, 0)), p->size());
        if (p == areaViewport) break;
    }
    return r;
}

// Moves `scroll`'s bars, as a user would, until `c` shows whole where it can.
void ScrollTo(QScrollArea* scroll, QWidget* c) {
    const QRect r(c->mapTo(scroll->widget(), QPoint(0, 0)), c->size());
    const QSize view = scroll->viewport()->size();
    auto bring = [](QScrollBar* bar, int from, int to, int extent) {
        if (to >= bar->value() + extent) bar->setValue(to - extent + 1);
        if (from < bar->value()) bar->setValue(from);
    };
    bring(scroll->horizontalScrollBar(), r.left(), r.right(), view.width());
    bring(scroll->verticalScrollBar(), r.top(), r.bottom(), view.height());
}

// The controls of the form in `sub` that cannot be brought wholly into
// view (by its scroll bars where it has them), and the labels narrower
// than their text; one line each.
std::string Unreachable(QMdiSubWindow* sub, QWidget* areaViewport) {
    std::string out;
    auto* scroll = sub->widget()->findChild<QScrollArea*>();
    for (QWidget* c : sub->widget()->findChildren<QWidget*>()) {
        if (!c->isVisible()) continue;
        const bool control = qobject_cast<QAbstractButton*>(c) ||
                             (qobject_cast<QLineEdit*>(c) && !qobject_cast<QComboBox*>(c->parentWidget())) ||
                             qobject_cast<QComboBox*>(c) || qobject_cast<QLabel*>(c);
        if (!control) continue;
        const std::string name =
                (c->objectName() + QStringLiteral(" \"") +
                 (qobject_cast<QLabel*>(c) ? qobject_cast<QLabel*>(c)->text() : QString()) + QStringLiteral("\""))
                        .toStdString();
        if (auto* label = qobject_cast<QLabel*>(c);
            label && !label->wordWrap() && !label->text().isEmpty() && label->pixmap().isNull()) {
            const int needed = label->fontMetrics().horizontalAdvance(label->text().remove(QLatin1Char('&')));
            if (label->contentsRect().width() < needed)
                out += name + " cut (" + std::to_string(label->contentsRect().width()) + " of " +
                       std::to_string(needed) + " px); ";
        }
        if (scroll) ScrollTo(scroll, c);
        if (ShownPart(c, areaViewport).size() != c->size())
            out += name + " out of reach (" + Text(ShownPart(c, areaViewport)) + " of " + Text(c->geometry()) +
                   (scroll ? " in " + Text(scroll->viewport()->geometry()) + " contents " +
                                     Text(scroll->widget()->geometry())
                           : std::string()) +
                   "); ";
    }
    return out;
}

TEST_F(FormsOnScreen, LargeFormsOpenAndCascadeWithEveryControlReachable) {
    const LargeFormCase cases[] = {
            {"project-half-space", &TMainForm::DataMassClick, "Mass Data"},
            {"project-pile", &TMainForm::DataPileCapMassClick, "Pile Cap Properties"},
    };
    for (const LargeFormCase& c : cases) {
        SCOPED_TRACE(c.title);
        TMainForm& w = Open(QLatin1String(c.example));
        (w.*c.open)();
        QApplication::processEvents();
        QMdiSubWindow* sub = Child(QLatin1String(c.title));
        ASSERT_NE(sub, nullptr);
        const QString shot = QStringLiteral("mdi_large_form_%1_%2.png")
                                     .arg(QLatin1String(c.example))
                                     .arg(w.devicePixelRatioF() * 100);
        EXPECT_TRUE(WaitUntil([&] { return Outside().empty(); })) << "opened: " << Outside();
        EXPECT_TRUE(Shot(shot.toLatin1().constData()));
        EXPECT_EQ(Unreachable(sub, Area()->viewport()), "") << "opened";

        w.TopViewClick();
        w.Form().WindowCascade->trigger();
        QApplication::processEvents();
        Area()->setActiveSubWindow(sub);
        EXPECT_EQ(Outside(), "") << "cascaded";
        EXPECT_EQ(Unreachable(sub, Area()->viewport()), "") << "cascaded";
        EXPECT_TRUE(Shot(
                QString(shot).replace(QStringLiteral(".png"), QStringLiteral("_cascade.png")).toLatin1().constData()));
        form_.reset();
    }
}

// The amplitude chart and the quadratic-load form, windows of their own:
// each opens inside the screen's available area, every button within reach.
TEST_F(FormsOnScreen, AmplitudeChartOpensInsideTheAvailableArea) {
    TMainForm& w = Open(QStringLiteral("project-half-space"));
    TDlgAmpPlot* chart = w.AmpPlot();
    ASSERT_NE(chart, nullptr);
    chart->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chart, kPatienceMs));
    ASSERT_TRUE(WaitUntil([&] { return !chart->windowHandle()->frameMargins().isNull(); }));
    EXPECT_TRUE(WaitUntil([&] { return WorkArea().contains(FrameOnXServer(chart)); }))
            << Text(FrameOnXServer(chart)) << " on " << Text(WorkArea());
    QPushButton* close = chart->Form().Button5;
    if (auto* scroll = chart->findChild<QScrollArea*>()) ScrollTo(scroll, close);
    EXPECT_EQ(ShownPart(close, chart).size(), close->size()) << "CLOSE";
    EXPECT_TRUE(WorkArea().contains(OnScreen(close, close->rect()))) << Text(OnScreen(close, close->rect()));
    QApplication::processEvents();
    const QImage screen = GrabScreen();
    EXPECT_TRUE(screen.save(
            ScreenshotPath(QStringLiteral("amp_chart_on_screen_%1.png").arg(chart->devicePixelRatioF() * 100))));
    chart->hide();

    w.HarmonicClick(1);
    QWidget* quad = w.Dialogs().ActiveDialog();
    ASSERT_TRUE(quad && quad->isWindow());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quad, kPatienceMs));
    ASSERT_TRUE(WaitUntil([&] { return !quad->windowHandle()->frameMargins().isNull(); }));
    EXPECT_TRUE(WaitUntil([&] { return WorkArea().contains(FrameOnXServer(quad)); }))
            << Text(FrameOnXServer(quad)) << " on " << Text(WorkArea());
    auto* scroll = quad->findChild<QScrollArea*>();
    // Where the screen has room, at its contents' size: no scroll bars.
    if (scroll && quad->screen()->availableGeometry().height() > quad->sizeHint().height() + 40) {
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible()) << "scrolls with room to spare";
    }
    for (QAbstractButton* b : quad->findChildren<QAbstractButton*>()) {
        if (!b->isVisible()) continue;
        if (scroll) ScrollTo(scroll, b);
        EXPECT_EQ(ShownPart(b, quad).size(), b->size()) << b->text().toStdString();
        EXPECT_TRUE(WorkArea().contains(OnScreen(b, b->rect()))) << b->text().toStdString();
    }
    EXPECT_TRUE(GrabScreen().save(
            ScreenshotPath(QStringLiteral("quadratic_form_on_screen_%1.png").arg(quad->devicePixelRatioF() * 100))));
}

}  // namespace
