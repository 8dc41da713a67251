#include "columns.h"
#include "grid_table.h"
#include "grid_table_resource.h"
#include "qt_printers.h"
#include "units.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vortn;

namespace {

QString Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no exception";
}

TFloatColumn* AddFloat(TGridTable& t, const QString& caption, const QString& units = QString()) {
    auto* c = new TFloatColumn(&t);
    c->CaptionLines() << caption;
    c->UnitsString = units;
    t.AddColumn(c);
    return c;
}

// Editor window stand-in: records what the table asks of it.
struct FakeEditor : TTableEditor {
    explicit FakeEditor(TGridTable& t, bool modal) : table(&t), modal(modal) {}
    void ShowEditor(bool m) override { ++shows; modal = m; table->SetEditor(this); }
    bool IsShowingModal() const override { return modal; }
    void SetEditorCaption(const QString& c) override { caption = c; }
    void SelectCell(int c, int r) override { selCol = c; selRow = r; }
    int TopRow() const override { return 0; }
    int RowsShown() const override { return std::min(table->RowCount(), 10); }
    void FreeEditor() override { ++*freed; delete this; }
    TGridTable* table;
    bool modal;
    int shows = 0;
    QString caption;
    int selCol = -1, selRow = -1;
    int* freed = nullptr;
};

class EditorFactoryScope {
public:
    EditorFactoryScope() {
        SetTableEditorFactory([this](TGridTable& t, QObject*, bool modal) {
            ++made;
            auto* e = new FakeEditor(t, modal);
            e->freed = &freed;
            last = e;
            return e;
        });
    }
    ~EditorFactoryScope() { SetTableEditorFactory(nullptr); }
    int made = 0;
    int freed = 0;
    FakeEditor* last = nullptr;
};

}  // namespace

TEST(GridTable, IdentifiersCountAndSwap) {
    auto a = std::make_unique<TGridTable>();
    auto b = std::make_unique<TGridTable>();
    EXPECT_EQ(b->Identifier(), a->Identifier() + 1);
    const int ida = a->Identifier(), idb = b->Identifier();
    a->SetIdentifier(idb);
    EXPECT_EQ(a->Identifier(), idb);
    EXPECT_EQ(b->Identifier(), ida);
    a->SetIdentifier(-5);
    EXPECT_EQ(a->Identifier(), idb);
    EXPECT_EQ(GridTableIndexByIdentifier(ida), GridTableIndexOf(b.get()));
    EXPECT_EQ(GridTableIndexByIdentifier(-1), -1);
    EXPECT_EQ(GridTableByIndex(GridTableIndexOf(a.get())), a.get());
    EXPECT_EQ(GridTableByIndex(-1), nullptr);
    const int before = GridTableCount();
    b.reset();
    EXPECT_EQ(GridTableCount(), before - 1);
    EXPECT_EQ(GridTableIndexByIdentifier(ida), -1);
}

TEST(GridTable, MinRowsAndRowGroupLimits) {
    TGridTable t;
    t.SetLoading(true);
    t.SetMinRows(0);
    EXPECT_EQ(t.MinRows(), 1);
    t.SetLoading(false);
    EXPECT_EQ(Message([&] { t.SetMinRows(0); }), "Value must be greater than 0");
    EXPECT_EQ(t.MinRows(), 1);
    t.SetRowGroup(-2);
    EXPECT_EQ(t.RowGroup(), 1);
}

TEST(GridTable, RowCountAndCells) {
    TGridTable t;
    AddFloat(t, "a");
    AddFloat(t, "b");
    t.SetRowCount(4);
    EXPECT_EQ(t.RowCount(), 4);
    EXPECT_EQ(t.Columns(1)->RowCountOfColumn(), 4);
    t.Cells(1, 3).SetAsFloat(2.5L);
    EXPECT_EQ(t.Cells(1, 3).AsFloat(), 2.5L);
    EXPECT_EQ(t.Cells(1, 3).AsString(), "2.5");
    EXPECT_EQ(Message([&] { t.Cells(2, 0); }), "List index out of bounds (2)");
    EXPECT_EQ(Message([&] { t.Cells(0, 4); }), "List index out of bounds (4)");
    EXPECT_EQ(Message([&] { t.Cells(0, 0).AsInteger(); }), "Data of wrong type");
    EXPECT_EQ(Message([&] { t.Cells(0, 0).AsObject(); }), "Data of wrong type");
    EXPECT_THROW(t.Cells(0, 0).SetAsInteger(1), EInvalidCast);
    t.SetRowCount(-3);
    EXPECT_EQ(t.RowCount(), 0);
    EXPECT_EQ(t.Columns(0)->RowCountOfColumn(), 0);
}

TEST(GridTable, RowGroupsInsertAndDeleteWholeGroups) {
    TGridTable t;
    TFloatColumn* c = AddFloat(t, "v");
    t.SetRowGroup(2);
    t.SetRowCount(8);
    for (int r = 0; r < 8; ++r) c->SetFloat(r, r);
    int changes = 0;
    t.ChangeHook = [&] { ++changes; };
    t.InsertRowGroup(5);  // group of row 5 starts at row 4
    ASSERT_EQ(t.RowCount(), 10);
    const long double afterInsert[] = {0, 1, 2, 3, 0, 0, 4, 5, 6, 7};
    for (int r = 0; r < 10; ++r) EXPECT_EQ(c->GetFloat(r), afterInsert[r]) << r;
    t.DeleteRowGroup(5);  // removes rows 4 and 5
    ASSERT_EQ(t.RowCount(), 8);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(c->GetFloat(r), r) << r;
    t.AppendRowGroup();
    EXPECT_EQ(t.RowCount(), 10);
    EXPECT_EQ(changes, 3);
}

// A cell handle follows its row when rows are inserted or deleted before it.
TEST(GridTable, CellHandlesFollowTheirRows) {
    TGridTable t;
    AddFloat(t, "v");
    t.SetRowCount(6);
    for (int r = 0; r < 6; ++r) t.Cells(0, r).SetAsFloat(r);
    const TData& fourth = t.Cells(0, 3);
    EXPECT_EQ(fourth.Row(), 3);
    t.InsertRowGroup(1);
    EXPECT_EQ(fourth.Row(), 4);
    EXPECT_EQ(fourth.AsFloat(), 3);
    fourth.SetAsFloat(30);
    EXPECT_EQ(t.Cells(0, 4).AsFloat(), 30);
    t.DeleteRowGroup(0);
    t.DeleteRowGroup(0);
    EXPECT_EQ(fourth.Row(), 2);
    EXPECT_EQ(t.Cells(0, 2).AsFloat(), 30);
    EXPECT_EQ(t.Cells(0, 1).AsFloat(), 2);
}

TEST(GridTable, GroupFlagWritesTheWholeGroup) {
    TGridTable t;
    TFloatColumn* c = AddFloat(t, "v");
    c->SetGroup(true);
    t.SetRowGroup(3);
    t.SetRowCount(6);
    c->SetFloat(4, 9);
    const long double expect[] = {0, 0, 0, 9, 9, 9};
    for (int r = 0; r < 6; ++r) EXPECT_EQ(c->GetFloat(r), expect[r]);
}

TEST(GridTable, VisibleColumnsAndHeader) {
    TGridTable t;
    auto* a = AddFloat(t, "a");
    auto* b = AddFloat(t, "b");
    b->CaptionLines() << "second" << "third";
    auto* c = AddFloat(t, "c");
    b->SetVisible(false);
    EXPECT_EQ(t.VisibleColumnCount(), 2);
    EXPECT_EQ(t.VisibleColumns(1), c);
    EXPECT_EQ(t.VisibleIndexOf(a), 0);
    EXPECT_EQ(t.VisibleIndexOf(b), -1);
    EXPECT_EQ(t.HeaderRowCount(), 1);
    b->SetVisible(true);
    EXPECT_EQ(t.HeaderRowCount(), 3);
    EXPECT_EQ(Message([&] { t.VisibleColumns(3); }), "Index out of bounds");
}

TEST(GridTable, NoVisibleColumnOpensNoEditor) {
    EditorFactoryScope editors;
    TGridTable t;
    AddFloat(t, "a")->SetVisible(false);
    t.ShowTable();
    EXPECT_EQ(editors.made, 0);
    EXPECT_EQ(t.Editor(), nullptr);
    t.Columns(0)->SetVisible(true);
    t.ShowTable();
    t.ShowTable();
    EXPECT_EQ(editors.made, 1);
    EXPECT_EQ(editors.last->shows, 2);
    t.RefreshEditor();
    EXPECT_EQ(editors.freed, 1);
    EXPECT_EQ(editors.made, 2);
    t.CloseEditor();
    EXPECT_EQ(editors.freed, 2);
    EXPECT_EQ(t.Editor(), nullptr);
}

TEST(GridTable, EditorHooksAndFocus) {
    EditorFactoryScope editors;
    TGridTable t;
    t.SetCaption("Loads");
    auto* e = new TEnumColumn(&t);
    e->CaptionLines() << "Kind";
    e->SetItems({"A", "B", "C"});
    t.AddColumn(e);
    AddFloat(t, "v");
    t.SetRowCount(3);
    t.ShowTable();
    ASSERT_NE(t.Editor(), nullptr);
    QObject parent;
    t.EditorParent = &parent;
    std::vector<std::pair<int, int>> cells;
    t.CellChangeHook = [&](int c, int r) { cells.push_back({c, r}); };
    t.Cells(1, 2).SetAsFloat(1);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0], std::make_pair(1, 2));

    e->AllocateEditors(&parent, 0, 3);
    ASSERT_TRUE(e->HasEditors());
    TCellControl* box = e->Editor(1);
    EXPECT_EQ(box->Tag, 1);
    EXPECT_EQ(box->ItemIndex, 0);
    EXPECT_EQ(box->DropDownCount, 11);
    EXPECT_EQ(box->Items, QStringList({"A", "B", "C"}));
    box->OnSelect(1);  // the user picks "B"
    EXPECT_EQ(t.Cells(0, 1).AsInteger(), 2);
    EXPECT_EQ(t.Cells(0, 1).AsString(), "2");
    e->SetInteger(1, 3);
    EXPECT_EQ(box->ItemIndex, 2);
    box->OnEnter();
    EXPECT_EQ(editors.last->selCol, 1);
    EXPECT_EQ(editors.last->selRow, 2);  // row 1 + one header row
    QObject other;
    EXPECT_EQ(Message([&] { e->AllocateEditors(&other, 0, 3); }),
              "Error attempt to change parent with controls already allocated");
    t.CloseEditor();
    EXPECT_FALSE(e->HasEditors());
    EXPECT_EQ(Message([&] { e->AllocateEditors(nullptr, 0, 3); }), "null parent");
}

TEST(ColumnKinds, EnumEntry) {
    TGridTable t;
    auto* e = new TEnumColumn(&t);
    e->SetItems({"x", "y"});
    t.AddColumn(e);
    t.SetRowCount(2);
    EXPECT_EQ(t.Cells(0, 0).AsInteger(), 1);
    e->SetText(0, "1+1");
    EXPECT_EQ(t.Cells(0, 0).AsInteger(), 2);
    EXPECT_EQ(Message([&] { e->SetText(0, "1.5"); }), "Value must be an integer.");
    e->SetText(1, "7");  // no sub-table column: not range-checked
    EXPECT_EQ(t.Cells(0, 1).AsInteger(), 7);
}

TEST(ColumnKinds, IntegerEntryDependsOnTheOpenEditor) {
    EditorFactoryScope editors;
    TGridTable t;
    auto* c = new TIntColumn(&t);
    c->MinValue = -10;
    c->MaxValue = 10;
    t.AddColumn(c);
    t.SetRowCount(1);
    c->SetText(0, "2.5");  // editor closed: halves go to the even neighbour
    EXPECT_EQ(c->GetInteger(0), 2);
    c->SetText(0, "20");
    EXPECT_EQ(c->GetInteger(0), 20);
    t.ShowTable();
    ASSERT_NE(t.Editor(), nullptr);
    EXPECT_EQ(Message([&] { c->SetText(0, "2.5"); }), "Entry must be an integer.");
    EXPECT_EQ(Message([&] { c->SetText(0, "-2.5"); }), "Entry must be an integer.");
    EXPECT_EQ(Message([&] { c->SetText(0, "11"); }), "Entry must be between -10 and 10.");
    EXPECT_EQ(c->GetInteger(0), 20);
    c->SetText(0, "3.00000000001");
    EXPECT_EQ(c->GetInteger(0), 3);
    EXPECT_EQ(c->Text(0), "3");
}

// Both whole-number kinds keep one value per row that moves with its row;
// a new row starts at the kind's value (item 1, or the column's default).
TEST(ColumnKinds, WholeNumberKindsKeepOneValuePerRow) {
    const struct {
        const char* kind;
        std::function<TColumn*(TGridTable&)> make;
        int newRow;
    } cases[] = {{"pick list",
                  [](TGridTable& t) {
                      auto* e = new TEnumColumn(&t);
                      e->SetItems({"a", "b", "c"});
                      return e;
                  },
                  1},
                 {"whole number",
                  [](TGridTable& t) {
                      auto* c = new TIntColumn(&t);
                      c->Default = -4;
                      return c;
                  },
                  -4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        TGridTable t;
        TColumn* column = c.make(t);
        t.AddColumn(column);
        t.SetRowCount(3);
        for (int r = 0; r < 3; ++r) EXPECT_EQ(column->GetInteger(r), c.newRow);
        for (int r = 0; r < 3; ++r) column->SetInteger(r, 10 + r);
        t.InsertRowGroup(1);
        ASSERT_EQ(t.RowCount(), 4);
        const int inserted[] = {10, c.newRow, 11, 12};
        for (int r = 0; r < 4; ++r) EXPECT_EQ(t.Cells(0, r).AsInteger(), inserted[r]) << r;
        t.DeleteRowGroup(0);
        ASSERT_EQ(t.RowCount(), 3);
        EXPECT_EQ(column->Text(0), QString::number(c.newRow));
        EXPECT_EQ(column->Text(2), "12");
        EXPECT_EQ(Message([&] { column->GetInteger(3); }), "List index out of bounds (3)");
    }
}

TEST(ColumnKinds, FloatEntryAndCaption) {
    TGridTable t;
    TFloatColumn* c = AddFloat(t, "Shear wave", "L2/SEC");
    c->CaptionLines().prepend("top");
    t.SetRowCount(1);
    c->SetText(0, "2*3");
    EXPECT_EQ(c->GetFloat(0), 6);
    EXPECT_EQ(Message([&] { c->SetText(0, ""); }), "Entry could not be evaluated:\rentry cannot be blank");
    EXPECT_EQ(c->GetFloat(0), 6);
    c->SetFloat(0, 1.0L / 3);
    EXPECT_EQ(c->Text(0), "0.33333333");
    EXPECT_EQ(c->CaptionLine(0), "top");
    EXPECT_EQ(c->CaptionLine(1), "Shear wave (ft/SEC)  ");
    t.SetUnits(2);
    EXPECT_EQ(c->CaptionLine(1), "Shear wave (m/SEC)  ");
}

TEST(ColumnKinds, FloatUnitConversion) {
    TGridTable t;
    t.SetUnits(2);
    TFloatColumn* len = AddFloat(t, "L", "L2");
    TFloatColumn* plain = AddFloat(t, "ratio", "");
    TFloatColumn* dens = AddFloat(t, "w", "F/L2^3");
    t.SetRowCount(2);
    len->SetFloat(0, 1);
    len->SetFloat(1, 2);
    plain->SetFloat(0, 0.3L);
    dens->SetFloat(0, 18);
    int changes = 0;
    t.ChangeHook = [&] { ++changes; };
    t.SetUnits(1);
    EXPECT_EQ(len->GetFloat(0), 3.280839895L);
    EXPECT_EQ(len->GetFloat(1), 2 * 3.280839895L);
    EXPECT_EQ(plain->GetFloat(0), 0.3L);
    EXPECT_EQ(dens->GetFloat(0), 18 * ConversionFactor(2, 1, "F/L2^3"));
    t.SetUnits(1);  // same system: nothing
    EXPECT_EQ(changes, 1);
    t.SetUnits(2);
    EXPECT_NEAR(double(len->GetFloat(0)), 1.0, 1e-17);
    EXPECT_NEAR(double(len->GetFloat(1)), 2.0, 1e-17);
}

TEST(ColumnKinds, TopDepthPairs) {
    TGridTable t;
    TFloatColumn* top = AddFloat(t, "top");
    top->TopDepth = true;
    TFloatColumn* bottom = AddFloat(t, "bottom");
    t.SetRowCount(4);
    std::vector<std::pair<int, int>> order;
    t.CellChangeHook = [&](int c, int r) { order.push_back({c, r}); };
    top->SetFloat(3, 10);  // top of row 3 is the bottom of row 2
    EXPECT_EQ(bottom->GetFloat(2), 10);
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], std::make_pair(1, 2));  // the linked cell first
    EXPECT_EQ(order[1], std::make_pair(0, 3));
    bottom->SetFloat(0, 4);  // bottom of row 0 is the top of row 1
    EXPECT_EQ(top->GetFloat(1), 4);
    top->SetFloat(0, 1);  // no row above
    EXPECT_EQ(bottom->GetFloat(0), 4);

    // Rows: 0:[1,4] 1:[4,0] 2:[0,10] 3:[10,0]. An inserted row continues the layers.
    t.InsertRowGroup(2);
    EXPECT_EQ(top->GetFloat(2), 0);     // bottom of row 1
    EXPECT_EQ(bottom->GetFloat(2), 0);  // top of the row below (old row 2)
    bottom->SetFloat(1, 5);
    EXPECT_EQ(top->GetFloat(2), 5);
    // Deleting a middle row keeps the layers continuous.
    t.DeleteRowGroup(2);
    EXPECT_EQ(top->GetFloat(2), 5);  // bottom of row 1

    TGridTable bad;
    AddFloat(bad, "top")->TopDepth = true;
    auto* s = new TStringColumn(&bad);
    bad.AddColumn(s);
    EXPECT_EQ(Message([&] { bad.SetRowCount(1); }), "If column if a topdepth then the next column must be a float column");
}

TEST(ColumnKinds, StringColumn) {
    TGridTable t;
    auto* s = new TStringColumn(&t);
    s->Default = "none";
    t.AddColumn(s);
    t.SetRowCount(2);
    EXPECT_EQ(s->Text(1), "none");
    s->SetText(1, "pile 2");
    EXPECT_EQ(t.Cells(0, 1).AsString(), "pile 2");
    TCanvasMetrics m{[](const QString& x) { return int(x.size()) * 5; }, 96};
    EXPECT_EQ(s->MeasureWidth(m), 96);
    s->CaptionLines() << QString(30, 'x');
    EXPECT_EQ(s->MeasureWidth(m), 32 * 5);
    auto* e = new TEnumColumn(&t);
    EXPECT_EQ(e->MeasureWidth(m), 144);
    delete e;
}

namespace {
// A template table and a parent table whose column 1 holds its sub-tables.
struct SubTableFixture : ::testing::Test {
    void SetUp() override {
        templ = std::make_unique<TGridTable>();
        templ->SetCaption("Load Amplitude");
        templ->SetMinRows(2);
        AddFloat(*templ, "Load Amplitude", "F");
        templ->SetIdentifier(1008);
        parent = std::make_unique<TGridTable>();
        parent->SetCaption("Transient Loading Data");
        kind = new TEnumColumn(parent.get());
        kind->SetItems({"Fx", "Fy", "Fz", "Mx", "My", "Mz"});
        parent->AddColumn(kind);
        sub = new TTableColumn(parent.get());
        sub->CaptionLines() << "Load amplitude";
        for (int i = 0; i < 6; ++i) sub->References().AddIdentifier(1008);
        parent->AddColumn(sub);
        ASSERT_EQ(parent->ColumnCount(), 2);
        ASSERT_EQ(templ->ColumnCount(), 1);
    }
    std::unique_ptr<TGridTable> templ, parent;
    TEnumColumn* kind = nullptr;
    TTableColumn* sub = nullptr;
};
}  // namespace

// Both kinds with cell controls keep exactly as many as asked, the first
// ones kept as they are; control i shows row topRow + i, hidden until the
// editor places it, brought to the front, and showing its row's state.
TEST_F(SubTableFixture, CellControlsFollowTheRowsShown) {
    struct Control : TCellControl {
        using TCellControl::TCellControl;
        void BringToFront() override { ++raised; }
        int raised = 0;
    };
    struct Factory : TCellControlFactory {
        TCellControl* CreateComboBox(QObject* p) override { return new Control(TCellControl::Kind::ComboBox, p); }
        TCellControl* CreateButton(QObject* p) override { return new Control(TCellControl::Kind::Button, p); }
    } factory;
    SetCellControlFactory(&factory);
    parent->SetRowCount(5);
    kind->SetInteger(2, 4);
    QObject owner;
    const std::pair<TColumn*, std::function<void(const TCellControl&, int row)>> columns[] = {
            {kind, [](const TCellControl& c, int row) { EXPECT_EQ(c.ItemIndex, row == 2 ? 3 : 0); }},
            {sub, [this](const TCellControl& c, int row) { EXPECT_EQ(c.Caption, sub->ButtonCaption(row)); }}};
    for (const auto& [column, shows] : columns) {
        SCOPED_TRACE(column == kind ? "pick list" : "sub-tables");
        const struct { int top, count; } steps[] = {{1, 3}, {2, 2}, {0, 4}};
        TCellControl* first = nullptr;
        for (const auto& step : steps) {
            column->AllocateEditors(&owner, step.top, step.count);
            ASSERT_TRUE(column->HasEditors());
            if (!first) first = column->Editor(0);
            EXPECT_EQ(column->Editor(0), first);
            EXPECT_THROW(column->Editor(step.count), Exception);
            for (int i = 0; i < step.count; ++i) {
                const auto* c = static_cast<Control*>(column->Editor(i));
                EXPECT_EQ(c->Tag, step.top + i);
                EXPECT_FALSE(c->Visible);
                EXPECT_GT(c->raised, 0);
                EXPECT_EQ(c->Parent(), &owner);
                shows(*c, c->Tag);
            }
        }
        column->FreeEditors();
        EXPECT_FALSE(column->HasEditors());
    }
    SetCellControlFactory(nullptr);
}

TEST_F(SubTableFixture, EveryRowGetsAClonedSubTable) {
    parent->SetRowCount(3);
    kind->SetInteger(1, 4);
    for (int r = 0; r < 3; ++r) {
        TGridTable* s = parent->Cells(1, r).AsObject();
        ASSERT_NE(s, nullptr) << r;
        EXPECT_NE(s, templ.get());
        EXPECT_EQ(s->Caption(), "Load Amplitude");
        EXPECT_EQ(s->RowCount(), 2);  // MinRows of the template
        EXPECT_EQ(s->ColumnCount(), 1);
        EXPECT_EQ(s->RowNumber(), r + 1);
        EXPECT_EQ(s->Path(), " " + QString::number(r + 1));
        EXPECT_EQ(static_cast<TFloatColumn*>(s->Columns(0))->UnitsString, "F");
    }
    EXPECT_EQ(sub->ButtonCaption(1), "2: Load Amplitude");
    // Deleting a row renumbers the sub-tables after it.
    TGridTable* third = parent->Cells(1, 2).AsObject();
    parent->DeleteRowGroup(0);
    EXPECT_EQ(parent->Cells(1, 1).AsObject(), third);
    EXPECT_EQ(third->RowNumber(), 2);
}

TEST_F(SubTableFixture, SubTableCaptionShowsItsPath) {
    EditorFactoryScope editors;
    parent->SetRowCount(2);
    TGridTable* s = parent->Cells(1, 1).AsObject();
    s->ShowTable();
    ASSERT_NE(s->Editor(), nullptr);
    s->SetRowNumber(2);
    EXPECT_EQ(editors.last->caption, "Load Amplitude  2");
    // A click on the row's button opens the sub-table's editor.
    sub->ClickRow(0);
    EXPECT_EQ(editors.made, 2);
    EXPECT_FALSE(editors.last->modal);
    parent->CloseEditor();  // closes the sub-tables' editors too
    EXPECT_EQ(editors.freed, 2);
    EXPECT_EQ(s->Editor(), nullptr);
}

TEST_F(SubTableFixture, EmptyReferenceGivesNoSubTable) {
    sub->References().Delete(2);
    sub->References().InsertIndex(2, -1);
    parent->SetRowCount(2);
    kind->SetInteger(1, 3);
    EXPECT_EQ(parent->Cells(1, 1).AsObject(), nullptr);
    EXPECT_NE(parent->Cells(1, 0).AsObject(), nullptr);
    kind->SetInteger(1, 2);  // rebuilt for the new item
    EXPECT_NE(parent->Cells(1, 1).AsObject(), nullptr);
}

TEST_F(SubTableFixture, OutOfRangeItemIsRefusedBeforeAnythingIsStored) {
    parent->SetRowCount(1);
    TGridTable* before = parent->Cells(1, 0).AsObject();
    EXPECT_EQ(Message([&] { kind->SetInteger(0, 7); }), "Entry must be between 1 and 6.");
    EXPECT_EQ(Message([&] { kind->SetText(0, "0"); }), "Entry must be between 1 and 6.");
    EXPECT_EQ(kind->GetInteger(0), 1);
    EXPECT_EQ(parent->Cells(1, 0).AsObject(), before);
}

TEST_F(SubTableFixture, ModifiedAndUnitsReachSubTables) {
    parent->SetRowCount(2);
    TGridTable* s = parent->Cells(1, 1).AsObject();
    EXPECT_FALSE(parent->Modified());
    s->SetModified(true);
    EXPECT_TRUE(parent->Modified());
    parent->SetModified(false);
    EXPECT_FALSE(s->Modified());
    s->Cells(0, 0).SetAsFloat(2);
    parent->SetUnits(2);
    EXPECT_EQ(s->Units(), 2);
    EXPECT_EQ(s->Cells(0, 0).AsFloat(), 2 / 224.8089237L);
    // The references follow the item list of column 0.
    kind->SetItems({"a", "b"});
    EXPECT_EQ(sub->References().Count(), 2);
    kind->SetItems({"a", "b", "c"});
    EXPECT_EQ(sub->References().Count(), 3);
    EXPECT_EQ(sub->References().Table(2), nullptr);
}

TEST(SubTables, InitRowEventsServeOtherObjects) {
    struct Obj : TObject { int row = -1; };
    TGridTable t;
    auto* c = new TTableColumn(&t);
    t.OnInitRow = [](TObject*, int col, int, int e, TObject*& d) {
        EXPECT_EQ(col, 0);
        EXPECT_EQ(e, 1);
        d = new Obj;
    };
    t.OnSetRow = [](TObject*, int, TObject* d, int r) { static_cast<Obj*>(d)->row = r; };
    t.OnGetButtonCaption = [](TObject*, int, int r, TObject*, QString& s) { s = "row" + QString::number(r); };
    t.AddColumn(c);
    c->References().Delete(0);
    c->References().AddIndex(-1);
    t.SetRowCount(2);
    ASSERT_NE(c->GetItem(1), nullptr);
    EXPECT_EQ(static_cast<Obj*>(c->GetItem(1))->row, 1);
    EXPECT_EQ(Message([&] { c->GetObject(1); }), "Data of wrong type");
    EXPECT_EQ(c->ButtonCaption(1), "2: row1");
    t.DeleteRowGroup(0);
    EXPECT_EQ(static_cast<Obj*>(c->GetItem(0))->row, 0);
}

TEST(GridTableStream, UnknownClassCode) {
    TGridTable t;
    TComponentReader r("1\n7\n");
    EXPECT_EQ(Message([&] { t.ReadCol(r); }), "Error occured when creating column 0: Error Column Class not defined");
    TComponentReader bad("'x'");
    EXPECT_EQ(Message([&] { t.ReadCol(bad); }), "Error reading column count");
    // A failed read keeps the columns read so far.
    TComponentReader partial("2\n4\n('a')\nTrue\nFalse\n'd'\n1.0\n4\n('b')\nTrue\n");
    EXPECT_THROW(t.ReadCol(partial), Exception);
    EXPECT_EQ(t.ColumnCount(), 1);
}

TEST(GridTableStream, WrittenAndReadBackGivesTheSameTable) {
    auto target = std::make_unique<TGridTable>();
    target->SetIdentifier(2001);
    TGridTable t;
    t.Name = "Sample";
    t.SetCaption("It's a table");
    t.SetTopLeft("Row");
    t.SetMaxRows(30);
    t.SetMinRows(2);
    t.SetComments("line 1\rline 2");
    auto* e = new TEnumColumn(&t);
    e->CaptionLines() << "Kind" << "";
    e->SetItems({"one", "two"});
    e->SetGroup(true);
    t.AddColumn(e);
    auto* i = new TIntColumn(&t);
    i->CaptionLines() << "Count";
    i->Default = 3;
    i->MinValue = -4;
    i->MaxValue = 99;
    t.AddColumn(i);
    auto* f = new TFloatColumn(&t);
    f->CaptionLines() << "Depth";
    f->TopDepth = true;
    f->UnitsString = "F/L2^3";
    f->Default = 0.1L;
    t.AddColumn(f);
    auto* f2 = new TFloatColumn(&t);
    f2->CaptionLines() << "Bottom";
    f2->SetVisible(false);
    f2->Default = -1.5e-300L;
    t.AddColumn(f2);
    auto* tc = new TTableColumn(&t);
    tc->CaptionLines() << "Sub";
    tc->References().Clear();
    tc->References().AddTable(target.get());
    tc->References().AddIndex(-1);
    t.AddColumn(tc);
    auto* s = new TStringColumn(&t);
    s->Default = "n/a";
    s->MinWidthInches = 1.25L;
    t.AddColumn(s);

    const QString text = WriteGridTable(t);
    auto tables = ReadGridTableResource(text);
    ASSERT_EQ(tables.size(), 1u);
    TGridTable& r = *tables[0];
    EXPECT_EQ(WriteGridTable(r), text);  // same Identifier too (the two tables swapped theirs)
    EXPECT_EQ(r.Name, "Sample");
    EXPECT_EQ(r.Caption(), "It's a table");
    EXPECT_EQ(r.Comments(), "line 1\rline 2");
    EXPECT_EQ(r.MinRows(), 2);
    EXPECT_EQ(r.MaxRows(), 30);
    ASSERT_EQ(r.ColumnCount(), 6);
    auto* re = dynamic_cast<TEnumColumn*>(r.Columns(0));
    ASSERT_NE(re, nullptr);
    EXPECT_EQ(re->Items(), QStringList({"one", "two"}));
    EXPECT_EQ(re->CaptionLines(), QStringList({"Kind", ""}));
    EXPECT_TRUE(re->Group());
    auto* ri = dynamic_cast<TIntColumn*>(r.Columns(1));
    ASSERT_NE(ri, nullptr);
    EXPECT_EQ(ri->Default, 3);
    EXPECT_EQ(ri->MinValue, -4);
    EXPECT_EQ(ri->MaxValue, 99);
    auto* rf = dynamic_cast<TFloatColumn*>(r.Columns(2));
    ASSERT_NE(rf, nullptr);
    EXPECT_TRUE(rf->TopDepth);
    EXPECT_EQ(rf->UnitsString, "F/L2^3");
    EXPECT_EQ(rf->Default, 0.1L);
    auto* rf2 = dynamic_cast<TFloatColumn*>(r.Columns(3));
    EXPECT_FALSE(rf2->Visible());
    EXPECT_EQ(rf2->Default, -1.5e-300L);
    auto* rt = dynamic_cast<TTableColumn*>(r.Columns(4));
    ASSERT_NE(rt, nullptr);
    ASSERT_EQ(rt->References().Count(), 2);
    EXPECT_EQ(rt->References().Table(0), target.get());
    EXPECT_EQ(rt->References().Table(1), nullptr);
    auto* rs = dynamic_cast<TStringColumn*>(r.Columns(5));
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(rs->Default, "n/a");
    EXPECT_EQ(rs->MinWidthInches, 1.25L);
}

TEST(GridTableStream, OlderColumnForms) {
    auto templ = std::make_unique<TGridTable>();
    const int index = GridTableIndexOf(templ.get());
    // Float column with the units string only; table column by registry index.
    const QString text = QStringLiteral(
        "3\n"
        "0 ('k') True False ('a' 'b' 'c')\n"
        "2 ('v') True False False 'L2'\n"
        "3 ('s') True False 'FLEXCOLUMN' %1\n").arg(index);
    for (bool hardwired : {true, false}) {
        TGridTable t;
        t.SetHardwiredButton(hardwired);
        TComponentReader r(text);
        t.ReadCol(r);
        auto* f = dynamic_cast<TFloatColumn*>(t.Columns(1));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->UnitsString, "L2");
        EXPECT_EQ(f->Default, 0);
        auto* s = dynamic_cast<TTableColumn*>(t.Columns(2));
        ASSERT_NE(s, nullptr);
        ASSERT_EQ(s->References().Count(), 3);
        for (int i = 0; i < 3; ++i) {
            const TIntWrapper& w = s->References().Item(i);
            EXPECT_EQ(w.ByIdentifier, !hardwired);
            EXPECT_EQ(w.Value, hardwired ? index : i + 1);
        }
    }
    TGridTable single;
    TComponentReader r(QStringLiteral("1 3 ('s') True False 'OLD' %1").arg(index));
    single.ReadCol(r);
    auto* s = dynamic_cast<TTableColumn*>(single.Columns(0));
    ASSERT_EQ(s->References().Count(), 1);
    EXPECT_EQ(s->References().Table(0), templ.get());
}

TEST(ColumnTypeRegistry, CodesAndFinalize) {
    EXPECT_EQ(ColumnTypes().Count(), 5);
    TGridTable t;
    TEnumColumn e(&t);
    TStringColumn s(&t);
    EXPECT_EQ(ColumnTypes().CodeOf(e), 0);
    EXPECT_EQ(ColumnTypes().CodeOf(s), 4);
    TColumnTypeRegistry local;
    RegisterStandardColumnTypes(local);
    EXPECT_NO_THROW(local.Finalize());
    RegisterStandardColumnTypes(local);
    struct Extra : TStringColumn { using TStringColumn::TStringColumn; };
    local.Register(typeid(Extra), [](TGridTable* tb) -> TColumn* { return new Extra(tb); }, 9);
    EXPECT_EQ(Message([&] { local.Finalize(); }), "Column Type list not empty");
}

TEST(SubTables, TemplateFollowsThePickListItem) {
    auto forces = std::make_unique<TGridTable>();
    forces->SetCaption("Forces");
    AddFloat(*forces, "F", "F");
    auto moments = std::make_unique<TGridTable>();
    moments->SetCaption("Moments");
    AddFloat(*moments, "M", "F-L2");
    AddFloat(*moments, "arm", "L2");
    TGridTable t;
    auto* kind = new TEnumColumn(&t);
    kind->SetItems({"force", "moment", "none"});
    t.AddColumn(kind);
    auto* sub = new TTableColumn(&t);
    sub->References().AddTable(forces.get());
    sub->References().AddTable(moments.get());
    sub->References().AddIndex(-1);
    t.AddColumn(sub);
    t.SetRowCount(2);
    EXPECT_EQ(t.Cells(1, 1).AsObject()->Caption(), "Forces");
    t.Cells(0, 1).SetAsInteger(2);
    TGridTable* m = t.Cells(1, 1).AsObject();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Caption(), "Moments");
    EXPECT_EQ(m->ColumnCount(), 2);
    EXPECT_EQ(m->RowNumber(), 2);
    kind->SetText(1, "3");
    EXPECT_EQ(t.Cells(1, 1).AsObject(), nullptr);
    EXPECT_EQ(t.Cells(1, 0).AsObject()->Caption(), "Forces");
    // Cloning a table clones its sub-table column with the same templates.
    TGridTable copy(nullptr, 0, t);
    copy.SetRowCount(1);
    copy.Cells(0, 0).SetAsInteger(2);
    EXPECT_EQ(copy.Cells(1, 0).AsObject()->Caption(), "Moments");
}

TEST(GridTableResource, ReadIntoExistingTablesByName) {
    TGridTable a;
    a.Name = "A";
    AddFloat(a, "old");
    const QString text =
        "// comment\nobject A: TGridTable\n  Caption = 'New'#13'line'\n  MinRows = 0\n  Col =\n    1\n    4 ('s') True False 'x' 1\nend\n";
    ReadGridTableResourceInto(text, {&a});
    EXPECT_EQ(a.Caption(), "New\rline");
    EXPECT_EQ(a.MinRows(), 1);  // a form's 0 loads as 1
    ASSERT_EQ(a.ColumnCount(), 1);
    EXPECT_NE(dynamic_cast<TStringColumn*>(a.Columns(0)), nullptr);
    EXPECT_THROW(ReadGridTableResourceInto("object B: TGridTable\nend\n", {&a}), EReadError);
    EXPECT_THROW(ReadGridTableResource("object A: TGridTable\n  Colour = 1\nend\n"), EReadError);
    EXPECT_THROW(ReadGridTableResource("object A: TGridTable\n  Caption = 'open\nend\n"), EReadError);
}

// Resources the reader refuses with its message, before any table makes a row.
namespace {
struct BadResource {
    const char* name;
    const char* text;
    const char* message;
};
class GridTableResourceRefuses : public ::testing::TestWithParam<BadResource> {};

TEST_P(GridTableResourceRefuses, WithItsMessage) {
    const BadResource& c = GetParam();
    const int before = GridTableCount();
    try {
        ReadGridTableResource(QString::fromUtf8(c.text));
        ADD_FAILURE() << c.name;
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message().toStdString(), c.message) << c.name;
    }
    EXPECT_EQ(GridTableCount(), before);  // the tables read so far are gone again
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridTableResourceRefuses,
    ::testing::Values(
        BadResource{"sub_table_of_itself",
                    "object A: TGridTable\n  Identifier = 900001\n  Col =\n    2\n    0 ('kind') True False ('one' 'two')\n"
                    "    3 ('sub') True False 'FLEXCOLUMN2' (-1 900001)\nend\n",
                    "Table A: a sub-table reference leads back to its own table"},
        BadResource{"sub_tables_of_each_other",
                    "object A: TGridTable\n  Identifier = 900002\n  Col =\n    1\n    3 ('sub') True False 'FLEXCOLUMN2' (900003)\nend\n"
                    "object B: TGridTable\n  Identifier = 900003\n  Col =\n    1\n    3 ('sub') True False 'FLEXCOLUMN2' (900002)\nend\n",
                    "Table A: a sub-table reference leads back to its own table"},
        BadResource{"character_code_above_65535", "object A: TGridTable\n  Caption = 'x'#70000\nend\n",
                    "Invalid property value on line 2: character code #70000 is not between 0 and 65535"},
        BadResource{"character_code_too_long", "object A: TGridTable\n  Caption = #0000000000000000065\nend\n",
                    "Invalid property value on line 2: character code #0000000000000000065 is not between 0 and 65535"},
        BadResource{"min_rows_above_max_rows", "object A: TGridTable\n  MinRows = 21\n  MaxRows = 20\nend\n",
                    "Table A: MinRows = 21 is beyond the table's limit of 20 rows"},
        BadResource{"min_rows_without_max_rows", "object A: TGridTable\n  MinRows = 1000000\nend\n",
                    "Table A: MinRows = 1000000 is beyond the table's limit of 10000 rows"},
        BadResource{"row_group_above_max_rows", "object A: TGridTable\n  RowGroup = 2000000000\n  MaxRows = 30\nend\n",
                    "Table A: RowGroup = 2000000000 is beyond the table's limit of 30 rows"},
        BadResource{"min_rows_beyond_32_bits", "object A: TGridTable\n  MinRows = 99999999999\nend\n",
                    "Table A: MinRows = 99999999999 is out of range (line 2)"}),
    [](const ::testing::TestParamInfo<BadResource>& info) { return std::string(info.param.name); });
}  // namespace

// A chain of tables, each the template of the previous one's sub-tables, is
// read and checked visiting each table once; every table makes its nested
// sub-tables down to the end of the chain.
TEST(GridTableResource, LongChainOfSubTables) {
    constexpr int kChain = 1000;
    QString text;
    for (int k = 0; k < kChain; ++k)
        text += QStringLiteral(
                        "object T%1: TGridTable\n  Identifier = %2\n  Col =\n    2\n"
                        "    2 ('v') True False False 'FLOATCOLUMN2' 'F' 0.0\n"
                        "    3 ('sub') True False 'FLEXCOLUMN2' (%3)\nend\n")
                        .arg(k)
                        .arg(700000 + k)
                        .arg(k + 1 < kChain ? 700000 + k + 1 : -1);
    auto tables = ReadGridTableResource(text);
    ASSERT_EQ(tables.size(), size_t(kChain));
    TGridTable& last = *tables[kChain - 2];
    last.SetRowCount(1);
    ASSERT_NE(last.Cells(1, 0).AsObject(), nullptr);
    EXPECT_EQ(last.Cells(1, 0).AsObject()->Cells(1, 0).AsObject(), nullptr);
    TGridTable& first = *tables[0];
    first.SetRowCount(1);
    const TGridTable* t = &first;
    int depth = 0;
    while (const TGridTable* sub = t->Cells(1, 0).AsObject()) {
        t = sub;
        ++depth;
    }
    EXPECT_EQ(depth, kChain - 1);
}

// Nested minimum rows (or row groups) multiply: the tables of a form make
// at most a million rows at once, sub-tables included.
TEST(GridTableResource, RowBudgetOfNestedTables) {
    const QString nested = QStringLiteral(
            "object A: TGridTable\n  Identifier = 800100\n  %1 = %2\n  Col =\n    1\n"
            "    3 ('sub') True False 'FLEXCOLUMN2' (800101)\nend\n"
            "object B: TGridTable\n  Identifier = 800101\n  MinRows = %3\n  Col =\n    1\n"
            "    2 ('v') True False False 'FLOATCOLUMN2' 'F' 0.0\nend\n");
    const int before = GridTableCount();
    for (const char* prop : {"MinRows", "RowGroup"})
        EXPECT_EQ(Message([&] { ReadGridTableResource(nested.arg(QLatin1String(prop)).arg(10000).arg(10000)); }),
                  "Table A: its minimum rows and those of its sub-tables pass the 1000000 rows the tables of a form "
                  "may make at once")
                << prop;
    EXPECT_EQ(GridTableCount(), before);
    // 990 rows of 1001 (the row and its sub-table's 1000), and B's own 1000
    // rows, stay within it.
    auto tables = ReadGridTableResource(nested.arg(QLatin1String("MinRows")).arg(990).arg(1000));
    ASSERT_EQ(tables.size(), 2u);
    tables[0]->SetRowCount(tables[0]->MinRows());
    EXPECT_EQ(tables[0]->Cells(0, 989).AsObject()->RowCount(), 1000);
}

// The registry keeps creation order whatever order tables die in, and an
// Identifier that two tables hold (a counter value a form set already) finds
// the earlier one.
TEST(GridTable, RegistryOrderAndSharedIdentifiers) {
    auto a = std::make_unique<TGridTable>();
    auto b = std::make_unique<TGridTable>();
    const int shared = b->Identifier() + 1;  // what the counter gives the next table
    a->SetIdentifier(shared);
    auto c = std::make_unique<TGridTable>();
    ASSERT_EQ(c->Identifier(), shared);
    EXPECT_EQ(GridTableByIdentifier(shared), a.get());
    EXPECT_EQ(GridTableIndexByIdentifier(shared), GridTableIndexOf(a.get()));
    const int ia = GridTableIndexOf(a.get());
    EXPECT_EQ(GridTableIndexOf(b.get()), ia + 1);
    EXPECT_EQ(GridTableIndexOf(c.get()), ia + 2);
    b.reset();
    EXPECT_EQ(GridTableByIndex(ia + 1), c.get());
    a.reset();
    EXPECT_EQ(GridTableByIdentifier(shared), c.get());
    EXPECT_EQ(GridTableByIndex(ia), c.get());
}

// The largest character code and the largest counts within the limits still read.
TEST(GridTableResource, CodesAndLimitsAtTheirEdges) {
    auto tables = ReadGridTableResource(
        "object A: TGridTable\n  Caption = #65535'a'#0\n  MaxRows = 20\n  MinRows = 20\n  RowGroup = 20\nend\n");
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0]->Caption(), QString(QChar(char16_t(0xFFFF))) + "a" + QChar(char16_t(0)));
    EXPECT_EQ(tables[0]->MinRows(), 20);
}

// A loop further down the references (X refers to Y, Y to Z, Z back to Y)
// gives X's rows no sub-table; once Z refers to no table, X's rows get Y's
// sub-tables, and those Z's.
TEST(SubTables, LoopFurtherDownGivesNoSubTable) {
    TGridTable x, y, z;
    auto refer = [](TGridTable& from, int id) {
        auto* sub = new TTableColumn(&from);
        from.AddColumn(sub);
        sub->References().Delete(0);
        sub->References().AddIdentifier(id);
    };
    y.SetIdentifier(900021);
    z.SetIdentifier(900022);
    refer(x, 900021);
    refer(y, 900022);
    refer(z, 900021);
    x.SetRowCount(1);
    EXPECT_EQ(x.Cells(0, 0).AsObject(), nullptr);
    auto* zSub = dynamic_cast<TTableColumn*>(z.Columns(0));
    ASSERT_NE(zSub, nullptr);
    zSub->References().Delete(0);
    zSub->References().AddIdentifier(-1);  // Z now refers to no table
    x.SetRowCount(2);
    ASSERT_NE(x.Cells(0, 1).AsObject(), nullptr);
    ASSERT_NE(x.Cells(0, 1).AsObject()->Cells(0, 0).AsObject(), nullptr);
    EXPECT_EQ(x.Cells(0, 1).AsObject()->Cells(0, 0).AsObject()->Cells(0, 0).AsObject(), nullptr);
}

// A reference changed at run time into a loop gives no sub-table instead
// of cloning without end.
TEST(SubTables, ReferenceLoopMadeLaterGivesNoSubTable) {
    TGridTable t;
    t.SetIdentifier(900010);
    auto* kind = new TEnumColumn(&t);
    kind->SetItems({"one"});
    t.AddColumn(kind);
    auto* sub = new TTableColumn(&t);
    t.AddColumn(sub);
    sub->References().Delete(0);
    sub->References().AddIdentifier(900010);
    t.SetRowCount(2);
    EXPECT_EQ(t.Cells(1, 0).AsObject(), nullptr);
    EXPECT_EQ(t.Cells(1, 1).AsObject(), nullptr);
}
