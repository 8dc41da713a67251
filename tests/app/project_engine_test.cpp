// End to end: projects built in code, saved by the writer and run through
// the engine library as the front-end runs it; and the example projects.
#include "project_fixture.h"

#include "deck_title.h"

#include "../engine/engine_harness.h"

#include <QDir>
#include <QRegularExpression>
#include <cmath>
#include <filesystem>

namespace project_test {
namespace {

namespace fs = std::filesystem;
using engine_harness::CallEngine;
using engine_harness::Lines;
using engine_harness::NamesDat;
using engine_harness::ReadText;
using engine_harness::WriteText;

struct EngineCase {
    Foundation foundation;
    Loading loading;
    bool battered;
    bool english = false;
};

std::string CaseName(const EngineCase& c) {
    std::string s = Word(c.foundation);
    s += std::string("_") + Name(c.loading);
    if (c.battered) s += "_battered";
    if (c.english) s += "_english";
    for (char& ch : s)
        if (ch == '-') ch = '_';
    return s;
}

class ProjectRun : public ProjectTest, public ::testing::WithParamInterface<EngineCase> {};

// The records of a plot-data file: the point count, then the rows.
std::vector<std::string> Records(const std::string& plot) {
    std::vector<std::string> out;
    for (const std::string& l : Lines(plot))
        if (l.find_first_not_of(" \r") != std::string::npos) out.push_back(l);
    return out;
}

TEST_P(ProjectRun, EngineRunsTheSavedProject) {
    const EngineCase c = GetParam();
    Build(c.foundation, c.loading, c.battered);
    if (c.english) P().SetUnits(1);
    const fs::path dir = fs::path(dir_.path().toStdString());
    SaveAs(QStringLiteral("job.vtd"));
    WriteText(dir / "names.dat", NamesDat(dir));
    const int code = CallEngine(dir);
    const std::string report = ReadText(dir / "job.vto");
    const std::string plot = ReadText(dir / "job.vtp");
    ASSERT_EQ(code, 0) << report;

    // The report holds what the project describes.
    const std::string word = Word(c.foundation);
    EXPECT_NE(report.find(" FOUNDATION TYPE - " + word), std::string::npos);
    EXPECT_NE(report.find("RECTANGULAR FOUNDATION"), std::string::npos);
    EXPECT_NE(report.find(" MASS COMPONENTS  NUMBER OF DEFINED MASSES -  2"), std::string::npos);
    EXPECT_NE(report.find(" STIFFNESS AND DAMPING CONSTANTS TO BE PRINTED"), std::string::npos);
    EXPECT_NE(report.find(c.english ? " GRAVITATIONAL CONSTANT SET TO  32.20" : " GRAVITATIONAL CONSTANT SET TO   9.80"),
              std::string::npos);
    EXPECT_EQ(report.find("ERROR"), std::string::npos) << report;
    EXPECT_EQ(report.find("UNRECOGNIZED"), std::string::npos) << report;
    EXPECT_EQ(report.find("WILL BE IGNORED"), std::string::npos) << report;
    if (c.foundation == Foundation::Pile) {
        EXPECT_NE(report.find(" LOCATION OF PILES"), std::string::npos);
    }
    if (c.battered) {
        EXPECT_NE(report.find(" BATTERED PILES"), std::string::npos);
    }
    const char* heading[] = {"HARMONIC LOAD, NON QUADRATIC", "HARMONIC LOAD, QUADRATIC", "TRANSIENT LOAD", "RANDOM LOAD"};
    EXPECT_NE(report.find(heading[int(c.loading)]), std::string::npos);
    // Frequencies reach the engine in rad/s: the echo gives back the Hz entered.
    if (c.loading == Loading::Random) {
        EXPECT_NE(report.find(" MAXIMUM FREQUENCY (Hz)  ........ 20.000"), std::string::npos);
        EXPECT_NE(report.find(" MINIMUM FREQUENCY (Hz) .........  1.000"), std::string::npos);
    }
    if (c.loading == Loading::Harmonic || c.loading == Loading::Quadratic) {
        EXPECT_NE(report.find(" MAXIMUM FREQUENCY .............. 4.000E+01 Hz"), std::string::npos);
    }
    // The heading prints the run's folder, whose random name may itself spell
    // "nan" or "inf": look for them in the report without it.
    std::string numbers = report;
    for (size_t at; (at = numbers.find(dir.string())) != std::string::npos;)
        numbers.erase(at, dir.string().size());
    for (const char* bad : {"NaN", "nan", "NAN", "Inf", "inf", "INF"}) {
        EXPECT_EQ(numbers.find(bad), std::string::npos) << bad;
        EXPECT_EQ(plot.find(bad), std::string::npos) << bad;
    }

    // Plot data: the point count, stiffness and damping per point, and the
    // response rows of a harmonic load.
    const std::vector<std::string> rec = Records(plot);
    ASSERT_FALSE(rec.empty());
    const int points = std::stoi(rec[0]);
    const bool harmonic = c.loading == Loading::Harmonic || c.loading == Loading::Quadratic;
    const int expectedPoints = harmonic ? 20 : c.loading == Loading::Transient ? 33 : 20;
    EXPECT_EQ(points, expectedPoints);
    EXPECT_EQ(int(rec.size()), 1 + 2 * points + (harmonic ? points : 0));
    // The first stiffness record starts at the lowest frequency in rad/s.
    const double firstOmega = std::stod(rec.at(1).substr(0, 11));
    const double expectedOmega = harmonic ? 2 * 6.28 : c.loading == Loading::Transient ? 0.01 : 6.28;
    EXPECT_NEAR(firstOmega, expectedOmega, 0.005 * expectedOmega);  // three digits
    if (harmonic) {
        // Response rows: frequency and six amplitudes; the vertical force
        // moves the footing.
        const std::string& last = rec.back();
        EXPECT_NEAR(std::stod(last.substr(0, 8)), 40 * 6.28, 0.01);
        std::istringstream s(last);
        double f, ux, uy, uz;
        s >> f >> ux >> uy >> uz;
        EXPECT_GT(uz, 0);
    }
}

std::vector<EngineCase> AllCases() {
    std::vector<EngineCase> out;
    for (Foundation f : {Foundation::HalfSpace, Foundation::Pile, Foundation::Stratum, Foundation::Multilayer})
        for (Loading l : {Loading::Harmonic, Loading::Quadratic, Loading::Transient, Loading::Random})
            out.push_back({f, l, false});
    out.push_back({Foundation::Pile, Loading::Harmonic, true});
    out.push_back({Foundation::HalfSpace, Loading::Quadratic, false, true});
    out.push_back({Foundation::Pile, Loading::Random, true, true});
    out.push_back({Foundation::Multilayer, Loading::Transient, false, true});
    return out;
}

INSTANTIATE_TEST_SUITE_P(AllTypes, ProjectRun, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<EngineCase>& i) { return CaseName(i.param); });

// A blank title must not make the engine take the next keyword as the title.
TEST_F(ProjectTest, BlankTitleKeepsTheDeckInStep) {
    for (const char* title : {"", "   ", "$", " , ="}) {
        for (int matrix : {1, 0}) {
            SCOPED_TRACE(std::string("title '") + title + "' matrix " + std::to_string(matrix));
            Build(Foundation::HalfSpace, Loading::Harmonic);
            P().Title = QString::fromLatin1(title);
            P().MatrixFlag = matrix;
            const fs::path dir = fs::path(dir_.path().toStdString());
            SaveAs(QStringLiteral("job.vtd"));
            const QStringList lines = DeckLines(QStringLiteral("job.vtd"));
            EXPECT_TRUE(lines[0].startsWith(QStringLiteral("TITLE=Untitled"))) << lines[0].toStdString();
            WriteText(dir / "names.dat", NamesDat(dir));
            ASSERT_EQ(CallEngine(dir), 0);
            const std::string report = ReadText(dir / "job.vto");
            EXPECT_EQ(report.find(" STIFFNESS AND DAMPING CONSTANTS TO BE PRINTED") != std::string::npos, matrix == 1);
            EXPECT_EQ(Records(ReadText(dir / "job.vtp")).size(), size_t(1 + (matrix ? 40 : 0) + 20));
        }
    }
    // A comment sign no longer hides the rest of the title from the engine.
    P().Title = QStringLiteral("Compressor block $ 2");
    SaveAs(QStringLiteral("job.vtd"));
    EXPECT_EQ(DeckLines(QStringLiteral("job.vtd"))[0].toStdString(), "TITLE=Compressor block   2");
}

// The report's title line: a blank and the 80 columns of the title.
std::string ReportTitleLine(const QString& title) {
    std::string t = title.toUtf8().toStdString();
    t.resize(std::max<size_t>(t.size(), 80), ' ');
    return "\n " + t.substr(0, 80) + "\n";
}

// Titles the Project Title dialog accepts reach the report as typed; the
// writer makes the others readable, and the engine reads exactly what it wrote.
TEST_F(ProjectTest, TheEngineReportsTheTitleTheDeckCarries) {
    using vortn::DeckTitle, vortn::kDeckTitleBytes, vortn::TitleRefusal;
    const QString longest =
            QStringLiteral("Turbine pedestal on a mat; ") + QString(kDeckTitleBytes - 27, QLatin1Char('x'));
    const QStringList accepted = {QStringLiteral("R 2 m footing"),
                                  QStringLiteral("T-beam A - B (two units) x)"),
                                  QStringLiteral("a t b q"),
                                  QStringLiteral("  Indented title"),
                                  QStringLiteral("Fundament f\u00fcr Pumpe \u00e9t\u00e9"),
                                  QStringLiteral("No. 2m"),
                                  longest};
    const struct {
        const char* title;
        const char* named;    // what the refusal names
        const char* written;  // the title line's text
    } refused[] = {
            {"R=2 m footing", "\"=\"", "R 2 m footing"},
            {"Block 1, 2 and 3", "\",\"", "Block 1  2 and 3"},
            {"2*3 m", "\"*\"", "Project 2 3 m"},
            {"Cost $5", "\"$\"", "Cost  5"},
            {"Block2(3)", "\"2(\"", "Block2 (3)"},
            {"Mass T here", "\"T\"", "Mass t here"},
            {"Mass -H here", "\"-H\"", "Mass -h here"},
            {"2 m footing", "at the start", "Project 2 m footing"},
            {".5 m slab", "at the start", "Project .5 m slab"},
            {"Tab\there", "control characters", "Tab here"},
    };
    auto runWith = [&](const QString& title) {
        Build(Foundation::HalfSpace, Loading::Harmonic);
        P().Title = title;
        const fs::path dir = fs::path(dir_.path().toStdString());
        SaveAs(QStringLiteral("job.vtd"));
        WriteText(dir / "names.dat", NamesDat(dir));
        EXPECT_EQ(CallEngine(dir), 0);
        return ReadText(dir / "job.vto");
    };
    for (const QString& title : accepted) {
        SCOPED_TRACE(title.toStdString());
        EXPECT_EQ(TitleRefusal(title), QString());
        EXPECT_EQ(DeckTitle(title), title);
        const std::string report = runWith(title);
        EXPECT_NE(report.find(ReportTitleLine(title)), std::string::npos) << report.substr(0, 1200);
        EXPECT_EQ(report.find("UNRECOGNIZED"), std::string::npos);
    }
    for (const auto& c : refused) {
        const QString title = QString::fromUtf8(c.title);
        SCOPED_TRACE(c.title);
        EXPECT_TRUE(TitleRefusal(title).contains(QString::fromUtf8(c.named))) << TitleRefusal(title).toStdString();
        EXPECT_EQ(DeckTitle(title), QString::fromUtf8(c.written));
        EXPECT_EQ(TitleRefusal(DeckTitle(title)), QString());
        const std::string report = runWith(title);
        EXPECT_EQ(DeckLines(QStringLiteral("job.vtd"))[0], QStringLiteral("TITLE=") + QString::fromUtf8(c.written));
        EXPECT_NE(report.find(ReportTitleLine(QString::fromUtf8(c.written))), std::string::npos)
                << report.substr(0, 1200);
        EXPECT_EQ(report.find("UNRECOGNIZED"), std::string::npos);
    }
    // Too long: cut where the line ends, never inside a character.
    const QString tooLong = QString(kDeckTitleBytes - 1, QLatin1Char('a')) + QStringLiteral("\u00fc end");
    EXPECT_TRUE(TitleRefusal(tooLong).contains(QStringLiteral("more than 74"))) << TitleRefusal(tooLong).toStdString();
    EXPECT_EQ(DeckTitle(tooLong), QString(kDeckTitleBytes - 1, QLatin1Char('a')));
}

// ---- example projects, one per foundation type, written by the writer ----

const Foundation kExampleTypes[] = {Foundation::HalfSpace, Foundation::Pile, Foundation::Stratum,
                                    Foundation::Multilayer};

QString ExampleName(Foundation f) {
    return QStringLiteral("project-%1").arg(QString::fromLatin1(Word(f)).toLower());
}

using ExampleProjects = ProjectTest;

// Writes the example projects into a folder: examples/ itself when
// VORTN_REGENERATE_EXAMPLES is set (run this test alone to refresh them).
void WriteExamples(ProjectTest& t, const QString& folder, std::function<void(Foundation)> build,
                   std::function<TProgramData&()> project) {
    (void)t;
    for (Foundation f : kExampleTypes) {
        build(f);
        TProgramData& p = project();
        p.Title = QStringLiteral("Example %1 foundation with a harmonic load").arg(QString::fromLatin1(Word(f)).toLower());
        p.FileName = folder + QLatin1Char('/') + ExampleName(f) + QStringLiteral(".vtd");
        p.SaveToFile();
    }
}

TEST_F(ExampleProjects, AreWhatTheWriterWritesAndTheEngineRuns) {
    const QString examples = QStringLiteral(VORTN_EXAMPLES);
    auto build = [this](Foundation f) { Build(f, Loading::Harmonic, f == Foundation::Pile); };
    auto project = [this]() -> TProgramData& { return P(); };
    if (qEnvironmentVariableIsSet("VORTN_REGENERATE_EXAMPLES")) WriteExamples(*this, examples, build, project);
    WriteExamples(*this, dir_.path(), build, project);
    for (Foundation f : kExampleTypes) {
        const QString name = ExampleName(f);
        SCOPED_TRACE(name.toStdString());
        for (const char* ext : {".vtd", ".vtm", ".vtt"}) {
            const QByteArray stored = ReadBytes(examples + QLatin1Char('/') + name + QLatin1String(ext));
            ASSERT_FALSE(stored.isEmpty()) << "missing example " << name.toStdString() << ext
                                           << " (regenerate with VORTN_REGENERATE_EXAMPLES=1)";
            EXPECT_EQ(stored, ReadBytes(dir_.filePath(name + QLatin1String(ext)))) << ext;
        }
        // The stored example opens without a message and runs.
        H().OpenProject(examples + QLatin1Char('/') + name + QStringLiteral(".vtd"));
        EXPECT_EQ(H().LastMessage().toStdString(), "");
        EXPECT_EQ(P().FoundationWord.toStdString(), Word(f));
        const fs::path run = engine_harness::MakeTempDir();
        for (const char* ext : {".vtd", ".vtm"})
            fs::copy_file((examples + QLatin1Char('/') + name + QLatin1String(ext)).toStdString(),
                          run / (std::string("job") + ext));
        WriteText(run / "names.dat", NamesDat(run));
        EXPECT_EQ(CallEngine(run), 0) << ReadText(run / "job.vto");
        EXPECT_FALSE(ReadText(run / "job.vtp").empty());
        fs::remove_all(run);
    }
}

}  // namespace
}  // namespace project_test
