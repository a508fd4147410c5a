#pragma once

#include <QPointF>
#include <QPointer>
#include <QWindow>

class QWidget;

// Input that reaches a window while its one thread is held: handed over from
// another thread (the scripted controller's, say) in arrival order, it waits
// in the toolkit's queue until the thread reads it, and then goes the way a
// click or key from the window system goes: to the window, then to the widget
// under the pointer or with the focus.
namespace QueuedInput {

// Where a click lands; found on the window's own thread, used from any.
struct Spot {
    QPointer<QWindow> window;
    QPointF local; // in the window
    QPointF global;
};
Spot CentreOf(QWidget* control);

// From any thread, without waiting.
void Click(const Spot& spot);
void Key(QWindow* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
         const QString& text = {});
// The window manager's request that the window close (the close box).
void CloseBox(QWindow* window);

} // namespace QueuedInput
