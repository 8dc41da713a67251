// Reading project files: refused values, the encoding of older files, and
// the counts a damaged file leaves behind.
#include "deck_title.h"
#include "project_fixture.h"

namespace project_test {
namespace {

using ProjectReader = ProjectTest;

QByteArray Join(const QStringList& lines, qsizetype count) {
    QByteArray d;
    for (qsizetype i = 0; i < count && i < lines.size(); ++i) d += lines[i].toUtf8() + "\r\n";
    return d;
}

// A load point reference other than 0 and 1 is refused where it stands.
TEST_F(ProjectReader, LoadPointReferenceMustBeZeroOrOne) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    SaveAs(QStringLiteral("ref.vtd"));
    QStringList lines = DeckLines(QStringLiteral("ref.vtd"));
    const qsizetype point = lines.indexOf(QStringLiteral("0.1 0.2 0.3 0 "));
    ASSERT_GT(point, 0);
    for (const char* reference : {"2", "-1", "7"}) {
        lines[point] = QStringLiteral("0.1 0.2 0.3 %1 ").arg(QLatin1String(reference));
        WriteBytes(Path(QStringLiteral("bad.vtd")), Join(lines, lines.size()));
        H().OpenProject(Path(QStringLiteral("bad.vtd")));
        EXPECT_EQ(H().LastMessage().toStdString(),
                  QStringLiteral("Error on Line %1 Item 4\rA load point reference of 0 or 1 was expected but not found.")
                      .arg(point + 1)
                      .toStdString())
            << reference;
        EXPECT_EQ(P().LoadReference, 0) << reference;
    }
    lines[point] = QStringLiteral("0.1 0.2 0.3 1 0 0 0 ");
    WriteBytes(Path(QStringLiteral("good.vtd")), Join(lines, lines.size()));
    H().OpenProject(Path(QStringLiteral("good.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(P().LoadReference, 1);
}

// Files are written in UTF-8; a file in Latin-1 from an older program opens
// with its accented title.
TEST_F(ProjectReader, TitlesInUtf8AndInLatin1) {
    Build(Foundation::Pile, Loading::Harmonic);
    P().Title = QString::fromUtf8("\u03a9 B\u00f6den \u57fa\u790e");
    SaveAs(QStringLiteral("t.vtd"));
    QByteArray deck = ReadBytes(Path(QStringLiteral("t.vtd")));
    EXPECT_TRUE(deck.startsWith("TITLE=\xce\xa9 B\xc3\xb6" "den \xe5\x9f\xba\xe7\xa4\x8e\r\n"));
    H().OpenProject(Path(QStringLiteral("t.vtd")));
    EXPECT_EQ(P().Title, QString::fromUtf8("\u03a9 B\u00f6den \u57fa\u790e"));

    deck.replace(0, deck.indexOf("\r\n"), "TITLE=B\xf6" "den \xfc" "ber \xd8 5");
    WriteBytes(Path(QStringLiteral("old.vtd")), deck);
    H().OpenProject(Path(QStringLiteral("old.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(P().Title, QString::fromUtf8("B\u00f6den \u00fcber \u00d8 5"));
    EXPECT_EQ(H().PileData().RowCount(), 2);
}

// A title longer than the 248 UTF-16 units kept is cut at a character
// boundary: a character outside the BMP is kept whole or not at all, and
// the title saves without a replacement character.
TEST_F(ProjectReader, LongTitleIsCutBetweenCharacters) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    SaveAs(QStringLiteral("t.vtd"));
    QStringList lines = DeckLines(QStringLiteral("t.vtd"));
    const QString crane = QString::fromUtf8("\U0001F3D7");
    for (int before : {246, 247}) {
        SCOPED_TRACE(before);
        const QString title = QString(before, QLatin1Char('a')) + crane + QStringLiteral("bc");
        lines[0] = QStringLiteral("TITLE=") + title;
        WriteBytes(Path(QStringLiteral("long.vtd")), Join(lines, lines.size()));
        H().OpenProject(Path(QStringLiteral("long.vtd")));
        EXPECT_EQ(H().LastMessage().toStdString(), "");
        const QString kept = before == 246 ? title.left(248) : QString(247, QLatin1Char('a'));
        EXPECT_EQ(P().Title, kept);
        SaveAs(QStringLiteral("again.vtd"));
        const QByteArray saved = ReadBytes(Path(QStringLiteral("again.vtd")));
        // The writer then cuts the title to what the deck's title line holds.
        EXPECT_EQ(saved.left(saved.indexOf("\r\n")), (QStringLiteral("TITLE=") + vortn::DeckTitle(kept)).toUtf8());
    }
}

// Opening never leaves the program without a project: tables of a form
// unlike the program's own (a load table without its pick list or without
// its sub-tables, a second mass table) end the reading with the message and
// leave a usable project.
struct FormCase {
    const char* name;
    const char* table;                       // the table whose definition is changed
    std::function<QString(QString)> change;  // of that table's text, "object" to "end"
    Loading loading;
};

class OpenWithOtherTables : public ProjectTest, public ::testing::WithParamInterface<FormCase> {};

TEST_P(OpenWithOtherTables, LeavesAProjectAndTheMessage) {
    const FormCase& c = GetParam();
    // The project is written with the program's own tables.
    Build(Foundation::HalfSpace, c.loading);
    SaveAs(QStringLiteral("p.vtd"));
    const QString project = Path(QStringLiteral("p.vtd"));

    QString form = QString::fromUtf8(ReadBytes(TProjectHolder::DefaultTableResource()));
    const qsizetype start = form.indexOf(QStringLiteral("object %1:").arg(QLatin1String(c.table)));
    ASSERT_GE(start, 0);
    const qsizetype end = form.indexOf(QStringLiteral("\nend\n"), start) + 5;
    form.replace(start, end - start, c.change(form.mid(start, end - start)));
    const QString formFile = Path(QStringLiteral("form.txt"));
    WriteBytes(formFile, form.toUtf8());

    TProjectHolder h(formFile);
    EXPECT_NO_THROW(h.OpenProject(project));
    EXPECT_NE(h.LastMessage().toStdString(), "");
    EXPECT_EQ(h.Project().FileName, project);
    EXPECT_EQ(h.Project().Title.toStdString(),
              c.loading == Loading::Random ? "Sample HALF-SPACE random" : "Sample HALF-SPACE transient");
    EXPECT_NO_THROW(h.NewProject());
    EXPECT_EQ(h.Project().FileName.toStdString(), "NewData.vtd");
    EXPECT_NO_THROW(h.OpenProject(project));
    EXPECT_NE(&h.Project(), nullptr);
}

QString WithoutPickList(QString table) {
    // The pick list is the first column: drop it and its items.
    const qsizetype first = table.indexOf(QStringLiteral("    0  // column 1: pick list"));
    const qsizetype next = table.indexOf(QStringLiteral("    3  // column 2: sub-table"));
    table.remove(first, next - first);
    return table.replace(QStringLiteral("    2  // columns"), QStringLiteral("    1  // columns"));
}

INSTANTIATE_TEST_SUITE_P(
        Forms, OpenWithOtherTables,
        ::testing::Values(
                FormCase{"random_table_without_its_pick_list", "Trandom", WithoutPickList, Loading::Random},
                FormCase{"transient_table_without_its_pick_list", "TLoadtype", WithoutPickList, Loading::Transient},
                FormCase{"random_table_without_sub_tables", "Trandom",
                         [](QString t) {
                             const qsizetype sub = t.indexOf(QStringLiteral("    3  // column 2: sub-table"));
                             return t.left(sub) +
                                    QStringLiteral("    2 ('Values') True False False 'FLOATCOLUMN2' 'F' 0.0\nend\n");
                         },
                         Loading::Random},
                FormCase{
                        "second_mass_table_of_one_column", "MassCal",
                        [](QString t) {
                            return QStringLiteral(
                                           "object MassCal: TGridTable\n  Col =\n    1\n    2 ('Mass') True False False "
                                           "'FLOATCOLUMN2' 'F6' 0.0\nend\n") +
                                   t;
                        },
                        Loading::Transient}),
        [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

// A file that ends inside a block keeps the rows it really holds, and no
// count that announces more than was read (so a save writes no made-up rows).
struct CutCase {
    const char* name;
    Foundation foundation;
    Loading loading;
    const char* marker;  // the file is cut `after` lines after the line that equals it
    int after;
    std::function<void(const TProjectHolder&)> check;
    bool reopensTheSame = true;  // false: a load row read short is written with zeros up to the points count
};

class DamagedFile : public ProjectTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(DamagedFile, KeepsOnlyWhatWasRead) {
    const CutCase& c = GetParam();
    Build(c.foundation, c.loading);
    SaveAs(QStringLiteral("ok.vtd"));
    const QStringList lines = DeckLines(QStringLiteral("ok.vtd"));
    const qsizetype at = lines.indexOf(QLatin1String(c.marker));
    ASSERT_GE(at, 0) << c.marker;
    WriteBytes(Path(QStringLiteral("cut.vtd")), Join(lines, at + 1 + c.after));
    H().OpenProject(Path(QStringLiteral("cut.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "This file either invalid or incomplete.");
    c.check(H());
    // Saved again (twice: the first save may store the geometry defaults),
    // the project reopens the same.
    P().FileName = Path(QStringLiteral("again.vtd"));
    P().SaveToFile();
    P().SaveToFile();
    const QStringList before = Dump(H());
    H().OpenProject(Path(QStringLiteral("again.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    if (!c.reopensTheSame) return;
    EXPECT_EQ(Dump(H()).join(QLatin1Char('\n')).toStdString(), before.join(QLatin1Char('\n')).toStdString());
    c.check(H());
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, DamagedFile,
    ::testing::Values(
        CutCase{"inside_the_second_load_amplitudes", Foundation::HalfSpace, Loading::Transient, "3 ", 10,
                [](const TProjectHolder& h) {
                    EXPECT_EQ(h.Project().NumberOfPoints, 64);
                    ASSERT_EQ(h.TLoadtype().RowCount(), 2);
                    EXPECT_EQ(h.TLoadtype().Cells(1, 0).AsObject()->RowCount(), 64);
                    EXPECT_EQ(h.TLoadtype().Cells(1, 1).AsObject()->RowCount(), 10);
                    EXPECT_EQ(h.TLoadtype().Cells(1, 1).AsObject()->Cells(0, 7).AsFloat(), 140);
                    EXPECT_EQ(h.Project().NumberOfLoadTypes, 2);
                },
                false},
        CutCase{"before_any_load_amplitude", Foundation::HalfSpace, Loading::Transient, "1 ", 0,
                [](const TProjectHolder& h) {
                    EXPECT_EQ(h.Project().NumberOfPoints, 0);
                    ASSERT_EQ(h.TLoadtype().RowCount(), 1);
                    EXPECT_EQ(h.TLoadtype().Cells(1, 0).AsObject()->RowCount(), 0);
                }},
        CutCase{"inside_the_spectrum", Foundation::Stratum, Loading::Random, "3 3", 5,
                [](const TProjectHolder& h) {
                    EXPECT_EQ(h.Project().NumberOfPoints, 5);
                    ASSERT_EQ(h.Trandom().RowCount(), 1);
                    EXPECT_EQ(h.Trandom().Cells(1, 0).AsObject()->RowCount(), 5);
                }},
        CutCase{"inside_the_pile_sections", Foundation::Pile, Loading::Harmonic, "ELEMENT", 1,
                [](const TProjectHolder& h) {
                    EXPECT_EQ(h.PileData().RowCount(), 1);
                    EXPECT_EQ(h.PileData().Cells(0, 0).AsFloat(), 5);
                    EXPECT_EQ(h.Pilecoord().RowCount(), 4);
                }},
        CutCase{"inside_the_pile_coordinates", Foundation::Pile, Loading::Harmonic, "FIXED=4", 2,
                [](const TProjectHolder& h) {
                    EXPECT_EQ(h.Pilecoord().RowCount(), 2);
                    EXPECT_EQ(h.PileData().RowCount(), 1);  // no section was read: one empty row
                    EXPECT_EQ(h.PileData().Cells(0, 0).AsFloat(), 0);
                }},
        CutCase{"inside_the_mass_components", Foundation::Multilayer, Loading::Harmonic, "RUN ", 2,
                [](const TProjectHolder& h) {
                    EXPECT_EQ(h.MassCal().RowCount(), 1);
                    EXPECT_EQ(h.MassCal().Cells(0, 0).AsFloat(), 40);
                }}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace project_test

namespace project_test {
namespace {

// The reader refuses a file larger than a project file can be before it
// reads it (a sparse file: no disk is used); the project is the default one.
TEST_F(ProjectTest, AFileLargerThanAProjectCanBeIsNotRead) {
    const QString big = Path(QStringLiteral("big.vtd"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("TITLE=huge\r\n");
        ASSERT_TRUE(f.resize(vortn::kMaxProjectFileBytes + 1));
    }
    H().OpenProject(big);
    EXPECT_EQ(H().LastMessage().toStdString(),
              QStringLiteral("The file \"%1\" (%2 bytes) is larger than a project file can be (%3 bytes); it was not "
                             "read.")
                      .arg(big)
                      .arg(vortn::kMaxProjectFileBytes + 1)
                      .arg(vortn::kMaxProjectFileBytes)
                      .toStdString());
    EXPECT_EQ(P().Title.toStdString(), "New Pile");
}

}  // namespace
}  // namespace project_test
