// The program's message boxes. Every box of the program is shown here, under
// the program's name; one hook takes them instead of the modal box (tests,
// callers that collect messages).
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vortn {

enum class TMessageKind { Information, Error, Question };

struct TMessageRequest {
    QWidget* parent = nullptr;
    TMessageKind kind = TMessageKind::Information;
    QString text;
    int buttons = 0;        // QMessageBox::StandardButtons; OK unless a question
    int defaultButton = 0;  // what Enter answers
};

// Answers the request with the QMessageBox::StandardButton pressed.
using TMessageHook = std::function<int(const TMessageRequest&)>;

// Replaces the boxes (nullptr restores them); returns the hook it replaced.
TMessageHook SetMessageHook(TMessageHook hook);

// The modal box itself, whatever the hook (a hook may pass a request on).
int ShowMessageBox(const TMessageRequest& request);

// Information icon, one OK button.
void InformationBox(QWidget* parent, const QString& text);
// An entry's refusal (information icon). One action of the user's may try
// several entries (a click that leaves a window holding a refused entry
// activates another that holds one too; a dialog asked twice over by the
// focus changes of one click finds another box refused): it shows the
// refusal of the first entry only, and the others refuse in silence. The
// next action that tries one of them shows its message.
void RefusalBox(QWidget* parent, const QString& text);
// Error icon, one OK button.
void ErrorBox(QWidget* parent, const QString& text);
// `buttons` and `defaultButton` are QMessageBox::StandardButton values;
// returns the one pressed.
int QuestionBox(QWidget* parent, const QString& text, int buttons, int defaultButton = 0);

// True while a box (or the hook standing in for it) is being shown.
bool MessageBoxShowing();

// For a failure met where no box may be opened (inside another failure, in
// the middle of a focus change): the information box comes once the event
// being handled is over. When a box is up by then, its loop is the one that
// runs: the text goes to the standard error instead of a box over a box.
// `show` shows the box (an information box without a parent when empty).
void ReportLater(const QString& text, std::function<void(const QString&)> show = {});

}  // namespace vortn
