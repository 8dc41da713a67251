// The side views: MDI children that draw the soil-pile profile of the
// project in the XZ or the YZ plane, read the mouse position out in their
// caption and print the profile on one landscape page.
#pragma once

#include "plane_view.h"
#include "side_view_model.h"

#include <memory>

namespace Ui {
class DlgSideView;
}

namespace vortn {

class TDlgSideView : public TPlaneView {
    Q_OBJECT

public:
    ~TDlgSideView() override;

    TSideViewModel& Model() { return model_; }
    const TSideViewModel& Model() const { return model_; }
    bool GetNoDraw() const { return model_.GetNoDraw(); }

    void FormCreate();
    void FormActivate() override;
    void FormResize() override;
    void FormMouseMove(int x, int y) override;
    void Draw(QPainter& painter, const QSize& client) override;
    void Draw2(QPainter& painter, const QRect& page) override;

protected:
    TDlgSideView(TSidePlane plane, const QString& caption, QWidget* parent);
    void ClearRecords() override { model_.ClearRecords(); }
    void resizeEvent(QResizeEvent* event) override;

private:
    // The "Print" button keeps to the top-right corner, where no label is.
    void PlacePrintButton();
    struct Canvas;
    void PaintProfile(QPainter& painter, const Canvas& canvas) const;

    std::unique_ptr<Ui::DlgSideView> ui_;
    TSideViewModel model_;
};

class TDlgSideViewXZ : public TDlgSideView {
    Q_OBJECT
public:
    explicit TDlgSideViewXZ(QWidget* parent = nullptr);
};

class TDlgSideViewYZ : public TDlgSideView {
    Q_OBJECT
public:
    explicit TDlgSideViewYZ(QWidget* parent = nullptr);
};

}  // namespace vortn
