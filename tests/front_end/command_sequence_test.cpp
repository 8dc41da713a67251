// Random command sequences on the real main window (command_sequence.h).
// The normal suite runs a fixed set of seeds (a fixed number of steps); the
// fuzz label runs more of them. Set by the environment:
//   VORTN_SEQUENCE_SEED   the first sequence's seed (default 1)
//   VORTN_SEQUENCE_COUNT  how many sequences (seeds SEED, SEED+1, ...)
//   VORTN_SEQUENCE_STEPS  steps per sequence (default 40)
//   VORTN_SEQUENCE_GO_ON  set: a failure is shrunk and printed and the run
//                         goes on with the next seed (long runs)
#include "command_sequence.h"

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

TEST(CommandSequences, KeepEveryInvariant) {
    const uint64_t first = Setting("VORTN_SEQUENCE_SEED", 1);
    const uint64_t count = Setting("VORTN_SEQUENCE_COUNT", 12);
    const int length = int(Setting("VORTN_SEQUENCE_STEPS", 40));
    const bool goOn = std::getenv("VORTN_SEQUENCE_GO_ON") != nullptr;
    TKnownFaults known;
    std::map<QString, int> found;  // failures by check and first words of what was seen
    uint64_t steps = 0;
    for (uint64_t seed = first; seed < first + count; ++seed) {
        const QString project = SequenceProjects()[int(seed % SequenceProjects().size())];
        const std::vector<TStep> sequence = GenerateSteps(seed, length);
        std::printf("sequence seed %llu on %s\n", static_cast<unsigned long long>(seed), qPrintable(project));
        std::fflush(stdout);
        auto failure = RunSequence(project, sequence, &known);
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
    std::printf("%llu sequences from seed %llu, %llu steps; known faults passed over: %lld\n",
                static_cast<unsigned long long>(count), static_cast<unsigned long long>(first),
                static_cast<unsigned long long>(steps), static_cast<long long>(known.seen.size()));
    std::map<QString, int> byName;
    for (const QString& k : known.seen) ++byName[k];
    for (const auto& [name, n] : byName) std::printf("  known %s: %d\n", qPrintable(name), n);
}

}  // namespace
