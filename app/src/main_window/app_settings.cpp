// Stored settings of the main window.
#include "app_settings.h"

#include "program_data.h"

#include <QSettings>
#include <QStandardPaths>

namespace vortn {

namespace {
const char* const kEditorKey = "Word Processor";

QString RecentKey(int index) { return QStringLiteral("File%1").arg(index + 1); }
}  // namespace

bool ReadStoredSettings(TStoredSettings& settings, bool withRecent) {
    QSettings store;  // the organisation and program names main() sets
    if (store.status() != QSettings::NoError) return false;
    if (!store.childGroups().contains(ProgramVersion())) return false;
    store.beginGroup(ProgramVersion());
    settings.Editor = store.value(QLatin1String(kEditorKey)).toString();
    if (withRecent) {
        for (int i = 0; i < TRecentFiles::Capacity; ++i)
            settings.Recent.SetName(i, store.value(RecentKey(i)).toString());
        settings.Recent.Recount();
    }
    return store.status() == QSettings::NoError;
}

void WriteStoredSettings(const TStoredSettings& settings) {
    QSettings store;  // the organisation and program names main() sets
    store.beginGroup(ProgramVersion());
    store.setValue(QLatin1String(kEditorKey), settings.Editor);
    for (int i = 0; i < TRecentFiles::Capacity; ++i) store.setValue(RecentKey(i), settings.Recent.Name(i));
    store.endGroup();
    store.sync();  // a failed write is ignored
}

QString DefaultEditorPath() {
    const QString found = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return found.isEmpty() ? QStringLiteral("xdg-open") : found;
}

}  // namespace vortn
