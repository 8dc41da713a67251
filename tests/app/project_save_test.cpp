// Saving a project: what the reader accepts is saved so that it reopens with
// the same values, a value that cannot be written stops the save, and the
// three files are replaced as a whole or not at all.
#include "exceptions.h"
#include "file_set_writer.h"
#include "project_fixture.h"

#include <QDir>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>

namespace project_test {
namespace {

using ProjectSave = ProjectTest;

// Saves, reopens and saves again: the project read back equals the one
// saved, and the second save writes the same deck.
void ExpectReopensTheSame(TProjectHolder& h, const QString& path) {
    h.Project().FileName = path;
    h.Project().SaveToFile();
    const QStringList before = Dump(h);
    const QByteArray first = ReadBytes(path);
    h.OpenProject(path);
    EXPECT_EQ(h.LastMessage().toStdString(), "");
    EXPECT_EQ(Dump(h).join(QLatin1Char('\n')).toStdString(), before.join(QLatin1Char('\n')).toStdString());
    h.Project().SaveToFile();
    EXPECT_EQ(ReadBytes(path).toStdString(), first.toStdString());
}

struct RoundTripCase {
    const char* name;
    Foundation foundation;
    Loading loading;
    std::function<void(TProjectHolder&)> change;
};

class SaveAndReopen : public ProjectTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(SaveAndReopen, GivesTheSameValues) {
    const RoundTripCase& c = GetParam();
    Build(c.foundation, c.loading);
    c.change(H());
    ExpectReopensTheSame(H(), Path(QStringLiteral("rt.vtd")));
}

const Extended kMax = std::numeric_limits<Extended>::max();

INSTANTIATE_TEST_SUITE_P(
    Projects, SaveAndReopen,
    ::testing::Values(
        RoundTripCase{"values_near_the_largest_extended", Foundation::Pile, Loading::Harmonic,
                      [](TProjectHolder& h) {
                          h.Project().Length = 1.18973149e4932L;
                          h.Project().Fx = -kMax;
                          h.Project().StaticLoad = kMax;
                          h.PileData().Cells(3, 1).SetAsFloat(kMax);
                          h.MassCal().Cells(6, 0).SetAsFloat(1.18973149e4932L);
                          h.Project().CGx = kMax;
                      }},
        RoundTripCase{"values_near_the_smallest_normal_extended", Foundation::Stratum, Loading::Harmonic,
                      [](TProjectHolder& h) {
                          h.Project().BaseDepth = std::numeric_limits<Extended>::min();
                          h.Project().Fz = -std::numeric_limits<Extended>::min();
                      }},
        RoundTripCase{"title_outside_latin1", Foundation::HalfSpace, Loading::Harmonic,
                      [](TProjectHolder& h) {
                          h.Project().Title = QString::fromUtf8("\u0424\u0443\u043d\u0434\u0430\u043c\u0435\u043d\u0442 "
                                                                "\u03a9 \u57fa\u790e \u20ac \U0001F3D7 B\u00f6den");
                      }},
        // The pile length drawn in the geometry file defaults to twice the
        // length, beyond the Extended range here: without piles that does
        // not stop the save.
        RoundTripCase{"half_space_too_long_for_its_drawn_pile_length", Foundation::HalfSpace, Loading::Harmonic,
                      [](TProjectHolder& h) {
                          h.Project().Length = 1e4932L;
                          h.Project().PileLength = 0;
                      }},
        RoundTripCase{"stratum_too_wide_for_its_drawn_pile_length", Foundation::Stratum, Loading::Harmonic,
                      [](TProjectHolder& h) {
                          h.Project().CircularFlag = 1;
                          h.Project().Radius = -1e4932L;
                          h.Project().PileLength = 0;
                      }},
        RoundTripCase{"multilayer_with_a_zero_velocity_layer_last", Foundation::Multilayer, Loading::Harmonic,
                      [](TProjectHolder& h) {
                          SetRow(h.D(), 1, {0, 0, 0, 0, 0});
                          SetRow(h.Multisoil(), 0, {0, 0, 0, 0, 0, 0});
                      }}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.name); });

// Piles of no length typed: the geometry file draws them twice the footing
// long, but the deck keeps the length as typed, on the first save and on
// every one after it, and so does the project.
class UntypedPileLength : public ProjectTest, public ::testing::WithParamInterface<Foundation> {};

TEST_P(UntypedPileLength, StaysAsTypedOverSaves) {
    Build(GetParam(), Loading::Harmonic);
    P().PileLength = 0;
    SaveAs(QStringLiteral("p.vtd"));
    EXPECT_EQ(P().PileLength, 0);
    const QByteArray deck = ReadBytes(Path(QStringLiteral("p.vtd")));
    P().SaveToFile();
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("p.vtd"))), deck);
}

INSTANTIATE_TEST_SUITE_P(DeckCarriesIt, UntypedPileLength, ::testing::Values(Foundation::Pile, Foundation::Multilayer),
                         [](const ::testing::TestParamInfo<Foundation>& info) {
                             return std::string(info.param == Foundation::Pile ? "Pile" : "Multilayer");
                         });

// A MULTILAYER file whose soil block has no adjacent layers keeps every
// soil-column layer over any number of saves, a blank last one too (the
// empty adjacent layer the table keeps is not written in front of them).
class MultilayerWithoutAdjacentLayers : public ProjectTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MultilayerWithoutAdjacentLayers, KeepsItsSoilColumn) {
    const bool blankLast = GetParam();
    Build(Foundation::Multilayer, Loading::Harmonic);
    H().D().SetRowCount(0);
    TGridTable& s = H().Multisoil();
    s.SetRowCount(3);
    for (int r = 0; r < 3; ++r) SetRow(s, r, {200.0L + r, 18, 0.3L, 0.05L, 0, 0.02L});
    if (blankLast) SetRow(s, 2, {0, 0, 0, 0, 0, 0});
    SaveAs(QStringLiteral("m.vtd"));
    const QStringList lines = DeckLines(QStringLiteral("m.vtd"));
    ASSERT_TRUE(lines.contains(QStringLiteral("CONSTANTS=0")));
    EXPECT_FALSE(lines.contains(QStringLiteral("WEAK ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("1 200 18 0.3 0.05 0 0.02")));
    EXPECT_TRUE(lines.contains(blankLast ? QStringLiteral("3 0 0 0 0 0 0") : QStringLiteral("3 202 18 0.3 0.05 0 0.02")));
    for (int save = 0; save < 3; ++save) {
        H().OpenProject(Path(QStringLiteral("m.vtd")));
        ASSERT_EQ(H().LastMessage().toStdString(), "");
        EXPECT_EQ(H().D().RowCount(), 1);  // the one empty row every table keeps
        ASSERT_EQ(H().Multisoil().RowCount(), 3);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(H().Multisoil().Cells(0, r).AsFloat(), blankLast && r == 2 ? 0 : 200 + r);
        const QStringList read = Dump(H());
        P().SaveToFile();
        EXPECT_EQ(DeckLines(QStringLiteral("m.vtd")), lines);
        H().OpenProject(Path(QStringLiteral("m.vtd")));
        EXPECT_EQ(Dump(H()), read);
    }
}

INSTANTIATE_TEST_SUITE_P(SoilColumns, MultilayerWithoutAdjacentLayers, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "last_layer_blank" : "every_layer_with_data");
                         });

// A value the file cannot carry stops the save before anything is written:
// the message names the field, the old files and the project stay.
struct RefusalCase {
    const char* name;
    Foundation foundation;
    Loading loading;
    std::function<void(TProjectHolder&)> change;
    const char* field;
};

class SaveRefuses : public ProjectTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SaveRefuses, ValuesWithoutANumberToWrite) {
    const RefusalCase& c = GetParam();
    Build(c.foundation, c.loading);
    SaveAs(QStringLiteral("r.vtd"));
    const QByteArray deck = ReadBytes(Path(QStringLiteral("r.vtd")));
    const QByteArray mass = ReadBytes(Path(QStringLiteral("r.vtm")));
    const QByteArray geometry = ReadBytes(Path(QStringLiteral("r.vtt")));
    c.change(H());
    const uint8_t weak = P().WeakZoneFlag, battered = P().BatteredFlag;
    const Extended pileLength = P().PileLength, depth = P().TotalSoilDepth;
    try {
        P().SaveToFile();
        ADD_FAILURE() << "saved";
    } catch (const vortn::EInOutError& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("The project was not saved: "))) << e.what();
        EXPECT_TRUE(e.Message().contains(QLatin1String(c.field))) << e.what();
        EXPECT_FALSE(e.Message().contains(QLatin1String("INF"))) << e.what();
    }
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("r.vtd"))), deck);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("r.vtm"))), mass);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("r.vtt"))), geometry);
    EXPECT_EQ(Files().size(), 3);
    EXPECT_TRUE(H().IsModified());
    EXPECT_EQ(P().WeakZoneFlag, weak);
    EXPECT_EQ(P().BatteredFlag, battered);
    EXPECT_EQ(P().PileLength, pileLength);
    EXPECT_EQ(P().TotalSoilDepth, depth);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SaveRefuses,
    ::testing::Values(
        RefusalCase{"weak_zone_value_of_a_huge_damping", Foundation::Pile, Loading::Harmonic,
                    [](TProjectHolder& h) { h.D().Cells(3, 1).SetAsFloat(kMax); },
                    "the weak-zone value 2 x \"Material damping\" in row 2 of the table \"Soil Properties\""},
        RefusalCase{"half_space_weak_zone_value", Foundation::HalfSpace, Loading::Harmonic,
                    [](TProjectHolder& h) { h.D1().Cells(4, 0).SetAsFloat(-kMax); }, "the weak-zone value 2 x"},
        RefusalCase{"frequency_in_rad_per_second", Foundation::Stratum, Loading::Harmonic,
                    [](TProjectHolder& h) { h.Project().MaxFrequency = kMax; }, "the maximum frequency in rad/s"},
        RefusalCase{"random_frequency", Foundation::HalfSpace, Loading::Random,
                    [](TProjectHolder& h) { h.Project().RandomMinFrequency = kMax / 2; },
                    "the minimum frequency in rad/s"},
        RefusalCase{"total_soil_depth", Foundation::HalfSpace, Loading::Harmonic,
                    [](TProjectHolder& h) {
                        h.D1().SetRowCount(2);
                        h.D1().Cells(0, 0).SetAsFloat(kMax);
                        h.D1().Cells(0, 1).SetAsFloat(kMax);
                    },
                    "the total soil depth (the sum of \"Thickness\" over the rows of the table \"Soil Layer Data\")"},
        RefusalCase{"default_pile_length", Foundation::Pile, Loading::Harmonic,
                    [](TProjectHolder& h) {
                        h.Project().Length = kMax;
                        h.Project().PileLength = 0;  // the geometry file's default is twice the length
                    },
                    "twice the footing length (the pile length drawn)"},
        RefusalCase{"default_pile_length_of_a_circular_footing", Foundation::Multilayer, Loading::Harmonic,
                    [](TProjectHolder& h) {
                        h.Project().CircularFlag = 1;
                        h.Project().Radius = kMax / 2;
                        h.Project().PileLength = 0;
                    },
                    "three times the footing radius (the pile length drawn)"},
        RefusalCase{"value_not_a_number", Foundation::Pile, Loading::Transient,
                    [](TProjectHolder& h) { h.Project().TimeInterval = std::nanl(""); }, "the time interval is not a number"},
        RefusalCase{"centre_of_gravity", Foundation::Multilayer, Loading::Harmonic,
                    [](TProjectHolder& h) { h.Project().CGy = std::numeric_limits<Extended>::infinity(); },
                    "the centre of gravity y"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// A number of points the reader would refuse on reopening.
INSTANTIATE_TEST_SUITE_P(
    Counts, SaveRefuses,
    ::testing::Values(RefusalCase{"negative_transient_points", Foundation::HalfSpace, Loading::Transient,
                                  [](TProjectHolder& h) { h.Project().NumberOfPoints = -5; },
                                  "the number of points (-5) must lie between 0 and 100000"},
                      RefusalCase{"too_many_random_points", Foundation::Pile, Loading::Random,
                                  [](TProjectHolder& h) { h.Project().NumberOfPoints = 100001; },
                                  "the number of points (100001) must lie between 0 and 100000"}),
    [](const auto& info) { return std::string(info.param.name); });

// The file system calls of the save, made to fail one at a time.
class FailingCalls {
public:
    FailingCalls() = default;
    ~FailingCalls() {
        vortn::FileSetCalls().rename = nullptr;
        vortn::FileSetCalls().write = nullptr;
    }
    // The rename onto a target whose name ends with `suffix` fails.
    void FailRenameOnto(const QString& suffix, int error) {
        vortn::FileSetCalls().rename = [suffix, error](const char* from, const char* to) {
            if (QFile::decodeName(to).endsWith(suffix) && QFile::decodeName(from).endsWith(QLatin1String("~n"))) {
                errno = error;
                return -1;
            }
            return std::rename(from, to);
        };
    }
    void FailWrite(int error) {
        vortn::FileSetCalls().write = [error](int, const void*, size_t) -> ssize_t {
            errno = error;
            return -1;
        };
    }
};

struct ReplaceCase {
    const char* name;
    const char* failing;  // the file whose replacement fails
    bool write;           // its contents cannot be written (else its rename fails)
    int error;
    const char* cause;
};

class SaveReplacesAllOrNothing : public ProjectTest, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(SaveReplacesAllOrNothing, OldFilesStayWhenOneCannotBeReplaced) {
    const ReplaceCase& c = GetParam();
    Build(Foundation::Pile, Loading::Transient, true);
    SaveAs(QStringLiteral("job.vtd"));
    const QByteArray deck = ReadBytes(Path(QStringLiteral("job.vtd")));
    const QByteArray mass = ReadBytes(Path(QStringLiteral("job.vtm")));
    const QByteArray geometry = ReadBytes(Path(QStringLiteral("job.vtt")));
    P().Title = QStringLiteral("changed");
    H().PileData().Cells(0, 0).SetAsFloat(7);
    H().MassCal().Cells(0, 0).SetAsFloat(7);
    {
        FailingCalls calls;
        if (c.write)
            calls.FailWrite(c.error);
        else
            calls.FailRenameOnto(QLatin1String(c.failing), c.error);
        try {
            P().SaveToFile();
            ADD_FAILURE() << "saved";
        } catch (const vortn::EInOutError& e) {
            const QString expected = QStringLiteral("Cannot write file %1: %2")
                                         .arg(QDir::toNativeSeparators(Path(QLatin1String("job") + c.failing)),
                                              QLatin1String(c.cause));
            EXPECT_EQ(e.Message().toStdString(), expected.toStdString());
        }
    }
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("job.vtd"))), deck);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("job.vtm"))), mass);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("job.vtt"))), geometry);
    EXPECT_EQ(Files().size(), 3);  // nothing left aside
    EXPECT_TRUE(H().IsModified());
    // Once the calls work again, the save goes through.
    P().SaveToFile();
    EXPECT_FALSE(H().IsModified());
    EXPECT_NE(ReadBytes(Path(QStringLiteral("job.vtd"))), deck);
    EXPECT_EQ(Files().size(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, SaveReplacesAllOrNothing,
    ::testing::Values(ReplaceCase{"last_rename", ".vtd", false, EIO, "Input/output error"},
                      ReplaceCase{"second_rename", ".vtt", false, EACCES, "Permission denied"},
                      ReplaceCase{"first_rename", ".vtm", false, EXDEV, "Invalid cross-device link"},
                      ReplaceCase{"full_disk", ".vtm", true, ENOSPC, "No space left on device"}),
    [](const ::testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

// A project saved for the first time (no old files) leaves nothing behind
// when its last rename fails.
TEST_F(ProjectSave, FirstSaveLeavesNoFileWhenTheLastRenameFails) {
    Build(Foundation::HalfSpace, Loading::Harmonic);
    FailingCalls calls;
    calls.FailRenameOnto(QStringLiteral(".vtd"), EIO);
    P().FileName = Path(QStringLiteral("new.vtd"));
    EXPECT_THROW(P().SaveToFile(), vortn::EInOutError);
    EXPECT_TRUE(Files().isEmpty());
}

}  // namespace
}  // namespace project_test
