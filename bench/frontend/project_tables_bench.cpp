// Many rows with sub-tables: opening a project of n transient load types or
// random spectra, then New and closing (the holder's end) are linear in n;
// the table resource reader's sub-table check is linear in a chain of n
// tables, each the template of the previous one's sub-tables.
#include <benchmark/benchmark.h>

#include "grid_table_resource.h"
#include "program_data.h"
#include "project_holder.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace {

// A half-space project with n load rows of one value each.
QByteArray LoadRowsProject(int rows, bool random) {
  QByteArray d =
      "TITLE=many load rows\r\nMATRIX\r\nGRAVITY=9.8\r\nFOUNDATION=HALF-SPACE\r\nRECTANGULAR=1,1\r\n"
      "MASS \r\n1 1 1 1 0 0 0\r\nCONSTANTS \r\n0 0 0 \r\nSOIL \r\nCONSTANTS=1\r\n1 1 1 1 0.3 0.05\r\n"
      "BELOW=1 1 0.3 0.05\r\nLOAD \r\n";
  d += random ? "RANDOM \r\nCONSTANTS \r\n62.8 \r\n6.28 \r\n1 \r\n10 \r\n"
              : "TRANSIENT \r\nCONSTANTS \r\n1 \r\n0.01 \r\n";
  d += QByteArray::number(rows) + " \r\n";
  for (int i = 0; i < rows; ++i) d += random ? "3 3\r\n1 \r\n" : "1 \r\n0 \r\n";
  return d + "RUN \r\n0\r\n";
}

void OpenNewAndClose(benchmark::State& state, bool random) {
  const int rows = int(state.range(0));
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("rows.vtd"));
  QFile f(file);
  if (!f.open(QIODevice::WriteOnly)) state.SkipWithError("cannot write the project");
  f.write(LoadRowsProject(rows, random));
  f.close();
  for (auto _ : state) {
    auto holder = std::make_unique<vortn::TProjectHolder>();
    holder->OpenProject(file);
    if (!holder->LastMessage().isEmpty()) state.SkipWithError("the project did not read");
    holder->NewProject();
    holder->OpenProject(file);
    holder.reset();  // closing with the rows in place
  }
  state.SetComplexityN(rows);
}

void BM_OpenNewCloseTransientLoads(benchmark::State& state) { OpenNewAndClose(state, false); }
void BM_OpenNewCloseRandomSpectra(benchmark::State& state) { OpenNewAndClose(state, true); }

void BM_ReadChainedTables(benchmark::State& state) {
  const int chain = int(state.range(0));
  QString text;
  for (int k = 0; k < chain; ++k)
    text += QStringLiteral(
                "object T%1: TGridTable\n  Identifier = %2\n  Col =\n    1\n"
                "    3 ('sub') True False 'FLEXCOLUMN2' (%3)\nend\n")
                .arg(k)
                .arg(700000 + k)
                .arg(k + 1 < chain ? 700000 + k + 1 : -1);
  for (auto _ : state) benchmark::DoNotOptimize(vortn::ReadGridTableResource(text));
  state.SetComplexityN(chain);
}

}  // namespace

BENCHMARK(BM_OpenNewCloseTransientLoads)
    ->RangeMultiplier(2)
    ->Range(10000, 80000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_OpenNewCloseRandomSpectra)
    ->RangeMultiplier(2)
    ->Range(10000, 80000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_ReadChainedTables)
    ->RangeMultiplier(2)
    ->Range(125, 1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
