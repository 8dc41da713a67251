// The user's actions, counted: a key pressed, a mouse button pressed, a
// window's close button (on X). One action may try an invalid entry several
// times (a click in another window moves the focus, deactivates the
// editor's window and then runs a command): it gets one message. The next
// action that tries it gets the message again, so no command is refused
// in silence.
#pragma once

#include <QtGlobal>

namespace vortn {

// The number of the user's current action; counting starts at the first call.
quint64 UserAction();

}  // namespace vortn
