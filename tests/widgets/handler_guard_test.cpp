// The handler guard: an exception a handler lets through is shown as a
// message and goes no further.
#include "exceptions.h"
#include "handler_guard.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QStringList>
#include <stdexcept>

using namespace vortn;

namespace {

class Receiver : public QObject {
public:
    int calls = 0;
    void Divide() {
        ++calls;
        throw EZeroDivide(QStringLiteral("Floating point division by zero"));
    }
};

TEST(HandlerGuard, AnExceptionOfAConnectedHandlerBecomesItsMessage) {
    QStringList shown;
    const TMessageSink sink = [&](const QString& text) { shown << text; };
    Receiver receiver;
    QAction member, callable, foreign;
    ConnectGuarded(&member, &QAction::triggered, &receiver, &Receiver::Divide, sink);
    ConnectGuarded(
            &callable, &QAction::triggered, &receiver, [] { throw std::runtime_error("out of range"); }, sink);
    ConnectGuarded(
            &foreign, &QAction::triggered, &receiver, [] { throw 42; }, sink);
    EXPECT_NO_THROW(member.trigger());
    EXPECT_NO_THROW(callable.trigger());
    EXPECT_NO_THROW(foreign.trigger());
    EXPECT_EQ(receiver.calls, 1);
    EXPECT_EQ(shown, (QStringList{"Floating point division by zero", "out of range", "An unexpected error occurred."}));
}

TEST(HandlerGuard, AFailingMessageGoesNoFurtherEither) {
    EXPECT_NO_THROW(RunGuarded([] { throw EOverflow(QStringLiteral("Floating point overflow")); },
                               [](const QString&) { throw std::bad_alloc(); }));
}

}  // namespace
