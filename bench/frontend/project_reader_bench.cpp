// Opening a transient project of 6 loads x 100,000 points (about 2.4 MB, the
// largest the reader accepts): reading is linear in the file's size.
#include <benchmark/benchmark.h>

#include "program_data.h"
#include "project_holder.h"

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

void BM_OpenTransientProject(benchmark::State& state) {
    const int points = int(state.range(0));
    QTemporaryDir dir;
    vortn::TProjectHolder holder;
    vortn::TProgramData& p = holder.Project();
    p.LoadingCode = 2;
    p.NumberOfPoints = points;
    p.TimeInterval = 0.001L;
    vortn::TGridTable& loads = holder.TLoadtype();
    loads.SetRowCount(6);
    for (int r = 0; r < 6; ++r) {
        loads.Cells(0, r).SetAsInteger(r + 1);
        vortn::TGridTable* sub = loads.Cells(1, r).AsObject();
        sub->SetRowCount(points);
        for (int k = 0; k < points; ++k) sub->Cells(0, k).SetAsFloat(0.125L * ((k * 7 + r) % 1000));
    }
    p.NumberOfLoadTypes = 6;
    const QString file = dir.filePath(QStringLiteral("transient.vtd"));
    p.FileName = file;
    p.SaveToFile();
    for (auto _ : state) {
        holder.OpenProject(file);
        if (!holder.LastMessage().isEmpty()) state.SkipWithError("the project did not read back");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(QFileInfo(file).size()));
}

}  // namespace

BENCHMARK(BM_OpenTransientProject)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
