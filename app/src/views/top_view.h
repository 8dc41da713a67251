// The top view: an MDI child that draws the plan of the foundation (the
// footing or pile-cap outline and the piles as discs), reads the mouse
// position out in its caption and prints the plan on one landscape page.
#pragma once

#include "plane_view.h"
#include "top_view_model.h"

#include <memory>

namespace Ui {
class DlgTopView;
}

namespace vortn {

class TDlgTopView : public TPlaneView {
    Q_OBJECT

public:
    explicit TDlgTopView(QWidget* parent = nullptr);
    ~TDlgTopView() override;

    TTopViewModel& Model() { return model_; }
    bool GetNoDraw() const { return model_.GetNoDraw(); }

    void FormCreate();
    void FormActivate() override;
    void FormResize() override;
    void FormMouseMove(int x, int y) override;
    // The plan as the window shows it; it also records the outline's
    // extents for the next fit.
    void Draw(QPainter& painter, const QSize& client) override;
    // The plan on a printer page of W x H pixels, fitted to the page.
    void Draw2(QPainter& painter, const QRect& page) override;

protected:
    void ClearRecords() override { model_.ClearRecords(); }

private:
    // Outline and the discs; `page` keeps discs round on unequal resolutions.
    void PaintPlan(QPainter& painter, int width, int height, bool page, int cx, int cy);

    std::unique_ptr<Ui::DlgTopView> ui_;
    TTopViewModel model_;
};

}  // namespace vortn
