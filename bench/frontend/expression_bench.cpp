// The expression evaluator on long chains and deep nesting: each of these
// is evaluated or refused well within 0.1 s, and time grows linearly with
// the length (compare the two sizes of each).
#include <benchmark/benchmark.h>

#include "exceptions.h"
#include "expression.h"

#include <QString>

namespace {

QString Repeat(const char* s, int n) { return QString::fromLatin1(s).repeated(n); }

void Run(benchmark::State& state, const QString& text) {
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(vortn::EvaluateExpression(text));
        } catch (const vortn::Exception&) {
        }
    }
    state.SetComplexityN(state.range(0));
}

void BM_SqrtPrefixes(benchmark::State& state) { Run(state, Repeat("sqrt", int(state.range(0)))); }
void BM_Factorials(benchmark::State& state) { Run(state, "1" + Repeat("!", int(state.range(0)))); }
void BM_NestedParentheses(benchmark::State& state) {
    const int n = int(state.range(0));
    Run(state, Repeat("(", n) + "1" + Repeat(")", n));
}
void BM_Sums(benchmark::State& state) { Run(state, "1" + Repeat("+1", int(state.range(0)))); }
void BM_RealSums(benchmark::State& state) { Run(state, "0.5" + Repeat("+0.25", int(state.range(0)))); }
void BM_Ordinary(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(vortn::EvaluateExpression(QStringLiteral("2*pi*5+sqrt(3)/2-(1.5e-3*4)^2")));
}

}  // namespace

BENCHMARK(BM_SqrtPrefixes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Factorials)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NestedParentheses)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sums)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RealSums)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ordinary)->Unit(benchmark::kMicrosecond);
