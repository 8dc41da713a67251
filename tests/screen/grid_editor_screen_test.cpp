// The grid table editors as the X server shows them: every header line and
// row number is painted from the first paint, before any typing.
#include "grid_editor.h"
#include "main_form.h"
#include "patience.h"
#include "project_holder.h"
#include "screen_fixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QtTest/QTest>

#include <ostream>

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
    ASSERT_TRUE(OnXServer()) << "run under tools/virtual-display.sh";
    TMainForm w;
    w.SetStartupFile(QStringLiteral(VORTN_EXAMPLES "/project-pile.vtd"));
    w.resize(1280, 1000);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w, kPatienceMs));
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

}  // namespace
