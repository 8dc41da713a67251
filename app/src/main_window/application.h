// The program's application object: the last net under every event
// handler. An exception that a handler lets through would end the program
// (no exception may leave a Qt event handler); here it is shown as a message
// once the event is over (never a box from inside the failure) and the
// program goes on with the next event.
#pragma once

#include <QApplication>
#include <QString>
#include <functional>

namespace vortn {

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Where the message of a caught exception goes; the default is the main
    // window's message box (an information box without a main window).
    // Returns the reporter it replaces.
    static std::function<void(const QString&)> SetExceptionReporter(std::function<void(const QString&)> reporter);
};

}  // namespace vortn
