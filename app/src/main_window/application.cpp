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

void Report(const QString& text) {
    if (Reporter())
        Reporter()(text);
    else if (TMainForm* form = MainForm())
        form->ShowMessage(text);
    else
        InformationBox(nullptr, text);
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
