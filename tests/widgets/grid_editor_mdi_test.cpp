// The grid table editor as an MDI child: opened through the installed
// factory into an MDI area, its sub-window takes the form's size, border
// dragging snaps to whole rows, a cell can be edited, and deactivation
// follows the child's activation. A screenshot is saved for a reviewer.
#include "columns.h"
#include "message_catcher.h"
#include "grid_editor.h"
#include "patience.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QtTest/QTest>

#include <memory>

using namespace vortn;

namespace {

class GridEditorMdi : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageHook(test::CollectMessages(messages));
        area = std::make_unique<QMdiArea>();
        area->resize(900, 700);
        area->show();
        area->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(area.get(), test::kPatienceMs));
        InstallGridEditor(area.get());
        table = std::make_unique<TGridTable>();
        table->SetCaption("Soil");
        table->SetTopLeft("Layer");
        for (const char* caption : {"Depth", "Unit weight", "Vs"}) {
            auto* c = new TFloatColumn(table.get());
            c->CaptionLines() << caption;
            table->AddColumn(c);
        }
        table->SetMinRows(1);
        table->SetMaxRows(100);
        table->SetRowCount(25);
        for (int r = 0; r < 25; ++r) table->Cells(0, r).SetAsFloat(r + 1);
        table->ShowTable();
        form = dynamic_cast<TTableForm*>(table->Editor());
        ASSERT_NE(form, nullptr);
        sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
        ASSERT_NE(sub, nullptr);
        Settle();
    }
    void TearDown() override {
        table.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        area.reset();
        SetMessageHook(nullptr);
        SetCellControlFactory(nullptr);
        SetTableEditorFactory(nullptr);
    }
    static void Settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }
    int RowHeight() const { return form->Grid->verticalHeader()->defaultSectionSize(); }
    // The grid shows `rows` whole rows and no part of another.
    void ExpectWholeRows(int rows) const {
        const QHeaderView* h = form->Grid->horizontalHeader();
        const int inside = form->Grid->viewport()->height();
        EXPECT_EQ(inside, rows * RowHeight()) << "header " << h->height();
    }

    QStringList messages;
    std::unique_ptr<QMdiArea> area;
    std::unique_ptr<TGridTable> table;
    TTableForm* form = nullptr;
    QMdiSubWindow* sub = nullptr;
};

TEST_F(GridEditorMdi, SubWindowTakesTheFormsSizeAndSnapsWhenDragged) {
    EXPECT_EQ(area->subWindowList().size(), 1);
    EXPECT_EQ(area->activeSubWindow(), sub);
    // The frame around exactly the form's laid-out size: ten whole rows.
    EXPECT_EQ(form->size(), form->sizeHint());
    EXPECT_EQ(sub->size(), sub->sizeHint());
    EXPECT_EQ(form->RowsShown(), 10);
    ExpectWholeRows(10);
    const QSize tenRows = sub->size();

    // Dragging the bottom border up by three and a half rows: the six whole
    // rows that fit.
    sub->resize(tenRows.width(), tenRows.height() - 3 * RowHeight() - RowHeight() / 2);
    Settle();
    EXPECT_EQ(form->RowsShown(), 6);
    ExpectWholeRows(6);
    EXPECT_EQ(sub->size(), sub->sizeHint());
    EXPECT_EQ(sub->height(), tenRows.height() - 4 * RowHeight());
    EXPECT_EQ(sub->width(), tenRows.width());
}

TEST_F(GridEditorMdi, CellIsEditedInTheChild) {
    form->Grid->setFocus();
    form->Grid->setCurrentCell(1, 0);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "2*4");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 8.0);
    EXPECT_EQ(form->Grid->item(1, 0)->text(), "8");
    EXPECT_EQ(form->Grid->currentRow(), 2);
    EXPECT_TRUE(table->Modified());
    EXPECT_TRUE(messages.isEmpty());

    const QImage shot = area->grab().toImage();
    QDir().mkpath(VORTN_SCREENSHOT_DIR);
    ASSERT_TRUE(shot.save(QStringLiteral(VORTN_SCREENSHOT_DIR "/grid_editor_mdi.png")));
    // The child stands at the area's top left; the area's dark background
    // shows beyond its right edge, the grid's white cells inside it.
    const QPoint gridAt = form->Grid->viewport()->mapTo(area.get(), QPoint(0, 0));
    EXPECT_EQ(shot.pixelColor(gridAt + QPoint(form->Grid->columnWidth(0) + 5, RowHeight() * 4 + 3)),
              QColor(Qt::white));
    const QColor beyond = shot.pixelColor(sub->geometry().right() + 20, sub->geometry().center().y());
    EXPECT_LT(beyond.lightness(), 200) << beyond.name().toStdString();
}

TEST_F(GridEditorMdi, DeactivationFollowsTheChildNotTheApplication) {
    QMdiSubWindow* other = area->addSubWindow(new QLineEdit);
    other->show();
    area->setActiveSubWindow(sub);
    Settle();
    form->Grid->setFocus();
    form->Grid->setCurrentCell(0, 0);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setText("abc");
    // Another application window: not a deactivation of the child.
    {
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere, test::kPatienceMs));
    }
    area->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(area.get(), test::kPatienceMs));
    Settle();
    EXPECT_TRUE(messages.isEmpty());
    // Another MDI child: the commit runs, fails once, and the editor comes back.
    area->setActiveSubWindow(other);
    Settle();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Entry could not be evaluated:")) << messages[0].toStdString();
    EXPECT_EQ(area->activeSubWindow(), sub);
    EXPECT_EQ(double(table->Cells(0, 0).AsFloat()), 1.0);
}

}  // namespace

// In a main window whose menu bar has a menu of the same letter, Alt and a
// row button's letter is that button: Alt+D deletes the row, the Data menu
// stays shut.
TEST(GridEditorInMainWindow, RowButtonMnemonicsWinOverTheMenuBar) {
    QStringList messages;
    SetMessageHook(test::CollectMessages(messages));
    QMainWindow main;
    QMenu* data = main.menuBar()->addMenu(QStringLiteral("&Data"));
    int dataOpened = 0;
    QObject::connect(data, &QMenu::aboutToShow, [&] { ++dataOpened; });
    data->addAction(QStringLiteral("Title"));
    auto* area = new QMdiArea;
    main.setCentralWidget(area);
    main.resize(900, 700);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main, test::kPatienceMs));
    InstallGridEditor(area);
    {
        TGridTable table;
        table.SetCaption("Piles");
        auto* x = new TFloatColumn(&table);
        x->CaptionLines() << "X";
        table.AddColumn(x);
        table.SetMinRows(1);
        table.SetMaxRows(100);
        table.SetRowCount(3);
        for (int r = 0; r < 3; ++r) table.Cells(0, r).SetAsFloat(r + 1);
        table.ShowTable();
        auto* form = dynamic_cast<TTableForm*>(table.Editor());
        ASSERT_NE(form, nullptr);
        QApplication::processEvents();
        form->Grid->setFocus();
        form->Grid->setCurrentCell(1, 0);
        QTest::keyClick(form->Grid, Qt::Key_D, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([form] { return !form->BtnDel->isDown(); }, test::kPatienceMs));
        QApplication::processEvents();
        EXPECT_EQ(dataOpened, 0);
        EXPECT_FALSE(data->isVisible());
        data->hide();
        ASSERT_EQ(table.RowCount(), 2);
        EXPECT_EQ(double(table.Cells(0, 1).AsFloat()), 3.0);
        // Alt+A is the Add Row button's, as before.
        QTest::keyClick(form->Grid, Qt::Key_A, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&table] { return table.RowCount() == 3; }, test::kPatienceMs));
        EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetMessageHook(nullptr);
    SetCellControlFactory(nullptr);
    SetTableEditorFactory(nullptr);
}
