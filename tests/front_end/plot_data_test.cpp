// Loading the engine's plot-data file into the result plots.
#include "front_end_fixture.h"
#include "plot_data_loader.h"

#include <QDateTime>
#include <QFile>
#include <QTextStream>

using namespace vortn;
using namespace vortn::test;

namespace {

// A plot-data file as the engine writes it: value k of record j is
// 100 * (j + 1) + k, frequencies (j + 1) Hz in rad/s.
QString MakePlotData(int n, bool matrix, bool harmonic) {
    QString text = QStringLiteral("          %1\n").arg(n);
    for (int j = 0; j < n && matrix; ++j)
        for (int rec = 0; rec < 2; ++rec) {
            text += QString::asprintf(" %10.3E", (j + 1) * 6.2832);
            for (int k = 1; k <= 8; ++k) text += QString::asprintf(" %10.3E", (rec + 1) * (100.0 * (j + 1) + k));
            text += QLatin1Char('\n');
        }
    for (int j = 0; j < n && harmonic; ++j) {
        text += QString::asprintf(" %7.2f  ", (j + 1) * 6.2832);
        for (int k = 1; k <= 6; ++k) text += QString::asprintf(" %11.4E", (100.0 * (j + 1) + k) * 1e-6);
        text += QLatin1Char('\n');
    }
    return text;
}

struct LoadCase {
    const char* label;
    int points;
    int matrix;
    int loading;  // 1 harmonic, 2 transient, 3 random
};
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.label; }

class PlotDataFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TResultPlots plots;
    QString Write(const QString& text) {
        const QString name = dir.filePath(QStringLiteral("p.vtp"));
        QFile f(name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toLatin1());
        return name;
    }
};

class PlotDataLoad : public PlotDataFiles, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(PlotDataLoad, FillsThePlotsTheFileHolds) {
    const LoadCase& c = GetParam();
    // An earlier load with more points must leave nothing behind.
    ReadPlotData(plots, Write(MakePlotData(7, true, true)), 1, 1, 1);
    ReadPlotData(plots, Write(MakePlotData(c.points, c.matrix > 0, c.loading == 1)), c.matrix, c.loading, 2);

    const int n = c.points;
    EXPECT_EQ(plots.pltRealKXX().PointCount(), n);
    EXPECT_EQ(plots.MatrixFlag(), c.matrix);
    EXPECT_EQ(plots.LoadingCode(), c.loading);
    for (TGraphPlot* p : plots.All()) EXPECT_EQ(p->Units(), 2) << p->Name.toStdString();
    if (n <= 1) {
        // Only the first plot is sized; nothing more is read.
        EXPECT_EQ(plots.pltRealKYY().PointCount(), 0);
        EXPECT_EQ(plots.pltDxyzR().PointCount(), 0);
        return;
    }
    EXPECT_EQ(plots.pltDxyzR().PointCount(), n);
    EXPECT_EQ(plots.pltMxyzR().PointCount(), n);
    if (c.matrix) {
        ASSERT_EQ(plots.pltRealKXX().LineCount(), 3);
        EXPECT_EQ(plots.pltRealKXX().LineNames, (QStringList{"Kxx", "Kyy", "Kww"}));
        EXPECT_EQ(plots.pltDampCPPX().LineNames, (QStringList{"Cppx", "Cppy", "Czt"}));
        for (int j = 0; j < n; ++j) {
            EXPECT_NEAR(double(plots.pltRealKXX().Points(0, j).X), j + 1, 1e-3);
            EXPECT_NEAR(double(plots.pltRealKXX().Points(0, j).Y), 100.0 * (j + 1) + 1, 0.5);
            EXPECT_NEAR(double(plots.pltRealKXX().Points(2, j).Y), 100.0 * (j + 1) + 3, 0.5);   // Kww
            EXPECT_NEAR(double(plots.pltRealKPPX().Points(1, j).Y), 100.0 * (j + 1) + 5, 0.5);  // Kppy
            EXPECT_NEAR(double(plots.pltRealKYP().Points(0, j).Y), 100.0 * (j + 1) + 8, 0.5);
            EXPECT_NEAR(double(plots.pltDampCXX().Points(1, j).Y), 2 * (100.0 * (j + 1) + 2), 1);  // Cyy
            EXPECT_NEAR(double(plots.pltDampCYP().Points(0, j).Y), 2 * (100.0 * (j + 1) + 8), 1);
        }
    } else {
        EXPECT_EQ(plots.pltRealKXX().LineCount(), 1);
        EXPECT_EQ(plots.pltRealKYY().PointCount(), 0);
    }
    if (c.loading == 1) {
        EXPECT_EQ(plots.pltDxyzR().LineNames, (QStringList{"X-Dir.", "Y-Dir.", "Z-Dir."}));
        EXPECT_EQ(plots.pltMxyzR().LineNames, (QStringList{"About X-Dir.", "About Y-Dir.", "About Z-Dir"}));
        for (int j = 0; j < n; ++j) {
            EXPECT_NEAR(double(plots.pltDxyzR().Points(1, j).X), j + 1, 1e-2);
            EXPECT_NEAR(double(plots.pltDxyzR().Points(1, j).Y), (100.0 * (j + 1) + 2) * 1e-6, 1e-9);
            EXPECT_NEAR(double(plots.pltMxyzR().Points(2, j).Y), (100.0 * (j + 1) + 6) * 1e-6, 1e-9);
        }
    } else {
        // Transient and random runs size the response plots and read nothing into them.
        EXPECT_EQ(plots.pltDxyzR().Points(0, n - 1).Y, 0);
        EXPECT_TRUE(plots.pltDxyzR().LineNames.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PlotDataLoad,
                         ::testing::Values(LoadCase{"NoPoints", 0, 1, 1}, LoadCase{"OnePoint", 1, 1, 1},
                                           LoadCase{"HarmonicMatrix", 5, 1, 1}, LoadCase{"HarmonicOnly", 5, 0, 1},
                                           LoadCase{"TransientMatrix", 4, 1, 2}, LoadCase{"TransientOnly", 4, 0, 2},
                                           LoadCase{"RandomMatrix", 3, 1, 3}, LoadCase{"RandomOnly", 3, 0, 3}),
                         [](const auto& info) { return std::string(info.param.label); });

struct DamagedCase {
    const char* label;
    const char* text;
};
void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.label; }

class PlotDataDamaged : public PlotDataFiles, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(PlotDataDamaged, IsAReadingErrorAndLeavesThePlotsEmpty) {
    ReadPlotData(plots, Write(MakePlotData(3, true, true)), 1, 1, 1);
    const QString name = Write(QLatin1String(GetParam().text));
    EXPECT_THROW(ReadPlotData(plots, name, 1, 1, 1), EInOutError);
    for (TGraphPlot* p : plots.All()) EXPECT_EQ(p->LineCount(), 0) << p->Name.toStdString();
    EXPECT_EQ(plots.MatrixFlag(), 0);
}

const QString kGoodStiff =
        QStringLiteral(" 0.628E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01\n");
const std::string kTwoGood = (QStringLiteral("2\n") + kGoodStiff + kGoodStiff + kGoodStiff + kGoodStiff).toStdString();
const std::string kShortRecord = (QStringLiteral("2\n") + kGoodStiff + kGoodStiff + kGoodStiff +
                                  QStringLiteral(" 0.628E+01 0.1E+01 0.1E+01\n") + QStringLiteral("x\nx\n"))
                                         .toStdString();
const std::string kStars = (QStringLiteral("2\n") + kGoodStiff + kGoodStiff + kGoodStiff + kGoodStiff +
                            QStringLiteral(" *******   0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01\n") +
                            QStringLiteral("    6.28   0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01 0.1E+01\n"))
                                   .toStdString();

INSTANTIATE_TEST_SUITE_P(Files, PlotDataDamaged,
                         ::testing::Values(DamagedCase{"Empty", ""}, DamagedCase{"NegativeCount", "-5\n"},
                                           DamagedCase{"HugeCount", "2000000000\n 1 2 3\n"},
                                           DamagedCase{"CountNotANumber", "abc\n"},
                                           DamagedCase{"FractionalCount", "2.5\n"},
                                           DamagedCase{"TwoFieldsOnCountLine", "2 3\n"},
                                           DamagedCase{"ShortFile", kTwoGood.c_str()},  // response records missing
                                           DamagedCase{"RecordOfWrongLength", kShortRecord.c_str()},
                                           DamagedCase{"Asterisks", kStars.c_str()}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- through the main window ----

class MainFormPlotData : public FrontEndFixture {};

TEST_F(MainFormPlotData, OpeningAProjectLoadsItsPlotDataWithTheProjectsFlags) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    QFile f(Path(QStringLiteral("project-half-space.vtp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(MakePlotData(4, true, true).toLatin1());
    f.close();
    Form().OpenFileName(project);
    EXPECT_TRUE(Form().ResultsLoaded());
    EXPECT_EQ(Form().Plots().pltDxyzR().PointCount(), 4);
    EXPECT_TRUE(messages_.isEmpty());
}

// Plot data older than the project file (a run killed with the program
// leaves the last completed run's beside the input it was started with):
// loaded, with a word that they are the last completed run's.
TEST_F(MainFormPlotData, ResultsOlderThanTheProjectAreSaidToBeTheLastCompletedRuns) {
    for (const bool older : {true, false}) {
        SCOPED_TRACE(older ? "older" : "newer");
        messages_.clear();
        const QString project = CopyExample(QStringLiteral("project-half-space"));
        const QString vtp = Path(QStringLiteral("project-half-space.vtp"));
        QFile f(vtp);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(MakePlotData(4, true, true).toLatin1());
        f.close();
        const QDateTime run = QDateTime::currentDateTime().addSecs(-3600);
        const QDateTime saved = run.addSecs(older ? 60 : -60);
        {
            QFile touch(vtp);
            ASSERT_TRUE(touch.open(QIODevice::ReadWrite));
            ASSERT_TRUE(touch.setFileTime(run, QFileDevice::FileModificationTime));
            QFile deck(project);
            ASSERT_TRUE(deck.open(QIODevice::ReadWrite));
            ASSERT_TRUE(deck.setFileTime(saved, QFileDevice::FileModificationTime));
        }
        Form().OpenFileName(project);
        EXPECT_TRUE(Form().ResultsLoaded());
        EXPECT_EQ(Form().Plots().pltDxyzR().PointCount(), 4);
        if (older) {
            ASSERT_EQ(messages_.size(), 1);
            EXPECT_TRUE(messages_[0].startsWith(
                    QLatin1String("The results shown (project-half-space.vtp) are those of the last completed run.")))
                    << messages_[0].toStdString();
        } else {
            EXPECT_TRUE(messages_.isEmpty()) << messages_.join(" | ").toStdString();
        }
        QFile::remove(vtp);
        QFile::remove(project);
    }
}

// A save that writes the input the results were computed from keeps them
// current; a save of another input does not.
TEST_F(MainFormPlotData, ASaveOfTheSameInputKeepsTheResultsCurrent) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    const QString vtp = Path(QStringLiteral("project-half-space.vtp"));
    QFile f(vtp);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(MakePlotData(4, true, true).toLatin1());
    f.close();
    {
        // The plot data written after the project, as a completed run leaves it.
        QFile deck(project);
        ASSERT_TRUE(deck.open(QIODevice::ReadWrite));
        ASSERT_TRUE(deck.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    messages_.clear();
    Form().OpenFileName(project);
    ASSERT_TRUE(Form().ResultsLoaded());
    ASSERT_TRUE(messages_.isEmpty()) << messages_.join(" | ").toStdString();
    ASSERT_TRUE(Form().FileSaveClick());
    Form().OpenFileName(project);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(" | ").toStdString();
    Form().UnitsClick(1);  // the deck is written in other units
    ASSERT_TRUE(Form().FileSaveClick());
    Form().OpenFileName(project);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(QLatin1String("The results shown (project-half-space.vtp)")))
            << messages_[0].toStdString();
    QFile::remove(vtp);
    QFile::remove(project);
}

TEST_F(MainFormPlotData, ANewLoadClosesTheWindowsOfTheEarlierResults) {
    const QString vtp = Path(QStringLiteral("r.vtp"));
    QFile f(vtp);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(MakePlotData(6, true, true).toLatin1());
    f.close();
    Form().Project().MatrixFlag = 1;
    Form().Project().LoadingCode = 1;
    ASSERT_TRUE(Form().LoadPlotData(vtp, false));
    Form().ShowPlot(QStringLiteral("pltRealKXX"));
    Form().ShowPlot(QStringLiteral("pltDxyzR"));
    ASSERT_EQ(Form().MdiArea()->subWindowList().size(), 2);
    // The next results have no stiffness plots.
    QFile g(Path(QStringLiteral("r2.vtp")));
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(MakePlotData(6, false, true).toLatin1());
    g.close();
    Form().Project().MatrixFlag = 0;
    ASSERT_TRUE(Form().LoadPlotData(g.fileName(), false));
    EXPECT_TRUE(Form().MdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(Form().Plots().pltRealKXX().WindowExists());
    EXPECT_EQ(Form().Plots().pltRealKXX().LineCount(), 1);
}

TEST_F(MainFormPlotData, ADamagedFileSaysSoAndLoadsNothing) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    QFile f(Path(QStringLiteral("project-half-space.vtp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("-3\n");
    f.close();
    Form().OpenFileName(project);
    EXPECT_FALSE(Form().ResultsLoaded());
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QLatin1String("could not be read"))) << messages_[0].toStdString();
    EXPECT_FALSE(Form().LoadPlotData(Path(QStringLiteral("project-half-space.vtp")), true));
    EXPECT_EQ(messages_.last(), QStringLiteral("An error occured in running the main program."));
}

}  // namespace
