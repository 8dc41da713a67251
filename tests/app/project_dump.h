// Everything a project file carries, as text lines: for comparing a project
// with the same project written and read back (tests and fuzz drivers).
#pragma once

#include "columns.h"
#include "program_data.h"
#include "project_holder.h"

#include <QString>
#include <QStringList>

#include <utility>

namespace project_test {

using vortn::Extended;
using vortn::TGridTable;
using vortn::TProgramData;
using vortn::TProjectHolder;

// Every cell of a table as text (float cells in the file's number format,
// pick lists as item numbers, sub-tables recursively).
inline void DumpTable(QStringList& out, const QString& name, const TGridTable& t) {
    out << QStringLiteral("%1.rows=%2").arg(name).arg(t.RowCount());
    for (int r = 0; r < t.RowCount(); ++r)
        for (int c = 0; c < t.ColumnCount(); ++c) {
            const QString key = QStringLiteral("%1[%2,%3]=").arg(name).arg(c).arg(r);
            const vortn::TColumn* col = t.Columns(c);
            if (dynamic_cast<const vortn::TFloatColumn*>(col))
                out << key + vortn::FloatText(t.Cells(c, r).AsFloat());
            else if (dynamic_cast<const vortn::TEnumColumn*>(col))
                out << key + QString::number(t.Cells(c, r).AsInteger());
            else if (dynamic_cast<const vortn::TTableColumn*>(col)) {
                const TGridTable* sub = t.Cells(c, r).AsObject();
                if (sub)
                    DumpTable(out, key, *sub);
                else
                    out << key + QStringLiteral("none");
            }
        }
}

// Everything of the project that its project file carries, for its
// foundation and load type (what the file does not carry is left out).
inline QStringList Dump(const TProjectHolder& h) {
    const TProgramData& p = h.Project();
    QStringList out;
    auto num = [&](const char* name, Extended v) { out << QLatin1String(name) + QLatin1Char('=') + vortn::FloatText(v); };
    auto integer = [&](const char* name, int v) { out << QLatin1String(name) + QLatin1Char('=') + QString::number(v); };
    out << QStringLiteral("Title=") + p.Title << QStringLiteral("Word=") + p.FoundationWord;
    integer("UnitSystem", p.UnitSystem);
    integer("FootingType", p.FootingType);
    integer("MatrixFlag", p.MatrixFlag);
    integer("CircularFlag", p.CircularFlag);
    if (p.CircularFlag == 1)
        num("Radius", p.Radius);
    else {
        num("Length", p.Length);
        num("Width", p.Width);
    }
    for (auto [n, v] : {std::pair{"TotalMass", p.TotalMass}, {"Ix", p.Ix}, {"Iy", p.Iy}, {"Iz", p.Iz}, {"Ixy", p.Ixy},
                        {"Ixz", p.Ixz}, {"Iyz", p.Iyz}, {"Xc", p.Xc}, {"Yc", p.Yc}, {"Zc", p.Zc},
                        {"SoilVelocity", p.SoilVelocity}, {"SoilUnitWeight", p.SoilUnitWeight},
                        {"SoilPoisson", p.SoilPoisson}, {"SoilDamping", p.SoilDamping}})
        num(n, v);
    const QString& w = p.FoundationWord;
    if (w == QLatin1String("PILE") || w == QLatin1String("MULTILAYER"))
        for (auto [n, v] : {std::pair{"PileLength", p.PileLength}, {"PileUnitWeight", p.PileUnitWeight},
                            {"StaticLoad", p.StaticLoad}, {"PilePoisson", p.PilePoisson},
                            {"PileDamping", p.PileDamping}, {"ShearCoefficient", p.ShearCoefficient},
                            {"PileModulus", p.PileModulus}})
            num(n, v);
    if (w == QLatin1String("STRATUM")) {
        num("BaseDepth", p.BaseDepth);
        num("BedRockDepth", p.BedRockDepth);
    }
    if (w == QLatin1String("PILE")) {
        integer("FixedFlag", p.FixedFlag);
        integer("EndBearingFlag", p.EndBearingFlag);
        integer("InteractionFlag", p.InteractionFlag);
        DumpTable(out, QStringLiteral("PileData"), h.PileData());
        const TGridTable& c = h.Pilecoord();
        out << QStringLiteral("Pilecoord.rows=%1").arg(c.RowCount());
        bool battered = false;
        for (int r = 0; r < c.RowCount(); ++r) battered = battered || c.Cells(2, r).AsFloat() != 0;
        for (int r = 0; r < c.RowCount(); ++r) {
            out << QStringLiteral("pile %1: %2 %3").arg(r).arg(vortn::FloatText(c.Cells(0, r).AsFloat()),
                                                               vortn::FloatText(c.Cells(1, r).AsFloat()));
            if (battered)  // planes and angles are written only for a battered group
                out << QStringLiteral("batter %1: %2 %3").arg(r).arg(vortn::FloatText(c.Cells(2, r).AsFloat())).arg(c.Cells(3, r).AsInteger());
        }
        DumpTable(out, QStringLiteral("D"), h.D());
        DumpTable(out, QStringLiteral("pilecapsoil"), h.pilecapsoil());
    }
    if (w == QLatin1String("MULTILAYER")) {
        DumpTable(out, QStringLiteral("MultiElement"), h.MultiElement());
        DumpTable(out, QStringLiteral("D"), h.D());
        DumpTable(out, QStringLiteral("Multisoil"), h.Multisoil());
    }
    if (w == QLatin1String("HALF-SPACE")) {
        integer("WeakZoneFlag", p.WeakZoneFlag);
        DumpTable(out, QStringLiteral("D1"), h.D1());
    }
    integer("LoadingCode", p.LoadingCode);
    if (p.LoadingCode == 1) {
        integer("QuadraticFlag", p.QuadraticFlag);
        for (auto [n, v] : {std::pair{"MaxFrequency", p.MaxFrequency}, {"MinFrequency", p.MinFrequency},
                            {"FrequencyStep", p.FrequencyStep}, {"Fx", p.Fx}, {"Fy", p.Fy}, {"Fz", p.Fz},
                            {"Mx", p.Mx}, {"My", p.My}, {"Mz", p.Mz}, {"LoadX", p.LoadX}, {"LoadY", p.LoadY},
                            {"LoadZ", p.LoadZ}})
            num(n, v);
        integer("LoadReference", p.LoadReference);
    } else if (p.LoadingCode == 2) {
        integer("NumberOfPoints", p.NumberOfPoints);
        num("TimeInterval", p.TimeInterval);
        DumpTable(out, QStringLiteral("TLoadtype"), h.TLoadtype());
    } else {
        integer("NumberOfPoints", p.NumberOfPoints);
        num("RandomMaxFrequency", p.RandomMaxFrequency);
        num("RandomMinFrequency", p.RandomMinFrequency);
        num("ObservationPeriod", p.ObservationPeriod);
        DumpTable(out, QStringLiteral("Trandom"), h.Trandom());
    }
    DumpTable(out, QStringLiteral("MassCal"), h.MassCal());
    for (auto [n, v] : {std::pair{"CGx", p.CGx}, {"CGy", p.CGy}, {"CGz", p.CGz}, {"CBx", p.CBx}, {"CBy", p.CBy},
                        {"CBz", p.CBz}, {"CBX", p.CBX}, {"CBY", p.CBY}, {"CBZ", p.CBZ}})
        num(n, v);
    return out;
}

}  // namespace project_test
