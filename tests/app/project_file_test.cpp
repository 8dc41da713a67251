// Project files: the writer's lines, write and read back, thresholds and
// defaults of the writer, safe saving, and the reader on damaged files.
#include "project_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace project_test {
namespace {

using ProjectFile = ProjectTest;

const char* const kZeroTail = " 0.00000000000000E+0000  0.00000000000000E+0000  0.00000000000000E+0000 ";

TEST_F(ProjectFile, NewProjectSavedAtOnce) {
    SaveAs(QStringLiteral("new.vtd"));
    const QStringList expected{
        "TITLE=New Pile", "MATRIX", "GRAVITY=9.8", "FOUNDATION=HALF-SPACE", "RECTANGULAR=0,0", "MASS ",
        "0 0 0 0 0 0 0", "CONSTANTS ", "0 0 0 ", "SOIL ", "WEAK ", "CONSTANTS=1", "1 0 0 0 0 0 0 0 0 0.1",
        "BELOW=0 0 0 0", "LOAD ", "HARMONIC ", "CONSTANTS ", "NONQUADRATIC ", "0 0 0 ", "0 0 0 ", "0 0 0 ",
        "0 0 0 0 ", "RUN ", "0", kZeroTail, kZeroTail, kZeroTail};
    EXPECT_EQ(DeckLines(QStringLiteral("new.vtd")), expected);
    // No mass components: the mass data file is the single line "0".
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("new.vtm"))), QByteArray("0\r\n"));
    const QStringList geometry{"RECTANGULAR ", " 0 0 0", " 0", "SOIL", "HALF-SPACE", " 0", "2", "1 0", "2 0"};
    EXPECT_EQ(DeckLines(QStringLiteral("new.vtt")), geometry);
    EXPECT_EQ(P().MassFileName, Path(QStringLiteral("new.vtm")));
    EXPECT_EQ(P().GeometryFileName, Path(QStringLiteral("new.vtt")));
    EXPECT_FALSE(H().IsModified());
}

TEST_F(ProjectFile, PileDeckLines) {
    Build(Foundation::Pile, Loading::Harmonic, /*battered=*/true);
    P().EndBearingFlag = 1;
    SaveAs(QStringLiteral("pile.vtd"));
    const QStringList lines = DeckLines(QStringLiteral("pile.vtd"));
    const QStringList expectedStart{"TITLE=Sample PILE harmonic", "MATRIX", "GRAVITY=9.8", "FOUNDATION=PILE",
                                    "RECTANGULAR=4,3", "MASS ", "60 90 120 150 0 0 0", "LAYERS=2", "FIXED=4",
                                    "1 -1 -1 ", "2 1 -1 ", "3 -1 1 ", "4 1 1 ", "CONSTANTS ", "0 0 0.8 10 24 ",
                                    "600 0.25 0.02 0.85 25000000", "ELEMENT",
                                    "1 5 0.25 0.25 0.19635 0.003068 0.003068 0.0061359",
                                    "2 5 0.25 0.25 0.19635 0.003068 0.003068 0.0061359", "END-BEARING", "BATTERED",
                                    "1 XZ  ", "0 ", "2 XZ  ", "10 ", "3 XZ  ", "0 ", "4 YZ  ", "8 ", "INTERACTION ",
                                    "SOIL ", "WEAK", "CONSTANTS", "1 150 18 0.33 0.05 0.5 0.33 0.1 1",
                                    "2 200 18.5 0.33 0.05 1 0.33 0.1 0", "BELOW=250 19 0.35 0.05", "EMBEDDED", "1 ",
                                    "1 0.6 140 17.5 0.3 0.05", "LOAD ", "HARMONIC ", "CONSTANTS ", "NONQUADRATIC ",
                                    "251.2 12.56 12.56 ", "10 0 20 ", "0 5 0 ", "0.1 0.2 0.3 0 ", "RUN ", "2",
                                    "40 0 0 0.5 4 3 1 ", "20 0.2 0.1 1.4 1 1 0.5 "};
    ASSERT_GE(lines.size(), expectedStart.size());
    EXPECT_EQ(lines.mid(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(lines.size(), expectedStart.size() + 3);
    EXPECT_EQ(lines.back().toStdString(), " 0.00000000000000E+0000  0.00000000000000E+0000  0.00000000000000E+0000 ");
    EXPECT_EQ(lines[lines.size() - 3].toStdString(),
              " 5.00000000000000E-0002  3.00000000000000E-0002  8.00000000000000E-0001 ");
    // The mass data file carries the components and the three centre lines.
    const QStringList mass = DeckLines(QStringLiteral("pile.vtm"));
    EXPECT_EQ(mass, lines.mid(lines.size() - 6));
    // Geometry file of a pile group.
    const QStringList geometry{"RECTANGULAR ", " 4 3 0.6", "4", "10 ", "1 -1 -1 ", "2 1 -1 ", "3 -1 1 ", "4 1 1 ",
                               "ELEMENT", "2", "1 5 0.25 0.25 0.19635 0.003068 0.003068 0.0061359",
                               "2 5 0.25 0.25 0.19635 0.003068 0.003068 0.0061359", "BATTERED", "1 0 0 ", "2 0 10 ",
                               "3 0 0 ", "4 90 8 ", "SOIL", "PILE", "1", "3", "1 0.6 ", "2 10", "3 2"};
    EXPECT_EQ(DeckLines(QStringLiteral("pile.vtt")), geometry);
}

TEST_F(ProjectFile, LoadBlocksOfTransientAndRandom) {
    Build(Foundation::Stratum, Loading::Transient);
    SaveAs(QStringLiteral("t.vtd"));
    QStringList lines = DeckLines(QStringLiteral("t.vtd"));
    qsizetype i = lines.indexOf(QStringLiteral("TRANSIENT "));
    ASSERT_GT(i, 0);
    EXPECT_EQ(lines.mid(i - 5, 5), (QStringList{"0 0 0.8 0.5 8 ", "SOIL ", "CONSTANTS ", "250 19 0.35 0.05", "LOAD "}));
    EXPECT_EQ(lines.mid(i, 6), (QStringList{"TRANSIENT ", "CONSTANTS ", "64 ", "0.01 ", "2 ", "1 "}));
    EXPECT_EQ(lines[i + 7].toStdString(), "10 ");
    EXPECT_EQ(lines[i + 6 + 64].toStdString(), "3 ");
    EXPECT_EQ(lines[i + 6 + 65 + 64].toStdString(), "RUN ");

    Build(Foundation::HalfSpace, Loading::Random);
    SaveAs(QStringLiteral("r.vtd"));
    lines = DeckLines(QStringLiteral("r.vtd"));
    i = lines.indexOf(QStringLiteral("RANDOM "));
    ASSERT_GT(i, 0);
    // The frequencies go to the engine in rad/s, as the harmonic ones do.
    EXPECT_EQ(lines.mid(i, 8), (QStringList{"RANDOM ", "CONSTANTS ", "125.6 ", "6.28 ", "20 ", "10 ", "1 ", "3 3"}));
    EXPECT_EQ(lines[i + 8].toStdString(), "1 ");
    EXPECT_EQ(lines[i + 8 + 20].toStdString(), "RUN ");
}

TEST_F(ProjectFile, WeakZoneThresholds) {
    // Ratio 1 gives factor 0 everywhere; 0.999995 only in the multilayer block.
    struct Case {
        Foundation f;
        Extended ratio;
        const char* factor;
    };
    const Case cases[] = {{Foundation::HalfSpace, 1, "0"},     {Foundation::HalfSpace, 0.999995L, "0.1"},
                          {Foundation::Pile, 1, "0"},          {Foundation::Pile, 0.999995L, "1"},
                          {Foundation::Multilayer, 1, "0"},    {Foundation::Multilayer, 0.999995L, "0"},
                          {Foundation::Multilayer, 0.99999L, "1"}};
    for (const Case& c : cases) {
        Build(c.f, Loading::Harmonic);
        TGridTable& t = c.f == Foundation::HalfSpace ? H().D1() : H().D();
        t.Cells(c.f == Foundation::HalfSpace ? 5 : 4, 0).SetAsFloat(c.ratio);
        SaveAs(QStringLiteral("w.vtd"));
        const QStringList lines = DeckLines(QStringLiteral("w.vtd"));
        const qsizetype soil = lines.indexOf(QStringLiteral("SOIL "));
        ASSERT_GT(soil, 0);
        const QStringList row = lines[soil + 3].split(QLatin1Char(' '));
        ASSERT_EQ(row.size(), c.f == Foundation::HalfSpace ? 10 : 9) << lines[soil + 3].toStdString();
        EXPECT_EQ(row.back().toStdString(), c.factor) << Word(c.f) << " " << double(c.ratio);
    }
}

TEST_F(ProjectFile, HalfSpaceWithoutWeakZoneWritesPlainRows) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    H().D1().Cells(5, 0).SetAsFloat(0);
    P().WeakZoneFlag = 0;
    SaveAs(QStringLiteral("h.vtd"));
    QStringList lines = DeckLines(QStringLiteral("h.vtd"));
    qsizetype soil = lines.indexOf(QStringLiteral("SOIL "));
    EXPECT_EQ(lines.mid(soil, 4), (QStringList{"SOIL ", "CONSTANTS=1", "1 0.5 150 18 0.33 0.05", "BELOW=250 19 0.35 0.05"}));
    // A weak-zone ratio sets the flag, which then stays set.
    H().D1().Cells(5, 0).SetAsFloat(0.5);
    P().SaveToFile();
    EXPECT_EQ(P().WeakZoneFlag, 1);
    H().D1().Cells(5, 0).SetAsFloat(0);
    P().SaveToFile();
    lines = DeckLines(QStringLiteral("h.vtd"));
    soil = lines.indexOf(QStringLiteral("SOIL "));
    EXPECT_EQ(lines[soil + 1].toStdString(), "WEAK ");
}

TEST_F(ProjectFile, BatterRule) {
    Build(Foundation::Pile, Loading::Harmonic);
    H().Pilecoord().Cells(2, 2).SetAsFloat(1e-8L);
    SaveAs(QStringLiteral("b.vtd"));
    EXPECT_FALSE(DeckLines(QStringLiteral("b.vtd")).contains(QStringLiteral("BATTERED")));
    EXPECT_EQ(P().BatteredFlag, 0);
    H().Pilecoord().Cells(2, 2).SetAsFloat(5);
    P().SaveToFile();
    EXPECT_EQ(P().BatteredFlag, 1);
    // Once battered, the deck stays battered (zero angles) until reopened.
    H().Pilecoord().Cells(2, 2).SetAsFloat(0);
    P().SaveToFile();
    QStringList lines = DeckLines(QStringLiteral("b.vtd"));
    qsizetype b = lines.indexOf(QStringLiteral("BATTERED"));
    ASSERT_GT(b, 0);
    EXPECT_EQ(lines.mid(b + 1, 8), (QStringList{"1 XZ  ", "0 ", "2 XZ  ", "0 ", "3 XZ  ", "0 ", "4 XZ  ", "0 "}));
    H().OpenProject(Path(QStringLiteral("b.vtd")));
    EXPECT_EQ(P().BatteredFlag, 0);
    P().SaveToFile();
    EXPECT_FALSE(DeckLines(QStringLiteral("b.vtd")).contains(QStringLiteral("BATTERED")));
}

TEST_F(ProjectFile, GeometryFileDefaults) {
    // Circular footing without soil layers and without a pile length.
    P().CircularFlag = 1;
    P().Radius = 2;
    SaveAs(QStringLiteral("g.vtd"));
    QStringList g = DeckLines(QStringLiteral("g.vtt"));
    EXPECT_EQ(g.mid(0, 2), (QStringList{"CIRCULAR ", " 2 2 0.3"}));
    EXPECT_EQ(g.mid(g.size() - 2), (QStringList{"1 6", "2 1.2"}));
    EXPECT_DOUBLE_EQ(double(P().TotalSoilDepth), 0.3);
    EXPECT_DOUBLE_EQ(double(P().PileLength), 6);
    // Rectangular: 0.15 x width and 2 x length.
    H().NewProject();
    P().Length = 5;
    P().Width = 4;
    SaveAs(QStringLiteral("g.vtd"));
    g = DeckLines(QStringLiteral("g.vtt"));
    EXPECT_EQ(g[1].toStdString(), " 5 4 0.6");
    EXPECT_EQ(double(P().PileLength), 10);
    // With layers the depth is their sum, and a pile length stays.
    Build(Foundation::Multilayer, Loading::Harmonic);
    SaveAs(QStringLiteral("g.vtd"));
    g = DeckLines(QStringLiteral("g.vtt"));
    EXPECT_EQ(g, (QStringList{"RECTANGULAR ", " 4 3 2", " 0", "SOIL", "MULTILAYER", "2", "4", "1 1 ", "2 1 ", "3 3",
                              "4 0.6"}));
    EXPECT_EQ(double(P().PileLength), 3);
}

TEST_F(ProjectFile, MassComponentCount) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    H().MassCal().Cells(0, 0).SetAsFloat(1e-9L);
    SaveAs(QStringLiteral("m.vtd"));
    EXPECT_EQ(P().MassCount, 0);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("m.vtm"))), QByteArray("0\r\n"));
    const QStringList lines = DeckLines(QStringLiteral("m.vtd"));
    EXPECT_EQ(lines[lines.size() - 4].toStdString(), "0");
    H().MassCal().Cells(0, 0).SetAsFloat(1);
    P().SaveToFile();
    EXPECT_EQ(P().MassCount, 2);
    EXPECT_EQ(DeckLines(QStringLiteral("m.vtm")).size(), 6);
}

// The deck's layer counts and its soil rows always agree.
TEST_F(ProjectFile, LayerCountsStayInStep) {
    Build(Foundation::Pile, Loading::Harmonic);
    H().PileData().SetRowCount(3);
    H().D().SetRowCount(1);
    SaveAs(QStringLiteral("l.vtd"));
    QStringList lines = DeckLines(QStringLiteral("l.vtd"));
    EXPECT_TRUE(lines.contains(QStringLiteral("LAYERS=3")));
    qsizetype c = lines.indexOf(QStringLiteral("CONSTANTS"), lines.indexOf(QStringLiteral("WEAK")));
    EXPECT_TRUE(lines[c + 3].startsWith(QStringLiteral("3 0 0 0 0 0 ")));
    EXPECT_TRUE(lines[c + 4].startsWith(QStringLiteral("BELOW=")));
    EXPECT_EQ(H().D().RowCount(), 3);

    Build(Foundation::Multilayer, Loading::Harmonic);
    H().MultiElement().SetRowCount(5);
    SaveAs(QStringLiteral("l.vtd"));
    lines = DeckLines(QStringLiteral("l.vtd"));
    EXPECT_TRUE(lines.contains(QStringLiteral("LAYER=5")));
    c = lines.indexOf(QStringLiteral("CONSTANTS=2"));
    ASSERT_GT(c, 0);
    EXPECT_EQ(lines[c + 3].toStdString(), "3 220 18.5 0.33 0.05 1 1");
    EXPECT_EQ(lines[c + 5].toStdString(), "5 0 0 0 0 0 0");
    EXPECT_TRUE(lines[c + 6].startsWith(QStringLiteral("BELOW=")));
    EXPECT_EQ(H().Multisoil().RowCount(), 3);
}

// Lines of numbers longer than the engine's 80 columns are broken at blanks.
TEST_F(ProjectFile, LongNumberLinesAreWrapped) {
    Build(Foundation::Pile, Loading::Harmonic);
    P().TotalMass = -0.00012345678L;
    P().Ix = -1.2345678e-12L;
    P().Iy = -1.2345678e-12L;
    P().Iz = -1.2345678e-12L;
    P().Ixy = -1.2345678e-12L;
    P().Ixz = -1.2345678e-12L;
    P().Iyz = -1.2345678e-12L;
    SetRow(H().D(), 0, {-0.00012345678L, -0.00012345678L, -0.33333333L, -0.00012345678L, 0.66666667L});
    P().LoadReference = 1;
    P().CBx = -0.00012345678L;
    P().CBy = -0.00012345678L;
    P().CBz = -0.00012345678L;
    P().LoadX = -0.00012345678L;
    P().LoadY = -0.00012345678L;
    P().LoadZ = -0.00012345678L;
    SaveAs(QStringLiteral("long.vtd"));
    const QStringList lines = DeckLines(QStringLiteral("long.vtd"));
    const qsizetype run = lines.indexOf(QStringLiteral("RUN "));
    ASSERT_GT(run, 0);
    for (qsizetype i = 1; i < run; ++i) EXPECT_LE(lines[i].size(), 80) << lines[i].toStdString();
    EXPECT_EQ(lines[6].toStdString(), "-0.00012345678 -1.2345678E-12 -1.2345678E-12 -1.2345678E-12 -1.2345678E-12");
    const QStringList before = Dump(H());
    H().OpenProject(Path(QStringLiteral("long.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(Dump(H()), before);
}

// Every field and table cell the file carries survives writing and reading.
TEST_F(ProjectFile, WriteAndReadBack) {
    const Foundation foundations[] = {Foundation::HalfSpace, Foundation::Pile, Foundation::Stratum,
                                      Foundation::Multilayer};
    const Loading loadings[] = {Loading::Harmonic, Loading::Quadratic, Loading::Transient, Loading::Random};
    for (Foundation f : foundations)
        for (Loading l : loadings)
            for (int variant = 0; variant < 2; ++variant) {
                SCOPED_TRACE(std::string(Word(f)) + " " + Name(l) + " variant " + std::to_string(variant));
                Build(f, l, /*battered=*/variant == 1);
                TProgramData& p = P();
                if (variant == 1) {
                    // Other choices, English units, odd values in every cell.
                    p.MatrixFlag = 0;
                    // A title the deck's title line carries (the writer makes others readable).
                    p.Title = QString::fromUtf8("B\u00f6den \u00fcber \u00d8; 1 (2) & -x");
                    p.CircularFlag = 1;
                    p.Radius = 1.7654321L;
                    p.FixedFlag = 0;
                    p.EndBearingFlag = 1;
                    p.InteractionFlag = 0;
                    p.LoadReference = 1;
                    p.Ixy = -0.125L;
                    p.Ixz = 1.5e-7L;
                    p.Iyz = 12345678;
                    p.SetUnits(1);
                    for (TGridTable* t : {&H().D(), &H().D1(), &H().PileData(), &H().MultiElement(), &H().Multisoil(),
                                          &H().pilecapsoil(), &H().MassCal()})
                        for (int r = 0; r < t->RowCount(); ++r)
                            for (int c = 0; c < t->ColumnCount(); ++c)
                                t->Cells(c, r).SetAsFloat(0.01L + 1.25L * c + 0.5L * r);
                    H().pilecapsoil().Cells(5, 0).SetAsFloat(0.25);  // side-cap form
                }
                SaveAs(QStringLiteral("rt.vtd"));
                const QStringList before = Dump(H());
                H().OpenProject(Path(QStringLiteral("rt.vtd")));
                EXPECT_EQ(H().LastMessage().toStdString(), "");
                EXPECT_EQ(Dump(H()), before);
                EXPECT_FALSE(H().IsModified());
                const char* words[] = {"HARMONIC ", "HARMONIC ", "TRANSIENT ", "RANDOM "};
                EXPECT_EQ(P().LoadingWord.toStdString(), words[int(l)]);
                // A second save of the project read gives the same deck.
                const QByteArray first = ReadBytes(Path(QStringLiteral("rt.vtd")));
                P().SaveToFile();
                EXPECT_EQ(ReadBytes(Path(QStringLiteral("rt.vtd"))), first);
            }
}

// Without mass components the deck still carries the three centre lines, and
// the centre of base is what a load referred to it is taken from: reading
// them back keeps the load line the engine gets.
TEST_F(ProjectFile, CentresWithoutMassComponentsReadBack) {
    H().NewProject();
    P().CGx = 0.25, P().CGy = -0.5, P().CGz = 1.5;
    P().CBx = 0.1, P().CBy = -0.05, P().CBz = 0.9;
    P().CBX = 2, P().CBY = 3, P().CBZ = -4;
    P().LoadReference = 1;
    SaveAs(QStringLiteral("c.vtd"));
    const QStringList first = DeckLines(QStringLiteral("c.vtd"));
    EXPECT_TRUE(first.contains(QStringLiteral("0 0 0 1 0.1 -0.05 0.9 "))) << first.join(QLatin1Char('|')).toStdString();
    H().OpenProject(Path(QStringLiteral("c.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(P().MassCount, 0);
    EXPECT_EQ(P().LoadReference, 1);
    const Extended expected[] = {0.25L, -0.5L, 1.5L, 0.1L, -0.05L, 0.9L, 2, 3, -4};
    const Extended read[] = {P().CGx, P().CGy, P().CGz, P().CBx, P().CBy, P().CBz, P().CBX, P().CBY, P().CBZ};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(vortn::FloatText(read[i]), vortn::FloatText(expected[i])) << i;
    // Saved again, the deck (with its load line) is the same.
    P().SaveToFile();
    EXPECT_EQ(DeckLines(QStringLiteral("c.vtd")), first);
}

TEST_F(ProjectFile, BatterPlanesOfManyPiles) {
    Build(Foundation::Pile, Loading::Harmonic);
    TGridTable& c = H().Pilecoord();
    c.SetRowCount(500);
    for (int i = 0; i < 500; ++i) {
        SetRow(c, i, {Extended(i % 25), Extended(i / 25), Extended(i % 7)});
        c.Cells(3, i).SetAsInteger(i % 3 == 0 ? 2 : 1);
    }
    SaveAs(QStringLiteral("many.vtd"));
    const QStringList lines = DeckLines(QStringLiteral("many.vtd"));
    EXPECT_TRUE(lines.contains(QStringLiteral("10 YZ  ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("100 YZ  ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("500 XZ  ")));
    H().OpenProject(Path(QStringLiteral("many.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    ASSERT_EQ(c.RowCount(), 500);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(c.Cells(3, i).AsInteger(), i % 3 == 0 ? 2 : 1) << i;
        EXPECT_EQ(c.Cells(2, i).AsFloat(), i % 7) << i;
    }
}

TEST_F(ProjectFile, GravityGivesTheUnitSystem) {
    SaveAs(QStringLiteral("u.vtd"));
    const QByteArray deck = ReadBytes(Path(QStringLiteral("u.vtd")));
    struct Case {
        const char* gravity;
        int units;
    };
    for (const Case c : {Case{"9.8", 2}, Case{"32.2", 1}, Case{"10", 1}, Case{"9.99", 2}}) {
        QByteArray d = deck;
        d.replace("GRAVITY=9.8", QByteArray("GRAVITY=") + c.gravity);
        WriteBytes(Path(QStringLiteral("u2.vtd")), d);
        H().OpenProject(Path(QStringLiteral("u2.vtd")));
        EXPECT_EQ(P().UnitSystem, c.units) << c.gravity;
        EXPECT_EQ(H().D1().Units(), c.units) << c.gravity;
    }
    // Without MATRIX the next line is the gravity line.
    QByteArray d = deck;
    d.replace("MATRIX\r\n", "");
    WriteBytes(Path(QStringLiteral("u2.vtd")), d);
    H().OpenProject(Path(QStringLiteral("u2.vtd")));
    EXPECT_EQ(P().MatrixFlag, 0);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
}

TEST_F(ProjectFile, HalfSpaceWithoutLayers) {
    SaveAs(QStringLiteral("z.vtd"));
    QByteArray d = ReadBytes(Path(QStringLiteral("z.vtd")));
    d.replace("CONSTANTS=1\r\n1 0 0 0 0 0 0 0 0 0.1\r\n", "CONSTANTS=0\r\n");
    WriteBytes(Path(QStringLiteral("z.vtd")), d);
    H().D1().SetRowCount(3);
    H().OpenProject(Path(QStringLiteral("z.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(), "");
    EXPECT_EQ(P().WeakZoneFlag, 1);
    EXPECT_EQ(H().D1().RowCount(), 1);
    EXPECT_EQ(H().D1().Cells(0, 0).AsFloat(), 0);
}

TEST_F(ProjectFile, PileWithoutInteraction) {
    Build(Foundation::Pile, Loading::Harmonic);
    P().InteractionFlag = 0;
    SaveAs(QStringLiteral("i.vtd"));
    EXPECT_FALSE(DeckLines(QStringLiteral("i.vtd")).contains(QStringLiteral("INTERACTION ")));
    H().OpenProject(Path(QStringLiteral("i.vtd")));
    EXPECT_EQ(P().InteractionFlag, 0);
    EXPECT_EQ(H().LastMessage().toStdString(), "");
}

// A failed save leaves the old files as they were and the project modified.
TEST_F(ProjectFile, FailedSaveKeepsThePreviousProject) {
    Build(Foundation::Pile, Loading::Harmonic);
    SaveAs(QStringLiteral("keep.vtd"));
    const QByteArray deck = ReadBytes(Path(QStringLiteral("keep.vtd")));
    const QByteArray mass = ReadBytes(Path(QStringLiteral("keep.vtm")));
    // The geometry file cannot be replaced: a folder stands in its place.
    QFile::remove(Path(QStringLiteral("keep.vtt")));
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("keep.vtt")));
    P().Title = QStringLiteral("changed");
    H().PileData().Cells(0, 0).SetAsFloat(7);
    H().MassCal().Cells(0, 0).SetAsFloat(7);
    try {
        P().SaveToFile();
        ADD_FAILURE() << "no error";
    } catch (const vortn::EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("keep.vtt"))) << e.what();
    }
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("keep.vtd"))), deck);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("keep.vtm"))), mass);
    EXPECT_TRUE(H().IsModified());
    // No temporary files stay behind.
    EXPECT_EQ(Files().size(), 2);
    // A folder that does not exist.
    P().FileName = Path(QStringLiteral("missing/job.vtd"));
    EXPECT_THROW(P().SaveToFile(), vortn::EInOutError);
    EXPECT_TRUE(H().IsModified());
}

// Damaged files: the reader's message and a usable project, never a crash.
TEST_F(ProjectFile, DamagedFilesGiveAMessageAndAUsableProject) {
    const Foundation foundations[] = {Foundation::HalfSpace, Foundation::Pile, Foundation::Stratum,
                                      Foundation::Multilayer};
    const Loading loadings[] = {Loading::Harmonic, Loading::Transient, Loading::Random};
    int messages = 0;
    H().OnShowMessage = [&](const QString&) { ++messages; };
    for (Foundation f : foundations)
        for (Loading l : loadings) {
            Build(f, l, true);
            P().SideCapFlag = 1;
            H().pilecapsoil().Cells(5, 0).SetAsFloat(0.3);
            SaveAs(QStringLiteral("ok.vtd"));
            const QStringList lines = DeckLines(QStringLiteral("ok.vtd"));
            auto check = [&](const QByteArray& data, bool expectMessage, const std::string& what) {
                WriteBytes(Path(QStringLiteral("bad.vtd")), data);
                const int before = messages;
                H().OpenProject(Path(QStringLiteral("bad.vtd")));
                if (expectMessage) {
                    EXPECT_EQ(messages, before + 1) << what;
                }
                for (TGridTable* t : H().Tables()) EXPECT_GE(t->RowCount(), t->MinRows()) << what;
                EXPECT_FALSE(H().IsModified()) << what;
                // The project is usable: it saves and reads again.
                P().FileName = Path(QStringLiteral("again.vtd"));
                P().SaveToFile();
                H().OpenProject(Path(QStringLiteral("again.vtd")));
                EXPECT_EQ(H().LastMessage().toStdString(), "") << what;
                H().ShowMessage(QString());
            };
            // Cut short after every line (the last lines after RUN are optional).
            const qsizetype run = lines.indexOf(QStringLiteral("RUN "));
            for (qsizetype n = 0; n <= run; ++n) {
                QByteArray d;
                for (qsizetype i = 0; i < n; ++i) d += lines[i].toLatin1() + "\r\n";
                check(d, true, std::string(Word(f)) + " cut after line " + std::to_string(n));
            }
            // A malformed number on every line that holds one.
            for (qsizetype n = 1; n < lines.size(); ++n) {
                QStringList copy = lines;
                QString& line = copy[n];
                const qsizetype digit = line.indexOf(QRegularExpression(QStringLiteral("[0-9]")));
                if (digit < 0) continue;
                line.replace(digit, 1, QLatin1Char('x'));
                QByteArray d;
                for (const QString& s : copy) d += s.toLatin1() + "\r\n";
                check(d, false, std::string(Word(f)) + " bad number on line " + std::to_string(n + 1));
            }
            // Huge counts are refused, not allocated.
            QByteArray d = ReadBytes(Path(QStringLiteral("ok.vtd")));
            QByteArray big = d;
            big.replace("CONSTANTS \r\n64 \r\n", "CONSTANTS \r\n2000000000 \r\n");
            big.replace("\r\n20 \r\n10 \r\n", "\r\n2000000000 \r\n10 \r\n");
            big.replace("LAYERS=2", "LAYERS=999999999");
            big.replace("CONSTANTS=1\r\n", "CONSTANTS=999999\r\n");
            big.replace("CONSTANTS=2\r\n", "CONSTANTS=-2\r\n");
            check(big, d != big, std::string(Word(f)) + " huge counts");
        }
    // Not a project file at all, an empty file, a missing file.
    for (const QByteArray& d : {QByteArray("hello\r\nworld\r\n"), QByteArray(), QByteArray("\x01\x02\xff\x00zz", 7)}) {
        WriteBytes(Path(QStringLiteral("bad.vtd")), d);
        const int before = messages;
        H().OpenProject(Path(QStringLiteral("bad.vtd")));
        EXPECT_EQ(messages, before + 1);
        EXPECT_EQ(P().FoundationWord.toStdString(), "HALF-SPACE");
    }
    H().OpenProject(Path(QStringLiteral("nothing-here.vtd")));
    EXPECT_FALSE(H().LastMessage().isEmpty());
}

TEST_F(ProjectFile, MalformedNumberMessageNamesLineAndItem) {
    SaveAs(QStringLiteral("n.vtd"));
    QByteArray d = ReadBytes(Path(QStringLiteral("n.vtd")));
    d.replace("0 0 0 0 0 0 0\r\n", "0 0 x 0 0 0 0\r\n");
    WriteBytes(Path(QStringLiteral("n.vtd")), d);
    H().OpenProject(Path(QStringLiteral("n.vtd")));
    EXPECT_EQ(H().LastMessage().toStdString(),
              "Error on Line 7 Item 3\rA floating point number was expected but not found.");
    EXPECT_EQ(P().Title.toStdString(), "New Pile");
    EXPECT_EQ(P().UnitSystem, 2);
}

}  // namespace
}  // namespace project_test
