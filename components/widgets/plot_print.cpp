// Printing and saving of the plot window: the window's own painting on the
// printer's page or on a bitmap, with a layout made for that target.
#include "plot_dialogs.h"
#include "plot_window.h"
#include "print_target.h"

#include <QFileDialog>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace vortn {

bool TPlotForm::PrintTo(QPrinter& printer) {
    const TPlotLayoutState saved = st_;
    printer.setDocName(plot_->Caption);
    QPainter p;
    if (!p.begin(&printer)) {
        st_ = saved;
        ShowMessage(QStringLiteral("The print job could not be started on %1.")
                            .arg(printer.printerName().isEmpty() ? printer.outputFileName() : printer.printerName()));
        return false;
    }
    const int lpx = printer.logicalDpiX(), lpy = printer.logicalDpiY();
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(printer.resolution());
    const QRect paint = layout.paintRectPixels(printer.resolution());
    const int offX = paint.left() - full.left(), offY = paint.top() - full.top();
    // The canvas font of the printer: the window's font at the printer's resolution.
    st_.fontHeight = std::max(1, 14 * lpy / std::max(1, canvas_->logicalDpiY()));
    st_.windowWidth = canvas_->width();
    st_.windowHeight = canvas_->height();
    const TIntRect page =
            PlotPrintPageRect(pageSetup_.MarginLeft(), pageSetup_.MarginTop(), pageSetup_.MarginRight(),
                              pageSetup_.MarginBottom(), lpx, lpy, offX, offY, paint.width(), paint.height());
    st_.bitmap = false;
    st_.pageFlag = true;
    LayoutPrintedPage(page, lpx, lpy);
    PaintPlot(p);
    const bool finished = p.end();
    st_ = saved;
    canvas_->update();
    if (!finished) ShowMessage(QStringLiteral("The page could not be printed."));
    return finished;
}

bool TPlotForm::RenderBitmap(long double widthInches, long double heightInches, int ppi, QImage& image) {
    const QSize size = PlotBitmapSize(widthInches, heightInches, ppi);
    if (size.width() <= 0 || size.height() <= 0) return false;
    image = QImage(size, QImage::Format_RGB32);
    if (image.isNull()) return false;
    const TPlotLayoutState saved = st_;
    st_.fontHeight = 14;
    st_.windowWidth = canvas_->width();
    st_.windowHeight = canvas_->height();
    LayoutPage(TIntRect{0, 0, size.width(), size.height()}, saved.lpx, saved.lpy, saved.lpx / 2);
    st_.bitmap = st_.pageFlag = true;
    {
        QPainter p(&image);
        PaintPlot(p);
    }
    st_ = saved;
    return true;
}

bool TPlotForm::SaveBitmap(const QString& fileName, long double widthInches, long double heightInches, int ppi) {
    QImage image;
    if (!RenderBitmap(widthInches, heightInches, ppi, image)) {
        ShowMessage(QStringLiteral("There is not enough memory to complete this task."));
        return false;
    }
    const bool ok = image.save(fileName, "BMP");
    canvas_->update();
    if (!ok) ShowMessage(QStringLiteral("The bitmap could not be written to %1.").arg(fileName));
    return ok;
}

void TPlotForm::PlotPrintClick() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!RunPrintDialog(*printer_, this)) {
        canvas_->update();
        return;
    }
    PrintTo(*printer_);
}

void TPlotForm::PlotPageClick() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pageSetup_.SetPrinter(printer_.get());
    pageSetup_.SetParentWidget(this);
    pageSetup_.Execute();
}

void TPlotForm::PlotSaveClick() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    dialog.setNameFilter(QStringLiteral("Bitmap (*.bmp)"));
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().first();
    TdlgFormat format(this);
    if (format.exec() != QDialog::Accepted) return;
    SaveBitmap(file, format.WidthInches(), format.HeightInches(), format.PixelsPerInch());
}

}  // namespace vortn
