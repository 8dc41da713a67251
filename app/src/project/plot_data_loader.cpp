// Plot-data file reader.
#include "plot_data_loader.h"

#include "exceptions.h"
#include "number_format.h"
#include "project_codes.h"
#include "word_reader.h"

#include <cmath>

namespace vortn {

namespace {

constexpr long double kRadPerHz = 6.2832L;

class TRecordReader {
public:
    explicit TRecordReader(const QString& fileName) : reader_(fileName) {}

    int LineCount() const { return reader_.LineCount(); }

    // The next line's values; exactly `fields` finite numbers.
    std::vector<long double> Next(int fields) {
        if (reader_.Eof()) throw EInOutError(QStringLiteral("The plot-data file ends early."));
        const int line = reader_.LineIndex() + 1;
        const QStringList words = SplitWords(reader_.ReadLine());
        if (words.size() != fields)
            throw EInOutError(QStringLiteral("Error on Line %1\r%2 values were expected, %3 found.")
                                      .arg(line)
                                      .arg(fields)
                                      .arg(words.size()));
        std::vector<long double> values(fields);
        for (int i = 0; i < fields; ++i)
            if (!TextToFloat(words[i], values[i], QChar('.')) || !std::isfinite(values[i]))
                throw EInOutError(QStringLiteral("Error on Line %1 Item %2\rA floating point number was expected "
                                                 "but not found.")
                                          .arg(line)
                                          .arg(i + 1));
        return values;
    }

private:
    TWordReader reader_;
};

void SetPoint(TGraphPlot& plot, int line, int index, long double x, long double y) {
    TFloatPoint& p = plot.Points(line, index);
    p.X = x;
    p.Y = y;
}

void ReadInto(TResultPlots& plots, const QString& fileName, int matrixFlag, int loadingCode) {
    TRecordReader r(fileName);
    const std::vector<TGraphPlot*> stiffness = plots.Stiffness();
    const std::vector<TGraphPlot*> damping = plots.Damping();
    for (TGraphPlot* p : stiffness) p->SetLineCount(1);
    for (TGraphPlot* p : damping) p->SetLineCount(1);
    plots.pltDxyzR().SetLineCount(3);
    plots.pltMxyzR().SetLineCount(3);

    const long double count = r.Next(1)[0];
    if (count != std::truncl(count) || count < 0)
        throw EInOutError(QStringLiteral("Error on Line 1\rThe number of frequencies is not a count."));
    // Nothing is allocated before the count is known to fit the file.
    const bool more = count > 1;
    const long double records =
            1 +
            (more ? count * ((matrixFlag > 0 ? 2 : 0) + (loadingCode == CodeOf(TLoadingType::Harmonic) ? 1 : 0)) : 0);
    if (records > r.LineCount())
        throw EInOutError(QStringLiteral("Error on Line 1\r%1 frequencies do not fit a file of %2 lines.")
                                  .arg(double(count))
                                  .arg(r.LineCount()));
    const int n = int(count);
    plots.pltRealKXX().SetPointCount(n);
    if (!more) return;

    plots.pltDxyzR().SetPointCount(n);
    plots.pltMxyzR().SetPointCount(n);
    if (matrixFlag > 0) {
        for (TGraphPlot* p : stiffness) p->SetPointCount(n);
        for (TGraphPlot* p : damping) p->SetPointCount(n);
        for (int j = 0; j < n; ++j) {
            for (const auto* group : {&stiffness, &damping}) {
                const std::vector<long double> v = r.Next(9);
                const long double x = v[0] / kRadPerHz;
                for (int k = 0; k < 8; ++k) SetPoint(*(*group)[k], 0, j, x, v[k + 1]);
            }
        }
        struct Triple {
            TGraphPlot *main, *second, *third;
            QStringList names;
        };
        const Triple triples[] = {
                {&plots.pltRealKXX(), &plots.pltRealKYY(), &plots.pltRealKWW(), {"Kxx", "Kyy", "Kww"}},
                {&plots.pltRealKPPX(), &plots.pltRealKPPY(), &plots.pltRealKZT(), {"Kppx", "Kppy", "Kzt"}},
                {&plots.pltDampCXX(), &plots.pltDampCYY(), &plots.pltDampCWW(), {"Cxx", "Cyy", "Cww"}},
                {&plots.pltDampCPPX(), &plots.pltDampCPPY(), &plots.pltDampCZT(), {"Cppx", "Cppy", "Czt"}}};
        for (const Triple& t : triples) {
            t.main->SetLineCount(3);
            for (int i = 0; i < n; ++i) {
                SetPoint(*t.main, 1, i, t.second->Points(0, i).X, t.second->Points(0, i).Y);
                SetPoint(*t.main, 2, i, t.third->Points(0, i).X, t.third->Points(0, i).Y);
            }
            t.main->LineNames = t.names;
        }
    }
    if (loadingCode == CodeOf(TLoadingType::Harmonic)) {
        for (int i = 0; i < n; ++i) {
            const std::vector<long double> v = r.Next(7);
            const long double x = v[0] / kRadPerHz;
            for (int k = 0; k < 3; ++k) {
                SetPoint(plots.pltDxyzR(), k, i, x, v[1 + k]);
                SetPoint(plots.pltMxyzR(), k, i, x, v[4 + k]);
            }
        }
        plots.pltDxyzR().LineNames = QStringList{"X-Dir.", "Y-Dir.", "Z-Dir."};
        plots.pltMxyzR().LineNames = QStringList{"About X-Dir.", "About Y-Dir.", "About Z-Dir"};
    }
}

}  // namespace

void ReadPlotData(TResultPlots& plots, const QString& fileName, int matrixFlag, int loadingCode, int units) {
    plots.Clear();
    try {
        ReadInto(plots, fileName, matrixFlag, loadingCode);
    } catch (...) {
        plots.Clear();
        throw;
    }
    plots.SetLoadState(matrixFlag, loadingCode);
    for (TGraphPlot* p : plots.All()) p->SetUnits(units);
}

}  // namespace vortn
