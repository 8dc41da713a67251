// Random command sequences on the real main window (command_sequence.h).
// The normal suite runs a fixed set of seeds (a fixed number of steps); the
// fuzz label runs more of them. Set by the environment:
//   VORTN_SEQUENCE_SEED   the first sequence's seed (default 1)
//   VORTN_SEQUENCE_COUNT  how many sequences (seeds SEED, SEED+1, ...)
//   VORTN_SEQUENCE_STEPS  steps per sequence (default 40)
//   VORTN_SEQUENCE_GO_ON  set: a failure is shrunk and printed and the run
//                         goes on with the next seed (long runs)
#include "command_sequence.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>

using namespace vortn::test;

namespace {

uint64_t Setting(const char* name, uint64_t fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

QString Listing(const std::vector<TStep>& steps) {
    QString out;
    for (std::size_t i = 0; i < steps.size(); ++i) out += QStringLiteral("  %1: %2\n").arg(i).arg(Describe(steps[i]));
    return out;
}

// VORTN_SEQUENCE_REPLAY names a file: its first line the example project,
// then one step a line as a failure printed them; the steps run traced.
TEST(CommandSequences, Replay) {
    const QString file = qEnvironmentVariable("VORTN_SEQUENCE_REPLAY");
    if (file.isEmpty()) GTEST_SKIP() << "VORTN_SEQUENCE_REPLAY not set";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    std::vector<TStep> steps;
    for (int i = 1; i < lines.size(); ++i)
        if (const auto s = ParseStep(lines[i])) steps.push_back(*s);
    if (qEnvironmentVariableIsSet("VORTN_SEQUENCE_SHRINK")) {
        auto failure = RunSequence(lines[0].trimmed(), steps);
        ASSERT_TRUE(failure);
        TSequenceFailure smallest = *failure;
        const std::vector<TStep> shrunk = ShrinkSequence(lines[0].trimmed(), steps, smallest);
        std::printf("smallest: %s: %s\n%s", qPrintable(smallest.check), qPrintable(smallest.detail),
                    qPrintable(Listing(shrunk)));
        return;
    }
    qputenv("VORTN_SEQUENCE_TRACE", "1");
    const auto failure = RunSequence(lines[0].trimmed(), steps);
    EXPECT_FALSE(failure) << failure->step << ": " << failure->check.toStdString() << ": "
                          << failure->detail.toStdString();
}

// The smallest sequences of the faults the random runs found, each of
// which failed before its mend.
struct FoundCase {
    const char* name;
    const char* project;
    std::vector<const char*> steps;
};
void PrintTo(const FoundCase& c, std::ostream* os) { *os << c.name; }

class FoundSequences : public ::testing::TestWithParam<FoundCase> {};

TEST_P(FoundSequences, NowKeepEveryInvariant) {
    std::vector<TStep> steps;
    for (const char* line : GetParam().steps) {
        const auto s = ParseStep(QString::fromLatin1(line));
        ASSERT_TRUE(s) << line;
        steps.push_back(*s);
    }
    const auto failure = RunSequence(QString::fromLatin1(GetParam().project), steps);
    EXPECT_FALSE(failure) << "step " << failure->step << ": " << failure->check.toStdString() << ": "
                          << failure->detail.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
        Mended, FoundSequences,
        ::testing::Values(
                // A row added to the soil column, then the Data menu opened: the
                // menu fits the column to the foundation layers and the open
                // editor kept showing the removed row.
                FoundCase{"SoilColumnFittedWhileItsEditorIsOpen",
                          "project-multilayer",
                          {"TypeInCell(a=56 b=17 c=37 d=46 answer=4000 text=\"593.51\")",
                           "RowCommand(a=14 b=42 c=8 d=49 answer=4000)", "DataItem(a=56 b=11 c=34 d=13 answer=4000)"}},
                // A multilayer pile length of 0 typed and saved: the project then
                // held the length the geometry file draws, the deck the typed 0.
                FoundCase{"UntypedPileLengthSaved",
                          "project-multilayer",
                          {"DataItem(a=16 b=21 c=53 d=16 answer=400000)",
                           "TypeInDialog(a=34 b=47 c=27 d=48 answer=10000 text=\"0\")",
                           "Save(a=42 b=11 c=63 d=47 answer=4000)"}},
                // A title the deck cannot carry, refused by Save with its
                // message: File > New was then refused in silence.
                FoundCase{"TitleRefusedForEveryCommand",
                          "project-half-space",
                          {"CellControl(a=40 b=62 c=52 d=23 answer=4000)",
                           "TypeInDialog(a=5 b=46 c=7 d=18 answer=10000 text=\"2\")",
                           "Save(a=36 b=44 c=43 d=16 answer=10000)", "New(a=17 b=30 c=23 d=6 answer=10000)"}},
                // The Data menu refused for the title the deck cannot carry, yet
                // its item opened the quadratic-load window, where the user
                // then typed while the title still held its refused entry.
                FoundCase{"DataItemWhileTheTitleIsRefused",
                          "project-pile",
                          {"DataItem(a=52 b=13 c=38 d=29 answer=4000)",
                           "TypeInDialog(a=5 b=23 c=42 d=44 answer=4000 text=\"100\")",
                           "DataItem(a=23 b=44 c=51 d=45 answer=10000)"}},
                // The same for a loading option: it closed the load dialogs.
                FoundCase{"LoadingOptionWhileTheTitleIsRefused",
                          "project-pile",
                          {"DataItem(a=52 b=13 c=38 d=29 answer=4000)",
                           "TypeInDialog(a=5 b=23 c=42 d=44 answer=4000 text=\"100\")",
                           "LoadingOption(a=1 b=0 c=0 d=0 answer=4000)"}},
                // The quadratic-load window (a window of its own) clicked while
                // the title held a refused entry: the title came back inside
                // the main window, but the quadratic-load window stayed the
                // active one and took what was typed next.
                FoundCase{"TopLevelWindowClickedWhileTheTitleIsRefused",
                          "project-pile",
                          {"DataItem(a=23 b=0 c=0 d=0 answer=4000)", "DataItem(a=52 b=0 c=0 d=0 answer=4000)",
                           "TypeInDialog(a=0 b=0 c=1 d=0 answer=4000 text=\"100\")",
                           "TypeInDialog(a=1 b=0 c=1 d=0 answer=4000 text=\"10^5000\")",
                           "Save(a=0 b=0 c=0 d=0 answer=4000)"}},
                // Delete Row clicked in a table editor while a dialog held a
                // refused entry: the dialog said so, and the row went all the
                // same.
                FoundCase{"RowCommandWhileADialogRefuses",
                          "project-pile",
                          {"TypeInCell(a=46 b=21 c=15 d=11 answer=10000 text=\"341.67\")",
                           "TypeInDialog(a=41 b=15 c=26 d=45 answer=4000 text=\"100\")",
                           "TypeInCell(a=52 b=27 c=19 d=37 answer=4000 text=\"10\")",
                           "TypeInDialog(a=40 b=24 c=5 d=59 answer=4000 text=\"1/0\")",
                           "RowCommand(a=20 b=44 c=20 d=12 answer=4000)"}},
                // A file read in part, then Save: asked for another name, the
                // project was saved under it (the tester had looked for the
                // save under the old name only).
                FoundCase{"SaveUnderAnotherNameOverAFileReadInPart",
                          "project-multilayer",
                          {"LoadingOption(a=49 b=38 c=29 d=60 answer=4000)", "Run(a=9 b=59 c=13 d=38 answer=4000)",
                           "Open(a=22 b=56 c=37 d=15 answer=10000)", "Save(a=29 b=13 c=47 d=22 answer=4000)"}},
                // An unchanged new project, a title the deck cannot carry, then
                // File > New: refused with its message, every window kept (the
                // tester had taken the new project left as it was for New's).
                FoundCase{"NewRefusedForTheTitleInAnUnchangedNewProject",
                          "project-stratum",
                          {"Exit(a=60 b=60 c=8 d=11 answer=4000)", "DataItem(a=62 b=33 c=25 d=13 answer=4000)",
                           "DataItem(a=30 b=13 c=3 d=22 answer=400000)", "CellControl(a=28 b=41 c=5 d=53 answer=10000)",
                           "TypeInDialog(a=33 b=7 c=62 d=20 answer=4000 text=\"10\")",
                           "New(a=10 b=5 c=32 d=9 answer=4000)"}},
                // A soil column row added, "1O" typed in its editor, then a
                // loading option: the Data menu refused the entry, then fitted
                // the soil column, which refilled the editor with the old
                // value; the option then went ahead.
                FoundCase{"LoadingOptionAfterTheSoilColumnRefused",
                          "project-multilayer",
                          {"CellControl(a=8 b=62 c=13 d=57 answer=4000)",
                           "TypeInDialog(a=27 b=35 c=62 d=5 answer=4000 text=\"5\")",
                           "RowCommand(a=35 b=60 c=17 d=4 answer=4000)",
                           "TypeInCell(a=11 b=38 c=44 d=39 answer=4000 text=\"1O\")",
                           "LoadingOption(a=13 b=63 c=40 d=36 answer=400000)"}},
                // "abc" typed in a dialog, then a click on that dialog's own
                // title bar: the dialog refused and stayed active (the tester
                // had taken its sub-window for another window).
                FoundCase{"RefusingDialogsOwnTitleBarClicked",
                          "project-half-space",
                          {"Open(a=27 b=36 c=55 d=41 answer=4000)",
                           "TypeInCell(a=32 b=13 c=49 d=51 answer=4000 text=\"285.18\")",
                           "TypeInDialog(a=47 b=57 c=32 d=26 answer=4000 text=\"164.67\")",
                           "Units(a=30 b=15 c=51 d=9 answer=400000)",
                           "TypeInDialog(a=52 b=38 c=45 d=47 answer=4000 text=\"abc\")",
                           "ActivateWindow(a=42 b=7 c=29 d=33 answer=4000)"}},
                // A table editor and the quadratic-load window each held a
                // refused entry; a click on another child window activated
                // the main window while the quadratic-load window refused,
                // and the table editor then showed its refusal too.
                FoundCase{"TwoWindowsRefusingForOneClick",
                          "project-half-space",
                          {"DialogButton(a=58 b=34 c=0 d=6 answer=4000)", "DataItem(a=44 b=7 c=62 d=34 answer=400000)",
                           "TypeInDialog(a=26 b=55 c=9 d=19 answer=4000 text=\"615.1\")",
                           "TypeInCell(a=60 b=22 c=14 d=5 answer=4000 text=\" \")",
                           "SelectCell(a=12 b=58 c=62 d=14 answer=4000)", "DataItem(a=26 b=10 c=59 d=44 answer=4000)",
                           "DataItem(a=7 b=46 c=24 d=32 answer=4000)",
                           "TypeInCell(a=58 b=45 c=33 d=44 answer=4000 text=\"2*/3\")",
                           "TypeInDialog(a=29 b=23 c=35 d=49 answer=400000 text=\" \")",
                           "ActivateWindow(a=2 b=44 c=2 d=30 answer=4000)"}},
                // Two boxes of one dialog held refused entries; a click from
                // one into the other showed the first's refusal, and the
                // second, losing the focus as the first took it back,
                // showed its own.
                FoundCase{"ABoxLosingTheFocusToARefusedOne",
                          "project-pile",
                          {"RowCommand(a=34 b=29 c=14 d=43 answer=4000)",
                           "TypeInDialog(a=23 b=43 c=0 d=63 answer=4000 text=\"abc\")",
                           "Open(a=14 b=14 c=57 d=1 answer=10000)", "FocusKey(a=52 b=4 c=0 d=62 answer=400000)",
                           "TypeInDialog(a=19 b=20 c=45 d=34 answer=4000 text=\"1O\")",
                           "TypeInDialog(a=48 b=7 c=34 d=33 answer=10000 text=\"1\")"}},
                // Delete Row by Alt+D on the last row: the editor the move to
                // the row above opened in the middle of the deletion was one
                // the view no longer knew, and "1O" typed into it passed the
                // Data menu's check.
                FoundCase{"ATextTypedAfterDeletingTheLastRow",
                          "project-pile",
                          {"TypeInCell(a=22 b=5 c=59 d=11 answer=10000 text=\"10\")",
                           "DataItem(a=56 b=59 c=35 d=4 answer=4000)",
                           "TypeInDialog(a=58 b=3 c=2 d=0 answer=4000 text=\"10\")",
                           "ActivateWindow(a=12 b=55 c=29 d=53 answer=4000)",
                           "RowCommand(a=23 b=39 c=14 d=31 answer=4000)",
                           "TypeInCell(a=20 b=42 c=59 d=6 answer=4000 text=\"3\")",
                           "RowCommand(a=62 b=20 c=37 d=29 answer=4000)",
                           "TypeOnFocus(a=33 b=55 c=40 d=18 answer=4000 text=\"1O\")",
                           "TypeInDialog(a=53 b=11 c=24 d=42 answer=4000 text=\"233.49\")"}},
                // Two boxes of the harmonic dialog held refused entries; a
                // click on another child asked the dialog twice over (focus
                // changes inside the click), and each time another box
                // refused, then a box lost the focus to the refused one.
                FoundCase{"ADialogAskedTwiceByOneClick",
                          "project-stratum",
                          {"DataItem(a=48 b=23 c=48 d=7 answer=4000)", "SelectCell(a=61 b=32 c=25 d=18 answer=4000)",
                           "TypeInDialog(a=35 b=24 c=29 d=49 answer=400000 text=\"abc\")",
                           "Run(a=7 b=56 c=44 d=18 answer=4000)", "FocusKey(a=57 b=4 c=37 d=55 answer=10000)",
                           "TypeInDialog(a=7 b=19 c=34 d=48 answer=400000 text=\"2*/3\")",
                           "ActivateWindow(a=59 b=37 c=40 d=35 answer=4000)",
                           "ActivateWindow(a=62 b=55 c=9 d=2 answer=4000)"}}),
        [](const auto& info) { return std::string(info.param.name); });

TEST(CommandSequences, KeepEveryInvariant) {
    const uint64_t first = Setting("VORTN_SEQUENCE_SEED", 1);
    // About a minute here: 200 sequences of 40 steps.
    const uint64_t count = Setting("VORTN_SEQUENCE_COUNT", 200);
    const int length = int(Setting("VORTN_SEQUENCE_STEPS", 40));
    const bool goOn = std::getenv("VORTN_SEQUENCE_GO_ON") != nullptr;
    std::map<QString, int> found;  // failures by check and first words of what was seen
    uint64_t steps = 0;
    for (uint64_t seed = first; seed < first + count; ++seed) {
        const QString project = SequenceProjects()[int(seed % SequenceProjects().size())];
        const std::vector<TStep> sequence = GenerateSteps(seed, length);
        std::printf("sequence seed %llu on %s\n", static_cast<unsigned long long>(seed), qPrintable(project));
        std::fflush(stdout);
        auto failure = RunSequence(project, sequence);
        steps += failure ? uint64_t(failure->step + 1) : sequence.size();
        if (!failure) continue;
        // Failures alike but for their numbers are shrunk once.
        QString key = failure->check + QLatin1Char(':') + failure->detail.left(40);
        key.remove(QRegularExpression(QStringLiteral("[0-9.]")));
        const bool first = found[key]++ == 0;
        ADD_FAILURE()
                << "seed " << seed << " (" << project.toStdString() << "), step " << failure->step << ": "
                << failure->check.toStdString() << ": " << failure->detail.toStdString() << "\n"
                << Listing(std::vector<TStep>(sequence.begin(), sequence.begin() + failure->step + 1)).toStdString();
        if (first) {
            TSequenceFailure smallest = *failure;
            const std::vector<TStep> shrunk = ShrinkSequence(project, sequence, smallest);
            std::printf("smallest sequence (seed %llu, %s): %s: %s\n%s", static_cast<unsigned long long>(seed),
                        qPrintable(project), qPrintable(smallest.check), qPrintable(smallest.detail),
                        qPrintable(Listing(shrunk)));
            std::fflush(stdout);
        }
        if (!goOn) break;
    }
    std::printf("%llu sequences from seed %llu, %llu steps\n", static_cast<unsigned long long>(count),
                static_cast<unsigned long long>(first), static_cast<unsigned long long>(steps));
}

}  // namespace
