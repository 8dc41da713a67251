#include "grid_table.h"

#include "columns.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

namespace vortn {

namespace {

// Every live table in creation order, and the same tables by Identifier.
// A project may hold many thousands of sub-tables: joining, leaving and
// finding a table by its Identifier stay logarithmic.
struct TTableRegistry {
    std::map<unsigned long long, TGridTable*> tables;  // by creation sequence
    std::set<std::pair<int, unsigned long long>> byIdentifier;
    unsigned long long next = 0;
};
TTableRegistry& Registry() {
    static TTableRegistry registry;
    return registry;
}
int g_identifierCounter = 0;

TTableEditorFactory& EditorFactory() {
    static TTableEditorFactory factory;
    return factory;
}

TCellControlFactory* g_controlFactory = nullptr;

[[noreturn]] void WrongType() { throw EInvalidCast(QStringLiteral("Data of wrong type")); }

}  // namespace

void SetTableEditorFactory(TTableEditorFactory factory) { EditorFactory() = std::move(factory); }

void SetCellControlFactory(TCellControlFactory* factory) { g_controlFactory = factory; }
TCellControlFactory& CellControlFactory() {
    static TCellControlFactory modelOnly;
    return g_controlFactory ? *g_controlFactory : modelOnly;
}

// ---- TData

int TData::Row() const {
    if (!column_->HoldsCellAt(rowHint_, this)) rowHint_ = column_->IndexOfCell(this);
    return rowHint_;
}
TGridTable* TData::AsObject() const { return column_->GetObject(Row()); }
long double TData::AsFloat() const { return column_->GetFloat(Row()); }
int TData::AsInteger() const { return column_->GetInteger(Row()); }
QString TData::AsString() const { return column_->Text(Row()); }
void TData::SetAsFloat(long double x) const { column_->SetFloat(Row(), x); }
void TData::SetAsInteger(int v) const { column_->SetInteger(Row(), v); }

// ---- TColumn

TColumn::TColumn(TGridTable* table) : table_(table) {}
TColumn::~TColumn() = default;

void TColumn::InsertRows(TGridTable*, int index, int count) {
    for (int k = 0; k < count; ++k) cells_.Insert(index, new TData(this));
    for (int k = 0; k < count; ++k) cells_.Items(index + k)->rowHint_ = index + k;
}

void TColumn::DeleteRow(int index) { cells_.Delete(index); }
int TColumn::CaptionLineCount() const { return int(captions_.size()); }

void TColumn::GetCaptionLine(int i, QString& s) const {
    s = (i >= 0 && i < captions_.size()) ? captions_[i] : QString();
}

TGridTable* TColumn::GetObject(int) const { WrongType(); }
long double TColumn::GetFloat(int) const { WrongType(); }
void TColumn::SetFloat(int, long double) { WrongType(); }
int TColumn::GetInteger(int) const { WrongType(); }
void TColumn::SetInteger(int, int) { WrongType(); }
TObject* TColumn::GetItem(int) const { WrongType(); }
void TColumn::GetText(int, QString& s) const { s.clear(); }
void TColumn::SetText(int, const QString&) {}
bool TColumn::Modified() const { return false; }
bool TColumn::HasEditors() const { return false; }
TCellControl* TColumn::Editor(int) const { return nullptr; }
int TColumn::RowGroup() const { return RowGroupHook ? RowGroupHook() : 1; }
void TColumn::CloseSubEditors() {}
void TColumn::ClearModified() {}

int TColumn::MeasureWidth(const TCanvasMetrics& canvas) const {
    int widest = 0;
    for (int i = 0; i < CaptionLineCount(); ++i) {
        const QString line = CaptionLine(i) + "  ";
        const int w = canvas.TextWidth ? canvas.TextWidth(line) : int(line.size()) * canvas.PixelsPerInch / 12;
        widest = std::max(widest, w);
    }
    return widest;
}

void TColumn::SetUnits(int) {}

void TColumn::WriteData(TComponentWriter& writer) const {
    writer.WriteListBegin();
    for (const QString& line : captions_) writer.WriteString(line);
    writer.WriteListEnd();
    writer.WriteBoolean(visible_);
    writer.WriteBoolean(group_);
}

void TColumn::ReadData(TComponentReader& reader) {
    reader.ReadListBegin();
    captions_.clear();
    while (!reader.EndOfList()) captions_ << reader.ReadString();
    reader.ReadListEnd();
    visible_ = reader.ReadBoolean();
    group_ = reader.ReadBoolean();
}

bool TColumn::UsesControls() const { return false; }
void TColumn::AllocateEditors(QObject*, int, int) {}
void TColumn::FreeEditors() {}

void TColumn::CopyBaseTo(TColumn& other) const {
    other.visible_ = visible_;
    other.captions_ = captions_;
}

void TColumn::NotifyCellChanged(int row) {
    if (CellChangedHook) CellChangedHook(this, row);
}

void TColumn::RequestFocus(int row) {
    if (FocusCellHook) FocusCellHook(this, row);
}

std::pair<int, int> TColumn::GroupRange(int row) const {
    const int g = std::max(1, RowGroup());
    const int start = g * (row / g);
    return {start, std::min(start + g - 1, RowCountOfColumn() - 1)};
}

// ---- column-type registry

void TColumnTypeRegistry::Register(const std::type_info& type, TColumnFactory create, int code) {
    entries_.push_back(TColumnTypeStorage{&type, create, code});
}

void TColumnTypeRegistry::Unregister(const std::type_info& type) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const TColumnTypeStorage& e) { return *e.Type == type; }),
                   entries_.end());
}

const TColumnTypeStorage* TColumnTypeRegistry::ByCode(int code) const {
    for (const auto& e : entries_)
        if (e.Code == code) return &e;
    return nullptr;
}

int TColumnTypeRegistry::CodeOf(const TColumn& column) const {
    for (const auto& e : entries_)
        if (*e.Type == typeid(column)) return e.Code;
    return -1;
}

void TColumnTypeRegistry::Finalize() {
    Unregister(typeid(TEnumColumn));
    Unregister(typeid(TIntColumn));
    Unregister(typeid(TFloatColumn));
    Unregister(typeid(TTableColumn));
    Unregister(typeid(TStringColumn));
    if (!entries_.empty()) throw Exception(QStringLiteral("Column Type list not empty"));
}

TColumnTypeRegistry& ColumnTypes() {
    static TColumnTypeRegistry registry = [] {
        TColumnTypeRegistry r;
        RegisterStandardColumnTypes(r);
        return r;
    }();
    return registry;
}

std::unique_ptr<TColumn> CreateColumnFromReader(int code, TGridTable* table, TComponentReader& reader) {
    const TColumnTypeStorage* entry = ColumnTypes().ByCode(code);
    if (!entry) throw Exception(QStringLiteral("Error Column Class not defined"));
    std::unique_ptr<TColumn> column(entry->Create(table));
    column->ReadData(reader);
    return column;
}

// ---- TGridTable

void TGridTable::Init(const TObject* owner) {
    parentTable_ = dynamic_cast<const TGridTable*>(owner);
    units_ = parentTable_ ? parentTable_->units_ : 1;
    modified_ = false;
    maxRows_ = 0;
    minRows_ = 1;
    rowGroup_ = 1;
    identifier_ = g_identifierCounter++;
    TTableRegistry& reg = Registry();
    registered_ = reg.next++;
    reg.tables.emplace(registered_, this);
    reg.byIdentifier.emplace(identifier_, registered_);
}

TGridTable::TGridTable(const TObject* owner) { Init(owner); }

TGridTable::TGridTable(const TObject* owner, int rowNumber, const TGridTable& templ) {
    Init(owner);
    caption_ = templ.caption_;
    comments_ = templ.comments_;
    topLeft_ = templ.topLeft_;
    helpPicture_ = templ.helpPicture_;
    SetRowCount(0);
    minRows_ = templ.minRows_;
    maxRows_ = templ.maxRows_;
    for (TColumn* c : templ.columns_) AddColumn(c->Clone(this));
    SetRowNumber(rowNumber);
    SetRowCount(minRows_);
    FireChange();
}

TGridTable::~TGridTable() {
    if (editor_) {
        TTableEditor* e = editor_;
        DetachEditor();
        e->FreeEditor();
    }
    SetRowCount(0);
    columns_.Clear();
    TTableRegistry& reg = Registry();
    reg.tables.erase(registered_);
    reg.byIdentifier.erase({identifier_, registered_});
}

TData& TGridTable::Cells(int col, int row) const { return columns_.Items(col)->Cell(row); }

void TGridTable::AttachColumn(TColumn* column) {
    column->CellChangedHook = [this](TColumn* c, int row) { ColumnCellChanged(c, row); };
    column->FocusCellHook = [this](TColumn* c, int row) { ColumnFocusCell(c, row); };
    column->RowGroupHook = [this] { return rowGroup_; };
    if (auto* e = dynamic_cast<TEnumColumn*>(column)) {
        e->ItemsChangedHook = [this, e] {
            if (columns_.IndexOf(e) == 0) SynchroniseReferences();
        };
    }
    if (auto* t = dynamic_cast<TTableColumn*>(column)) {
        auto col = [this, t] { return columns_.IndexOf(t); };
        t->ButtonClickHook = [this, col](int r, TObject* d) {
            if (OnButtonClick) OnButtonClick(this, col(), r, d);
        };
        t->ButtonCaptionHook = [this, col](int r, TObject* d, QString& s) {
            if (OnGetButtonCaption) OnGetButtonCaption(this, col(), r, d, s);
        };
        t->ChangedHook = [this, col](int r, TObject* d, bool& c) {
            if (OnGetChanged) OnGetChanged(this, col(), r, d, c);
        };
        t->HideHook = [this, col](int r, TObject* d) {
            if (OnHide) OnHide(this, col(), r, d);
        };
        t->InitRowHook = [this, col](int r, int e, TObject*& d) {
            if (!OnInitRow) return false;
            OnInitRow(this, col(), r, e, d);
            return true;
        };
        t->ResetChangedHook = [this, col](int r, TObject* d) {
            if (OnResetChanged) OnResetChanged(this, col(), r, d);
        };
        t->SetRowHook = [this, col](TObject* d, int r) {
            if (OnSetRow) OnSetRow(this, col(), d, r);
        };
        t->SetUnitsHook = [this, col](int r, TObject* d, int v) {
            if (OnSetUnits) OnSetUnits(this, col(), r, d, v);
        };
    }
    while (column->RowCountOfColumn() < rowCount_) column->InsertRows(this, column->RowCountOfColumn(), rowGroup_);
    if (editor_ && column->UsesControls() && EditorParent && editor_->RowsShown() > 0)
        column->AllocateEditors(EditorParent, editor_->TopRow(), editor_->RowsShown());
}

void TGridTable::AddColumn(TColumn* column) {
    std::unique_ptr<TColumn> guard(column);
    AttachColumn(column);
    columns_.Add(guard.release());
    SynchroniseReferences();
}

void TGridTable::ClearColumns() { columns_.Clear(); }

void TGridTable::SetRowCount(int n) {
    if (n < 0) n = 0;
    const bool changed = n != rowCount_;
    for (TColumn* c : columns_) {
        while (c->RowCountOfColumn() > n) c->DeleteRow(c->RowCountOfColumn() - 1);
        while (c->RowCountOfColumn() < n) c->InsertRows(this, c->RowCountOfColumn(), rowGroup_);
    }
    rowCount_ = n;
    // An open editor shows the rows the table now has (the Data menu fits
    // the soil column, a save trims the soil layers it writes).
    if (changed) FireChange();
}

void TGridTable::AppendRowGroup() {
    const int at = rowCount_;
    for (TColumn* c : columns_) c->InsertRows(this, at, rowGroup_);
    rowCount_ += rowGroup_;
    FireChange();
}

void TGridTable::InsertRowGroup(int row) {
    const int start = rowGroup_ * (row / rowGroup_);
    for (TColumn* c : columns_) c->InsertRows(this, start, rowGroup_);
    rowCount_ += rowGroup_;
    FireChange();
}

void TGridTable::DeleteRowGroup(int row) {
    const int start = rowGroup_ * (row / rowGroup_);
    for (TColumn* c : columns_)
        for (int k = 0; k < rowGroup_; ++k) c->DeleteRow(start);
    rowCount_ = std::max(0, rowCount_ - rowGroup_);
    FireChange();
}

bool TGridTable::Modified() const {
    if (modified_) return true;
    for (TColumn* c : columns_)
        if (c->Modified()) return true;
    return false;
}

void TGridTable::SetModified(bool flag) {
    if (flag) {
        modified_ = true;
        return;
    }
    modified_ = false;
    for (TColumn* c : columns_) c->ClearModified();
}

void TGridTable::SetUnits(int n) {
    if (n == units_) return;
    for (TColumn* c : columns_) c->SetUnits(n);  // converts from the old system
    units_ = n;
    FireChange();
}

void TGridTable::ShowEditorWindow(bool modal) {
    if (VisibleColumnCount() == 0) return;
    if (!editor_) {
        if (!EditorFactory()) return;
        editor_ = EditorFactory()(*this, formParent_, modal);
        if (!editor_) return;
    }
    editor_->ShowEditor(modal && !formParent_);
}

void TGridTable::ShowTable() { ShowEditorWindow(false); }
void TGridTable::ShowTableModal() { ShowEditorWindow(true); }

void TGridTable::RefreshEditor() {
    if (!editor_) return;
    CloseEditor();
    ShowTable();
}

void TGridTable::DetachEditor() {
    for (TColumn* c : columns_) c->FreeEditors();
    ChangeHook = nullptr;
    CellChangeHook = nullptr;
    EditorParent = nullptr;
    editor_ = nullptr;
}

void TGridTable::CloseEditor() {
    if (editor_) {
        TTableEditor* e = editor_;
        DetachEditor();
        e->FreeEditor();
    }
    for (TColumn* c : columns_) c->CloseSubEditors();
}

int TGridTable::VisibleColumnCount() const {
    int n = 0;
    for (TColumn* c : columns_)
        if (c->Visible()) ++n;
    return n;
}

TColumn* TGridTable::VisibleColumns(int n) const {
    int k = 0;
    for (TColumn* c : columns_) {
        if (!c->Visible()) continue;
        if (k == n) return c;
        ++k;
    }
    throw EListError(QStringLiteral("Index out of bounds"));
}

int TGridTable::VisibleIndexOf(const TColumn* column) const {
    int k = 0;
    for (TColumn* c : columns_) {
        if (!c->Visible()) continue;
        if (c == column) return k;
        ++k;
    }
    return -1;
}

int TGridTable::HeaderRowCount() const {
    int n = 0;
    for (TColumn* c : columns_)
        if (c->Visible()) n = std::max(n, c->CaptionLineCount());
    return n;
}

QString TGridTable::Path() const {
    const QString parent = parentTable_ ? parentTable_->Path() : QString();
    return rowNumber_ != 0 ? parent + " " + QString::number(rowNumber_) : parent;
}

void TGridTable::SetRowNumber(int n) {
    rowNumber_ = n;
    if (editor_) editor_->SetEditorCaption(caption_ + " " + Path());
}

void TGridTable::SetIdentifier(int id) {
    if (id < 0) return;
    const int old = identifier_;
    if (id == old) return;
    TTableRegistry& reg = Registry();
    std::vector<unsigned long long> holders;
    for (auto it = reg.byIdentifier.lower_bound({id, 0}); it != reg.byIdentifier.end() && it->first == id; ++it)
        holders.push_back(it->second);
    for (unsigned long long h : holders) {
        reg.byIdentifier.erase({id, h});
        reg.tables.at(h)->identifier_ = old;
        reg.byIdentifier.emplace(old, h);
    }
    reg.byIdentifier.erase({old, registered_});
    identifier_ = id;
    reg.byIdentifier.emplace(id, registered_);
}

void TGridTable::SetMinRows(int n) {
    if (n < 1) {
        if (!loading_) throw Exception(QStringLiteral("Value must be greater than 0"));
        n = 1;
    }
    minRows_ = n;
}

void TGridTable::SetHelpPicture(const QImage& picture) {
    helpPicture_ = picture;
    if (editor_) editor_->HelpPictureChanged();
}

void TGridTable::ColumnCellChanged(TColumn* column, int row) {
    const int index = columns_.IndexOf(column);
    if (index == 0 && dynamic_cast<TEnumColumn*>(column)) {
        for (TColumn* c : columns_)
            if (auto* t = dynamic_cast<TTableColumn*>(c)) {
                t->BuildRow(row);
                break;
            }
    }
    if (CellChangeHook) CellChangeHook(index, row);
}

void TGridTable::ColumnFocusCell(TColumn* column, int row) {
    if (editor_) editor_->SelectCell(VisibleIndexOf(column) + 1, row + HeaderRowCount());
}

void TGridTable::SynchroniseReferences() {
    int count = 1;
    if (columns_.Count() > 0)
        if (auto* e = dynamic_cast<TEnumColumn*>(columns_.Items(0))) count = int(e->Items().size());
    for (TColumn* c : columns_)
        if (auto* t = dynamic_cast<TTableColumn*>(c)) {
            TGridTableList& refs = t->References();
            while (refs.Count() < count) refs.AddIndex(-1);
            while (refs.Count() > count) refs.Delete(refs.Count() - 1);
        }
}

void TGridTable::ReadCol(TComponentReader& reader) {
    long long count = 0;
    try {
        count = reader.ReadInteger();
    } catch (const Exception&) {
        throw Exception(QStringLiteral("Error reading column count"));
    }
    for (long long i = 0; i < count; ++i) {
        try {
            const int code = int(reader.ReadInteger());
            std::unique_ptr<TColumn> column = CreateColumnFromReader(code, this, reader);
            AttachColumn(column.get());
            columns_.Add(column.release());
        } catch (const Exception& e) {
            throw Exception(QStringLiteral("Error occured when creating column %1: %2").arg(i).arg(e.Message()));
        }
        SynchroniseReferences();
    }
    FireChange();
}

void TGridTable::WriteCol(TComponentWriter& writer) const {
    writer.WriteInteger(columns_.Count());
    for (TColumn* c : columns_) {
        writer.WriteInteger(ColumnTypes().CodeOf(*c));
        c->WriteData(writer);
    }
}

// ---- registry of tables

TGridTable* GridTableByIndex(int i) {
    const auto& tables = Registry().tables;
    if (i < 0 || i >= int(tables.size())) return nullptr;
    return std::next(tables.begin(), i)->second;
}

int GridTableIndexOf(const TGridTable* table) {
    if (!table) return -1;
    const auto& tables = Registry().tables;
    const auto it = tables.find(table->registered_);
    if (it == tables.end() || it->second != table) return -1;
    return int(std::distance(tables.begin(), it));
}

TGridTable* GridTableByIdentifier(int id) {
    if (id < 0) return nullptr;
    const TTableRegistry& reg = Registry();
    const auto it = reg.byIdentifier.lower_bound({id, 0});
    if (it == reg.byIdentifier.end() || it->first != id) return nullptr;
    return reg.tables.at(it->second);
}

int GridTableIndexByIdentifier(int id) { return GridTableIndexOf(GridTableByIdentifier(id)); }

int GridTableCount() { return int(Registry().tables.size()); }

}  // namespace vortn
