#include "side_view.h"

#include "grid_table.h"
#include "number_format.h"
#include "program_data.h"
#include "project_holder.h"
#include "ui_DlgSideView.h"
#include "view_support.h"

#include <QPainter>

#include <algorithm>
#include <limits>

namespace vortn {

// Where the profile goes: the window (or a picture of its size) or a page.
struct TDlgSideView::Canvas {
    bool page = false;
    int width = 0, height = 0;
    const TSideViewModel* model = nullptr;
    QRect keepClear;  // where no label may go (the window's "Print" button)

    int X(Extended x) const { return page ? model->PageX(x, width) : model->PixelX(x, width); }
    int Y(Extended z) const { return page ? model->PageY(z, height) : model->PixelY(z, height); }
    int LineLeft() const { return page ? RoundPixel(0.1L * width) : 0; }
    int LineRight() const { return page ? RoundPixel(0.9L * width) : width; }
    int LabelX() const { return page ? RoundPixel(0.15L * height) : 0; }
};

TDlgSideView::TDlgSideView(TSidePlane plane, const QString& caption, QWidget* parent)
    : TPlaneView(parent), ui_(std::make_unique<Ui::DlgSideView>()), model_(plane) {
    ui_->setupUi(this);
    setWindowTitle(caption);
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(10);
    setFont(f);
    ConnectPrintButton(ui_->Button1);
    PlacePrintButton();
    FormCreate();
}

TDlgSideView::~TDlgSideView() = default;

TDlgSideViewXZ::TDlgSideViewXZ(QWidget* parent)
    : TDlgSideView(TSidePlane::XZ, QStringLiteral("Side View (XZ-Plane)"), parent) {}

TDlgSideViewYZ::TDlgSideViewYZ(QWidget* parent)
    : TDlgSideView(TSidePlane::YZ, QStringLiteral("Side View (YZ-Plane)"), parent) {}

void TDlgSideView::PlacePrintButton() {
    QWidget* b = ui_->Button1;
    b->move(std::max(0, width() - b->width() - 8), b->y());
}

void TDlgSideView::resizeEvent(QResizeEvent* event) {
    PlacePrintButton();
    TPlaneView::resizeEvent(event);
}

void TDlgSideView::FormCreate() {
    model_.ClearRecords();
    model_.SetModelWindow(TProfileWindow{});
}

void TDlgSideView::FormActivate() {
    if (GetNoDraw()) return;
    const bool built = Rebuild([this](TProjectHolder& h) {
        if (model_.BuildRecords(h)) model_.Fit(h.Project().FootingType, h.Project().SumPileLength);
    });
    if (built) FormResize();
}

void TDlgSideView::FormResize() {
    if (GetNoDraw()) return;
    model_.Aspect(width(), height());
    FormPaint();
}

void TDlgSideView::FormMouseMove(int x, int y) {
    if (GetNoDraw() || width() <= 0 || height() <= 0) return;
    const Extended wx = model_.WorldX(x, width()), wz = model_.WorldZ(y, height());
    setWindowTitle(QStringLiteral("Side View X: ") + FixedText(wx, 6, 1) + QStringLiteral(" Depth: ") +
                   FixedText(wz, 6, 1));
}

void TDlgSideView::Draw(QPainter& painter, const QSize& client) {
    if (GetNoDraw()) return;
    painter.fillRect(QRect(QPoint(0, 0), client), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    painter.setFont(font());
    Canvas canvas;
    canvas.width = client.width();
    canvas.height = client.height();
    canvas.model = &model_;
    canvas.keepClear = ui_->Button1->geometry();
    PaintProfile(painter, canvas);
}

void TDlgSideView::Draw2(QPainter& painter, const QRect& page) {
    if (GetNoDraw()) return;
    const int W = page.width(), H = page.height();
    painter.setPen(QPen(Qt::black, 12, Qt::SolidLine));
    QFont f(font());
    f.setPointSizeF(10);
    painter.setFont(f);
    painter.fillRect(QRect(QPoint(RoundPixel(0.1L * W), RoundPixel(0.1L * H)),
                           QPoint(RoundPixel(0.9L * W), RoundPixel(0.9L * H))),
                     palette().color(QPalette::Base));
    Canvas canvas;
    canvas.page = true;
    canvas.width = W;
    canvas.height = H;
    canvas.model = &model_;
    PaintProfile(painter, canvas);
}

void TDlgSideView::PaintProfile(QPainter& painter, const Canvas& c) const {
    TProjectHolder* h = Holder();
    if (!h) return;
    const TProgramData& p = h->Project();
    const int lineHeight = painter.fontMetrics().height();
    const int textOffset = c.page ? 2 * lineHeight : 20;

    auto line = [&](Extended z) {
        const int y = c.Y(z);
        painter.drawLine(c.LineLeft(), y, c.LineRight(), y);
    };
    auto ground = [&](Extended z) {
        line(z);
        const int y = c.Y(z);
        if (c.page) {
            const int x0 = RoundPixel(0.25L * c.height), x1 = RoundPixel(0.265L * c.height);
            for (int k = 1; k <= 10; ++k) painter.drawLine(x0 + 50 * k, y, x1 + 50 * k, y + 70);
        } else {
            for (int k = 1; k <= 20; ++k) painter.drawLine(100 + 20 * k, y, 115 + 20 * k, y + 5);
        }
    };
    // The texts are written once the bodies are drawn, so that none hides them.
    struct Label {
        int y;
        QStringList lines;
    };
    std::vector<Label> labels;
    auto propertyLine = [](Extended v, Extended pr) {
        return QStringLiteral("Shear Wave Velocity= ") + FloatToStr(v) + QStringLiteral("; Poissons Ratio= ") +
               FloatToStr(pr);
    };
    auto label = [&](int k, Extended top, Extended bottom, Extended at, Extended v, Extended pr) {
        labels.push_back({c.Y(at),
                          {QStringLiteral("depth= ") + FloatToStr(top) + QStringLiteral(" - ") + FloatToStr(bottom) +
                                   QStringLiteral("; Layer ") + QString::number(k),
                           propertyLine(v, pr)}});
    };

    const TFoundationType type = p.FoundationOrFooting();
    const TProfileLevels levels = ProfileLevels(*h);
    const TGridTable& D = h->D();
    // Every loop stops at the end of the shortest table it reads.
    if (type == TFoundationType::Pile) {
        const TGridTable& pileData = h->PileData();
        const int rows = std::min(D.RowCount(), pileData.RowCount());
        Extended bottom = 0;
        for (int i = 0; i < rows; ++i) {
            const Extended thickness = pileData.Cells(0, i).AsFloat();
            bottom += thickness;
            const Extended top = bottom - thickness;
            line(bottom);
            if (i == 0) {
                // An embedded cap has the ground at its top, its base on the piles.
                ground(levels.ground);
                if (levels.ground != 0) line(0);
            }
            label(i + 1, top, bottom, bottom - 0.95L * thickness, D.Cells(0, i).AsFloat(), D.Cells(2, i).AsFloat());
        }
    } else if (type == TFoundationType::Stratum) {
        const Extended g = levels.ground;
        ground(g);
        line(levels.rockDepth);
        labels.push_back(
                {c.Y(g) + textOffset,
                 {QStringLiteral("Layer thickness= ") + FloatToStr(p.BedRockDepth) + QStringLiteral("; Layer 1"),
                  propertyLine(p.SoilVelocity, p.SoilPoisson)}});
        labels.push_back({c.Y(levels.rockDepth) + textOffset, {QStringLiteral("Rock Layer ")}});
    } else if (type == TFoundationType::HalfSpace) {
        const TGridTable& D1 = h->D1();
        // The layers end at the footing's base.
        const Extended o = levels.ground;
        Extended bottom = 0;
        for (int i = 0; i < D1.RowCount(); ++i) {
            const Extended thickness = D1.Cells(0, i).AsFloat();
            bottom += thickness;
            const Extended top = bottom - thickness;
            line(bottom + o);
            if (i == 0) ground(o);
            // Drawn shifted by o; the labels give the depths of the table.
            label(i + 1, top, bottom, bottom - 0.95L * thickness + o, D1.Cells(1, i).AsFloat(),
                  D1.Cells(3, i).AsFloat());
        }
        if (D1.RowCount() == 0) ground(o);
        labels.push_back({c.Y(bottom + o) + textOffset,
                          {QStringLiteral("Soil below the tip "), propertyLine(p.SoilVelocity, p.SoilPoisson)}});
    } else if (type == TFoundationType::Multilayer) {
        const TGridTable& element = h->MultiElement();
        const TGridTable& column = h->Multisoil();
        Extended bottom = 0;
        for (int i = 0; i < element.RowCount(); ++i) {
            const bool inD = i < D.RowCount();
            const int row = inD ? i : i - D.RowCount();
            if (!inD && row >= column.RowCount()) break;
            const TGridTable& soil = inD ? D : column;
            const Extended thickness = element.Cells(0, i).AsFloat();
            bottom += thickness;
            const Extended top = bottom - thickness;
            line(bottom);
            if (i == 0) ground(0);
            label(i + 1, top, bottom, bottom - 0.95L * thickness, soil.Cells(0, row).AsFloat(),
                  soil.Cells(2, row).AsFloat());
        }
    }

    painter.setBrush(c.page ? QColor(Qt::black) : palette().color(QPalette::Text));
    auto body = [&](const TPileRecord& r) {
        const QPoint poly[4] = {{c.X(r.P[0].x), c.Y(r.P[0].z)},
                                {c.X(r.P[1].x), c.Y(r.P[1].z)},
                                {c.X(r.P[3].x), c.Y(r.P[3].z)},
                                {c.X(r.P[2].x), c.Y(r.P[2].z)}};
        painter.drawPolygon(poly, 4);
    };
    if (model_.HasCap()) body(model_.Cap());
    for (const TPileRecord& r : model_.Records()) body(r);
    painter.setBrush(Qt::NoBrush);

    // Labels on their own background; one that would overprint the one above
    // (a thin layer) or lie under the button moves down below it.
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(palette().color(QPalette::Base));
    const QFontMetrics metrics = painter.fontMetrics();
    int free = std::numeric_limits<int>::min();
    for (const Label& l : labels) {
        int y = std::max(l.y, free);
        int width = 0;
        for (const QString& text : l.lines) width = std::max(width, metrics.horizontalAdvance(text));
        const QRect area(c.LabelX(), y, width, int(l.lines.size()) * lineHeight);
        if (!c.keepClear.isNull() && area.intersects(c.keepClear)) y = c.keepClear.bottom() + 1;
        for (int k = 0; k < int(l.lines.size()); ++k) TextOutTop(painter, c.LabelX(), y + k * lineHeight, l.lines[k]);
        free = y + int(l.lines.size()) * lineHeight;
    }
    painter.setBackgroundMode(Qt::TransparentMode);
}

}  // namespace vortn
