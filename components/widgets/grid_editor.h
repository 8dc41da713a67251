// The editor window of one grid table: a string grid with the columns'
// caption lines as header, one row per table row with its group number, the
// row buttons, and the table's comments and help picture below. It attaches
// to the table through TTableEditor and the table's hooks while shown,
// writes typed text back into the cells, and frees itself when closed.
#pragma once

#include "grid_table.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

class QMdiArea;

namespace vortn {

class TTableForm;

// The string grid: refuses a cell change the form does not accept and moves
// on Enter.
class TEditorGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TEditorGrid(TTableForm* form);
    // Writes an open cell editor's text into its item.
    void CommitOpenEditor();
    void MoveOnEnter();
    // Brings the scroll ranges up to date now (Qt updates them lazily).
    void SyncGeometry() { updateGeometries(); }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    TTableForm* form_;
    bool reverting_ = false;
};

class TTableForm : public QWidget, public TTableEditor {
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

    TGridTable* Table() const { return table_; }
    int HeaderRows() const { return headerRows_; }
    int ColumnsShown() const { return columnsShown_; }
    int Margin() const;

    // Handlers (public so that dialogs and tests can drive the window).
    // The row buttons raise Exception "Grid.Row not in valid range".
    void BtnAddClick();
    void BtnInsClick();
    void BtnDelClick();
    // Commits the current cell; false (message shown) on an entry error.
    bool CommitCell();
    // Commits, refuses own-control columns, refreshes the texts; false refuses.
    bool GridSelectCell(int fromRow, int fromCol, int toRow, int toCol);
    void FillGrid();
    void LayoutForm();
    // Sizing by the border: the size the window takes for a dragged size;
    // `edges` are the edges being dragged.
    QSize SizingRect(QSize dragged, Qt::Edges edges);

    QLabel* lblComments;
    QLabel* imgHelp;
    QPushButton* BtnAdd;
    QPushButton* BtnDel;
    QPushButton* BtnIns;
    TEditorGrid* Grid;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    // A size the user dragged: fitted to whole rows and columns.
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TEditorGrid;
    void FormShow();
    void FormClose();
    void GridExit();
    // Writes the text of a data cell when it differs from what it showed.
    bool CommitText(int row, int col);
    void RefreshCell(int col, int row);
    void RefreshTexts();
    bool DataCell(int row, int col) const;
    TCanvasMetrics Metrics() const;
    void Guarded(void (TTableForm::*handler)());
    int GridWidthFor(int firstCol, int colsShown, bool vScroll) const;
    int GridHeightFor(int rowsShown, bool hScroll) const;

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
    bool filling_ = false;  // the grid's own row changes select no cell
    QSize laidOut_;  // the size the layout asked for
    QLabel* corner_;
};

// Installs the editor window and the widget cell controls as the tables'
// factories. Non-modal windows go into `mdiArea` when one is given.
void InstallGridEditor(QMdiArea* mdiArea = nullptr);

}  // namespace vortn
