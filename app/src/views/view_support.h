// Small window services shared by the geometry views (side, top and 3D
// views): texts on a canvas, activation, closing an MDI child and printing
// one page.
#pragma once

#include "view_numbers.h"

#include <QString>
#include <functional>

class QPainter;
class QPrinter;
class QRect;
class QWidget;

namespace vortn {

// Text whose top-left corner is at (x, y), as window canvases place it.
void TextOutTop(QPainter& painter, int x, int y, const QString& text);

// Calls onActivate each time the view becomes the active window: the active
// MDI child of its area, or an active top-level window when it has no area.
// Call once, after the view is shown (or from its show event).
void ConnectViewActivation(QWidget* form, std::function<void()> onActivate);

// Closes the view: its MDI sub-window when it has one, else the window.
void CloseViewWindow(QWidget* form);

// One landscape page titled `title`, drawn by `draw` on the page rectangle
// from 0, 0. False, with a message, when the page could not be printed.
bool PrintLandscapePage(QWidget* form, QPrinter& printer, const QString& title,
                        const std::function<void(QPainter&, const QRect&)>& draw);

}  // namespace vortn
