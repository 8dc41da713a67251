// The editor window of one grid table: a string grid with the columns'
// caption lines as header, one row per table row with its group number, the
// row buttons, and the table's comments and help picture below. It attaches
// to the table through TTableEditor and the table's hooks while shown,
// writes typed text back into the cells, and frees itself when closed.
#pragma once

#include "child_form.h"
#include "grid_table.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
namespace Ui {
class TTableForm;
}

namespace vortn {

class TTableForm;

// The string grid: refuses a cell change the form does not accept and hands
// its keys and scrolling to the form's handlers.
class TEditorGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TEditorGrid(QWidget* parent = nullptr);
    void SetForm(TTableForm* form) { form_ = form; }
    // Writes an open cell editor's text into its item.
    void CommitOpenEditor();
    // Closes an open cell editor (its text committed before).
    void CloseOpenEditor();
    // The delegate opened `editor` on the current cell: a new entry begins.
    void EditorOpened(QWidget* editor);
    void MoveOnEnter();
    // Brings the scroll ranges up to date now (Qt updates them lazily).
    void SyncGeometry() { updateGeometries(); }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    TTableForm* form_ = nullptr;
    bool reverting_ = false;
    bool rowPick_ = false;  // a row's number is being pressed
    QPointer<QWidget> openEditor_;
};

class TTableForm : public QWidget, public TTableEditor, public TChildForm {
    Q_OBJECT
public:
    // parent given: borderless child at 0,0 of it; else a window of its own.
    TTableForm(TGridTable& table, QWidget* parent);
    ~TTableForm() override;

    // TTableEditor
    void ShowEditor(bool modal) override;
    bool IsShowingModal() const override { return modal_; }
    void SetEditorCaption(const QString& caption) override { setWindowTitle(caption); }
    void SelectCell(int gridCol, int gridRow) override;
    int TopRow() const override;
    int RowsShown() const override { return rowsShown_; }
    void FreeEditor() override;
    void HelpPictureChanged() override;

    // TChildForm: the tables refresh their editors themselves; a commit that
    // fails brings the window back with the cell selected.
    void ReloadChild() override {}
    bool CommitChild() override;

    TGridTable* Table() const { return table_; }
    int HeaderRows() const { return headerRows_; }
    int ColumnsShown() const { return columnsShown_; }
    int Margin() const;

    // The row commands. Each commits the cell being edited and closes its
    // editor first, and does nothing more when that fails or while another
    // editor window holds a refused entry (tried again first); each
    // raises Exception "Grid.Row not in valid range" when there is no
    // current table row (Add never does). Add moves on to the new row.
    void AppendRow();
    void InsertRow();
    void DeleteRow();
    // Commits the current cell; false on an entry error, whose message is
    // shown once per user action (UserAction).
    bool CommitCell();
    void FillGrid();
    void LayoutForm();
    // Sizing by the border: the size the window takes for a dragged size;
    // `edges` are the edges being dragged.
    QSize SizingRect(QSize dragged, Qt::Edges edges);
    // The size the layout asks for (an MDI child's frame takes it too).
    QSize sizeHint() const override;

    QLabel* lblComments;
    QLabel* imgHelp;
    QPushButton* BtnAdd;
    QPushButton* BtnDel;
    QPushButton* BtnIns;
    TEditorGrid* Grid;

public slots:
    // The window's handlers. None lets an exception out: an entry error or
    // a row command without a row is shown in a message box.
    void BtnAddClick();
    void BtnInsClick();
    void BtnDelClick();
    void FormShow();
    void FormClose();
    void FormCloseQuery(bool& canClose);
    void FormDeactivate();
    void FormResize();
    void GridExit();
    // Enter moves on; true when the key was taken.
    bool GridKeyPress(int key);
    // Commits, refuses own-control columns, refreshes the texts; false refuses.
    bool GridSelectCell(int fromRow, int fromCol, int toRow, int toCol);
    void GridTopLeftChanged();
    // The border is being dragged: the window snaps to whole rows and columns.
    void WMSizing(QSize dragged, Qt::Edges edges);

private slots:
    void SubWindowStateChanged(Qt::WindowStates before, Qt::WindowStates now);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    // The overrides call the handlers of the same events (FormShow,
    // FormCloseQuery and FormClose, FormDeactivate, FormResize).
    void resizeEvent(QResizeEvent* e) override;
    // Alt and a row button's letter anywhere in the window: that button,
    // even where the main window's menu bar has a menu of the same letter.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    friend class TEditorGrid;
    QMdiSubWindow* SubWindow() const;
    // The visible row button whose mnemonic `key` is; none for other keys.
    QPushButton* MnemonicButton(const QKeyEvent& key) const;
    // Writes the text of a data cell when it differs from what it showed.
    bool CommitText(int row, int col);
    // The entry refused last is still in its cell, to be mended.
    bool HoldsRefusedEntry() const;
    bool ReadyForRowCommand();
    void RefreshCell(int col, int row);
    void RefreshTexts();
    bool DataCell(int row, int col) const;
    TCanvasMetrics Metrics() const;
    void Guarded(void (TTableForm::*handler)());
    int GridWidthFor(int firstCol, int colsShown, bool vScroll) const;
    int GridHeightFor(int rowsShown, bool hScroll) const;

    std::unique_ptr<Ui::TTableForm> ui_;
    TGridTable* table_;
    int headerRows_ = 0;
    int columnsShown_ = 0;
    int rowsShown_ = 0;
    bool modal_ = false;
    bool attached_ = false;
    bool freeing_ = false;
    bool committing_ = false;
    bool laying_ = false;
    bool sizing_ = false;
    bool filling_ = false;     // the grid's own row changes select no cell
    bool pickingRow_ = false;  // a row is picked: a column with own controls may become current
    // The entry refused last (its message shown) until a new one begins.
    struct {
        int row = -1, col = -1;
        QString text;
        quint64 action = 0;
    } refused_;
    QSize laidOut_;  // the size the layout asked for
    QLabel* corner_;
    QMetaObject::Connection focusWatch_;
};

// Installs the editor window and the widget cell controls as the tables'
// factories. Non-modal windows go into `mdiArea` when one is given.
void InstallGridEditor(QMdiArea* mdiArea = nullptr);
// What a row command asks first of the program's other windows (false: one
// of them refuses its entry, has said so and keeps the activation; the
// command waits). nullptr: nothing is asked.
void SetRowCommandCheck(std::function<bool()> othersReady);

}  // namespace vortn
