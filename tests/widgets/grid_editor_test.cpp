// The grid table editor window: rows, buttons, cell entry, hooks, closing.
#include "columns.h"
#include "message_catcher.h"
#include "grid_editor.h"
#include "patience.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using namespace vortn;

namespace {

class GridEditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        InstallGridEditor();
        SetMessageHook(test::CollectMessages(messages));
    }
    void TearDown() override {
        table.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetMessageHook(nullptr);
        SetCellControlFactory(nullptr);
        SetTableEditorFactory(nullptr);
    }
    // A table of a float column (x), an integer column (n) and a string column.
    void MakeTable(int rows, int minRows = 1, int maxRows = 500, int group = 1) {
        table = std::make_unique<TGridTable>();
        table->SetCaption("Soil");
        table->SetTopLeft("Layer");
        table->SetRowGroup(group);
        auto* x = new TFloatColumn(table.get());
        x->CaptionLines() << "Depth" << "(ft)";
        table->AddColumn(x);
        auto* n = new TIntColumn(table.get());
        n->CaptionLines() << "Count";
        table->AddColumn(n);
        auto* s = new TStringColumn(table.get());
        s->CaptionLines() << "Name";
        table->AddColumn(s);
        table->SetMinRows(minRows);
        table->SetMaxRows(maxRows);
        table->SetRowCount(rows);
        for (int r = 0; r < rows; ++r) table->Cells(0, r).SetAsFloat(r + 1);
    }
    TTableForm* Show() {
        table->ShowTable();
        auto* form = dynamic_cast<TTableForm*>(table->Editor());
        EXPECT_NE(form, nullptr);
        QApplication::processEvents();
        return form;
    }
    // Types into a grid cell (table row, visible column) and moves to another.
    void Type(TTableForm* f, int row, int col, const QString& text) {
        f->Grid->setCurrentCell(row, col);
        f->Grid->item(row, col)->setText(text);
    }
    std::unique_ptr<TGridTable> table;
    QStringList messages;
};

}  // namespace

TEST_F(GridEditorFixture, SingleRowTableShowsNoRowButtons) {
    MakeTable(1, 1, 1);
    TTableForm* f = Show();
    EXPECT_FALSE(f->BtnAdd->isVisibleTo(f));
    EXPECT_FALSE(f->BtnIns->isVisibleTo(f));
    EXPECT_FALSE(f->BtnDel->isVisibleTo(f));
    EXPECT_EQ(f->windowTitle(), "Soil ");
    EXPECT_EQ(f->HeaderRows(), 2);
    EXPECT_EQ(f->Grid->horizontalHeaderItem(1)->text(), "Count\n");  // padded at the bottom
}

TEST_F(GridEditorFixture, TenRowsShownAndAddScrollsToTheNewLastRow) {
    MakeTable(25);
    TTableForm* f = Show();
    EXPECT_EQ(f->RowsShown(), 10);
    EXPECT_EQ(f->Grid->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(f->Grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(f->BtnAdd->isVisibleTo(f));
    f->BtnAddClick();
    EXPECT_EQ(table->RowCount(), 26);
    EXPECT_EQ(f->Grid->rowCount(), 26);
    EXPECT_EQ(f->RowsShown(), 10);
    EXPECT_EQ(f->TopRow(), 16);
    EXPECT_TRUE(table->Modified());
}

TEST_F(GridEditorFixture, RowGroupsShareOneNumberAndMoveTogether) {
    MakeTable(4, 2, 500, 2);
    TTableForm* f = Show();
    QStringList labels;
    for (int r = 0; r < f->Grid->rowCount(); ++r) labels << f->Grid->verticalHeaderItem(r)->text();
    EXPECT_EQ(labels, QStringList({"1", "1", "2", "2"}));
    // Add: rows shown grow by a group while all rows are shown.
    f->BtnAddClick();
    EXPECT_EQ(table->RowCount(), 6);
    EXPECT_EQ(f->RowsShown(), 6);
    // Insert before the group of row 3 (the second group).
    f->Grid->setCurrentCell(3, 0);
    f->BtnInsClick();
    ASSERT_EQ(table->RowCount(), 8);
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.0);
    EXPECT_EQ(double(table->Cells(0, 4).AsFloat()), 3.0);
    EXPECT_EQ(f->Grid->item(4, 0)->text(), "3");
    // Delete the group of row 0.
    f->Grid->setCurrentCell(0, 0);
    f->BtnDelClick();
    ASSERT_EQ(table->RowCount(), 6);
    EXPECT_EQ(f->Grid->item(2, 0)->text(), "3");
    EXPECT_EQ(f->Grid->verticalHeaderItem(5)->text(), "3");
}

TEST_F(GridEditorFixture, RowButtonsFollowTheLimits) {
    MakeTable(2, 2, 3);
    TTableForm* f = Show();
    EXPECT_TRUE(f->BtnAdd->isEnabled());
    EXPECT_FALSE(f->BtnDel->isEnabled());
    f->BtnAddClick();
    EXPECT_FALSE(f->BtnAdd->isEnabled());
    EXPECT_FALSE(f->BtnIns->isEnabled());
    EXPECT_TRUE(f->BtnDel->isEnabled());
}

TEST_F(GridEditorFixture, RowButtonsWithoutCurrentRowRaise) {
    MakeTable(3);
    TTableForm* f = Show();
    f->Grid->setCurrentCell(-1, -1);
    for (auto click : {&TTableForm::InsertRow, &TTableForm::DeleteRow}) {
        try {
            (f->*click)();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Grid.Row not in valid range");
        }
    }
    EXPECT_EQ(table->RowCount(), 3);
    // Through the buttons' handlers the message is shown instead.
    f->BtnDel->click();
    f->BtnInsClick();
    EXPECT_EQ(messages, QStringList({"Grid.Row not in valid range", "Grid.Row not in valid range"}));
}

TEST_F(GridEditorFixture, TypedExpressionGoesToTheCellAndIsShownAsItsValue) {
    MakeTable(3);
    TTableForm* f = Show();
    table->SetModified(false);
    Type(f, 1, 0, "2*3");
    f->Grid->setCurrentCell(2, 1);
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 6.0);
    EXPECT_EQ(f->Grid->item(1, 0)->text(), "6");
    EXPECT_TRUE(table->Modified());
    EXPECT_EQ(f->Grid->currentRow(), 2);
    // A string cell takes the text as it is.
    Type(f, 0, 2, "sand");
    EXPECT_TRUE(f->CommitCell());
    EXPECT_EQ(table->Cells(2, 0).AsString(), "sand");
}

TEST_F(GridEditorFixture, MovingThroughCellsChangesNoValue) {
    MakeTable(3);
    // More digits than a cell shows.
    table->Cells(0, 0).SetAsFloat(5.0L / 3);
    table->Cells(0, 1).SetAsFloat(1.66666666666666667L);
    table->Cells(1, 0).SetAsInteger(7);
    const long double before0 = table->Cells(0, 0).AsFloat(), before1 = table->Cells(0, 1).AsFloat();
    TTableForm* f = Show();
    table->SetModified(false);
    // Across every cell and back, then the commits of leaving and closing.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) f->Grid->setCurrentCell(r, c);
    f->Grid->setCurrentCell(0, 0);
    EXPECT_TRUE(f->CommitCell());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(table->Cells(0, 0).AsFloat() == before0);
    EXPECT_TRUE(table->Cells(0, 1).AsFloat() == before1);
    EXPECT_EQ(table->Cells(1, 0).AsInteger(), 7);
    EXPECT_FALSE(table->Modified());
    // A typed change still counts.
    Type(f, 0, 0, "2");
    f->Grid->setCurrentCell(1, 0);
    EXPECT_EQ(double(table->Cells(0, 0).AsFloat()), 2.0);
    EXPECT_TRUE(table->Modified());
}

TEST_F(GridEditorFixture, InvalidEntryKeepsTheCellSelected) {
    MakeTable(3);
    TTableForm* f = Show();
    Type(f, 1, 0, "abc");
    f->Grid->setCurrentCell(2, 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Entry could not be evaluated:"));
    EXPECT_EQ(f->Grid->currentRow(), 1);
    EXPECT_EQ(f->Grid->currentColumn(), 0);
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.0);  // the old value
}

TEST_F(GridEditorFixture, ClosingWithInvalidEntryIsRefused) {
    MakeTable(3);
    TTableForm* f = Show();
    Type(f, 0, 0, "1/");
    EXPECT_FALSE(f->close());
    EXPECT_EQ(table->Editor(), f);
    EXPECT_TRUE(f->isVisible());
    ASSERT_EQ(messages.size(), 1);
    // Mended, it closes and lets go of the table.
    f->Grid->item(0, 0)->setText("4");
    EXPECT_TRUE(f->close());
    EXPECT_EQ(table->Editor(), nullptr);
    EXPECT_FALSE(bool(table->ChangeHook));
    EXPECT_FALSE(bool(table->CellChangeHook));
    EXPECT_EQ(double(table->Cells(0, 0).AsFloat()), 4.0);
}

TEST_F(GridEditorFixture, HooksKeepTheGridInStep) {
    MakeTable(3);
    TTableForm* f = Show();
    EXPECT_EQ(table->EditorParent, f);
    table->Cells(0, 2).SetAsFloat(0.5L);
    EXPECT_EQ(f->Grid->item(2, 0)->text(), "0.5");
    table->AppendRowGroup();  // change hook: refill
    EXPECT_EQ(f->Grid->rowCount(), 4);
    // The model moves the selection through the editor.
    table->Editor()->SelectCell(2, 2 + f->HeaderRows());
    EXPECT_EQ(f->Grid->currentRow(), 2);
    EXPECT_EQ(f->Grid->currentColumn(), 1);
}

TEST_F(GridEditorFixture, EnterMovesDownThenToTheNextColumnThenBackToTheFirst) {
    MakeTable(2);
    TTableForm* f = Show();
    f->Grid->setCurrentCell(0, 0);
    const std::pair<int, int> expected[] = {{1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}, {0, 0}};
    for (auto [r, c] : expected) {
        f->Grid->MoveOnEnter();
        EXPECT_EQ(f->Grid->currentRow(), r);
        EXPECT_EQ(f->Grid->currentColumn(), c);
    }
}

TEST_F(GridEditorFixture, DestroyingTheTableFirstLeavesTheWindowWithoutIt) {
    MakeTable(2);
    TTableForm* f = Show();
    QPointer<TTableForm> guard(f);
    table.reset();
    EXPECT_EQ(f->Table(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(GridEditorFixture, PickListColumnEditsWithItsOwnBoxes) {
    table = std::make_unique<TGridTable>();
    auto* e = new TEnumColumn(table.get());
    e->CaptionLines() << "Kind";
    e->SetItems({"Sand", "Clay"});
    table->AddColumn(e);
    auto* x = new TFloatColumn(table.get());
    x->CaptionLines() << "Depth";
    table->AddColumn(x);
    table->SetMaxRows(10);
    table->SetRowCount(2);
    TTableForm* f = Show();
    ASSERT_TRUE(e->HasEditors());
    auto boxes = f->findChildren<QComboBox*>();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0]->isVisibleTo(f));
    EXPECT_EQ(boxes[0]->count(), 2);
    // Choosing an item sets the cell.
    boxes[1]->setCurrentIndex(1);
    emit boxes[1]->activated(1);
    EXPECT_EQ(table->Cells(0, 1).AsInteger(), 2);
    // Its cells cannot be selected in the grid.
    f->Grid->setCurrentCell(0, 1);
    f->Grid->setCurrentCell(0, 0);
    EXPECT_EQ(f->Grid->currentColumn(), 1);
    // Closing frees the boxes.
    EXPECT_TRUE(f->close());
    EXPECT_FALSE(e->HasEditors());
}

TEST_F(GridEditorFixture, SizingByTheBorderTakesWholeRows) {
    MakeTable(25);
    TTableForm* f = Show();
    const QSize now = f->size();
    const int rowH = f->Grid->verticalHeader()->defaultSectionSize();
    const QSize got = f->SizingRect(QSize(now.width(), now.height() - 3 * rowH - rowH / 2), Qt::BottomEdge);
    EXPECT_EQ(f->RowsShown(), 6);
    EXPECT_EQ(got.height(), f->height());
    EXPECT_EQ(f->ColumnsShown(), 3);
}

TEST_F(GridEditorFixture, SizingByTheBorderTakesWholeColumnsAndKeepsTheButtons) {
    table = std::make_unique<TGridTable>();
    for (int k = 0; k < 6; ++k) {
        auto* s = new TStringColumn(table.get());
        s->CaptionLines() << QString("C%1").arg(k);
        table->AddColumn(s);
    }
    table->SetMaxRows(10);
    table->SetRowCount(3);
    TTableForm* f = Show();
    const QSize full = f->size();
    const int colW = f->Grid->columnWidth(0);
    // Narrower by two and a half columns: three whole columns and a scroll bar.
    f->SizingRect(QSize(full.width() - 2 * colW - colW / 2, full.height()), Qt::RightEdge);
    EXPECT_EQ(f->ColumnsShown(), 3);
    EXPECT_EQ(f->Grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(f->RowsShown(), 3);
    // Dragging a bottom edge keeps the current columns.
    f->SizingRect(QSize(f->width(), f->height() + 40), Qt::BottomEdge);
    EXPECT_EQ(f->ColumnsShown(), 3);
    // Never narrower than the row of buttons.
    f->SizingRect(QSize(10, f->height()), Qt::RightEdge);
    EXPECT_GE(f->width(), f->BtnDel->geometry().right() + 1);
    // Wide enough again: all columns, no scroll bar.
    f->SizingRect(full, Qt::RightEdge);
    EXPECT_EQ(f->ColumnsShown(), 6);
    EXPECT_EQ(f->size(), full);
}

TEST_F(GridEditorFixture, EnterInTheCellEditorCommitsAndMovesDown) {
    MakeTable(3);
    TTableForm* f = Show();
    f->activateWindow();
    f->Grid->setFocus();
    f->Grid->setCurrentCell(0, 0);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setText("7/2");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(editor, &enter);
    EXPECT_EQ(double(table->Cells(0, 0).AsFloat()), 3.5);
    EXPECT_EQ(f->Grid->item(0, 0)->text(), "3.5");
    EXPECT_EQ(f->Grid->currentRow(), 1);
}

TEST_F(GridEditorFixture, CommentsAndHelpPictureStandBelowTheButtons) {
    MakeTable(2);
    TTableForm* f = Show();
    EXPECT_FALSE(f->lblComments->isVisibleTo(f));
    f->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    table->SetComments("Depths from the surface");
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::white);
    table->SetHelpPicture(picture);
    f = Show();
    const int m = f->Margin();
    EXPECT_TRUE(f->lblComments->isVisibleTo(f));
    EXPECT_EQ(f->lblComments->text(), "Depths from the surface");
    EXPECT_EQ(f->lblComments->y(), f->BtnAdd->y() + f->BtnAdd->height() + m);
    EXPECT_EQ(f->imgHelp->y(), f->lblComments->y() + f->lblComments->height() + m);
    EXPECT_EQ(f->imgHelp->size(), QSize(40, 30));
    EXPECT_EQ(f->height(), f->imgHelp->y() + 30 + m);
    EXPECT_EQ(f->Grid->pos(), QPoint(m, m));
    EXPECT_EQ(f->BtnIns->x(), f->BtnAdd->x() + 81 + m);
}

TEST_F(GridEditorFixture, DeletingTheCurrentLastRowWritesNothingElsewhere) {
    MakeTable(3);
    TTableForm* f = Show();
    f->Grid->setCurrentCell(2, 0);
    f->BtnDelClick();
    ASSERT_EQ(table->RowCount(), 2);
    EXPECT_EQ(double(table->Cells(0, 0).AsFloat()), 1.0);
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.0);
    EXPECT_EQ(f->Grid->rowCount(), 2);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(GridEditorFixture, WindowPlacement) {
    // Inside a form parent: a borderless child at its top left.
    MakeTable(2);
    QWidget host;
    host.show();
    table->SetFormParent(&host);
    TTableForm* f = Show();
    EXPECT_EQ(f->parentWidget(), &host);
    EXPECT_EQ(f->pos(), QPoint(0, 0));
    EXPECT_TRUE(f->windowFlags() & Qt::FramelessWindowHint);
    table->CloseEditor();
    EXPECT_EQ(table->Editor(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(host.findChildren<TTableForm*>().isEmpty());
    // Without one: an MDI child when an MDI area is installed.
    table->SetFormParent(nullptr);
    QMdiArea area;
    area.show();
    InstallGridEditor(&area);
    f = Show();
    EXPECT_NE(qobject_cast<QMdiSubWindow*>(f->parentWidget()), nullptr);
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_TRUE(f->parentWidget()->close());
    EXPECT_EQ(table->Editor(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(GridEditorFixture, TheCurrentColumnsCaptionIsDrawnAsTheOthersAndFitsItsColumn) {
    // Captions are measured in the grid's font; a current column drawn in
    // bold lost its last letters ("Load Amplitude (kN").
    table = std::make_unique<TGridTable>();
    table->SetCaption("Load Amplitude");
    table->SetTopLeft("Number");
    for (const char* caption : {"Load Amplitude (kN)", "Battered Angle"}) {
        auto* c = new TFloatColumn(table.get());
        c->CaptionLines() << caption;
        table->AddColumn(c);
    }
    table->SetRowCount(2);
    TTableForm* f = Show();
    f->show();
    QApplication::processEvents();
    QHeaderView* header = f->Grid->horizontalHeader();
    auto section = [&](int c) {
        return QRect(header->sectionViewportPosition(c), 0, header->sectionSize(c), header->height());
    };
    f->Grid->setCurrentCell(0, 1);
    QApplication::processEvents();
    const QImage other = header->viewport()->grab().toImage();
    f->Grid->setCurrentCell(0, 0);
    QApplication::processEvents();
    const QImage current = header->viewport()->grab().toImage();
    QDir().mkpath(QStringLiteral(VORTN_SCREENSHOT_DIR));
    current.save(QStringLiteral(VORTN_SCREENSHOT_DIR "/grid_editor_current_column_header.png"));
    EXPECT_TRUE(current.copy(section(0)) == other.copy(section(0)));
    const QFontMetrics fm(header->font());
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < 2; ++c)
        EXPECT_LE(fm.horizontalAdvance(header->model()->headerData(c, Qt::Horizontal).toString()) + margins,
                  header->sectionSize(c))
                << c;
}
// ---- commands while a cell is being edited ----

namespace {

struct RowCommandCase {
    const char* label;
    void (*command)(TTableForm*, QWidget* cellEditor);
    int rowsAfter;      // with a valid entry
    int typedRowAfter;  // where the typed value stands then
};
void PrintTo(const RowCommandCase& c, std::ostream* os) { *os << c.label; }

// A button's shortcut presses it at once and clicks it when it comes up again.
void AltKey(QWidget* w, Qt::Key key) {
    QTest::keyClick(w, key, Qt::AltModifier);
    auto* f = qobject_cast<TTableForm*>(w->window());
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([f] { return !f->BtnAdd->isDown() && !f->BtnIns->isDown() && !f->BtnDel->isDown(); },
                                test::kPatienceMs));
}

const RowCommandCase kRowCommandCases[] = {
        {"AddShortcut", [](TTableForm*, QWidget* e) { AltKey(e, Qt::Key_A); }, 4, 1},
        {"InsertShortcut", [](TTableForm*, QWidget* e) { AltKey(e, Qt::Key_I); }, 4, 2},
        {"DeleteShortcut", [](TTableForm*, QWidget* e) { AltKey(e, Qt::Key_D); }, 2, -1},
        {"AddButton", [](TTableForm* f, QWidget*) { QTest::mouseClick(f->BtnAdd, Qt::LeftButton); }, 4, 1},
        {"InsertButton", [](TTableForm* f, QWidget*) { QTest::mouseClick(f->BtnIns, Qt::LeftButton); }, 4, 2},
        {"AddCalled", [](TTableForm* f, QWidget*) { f->BtnAddClick(); }, 4, 1},
        {"Deactivate", [](TTableForm* f, QWidget*) { f->FormDeactivate(); }, 3, 1},
        {"Close", [](TTableForm* f, QWidget*) { f->close(); }, 3, 1},
};

class RowCommand : public GridEditorFixture, public ::testing::WithParamInterface<RowCommandCase> {
protected:
    // On a table of three rows, opens the cell editor on row 1 of the float
    // column, types `text` and gives the command.
    TTableForm* TypeAndCommand(const char* text) {
        MakeTable(3);
        TTableForm* f = Show();
        f->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(f, test::kPatienceMs));
        f->Grid->setFocus();
        f->Grid->setCurrentCell(1, 0);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        EXPECT_NE(editor, nullptr);
        if (!editor) return nullptr;
        editor->selectAll();
        QTest::keyClicks(editor, QString::fromLatin1(text));
        GetParam().command(f, editor);
        QApplication::processEvents();
        return f;
    }
};

}  // namespace

TEST_P(RowCommand, CommitsTheCellBeingEditedFirst) {
    const RowCommandCase& c = GetParam();
    ASSERT_NE(TypeAndCommand("1.5"), nullptr);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    EXPECT_EQ(table->RowCount(), c.rowsAfter);
    if (c.typedRowAfter >= 0) {
        EXPECT_EQ(double(table->Cells(0, c.typedRowAfter).AsFloat()), 1.5);
    }
    EXPECT_TRUE(table->Modified());
}

TEST_P(RowCommand, WithAnInvalidEntryShowsOneMessageAndDoesNotRun) {
    TTableForm* f = TypeAndCommand("1.5x");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(messages.size(), 1) << messages.join(" | ").toStdString();
    EXPECT_TRUE(messages[0].startsWith("Entry could not be evaluated:")) << messages[0].toStdString();
    EXPECT_EQ(table->RowCount(), 3);
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.0);  // the old value
    EXPECT_EQ(table->Editor(), f);
    EXPECT_EQ(f->Grid->currentRow(), 1);
    EXPECT_EQ(f->Grid->item(1, 0)->text(), "1.5x");  // the entry stays to be mended
    // The same entry tried again stays silent; a mended one goes through.
    EXPECT_FALSE(f->CommitChild());
    EXPECT_EQ(messages.size(), 1);
    f->Grid->item(1, 0)->setText("2.5");
    EXPECT_TRUE(f->CommitChild());
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.5);
}

// What the evaluator cannot form a value of: the fault's own message, once,
// and the cell keeps its old value; the command does not run.
TEST_P(RowCommand, WithAnArithmeticFaultShowsItsMessageAndKeepsTheCell) {
    const struct {
        const char* entry;
        const char* message;
    } faults[] = {
            {"1/0", "Floating point division by zero"},
            {"10^5000", "Floating point overflow"},
            {"0/0", "Invalid floating point operation"},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.entry);
        messages.clear();
        TTableForm* f = TypeAndCommand(fault.entry);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(messages, QStringList{QString::fromLatin1(fault.message)});
        EXPECT_EQ(table->RowCount(), 3);
        EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.0);
        EXPECT_EQ(table->Editor(), f);
        EXPECT_EQ(f->Grid->item(1, 0)->text(), QString::fromLatin1(fault.entry));
        EXPECT_FALSE(f->CommitChild());
        EXPECT_EQ(messages.size(), 1);
        f->Grid->item(1, 0)->setText("2.5");
        EXPECT_TRUE(f->CommitChild());
        EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.5);
        table.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, RowCommand, ::testing::ValuesIn(kRowCommandCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- typing on after a row command ----

namespace {

struct TypeOnCase {
    const char* label;
    Qt::Key key;  // with Alt: the row button's shortcut
    // The float column afterwards: 10 typed into row 1 before the command,
    // 20 typed after it.
    std::vector<double> column;
};
void PrintTo(const TypeOnCase& c, std::ostream* os) { *os << c.label; }

const TypeOnCase kTypeOnCases[] = {
        // Add: on to the new last row.
        {"Add", Qt::Key_A, {1, 10, 3, 20}},
        // Insert: the new row stands where the typed one stood.
        {"Insert", Qt::Key_I, {1, 20, 10, 3}},
        // Delete: the typed row goes; the row that takes its place is the current one.
        {"Delete", Qt::Key_D, {1, 20}},
};

class TypeOnAfterARowCommand : public GridEditorFixture, public ::testing::WithParamInterface<TypeOnCase> {};

}  // namespace

// The cell editor is closed by the command: a value typed next never joins
// the one committed before it ("1020").
TEST_P(TypeOnAfterARowCommand, StartsANewEntry) {
    const TypeOnCase& c = GetParam();
    MakeTable(3);
    TTableForm* f = Show();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f, test::kPatienceMs));
    f->Grid->setFocus();
    f->Grid->setCurrentCell(1, 0);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("10"));
    ASSERT_NO_FATAL_FAILURE(AltKey(editor, c.key));
    QWidget* next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(f->isAncestorOf(next));
    if (auto* e = qobject_cast<QLineEdit*>(next)) e->selectAll();
    // Key by key to the focus, as the keyboard sends them: the first key may
    // open the cell editor.
    for (const Qt::Key k : {Qt::Key_2, Qt::Key_0, Qt::Key_Return}) QTest::keyClick(QApplication::focusWidget(), k);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    std::vector<double> column;
    for (int r = 0; r < table->RowCount(); ++r) column.push_back(double(table->Cells(0, r).AsFloat()));
    EXPECT_EQ(column, c.column);
}

INSTANTIATE_TEST_SUITE_P(Commands, TypeOnAfterARowCommand, ::testing::ValuesIn(kTypeOnCases),
                         [](const auto& info) { return std::string(info.param.label); });

// Each row command that an invalid entry refuses says so, the second and
// third as the first; none runs.
TEST_F(GridEditorFixture, EveryRowCommandRefusedByAnEntryShowsItsMessage) {
    MakeTable(3);
    TTableForm* f = Show();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f, test::kPatienceMs));
    f->Grid->setFocus();
    f->Grid->setCurrentCell(1, 0);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("abc"));
    const Qt::Key keys[] = {Qt::Key_A, Qt::Key_A, Qt::Key_I, Qt::Key_D};
    for (int i = 0; i < 4; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        ASSERT_NO_FATAL_FAILURE(AltKey(focus, keys[i]));
        ASSERT_EQ(messages.size(), i + 1) << messages.join(" | ").toStdString();
        EXPECT_TRUE(messages.back().startsWith("Entry could not be evaluated:")) << messages.back().toStdString();
        EXPECT_EQ(table->RowCount(), 3);
        EXPECT_EQ(f->Grid->item(1, 0)->text(), "abc");
    }
    EXPECT_EQ(double(table->Cells(0, 1).AsFloat()), 2.0);
}

// Alt+A runs the command with the key press itself: keys typed at once
// after it, before any event loop turns, go to the new row.
TEST_F(GridEditorFixture, KeysTypedRightAfterAltAGoToTheNewRow) {
    MakeTable(3);
    TTableForm* f = Show();
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f, test::kPatienceMs));
    f->Grid->setFocus();
    f->Grid->setCurrentCell(1, 0);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("10"));
    QTest::keyClick(editor, Qt::Key_A, Qt::AltModifier);
    for (const Qt::Key k : {Qt::Key_2, Qt::Key_0, Qt::Key_Return}) QTest::keyClick(QApplication::focusWidget(), k);
    QApplication::processEvents();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    std::vector<double> column;
    for (int r = 0; r < table->RowCount(); ++r) column.push_back(double(table->Cells(0, r).AsFloat()));
    EXPECT_EQ(column, (std::vector<double>{1, 10, 3, 20}));
}
