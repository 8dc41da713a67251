// The grid table editors as the X server shows them: every header line and
// row number is painted from the first paint, before any typing.
#include "grid_editor.h"
#include "input_dialog.h"
#include "number_cell_delegate.h"
#include "number_format.h"
#include "main_form_on_screen.h"
#include "project_holder.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QtTest/QTest>

#include <initializer_list>
#include <utility>
#include <ostream>
#include <vector>

using namespace vortn;
using namespace vortn::test;

namespace {

// An editor opened while another one is open already.
struct EditorCase {
    const char* name;
    TGridTable& (TProjectHolder::*table)() const;
    TGridTable& (TProjectHolder::*before)() const;
};

void PrintTo(const EditorCase& c, std::ostream* os) { *os << c.name; }

class GridEditorOnScreen : public ::testing::TestWithParam<EditorCase> {};

// The header cells and row numbers of `form` that `shot` shows without
// their text: a header line, or a row number, each named.
QStringList Unpainted(const QImage& shot, const TMainForm& w, const TTableForm& form) {
    auto onScreen = [&](QWidget* widget, QRect r) {
        return QRect(widget->mapToGlobal(r.topLeft()), r.size()).translated(-w.screen()->geometry().topLeft());
    };
    QStringList missing;
    QHeaderView* columns = form.Grid->horizontalHeader();
    QHeaderView* rows = form.Grid->verticalHeader();
    for (int c = 0; c < form.Grid->columnCount(); ++c) {
        const QRect cell(columns->sectionViewportPosition(c) + 2, 2, columns->sectionSize(c) - 4,
                         columns->height() - 4);
        if (DarkPixels(shot, onScreen(columns->viewport(), cell)) <= 10)
            missing << QStringLiteral("header of column %1").arg(c);
    }
    for (int r = 0; r < form.Grid->rowCount() && r < form.RowsShown(); ++r) {
        const QRect cell(2, rows->sectionViewportPosition(r) + 2, rows->width() - 4, rows->sectionSize(r) - 4);
        if (DarkPixels(shot, onScreen(rows->viewport(), cell)) <= 3)
            missing << QStringLiteral("number of row %1").arg(r);
    }
    return missing;
}

// The editor of `table`, once the X server shows it whole (or the test's
// patience is out); the last screenshot in `shot`.
TTableForm* ShownEditor(const TMainForm& w, TGridTable& table, QImage& shot) {
    auto* form = dynamic_cast<TTableForm*>(table.Editor());
    if (!form) return nullptr;
    (void)QTest::qWaitFor(
            [&] {
                shot = GrabScreen();
                return form->isVisible() && Unpainted(shot, w, *form).isEmpty();
            },
            kPatienceMs);
    return form;
}

TEST_P(GridEditorOnScreen, HeadersAndRowNumbersShowFromTheFirstPaint) {
    TMainForm w;
    ASSERT_NO_FATAL_FAILURE(ShowMainForm(w, QStringLiteral("project-pile.vtd"), {1280, 1000}));
    QImage shot;
    TGridTable& before = (w.Holder().*GetParam().before)();
    before.ShowTable();
    ASSERT_NE(ShownEditor(w, before, shot), nullptr);
    TGridTable& table = (w.Holder().*GetParam().table)();
    table.ShowTable();
    TTableForm* form = ShownEditor(w, table, shot);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("screen_editor_%1.png").arg(QLatin1String(GetParam().name)))));
    const QStringList missing = Unpainted(shot, w, *form);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
        Tables, GridEditorOnScreen,
        ::testing::Values(EditorCase{"soil_properties", &TProjectHolder::D, &TProjectHolder::Pilecoord},
                          EditorCase{"pile_coordinates", &TProjectHolder::Pilecoord, &TProjectHolder::D},
                          EditorCase{"mass_components", &TProjectHolder::MassCal, &TProjectHolder::D}),
        [](const auto& info) { return std::string(info.param.name); });

// The region a widget painted at its first paint.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* w) { w->installEventFilter(this); }
    bool Painted() const { return painted_; }
    const QRegion& Region() const { return region_; }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            region_ = static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }

private:
    bool painted_ = false;
    QRegion region_;
};

// A one-row table opened after several input dialogs, each shown and painted
// before the next opens, as a user opens them from the menus.
struct OneRowCase {
    const char* name;
    const char* project;
    std::vector<TDialogKind> before;
    TGridTable& (TProjectHolder::*table)() const;
};

void PrintTo(const OneRowCase& c, std::ostream* os) { *os << c.name; }

class OneRowEditorOnScreen : public ::testing::TestWithParam<OneRowCase> {};

TEST_P(OneRowEditorOnScreen, RowNumberPaintedAtTheFirstPaint) {
    const OneRowCase& c = GetParam();
    TMainForm w;
    ASSERT_NO_FATAL_FAILURE(ShowMainForm(w, QLatin1String(c.project)));
    for (TDialogKind kind : c.before) {
        QWidget* dialog = w.Dialogs().OpenDialog(kind);
        ASSERT_NE(dialog, nullptr);
        const FirstPaint shown(dialog);
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown.Painted(); }, kPatienceMs));
    }
    TGridTable& table = (w.Holder().*c.table)();
    ASSERT_EQ(table.RowCount(), 1);
    table.ShowTable();
    auto* form = dynamic_cast<TTableForm*>(table.Editor());
    ASSERT_NE(form, nullptr);
    QHeaderView* rows = form->Grid->verticalHeader();
    const FirstPaint rowNumbers(rows->viewport());
    const FirstPaint cells(form->Grid->viewport());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowNumbers.Painted() && cells.Painted(); }, kPatienceMs));

    // The first paint covers the row number and every cell: nothing of the
    // window beneath is left in them for a later paint to correct.
    const QRect number(0, rows->sectionViewportPosition(0), rows->viewport()->width(), rows->sectionSize(0));
    auto height = [](const QRegion& r) { return r.boundingRect().height(); };
    EXPECT_TRUE(QRegion(number).subtracted(rowNumbers.Region()).isEmpty())
            << "the row number's first paint is " << height(rowNumbers.Region()) << " of " << number.height()
            << " pixels high";
    EXPECT_TRUE(QRegion(form->Grid->viewport()->rect()).subtracted(cells.Region()).isEmpty())
            << "the cells' first paint is " << cells.Region().boundingRect().width() << " of "
            << form->Grid->viewport()->width() << " pixels wide";

    const QImage shot = GrabScreen();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("screen_one_row_%1.png").arg(QLatin1String(c.name)))));
    const QRect cell(2, number.top() + 2, number.width() - 4, number.height() - 4);
    const QRect onScreen = QRect(rows->viewport()->mapToGlobal(cell.topLeft()), cell.size())
                                   .translated(-w.screen()->geometry().topLeft());
    EXPECT_GT(DarkPixels(shot, onScreen), 3) << "number of the row";
}

// Rows of `r` in `shot` that hold a dark pixel: the first and the last.
std::pair<int, int> InkRows(const QImage& shot, const QRect& r) {
    int first = -1, last = -1;
    for (int y = r.top(); y <= r.bottom(); ++y)
        if (DarkPixels(shot, QRect(r.left(), y, r.width(), 1)) > 0) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

TEST(GridEditorCells, NumberTooWideForItsColumnStaysOnOneLine) {
    TMainForm w;
    ASSERT_NO_FATAL_FAILURE(ShowMainForm(w, QStringLiteral("project-half-space.vtd")));
    w.UnitsClick(1);  // English: the 0.5 m layer is 1.6404199 ft thick
    TGridTable& table = w.Holder().D1();
    table.ShowTable();
    auto* form = dynamic_cast<TTableForm*>(table.Editor());
    ASSERT_NE(form, nullptr);
    const FirstPaint cells(form->Grid->viewport());
    ASSERT_TRUE(QTest::qWaitFor([&] { return cells.Painted(); }, kPatienceMs));
    ASSERT_EQ(form->Grid->item(0, 0)->text(), QStringLiteral("1.6404199"));
    const QFontMetrics fm(form->Grid->font());
    ASSERT_GT(fm.horizontalAdvance(QStringLiteral("1.6404199")), form->Grid->columnWidth(0) - 6)
            << "the case needs a number wider than its column";

    const QImage shot = GrabScreen();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("screen_editor_narrow_number.png"))));
    QRect cell = form->Grid->visualRect(form->Grid->model()->index(0, 0)).adjusted(1, 1, -1, -1);
    cell = QRect(form->Grid->viewport()->mapToGlobal(cell.topLeft()), cell.size())
                   .translated(-w.screen()->geometry().topLeft());
    const auto [first, last] = InkRows(shot, cell);
    ASSERT_GE(first, 0) << "the cell shows nothing";
    EXPECT_LE(last - first + 1, fm.height()) << "the number takes more than one line";
}

// A number too wide for its column shows fewer significant digits with its
// exponent, never cut into what reads as another number; the whole value is
// the cell's tooltip and its editor's text.
TEST(GridEditorCells, NumberTooWideKeepsItsExponentAndWholeValueInTooltipAndEditor) {
    TMainForm w;
    ASSERT_NO_FATAL_FAILURE(ShowMainForm(w, QStringLiteral("project-half-space.vtd")));
    TGridTable& table = w.Holder().D1();
    table.VisibleColumns(0)->SetText(0, QStringLiteral("1.23456789012E-5"));
    table.ShowTable();
    auto* form = dynamic_cast<TTableForm*>(table.Editor());
    ASSERT_NE(form, nullptr);
    const FirstPaint cells(form->Grid->viewport());
    ASSERT_TRUE(QTest::qWaitFor([&] { return cells.Painted(); }, kPatienceMs));
    const QString whole = form->Grid->item(0, 0)->text();
    ASSERT_TRUE(whole.startsWith(QStringLiteral("1.234567")) && whole.endsWith(QStringLiteral("E-5")))
            << whole.toStdString();
    const QModelIndex index = form->Grid->model()->index(0, 0);
    const QRect rect = form->Grid->visualRect(index);
    const QFontMetrics fm(form->Grid->font());
    ASSERT_GT(fm.horizontalAdvance(whole), rect.width()) << "the case needs a number wider than its column";

    auto* delegate = dynamic_cast<TNumberCellDelegate*>(form->Grid->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    QStyleOptionViewItem option;
    option.initFrom(form->Grid->viewport());
    option.widget = form->Grid;
    option.font = form->Grid->font();
    option.rect = rect;
    const QString shown = delegate->ShownText(option, index);
    EXPECT_FALSE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("E-5"))) << shown.toStdString();
    long double value = 0;
    ASSERT_TRUE(TextToFloat(shown, value)) << shown.toStdString();
    // As many digits as fit, rounded: within half a unit of its last digit.
    EXPECT_NEAR(double(value), 1.23456789012e-5, 0.06e-5) << shown.toStdString();
    EXPECT_LE(fm.horizontalAdvance(shown), rect.width()) << shown.toStdString();
    EXPECT_GE(shown.size(), 3) << "no digit after the point fits: " << shown.toStdString();

    const QImage shot = GrabScreen();
    ASSERT_TRUE(shot.save(ScreenshotPath(QStringLiteral("screen_editor_number_exponent.png"))));

    // The tooltip over the cell holds the whole value.
    QHelpEvent help(QEvent::ToolTip, rect.center(), form->Grid->viewport()->mapToGlobal(rect.center()));
    QApplication::sendEvent(form->Grid->viewport(), &help);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, kPatienceMs));
    EXPECT_EQ(QToolTip::text(), whole);
    for (QWidget* tip : QApplication::topLevelWidgets()) {
        if (tip->inherits("QTipLabel") && tip->isVisible()) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(tip, kPatienceMs));
        }
    }
    ASSERT_TRUE(GrabScreen().save(ScreenshotPath(QStringLiteral("screen_editor_number_tooltip.png"))));
    QToolTip::hideText();

    // So does the editor.
    form->Grid->setCurrentCell(0, 0);
    form->Grid->editItem(form->Grid->item(0, 0));
    auto* editor = form->Grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), whole);
}

INSTANTIATE_TEST_SUITE_P(Tables, OneRowEditorOnScreen,
                         ::testing::Values(OneRowCase{"half_space_soil_layers",
                                                      "project-half-space.vtd",
                                                      {TDialogKind::Title, TDialogKind::Shape, TDialogKind::MassData,
                                                       TDialogKind::FoundationData, TDialogKind::SoilBelow},
                                                      &TProjectHolder::D1},
                                           OneRowCase{"pile_cap_side_soil",
                                                      "project-pile.vtd",
                                                      {TDialogKind::Title, TDialogKind::Shape,
                                                       TDialogKind::PileCapProperties, TDialogKind::PileProperties},
                                                      &TProjectHolder::pilecapsoil}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
