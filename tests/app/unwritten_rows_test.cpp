// Typed rows the project file has no place for: each is named before a
// save, and each named row is indeed missing when the saved file is read
// back; empty side files beside a project file are named too.
#include "project_fixture.h"
#include "side_files.h"
#include "unwritten_rows.h"

#include <functional>

namespace project_test {
namespace {

using vortn::TUnwrittenRows;

class UnwrittenRows : public ProjectTest {};

struct RowsCase {
    const char* name;
    Foundation foundation;
    std::function<void(TProjectHolder&)> spoil;
    const char* table;  // nullptr: nothing is left out
    int first, last;
    const char* why;  // a piece of the sentence
};

void SetColumn(TGridTable& t, int col, std::initializer_list<Extended> values) {
    int r = 0;
    for (Extended v : values) t.Cells(col, r++).SetAsFloat(v);
}

const RowsCase kRowsCases[] = {
        {"pile_cap_side_soil_without_last_velocity", Foundation::Pile,
         [](TProjectHolder& h) {
             TGridTable& s = h.pilecapsoil();
             s.SetRowCount(2);
             SetRow(s, 1, {0.4, 0, 17, 0.3, 0.05, 0});
         },
         "pilecapsoil", 0, 1, "shear wave velocity of its last layer"},
        {"pile_cap_side_soil_written", Foundation::Pile, [](TProjectHolder&) {}, nullptr, 0, 0, ""},
        {"pile_cap_side_soil_blank", Foundation::Pile,
         [](TProjectHolder& h) {
             h.pilecapsoil().SetRowCount(0);
             h.pilecapsoil().SetRowCount(1);
         },
         nullptr, 0, 0, ""},
        {"first_mass_zero", Foundation::HalfSpace, [](TProjectHolder& h) { h.MassCal().Cells(0, 0).SetAsFloat(0); },
         "MassCal", 0, 1, "first mass is below 1E-8"},
        {"first_mass_tiny", Foundation::Stratum, [](TProjectHolder& h) { h.MassCal().Cells(0, 0).SetAsFloat(5e-9L); },
         "MassCal", 0, 1, "first mass is below 1E-8"},
        {"pile_soil_beyond_elements", Foundation::Pile,
         [](TProjectHolder& h) {
             TGridTable& d = h.D();
             d.SetRowCount(4);
             SetRow(d, 2, {300, 19, 0.3, 0.05, 1});
             SetRow(d, 3, {350, 19, 0.3, 0.05, 1});
         },
         "D", 2, 3, "one soil layer for each of its 2 pile elements"},
        {"pile_soil_blank_row_beyond_elements", Foundation::Pile, [](TProjectHolder& h) { h.D().SetRowCount(3); },
         nullptr, 0, 0, ""},
        {"soil_column_beyond_foundation_layers", Foundation::Multilayer,
         [](TProjectHolder& h) {
             TGridTable& s = h.Multisoil();
             s.SetRowCount(3);
             SetColumn(s, 0, {220, 240, 260});
         },
         "Multisoil", 1, 2, "3 foundation layers below the 2 adjacent soil layers, that is 1"},
        {"sample_projects_lose_nothing", Foundation::Multilayer, [](TProjectHolder&) {}, nullptr, 0, 0, ""},
};

TEST_F(UnwrittenRows, NamedRowsAreTheRowsTheFileLacks) {
    for (const RowsCase& c : kRowsCases) {
        SCOPED_TRACE(c.name);
        Build(c.foundation, Loading::Harmonic);
        c.spoil(H());
        const std::vector<TUnwrittenRows> rows = vortn::UnwrittenRows(P());
        if (!c.table) {
            EXPECT_TRUE(rows.empty()) << (rows.empty() ? "" : rows[0].text.toStdString());
            continue;
        }
        ASSERT_EQ(rows.size(), 1u);
        const TUnwrittenRows& r = rows[0];
        EXPECT_EQ(r.table, H().TableByName(QLatin1String(c.table)));
        EXPECT_EQ(r.firstRow, c.first);
        EXPECT_EQ(r.lastRow, c.last);
        EXPECT_TRUE(r.text.contains(QLatin1String(c.why))) << r.text.toStdString();
        const QString rowsText = c.first == c.last ? QStringLiteral("row %1").arg(c.first + 1)
                                                   : QStringLiteral("rows %1 to %2").arg(c.first + 1).arg(c.last + 1);
        EXPECT_TRUE(r.text.contains(QStringLiteral("\", ") + rowsText + QLatin1Char(':'))) << r.text.toStdString();
        const QString question = vortn::UnwrittenRowsQuestion(rows);
        EXPECT_TRUE(question.contains(r.text));

        // Saved and read back, the named rows are not there.
        const TGridTable& t = *r.table;
        QStringList named;
        for (int row = r.firstRow; row <= r.lastRow; ++row)
            for (int col = 0; col < t.ColumnCount(); ++col)
                named << vortn::FloatText(t.Cells(col, row).AsFloat());
        SaveAs(QStringLiteral("u.vtd"));
        H().OpenProject(Path(QStringLiteral("u.vtd")));
        ASSERT_EQ(H().LastMessage().toStdString(), "");
        QStringList back;
        for (int row = r.firstRow; row <= r.lastRow && row < t.RowCount(); ++row)
            for (int col = 0; col < t.ColumnCount(); ++col) back << vortn::FloatText(t.Cells(col, row).AsFloat());
        EXPECT_NE(back, named);
    }
}

// A transient or random load is written with one value per point: values
// typed beyond the number of points are named, those of a load that holds
// only zeros there are not; saved and read back, they are gone.
TEST_F(UnwrittenRows, LoadValuesBeyondTheNumberOfPointsAreNamed) {
    const struct {
        Loading loading;
        const char* table;    // the load table
        const char* caption;  // its first load's values
    } cases[] = {{Loading::Transient, "TLoadtype", "Load Amplitude 1"},
                 {Loading::Random, "Trandom", "Random Spectrum Data 1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Name(c.loading));
        Build(Foundation::HalfSpace, c.loading);
        P().NumberOfPoints = 4;
        TGridTable& t = *H().TableByName(QLatin1String(c.table));
        t.SetRowCount(2);
        TGridTable* typed = t.Cells(1, 0).AsObject();
        TGridTable* zeros = t.Cells(1, 1).AsObject();
        ASSERT_TRUE(typed && zeros);
        typed->SetRowCount(8);
        zeros->SetRowCount(0);
        zeros->SetRowCount(8);
        for (int k = 0; k < 8; ++k) typed->Cells(0, k).SetAsFloat(11 + k);
        const std::vector<TUnwrittenRows> rows = vortn::UnwrittenRows(P());
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].table, typed);
        EXPECT_EQ(rows[0].firstRow, 4);
        EXPECT_EQ(rows[0].lastRow, 7);
        EXPECT_EQ(rows[0].text.toStdString(),
                  QStringLiteral("the table \"%1\", rows 5 to 8: a load has one value for each of its 4 points.")
                          .arg(QLatin1String(c.caption))
                          .toStdString());
        EXPECT_EQ(vortn::DroppedRows(P()).size(), 2u);
        // Within the points nothing is named.
        P().NumberOfPoints = 8;
        EXPECT_TRUE(vortn::UnwrittenRows(P()).empty());
        P().NumberOfPoints = 4;

        SaveAs(QStringLiteral("l.vtd"));
        H().OpenProject(Path(QStringLiteral("l.vtd")));
        ASSERT_EQ(H().LastMessage().toStdString(), "");
        const TGridTable* back = t.Cells(1, 0).AsObject();
        ASSERT_TRUE(back);
        ASSERT_EQ(back->RowCount(), 4);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(back->Cells(0, k).AsFloat(), 11 + k);
    }
}

// The blank rows every table keeps and a project as the dialogs leave it
// give no question.
TEST_F(UnwrittenRows, NewProjectLeavesNothingOut) {
    for (const char* word : {"HALF-SPACE", "PILE", "STRATUM", "MULTILAYER"}) {
        H().NewProject();
        P().FoundationWord = QLatin1String(word);
        P().FootingType = P().FoundationWord == QLatin1String("PILE")         ? 2
                          : P().FoundationWord == QLatin1String("STRATUM")    ? 3
                          : P().FoundationWord == QLatin1String("MULTILAYER") ? 4
                                                                               : 1;
        EXPECT_TRUE(vortn::UnwrittenRows(P()).empty()) << word;
    }
}

TEST_F(UnwrittenRows, EmptySideFilesAreNamed) {
    Build(Foundation::Pile, Loading::Harmonic);
    SaveAs(QStringLiteral("s.vtd"));
    const QString deck = Path(QStringLiteral("s.vtd"));
    EXPECT_EQ(vortn::EmptySideFilesNotice(deck).toStdString(), "");
    WriteBytes(Path(QStringLiteral("s.vtm")), QByteArray());
    const QString mass = vortn::EmptySideFilesNotice(deck);
    EXPECT_TRUE(mass.startsWith(QStringLiteral("The mass data file \"%1\" is empty.").arg(Path(QStringLiteral("s.vtm")))))
            << mass.toStdString();
    EXPECT_FALSE(mass.contains(QLatin1String("geometry")));
    WriteBytes(Path(QStringLiteral("s.vtt")), QByteArray());
    const QString both = vortn::EmptySideFilesNotice(deck);
    EXPECT_TRUE(both.contains(QStringLiteral("The geometry file \"%1\" is empty.").arg(Path(QStringLiteral("s.vtt")))))
            << both.toStdString();
    // A missing side file is no damage of this kind (a deck written by hand has none).
    QFile::remove(Path(QStringLiteral("s.vtm")));
    QFile::remove(Path(QStringLiteral("s.vtt")));
    EXPECT_EQ(vortn::EmptySideFilesNotice(deck).toStdString(), "");
}

}  // namespace
}  // namespace project_test
