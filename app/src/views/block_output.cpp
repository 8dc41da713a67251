// The 3D view's picture off the screen: saved as a bitmap and printed
// within the page set-up margins.
#include "block_view.h"

#include "exceptions.h"
#include "gl_window.h"
#include "print_target.h"
#include "message_box.h"
#include "view_support.h"

#include <QFileDialog>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace vortn {

bool TDlgBlock::RenderBitmap(QImage& image) {
    TglWindow* gl = GL();
    FitGLToClient();  // a form not shown yet has not laid its client out
    const int w = gl->GetWidth(), h = gl->GetHeight();
    if (w <= 0 || h <= 0) {
        InformationBox(this, QStringLiteral("The 3D view has no area to draw."));
        return false;
    }
    TglBitmap bitmap(w, h);
    try {
        gl->SetupBitmapPixelFormat(bitmap);
    } catch (const EOpenGL& e) {
        InformationBox(this, QStringLiteral("The 3D picture could not be drawn: ") + e.Message());
        return false;
    }
    if (!bitmap.MakeCurrent()) {
        InformationBox(this, QStringLiteral("The 3D picture could not be drawn: no OpenGL context."));
        return false;
    }
    struct Immediate {
        bool& flag;
        TglBitmap& bitmap;
        ~Immediate() {
            flag = false;
            bitmap.DoneCurrent();
        }
    } immediate{ImmediateMode, bitmap};
    try {
        gl->SetupFontLists();
        ImmediateMode = true;
        RefreshModel();
        glSetupRC();
        DrawFigure();
        gl->Finish();
        image = bitmap.ToImage();
    } catch (const Exception& e) {
        InformationBox(this, QStringLiteral("The 3D picture could not be drawn: ") + e.Message());
        return false;
    }
    return true;
}

bool TDlgBlock::SaveBitmap(const QString& fileName) {
    QImage image;
    if (!RenderBitmap(image)) return false;
    if (!image.convertToFormat(QImage::Format_RGB888).save(fileName, "BMP")) {
        InformationBox(this, QStringLiteral("The bitmap could not be written to ") + fileName + QStringLiteral("."));
        return false;
    }
    return true;
}

void TDlgBlock::SaveBitmapButtonClick() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    dialog.setNameFilter(QStringLiteral("Bitmap files (*.bmp)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    SaveBitmap(dialog.selectedFiles().first());
}

bool TDlgBlock::PrintTo(QPrinter& printer) {
    QImage image;
    if (!RenderBitmap(image)) return false;
    printer.setDocName(QStringLiteral("OPenGL figure"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        InformationBox(this,
                       QStringLiteral("The 3D picture could not be printed: the printer did not start the page."));
        return false;
    }
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(printer.resolution());
    const QRect paint = layout.paintRectPixels(printer.resolution());
    const TPrintBox box = PrintPlacement(
            printer.logicalDpiX(), printer.logicalDpiY(), paint.left() - full.left(), paint.top() - full.top(),
            paint.width(), paint.height(), pageSetup_.MarginLeft(), pageSetup_.MarginTop(), pageSetup_.MarginRight(),
            pageSetup_.MarginBottom(), image.width(), image.height(), pageSetup_.MarginUnitsPerInch());
    if (box.width <= 0 || box.height <= 0) {
        painter.end();
        InformationBox(this, QStringLiteral("The page margins leave no room for the 3D picture."));
        return false;
    }
    painter.drawImage(QRect(box.left, box.top, box.width, box.height), image);
    if (!painter.end()) {
        InformationBox(this, QStringLiteral("The 3D picture could not be printed."));
        return false;
    }
    return true;
}

void TDlgBlock::PrintButtonClick() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (RunPrintDialog(*printer_, this)) PrintTo(*printer_);
}

void TDlgBlock::PageSetupButtonClick() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pageSetup_.SetPrinter(printer_.get());
    pageSetup_.SetParentWidget(this);
    pageSetup_.Execute();
}

}  // namespace vortn
