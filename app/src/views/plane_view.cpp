#include "plane_view.h"

#include "exceptions.h"
#include "print_target.h"
#include "project_holder.h"
#include "message_box.h"
#include "view_support.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>

namespace vortn {

const char* const NoPileSectionsMessage = "One or more Pile Types does not have any sections";

TPlaneView::TPlaneView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    ConnectViewActivation(this, [this] { FormActivate(); });
}

TProjectHolder* TPlaneView::Holder() const { return holder_ ? holder_ : TProjectHolder::Main(); }

void TPlaneView::ConnectPrintButton(QAbstractButton* button) {
    connect(button, &QAbstractButton::clicked, this, [this] { Button1Click(); });
}

bool TPlaneView::Rebuild(const std::function<void(TProjectHolder&)>& build) {
    TProjectHolder* h = Holder();
    if (!h) return false;
    try {
        build(*h);
        return true;
    } catch (const EListError&) {
        InformationBox(this, QString::fromLatin1(NoPileSectionsMessage));
    } catch (const Exception& e) {
        InformationBox(this, e.Message());
    }
    CloseViewWindow(this);
    return false;
}

void TPlaneView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw(painter, size());
}

void TPlaneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TPlaneView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (width() <= 0 || height() <= 0) return;
    if (!readOut_) caption_ = windowTitle();
    readOut_ = true;
    FormMouseMove(p.x(), p.y());
}

void TPlaneView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    // The read-out is of a point the mouse has left.
    if (!readOut_) return;
    readOut_ = false;
    setWindowTitle(caption_);
}

void TPlaneView::closeEvent(QCloseEvent* event) {
    ClearRecords();
    if (!closing_) {
        closing_ = true;
        if (OnFormClose) OnFormClose();
    }
    event->accept();
}

QImage TPlaneView::RenderImage() {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Base));
    QPainter painter(&image);
    Draw(painter, size());
    return image;
}

void TPlaneView::Button1Click() {
    QPrinter printer(QPrinter::HighResolution);
    if (UseDefaultPrinterOrPdf(printer, this, windowTitle())) PrintTo(printer);
}

bool TPlaneView::PrintTo(QPrinter& printer) {
    return PrintLandscapePage(this, printer, QStringLiteral("Soil-Pile Profile"),
                              [this](QPainter& painter, const QRect& page) { Draw2(painter, page); });
}

}  // namespace vortn
