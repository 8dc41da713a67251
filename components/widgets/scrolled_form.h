// A form whose contents scroll when its window is smaller than they need:
// every control stays reachable and no label is squeezed, at any scale
// and in any room.
#pragma once

class QWidget;

namespace vortn {

// Moves the contents of `form`'s top-level box or grid layout into a frameless
// scroll area that fills the form. The form then asks for the size its
// contents want (sizeHint) and a size given to it grows to what they need,
// but it can be made smaller; below what the contents need, scroll bars
// appear. The controls keep their objects, their order in
// the tab chain and whether they are hidden. A form without such a layout is
// left as it is. Call once, after the form is set up and before it is shown.
void ScrollFormContents(QWidget* form);

}  // namespace vortn
