// A top-level window that opens wholly on its screen's available area: its
// frame, as the window manager draws it, reaches past none of the area's
// edges when the window opens, at any scale.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace vortn {

// The client rectangle nearest to `client` whose frame (`frame` around it)
// lies inside `available`: its size bounded so that the frame fits, then
// moved inside.
QRect ClientRectInside(const QRect& client, const QMargins& frame, const QRect& available);

// From its first showing on, each time `window` gets another frame (the
// window manager framing it once it is shown), it is fitted into its
// screen's available area by ClientRectInside, unless it is maximized,
// minimized or full-screen. Moves and sizes made later stand.
void KeepOpeningFrameOnScreen(QWidget* window);

}  // namespace vortn
