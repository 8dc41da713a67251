// The two steps a frame window runs on its child windows: reload what a
// child shows after the data changed under it (a unit change), and commit
// what is being typed before a command goes ahead. Children without edits
// commit nothing; a window that is not a TChildForm takes neither step.
#pragma once

namespace vortn {

class TChildForm {
public:
    virtual ~TChildForm() = default;
    // Reloads the window from the data it shows.
    virtual void ReloadChild() = 0;
    // Commits the entry being edited. False when it is invalid: its one
    // message has been shown and the window comes back to the front with the
    // entry focused; the command that asked must not go ahead.
    virtual bool CommitChild() = 0;
};

}  // namespace vortn
