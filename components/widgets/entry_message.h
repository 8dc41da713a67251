// Information message boxes of the entry controls and the grid editor. A
// hook can take the message instead of the modal box (used by tests and by
// callers that collect messages).
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vortn {

using TEntryMessageHook = std::function<void(QWidget* parent, const QString& text)>;
// nullptr restores the message box.
void SetEntryMessageHook(TEntryMessageHook hook);
// Information icon, one OK button.
void ShowEntryMessage(QWidget* parent, const QString& text);

}  // namespace vortn
