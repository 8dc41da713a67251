// End to end: the main window on an example project runs the real engine
// through the Computation menu and shows the results.
#include "front_end_fixture.h"
#include "word_reader.h"

#include <QMdiSubWindow>

using namespace vortn;
using namespace vortn::test;

namespace {

class RunEndToEnd : public FrontEndFixture {};

TEST_F(RunEndToEnd, RunAnalysisFillsThePlotsWithThePlotFilesPoints) {
    const QString project = CopyExample(QStringLiteral("project-half-space"));
    Form().OpenFileName(project);
    Form().SetEngineLibraryName(QStringLiteral(VRT3_LIBRARY));
    ASSERT_EQ(Form().Project().MatrixFlag, 1);
    ASSERT_EQ(Form().Project().LoadingCode, 1);

    Ui().ComputationMenu->popup(QPoint(0, 0));  // opening the menu runs its enabling
    Ui().ComputationMenu->hide();
    ASSERT_TRUE(Ui().CompRun->isEnabled());
    Ui().CompRun->trigger();

    EXPECT_EQ(messages_, QStringList{QStringLiteral(
                             "Computations are completed. Please, check output file for results or error messages.")});
    ASSERT_TRUE(Form().ResultsLoaded());

    // The plot-data file read on its own: N, 2 N matrix records, N response records.
    const QStringList lines = [&] {
        QFile f(Path(QStringLiteral("project-half-space.vtp")));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }();
    const int n = lines[0].trimmed().toInt();
    ASSERT_GT(n, 1);
    ASSERT_EQ(lines.size(), 1 + 3 * n);
    const TResultPlots& plots = Form().Plots();
    ASSERT_EQ(plots.pltRealKXX().PointCount(), n);
    ASSERT_EQ(plots.pltDxyzR().PointCount(), n);
    for (int j = 0; j < n; ++j) {
        const QStringList stiff = SplitWords(lines[1 + 2 * j]);
        const QStringList damp = SplitWords(lines[2 + 2 * j]);
        const QStringList resp = SplitWords(lines[1 + 2 * n + j]);
        EXPECT_DOUBLE_EQ(double(plots.pltRealKXX().Points(0, j).X), double(stiff[0].toDouble() / 6.2832L));
        EXPECT_DOUBLE_EQ(double(plots.pltRealKXX().Points(0, j).Y), stiff[1].toDouble());
        EXPECT_DOUBLE_EQ(double(plots.pltRealKXX().Points(2, j).Y), stiff[3].toDouble());   // Kww
        EXPECT_DOUBLE_EQ(double(plots.pltRealKYP().Points(0, j).Y), stiff[8].toDouble());
        EXPECT_DOUBLE_EQ(double(plots.pltDampCPPX().Points(0, j).Y), damp[4].toDouble());
        EXPECT_DOUBLE_EQ(double(plots.pltDxyzR().Points(0, j).Y), resp[1].toDouble());
        EXPECT_DOUBLE_EQ(double(plots.pltMxyzR().Points(2, j).Y), resp[6].toDouble());
    }

    Ui().GraphicsMenu->popup(QPoint(0, 0));
    Ui().GraphicsMenu->hide();
    ASSERT_TRUE(Ui().GraphDisp->isEnabled());
    Ui().GraphDisp->trigger();
    ASSERT_EQ(Form().MdiArea()->subWindowList().size(), 1);
    QMdiSubWindow* sub = Form().MdiArea()->subWindowList()[0];
    sub->setGeometry(0, 0, 700, 500);
    Form().resize(1000, 700);
    QApplication::processEvents();
    const QImage image = Form().grab().toImage();
    ASSERT_TRUE(image.save(ScreenshotFile("run_e2e_main_window.png")));
    // The plot window draws three coloured curves inside its frame.
    const QRect frame = sub->geometry().translated(Form().MdiArea()->mapTo(&Form(), QPoint(0, 0)));
    int coloured = 0;
    for (int y = frame.top(); y < frame.bottom(); ++y)
        for (int x = frame.left(); x < frame.right(); ++x)
            if (image.pixelColor(x, y).saturation() > 120) ++coloured;
    EXPECT_GT(coloured, 200);
}

}  // namespace
