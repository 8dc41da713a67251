// The side views: MDI children that draw the soil-pile profile of the
// project in the XZ or the YZ plane, read the mouse position out in their
// caption and print the profile on one landscape page.
#pragma once

#include "side_view_model.h"

#include <QWidget>
#include <functional>
#include <memory>

class QPrinter;
namespace Ui {
class DlgSideView;
}

namespace vortn {

class TProjectHolder;

class TDlgSideView : public QWidget {
    Q_OBJECT

public:
    ~TDlgSideView() override;

    // The project and tables drawn (the program's holder unless given).
    void SetHolder(TProjectHolder* holder) { holder_ = holder; }
    TProjectHolder* Holder() const;

    TSideViewModel& Model() { return model_; }
    const TSideViewModel& Model() const { return model_; }
    bool GetNoDraw() const { return model_.GetNoDraw(); }

    // Told when the window closes (the main window clears its open flag).
    std::function<void()> OnFormClose;

    // Handlers of the form.
    void FormCreate();
    Q_INVOKABLE void FormActivate();
    void FormResize();
    void FormPaint();
    void FormMouseMove(int x, int y);
    Q_INVOKABLE void FormDeactivate() {}
    void Button1Click();

    // The profile as the window shows it, drawn on any canvas of that size
    // (the window, a picture).
    void Draw(QPainter& painter, const QSize& client) const;
    // The profile on a printer page (page rectangle from 0, 0).
    void Draw2(QPainter& painter, const QRect& page) const;
    // The profile drawn into a picture of the window's client size.
    QImage RenderImage() const;
    // Prints on `printer` (landscape, one page). False, with a message, when
    // the page cannot be started.
    bool PrintTo(QPrinter& printer);

protected:
    TDlgSideView(TSidePlane plane, const QString& caption, QWidget* parent);
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Canvas;
    void PaintProfile(QPainter& painter, const Canvas& canvas) const;

    std::unique_ptr<Ui::DlgSideView> ui_;
    TSideViewModel model_;
    TProjectHolder* holder_ = nullptr;
    bool closing_ = false;
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

// The message shown when a pile type has no sections.
extern const char* const NoPileSectionsMessage;

}  // namespace vortn
