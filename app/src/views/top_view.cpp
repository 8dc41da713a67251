#include "top_view.h"

#include "project_holder.h"
#include "ui_DlgTopView.h"
#include "view_support.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vortn {

TDlgTopView::TDlgTopView(QWidget* parent) : TPlaneView(parent), ui_(std::make_unique<Ui::DlgTopView>()) {
    ui_->setupUi(this);
    setWindowTitle(QStringLiteral("Top View"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    ConnectPrintButton(ui_->Button1);
    FormCreate();
}

TDlgTopView::~TDlgTopView() = default;

void TDlgTopView::FormCreate() {
    model_.ClearRecords();
    model_.SetModelWindow(TPlanWindow{});
}

void TDlgTopView::FormActivate() {
    if (GetNoDraw()) return;
    // The outline of the project as it is now, not of the last paint: the
    // first picture of a window shows the whole cap or footing.
    if (!Rebuild([this](TProjectHolder& h) {
            model_.BuildRecords(h);
            const TPlanBounds b = TTopViewModel::Bounds(h);
            model_.SetExtents(b.Ex(), b.Ey());
        }))
        return;
    model_.Fit();
    FormResize();
}

void TDlgTopView::FormResize() {
    if (GetNoDraw() || width() <= 0 || height() <= 0) return;
    model_.Aspect(width(), height());
    FormPaint();
}

void TDlgTopView::FormMouseMove(int x, int y) {
    if (GetNoDraw() || width() <= 0 || height() <= 0) return;
    setWindowTitle(QStringLiteral("Top View X: ") + FixedText(model_.WorldX(x, width()), 6, 1) +
                   QStringLiteral(" Y: ") + FixedText(model_.WorldY(y, height()), 6, 1));
}

void TDlgTopView::PaintPlan(QPainter& painter, int width, int height, bool page, int cx, int cy) {
    TProjectHolder* h = Holder();
    if (!h) return;
    const TPlanBounds b = TTopViewModel::Bounds(*h);
    model_.SetExtents(b.Ex(), b.Ey());
    auto at = [&](Extended x, Extended y) {
        const TPixelRect r = model_.CircleRect(x, y, 0, width, height);
        return QPoint(r.left, r.top);
    };
    const QPoint outline[5] = {at(b.minX, b.maxY), at(b.maxX, b.maxY), at(b.maxX, b.minY), at(b.minX, b.minY),
                               at(b.minX, b.maxY)};
    if (b.Ex() != 0 || b.Ey() != 0) painter.drawPolyline(outline, 5);
    for (const TPlanPile& pile : model_.Records()) {
        const TPixelRect r = model_.CircleRect(pile.X, pile.Y, pile.R, width, height);
        if (!page) {
            painter.drawEllipse(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
            continue;
        }
        // Round on printers whose two resolutions differ.
        const int mx = (r.left + r.right) / 2, my = (r.top + r.bottom) / 2;
        const int rx = std::min(std::abs(r.right - r.left), std::abs(r.bottom - r.top)) / 2;
        const int ry = RoundPixel(Extended(rx) * cy / cx);
        painter.drawEllipse(QRect(QPoint(mx - rx, my - ry), QPoint(mx + rx - 1, my + ry - 1)));
    }
}

void TDlgTopView::Draw(QPainter& painter, const QSize& client) {
    if (GetNoDraw()) return;
    painter.fillRect(QRect(QPoint(0, 0), client), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    painter.setBrush(palette().color(QPalette::Text));
    PaintPlan(painter, client.width(), client.height(), false, 1, 1);
    painter.setBrush(Qt::NoBrush);
}

void TDlgTopView::Draw2(QPainter& painter, const QRect& page) {
    if (GetNoDraw()) return;
    const int W = page.width(), H = page.height();
    const bool landscape = W >= H;
    const int cx = ResolutionClass(landscape ? W / 10 : W / 8);
    const int cy = ResolutionClass(landscape ? H / 8 : H / 10);
    painter.setPen(QPen(Qt::black, 12, Qt::SolidLine));
    const QColor window = palette().color(QPalette::Base);
    painter.fillRect(QRect(QPoint(RoundPixel(0.1L * W), RoundPixel(0.1L * H)),
                           QPoint(RoundPixel(0.9L * W), RoundPixel(0.9L * H))),
                     window);
    painter.fillRect(QRect(0, 0, W, H), window);
    painter.setBrush(Qt::black);
    const TPlanView saved = model_.View();
    model_.Aspect(W, H);
    PaintPlan(painter, W, H, true, cx, cy);
    model_.SetView(saved);
    painter.setBrush(Qt::NoBrush);
}

}  // namespace vortn
