#include "message_box.h"

#include "user_action.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstdio>

namespace vortn {

namespace {
TMessageHook& Hook() {
    static TMessageHook hook;
    return hook;
}

int& ShowingDepth() {
    static int depth = 0;
    return depth;
}

int Show(const TMessageRequest& request) {
    ++ShowingDepth();
    struct TLeave {
        ~TLeave() { --ShowingDepth(); }
    } leave;
    return Hook() ? Hook()(request) : ShowMessageBox(request);
}

void WriteToStandardError(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(line));
    std::fflush(stderr);
}
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

void RefusalBox(QWidget* parent, const QString& text) {
    static QPointer<const QWidget> first;
    static quint64 firstAction = 0;
    const quint64 action = UserAction();
    if (first && firstAction == action && first != parent) return;
    first = parent;
    firstAction = action;
    InformationBox(parent, text);
}

void ErrorBox(QWidget* parent, const QString& text) { Show({parent, TMessageKind::Error, text}); }

int QuestionBox(QWidget* parent, const QString& text, int buttons, int defaultButton) {
    return Show({parent, TMessageKind::Question, text, buttons, defaultButton});
}

bool MessageBoxShowing() { return ShowingDepth() > 0; }

void ReportLater(const QString& text, std::function<void(const QString&)> show) {
    if (MessageBoxShowing() || !QCoreApplication::instance()) {
        WriteToStandardError(text);
        return;
    }
    QTimer::singleShot(0, QCoreApplication::instance(), [text, show = std::move(show)] {
        if (MessageBoxShowing()) {
            WriteToStandardError(text);
            return;
        }
        try {
            if (show)
                show(text);
            else
                InformationBox(nullptr, text);
        } catch (...) {
            // The box itself failed: its text is not lost.
            WriteToStandardError(text);
        }
    });
}

}  // namespace vortn
