#include "handler_guard.h"

#include "exceptions.h"

namespace vortn {

void RunGuarded(const std::function<void()>& handler, const TMessageSink& show) noexcept {
    QString message;
    try {
        handler();
        return;
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("An unexpected error occurred.");
    }
    try {
        if (show) show(message);
    } catch (...) {
        // The message itself failed: nothing more can be shown.
    }
}

}  // namespace vortn
