// Where the plot window's legend stands: at the plot's bottom-right corner
// once the window is on screen at its size (here maximized in an MDI area),
// pushed back inside on a resize, and followed by the page legend of a saved
// bitmap. The window with two curves is saved for a reviewer to look at.
#include <gtest/gtest.h>

#include "message_catcher.h"
#include "patience.h"
#include "plot_window.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QtTest/QTest>

#include <cmath>
#include <memory>

namespace vortn {
namespace {

class PlotLegendTest : public ::testing::Test {
protected:
    void SetUp() override {
        plot = std::make_unique<TGraphPlot>();
        plot->Caption = "Response";
        plot->XCaption = "Frequency";
        plot->XUnits = "Hz";
        plot->YCaption = "Amplitude";
        plot->XOnTop = false;
        plot->SetLineCount(2);
        plot->SetPointCount(21);
        plot->Lines(0).Name = "Vertical";
        plot->Lines(1).Name = "Horizontal";
        for (int i = 0; i < 21; ++i) {
            plot->Points(0, i).X = plot->Points(1, i).X = i;
            plot->Points(0, i).Y = 2 + 1.5 * std::sin(0.3 * i);
            plot->Points(1, i).Y = 0.1 * i;
        }
        area = std::make_unique<QMdiArea>();
        area->resize(900, 640);
        area->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(area.get(), test::kPatienceMs));
        InstallPlotWindowFactory(area.get());
        plot->Execute();
        form = dynamic_cast<TPlotForm*>(plot->Window());
        ASSERT_NE(form, nullptr);
        SetMessageHook(test::CollectMessages(messages));
        Settle();
    }
    void TearDown() override {
        SetMessageHook(nullptr);
        plot.reset();  // frees its window
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        area.reset();
        SetPlotWindowFactory(nullptr);
    }
    static void Settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }
    QRect LegendRect() const { return form->Legend()->geometry(); }

    std::unique_ptr<TGraphPlot> plot;
    std::unique_ptr<QMdiArea> area;
    TPlotForm* form = nullptr;
    QStringList messages;
};

TEST_F(PlotLegendTest, LegendAtThePlotCornerOfTheShownWindowAndKeptInside) {
    auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
    ASSERT_TRUE(form->Legend()->isVisible());
    // The canvas has the size of the maximized child; the legend is at the
    // plot's bottom-right corner of that size.
    const TIntRect plotRect = form->Layout().plot;
    EXPECT_EQ(form->Layout().page.Right, form->Canvas()->width());
    EXPECT_EQ(LegendRect().right() + 1, plotRect.Right);
    EXPECT_EQ(LegendRect().bottom() + 1, plotRect.Bottom);

    // Larger: the legend keeps its place.
    const QPoint placed = LegendRect().topLeft();
    area->resize(1100, 800);
    Settle();
    EXPECT_GT(form->Canvas()->width(), 1000);
    EXPECT_EQ(LegendRect().topLeft(), placed);
    // Much smaller: pushed back inside the client area.
    area->resize(300, 200);
    Settle();
    EXPECT_LE(LegendRect().right(), form->Canvas()->width() - 1);
    EXPECT_LE(LegendRect().bottom(), form->Canvas()->height() - 1);
    EXPECT_GE(LegendRect().left(), 0);
    EXPECT_GE(LegendRect().top(), 0);
}

TEST_F(PlotLegendTest, WindowWithTwoCurvesForTheReviewer) {
    const QImage shot = form->grab().toImage();
    QDir().mkpath(VORTN_SCREENSHOT_DIR);
    ASSERT_TRUE(shot.save(QStringLiteral(VORTN_SCREENSHOT_DIR "/plot_two_curves.png")));
    const QPoint canvasAt = form->Canvas()->mapTo(form, QPoint(0, 0));
    // The legend's lines in the curves' colours: blue for the second curve.
    const QRect legend = LegendRect().translated(canvasAt);
    int blueInLegend = 0, blackInLegend = 0;
    for (int y = legend.top(); y <= legend.bottom(); ++y)
        for (int x = legend.left(); x <= legend.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            blueInLegend += c.blue() > 200 && c.red() < 80 && c.green() < 80;
            blackInLegend += c.lightness() < 60;
        }
    EXPECT_GT(blueInLegend, 10);
    EXPECT_GT(blackInLegend, 10);
    // Both curves inside the plot: the second (blue) rises from the origin.
    const TIntRect r = form->Layout().plot;
    const QColor start = shot.pixelColor(canvasAt + QPoint(form->WorldToScreenX(0, 0) + 1, form->WorldToScreenY(0, 0.01L)));
    EXPECT_GT(start.blue(), 150) << start.name().toStdString();
    // White outside the plot's right edge, above the legend's bottom.
    EXPECT_EQ(shot.pixelColor(canvasAt + QPoint(r.Right + 3, r.Top + 3)), QColor(Qt::white));
}

TEST_F(PlotLegendTest, PageLegendOfABitmapFollowsTheWindowLegend) {
    const QRect legend = LegendRect();
    const int cw = form->Canvas()->width(), ch = form->Canvas()->height();
    QImage img;
    ASSERT_TRUE(form->RenderBitmap(8, 6, 100, img));  // 800 x 600
    // Its top-left corner in the same proportion of the page as on screen;
    // the outline is black there.
    const int x = legend.left() * img.width() / cw, y = img.height() * legend.top() / ch;
    EXPECT_EQ(img.pixelColor(x, y + 5), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(x + 5, y), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(x - 3, y - 3), QColor(Qt::white));
    // Moved to the top left by the user, the page legend goes with it.
    form->Legend()->move(0, 0);
    form->LegendMoved();
    ASSERT_TRUE(form->RenderBitmap(8, 6, 100, img));
    EXPECT_EQ(img.pixelColor(0, 5), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(5, 0), QColor(Qt::black));
}

TEST_F(PlotLegendTest, FailuresAreReported) {
    // A bitmap that cannot be written.
    EXPECT_FALSE(form->SaveBitmap(QStringLiteral("/nonexistent-folder/plot.bmp"), 6, 4, 72));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "The bitmap could not be written to /nonexistent-folder/plot.bmp.");
    // A print job that cannot start (a PDF printer with no file it can make).
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/plot.pdf"));
    EXPECT_FALSE(form->PrintTo(printer));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1], "The print job could not be started on /nonexistent-folder/plot.pdf.");
}

// Code 2 of the soil column is the forward diagonal: lines that fall from
// the top left to the bottom right.
TEST_F(PlotLegendTest, SoilCodeTwoIsTheForwardDiagonalHatch) {
    TLine* layer = new TLine(plot.get());
    layer->SetPointCount(2);
    layer->Points(0).X = 2;
    layer->Points(0).Y = 0;
    layer->Points(1).X = 2;
    layer->Points(1).Y = 4;
    plot->Group(1).Add(layer);
    plot->ShowLayers = true;
    form->Relayout(true);
    QImage img(form->Canvas()->size(), QImage::Format_RGB32);
    {
        QPainter p(&img);
        form->PaintPlot(p);
    }
    const TIntRect r = form->Layout().layer;
    ASSERT_GT(r.Width(), 20);
    int along = 0, across = 0, dark = 0;
    for (int y = r.Top + 5; y < r.Bottom - 5; ++y)
        for (int x = r.Left + 5; x < r.Right - 5; ++x) {
            if (img.pixelColor(x, y).lightness() > 100) continue;
            ++dark;
            along += img.pixelColor(x + 1, y + 1).lightness() < 100;
            across += img.pixelColor(x - 1, y + 1).lightness() < 100;
        }
    ASSERT_GT(dark, 50);
    EXPECT_GT(along, dark * 9 / 10);
    EXPECT_LT(across, dark / 10);
}

}  // namespace
}  // namespace vortn
