#include "user_action.h"

#include "message_box.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

namespace vortn {

namespace {

class TActionCounter : public QObject {
public:
    quint64 count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        // What the user does comes from the window system (or stands in for
        // it); events the program sends itself are none of the user's.
        if (!e->spontaneous() && e->type() != QEvent::FocusAboutToChange) return false;
        // A menu opened and its item chosen are one action: the item's
        // command adds no message to the one its menu's opening showed.
        if (QApplication::activePopupWidget()) return false;
        // The key or click that dismisses a message answers it: what the
        // action that showed it goes on to do is still that action.
        if (MessageBoxShowing()) return false;
        switch (e->type()) {
            case QEvent::KeyPress:
            case QEvent::ShortcutOverride:
                EndPress();
                Count(static_cast<QKeyEvent*>(e)->timestamp(), static_cast<QKeyEvent*>(e)->key());
                break;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                const auto* m = static_cast<QMouseEvent*>(e);
                const int what = -int(m->button());
                if (pressCounted_) {
                    // Its focus change counted it already.
                    pressCounted_ = false;
                    last_ = {m->timestamp(), what};
                } else {
                    Count(m->timestamp(), what);
                }
                inPress_ = true;
                break;
            }
            case QEvent::MouseButtonRelease:
                EndPress();
                break;
            case QEvent::FocusAboutToChange:
                // A press that reaches a widget moves the focus before anyone
                // sees the press itself: the focus change counts it. Focus
                // moved while a press is handled (a child window activated
                // by its title bar) belongs to that press.
                if (static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason && !pressCounted_ && !inPress_) {
                    ++count;
                    pressCounted_ = true;
                }
                break;
            default:
                break;
        }
        return false;
    }

private:
    // One press reaches the window, the shortcut map and the widgets as
    // several events of the same time stamp and key.
    void Count(quint64 stamp, int what) {
        if (stamp == 0 || stamp != last_.stamp || what != last_.what) ++count;
        last_ = {stamp, what};
    }
    struct {
        quint64 stamp = 0;
        int what = 0;
    } last_;
    // A press ends with its release, or with the next key: a focus change
    // whose press never came counts no later press.
    void EndPress() {
        inPress_ = false;
        pressCounted_ = false;
    }
    bool pressCounted_ = false;
    bool inPress_ = false;
};

// A window's close button is the window manager's: on X it sends the
// window a client message (a close() of the program's own reaches the
// window as the same close event, so that event cannot tell them apart).
class TCloseButtonCounter : public QAbstractNativeEventFilter {
public:
    explicit TCloseButtonCounter(TActionCounter* counter) : counter_(counter) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        constexpr quint8 kClientMessage = 33;
        if (counter_ && eventType == "xcb_generic_event_t" &&
            (*static_cast<const quint8*>(message) & 0x7f) == kClientMessage)
            ++counter_->count;
        return false;
    }

private:
    QPointer<TActionCounter> counter_;
};

TActionCounter* Counter() {
    static QPointer<TActionCounter> counter;
    static TCloseButtonCounter* closeButtons = nullptr;
    if (!counter && QCoreApplication::instance()) {
        counter = new TActionCounter;
        counter->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(counter);
        if (closeButtons) QCoreApplication::instance()->removeNativeEventFilter(closeButtons);
        delete closeButtons;
        closeButtons = new TCloseButtonCounter(counter);
        QCoreApplication::instance()->installNativeEventFilter(closeButtons);
    }
    return counter;
}

}  // namespace

quint64 UserAction() {
    const TActionCounter* c = Counter();
    return c ? c->count : 0;
}

}  // namespace vortn
