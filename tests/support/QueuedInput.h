#pragma once

#include <QPointF>
#include <QPointer>
#include <QWindow>

class QWidget;

// Input that reaches a window while its one thread is held: handed over from
// another thread in arrival order, it waits in the toolkit's queue, then goes
// the way window-system input goes, to the widget under the pointer or with
// the focus.
namespace QueuedInput {

struct Spot { // where a click lands, found on the window's own thread
    QPointer<QWindow> window;
    QPointF local, global;
};
Spot CentreOf(QWidget* control);

// From any thread, without waiting.
void Click(const Spot& spot);
void Key(QWindow* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
         const QString& text = {});
void CloseBox(QWindow* window); // the window manager's request to close

} // namespace QueuedInput
