// Plot printing, saving and the plot dialogs; the page set-up dialog.
#include <gtest/gtest.h>

#include "data_edit.h"
#include "message_catcher.h"
#include "page_setup.h"
#include "pdf_pages.h"
#include "plot_dialogs.h"
#include "plot_window.h"
#include "print_dialog_answer.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <memory>

namespace vortn {
namespace {

class PlotSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        plot = std::make_unique<TGraphPlot>();
        plot->Caption = "Response";
        plot->XCaption = "Frequency";
        plot->XUnits = "Hz";
        plot->YCaption = "Amplitude";
        plot->YUnits = "L1";
        plot->Title = "Vertical response";
        plot->SetLineCount(3);
        plot->SetPointCount(41);
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 41; ++i) {
                plot->Points(c, i).X = i * 0.5L;
                plot->Points(c, i).Y = 0.021L * std::sin(0.25 * i + c) - 0.004L * c;
            }
        form = new TPlotForm(*plot);
        SetMessageHook(test::CollectMessages(messages));
        form->Canvas()->resize(800, 560);
        form->Relayout(true);
    }
    void TearDown() override {
        SetMessageHook(nullptr);
        delete form;
        plot.reset();
    }
    std::unique_ptr<TGraphPlot> plot;
    TPlotForm* form = nullptr;
    QStringList messages;
};

TEST_F(PlotSaveTest, SavedBitmapHasTheAskedSizeAndLayoutIsRestored) {
    const TPlotLayoutState before = form->Layout();
    QTemporaryDir dir;
    const QString file = dir.filePath("plot.bmp");
    ASSERT_TRUE(form->SaveBitmap(file, 6, 4, 72));
    const QImage img(file);
    EXPECT_EQ(img.size(), QSize(432, 288));
    EXPECT_EQ(form->Layout().page.Right, before.page.Right);
    EXPECT_EQ(form->Layout().plot.Left, before.plot.Left);
    EXPECT_FALSE(form->Layout().pageFlag);
    // Something besides white was drawn: frame, captions, curves, page legend.
    int dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) dark += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(dark, 500);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PlotSaveTest, RenderedImageForInspection) {
    plot->ShowLayers = false;
    QImage img;
    ASSERT_TRUE(form->RenderBitmap(8, 5.5L, 96, img));
    EXPECT_EQ(img.size(), QSize(768, 528));
    QDir().mkpath(VORTN_SCREENSHOT_DIR);
    EXPECT_TRUE(img.save(QStringLiteral(VORTN_SCREENSHOT_DIR "/plot_bitmap.png"), "PNG"));
}

TEST_F(PlotSaveTest, PrintsOntoAPdfPageWithinTheMargins) {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("plot.pdf"));
    const TPlotLayoutState before = form->Layout();
    form->PrintTo(printer);
    EXPECT_EQ(printer.docName(), "Response");
    EXPECT_GT(QFileInfo(dir.filePath("plot.pdf")).size(), 1000);
    EXPECT_EQ(form->Layout().plot.Right, before.plot.Right);
    EXPECT_EQ(form->Layout().lpx, before.lpx);
    EXPECT_EQ(form->PageSetup().MarginLeft(), 1000);
}

// Plot > Print on a machine without printers: the menu item is offered and
// Qt's print dialog writes the page into a PDF file.
TEST_F(PlotSaveTest, PrintMenuReachesAPdfPageThroughThePrintDialog) {
    QTemporaryDir dir;
    const QString file = dir.filePath("plot.pdf");
    ASSERT_TRUE(form->MenuItem("PlotPrint")->isEnabled());
    ASSERT_TRUE(form->MenuItem("PlotPage")->isEnabled());
    test::TPrintDialogAnswer answer;
    test::AnswerPrintDialogWithPdf(file, answer);
    form->MenuItem("PlotPrint")->trigger();
    ASSERT_TRUE(answer.seen);
    EXPECT_TRUE(answer.printers.contains("Print to File (PDF)")) << answer.printers.toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    const test::TPdfPages pdf = test::ReadPdfPages(file);
    // The curves and axes inside the one-inch margins; the margins blank.
    ASSERT_TRUE(test::OnePrintedPage(pdf, QPageLayout::Portrait, 200));
    EXPECT_EQ(test::DarkPixels(pdf.first.copy(0, 0, pdf.first.width(), 30)), 0);
    QDir().mkpath(VORTN_SCREENSHOT_DIR);
    pdf.first.save(VORTN_SCREENSHOT_DIR "/plot_print_pdf.png");
}

TEST(PlotDialogs, LineNamesRefuseAnEmptyText) {
    TfrmLineNames dialog({"A", "B"});
    QStringList messages;
    SetMessageHook(test::CollectMessages(messages));
    EXPECT_EQ(dialog.edLine->text(), "A");
    dialog.lbLines->setCurrentRow(1);
    EXPECT_EQ(dialog.edLine->text(), "B");
    dialog.edLine->setText("");
    dialog.edLineExit();
    SetMessageHook(nullptr);
    EXPECT_EQ(messages, QStringList{"The line must have a name!"});
    EXPECT_EQ(dialog.edLine->text(), "B");
    dialog.edLine->setText("Rocking");
    dialog.edLineExit();
    EXPECT_EQ(dialog.Lines(), (QStringList{"A", "Rocking"}));
}

TEST(PlotDialogs, ActiveCurveStates) {
    TfrmActiveLines dialog({"One", "Two", "Three"}, {" yes : ", " no  : ", " yes : "});
    EXPECT_EQ(dialog.lbLines->item(1)->text(), " no  :    Two");
    dialog.lbLines->setCurrentRow(1);
    dialog.lbLinesDblClick();
    EXPECT_EQ(dialog.States()[1], " yes : ");
    dialog.DesactivateButtonClick();
    EXPECT_EQ(dialog.States(), (QStringList{" no  : ", " no  : ", " no  : "}));
    dialog.lbLines->clearSelection();
    dialog.lbLines->item(0)->setSelected(true);
    dialog.lbLines->item(2)->setSelected(true);
    dialog.ActivateDesactivateButtonClick();
    EXPECT_EQ(dialog.States(), (QStringList{" yes : ", " no  : ", " yes : "}));
    dialog.ActivateButtonClick();
    EXPECT_EQ(dialog.lbLines->item(1)->text(), " yes :    Two");
}

TEST(PlotDialogs, SaveAttributesLimits) {
    QStringList messages;
    SetMessageHook(test::CollectMessages(messages));
    TdlgFormat dialog;
    EXPECT_EQ(dialog.windowTitle(), "Save Attributes");
    EXPECT_EQ(dialog.deHeight->EditLabel()->text(), "&Height (in)");
    EXPECT_EQ(dialog.dePPI->EditLabel()->text(), "&Pixels Per Inch");
    EXPECT_TRUE(dialog.rb16->isChecked());
    ASSERT_TRUE(dialog.ReadValues());
    EXPECT_EQ(dialog.HeightInches(), 4);
    EXPECT_EQ(dialog.WidthInches(), 6);
    EXPECT_EQ(dialog.PixelsPerInch(), 72);
    dialog.deHeight->setText("1.5");  // below the 2-inch minimum
    EXPECT_FALSE(dialog.ReadValues());
    EXPECT_EQ(messages.size(), 1);
    dialog.deHeight->setText("2.5");
    dialog.deWidth->setText("5*0.5");
    dialog.dePPI->setText("100");
    ASSERT_TRUE(dialog.ReadValues());
    EXPECT_EQ(PlotBitmapSize(dialog.WidthInches(), dialog.HeightInches(), dialog.PixelsPerInch()), QSize(250, 250));
    SetMessageHook(nullptr);
}

// Arithmetic faults of an entry are entry errors: one message, OK refused,
// nothing thrown out of the dialog.
TEST(PlotDialogs, SaveAttributesRefuseArithmeticFaults) {
    QStringList messages;
    SetMessageHook(test::CollectMessages(messages));
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {{"1/0", "Floating point division by zero"},
                 {"10^5000", "Floating point overflow"},
                 {"1e4000*1e4000*1e4000", "Floating point overflow"}};
    for (const auto& c : cases) {
        for (TDataEdit* TdlgFormat::*box : {&TdlgFormat::deHeight, &TdlgFormat::deWidth, &TdlgFormat::dePPI}) {
            messages.clear();
            TdlgFormat dialog;
            (dialog.*box)->setText(QString::fromLatin1(c.typed));
            bool ok = true;
            EXPECT_NO_THROW(ok = dialog.ReadValues()) << c.typed;
            EXPECT_FALSE(ok) << c.typed;
            ASSERT_EQ(messages.size(), 1) << c.typed;
            EXPECT_TRUE(messages[0].contains(QLatin1String(c.message))) << messages[0].toStdString();
            // The OK button: the dialog stays open.
            messages.clear();
            dialog.show();
            EXPECT_NO_THROW(dialog.btnOK->click()) << c.typed;
            EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
            EXPECT_EQ(messages.size(), 1) << c.typed;
        }
    }
    SetMessageHook(nullptr);
}

// Plot > Save To Disk... with 1/0 typed in Height: the attributes dialog
// refuses it with one message and the program goes on.
TEST_F(PlotSaveTest, SaveToDiskWithAnArithmeticFaultInTheAttributes) {
    QStringList entryMessages;
    // The plot window reports errors, the entry boxes information.
    SetMessageHook([&](const TMessageRequest& r) {
        (r.kind == TMessageKind::Error ? messages : entryMessages) << r.text;
        return int(QMessageBox::Ok);
    });
    QTemporaryDir dir;
    const QString file = dir.filePath("plot.bmp");
    int step = 0;
    // The modal dialogs, one after the other: the file name, then the
    // attributes (1/0 and OK, then Cancel).
    std::function<void()> answer = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            QTimer::singleShot(10, answer);
            return;
        }
        if (auto* names = qobject_cast<QFileDialog*>(modal)) {
            names->selectFile(file);
            static_cast<QDialog*>(names)->accept();
            ++step;
        } else if (auto* format = qobject_cast<TdlgFormat*>(modal)) {
            format->deHeight->setText("1/0");
            format->btnOK->click();
            EXPECT_TRUE(format->isVisible());
            format->reject();
            ++step;
        }
        if (step < 2) QTimer::singleShot(10, answer);
    };
    QTimer::singleShot(0, answer);
    form->MenuItem("PlotSave")->trigger();
    SetMessageHook(nullptr);
    EXPECT_EQ(step, 2);
    EXPECT_EQ(entryMessages, QStringList{"Floating point division by zero"});
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(PlotSaveTest, BitmapWithoutMemoryIsReportedAndNothingWritten) {
    QTemporaryDir dir;
    const QString file = dir.filePath("huge.bmp");
    const TPlotLayoutState before = form->Layout();
    EXPECT_FALSE(form->SaveBitmap(file, 1e6L, 1e6L, 2147483647));
    EXPECT_EQ(messages, QStringList{"There is not enough memory to complete this task."});
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(form->Layout().plot.Right, before.plot.Right);
}

TEST(PageSetup, MarginsNeverBelowTheirMinimum) {
    TPageSetupDialog d;
    d.SetMarginLeft(250);
    d.SetMinMarginLeft(250);
    d.SetMarginLeft(200);
    EXPECT_EQ(d.MarginLeft(), 250);
    d.SetMinMarginLeft(300);
    EXPECT_EQ(d.MinMarginLeft(), 250);
}

TEST(PageSetup, OptionsAndFlagWord) {
    using F = TPageSetupFlags;
    TPageSetupDialog d;
    EXPECT_EQ(d.FlagWord(), 0u);
    EXPECT_EQ(d.Options(), (TPageOptions{F::poDefaultMinMargins, F::poHundredthsOfMillimeters}));
    d.SetOptions({F::poDefaultMinMargins, F::poThousandthsOfInches});
    EXPECT_EQ(d.FlagWord(), 0x4u);
    EXPECT_EQ(d.Options(), (TPageOptions{F::poDefaultMinMargins, F::poThousandthsOfInches}));
    // Minimum margins newly added push out the default minimum margins.
    d.SetOptions({F::poDefaultMinMargins, F::poMinMargins, F::poThousandthsOfInches, F::poDisablePaper});
    EXPECT_EQ(d.Options(), (TPageOptions{F::poMinMargins, F::poThousandthsOfInches, F::poDisablePaper}));
    EXPECT_EQ(d.FlagWord(), 0x1u | 0x4u | 0x200u);
    // Hundredths newly added push out thousandths; thousandths newly added
    // (hundredths there before) push out hundredths.
    TPageSetupDialog e;
    e.SetOptions({F::poThousandthsOfInches, F::poHundredthsOfMillimeters});
    EXPECT_EQ(e.Options(), (TPageOptions{F::poThousandthsOfInches}));
    e.SetOptions({F::poThousandthsOfInches, F::poHundredthsOfMillimeters});
    EXPECT_EQ(e.Options(), (TPageOptions{F::poHundredthsOfMillimeters}));
    EXPECT_EQ(e.FlagWord(), 0x8u);
}

// The margins' unit follows the options: what the dialog shows is what a
// print reads.
TEST(PageSetup, MarginUnitFollowsTheOptions) {
    using F = TPageSetupFlags;
    TPageSetupDialog d;
    EXPECT_EQ(d.MarginUnitsPerInch(), 2540);  // hundredths of a millimetre
    d.SetOptions({F::poDefaultMinMargins, F::poThousandthsOfInches});
    EXPECT_EQ(d.MarginUnitsPerInch(), 1000);
    d.SetOptions({F::poDefaultMinMargins});  // no unit chosen: the dialog shows millimetres
    EXPECT_EQ(d.MarginUnitsPerInch(), 2540);
}

TEST(PageSetup, CancelChangesNothingOkTakesPaperAndMargins) {
    TPageSetupDialog d;
    d.SetMarginLeft(1000);
    d.SetMarginTop(1000);
    d.SetMinMarginTop(500);
    d.SetRunner([](TPageSetupDialog&, TPageSetupDialog::Result& r) {
        r.margins[0] = 1;
        r.paperWidth = 8500;
        return false;
    });
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.MarginLeft(), 1000);
    EXPECT_EQ(d.PaperWidth(), 0);
    d.SetRunner([](TPageSetupDialog&, TPageSetupDialog::Result& r) {
        r.margins[0] = 750;
        r.margins[1] = 100;  // below the minimum
        r.paperWidth = 8500;
        r.paperLength = 11000;
        return true;
    });
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.MarginLeft(), 750);
    EXPECT_EQ(d.MarginTop(), 500);
    EXPECT_EQ(d.PaperWidth(), 8500);
    EXPECT_EQ(d.PaperLength(), 11000);
}

TEST(PageSetup, NoPrinterIsReported) {
    TPageSetupDialog d;
    QStringList messages;
    SetMessageHook(test::CollectMessages(messages));
    EXPECT_FALSE(d.Execute());
    SetMessageHook(nullptr);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "Error in TPageSetupDialog.Execute\rError getting Printer\rError in GetPrinter\rPrinter not Assigned");
}

}  // namespace
}  // namespace vortn

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPageSetupDialog>

namespace vortn {
namespace {

// The dialog shown takes the options: its unit, the minimum margins it was
// given, and the parts it is told to disable.
TEST(PageSetup, ShownDialogFollowsTheOptions) {
    using F = TPageSetupFlags;
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    struct Case {
        TPageOptions options;
        QPageLayout::Unit unit;
        double marginLeft, minLeft;  // in that unit
        bool paper, orientation, margins;  // enabled
    };
    const Case cases[] = {
        {{F::poMinMargins, F::poThousandthsOfInches, F::poDisablePaper, F::poDisableOrientation},
         QPageLayout::Inch, 1.0, 0.25, false, false, true},
        {{F::poMinMargins, F::poHundredthsOfMillimeters, F::poDisableMargins}, QPageLayout::Millimeter, 10.0, 2.5,
         true, true, false},
    };
    for (const Case& c : cases) {
        TPageSetupDialog d;
        d.SetPrinter(&printer);
        d.SetOptions(c.options);
        const bool inches = c.unit == QPageLayout::Inch;
        for (auto set : {&TPageSetupDialog::SetMarginLeft, &TPageSetupDialog::SetMarginTop,
                         &TPageSetupDialog::SetMarginRight, &TPageSetupDialog::SetMarginBottom})
            (d.*set)(1000);
        for (auto set : {&TPageSetupDialog::SetMinMarginLeft, &TPageSetupDialog::SetMinMarginTop,
                         &TPageSetupDialog::SetMinMarginRight, &TPageSetupDialog::SetMinMarginBottom})
            (d.*set)(250);
        QPrinter copy(QPrinter::ScreenResolution);
        const std::unique_ptr<QPageSetupDialog> dlg = d.MakeQtDialog(copy);
        const QPageLayout layout = copy.pageLayout();
        SCOPED_TRACE(inches ? "inches" : "millimetres");
        EXPECT_EQ(layout.units(), c.unit);
        EXPECT_DOUBLE_EQ(layout.margins().left(), c.marginLeft);
        EXPECT_DOUBLE_EQ(layout.minimumMargins().left(), c.minLeft);
        EXPECT_EQ(layout.mode(), QPageLayout::StandardMode);
        auto* unitCombo = dlg->findChild<QComboBox*>("unitCombo");
        ASSERT_NE(unitCombo, nullptr);
        EXPECT_EQ(unitCombo->currentData().value<QPageLayout::Unit>(), c.unit);
        // (The custom width and height follow the chosen size of their own.)
        auto* size = dlg->findChild<QComboBox*>("pageSizeCombo");
        ASSERT_NE(size, nullptr);
        EXPECT_EQ(size->isEnabled(), c.paper);
        if (!c.paper) {
            for (const char* name : {"pageWidth", "pageHeight"}) EXPECT_FALSE(dlg->findChild<QWidget*>(name)->isEnabled());
        }
        for (const char* name : {"portrait", "landscape"}) {
            auto* w = dlg->findChild<QWidget*>(name);
            ASSERT_NE(w, nullptr) << name;
            EXPECT_EQ(w->isEnabled(), c.orientation) << name;
        }
        for (const char* name : {"topMargin", "leftMargin"}) {
            auto* w = dlg->findChild<QDoubleSpinBox*>(name);
            ASSERT_NE(w, nullptr) << name;
            EXPECT_EQ(w->isEnabled(), c.margins) << name;
        }
    }
}

}  // namespace
}  // namespace vortn
