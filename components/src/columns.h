// The five column kinds of grid tables: pick list, whole numbers, quantities
// with units, per-row sub-tables and free text; and the list of sub-table
// references of a table column.
#pragma once

#include "grid_table.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vortn {

// Class codes of the "Col" stream.
constexpr int kEnumColumnCode = 0;
constexpr int kIntColumnCode = 1;
constexpr int kFloatColumnCode = 2;
constexpr int kTableColumnCode = 3;
constexpr int kStringColumnCode = 4;

class TIntStorage : public TObject {
public:
    explicit TIntStorage(int v = 0) : Value(v) {}
    int Value;
};
class TFloatStorage : public TObject {
public:
    explicit TFloatStorage(long double v = 0) : Value(v) {}
    long double Value;
};

// A sub-table reference: a registry index, or an Identifier when ByIdentifier.
class TIntWrapper : public TObject {
public:
    TIntWrapper(bool byIdentifier, int value) : ByIdentifier(byIdentifier), Value(value) {}
    bool ByIdentifier;
    int Value;
};

class TGridTableList : public TObject {
public:
    int AddIndex(int registryIndex);
    int AddIdentifier(int identifier);
    int AddTable(const TGridTable* table);  // stored as its registry index, -1 for none
    void InsertIndex(int i, int registryIndex);
    void InsertIdentifier(int i, int identifier);
    void InsertTable(int i, const TGridTable* table);
    void Delete(int i);
    void Clear() { items_.Clear(); }
    int Count() const { return items_.Count(); }
    const TIntWrapper& Item(int i) const { return *items_.Items(i); }
    // Registry index; an Identifier is looked up at every call.
    int Resolve(int i) const;
    TGridTable* Table(int i) const;

private:
    TObjectList<TIntWrapper> items_;
};

// The two whole-number kinds: one stored integer per row, shown as a number.
class TIntValueColumn : public TColumn {
public:
    void InsertRows(TGridTable* table, int index, int count) override;
    void DeleteRow(int index) override;
    int GetInteger(int row) const override;
    void GetText(int row, QString& s) const override;

protected:
    explicit TIntValueColumn(TGridTable* table) : TColumn(table) {}
    // The value a new row starts with.
    virtual int NewRowValue() const = 0;
    TObjectList<TIntStorage> values_;
};

// Pick list: the 1-based item number per row.
class TEnumColumn : public TIntValueColumn {
public:
    explicit TEnumColumn(TGridTable* table) : TIntValueColumn(table) {}
    ~TEnumColumn() override;

    const QStringList& Items() const { return items_; }
    // Replaces the items (re-synchronises the table's sub-table references).
    void SetItems(const QStringList& items);
    std::function<void()> ItemsChangedHook;  // set by the table

    void SetInteger(int row, int v) override;
    void SetText(int row, const QString& s) override;
    bool HasEditors() const override { return editors_.Count() > 0; }
    TCellControl* Editor(int i) const override { return editors_.Items(i); }
    int MeasureWidth(const TCanvasMetrics& canvas) const override;
    void WriteData(TComponentWriter& writer) const override;
    void ReadData(TComponentReader& reader) override;
    bool UsesControls() const override { return true; }
    TColumn* Clone(TGridTable* table) const override;
    void AllocateEditors(QObject* parent, int topRow, int count) override;
    void FreeEditors() override;

private:
    int NewRowValue() const override { return 1; }
    void StoreInteger(int row, int v);
    void ComboSelected(TCellControl* box, int itemIndex);
    QStringList items_;
    TObjectList<TCellControl> editors_;
    QObject* editorParent_ = nullptr;
};

class TIntColumn : public TIntValueColumn {
public:
    explicit TIntColumn(TGridTable* table) : TIntValueColumn(table) {}
    int Default = 0;
    int MinValue = -2147483647 - 1;
    int MaxValue = 2147483647;

    void SetInteger(int row, int v) override;
    void SetText(int row, const QString& s) override;
    int MeasureWidth(const TCanvasMetrics& canvas) const override;
    void WriteData(TComponentWriter& writer) const override;
    void ReadData(TComponentReader& reader) override;
    TColumn* Clone(TGridTable* table) const override;

private:
    int NewRowValue() const override { return Default; }
};

class TFloatColumn : public TColumn {
public:
    explicit TFloatColumn(TGridTable* table) : TColumn(table) {}
    long double Default = 0;
    bool TopDepth = false;
    QString UnitsString;

    void InsertRows(TGridTable* table, int index, int count) override;
    void DeleteRow(int index) override;
    void GetCaptionLine(int i, QString& s) const override;
    long double GetFloat(int row) const override;
    void SetFloat(int row, long double x) override;
    void GetText(int row, QString& s) const override;
    void SetText(int row, const QString& s) override;
    int MeasureWidth(const TCanvasMetrics& canvas) const override;
    void SetUnits(int n) override;
    void WriteData(TComponentWriter& writer) const override;
    void ReadData(TComponentReader& reader) override;
    TColumn* Clone(TGridTable* table) const override;

private:
    TFloatColumn* NextFloatColumn() const;  // bottom column of a top-depth pair
    TFloatColumn* TopDepthPartner() const;  // top-depth column when this is a bottom column
    void Store(int row, long double x);
    TObjectList<TFloatStorage> values_;
};

// Per-row sub-tables (or objects given by OnInitRow).
class TTableColumn : public TColumn {
public:
    explicit TTableColumn(TGridTable* table) : TColumn(table) {}
    ~TTableColumn() override;

    TGridTableList& References() { return references_; }
    const TGridTableList& References() const { return references_; }

    // Event hooks the table sets (each forwards to the table's event with
    // this column's index).
    std::function<void(int ARow, TObject* AData)> ButtonClickHook;
    std::function<void(int ARow, TObject* AData, QString& ACaption)> ButtonCaptionHook;
    std::function<void(int ARow, TObject* AData, bool& AChanged)> ChangedHook;
    std::function<void(int ARow, TObject* AData)> HideHook;
    // Returns false when the table's OnInitRow is not assigned.
    std::function<bool(int ARow, int AEnumType, TObject*& AData)> InitRowHook;
    std::function<void(int ARow, TObject* AData)> ResetChangedHook;
    std::function<void(TObject* AData, int ARow)> SetRowHook;
    std::function<void(int ARow, TObject* AData, int AValue)> SetUnitsHook;

    void InsertRows(TGridTable* table, int index, int count) override;
    void DeleteRow(int index) override;
    TGridTable* GetObject(int row) const override;
    TObject* GetItem(int row) const override;
    bool Modified() const override;
    bool HasEditors() const override { return editors_.Count() > 0; }
    TCellControl* Editor(int i) const override { return editors_.Items(i); }
    void CloseSubEditors() override;
    void ClearModified() override;
    int MeasureWidth(const TCanvasMetrics& canvas) const override;
    void SetUnits(int n) override;
    void WriteData(TComponentWriter& writer) const override;
    void ReadData(TComponentReader& reader) override;
    bool UsesControls() const override { return true; }
    TColumn* Clone(TGridTable* table) const override;
    void AllocateEditors(QObject* parent, int topRow, int count) override;
    void FreeEditors() override;

    // Rebuilds row r's object for column 0's current item.
    void BuildRow(int r);
    // Caption of the button of row r: "%d: %s".
    QString ButtonCaption(int r) const;
    // What a click on the button of row r does.
    void ClickRow(int r);

private:
    void Renumber(int fromRow);
    void RecaptionButton(int r);
    TGridTableList references_;
    TObjectList<TObject> rowObjects_;
    TObjectList<TCellControl> editors_;
    QObject* editorParent_ = nullptr;
};

// True when following the sub-table references of `table` (and of the
// tables they refer to) leads back to `table`: cloning it would never end.
bool SubTableReferencesLeadBack(const TGridTable& table);
// The tables the sub-table columns of `table` refer to, one list per
// sub-table column (empty references left out).
std::vector<std::vector<const TGridTable*>> SubTableTemplates(const TGridTable& table);

class TStringColumn : public TColumn {
public:
    explicit TStringColumn(TGridTable* table) : TColumn(table) {}
    QString Default;
    long double MinWidthInches = 1.0L;

    void InsertRows(TGridTable* table, int index, int count) override;
    void DeleteRow(int index) override;
    void GetText(int row, QString& s) const override;
    void SetText(int row, const QString& s) override;
    int MeasureWidth(const TCanvasMetrics& canvas) const override;
    void WriteData(TComponentWriter& writer) const override;
    void ReadData(TComponentReader& reader) override;
    TColumn* Clone(TGridTable* table) const override;

private:
    QStringList texts_;
};

// Registers the five kinds with their codes (done by ColumnTypes() on first use).
void RegisterStandardColumnTypes(TColumnTypeRegistry& registry);

}  // namespace vortn
