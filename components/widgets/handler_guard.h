// Event handlers run through a guard: no exception may leave a Qt event
// handler, so a failure a handler lets through is shown as a message and
// goes no further.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <type_traits>

namespace vortn {

using TMessageSink = std::function<void(const QString&)>;

// Runs `handler`; the message of an exception it lets through goes to `show`.
void RunGuarded(const std::function<void()>& handler, const TMessageSink& show) noexcept;

// Connects `signal` to `handler` (a member function of `receiver` or a
// callable, without arguments) run through RunGuarded.
template <class Sender, class Signal, class Receiver, class Handler>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver, Handler handler,
                                       TMessageSink show) {
    return QObject::connect(sender, signal, receiver, [receiver, handler, show = std::move(show)] {
        RunGuarded(
                [&] {
                    if constexpr (std::is_member_function_pointer_v<Handler>)
                        (receiver->*handler)();
                    else
                        handler();
                },
                show);
    });
}

}  // namespace vortn
