#include "columns.h"

#include "expression.h"
#include "number_format.h"
#include "units.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace vortn {

namespace {
template <class T>
TColumn* Make(TGridTable* table) {
    return new T(table);
}

int InchesToPixels(long double inches, int ppi) { return int(inches * ppi); }

// Keeps exactly `count` cell controls, the first ones as they are and new
// ones from `make`; control i then shows row topRow + i (`show` sets what it
// displays), hidden until the editor window places it.
void KeepCellControls(TObjectList<TCellControl>& controls, int topRow, int count,
                      const std::function<TCellControl*()>& make, const std::function<void(TCellControl*)>& show) {
    while (controls.Count() > count) controls.Delete(controls.Count() - 1);
    while (controls.Count() < count) controls.Add(make());
    for (int i = 0; i < count; ++i) {
        TCellControl* c = controls.Items(i);
        c->Tag = topRow + i;
        c->Visible = false;
        show(c);
        c->Sync();
        c->BringToFront();
    }
}
}  // namespace

void RegisterStandardColumnTypes(TColumnTypeRegistry& registry) {
    registry.Register(typeid(TEnumColumn), &Make<TEnumColumn>, kEnumColumnCode);
    registry.Register(typeid(TIntColumn), &Make<TIntColumn>, kIntColumnCode);
    registry.Register(typeid(TFloatColumn), &Make<TFloatColumn>, kFloatColumnCode);
    registry.Register(typeid(TTableColumn), &Make<TTableColumn>, kTableColumnCode);
    registry.Register(typeid(TStringColumn), &Make<TStringColumn>, kStringColumnCode);
}

// ---- TGridTableList

int TGridTableList::AddIndex(int registryIndex) { return items_.Add(new TIntWrapper(false, registryIndex)); }
int TGridTableList::AddIdentifier(int identifier) { return items_.Add(new TIntWrapper(true, identifier)); }
int TGridTableList::AddTable(const TGridTable* table) { return AddIndex(table ? GridTableIndexOf(table) : -1); }
void TGridTableList::InsertIndex(int i, int registryIndex) { items_.Insert(i, new TIntWrapper(false, registryIndex)); }
void TGridTableList::InsertIdentifier(int i, int identifier) { items_.Insert(i, new TIntWrapper(true, identifier)); }
void TGridTableList::InsertTable(int i, const TGridTable* table) {
    InsertIndex(i, table ? GridTableIndexOf(table) : -1);
}
void TGridTableList::Delete(int i) { items_.Delete(i); }

int TGridTableList::Resolve(int i) const {
    const TIntWrapper& w = *items_.Items(i);
    return w.ByIdentifier ? GridTableIndexByIdentifier(w.Value) : w.Value;
}

TGridTable* TGridTableList::Table(int i) const {
    const TIntWrapper& w = *items_.Items(i);
    return w.ByIdentifier ? GridTableByIdentifier(w.Value) : GridTableByIndex(w.Value);
}

// ---- TIntValueColumn

void TIntValueColumn::InsertRows(TGridTable* table, int index, int count) {
    for (int k = 0; k < count; ++k) values_.Insert(index, new TIntStorage(NewRowValue()));
    TColumn::InsertRows(table, index, count);
}

void TIntValueColumn::DeleteRow(int index) {
    values_.Delete(index);
    TColumn::DeleteRow(index);
}

int TIntValueColumn::GetInteger(int row) const { return values_.Items(row)->Value; }

void TIntValueColumn::GetText(int row, QString& s) const { s = QString::number(GetInteger(row)); }

// ---- TEnumColumn

TEnumColumn::~TEnumColumn() = default;

void TEnumColumn::SetItems(const QStringList& items) {
    items_ = items;
    for (TCellControl* c : editors_) {
        c->Items = items_;
        c->Sync();
    }
    if (ItemsChangedHook) ItemsChangedHook();
}

void TEnumColumn::SetInteger(int row, int v) {
    values_.Items(row);  // index check before anything happens
    // Column 0 chooses each row's sub-table template; an item number without
    // a template would leave the row half rebuilt, so it is refused up front.
    if (table_ && table_->ColumnCount() > 0 && table_->Columns(0) == this && (v < 1 || v > items_.size())) {
        for (int i = 0; i < table_->ColumnCount(); ++i)
            if (dynamic_cast<TTableColumn*>(table_->Columns(i)))
                throw EAssignError(QStringLiteral("Entry must be between %1 and %2.").arg(1).arg(items_.size()));
    }
    if (group_) {
        const auto [first, last] = GroupRange(row);
        for (int r = first; r <= last; ++r) StoreInteger(r, v);
    } else {
        StoreInteger(row, v);
    }
}

void TEnumColumn::StoreInteger(int row, int v) {
    TIntStorage* s = values_.Items(row);
    if (s->Value == v) return;
    s->Value = v;
    for (TCellControl* c : editors_)
        if (c->Tag == row) {
            c->ItemIndex = v - 1;
            c->Sync();
        }
    NotifyCellChanged(row);
}

void TEnumColumn::SetText(int row, const QString& s) {
    const long double x = EvaluateExpression(s);
    if (!IsWholeNumber(x)) throw EAssignError(QStringLiteral("Value must be an integer."));
    SetInteger(row, int(Round(x)));
}

int TEnumColumn::MeasureWidth(const TCanvasMetrics& canvas) const {
    return std::max(TColumn::MeasureWidth(canvas), 3 * canvas.PixelsPerInch / 2);
}

void TEnumColumn::WriteData(TComponentWriter& writer) const {
    TColumn::WriteData(writer);
    writer.WriteListBegin();
    for (const QString& item : items_) writer.WriteString(item);
    writer.WriteListEnd();
}

void TEnumColumn::ReadData(TComponentReader& reader) {
    TColumn::ReadData(reader);
    QStringList items;
    reader.ReadListBegin();
    while (!reader.EndOfList()) items << reader.ReadString();
    reader.ReadListEnd();
    items_ = items;
}

TColumn* TEnumColumn::Clone(TGridTable* table) const {
    auto c = std::make_unique<TEnumColumn>(table);  // freed if a copy raises
    CopyBaseTo(*c);
    c->items_ = items_;
    return c.release();
}

void TEnumColumn::AllocateEditors(QObject* parent, int topRow, int count) {
    if (editors_.Count() > 0 && editorParent_ != parent)
        throw Exception(QStringLiteral("Error attempt to change parent with controls already allocated"));
    if (!parent) throw Exception(QStringLiteral("null parent"));
    editorParent_ = parent;
    if (count < 0) count = 0;
    const auto make = [this, parent] {
        TCellControl* box = CellControlFactory().CreateComboBox(parent);
        box->Items = items_;
        box->DropDownCount = 11;
        box->OnSelect = [this, box](int index) { ComboSelected(box, index); };
        box->OnEnter = [this, box] { RequestFocus(box->Tag); };
        return box;
    };
    KeepCellControls(editors_, topRow, count, make, [this](TCellControl* box) {
        box->ItemIndex = box->Tag >= 0 && box->Tag < values_.Count() ? GetInteger(box->Tag) - 1 : -1;
    });
}

void TEnumColumn::ComboSelected(TCellControl* box, int itemIndex) {
    if (box->Tag < 0) throw Exception(QStringLiteral("Unexpected row for combobox"));
    if (itemIndex + 1 != GetInteger(box->Tag)) SetInteger(box->Tag, itemIndex + 1);
}

void TEnumColumn::FreeEditors() {
    editorParent_ = nullptr;
    editors_.Clear();
}

// ---- TIntColumn

void TIntColumn::SetInteger(int row, int v) {
    values_.Items(row);
    auto [first, last] = group_ ? GroupRange(row) : std::pair<int, int>{row, row};
    for (int r = first; r <= last; ++r) {
        values_.Items(r)->Value = v;
        NotifyCellChanged(r);
    }
}

void TIntColumn::SetText(int row, const QString& s) {
    const long double x = EvaluateExpression(s);
    const auto rangeError = [&] {
        return EAssignError(QStringLiteral("Entry must be between %1 and %2.").arg(MinValue).arg(MaxValue));
    };
    if (table_ && table_->Editor()) {
        if (std::fabs(x - std::truncl(x)) > 1e-10L) throw EAssignError(QStringLiteral("Entry must be an integer."));
        if (x < MinValue || x > MaxValue) throw rangeError();
    }
    // A whole number that does not fit 32 bits cannot be stored at all.
    if (!(x > -2147483648.5L && x < 2147483647.5L)) throw rangeError();
    const int64_t v = Round(x);
    if (v < -2147483647LL - 1 || v > 2147483647LL) throw rangeError();
    SetInteger(row, int(v));
}

int TIntColumn::MeasureWidth(const TCanvasMetrics& canvas) const {
    return std::max(TColumn::MeasureWidth(canvas), canvas.PixelsPerInch / 2);
}

void TIntColumn::WriteData(TComponentWriter& writer) const {
    TColumn::WriteData(writer);
    writer.WriteInteger(Default);
    writer.WriteInteger(MinValue);
    writer.WriteInteger(MaxValue);
}

void TIntColumn::ReadData(TComponentReader& reader) {
    TColumn::ReadData(reader);
    Default = int(reader.ReadInteger());
    MinValue = int(reader.ReadInteger());
    MaxValue = int(reader.ReadInteger());
}

TColumn* TIntColumn::Clone(TGridTable* table) const {
    auto c = std::make_unique<TIntColumn>(table);  // freed if a copy raises
    CopyBaseTo(*c);
    c->Default = Default;
    c->MinValue = MinValue;
    c->MaxValue = MaxValue;
    return c.release();
}

// ---- TFloatColumn

namespace {
// Position of a column in its table; a column being attached is not in the
// list yet and stands where it is about to be appended.
int PositionInTable(const TColumn* c) {
    const TGridTable* t = c->Table();
    if (!t) return -1;
    const int i = t->IndexOfColumn(c);
    return i >= 0 ? i : t->ColumnCount();
}
}  // namespace

TFloatColumn* TFloatColumn::NextFloatColumn() const {
    if (!TopDepth || !table_) return nullptr;
    const int i = PositionInTable(this) + 1;
    if (i < 0 || i >= table_->ColumnCount()) return nullptr;
    return dynamic_cast<TFloatColumn*>(table_->Columns(i));
}

TFloatColumn* TFloatColumn::TopDepthPartner() const {
    if (!table_) return nullptr;
    const int i = PositionInTable(this) - 1;
    if (i < 0 || i >= table_->ColumnCount()) return nullptr;
    auto* prev = dynamic_cast<TFloatColumn*>(table_->Columns(i));
    return prev && prev->TopDepth ? prev : nullptr;
}

void TFloatColumn::InsertRows(TGridTable* table, int index, int count) {
    if (TopDepth && table_) {
        const int i = PositionInTable(this) + 1;
        if (i < table_->ColumnCount() && !dynamic_cast<TFloatColumn*>(table_->Columns(i)))
            throw Exception(QStringLiteral("If column if a topdepth then the next column must be a float column"));
    }
    TFloatColumn* bottom = NextFloatColumn();
    TFloatColumn* top = TopDepthPartner();
    for (int k = 0; k < count; ++k) {
        const int d = index + k;
        long double v = Default;
        if (TopDepth && bottom && d >= 1 && d <= bottom->values_.Count() - 1)
            v = bottom->values_.Items(d - 1)->Value;  // bottom of the row above
        else if (top && d + 1 < top->values_.Count())
            v = top->values_.Items(d + 1)->Value;  // top of the row below
        values_.Insert(d, new TFloatStorage(v));
    }
    TColumn::InsertRows(table, index, count);
}

void TFloatColumn::DeleteRow(int index) {
    TFloatColumn* bottom = NextFloatColumn();
    const int rows = values_.Count();
    if (bottom && index > 0 && index < rows - 1 && index - 1 < bottom->values_.Count())
        values_.Items(index + 1)->Value = bottom->values_.Items(index - 1)->Value;
    values_.Delete(index);
    TColumn::DeleteRow(index);
}

void TFloatColumn::GetCaptionLine(int i, QString& s) const {
    TColumn::GetCaptionLine(i, s);
    if (i == CaptionLineCount() - 1 && !UnitsString.isEmpty())
        s = QStringLiteral("%1 (%2)  ").arg(s, ColumnUnitsText(UnitsString, table_ ? table_->Units() : 1));
}

long double TFloatColumn::GetFloat(int row) const { return values_.Items(row)->Value; }

void TFloatColumn::Store(int row, long double x) { values_.Items(row)->Value = x; }

void TFloatColumn::SetFloat(int row, long double x) {
    values_.Items(row);
    if (group_) {
        const auto [first, last] = GroupRange(row);
        for (int r = first; r <= last; ++r) {
            Store(r, x);
            NotifyCellChanged(r);
        }
        return;
    }
    Store(row, x);
    TFloatColumn* bottom = NextFloatColumn();
    TFloatColumn* top = TopDepthPartner();
    if (TopDepth && bottom && row - 1 >= 0 && row - 1 < bottom->values_.Count()) {
        bottom->Store(row - 1, x);
        bottom->NotifyCellChanged(row - 1);
    } else if (top && row + 1 < top->values_.Count()) {
        top->Store(row + 1, x);
        top->NotifyCellChanged(row + 1);
    }
    NotifyCellChanged(row);
}

void TFloatColumn::GetText(int row, QString& s) const { s = FloatToStrG(GetFloat(row), 8); }

void TFloatColumn::SetText(int row, const QString& s) { SetFloat(row, EvaluateExpression(s)); }

int TFloatColumn::MeasureWidth(const TCanvasMetrics& canvas) const {
    return std::max(TColumn::MeasureWidth(canvas), canvas.PixelsPerInch / 2);
}

void TFloatColumn::SetUnits(int n) {
    const long double f = ConversionFactor(table_ ? table_->Units() : 1, n, UnitsString);
    for (int r = 0; r < values_.Count(); ++r) {
        values_.Items(r)->Value *= f;
        NotifyCellChanged(r);
    }
}

void TFloatColumn::WriteData(TComponentWriter& writer) const {
    TColumn::WriteData(writer);
    writer.WriteBoolean(TopDepth);
    writer.WriteString(QStringLiteral("FLOATCOLUMN2"));
    writer.WriteString(UnitsString);
    writer.WriteFloat(Default);
}

void TFloatColumn::ReadData(TComponentReader& reader) {
    TColumn::ReadData(reader);
    TopDepth = reader.ReadBoolean();
    const QString s = reader.ReadString();
    if (s == QLatin1String("FLOATCOLUMN2")) {
        UnitsString = reader.ReadString();
        Default = reader.ReadFloat();
    } else {  // older form: the units string only
        UnitsString = s;
        Default = 0;
    }
    SetUnits(table_ ? table_->Units() : 1);
}

TColumn* TFloatColumn::Clone(TGridTable* table) const {
    auto c = std::make_unique<TFloatColumn>(table);  // freed if a copy raises
    CopyBaseTo(*c);
    c->TopDepth = TopDepth;
    c->UnitsString = UnitsString;
    c->Default = Default;
    return c.release();
}

// ---- TTableColumn

TTableColumn::~TTableColumn() {
    editors_.Clear();
    rowObjects_.Clear();
}

void TTableColumn::InsertRows(TGridTable* table, int index, int count) {
    for (int k = 0; k < count; ++k) rowObjects_.Insert(index + k, nullptr);
    TColumn::InsertRows(table, index, count);
    for (int k = 0; k < count; ++k) BuildRow(index + k);
    Renumber(index + count);
}

std::vector<std::vector<const TGridTable*>> SubTableTemplates(const TGridTable& table) {
    std::vector<std::vector<const TGridTable*>> out;
    for (int c = 0; c < table.ColumnCount(); ++c) {
        const auto* t = dynamic_cast<const TTableColumn*>(table.Columns(c));
        if (!t) continue;
        std::vector<const TGridTable*> refs;
        for (int i = 0; i < t->References().Count(); ++i)
            if (const TGridTable* next = t->References().Table(i)) refs.push_back(next);
        out.push_back(std::move(refs));
    }
    return out;
}

namespace {

std::vector<const TGridTable*> Referenced(const TGridTable& table) {
    std::vector<const TGridTable*> all;
    for (const auto& column : SubTableTemplates(table)) all.insert(all.end(), column.begin(), column.end());
    return all;
}

// For every table reachable from `from` through sub-table references (and
// `from` itself) not yet in `onLoop`: whether it lies on a loop of
// references, so that cloning it would never end. The strongly connected
// components of the references (Tarjan), each table visited once.
void MarkReferenceLoops(const TGridTable& from, std::unordered_map<const TGridTable*, bool>& onLoop) {
    if (onLoop.count(&from) != 0) return;
    struct Mark {
        int index, low;
        bool onStack;
    };
    struct Frame {
        const TGridTable* table;
        std::vector<const TGridTable*> next;
        size_t i = 0;
    };
    std::unordered_map<const TGridTable*, Mark> marks;
    std::vector<const TGridTable*> stack;
    std::vector<Frame> frames;
    int counter = 0;
    auto open = [&](const TGridTable* t) {
        marks[t] = {counter, counter, true};
        ++counter;
        stack.push_back(t);
        frames.push_back({t, Referenced(*t)});
    };
    open(&from);
    while (!frames.empty()) {
        Frame& f = frames.back();
        if (f.i < f.next.size()) {
            const TGridTable* next = f.next[f.i++];
            if (onLoop.count(next) != 0) continue;  // a component decided before
            const auto it = marks.find(next);
            if (it == marks.end()) {
                open(next);  // f is no longer valid
            } else if (it->second.onStack) {
                Mark& m = marks[f.table];
                m.low = std::min(m.low, it->second.index);
            }
            continue;
        }
        const TGridTable* t = f.table;
        const bool selfReference = std::find(f.next.begin(), f.next.end(), t) != f.next.end();
        frames.pop_back();
        const Mark mark = marks[t];
        if (!frames.empty()) {
            Mark& parent = marks[frames.back().table];
            parent.low = std::min(parent.low, mark.low);
        }
        if (mark.low != mark.index) continue;
        // t is the first table of its component: the component leaves the stack.
        std::vector<const TGridTable*> component;
        const TGridTable* x = nullptr;
        do {
            x = stack.back();
            stack.pop_back();
            marks[x].onStack = false;
            component.push_back(x);
        } while (x != t);
        const bool loop = component.size() > 1 || selfReference;
        for (const TGridTable* c : component) onLoop[c] = loop;
    }
}

}  // namespace

bool SubTableReferencesLeadBack(const TGridTable& table) {
    std::unordered_map<const TGridTable*, bool> onLoop;
    MarkReferenceLoops(table, onLoop);
    return onLoop[&table];
}

void TTableColumn::BuildRow(int r) {
    int e = 1;
    if (table_ && table_->ColumnCount() > 0)
        if (auto* en = dynamic_cast<TEnumColumn*>(table_->Columns(0)))
            if (r < en->RowCountOfColumn()) e = en->GetInteger(r);
    // An item number without reference has no template.
    TGridTable* templ = (e - 1 >= 0 && e - 1 < references_.Count()) ? references_.Table(e - 1) : nullptr;
    // A template whose references lead back to it (or to this table) would
    // be cloned without end; the resource reader refuses such tables, and a
    // reference changed later gives no sub-table. While a row builds its
    // sub-table, and that one its own, the loops are worked out once for
    // all of them (nothing changes references meanwhile).
    static int building = 0;
    static std::unordered_map<const TGridTable*, bool> onLoop;
    if (templ == table_) templ = nullptr;
    if (templ) {
        if (building == 0) onLoop.clear();
        MarkReferenceLoops(*templ, onLoop);
        if (onLoop[templ]) templ = nullptr;
    }
    std::unique_ptr<TObject> object;
    if (templ) {
        ++building;
        struct Built {
            ~Built() { --building; }
        } built;
        object = std::make_unique<TGridTable>(table_, r + 1, *templ);
    } else if (InitRowHook) {
        TObject* made = nullptr;
        if (InitRowHook(r, e, made)) {
            std::unique_ptr<TObject> owned(made);  // freed if SetRowHook raises
            if (SetRowHook) SetRowHook(owned.get(), r);
            object = std::move(owned);
        }
    }
    rowObjects_.Put(r, object.release());  // the list owns it and frees the old row object
    RecaptionButton(r);
}

void TTableColumn::Renumber(int fromRow) {
    for (int r = fromRow; r < rowObjects_.Count(); ++r) {
        TObject* obj = rowObjects_.Items(r);
        if (auto* t = dynamic_cast<TGridTable*>(obj))
            t->SetRowNumber(r + 1);
        else if (obj && SetRowHook)
            SetRowHook(obj, r);
    }
}

void TTableColumn::DeleteRow(int index) {
    TColumn::DeleteRow(index);
    rowObjects_.Delete(index);
    Renumber(index);
}

TGridTable* TTableColumn::GetObject(int row) const {
    TObject* obj = rowObjects_.Items(row);
    if (!obj) return nullptr;
    auto* t = dynamic_cast<TGridTable*>(obj);
    if (!t) throw EInvalidCast(QStringLiteral("Data of wrong type"));
    return t;
}

TObject* TTableColumn::GetItem(int row) const { return rowObjects_.Items(row); }

bool TTableColumn::Modified() const {
    for (int r = 0; r < rowObjects_.Count(); ++r) {
        TObject* obj = rowObjects_.Items(r);
        if (auto* t = dynamic_cast<TGridTable*>(obj)) {
            if (t->Modified()) return true;
        } else if (ChangedHook) {
            bool changed = false;
            ChangedHook(r, obj, changed);
            if (changed) return true;
        }
    }
    return false;
}

void TTableColumn::ClearModified() {
    for (int r = 0; r < rowObjects_.Count(); ++r) {
        TObject* obj = rowObjects_.Items(r);
        if (auto* t = dynamic_cast<TGridTable*>(obj))
            t->SetModified(false);
        else if (ResetChangedHook)
            ResetChangedHook(r, obj);
    }
}

void TTableColumn::CloseSubEditors() {
    for (int r = 0; r < rowObjects_.Count(); ++r) {
        TObject* obj = rowObjects_.Items(r);
        if (auto* t = dynamic_cast<TGridTable*>(obj))
            t->CloseEditor();
        else if (HideHook)
            HideHook(r, obj);
    }
}

void TTableColumn::SetUnits(int n) {
    for (int r = 0; r < rowObjects_.Count(); ++r) {
        TObject* obj = rowObjects_.Items(r);
        if (auto* t = dynamic_cast<TGridTable*>(obj))
            t->SetUnits(n);
        else if (SetUnitsHook)
            SetUnitsHook(r, obj, n);
    }
}

int TTableColumn::MeasureWidth(const TCanvasMetrics& canvas) const {
    return std::max(TColumn::MeasureWidth(canvas), 2 * canvas.PixelsPerInch);
}

void TTableColumn::WriteData(TComponentWriter& writer) const {
    TColumn::WriteData(writer);
    writer.WriteString(QStringLiteral("FLEXCOLUMN2"));
    writer.WriteListBegin();
    for (int i = 0; i < references_.Count(); ++i) {
        const TGridTable* t = references_.Table(i);
        writer.WriteInteger(t ? t->Identifier() : -1);
    }
    writer.WriteListEnd();
}

void TTableColumn::ReadData(TComponentReader& reader) {
    TColumn::ReadData(reader);
    references_.Clear();
    const QString s = reader.ReadString();
    if (s == QLatin1String("FLEXCOLUMN2")) {
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            const int id = int(reader.ReadInteger());
            if (id < 0)
                references_.AddIndex(-1);
            else
                references_.AddIdentifier(id);
        }
        reader.ReadListEnd();
        return;
    }
    // Older form: one registry index n.
    const int n = int(reader.ReadInteger());
    TEnumColumn* first = nullptr;
    if (table_ && table_->ColumnCount() > 0) first = dynamic_cast<TEnumColumn*>(table_->Columns(0));
    if (!first) {
        references_.AddIndex(n);
        return;
    }
    const int k = int(first->Items().size());
    for (int i = 0; i < k; ++i) {
        if (table_->HardwiredButton())
            references_.AddIndex(n);
        else
            references_.AddIdentifier(i + 1);
    }
}

TColumn* TTableColumn::Clone(TGridTable* table) const {
    auto c = std::make_unique<TTableColumn>(table);  // freed if a copy raises
    CopyBaseTo(*c);
    for (int i = 0; i < references_.Count(); ++i) c->references_.AddIndex(references_.Resolve(i));
    return c.release();
}

QString TTableColumn::ButtonCaption(int r) const {
    TObject* obj = rowObjects_.Items(r);
    QString text;
    if (auto* t = dynamic_cast<TGridTable*>(obj))
        text = t->Caption();
    else if (ButtonCaptionHook)
        ButtonCaptionHook(r, obj, text);
    return QStringLiteral("%1: %2").arg(r + 1).arg(text);
}

void TTableColumn::RecaptionButton(int r) {
    for (TCellControl* b : editors_)
        if (b->Tag == r) {
            b->Caption = ButtonCaption(r);
            b->Sync();
        }
}

void TTableColumn::ClickRow(int r) {
    TObject* obj = rowObjects_.Items(r);
    if (auto* t = dynamic_cast<TGridTable*>(obj)) {
        if (table_ && table_->Editor() && table_->Editor()->IsShowingModal())
            t->ShowTableModal();
        else
            t->ShowTable();
    } else if (ButtonClickHook) {
        ButtonClickHook(r, obj);
    }
}

void TTableColumn::AllocateEditors(QObject* parent, int topRow, int count) {
    if (editors_.Count() > 0 && editorParent_ != parent)
        throw Exception(QStringLiteral("Attempt to change parent with controls already allocated"));
    if (!parent) throw Exception(QStringLiteral("null parent"));
    const int rows = rowObjects_.Count();
    if (!(topRow >= 0 && topRow < rows)) throw Exception(QStringLiteral("ATopRow %1").arg(topRow));
    if (!(count > 0 && topRow + count <= rows)) throw Exception(QStringLiteral("ACount %1").arg(count));
    editorParent_ = parent;
    const auto make = [this, parent] {
        TCellControl* b = CellControlFactory().CreateButton(parent);
        b->OnClick = [this, b] { ClickRow(b->Tag); };
        b->OnEnter = [this, b] { RequestFocus(b->Tag); };
        return b;
    };
    KeepCellControls(editors_, topRow, count, make, [this](TCellControl* b) { b->Caption = ButtonCaption(b->Tag); });
}

void TTableColumn::FreeEditors() {
    editorParent_ = nullptr;
    editors_.Clear();
}

// ---- TStringColumn

void TStringColumn::InsertRows(TGridTable* table, int index, int count) {
    for (int k = 0; k < count; ++k) texts_.insert(index, Default);
    TColumn::InsertRows(table, index, count);
}

void TStringColumn::DeleteRow(int index) {
    if (index < 0 || index >= texts_.size()) RaiseListIndexError(index);
    texts_.removeAt(index);
    TColumn::DeleteRow(index);
}

void TStringColumn::GetText(int row, QString& s) const {
    if (row < 0 || row >= texts_.size()) RaiseListIndexError(row);
    s = texts_[row];
}

void TStringColumn::SetText(int row, const QString& s) {
    if (row < 0 || row >= texts_.size()) RaiseListIndexError(row);
    auto [first, last] = group_ ? GroupRange(row) : std::pair<int, int>{row, row};
    for (int r = first; r <= last; ++r) {
        texts_[r] = s;
        NotifyCellChanged(r);
    }
}

int TStringColumn::MeasureWidth(const TCanvasMetrics& canvas) const {
    return std::max(TColumn::MeasureWidth(canvas), InchesToPixels(MinWidthInches, canvas.PixelsPerInch));
}

void TStringColumn::WriteData(TComponentWriter& writer) const {
    TColumn::WriteData(writer);
    writer.WriteString(Default);
    writer.WriteFloat(MinWidthInches);
}

void TStringColumn::ReadData(TComponentReader& reader) {
    TColumn::ReadData(reader);
    Default = reader.ReadString();
    MinWidthInches = reader.ReadFloat();
}

TColumn* TStringColumn::Clone(TGridTable* table) const {
    auto c = std::make_unique<TStringColumn>(table);  // freed if a copy raises
    CopyBaseTo(*c);
    c->Default = Default;
    c->MinWidthInches = MinWidthInches;
    return c.release();
}

}  // namespace vortn
