#include "support/QueuedInput.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace QueuedInput {

Spot CentreOf(QWidget* control) {
    QWidget* window = control->window();
    const QPointF local = control->mapTo(window, QPointF(control->rect().center()));
    return {window->windowHandle(), local, window->mapToGlobal(local)};
}

void Click(const Spot& spot) {
    for (const auto& [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                                        std::pair{QEvent::MouseButtonRelease, Qt::NoButton}})
        QCoreApplication::postEvent(spot.window,
                                    new QMouseEvent(type, spot.local, spot.local, spot.global,
                                                    Qt::LeftButton, buttons, Qt::NoModifier));
}

void Key(QWindow* window, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QCoreApplication::postEvent(window, new QKeyEvent(type, key, modifiers, text));
}

void CloseBox(QWindow* window) {
    QCoreApplication::postEvent(window, new QCloseEvent);
}

} // namespace QueuedInput
