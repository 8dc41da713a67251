// The amplitude chart at a reference point: curves, units toggle, export.
#include "amp_plot.h"
#include "data_edit.h"
#include "front_end_fixture.h"
#include "pdf_pages.h"
#include "print_target.h"
#include "ui_AmpPlot.h"

#include <QChartView>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>

#include <cmath>

using namespace vortn;
using namespace vortn::test;

namespace {

class AmpPlot : public FrontEndFixture {
protected:
    void SetUp() override {
        FrontEndFixture::SetUp();
        TProgramData& p = Form().Project();
        p.UnitSystem = 1;
        p.CGx = 1, p.CGy = 2, p.CGz = 3;
        // Two frequencies; translations u and rotations r at the C.G.
        TGraphPlot& d = Form().Plots().pltDxyzR();
        TGraphPlot& m = Form().Plots().pltMxyzR();
        d.SetLineCount(3), m.SetLineCount(3);
        d.SetPointCount(2), m.SetPointCount(2);
        for (int i = 0; i < 2; ++i)
            for (int k = 0; k < 3; ++k) {
                d.Points(k, i).X = m.Points(k, i).X = 5 + i;
                d.Points(k, i).Y = 0.01L * (k + 1) * (i + 1);
                m.Points(k, i).Y = 0.001L * (k + 4) * (i + 1);
            }
        dlg_ = Form().AmpPlot();
        dlg_->FormActivate();
    }
    double Y(int series, int i) const { return dlg_->Series(series).at(i).y(); }
    void SetBox(TDataEdit* box, long double v) { box->SetNumber(v); }
    TDlgAmpPlot* dlg_ = nullptr;
};

TEST_F(AmpPlot, AtTheCentreOfGravityTheCurvesAreTheTranslations) {
    EXPECT_EQ(dlg_->Form().RadioButton1->isChecked(), true);
    EXPECT_EQ(dlg_->Form().Label1->text(), QStringLiteral("X (ft)"));
    EXPECT_EQ(dlg_->LeftAxis().titleText(), QStringLiteral("Translational Amplitude (ft)"));
    EXPECT_EQ(dlg_->BottomAxis().titleText(), QStringLiteral("Frequency (Hz)"));
    for (int i = 0; i < 2; ++i)
        for (int s = 0; s < 3; ++s) EXPECT_NEAR(Y(s, i), 0.01 * (s + 1) * (i + 1), 1e-15);
    EXPECT_EQ(dlg_->Series(0).at(1).x(), 6);
}

TEST_F(AmpPlot, AnotherPointAddsTheRotationsLeverArms) {
    // P - G = (0.5, -1, 2): ux + dy rz - dz ry, uy + dz rx - dx rz, uz + dx ry - dy rx.
    SetBox(dlg_->Form().DataEdit1, 1.5);
    SetBox(dlg_->Form().DataEdit2, 1);
    SetBox(dlg_->Form().DataEdit3, 5);
    dlg_->UpdateGraph();
    const double rx = 0.004, ry = 0.005, rz = 0.006;
    EXPECT_NEAR(Y(0, 0), 0.01 + (-1) * rz - 2 * ry, 1e-12);
    EXPECT_NEAR(Y(1, 0), 0.02 + 2 * rx - 0.5 * rz, 1e-12);
    EXPECT_NEAR(Y(2, 0), 0.03 + 0.5 * ry - (-1) * rx, 1e-12);
}

TEST_F(AmpPlot, SwitchingUnitsScalesTheBoxesAndTheCurves) {
    dlg_->Form().RadioButton2->click();
    EXPECT_EQ(dlg_->DisplaySystem(), 2);
    EXPECT_EQ(dlg_->Form().Label1->text(), QStringLiteral("X (m)"));
    EXPECT_NEAR(double(dlg_->Form().DataEdit2->Number()), 2 * 0.3048, 1e-15);
    EXPECT_EQ(dlg_->LeftAxis().titleText(), QStringLiteral("Translational Amplitude (m)"));
    for (int s = 0; s < 3; ++s) EXPECT_NEAR(Y(s, 1), 0.01 * (s + 1) * 2 * 0.3048, 1e-15);
    dlg_->Form().RadioButton1->click();
    EXPECT_NEAR(double(dlg_->Form().DataEdit2->Number()), 2 * 0.3048 * 3.2808398950131233596, 1e-15);
    EXPECT_NEAR(Y(2, 0), 0.03, 1e-15);
}

TEST_F(AmpPlot, ResultsOfAnSIRunShowInFeetAfterTheProjectSwitchedToEnglish) {
    // The results were loaded while the project was in SI (metres); then
    // Data > Units > English converts the project, not the loaded results.
    TProgramData& p = Form().Project();
    p.UnitSystem = 2;
    p.CGx = 1, p.CGy = 2, p.CGz = 3;  // m
    for (TGraphPlot* plot : Form().Plots().All()) plot->SetUnits(2);
    Ui().UnitsEnglish->trigger();
    ASSERT_EQ(p.UnitSystem, 1);
    dlg_->FormActivate();
    EXPECT_EQ(dlg_->LeftAxis().titleText(), QStringLiteral("Translational Amplitude (ft)"));
    EXPECT_NEAR(double(dlg_->Form().DataEdit2->Number()), 2 * 3.280839895, 1e-9);
    for (int i = 0; i < 2; ++i)
        for (int s = 0; s < 3; ++s) EXPECT_NEAR(Y(s, i), 0.01 * (s + 1) * (i + 1) / 0.3048, 1e-15);
    const QStringList lines = dlg_->ExportLines();
    EXPECT_EQ(lines[3], QStringLiteral(",Hz,ft,ft,ft"));
    EXPECT_NEAR(lines[5].section(QLatin1Char(','), 2, 2).toDouble(), 0.02 / 0.3048, 1e-13);
    // A point 1 ft above the C.G. adds the rotations' lever arm in feet.
    SetBox(dlg_->Form().DataEdit3, double(dlg_->Form().DataEdit3->Number()) + 1);
    dlg_->UpdateGraph();
    EXPECT_NEAR(Y(0, 0), 0.01 / 0.3048 - 1 * 0.005, 1e-12);
    // Shown in metres, the curves are the loaded values again.
    dlg_->Form().RadioButton2->click();
    EXPECT_EQ(dlg_->LeftAxis().titleText(), QStringLiteral("Translational Amplitude (m)"));
    dlg_->Form().Button1->click();
    EXPECT_NEAR(double(dlg_->Form().DataEdit2->Number()), 2, 1e-9);
    for (int s = 0; s < 3; ++s) EXPECT_NEAR(Y(s, 1), 0.01 * (s + 1) * 2, 1e-12);
}

TEST_F(AmpPlot, DefaultButtonPutsTheCentreOfGravityInDisplayUnits) {
    dlg_->Form().RadioButton2->click();
    SetBox(dlg_->Form().DataEdit1, 9);
    dlg_->Form().Button1->click();
    EXPECT_NEAR(double(dlg_->Form().DataEdit1->Number()), 0.3048, 1e-15);
    EXPECT_NEAR(double(dlg_->Form().DataEdit3->Number()), 3 * 0.3048, 1e-15);
}

TEST_F(AmpPlot, ViewOptionsShowOnlyTheCheckedSeries) {
    dlg_->Form().Button8->click();  // Y only
    EXPECT_FALSE(dlg_->Series(0).isVisible());
    EXPECT_TRUE(dlg_->Series(1).isVisible());
    EXPECT_FALSE(dlg_->Series(2).isVisible());
    dlg_->Form().Button3->click();
    for (int s = 0; s < 3; ++s) EXPECT_FALSE(dlg_->Series(s).isVisible());
    dlg_->Form().Button2->click();
    for (int s = 0; s < 3; ++s) EXPECT_TRUE(dlg_->Series(s).isVisible());
}

TEST_F(AmpPlot, ExportLayout) {
    const QStringList lines = dlg_->ExportLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Reference Point"));
    EXPECT_EQ(lines[1], QStringLiteral("X=  1.00000000000000E+0000 ft, Y=  2.00000000000000E+0000 ft, Z=  "
                                       "3.00000000000000E+0000 ft"));
    EXPECT_EQ(lines[2], QStringLiteral("n,Frequency,Disp_x,Disp_y,Disp_z"));
    EXPECT_EQ(lines[3], QStringLiteral(",Hz,ft,ft,ft"));
    EXPECT_EQ(lines[5], QStringLiteral("2, 6.00000000000000E+0000, 2.00000000000000E-0002, 4.00000000000000E-0002, "
                                       "6.00000000000000E-0002"));
}

TEST_F(AmpPlot, RotationExportKeepsTheDisplacementHeadings) {
    dlg_->Form().RadioButton2->click();
    dlg_->Form().RadioButton6->click();
    EXPECT_EQ(dlg_->LeftAxis().titleText(), QStringLiteral("Rotational Amplitude (rad)"));
    const QStringList lines = dlg_->ExportLines();
    EXPECT_EQ(lines[2], QStringLiteral("n,Frequency,Disp_x,Disp_y,Disp_z"));
    EXPECT_EQ(lines[3], QStringLiteral(",Hz,m,m,m"));
    EXPECT_TRUE(lines[1].endsWith(QLatin1String(" m"))) << lines[1].toStdString();
    // Rotations are never scaled.
    EXPECT_EQ(lines[4], QStringLiteral("1, 5.00000000000000E+0000, 4.00000000000000E-0003, 5.00000000000000E-0003, "
                                       "6.00000000000000E-0003"));
}

TEST_F(AmpPlot, WithoutResultsTheExportHoldsTheHeadingsOnly) {
    Form().Plots().Clear();
    dlg_->UpdateGraph();
    EXPECT_EQ(dlg_->ExportLines().size(), 4);
}

TEST_F(AmpPlot, ExportWritesTheFileAndAsksBeforeOverwriting) {
    const QString name = Path(QStringLiteral("amp.txt"));
    dlg_->SaveNameHook = [&] { return name; };
    bool asked = false;
    answerFor_ = [&](const QString& q) {
        asked = true;
        EXPECT_EQ(q, QStringLiteral("File already exists, do you want to overwrite it?"));
        return int(QMessageBox::No);
    };
    dlg_->Form().Button4->click();
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    f.close();
    EXPECT_TRUE(written.startsWith("Reference Point\r\nX= "));
    EXPECT_EQ(written.count("\r\n"), 6);
    EXPECT_FALSE(asked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    dlg_->Form().Button4->click();
    EXPECT_TRUE(asked);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep"));
}

TEST_F(AmpPlot, AnExportThatCannotBeWrittenSaysSo) {
    EXPECT_FALSE(dlg_->WriteExport(Path(QStringLiteral("no-folder/amp.txt"))));
    EXPECT_EQ(messages_.size(), 1);
}

TEST_F(AmpPlot, ClickedPointInformation) {
    dlg_->SeriesClick(1, QPointF(6.1, 0));
    EXPECT_EQ(dlg_->Hint(), QStringLiteral(" Clicked Series: Y-Dir at point: 1"));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0], QStringLiteral("Y-Dir\rPoint: 1\rFreq: 6\rX: 0.02\rY: 0.04\rZ: 0.06\rXo: 0.02\rYo: 0.04\r"
                                           "Zo: 0.06\rRx: 0.008\rRy: 0.01\rRz: 0.012\r"));
}

TEST_F(AmpPlot, PointerReadOutInsideTheAxesOnly) {
    dlg_->resize(900, 600);
    dlg_->show();
    QApplication::processEvents();
    QChartView& view = *dlg_->Form().Chart1;
    const QPointF inside = view.chart()->mapToPosition(QPointF(5.5, 0.03), &dlg_->Series(0));
    dlg_->ShowPointer(view.mapFromScene(inside));
    const QString text = dlg_->Form().Label4->text();
    ASSERT_TRUE(text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) << text.toStdString();
    const QStringList xy = text.mid(1, text.size() - 2).split(QLatin1Char(','));
    ASSERT_EQ(xy.size(), 2);
    EXPECT_NEAR(xy[0].toDouble(), 5.5, 0.02);
    EXPECT_NEAR(xy[1].toDouble(), 0.03, 0.001);
    dlg_->ShowPointer(QPoint(1, 1));  // the chart's margin
    EXPECT_TRUE(dlg_->Form().Label4->text().isEmpty());
    dlg_->hide();
}

// "Go" prints on the default printer; without one the page goes into a PDF
// file the user names, in the orientation chosen, titled as the window.
TEST_F(AmpPlot, PrintingWithoutAPrinterWritesThePageToAPdfFile) {
    dlg_->resize(900, 600);
    dlg_->show();
    QApplication::processEvents();
    QTemporaryDir dir;
    QStringList asked;
    SetPrintersInstalledHook([] { return false; });
    SetPdfFileHook([&](QWidget*, const QString& title) {
        asked << title;
        return dir.filePath(QStringLiteral("chart%1.pdf").arg(asked.size()));
    });
    dlg_->Form().Button10->click();  // portrait
    dlg_->Form().RadioButton4->click();
    dlg_->Form().Button10->click();  // landscape
    SetPrintersInstalledHook({});
    SetPdfFileHook({});
    dlg_->hide();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(QLatin1Char('|')).toStdString();
    for (int i = 1; i <= 2; ++i) {
        const TPdfPages pdf = ReadPdfPages(dir.filePath(QStringLiteral("chart%1.pdf").arg(i)));
        ASSERT_TRUE(pdf.error.isEmpty()) << pdf.error.toStdString();
        EXPECT_EQ(pdf.pages, 1);
        EXPECT_EQ(pdf.title, QStringLiteral("Footing Amplitude Plot")) << i;
        EXPECT_EQ(pdf.pointSize.width() < pdf.pointSize.height(), i == 1) << i;
        ASSERT_FALSE(pdf.first.isNull());
        EXPECT_GT(DarkPixels(pdf.first), 100) << i;
        if (i == 1) pdf.first.save(ScreenshotFile("amp_plot_print_pdf.png"));
    }
}

TEST_F(AmpPlot, ScreenshotShowsThreeCurves) {
    dlg_->resize(900, 600);
    dlg_->show();
    QApplication::processEvents();
    const QImage image = dlg_->grab().toImage();
    ASSERT_TRUE(image.save(ScreenshotFile("amp_plot.png")));
    // Some pixels of the chart area carry the series colours (not white or grey).
    int coloured = 0;
    const QRect chart = dlg_->Form().Chart1->geometry();
    for (int y = chart.top(); y < chart.bottom(); y += 2)
        for (int x = chart.left(); x < chart.right(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (c.saturation() > 100) ++coloured;
        }
    EXPECT_GT(coloured, 50);
    dlg_->hide();
}

TEST_F(AmpPlot, AxesHaveRoundTicksAndNoZeroLabelForANonZeroValue) {
    // Amplitudes of a few hundred-thousandths: the ticks are round numbers
    // and each label reads its own value.
    TGraphPlot& d = Form().Plots().pltDxyzR();
    TGraphPlot& m = Form().Plots().pltMxyzR();
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 2; ++i) {
            d.Points(k, i).Y = i == 0 ? 0.0000154L : 0.0000204L;
            m.Points(k, i).Y = 0;
        }
    dlg_->UpdateGraph();
    for (QValueAxis* axis : {&dlg_->LeftAxis(), &dlg_->BottomAxis()}) {
        const int ticks = axis->tickCount();
        ASSERT_GE(ticks, 2);
        const double step = (axis->max() - axis->min()) / (ticks - 1);
        const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        const double mantissa = step / power;
        EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6)
                << step;
        EXPECT_NEAR(axis->min() / step, std::round(axis->min() / step), 1e-6);
        for (int k = 0; k < ticks; ++k) {
            const double v = axis->min() + k * step;
            const QString label = QString::asprintf(axis->labelFormat().toLatin1().constData(), v);
            EXPECT_NEAR(label.toDouble(), v, step * 1e-6) << label.toStdString();
        }
    }
    EXPECT_LE(dlg_->LeftAxis().min(), 0.0000154);
    EXPECT_GE(dlg_->LeftAxis().max(), 0.0000204);
    dlg_->resize(900, 600);
    dlg_->show();
    QApplication::processEvents();
    dlg_->grab().save(ScreenshotFile("amp_plot_small_amplitudes.png"));
    dlg_->hide();
}

}  // namespace
