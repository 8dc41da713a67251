// Grid tables: a non-visual, editable table of typed columns with a row
// count shared by all columns. Values are reached only through Cells(col,
// row), which gives a TData cell handle. Column definitions are stored in the
// form as the "Col" property (ReadCol / WriteCol over the component stream).
//
// An editor window attaches through TTableEditor (made by the factory given
// to SetTableEditorFactory) and the change / cell-change hooks; the columns'
// own cell controls (pick-list boxes, sub-table buttons) are TCellControl
// objects made by the factory given to SetCellControlFactory. No widgets here.
#pragma once

#include "component_stream.h"
#include "small_routines.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

namespace vortn {

class TColumn;
class TGridTable;

// ---- events of tables (serve table columns whose row objects are not sub-tables)
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TButtonClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, TObject* AData)>;
using TGetButtonCaptionEvent =
        std::function<void(TObject* Sender, int ACol, int ARow, TObject* AData, QString& ACaption)>;
using TGetChangedEvent = std::function<void(TObject* Sender, int ACol, int ARow, TObject* AData, bool& AChanged)>;
using THideEvent = std::function<void(TObject* Sender, int ACol, int ARow, TObject* AData)>;
using TInitRowEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AEnumType, TObject*& AData)>;
using TResetChangedEvent = std::function<void(TObject* Sender, int ACol, int ARow, TObject* AData)>;
using TSetRowEvent = std::function<void(TObject* Sender, int ACol, TObject* AData, int ARow)>;
using TSetUnitsEvent = std::function<void(TObject* Sender, int ACol, int ARow, TObject* AData, int AValue)>;

// ---- text measuring for column widths (the editor fills it from its font)
struct TCanvasMetrics {
    std::function<int(const QString&)> TextWidth;  // pixels of a text
    int PixelsPerInch = 96;                        // of the screen
};

// ---- the editor window, as the table sees it
class TTableEditor {
public:
    virtual ~TTableEditor() = default;
    // Shows the window (modal: shown modally). Called by ShowTable/ShowTableModal.
    virtual void ShowEditor(bool modal) = 0;
    virtual bool IsShowingModal() const = 0;
    virtual void SetEditorCaption(const QString& caption) = 0;
    // Selects a grid cell (grid column, grid row; both include the fixed ones).
    virtual void SelectCell(int gridCol, int gridRow) = 0;
    // First table row shown and the number of rows shown (for cell controls).
    virtual int TopRow() const = 0;
    virtual int RowsShown() const = 0;
    // The table is going away or closing its editor: the editor has already
    // been detached (TGridTable::DetachEditor); it frees itself now.
    virtual void FreeEditor() = 0;
    // The help picture changed: refresh image and layout.
    virtual void HelpPictureChanged() {}
};

// Makes the editor window of a table: with formParent a borderless child at
// 0,0 of it; else an MDI child (modal false) or a normal window (modal true).
using TTableEditorFactory = std::function<TTableEditor*(TGridTable& table, QObject* formParent, bool modal)>;
void SetTableEditorFactory(TTableEditorFactory factory);

// ---- the cell controls of columns that edit with controls of their own
class TCellControl : public TObject {
public:
    enum class Kind { ComboBox, Button };
    explicit TCellControl(Kind kind, QObject* parent) : kind_(kind), parent_(parent) {}
    Kind ControlKind() const { return kind_; }
    QObject* Parent() const { return parent_; }

    int Tag = 0;  // the table row it shows
    bool Visible = false;
    QStringList Items;  // combo box: items; drop-down list style
    int DropDownCount = 8;
    int ItemIndex = -1;  // combo box: selected item (0-based)
    QString Caption;     // button
    // Set by the column; the widget layer calls them on user actions.
    std::function<void(int newItemIndex)> OnSelect;  // combo box selection changed
    std::function<void()> OnEnter;                   // control entered
    std::function<void()> OnClick;                   // button clicked

    // Called after the column changed a field above (the widget mirrors it).
    virtual void Sync() {}
    virtual void BringToFront() {}

private:
    Kind kind_;
    QObject* parent_;
};

class TCellControlFactory {
public:
    virtual ~TCellControlFactory() = default;
    virtual TCellControl* CreateComboBox(QObject* parent) {
        return new TCellControl(TCellControl::Kind::ComboBox, parent);
    }
    virtual TCellControl* CreateButton(QObject* parent) { return new TCellControl(TCellControl::Kind::Button, parent); }
};
// nullptr restores the default factory (model-only controls).
void SetCellControlFactory(TCellControlFactory* factory);
TCellControlFactory& CellControlFactory();

// ---- one cell
class TData : public TObject {
public:
    explicit TData(TColumn* column) : column_(column) {}
    TColumn* Column() const { return column_; }
    int Row() const;  // its current index in the column's cell list
    TGridTable* AsObject() const;
    long double AsFloat() const;
    int AsInteger() const;
    QString AsString() const;
    void SetAsFloat(long double x) const;
    void SetAsInteger(int v) const;

private:
    friend class TColumn;
    TColumn* column_;
    // Where the cell stood at the last look-up: checked first, so that
    // filling a long column stays linear; searched again once rows moved.
    mutable int rowHint_ = -1;
};

// ---- columns (kinds in columns.h)
class TColumn : public TObject {
public:
    explicit TColumn(TGridTable* table);
    ~TColumn() override;
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    TGridTable* Table() const { return table_; }
    int RowCountOfColumn() const { return cells_.Count(); }
    TData& Cell(int row) const { return *cells_.Items(row); }
    int IndexOfCell(const TData* cell) const { return cells_.IndexOf(cell); }
    bool HoldsCellAt(int row, const TData* cell) const {
        return row >= 0 && row < cells_.Count() && cells_.Items(row) == cell;
    }

    virtual void InsertRows(TGridTable* table, int index, int count);
    virtual void DeleteRow(int index);
    virtual int CaptionLineCount() const;
    virtual void GetCaptionLine(int i, QString& s) const;
    QString CaptionLine(int i) const {
        QString s;
        GetCaptionLine(i, s);
        return s;
    }
    virtual TGridTable* GetObject(int row) const;
    virtual long double GetFloat(int row) const;
    virtual void SetFloat(int row, long double x);
    virtual int GetInteger(int row) const;
    virtual void SetInteger(int row, int v);
    virtual TObject* GetItem(int row) const;
    virtual void GetText(int row, QString& s) const;
    QString Text(int row) const {
        QString s;
        GetText(row, s);
        return s;
    }
    virtual void SetText(int row, const QString& s);
    virtual bool Modified() const;
    QStringList& CaptionLines() { return captions_; }
    const QStringList& CaptionLines() const { return captions_; }
    virtual bool HasEditors() const;
    virtual TCellControl* Editor(int i) const;
    virtual int RowGroup() const;
    virtual void CloseSubEditors();
    virtual void ClearModified();
    virtual int MeasureWidth(const TCanvasMetrics& canvas) const;
    virtual void SetUnits(int n);
    // Column part, then kind part, of the "Col" stream.
    virtual void WriteData(TComponentWriter& writer) const;
    virtual void ReadData(TComponentReader& reader);
    virtual bool UsesControls() const;
    virtual TColumn* Clone(TGridTable* table) const = 0;
    virtual void AllocateEditors(QObject* parent, int topRow, int count);
    virtual void FreeEditors();

    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    bool Group() const { return group_; }
    void SetGroup(bool g) { group_ = g; }

    // Hooks the table sets when it attaches the column.
    std::function<void(TColumn*, int row)> CellChangedHook;
    std::function<void(TColumn*, int row)> FocusCellHook;
    std::function<int()> RowGroupHook;

protected:
    void CopyBaseTo(TColumn& other) const;  // Visible and caption lines
    void NotifyCellChanged(int row);
    void RequestFocus(int row);
    // First and last row of the row group that holds `row`.
    std::pair<int, int> GroupRange(int row) const;

    TGridTable* table_;
    TObjectList<TData> cells_;
    QStringList captions_;
    bool group_ = false;
    bool visible_ = true;
};

// ---- column-type registry
using TColumnFactory = TColumn* (*)(TGridTable* table);
struct TColumnTypeStorage {
    const std::type_info* Type;
    TColumnFactory Create;
    int Code;
};
class TColumnTypeRegistry {
public:
    void Register(const std::type_info& type, TColumnFactory create, int code);
    void Unregister(const std::type_info& type);
    int Count() const { return int(entries_.size()); }
    const TColumnTypeStorage* ByCode(int code) const;
    int CodeOf(const TColumn& column) const;  // -1 when not registered
    // Unregisters the five standard kinds; raises "Column Type list not empty"
    // when others remain.
    void Finalize();

private:
    std::vector<TColumnTypeStorage> entries_;
};
// The process-wide registry, holding the five standard kinds from first use.
TColumnTypeRegistry& ColumnTypes();
// Constructs by class code and reads the column part; a code without class
// raises Exception "Error Column Class not defined".
std::unique_ptr<TColumn> CreateColumnFromReader(int code, TGridTable* table, TComponentReader& reader);

// ---- the table
class TGridTable : public TObject {
public:
    // Unit system copied from `owner` when it is a table, else 1.
    explicit TGridTable(const TObject* owner = nullptr);
    // Sub-table cloned from `templ` for row `rowNumber` of its parent.
    TGridTable(const TObject* owner, int rowNumber, const TGridTable& templ);
    ~TGridTable() override;
    TGridTable(const TGridTable&) = delete;
    TGridTable& operator=(const TGridTable&) = delete;

    // The component's name in its form ("D", "PileData", ...).
    QString Name;

    // Cells over all columns (visible or not), 0-based; raises EListError.
    TData& Cells(int col, int row) const;

    int ColumnCount() const { return columns_.Count(); }
    TColumn* Columns(int i) const { return columns_.Items(i); }
    int IndexOfColumn(const TColumn* c) const { return columns_.IndexOf(c); }
    // Attaches and appends a column (the table takes ownership).
    void AddColumn(TColumn* column);
    void AddColumn(std::unique_ptr<TColumn> column) { AddColumn(column.release()); }
    void ClearColumns();

    int RowCount() const { return rowCount_; }
    void SetRowCount(int n);
    void AppendRowGroup();
    void InsertRowGroup(int row);
    void DeleteRowGroup(int row);

    bool Modified() const;
    void SetModified(bool flag);
    int Units() const { return units_; }
    void SetUnits(int n);

    // Editor window.
    void ShowTable();
    void ShowTableModal();
    void RefreshEditor();
    void CloseEditor();
    TTableEditor* Editor() const { return editor_; }
    // Attaching and detaching, used by the editor window itself.
    void SetEditor(TTableEditor* editor) { editor_ = editor; }
    void DetachEditor();  // frees the columns' controls, clears hooks and editor
    std::function<void()> ChangeHook;
    std::function<void(int col, int row)> CellChangeHook;
    QObject* EditorParent = nullptr;

    int VisibleColumnCount() const;
    TColumn* VisibleColumns(int n) const;  // EListError "Index out of bounds"
    int VisibleIndexOf(const TColumn* column) const;
    int HeaderRowCount() const;

    int RowNumber() const { return rowNumber_; }
    void SetRowNumber(int n);
    QString Path() const;  // "" for a table of its own, parent's path + " " + n
    const TGridTable* ParentTable() const { return parentTable_; }

    // Properties.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& s) { caption_ = s; }
    const QString& Comments() const { return comments_; }
    void SetComments(const QString& s) { comments_ = s; }
    const QString& TopLeft() const { return topLeft_; }
    void SetTopLeft(const QString& s) { topLeft_ = s; }
    bool HardwiredButton() const { return hardwiredButton_; }
    void SetHardwiredButton(bool b) { hardwiredButton_ = b; }
    int Identifier() const { return identifier_; }
    void SetIdentifier(int id);
    int MinRows() const { return minRows_; }
    void SetMinRows(int n);
    int MaxRows() const { return maxRows_; }
    void SetMaxRows(int n) { maxRows_ = n; }
    int RowGroup() const { return rowGroup_; }
    void SetRowGroup(int n) { rowGroup_ = n < 1 ? 1 : n; }
    QObject* FormParent() const { return formParent_; }
    void SetFormParent(QObject* p) { formParent_ = p; }
    const QImage& HelpPicture() const { return helpPicture_; }
    void SetHelpPicture(const QImage& picture);
    // While set, MinRows below 1 loads as 1 instead of failing.
    bool Loading() const { return loading_; }
    void SetLoading(bool b) { loading_ = b; }

    // Events (the shipped forms set none).
    TButtonClickEvent OnButtonClick;
    TGetButtonCaptionEvent OnGetButtonCaption;
    TGetChangedEvent OnGetChanged;
    THideEvent OnHide;
    TInitRowEvent OnInitRow;
    TResetChangedEvent OnResetChanged;
    TSetRowEvent OnSetRow;
    TSetUnitsEvent OnSetUnits;
    TNotifyEvent OnResize;

    // The "Col" property.
    void ReadCol(TComponentReader& reader);
    void WriteCol(TComponentWriter& writer) const;

    // Keeps every table column's reference list at the reference count.
    void SynchroniseReferences();
    void FireChange() const {
        if (ChangeHook) ChangeHook();
    }

private:
    friend int GridTableIndexOf(const TGridTable* table);
    void Init(const TObject* owner);
    void AttachColumn(TColumn* column);
    void ColumnCellChanged(TColumn* column, int row);
    void ColumnFocusCell(TColumn* column, int row);
    void ShowEditorWindow(bool modal);

    unsigned long long registered_ = 0;  // creation sequence: the table's place in the registry
    int rowNumber_ = 0;
    const TGridTable* parentTable_ = nullptr;
    QString caption_;
    bool modified_ = false;
    QString comments_;
    bool hardwiredButton_ = false;
    int identifier_ = 0;
    int minRows_ = 1;
    int maxRows_ = 0;
    int rowCount_ = 0;
    int rowGroup_ = 1;
    QString topLeft_;
    int units_ = 1;
    QObject* formParent_ = nullptr;
    QImage helpPicture_;
    TObjectList<TColumn> columns_;
    TTableEditor* editor_ = nullptr;
    bool loading_ = false;
};

// ---- registry of live tables (creation order)
TGridTable* GridTableByIndex(int i);            // none outside the registry
int GridTableIndexOf(const TGridTable* table);  // -1 when absent
int GridTableIndexByIdentifier(int id);         // -1 for a negative id or none
TGridTable* GridTableByIdentifier(int id);      // the first table with that Identifier, or none
int GridTableCount();

}  // namespace vortn
