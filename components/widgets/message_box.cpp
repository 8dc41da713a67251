#include "message_box.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vortn {

namespace {
TMessageHook& Hook() {
    static TMessageHook hook;
    return hook;
}

int Show(const TMessageRequest& request) { return Hook() ? Hook()(request) : ShowMessageBox(request); }
}  // namespace

TMessageHook SetMessageHook(TMessageHook hook) {
    std::swap(Hook(), hook);
    return hook;
}

int ShowMessageBox(const TMessageRequest& r) {
    const QString title = QCoreApplication::applicationName();
    const auto buttons = r.kind == TMessageKind::Question ? QMessageBox::StandardButtons(r.buttons)
                                                          : QMessageBox::StandardButtons(QMessageBox::Ok);
    const auto defaultButton = QMessageBox::StandardButton(r.defaultButton);
    switch (r.kind) {
        case TMessageKind::Question:
            return QMessageBox::question(r.parent, title, r.text, buttons, defaultButton);
        case TMessageKind::Error:
            return QMessageBox::critical(r.parent, title, r.text, buttons, defaultButton);
        case TMessageKind::Information:
            break;
    }
    return QMessageBox::information(r.parent, title, r.text, buttons, defaultButton);
}

void InformationBox(QWidget* parent, const QString& text) { Show({parent, TMessageKind::Information, text}); }

void ErrorBox(QWidget* parent, const QString& text) { Show({parent, TMessageKind::Error, text}); }

int QuestionBox(QWidget* parent, const QString& text, int buttons, int defaultButton) {
    return Show({parent, TMessageKind::Question, text, buttons, defaultButton});
}

}  // namespace vortn
