// Random command sequences on the real main window: typed numbers and bad
// text in dialogs and table editors, row commands, focus moves, menu
// commands, count changes and closes. After every step the runner checks
// what needs no oracle: no exception reached the event loop, a refused
// command showed exactly one message, the table editors show what the
// project holds, and a saved project reads back with every value it held
// (but the rows the save named and the user let go).
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace vortn::test {

enum class TStepKind {
    DataItem,        // a: which enabled Data-menu item
    LoadingOption,   // a: harmonic, transient, random
    Units,           // a: English, SI
    TypeInDialog,    // a: dialog, b: box, c: select first; text
    TypeInCell,      // a: editor, b: row, c: column, d: how the entry ends; text
    TypeOnFocus,     // text typed into whatever has the focus
    FocusKey,        // a: Tab, Backtab, Enter, Escape
    SelectCell,      // a: editor, b: row, c: column
    RowCommand,      // a: editor, b: Add, Insert, Delete, c: button or Alt+letter
    CellControl,     // a: editor, b: control, c: item of a pick list
    DialogButton,    // a: dialog, b: radio, check or push button
    ActivateWindow,  // a: child window
    CloseWindow,     // a: child window
    Save,
    SaveAs,  // a: name
    New,
    Open,  // a: file
    Run,   // a: the engine's result
    Exit,  // a: File > Exit or the close button
};

struct TStep {
    TStepKind kind = TStepKind::Save;
    uint32_t a = 0, b = 0, c = 0, d = 0;
    int answer = 0;  // what questions during the step are answered (QMessageBox button)
    QString text;
};

QString Describe(const TStep& step);
// A step as Describe gives it; none for another text.
std::optional<TStep> ParseStep(const QString& line);
// A sequence of `count` steps drawn from `seed`.
std::vector<TStep> GenerateSteps(uint64_t seed, int count);

// The first invariant a sequence broke: which check, at which step, and
// what was seen.
struct TSequenceFailure {
    int step = -1;
    QString check;
    QString detail;
};

// Runs `steps` on a new main window over a copy of example `project` in a
// private folder; the first failure, if any.
std::optional<TSequenceFailure> RunSequence(const QString& project, const std::vector<TStep>& steps);

// The example projects a sequence starts from.
QStringList SequenceProjects();

// Removes steps while the same check still fails: the smallest sequence
// found (the failure it gives in `failure`).
std::vector<TStep> ShrinkSequence(const QString& project, std::vector<TStep> steps, TSequenceFailure& failure);

}  // namespace vortn::test
