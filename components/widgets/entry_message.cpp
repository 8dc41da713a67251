#include "entry_message.h"

#include <QMessageBox>

namespace vortn {

namespace {
TEntryMessageHook& Hook() {
    static TEntryMessageHook hook;
    return hook;
}
}  // namespace

void SetEntryMessageHook(TEntryMessageHook hook) { Hook() = std::move(hook); }

void ShowEntryMessage(QWidget* parent, const QString& text) {
    if (Hook()) {
        Hook()(parent, text);
        return;
    }
    QMessageBox::information(parent, QString(), text, QMessageBox::Ok);
}

}  // namespace vortn
