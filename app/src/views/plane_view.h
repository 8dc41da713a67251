// What the side views and the top view share: an MDI child that draws a
// plane picture of the project in its paint event, rebuilds it on every
// activation, reads the mouse position out in its caption and prints the
// picture on one landscape page with its "Print" button.
#pragma once

#include "child_form.h"

#include <QWidget>
#include <functional>

class QAbstractButton;
class QPrinter;

namespace vortn {

class TProjectHolder;

class TPlaneView : public QWidget, public TChildForm {
    Q_OBJECT

public:
    // The project and tables drawn (the program's holder unless given).
    void SetHolder(TProjectHolder* holder) { holder_ = holder; }
    TProjectHolder* Holder() const;

    // Told when the window closes (the main window clears its open flag).
    std::function<void()> OnFormClose;

    virtual void FormActivate() = 0;
    // TChildForm: a view rebuilds its picture and holds no entries.
    void ReloadChild() override { FormActivate(); }
    bool CommitChild() override { return true; }
    virtual void FormResize() = 0;
    // Painting happens in the paint event only; this asks for one.
    void FormPaint() { update(); }
    virtual void FormMouseMove(int x, int y) = 0;
    void Button1Click();

    // The picture as the window shows it, on any canvas of that size (the
    // window, a picture).
    virtual void Draw(QPainter& painter, const QSize& client) = 0;
    // The picture on a printer page (page rectangle from 0, 0).
    virtual void Draw2(QPainter& painter, const QRect& page) = 0;
    // The picture drawn into an image of the window's client size.
    QImage RenderImage();
    // Prints on `printer` (landscape, one page); false, with a message, when
    // the page could not be printed.
    bool PrintTo(QPrinter& printer);

protected:
    explicit TPlaneView(QWidget* parent);
    // Binds the form's "Print" button.
    void ConnectPrintButton(QAbstractButton* button);
    // Runs a rebuild of the records. A missing table row ends it with the
    // message of a pile type without sections, another failure with its own
    // message; the window is closed then and false returned.
    bool Rebuild(const std::function<void(TProjectHolder&)>& build);
    virtual void ClearRecords() = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TProjectHolder* holder_ = nullptr;
    QString caption_;       // the caption the mouse read-out replaced
    bool readOut_ = false;  // the caption shows the read-out
    bool closing_ = false;
};

// The message shown when a pile type has no sections.
extern const char* const NoPileSectionsMessage;

}  // namespace vortn
