#include "grid_editor.h"

#include "handler_guard.h"
#include "message_box.h"
#include "mdi_child.h"
#include "number_cell_delegate.h"
#include "ui_grid_editor.h"
#include "user_action.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QResizeEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdint>

namespace vortn {

namespace {

constexpr int kMaxRowsShown = 10;

// Every editor window there is, for the row commands' look at the others.
QList<QPointer<TTableForm>>& LiveForms() {
    static QList<QPointer<TTableForm>> forms;
    return forms;
}

std::function<bool()>& RowCommandCheck() {
    static std::function<bool()> check;
    return check;
}

QPointer<QMdiArea>& MdiArea() {
    static QPointer<QMdiArea> area;
    return area;
}

// A cell control of a column, mirrored by a real widget on the editor window.
class TWidgetCellControl : public TCellControl {
public:
    TWidgetCellControl(Kind kind, QObject* parent) : TCellControl(kind, parent) {
        auto* owner = qobject_cast<QWidget*>(parent);
        if (kind == Kind::ComboBox) {
            auto* box = new QComboBox(owner);
            QObject::connect(box, QOverload<int>::of(&QComboBox::activated), box, [this](int i) {
                if (OnSelect) try {
                        OnSelect(i);
                    } catch (const Exception& e) {
                        InformationBox(widget_, e.Message());
                    }
            });
            widget_ = box;
        } else {
            auto* button = new QPushButton(owner);
            QObject::connect(button, &QPushButton::clicked, button, [this] {
                if (OnClick) try {
                        OnClick();
                    } catch (const Exception& e) {
                        InformationBox(widget_, e.Message());
                    }
            });
            widget_ = button;
        }
        widget_->hide();
        widget_->installEventFilter(&enter_);
        enter_.control = this;
    }
    ~TWidgetCellControl() override { delete widget_.data(); }

    QWidget* Widget() const { return widget_; }

    void Sync() override {
        if (!widget_) return;
        if (auto* box = qobject_cast<QComboBox*>(widget_)) {
            QSignalBlocker block(box);
            QStringList now;
            for (int i = 0; i < box->count(); ++i) now << box->itemText(i);
            if (now != Items) {
                box->clear();
                box->addItems(Items);
            }
            box->setMaxVisibleItems(std::max(1, DropDownCount));
            box->setCurrentIndex(ItemIndex);
        } else if (auto* button = qobject_cast<QPushButton*>(widget_)) {
            button->setText(Caption);
        }
        widget_->setVisible(Visible);
    }
    void BringToFront() override {
        if (widget_) widget_->raise();
    }

private:
    struct EnterFilter : QObject {
        TWidgetCellControl* control = nullptr;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::FocusIn && control->OnEnter) try {
                    control->OnEnter();
                } catch (const Exception& ex) {
                    InformationBox(control->widget_, ex.Message());
                }
            return false;
        }
    };
    QPointer<QWidget> widget_;
    EnterFilter enter_;
};

class TWidgetCellControlFactory : public TCellControlFactory {
public:
    TCellControl* CreateComboBox(QObject* parent) override {
        return new TWidgetCellControl(TCellControl::Kind::ComboBox, parent);
    }
    TCellControl* CreateButton(QObject* parent) override {
        return new TWidgetCellControl(TCellControl::Kind::Button, parent);
    }
};

// Enter inside a cell editor writes the text and moves to the next cell.
class TEnterDelegate : public TNumberCellDelegate {
public:
    explicit TEnterDelegate(TEditorGrid* grid) : TNumberCellDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        grid_->EditorOpened(editor);
        return editor;
    }

protected:
    bool eventFilter(QObject* editor, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                auto* w = qobject_cast<QWidget*>(editor);
                emit commitData(w);
                emit closeEditor(w, QAbstractItemDelegate::NoHint);
                grid_->MoveOnEnter();  // as GridKeyPress does for Enter
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(editor, e);
    }

private:
    TEditorGrid* grid_;
};

bool Inside(const QWidget* w, const QWidget* container) {
    for (; w; w = w->parentWidget())
        if (w == container) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------- grid

TEditorGrid::TEditorGrid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new TEnterDelegate(this));
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCornerButtonEnabled(false);
    // A cell shows its number on one line, with fewer digits where the
    // column is too narrow; wrapped, "1.6404199" would read as two numbers.
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Column widths fit the captions in the grid's font; a bold current
    // column would not fit.
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->viewport()->installEventFilter(this);
}

bool TEditorGrid::eventFilter(QObject* watched, QEvent* e) {
    // A press on a row's number picks that row, also where every column
    // edits with its own controls.
    if (watched == verticalHeader()->viewport()) {
        if (e->type() == QEvent::MouseButtonPress) rowPick_ = true;
        if (e->type() == QEvent::MouseButtonRelease) rowPick_ = false;
    }
    return QTableWidget::eventFilter(watched, e);
}

void TEditorGrid::CommitOpenEditor() {
    // The editor, wherever the focus is: a command may come from a menu, a
    // shortcut or another window while the cell is being edited.
    if (state() == QAbstractItemView::EditingState && openEditor_) commitData(openEditor_);
}

void TEditorGrid::CloseOpenEditor() {
    if (state() == QAbstractItemView::EditingState && openEditor_)
        closeEditor(openEditor_, QAbstractItemDelegate::NoHint);
}

void TEditorGrid::EditorOpened(QWidget* editor) {
    openEditor_ = editor;
    if (form_) form_->refused_ = {};
}

void TEditorGrid::MoveOnEnter() {
    int r = currentRow(), c = currentColumn();
    if (r < 0 || c < 0) return;
    if (r < rowCount() - 1)
        ++r;
    else {
        r = 0;
        c = c < columnCount() - 1 ? c + 1 : 0;
    }
    setCurrentCell(r, c);
}

void TEditorGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    if (!form_ || reverting_ || form_->filling_ || !previous.isValid() || !current.isValid() || current == previous)
        return;
    bool accepted = false;
    {
        const QScopedValueRollback picking(form_->pickingRow_, form_->pickingRow_ || rowPick_);
        try {
            accepted = form_->GridSelectCell(previous.row(), previous.column(), current.row(), current.column());
        } catch (const Exception& e) {
            RefusalBox(this, e.Message());
        }
    }
    if (accepted) return;
    {
        const QScopedValueRollback reverting(reverting_, true);
        selectionModel()->setCurrentIndex(previous, QItemSelectionModel::ClearAndSelect);
    }
    // A click on a row's number selects the row after this returns: the
    // highlight goes back to the current cell, so that what looks selected
    // is what a row command acts on.
    QMetaObject::invokeMethod(
            this,
            [this] {
                const QModelIndex now = currentIndex();
                if (now.isValid()) selectionModel()->select(now, QItemSelectionModel::ClearAndSelect);
            },
            Qt::QueuedConnection);
}

void TEditorGrid::keyPressEvent(QKeyEvent* e) {
    if (form_ && state() != QAbstractItemView::EditingState && form_->GridKeyPress(e->key())) {
        e->accept();
        return;
    }
    QTableWidget::keyPressEvent(e);
}

void TEditorGrid::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    if (form_) form_->GridTopLeftChanged();
}

// ---------------------------------------------------------------- window

TTableForm::TTableForm(TGridTable& table, QWidget* parent)
    : QWidget(parent, parent ? Qt::FramelessWindowHint : Qt::Window),
      ui_(std::make_unique<Ui::TTableForm>()),
      table_(&table) {
    ui_->setupUi(this);
    connect(ui_->BtnAdd, &QPushButton::clicked, this, &TTableForm::BtnAddClick);
    connect(ui_->BtnIns, &QPushButton::clicked, this, &TTableForm::BtnInsClick);
    connect(ui_->BtnDel, &QPushButton::clicked, this, &TTableForm::BtnDelClick);
    setWindowFlags(parent ? Qt::Widget | Qt::FramelessWindowHint
                          : Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                    Qt::WindowCloseButtonHint);
    lblComments = ui_->lblComments;
    imgHelp = ui_->imgHelp;
    BtnAdd = ui_->BtnAdd;
    BtnDel = ui_->BtnDel;
    BtnIns = ui_->BtnIns;
    Grid = ui_->Grid;
    Grid->SetForm(this);
    corner_ = new QLabel(Grid);
    corner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Leaving the grid for another control of this window; a move to another
    // window or application deactivates the window instead.
    // The focus change is Qt's own, half done while this runs: nothing may
    // leave it, and a failure's box waits until it is over.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old && Inside(old, Grid) && now && !Inside(now, Grid) && Inside(now, this))
            RunGuarded([this] { GridExit(); }, [](const QString& text) { ReportLater(text); });
    });
    // The row buttons' mnemonics win over those of the windows around.
    qApp->installEventFilter(this);
    UserAction();  // the user's actions are counted from now on
    LiveForms().append(this);
}

bool TTableForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !Inside(w, this)) return false;
    QPushButton* button = MnemonicButton(*static_cast<QKeyEvent*>(e));
    if (!button) return false;
    // Claimed before the shortcuts are looked up, so that the main window's
    // menu of the same letter stays shut; the key press then clicks, at
    // once: a key typed next must find the command done (an animated click
    // runs it later, and the key would join the entry still open).
    e->accept();
    if (e->type() == QEvent::KeyPress && button->isEnabled()) button->click();
    return true;
}

QPushButton* TTableForm::MnemonicButton(const QKeyEvent& key) const {
    if (!(key.modifiers() & Qt::AltModifier)) return nullptr;
    const QKeySequence pressed(key.keyCombination());
    for (QPushButton* b : {BtnAdd, BtnIns, BtnDel})
        if (b->isVisible() && QKeySequence::mnemonic(b->text()) == pressed) return b;
    return nullptr;
}

TTableForm::~TTableForm() {
    // The base's destructor moves the focus on; this window is gone by then.
    disconnect(focusWatch_);
    LiveForms().removeAll(QPointer<TTableForm>(this));
    LiveForms().removeAll(QPointer<TTableForm>());
    freeing_ = true;
    if (table_) {
        TGridTable* t = table_;
        table_ = nullptr;
        if (t->Editor() == this) t->DetachEditor();
    }
}

QMdiSubWindow* TTableForm::SubWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

QSize TTableForm::sizeHint() const {
    return laidOut_.isValid() && !laidOut_.isEmpty() ? laidOut_ : QWidget::sizeHint();
}

void TTableForm::Guarded(void (TTableForm::*handler)()) {
    RunGuarded([this, handler] { (this->*handler)(); }, [this](const QString& text) { InformationBox(this, text); });
}

int TTableForm::Margin() const { return logicalDpiX() / 20; }

TCanvasMetrics TTableForm::Metrics() const {
    TCanvasMetrics m;
    const QFontMetrics fm(Grid->font());
    m.TextWidth = [fm](const QString& s) { return fm.horizontalAdvance(s); };
    m.PixelsPerInch = logicalDpiX();
    return m;
}

void TTableForm::ShowEditor(bool modal) {
    modal_ = modal;
    // Filled and laid out before it is first shown: a widget moved or resized
    // while shown but not yet painted has its never-painted pixels (what lay
    // beneath) taken as its picture, so a header could stay blank.
    if (!attached_) FormShow();
    if (modal) {
        setWindowModality(Qt::ApplicationModal);
        show();
        QEventLoop loop;
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        QPointer<TTableForm> self(this);
        // Runs until the window is closed (and freed).
        while (self && self->isVisible()) loop.processEvents(QEventLoop::WaitForMoreEvents);
        return;
    }
    if (QMdiSubWindow* sub = SubWindow()) {
        // Deactivation is the MDI child's, not the application's.
        connect(sub, &QMdiSubWindow::windowStateChanged, this, &TTableForm::SubWindowStateChanged,
                Qt::UniqueConnection);
        sub->show();
        sub->raise();
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    }
    show();
    raise();
    activateWindow();
}

void TTableForm::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!attached_) FormShow();
}

void TTableForm::FormShow() {
    if (!table_) return;
    attached_ = true;
    table_->SetEditor(this);
    table_->SetRowCount(std::max(table_->RowCount(), table_->MinRows()));
    setWindowTitle(table_->Caption() + QStringLiteral(" ") + table_->Path());
    const int m = Margin();
    Grid->move(m, m);
    corner_->setText(table_->TopLeft());
    const QFontMetrics fm(Grid->font());
    Grid->verticalHeader()->setFixedWidth(
            std::max(fm.horizontalAdvance(table_->TopLeft() + QStringLiteral("  ")), logicalDpiX() / 3));
    // The comments separate their lines by carriage returns.
    QString comments = table_->Comments();
    comments.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lblComments->setText(comments);
    lblComments->setVisible(!table_->Comments().isEmpty());
    HelpPictureChanged();
    columnsShown_ = table_->VisibleColumnCount();
    rowsShown_ = std::min(table_->RowCount(), kMaxRowsShown);
    table_->EditorParent = this;
    table_->CellChangeHook = [this](int col, int row) { RefreshCell(col, row); };
    table_->ChangeHook = [this] { FillGrid(); };
    FillGrid();
}

void TTableForm::HelpPictureChanged() {
    if (!table_) return;
    const QImage& pic = table_->HelpPicture();
    imgHelp->setPixmap(pic.isNull() ? QPixmap() : QPixmap::fromImage(pic));
    imgHelp->resize(pic.isNull() ? QSize(0, 0) : pic.size());  // auto-size
    if (attached_) LayoutForm();
}

bool TTableForm::DataCell(int row, int col) const {
    return table_ && row >= 0 && row < table_->RowCount() && col >= 0 && col < table_->VisibleColumnCount();
}

void TTableForm::RefreshCell(int col, int row) {
    if (!table_ || col < 0 || col >= table_->ColumnCount()) return;
    TColumn* c = table_->Columns(col);
    if (!c->Visible() || c->UsesControls()) return;
    const int g = table_->VisibleIndexOf(c);
    if (QTableWidgetItem* it = Grid->item(row, g)) it->setText(c->Text(row));
}

void TTableForm::RefreshTexts() {
    for (int g = 0; g < Grid->columnCount(); ++g) {
        TColumn* c = table_->VisibleColumns(g);
        if (c->UsesControls()) continue;
        for (int r = 0; r < Grid->rowCount(); ++r)
            if (QTableWidgetItem* it = Grid->item(r, g)) it->setText(c->Text(r));
    }
}

void TTableForm::FillGrid() {
    if (!table_) return;
    const int visible = table_->VisibleColumnCount();
    const int rows = table_->RowCount();
    columnsShown_ = std::min(columnsShown_, visible);
    rowsShown_ = std::min(rowsShown_, rows);
    headerRows_ = table_->HeaderRowCount();
    const QSignalBlocker block(Grid);
    const QScopedValueRollback filling(filling_, true);
    // A row that goes moves the current cell, and the move would open its
    // editor in the middle of the change: the view then forgets that the
    // editor is open, and a text typed into it escapes every check.
    const QAbstractItemView::EditTriggers triggers = Grid->editTriggers();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const auto restoreTriggers = qScopeGuard([&] { Grid->setEditTriggers(triggers); });
    Grid->setRowCount(rows);
    Grid->setColumnCount(visible);
    const int group = std::max(1, table_->RowGroup());
    QStringList labels;
    for (int r = 0; r < rows; ++r) labels << QString::number(r / group + 1);
    Grid->setVerticalHeaderLabels(labels);
    const TCanvasMetrics metrics = Metrics();
    QStringList headers;
    for (int g = 0; g < visible; ++g) {
        TColumn* c = table_->VisibleColumns(g);
        Grid->setColumnWidth(g, c->MeasureWidth(metrics));
        QStringList lines;
        for (int i = 0; i < headerRows_; ++i) lines << (i < c->CaptionLineCount() ? c->CaptionLine(i) : QString());
        headers << lines.join(QLatin1Char('\n'));
        for (int r = 0; r < rows; ++r) {
            QTableWidgetItem* it = Grid->item(r, g);
            if (!it) {
                it = new QTableWidgetItem;
                Grid->setItem(r, g, it);
            }
            if (c->UsesControls()) {
                it->setText(QString());
                it->setFlags(Qt::ItemIsEnabled);
            } else {
                it->setText(c->Text(r));
                it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            }
        }
    }
    Grid->setHorizontalHeaderLabels(headers);
    const bool rowButtons = table_->MinRows() != table_->MaxRows();
    for (QPushButton* b : {BtnAdd, BtnIns, BtnDel}) b->setVisible(rowButtons);
    BtnAdd->setEnabled(rows != table_->MaxRows());
    BtnIns->setEnabled(rows != table_->MaxRows());
    BtnDel->setEnabled(table_->MinRows() < rows);
    LayoutForm();
}

int TTableForm::GridWidthFor(int firstCol, int colsShown, bool vScroll) const {
    int w = 2 * Grid->frameWidth() + Grid->verticalHeader()->width();
    for (int g = firstCol; g < firstCol + colsShown && g < Grid->columnCount(); ++g) w += Grid->columnWidth(g);
    if (vScroll) w += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Grid);
    return w;
}

int TTableForm::GridHeightFor(int rowsShown, bool hScroll) const {
    const int rowH = Grid->verticalHeader()->defaultSectionSize();
    int h = 2 * Grid->frameWidth() + Grid->horizontalHeader()->sizeHint().height() + rowH * rowsShown;
    if (hScroll) h += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Grid);
    return h;
}

int TTableForm::TopRow() const {
    const int top = Grid->verticalScrollBar()->value();
    return std::clamp(top, 0, std::max(0, Grid->rowCount() - rowsShown_));
}

void TTableForm::LayoutForm() {
    if (!table_ || laying_) return;
    const QScopedValueRollback laying(laying_, true);
    const int m = Margin();
    const int first = Grid->horizontalScrollBar()->value();
    const bool vScroll = Grid->rowCount() > rowsShown_;
    const bool hScroll = Grid->columnCount() > columnsShown_;
    Grid->setVerticalScrollBarPolicy(vScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    Grid->setHorizontalScrollBarPolicy(hScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    Grid->resize(GridWidthFor(first, columnsShown_, vScroll), GridHeightFor(rowsShown_, hScroll));
    Grid->SyncGeometry();
    corner_->setGeometry(Grid->frameWidth(), Grid->frameWidth(), Grid->verticalHeader()->width(),
                         Grid->horizontalHeader()->sizeHint().height());
    // The headers do not repaint what a grown grid uncovers of them.
    Grid->horizontalHeader()->viewport()->update();
    Grid->verticalHeader()->viewport()->update();
    int x = m;
    for (QPushButton* b : {BtnAdd, BtnIns, BtnDel}) {
        b->move(x, Grid->geometry().bottom() + 1 + m);
        x += b->width() + m;
    }
    const int clientW = std::max(Grid->geometry().right() + 1, BtnDel->geometry().right() + 1) + m;
    int y = BtnAdd->y();
    if (BtnAdd->isVisibleTo(this)) y += BtnAdd->height() + m;
    lblComments->adjustSize();
    lblComments->move(m, y);
    if (lblComments->isVisibleTo(this)) y += lblComments->height() + m;
    imgHelp->move(m, y);
    int clientH = y;
    if (imgHelp->height() > 0) clientH += imgHelp->height() + m;
    laidOut_ = QSize(std::max(clientW, imgHelp->x() + imgHelp->width() + m), clientH);
    resize(laidOut_);
    // An MDI child's frame takes the form's size, as a window of its own
    // does, and stays inside the area as it grows.
    if (QMdiSubWindow* sub = SubWindow(); sub && !sub->isMaximized() && !sub->isMinimized()) {
        FitMdiChild(sub);
        resize(laidOut_);
    }
    // The columns' own controls over their cells.
    const int top = TopRow();
    for (int g = 0; g < Grid->columnCount(); ++g) {
        TColumn* c = table_->VisibleColumns(g);
        if (!c->UsesControls() || rowsShown_ <= 0) continue;
        c->AllocateEditors(this, top, rowsShown_);
        const bool inView = g >= first && g < first + columnsShown_;
        for (int i = 0; i < rowsShown_; ++i) {
            auto* ctl = dynamic_cast<TWidgetCellControl*>(c->Editor(i));
            if (!ctl || !ctl->Widget()) continue;
            QRect cell = Grid->visualRect(Grid->model()->index(top + i, g));
            cell.translate(Grid->viewport()->mapTo(this, QPoint(0, 0)));
            ctl->Widget()->setGeometry(cell);
            ctl->Visible = inView;
            ctl->Widget()->setVisible(inView);
            ctl->Widget()->raise();
        }
    }
    if (table_->OnResize) table_->OnResize(table_);
}

QSize TTableForm::SizingRect(QSize dragged, Qt::Edges edges) {
    if (!table_) return dragged;
    if (Grid->columnCount() + 1 < 2) throw Exception(QStringLiteral("There must be at least 2 columns in grid"));
    const int cols = Grid->columnCount(), rows = Grid->rowCount();
    // Around the grid: the margins and what stands below it, as last laid out.
    const int m = Margin();
    const int extraW = Grid->x() + m, extraH = laidOut_.height() - Grid->height();
    const int minW = BtnDel->geometry().right() + 1 + m;
    const int first0 = Grid->horizontalScrollBar()->value();
    const int top0 = Grid->verticalScrollBar()->value();
    const bool horizontalDrag = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool verticalDrag = edges & (Qt::TopEdge | Qt::BottomEdge);
    struct Candidate {
        int w, h, first, shown, top, rowsShown;
    };
    Candidate best{};
    qint64 bestOver = -1;
    for (int k = 0; k < 4; ++k) {
        const bool vs = k == 1 || k == 3, hs = k == 2 || k == 3;
        Candidate c{0, 0, 0, cols, 0, rows};
        if (hs) {
            c.first = first0;
            c.shown = columnsShown_;
            if (horizontalDrag) {
                // Whole columns that fit the dragged width: to the right, then to the left.
                int avail = dragged.width() - extraW - GridWidthFor(0, 0, vs);
                int n = 0, f = first0;
                for (int g = first0; g < cols && Grid->columnWidth(g) <= avail; ++g, ++n) avail -= Grid->columnWidth(g);
                while (f > 0 && Grid->columnWidth(f - 1) <= avail) avail -= Grid->columnWidth(--f), ++n;
                c.first = f;
                c.shown = std::max(1, n);
            }
        }
        if (vs) {
            c.top = top0;
            c.rowsShown = rowsShown_;
            if (verticalDrag) {
                const int rowH = std::max(1, Grid->verticalHeader()->defaultSectionSize());
                const int avail = dragged.height() - extraH - GridHeightFor(0, hs);
                c.rowsShown = std::clamp(avail / rowH, 1, std::max(1, rows));
                c.top = std::clamp(top0, 0, std::max(0, rows - c.rowsShown));
            }
        }
        c.w = std::max(minW, GridWidthFor(c.first, c.shown, vs) + extraW);
        c.h = GridHeightFor(c.rowsShown, hs) + extraH;
        const qint64 over = qint64(std::max(c.w, dragged.width())) * std::max(c.h, dragged.height()) -
                            qint64(dragged.width()) * dragged.height();
        if (bestOver < 0 || over < bestOver) {
            bestOver = over;
            best = c;
        }
    }
    columnsShown_ = best.shown;
    rowsShown_ = best.rowsShown;
    Grid->horizontalScrollBar()->setValue(best.first);
    Grid->verticalScrollBar()->setValue(best.top);
    LayoutForm();
    return {best.w, best.h};
}

bool TTableForm::CommitText(int r, int g) {
    if (!DataCell(r, g)) return true;
    TColumn* c = table_->VisibleColumns(g);
    if (c->UsesControls()) {
        table_->SetModified(true);
        return true;
    }
    const QTableWidgetItem* it = Grid->item(r, g);
    const QString typed = it ? it->text() : QString();
    // Passing through a cell changes nothing: only a text that differs from
    // what the cell showed is written (a value shown with fewer digits than
    // it holds stays as it is).
    if (typed == c->Text(r)) return true;
    table_->SetModified(true);
    try {
        c->SetText(r, typed);
    } catch (const Exception& e) {
        // An entry the evaluator refuses and an arithmetic fault of its
        // value (1/0, an overflow) alike: the message, and the cell keeps
        // its old value.
        // A command, a deactivation and a click of one action may each try
        // the same entry: it gets its message once. The next action that
        // tries it gets it again.
        const bool shown =
                refused_.row == r && refused_.col == g && refused_.text == typed && refused_.action == UserAction();
        if (!shown) RefusalBox(this, e.Message());
        refused_ = {r, g, typed, UserAction()};
        return false;
    }
    refused_ = {};
    return true;
}

bool TTableForm::CommitCell() {
    if (!table_) return true;
    // A message box the commit shows takes the focus, which must not start
    // another commit.
    const QScopedValueRollback busy(committing_, true);
    Grid->CommitOpenEditor();
    return CommitText(Grid->currentRow(), Grid->currentColumn());
}

bool TTableForm::GridSelectCell(int fromRow, int fromCol, int toRow, int toCol) {
    if (!table_) return true;
    const QScopedValueRollback busy(committing_, true);
    if (!CommitText(fromRow, fromCol)) return false;
    if (!pickingRow_ && DataCell(toRow, toCol) && table_->VisibleColumns(toCol)->UsesControls()) return false;
    RefreshTexts();
    return true;
}

void TTableForm::SelectCell(int gridCol, int gridRow) {
    // A cell control took the focus: the user is on its row.
    const QScopedValueRollback picking(pickingRow_, true);
    Grid->setCurrentCell(gridRow - headerRows_, gridCol - 1);
}

void TTableForm::BtnAddClick() { Guarded(&TTableForm::AppendRow); }
void TTableForm::BtnInsClick() { Guarded(&TTableForm::InsertRow); }
void TTableForm::BtnDelClick() { Guarded(&TTableForm::DeleteRow); }

bool TTableForm::HoldsRefusedEntry() const {
    if (!table_ || refused_.row < 0 || refused_.col < 0) return false;
    const QTableWidgetItem* it = Grid->item(refused_.row, refused_.col);
    return it && it->text() == refused_.text;
}

bool TTableForm::ReadyForRowCommand() {
    if (!table_) return false;
    // Another editor's refused entry is mended first: it is tried again
    // (its message, unless this action showed it already) and comes to the
    // front; the command waits (a row deleted could take that editor with it).
    // (A copy: a message box runs events that may close editors.)
    const QPointer<TTableForm> self(this);
    const QList<QPointer<TTableForm>> forms = LiveForms();
    for (const QPointer<TTableForm>& other : forms) {
        if (!other || other == this || !other->HoldsRefusedEntry()) continue;
        if (!other->CommitChild() || !self) return false;
    }
    // So is an entry another window (an input dialog) refuses.
    if (RowCommandCheck() && (!RowCommandCheck()() || !self)) return false;
    if (!table_ || !CommitCell()) return false;
    // The entry is in the table: the next key starts a new one.
    Grid->CloseOpenEditor();
    return true;
}

void TTableForm::AppendRow() {
    if (!ReadyForRowCommand()) return;
    if (rowsShown_ == table_->RowCount()) rowsShown_ = std::min(rowsShown_ + table_->RowGroup(), kMaxRowsShown);
    const int added = table_->RowCount();
    table_->AppendRowGroup();
    table_->SetModified(true);
    FillGrid();
    if (table_->RowCount() > rowsShown_) {
        Grid->SyncGeometry();
        Grid->verticalScrollBar()->setValue(table_->RowCount() - rowsShown_);
        LayoutForm();
    }
    // On to the new row, in the column the user was in.
    if (const int col = Grid->currentColumn(); col >= 0 && added < table_->RowCount()) {
        const QScopedValueRollback picking(pickingRow_, true);
        Grid->setCurrentCell(added, col);
    }
}

void TTableForm::InsertRow() {
    if (!ReadyForRowCommand()) return;
    const int r = Grid->currentRow();
    if (!(r >= 0 && r < table_->RowCount())) throw Exception(QStringLiteral("Grid.Row not in valid range"));
    table_->SetModified(true);
    if (rowsShown_ == table_->RowCount()) rowsShown_ = std::min(rowsShown_ + table_->RowGroup(), kMaxRowsShown);
    table_->InsertRowGroup(r);
    FillGrid();
}

void TTableForm::DeleteRow() {
    if (!ReadyForRowCommand()) return;
    const int r = Grid->currentRow();
    if (!(r >= 0 && r < table_->RowCount())) throw Exception(QStringLiteral("Grid.Row not in valid range"));
    table_->SetModified(true);
    table_->DeleteRowGroup(r);
    FillGrid();
}

void TTableForm::GridExit() {
    if (modal_ || committing_ || !table_ || freeing_) return;
    if (!CommitCell()) Grid->setFocus(Qt::OtherFocusReason);
}

bool TTableForm::GridKeyPress(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    Grid->MoveOnEnter();
    return true;
}

void TTableForm::GridTopLeftChanged() {
    if (!laying_) LayoutForm();
}

void TTableForm::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    // Another window of the application became active; a switch to another
    // application is no deactivation. An MDI child follows its sub-window's
    // activation instead (ShowEditor).
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && QApplication::activeWindow() && !SubWindow())
        FormDeactivate();
}

void TTableForm::FormDeactivate() { CommitChild(); }

bool TTableForm::CommitChild() {
    if (freeing_ || modal_ || committing_ || !table_) return true;
    if (CommitCell()) return true;
    if (QMdiSubWindow* sub = SubWindow()) {
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    } else {
        show();
        raise();
        activateWindow();
    }
    Grid->setFocus(Qt::OtherFocusReason);
    return false;
}

void TTableForm::SubWindowStateChanged(Qt::WindowStates before, Qt::WindowStates now) {
    if ((before & Qt::WindowActive) && !(now & Qt::WindowActive)) FormDeactivate();
}

void TTableForm::FormCloseQuery(bool& canClose) { canClose = CommitCell(); }

void TTableForm::closeEvent(QCloseEvent* e) {
    if (freeing_) {
        e->accept();
        return;
    }
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        e->ignore();
        return;
    }
    e->accept();
    FormClose();
}

void TTableForm::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    FormResize();
}

void TTableForm::FormResize() {
    // Only a size the user dragged (a window of its own or an MDI child) is
    // fitted; the layout's own sizes and a maximized child are left alone.
    if (!table_ || !attached_ || laying_ || sizing_ || size() == laidOut_) return;
    QMdiSubWindow* sub = SubWindow();
    if (!isWindow() && !sub) return;
    if (sub && (sub->isMaximized() || sub->isMinimized())) return;
    // Qt reports no dragged edge: a changed width stands for a left or right
    // edge, a changed height for a top or bottom edge.
    Qt::Edges edges;
    if (width() != laidOut_.width()) edges |= Qt::RightEdge;
    if (height() != laidOut_.height()) edges |= Qt::BottomEdge;
    WMSizing(size(), edges);
}

void TTableForm::WMSizing(QSize dragged, Qt::Edges edges) {
    const QScopedValueRollback sizing(sizing_, true);
    try {
        SizingRect(dragged, edges);
    } catch (const Exception& ex) {
        InformationBox(this, ex.Message());
    }
}

void TTableForm::FormClose() {
    freeing_ = true;
    if (table_) {
        TGridTable* t = table_;
        table_ = nullptr;
        if (t->Editor() == this) t->DetachEditor();
    }
    hide();
    if (QMdiSubWindow* sub = SubWindow()) sub->deleteLater();
    deleteLater();
}

void TTableForm::FreeEditor() {
    // The table has detached this window already.
    freeing_ = true;
    table_ = nullptr;
    hide();
    if (QMdiSubWindow* sub = SubWindow()) sub->deleteLater();
    deleteLater();
}

void SetRowCommandCheck(std::function<bool()> othersReady) { RowCommandCheck() = std::move(othersReady); }

void InstallGridEditor(QMdiArea* mdiArea) {
    MdiArea() = mdiArea;
    static TWidgetCellControlFactory controls;
    SetCellControlFactory(&controls);
    SetTableEditorFactory([](TGridTable& table, QObject* formParent, bool modal) -> TTableEditor* {
        if (auto* parent = qobject_cast<QWidget*>(formParent)) {
            auto* form = new TTableForm(table, parent);
            form->move(0, 0);
            return form;
        }
        auto* form = new TTableForm(table, nullptr);
        if (!modal && MdiArea()) {
            // System menu and minimise, as the window of its own has.
            QMdiSubWindow* sub = AddMdiChild(MdiArea(), form,
                                             Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                     Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
            sub->setAttribute(Qt::WA_DeleteOnClose, false);
        }
        return form;
    });
}

}  // namespace vortn
