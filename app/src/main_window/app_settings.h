// The program's stored settings (QSettings of organisation "Tessik",
// application "VORT-N", group of the program version): the text editor and
// the recent-file list.
#pragma once

#include "recent_files.h"

#include <QString>

namespace vortn {

struct TStoredSettings {
    QString Editor;       // "Word Processor"
    TRecentFiles Recent;  // "File1" .. "File10"
};

// Reads the editor path and, when `withRecent`, the ten recent-file values.
// False when the group does not exist or the store cannot be read; the
// values are then left as they were.
bool ReadStoredSettings(TStoredSettings& settings, bool withRecent);
// Writes the editor path and the ten recent-file values (an empty string for
// every entry not in use). Failures are ignored.
void WriteStoredSettings(const TStoredSettings& settings);

// The desktop's opener: xdg-open as found on the PATH ("xdg-open" when the
// PATH has none).
QString DefaultEditorPath();

}  // namespace vortn
