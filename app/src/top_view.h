// The top view: an MDI child that draws the plan of the foundation (the
// footing or pile-cap outline and the piles as discs), reads the mouse
// position out in its caption and prints the plan on one landscape page.
#pragma once

#include "top_view_model.h"

#include <QWidget>
#include <functional>
#include <memory>

class QPrinter;
namespace Ui {
class DlgTopView;
}

namespace vortn {

class TProjectHolder;

class TDlgTopView : public QWidget {
    Q_OBJECT

public:
    explicit TDlgTopView(QWidget* parent = nullptr);
    ~TDlgTopView() override;

    void SetHolder(TProjectHolder* holder) { holder_ = holder; }
    TProjectHolder* Holder() const;
    TTopViewModel& Model() { return model_; }
    bool GetNoDraw() const { return model_.GetNoDraw(); }

    std::function<void()> OnFormClose;

    void FormCreate();
    Q_INVOKABLE void FormActivate();
    void FormResize();
    void FormPaint();
    void FormMouseMove(int x, int y);
    Q_INVOKABLE void FormDeactivate() {}
    void Button1Click();

    // The plan as the window shows it, on any canvas of that size; it also
    // records the outline's extents for the next fit.
    void Draw(QPainter& painter, const QSize& client);
    // The plan on a printer page of W x H pixels, fitted to the page.
    void Draw2(QPainter& painter, const QRect& page);
    QImage RenderImage();
    bool PrintTo(QPrinter& printer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Outline and the discs; `page` draws discs round on unequal resolutions.
    void PaintPlan(QPainter& painter, int width, int height, bool page, int cx, int cy);

    std::unique_ptr<Ui::DlgTopView> ui_;
    TTopViewModel model_;
    TProjectHolder* holder_ = nullptr;
    bool closing_ = false;
};

}  // namespace vortn
