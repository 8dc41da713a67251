// The geometry views as the X server shows them: the side views draw the
// multilayer column as wide as the project makes it in their plane, and a
// view opened from the View menu, with the mouse, shows the project with the
// entry being typed in a dialog committed, or refuses with its message.
#include "data_edit.h"
#include "foundation_dialogs.h"
#include "input_dialog.h"
#include "main_form_on_screen.h"
#include "message_catcher.h"
#include "side_view.h"
#include "top_view.h"
#include "ui_MainForm.h"
#include "ui_TfrmShape.h"

#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QRadioButton>
#include <QtTest/QTest>

#include <ostream>

using namespace vortn;
using namespace vortn::test;

namespace {

// Whether a widget has painted since the object was made.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* w) { w->installEventFilter(this); }
    bool Painted() const { return painted_; }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted_ = true;
        return false;
    }

private:
    bool painted_ = false;
};

// Where a point of a widget lies in a screenshot.
QPoint OnScreen(const QWidget* widget, QPoint p) {
    return widget->mapToGlobal(p) - widget->screen()->geometry().topLeft();
}

// The run of dark pixels through `from` along its row of `shot`: its left
// and right ends.
std::pair<int, int> DarkRun(const QImage& shot, QPoint from) {
    auto dark = [&](int x) { return x >= 0 && x < shot.width() && qGray(shot.pixel(x, from.y())) < 96; };
    int left = from.x(), right = from.x();
    while (dark(left - 1)) --left;
    while (dark(right + 1)) ++right;
    return {left, right};
}

class ProgramWindow : public ::testing::Test {
protected:
    void Open(const char* project) {
        ASSERT_NO_FATAL_FAILURE(ShowMainForm(w_, QLatin1String(project)));
        w_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w_, kPatienceMs));
    }
    // View Geometry > `item`, clicked with the mouse as a user does.
    void ClickViewMenu(QAction* item) {
        QMenuBar* bar = w_.menuBar();
        QMenu* menu = w_.Form().ViewMenu;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, kPatienceMs)) << "the View menu did not open";
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }, kPatienceMs));
    }
    TMainForm w_;
};

// ---- the column of the multilayer example in both side views ----

struct ColumnCase {
    const char* name;
    bool yz;
    Extended width;  // metres across the plane
};

void PrintTo(const ColumnCase& c, std::ostream* os) { *os << c.name; }

class SideViewColumn : public ProgramWindow, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(SideViewColumn, DrawnAsWideAsItsRadiusInThePlane) {
    const ColumnCase& c = GetParam();
    Open("project-multilayer.vtd");
    ASSERT_NO_FATAL_FAILURE(ClickViewMenu(c.yz ? w_.Form().ViewSideYZ : w_.Form().ViewSideXZ));
    TDlgSideView* view = c.yz ? static_cast<TDlgSideView*>(w_.SideViewYZ()) : w_.SideViewXZ();
    ASSERT_NE(view, nullptr);
    const PaintWatch painted(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return painted.Painted(); }, kPatienceMs));
    const QImage shot = GrabScreen();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("screen_multilayer_%1.png").arg(QLatin1String(c.name)))));

    // Across the column halfway down, clear of the layer labels at its left.
    const TSideViewModel& m = view->Model();
    ASSERT_EQ(m.Records().size(), 1u);
    const Extended depth = m.Records()[0].P[2].z * 2 / 5;
    const QPoint centre = OnScreen(view, QPoint(m.PixelX(0, view->width()), m.PixelY(depth, view->height())));
    const auto [left, right] = DarkRun(shot, centre);
    const Extended metresPerPixel = (m.ViewWindow().xmax - m.ViewWindow().xmin) / view->width();
    EXPECT_NEAR(double((right - left + 1) * metresPerPixel), double(c.width), double(2 * metresPerPixel))
            << "drawn " << right - left + 1 << " pixels wide";
}

// project-multilayer: radius 2 along x and 1.5 along y, as its 4 x 3 footing.
INSTANTIATE_TEST_SUITE_P(Planes, SideViewColumn,
                         ::testing::Values(ColumnCase{"xz", false, 4}, ColumnCase{"yz", true, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the Top View after a shape typed in the shape dialog ----

class TopViewFromTheMenu : public ProgramWindow {
protected:
    // Data > Option of Foundation Shape: Circular, `radius` typed, then Tab
    // when `tab`.
    TfrmShape* TypeCircle(const char* radius, bool tab) {
        auto* shape = dynamic_cast<TfrmShape*>(w_.Dialogs().OpenDialog(TDialogKind::Shape));
        if (!shape) return nullptr;
        Ui::TfrmShape& f = shape->Form();
        // On its round mark, where a click takes.
        QTest::mouseClick(f.RadioButton2, Qt::LeftButton, {}, QPoint(7, f.RadioButton2->height() / 2));
        f.DataEdit1->setFocus(Qt::MouseFocusReason);
        f.DataEdit1->selectAll();
        if (QApplication::focusWidget() != f.DataEdit1) {
            ADD_FAILURE() << "the Radius box does not take the focus";
            return nullptr;
        }
        QTest::keyClicks(f.DataEdit1, QLatin1String(radius));
        if (tab) QTest::keyClick(f.DataEdit1, Qt::Key_Tab);
        return shape;
    }
};

TEST_F(TopViewFromTheMenu, ShowsTheShapeBeingTyped) {
    Open("project-half-space.vtd");
    TfrmShape* shape = TypeCircle("2", true);
    ASSERT_NE(shape, nullptr);
    ASSERT_TRUE(shape->Form().DataEdit1->Valid());
    ASSERT_NO_FATAL_FAILURE(ClickViewMenu(w_.Form().ViewTop));
    TDlgTopView* view = w_.TopView();
    ASSERT_NE(view, nullptr);
    const PaintWatch painted(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return painted.Painted(); }, kPatienceMs));
    const QImage shot = GrabScreen();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("screen_top_view_typed_circle.png"))));

    EXPECT_EQ(w_.Project().Radius, 2);
    // The window is fitted around the square of the circle of radius 2.
    const TPlanWindow& m = view->Model().ModelWindow();
    EXPECT_NEAR(double(m.xmin), -4 / 1.9, 1e-12);
    EXPECT_NEAR(double(m.ymax), 4 / 1.9, 1e-12);
    // On the screen the square fills most of the window's height: its edges
    // cross the middle row well apart.
    const QPoint middle = OnScreen(view, QPoint(view->width() / 2, view->height() / 2));
    int left = -1, right = -1;
    for (int x = OnScreen(view, QPoint(0, 0)).x(); x < middle.x(); ++x)
        if (qGray(shot.pixel(x, middle.y())) < 96) {
            left = x;
            break;
        }
    for (int x = OnScreen(view, QPoint(view->width() - 1, 0)).x(); x > middle.x(); --x)
        if (qGray(shot.pixel(x, middle.y())) < 96) {
            right = x;
            break;
        }
    ASSERT_GE(left, 0) << "no outline left of the middle";
    ASSERT_GE(right, 0) << "no outline right of the middle";
    EXPECT_GT(right - left, view->height() * 8 / 10) << "the square is drawn " << right - left << " pixels wide";
}

TEST_F(TopViewFromTheMenu, RefusedWithTheEntrysMessage) {
    QStringList messages;
    SetMessageHook(CollectMessages(messages));
    Open("project-half-space.vtd");
    TfrmShape* shape = TypeCircle("2+", false);
    ASSERT_NE(shape, nullptr);
    ASSERT_TRUE(messages.isEmpty());
    ASSERT_NO_FATAL_FAILURE(ClickViewMenu(w_.Form().ViewTop));
    EXPECT_EQ(w_.TopView(), nullptr) << "the view opened over an invalid entry";
    EXPECT_EQ(messages.size(), 1) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(shape->Form().DataEdit1->text(), QStringLiteral("2+"));
    EXPECT_EQ(w_.Project().Radius, 0);
    SetMessageHook(nullptr);
}

}  // namespace
