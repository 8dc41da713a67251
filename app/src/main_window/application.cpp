#include "application.h"

#include "handler_guard.h"
#include "main_form.h"
#include "message_box.h"

namespace vortn {

namespace {
std::function<void(const QString&)>& Reporter() {
    static std::function<void(const QString&)> reporter;
    return reporter;
}

// The failure is still unwinding (and may have left a box or a focus change
// half done): no box opens from inside it. Its box comes after the event,
// or its text goes to the standard error when a box is up.
void Report(const QString& text) {
    if (Reporter()) {
        Reporter()(text);
        return;
    }
    ReportLater(text, [](const QString& later) {
        if (TMainForm* form = MainForm())
            form->ShowMessage(later);
        else
            InformationBox(nullptr, later);
    });
}
}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

std::function<void(const QString&)> TApplication::SetExceptionReporter(std::function<void(const QString&)> reporter) {
    std::swap(Reporter(), reporter);
    return reporter;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); }, Report);
    return handled;
}

}  // namespace vortn
