// The main window's thirteen grid tables as compiled into the program.
#include "columns.h"
#include "grid_table_resource.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace vortn;

namespace {

struct ColumnDef {
    char kind;  // 'f' float, 'e' pick list, 't' sub-table
    QStringList captions;
    QString units;       // float
    QStringList items;   // pick list
    int subTable = -1;   // sub-table: Identifier of the template
    bool hidden = false;
};

struct TableDef {
    const char* name;
    int identifier;
    QString caption;
    int maxRows;
    QString topLeft;
    bool hardwired;
    std::vector<ColumnDef> columns;
};

ColumnDef Flt(QStringList c, QString u, bool hidden = false) { return {'f', c, u, {}, -1, hidden}; }
ColumnDef Pick(QStringList c, QStringList items) { return {'e', c, {}, items, -1, false}; }
ColumnDef Sub(QStringList c, int id) { return {'t', c, {}, {}, id, false}; }

const QStringList kLoads = {"Force in X-direction", "Force in Y-direction", "Force in Z-direction",
                            "Moment about X-axis", "Moment about Y-axis", "Moment about Z-axis"};
const QStringList kSpectra = {"Force in X-directiin", "Force in Y-direction", "Force in Z-direction",
                              "Moment about X-axis", "Moment about Y-axis", "Moment about Z-axis"};
const QStringList kPlanes = {"XZ-Plane", "YZ-Plane"};

const std::vector<TableDef>& Expected() {
    static const std::vector<TableDef> defs = {
        {"D", 15, "Soil Properties", 20, "Layer", true,
         {Flt({"Shear wave", "velocity, "}, "L2/SEC"), Flt({"Unit weight", ""}, "F/L2^3"),
          Flt({"Poisson's", "ratio"}, ""), Flt({"Material", "damping"}, ""),
          Flt({"Weak zone shear", "modulus ratio"}, "")}},
        {"TLoadtype", 14, "Transient Loading Data", 0, "Number", true,
         {Pick({"Load type"}, kLoads), Sub({"Load amplitude"}, 8)}},
        {"PileData", 3, "Pile Data", 200, "Layer No.", true,
         {Flt({"Layer ", "depth, "}, "L2"), Flt({"Radius of pile", "(X-dir.) "}, "L2"),
          Flt({"Radius of pile", "(Y-dir.)"}, "L2"), Flt({"Cross-sectional", "area, "}, "L2^2"),
          Flt({"Moment of inertia", "(X-dir.)"}, "L2^4"), Flt({"Moment of inertia", "(Y-dir.)"}, "L2^4"),
          Flt({"Torsional polar moment", "of inertia (Z-dir.)"}, "L2^4")}},
        {"pilecapsoil", 4, "Side Weakened Soil Parameters", 20, "Layer #", true,
         {Flt({"Thickness of", "layer, "}, "L2"), Flt({"Shear wave", "velocity, "}, "L2/SEC"),
          Flt({"Unit weight", ""}, "F/L2^3"), Flt({"Poisson's", "ratio"}, ""), Flt({"Material", "damping"}, ""),
          Flt({"Weak zone", "shear moduli ratio"}, "")}},
        {"Multisoil", 5, "Soil Column Layer", 20, "Layer #", true,
         {Flt({"Shear Wave", "velocity,"}, "L2/SEC"), Flt({"Unit Weight", ""}, "F/L2^3"),
          Flt({"Poisson's", "Ratio"}, ""), Flt({"Material", "Damping"}, ""),
          Flt({"Weak Zone Shear ", "Modulus Ratio"}, ""), Flt({"Material Damping", "Ratio"}, "", true)}},
        {"MultiElement", 19, "Multi-Layer Foundation", 20, "Layer #", true,
         {Flt({"Layer Depth", ""}, "L2"), Flt({"Radius of Foundation", "(X), "}, "L2"),
          Flt({"Radius of Foundation", "(Y), "}, "L2"), Flt({"Cross-Section", "Area"}, "L2^2"),
          Flt({"Moment of Inertia", "(X), "}, "L2^4"), Flt({"Moment of Inertia", "(Y),"}, "L2^4"),
          Flt({"Torsional", "Coefficient"}, "")}},
        {"Pilecoord", 7, "Pile Coordinations", 500, "Pile #", true,
         {Flt({"X-coord."}, "L2"), Flt({"Y-coord."}, "L2"), Flt({"Battered Angle", "(degrees)"}, ""),
          Pick({"Battered Plane", "(Z-vertical axis)"}, kPlanes)}},
        {"Dtransient", 8, "Load Amplitude", 0, "Number", true, {Flt({"Load Amplitude"}, "F")}},
        {"Trandom", 9, "Random Loading data", 0, "Number", true,
         {Pick({"Spectrum Coordinates"}, kSpectra), Sub({"Enter Data"}, 13)}},
        {"Tspectrum", 13, "Random Spectrum Data", 0, "Number", true, {Flt({"Spectrum Data"}, "F")}},
        {"D1", 11, "Soil Layer Data", 20, "", true,
         {Flt({"Thickness", ""}, "L2"), Flt({"Shear Wave", "Velocity,"}, "L2/SEC"),
          Flt({"Unit Weight", ""}, "F/L2^3"), Flt({"Poisson's", "Ratio"}, ""), Flt({"Material", "Damping"}, ""),
          Flt({"Weak Zone Shear", "Modulus Ratio"}, "")}},
        {"TBattered", 16, "Battered Pile Data", 0, "Number", true,
         {Pick({"Batter Plane", "(Z-vertical axis)"}, kPlanes), Flt({"Batter Angle", "", ""}, "DEGREES")}},
        {"MassCal", 12, "Mass Components including equipment, and self weight of footing ", 30, "Mass #", false,
         {Flt({"Mass"}, "F6"), Flt({"x-Coord."}, "L2"), Flt({"y-Coord."}, "L2"), Flt({"z-Coord."}, "L2"),
          Flt({"Length ", "(x-direction)"}, "L2"), Flt({"Width ", "(y-direction)"}, "L2"),
          Flt({"Thickness", "(z-direction)"}, "L2")}},
    };
    return defs;
}

// The resource the program is built with.
const QString kResource = QStringLiteral(":/forms/MainForm.tables.txt");

}  // namespace

TEST(MainFormTables, MatchTheWindowsDefinitions) {
    const auto tables = LoadGridTableResource(kResource);
    const auto& defs = Expected();
    ASSERT_EQ(tables.size(), defs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        const TableDef& d = defs[i];
        const TGridTable& t = *tables[i];
        SCOPED_TRACE(d.name);
        EXPECT_EQ(t.Name, d.name);
        EXPECT_EQ(t.Identifier(), d.identifier);
        EXPECT_EQ(t.Caption(), d.caption);
        EXPECT_EQ(t.MinRows(), 1);
        EXPECT_EQ(t.MaxRows(), d.maxRows);
        EXPECT_EQ(t.RowGroup(), 1);
        EXPECT_EQ(t.TopLeft(), d.topLeft);
        EXPECT_EQ(t.HardwiredButton(), d.hardwired);
        ASSERT_EQ(t.ColumnCount(), int(d.columns.size()));
        for (size_t c = 0; c < d.columns.size(); ++c) {
            const ColumnDef& cd = d.columns[c];
            const TColumn* col = t.Columns(int(c));
            SCOPED_TRACE(c + 1);
            EXPECT_EQ(col->CaptionLines(), cd.captions);
            EXPECT_EQ(col->Visible(), !cd.hidden);
            EXPECT_FALSE(col->Group());
            if (cd.kind == 'f') {
                auto* f = dynamic_cast<const TFloatColumn*>(col);
                ASSERT_NE(f, nullptr);
                EXPECT_EQ(f->UnitsString, cd.units);
                EXPECT_FALSE(f->TopDepth);
                EXPECT_EQ(f->Default, 0);
            } else if (cd.kind == 'e') {
                auto* e = dynamic_cast<const TEnumColumn*>(col);
                ASSERT_NE(e, nullptr);
                EXPECT_EQ(e->Items(), cd.items);
            } else {
                auto* s = dynamic_cast<const TTableColumn*>(col);
                ASSERT_NE(s, nullptr);
                auto* pick = dynamic_cast<const TEnumColumn*>(t.Columns(0));
                ASSERT_NE(pick, nullptr);
                ASSERT_EQ(s->References().Count(), pick->Items().size());
                for (int k = 0; k < s->References().Count(); ++k) {
                    const TGridTable* templ = s->References().Table(k);
                    ASSERT_NE(templ, nullptr);
                    EXPECT_EQ(templ->Identifier(), cd.subTable);
                }
            }
        }
    }
}

TEST(MainFormTables, LoadTypeRowsGetAmplitudeSubTables) {
    const auto tables = LoadGridTableResource(kResource);
    TGridTable* loads = nullptr;
    for (const auto& t : tables)
        if (t->Name == "TLoadtype") loads = t.get();
    ASSERT_NE(loads, nullptr);
    loads->SetRowCount(3);
    loads->Cells(0, 2).SetAsInteger(6);
    for (int r = 0; r < 3; ++r) {
        TGridTable* s = loads->Cells(1, r).AsObject();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Caption(), "Load Amplitude");
        EXPECT_EQ(s->RowCount(), 1);
        EXPECT_EQ(static_cast<TFloatColumn*>(s->Columns(0))->UnitsString, "F");
    }
    EXPECT_THROW(loads->Cells(0, 0).SetAsInteger(7), EAssignError);
}

TEST(MainFormTables, WrittenAndReadAgainUnchanged) {
    const auto tables = LoadGridTableResource(kResource);
    std::vector<const TGridTable*> list;
    for (const auto& t : tables) list.push_back(t.get());
    const QString text = WriteGridTableResource(list);
    const auto again = ReadGridTableResource(text);
    std::vector<const TGridTable*> list2;
    for (const auto& t : again) list2.push_back(t.get());
    EXPECT_EQ(WriteGridTableResource(list2), text);
}
