#include "ui/sheet/BlockingExchange.h"

#include "ui/sheet/CPropertyPage.h"
#include "ui/sheet/CPropertySheet.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>

namespace {

// Bounds on the event handling inside an exchange: a frame's work is a few
// pings and an exposed area, short beside a probe at 19200 baud (18 ms); at
// the end, what queued up meanwhile is taken off the queues.
constexpr int windowWorkMs = 10;
constexpr int discardMs = 100;

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut: // a mnemonic such as Alt+A presses its button
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close: // the close box
        return true;
    default:
        return false;
    }
}

class InputDiscarder : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (IsInput(type))
            return true;
        // queued signals and events of our own would run page code inside the exchange
        return (type == QEvent::MetaCall || type >= QEvent::User) &&
               (qobject_cast<CPropertyPage*>(watched) || qobject_cast<CPropertySheet*>(watched));
    }
};

struct HoldState {
    int depth = 0;  // exchanges held, nested
    int pauses = 0; // modal boxes open inside them
    InputDiscarder* discarder = nullptr;
};

HoldState& State() {
    static HoldState state;
    return state;
}

// The discarder sees every event of the application while an exchange is
// held, before any other filter.
void UpdateDiscarder() {
    HoldState& state = State();
    const bool wanted = state.depth > 0 && state.pauses == 0 && QCoreApplication::instance();
    if (wanted && !state.discarder) {
        state.discarder = new InputDiscarder;
        QCoreApplication::instance()->installEventFilter(state.discarder);
    } else if (!wanted && state.discarder) {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeEventFilter(state.discarder);
        delete state.discarder;
        state.discarder = nullptr;
    }
}

// The window system keeps the input that came while the thread was held (the
// toolkit puts it aside while input is excluded); it is taken now, with the
// discarder in place, so it is dropped rather than delivered later.
void DiscardQueuedInput() {
    if (!State().discarder)
        return;
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp(); // the queue is read again, the input put aside included
    QCoreApplication::processEvents(
        QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers, discardMs);
}

} // namespace

BlockingExchange::BlockingExchange() {
    ++State().depth;
    UpdateDiscarder();
}

BlockingExchange::~BlockingExchange() {
    if (State().depth == 1)
        DiscardQueuedInput();
    --State().depth;
    UpdateDiscarder();
}

bool BlockingExchange::Held() {
    return State().discarder != nullptr;
}

void BlockingExchange::DoWindowWork() {
    if (!Held())
        return; // outside an exchange nothing guards the page against its own events
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers |
                                        QEventLoop::X11ExcludeTimers,
                                    windowWorkMs);
}

BlockingExchange::ModalPause::ModalPause() {
    DiscardQueuedInput();
    ++State().pauses;
    UpdateDiscarder();
}

BlockingExchange::ModalPause::~ModalPause() {
    --State().pauses;
    UpdateDiscarder();
}
