#pragma once

// Held around every exchange that blocks the one thread (a sweep, Connect, a
// page's reads on activation, its OK and Apply, Set, Send), and only there: a
// key typed during a quick tab change must still count. Input that arrives
// meanwhile, clicks, keys and the close box, is discarded when the outermost
// one ends, never delivered afterwards: a click made during a sweep must not
// start another sweep or write a result nobody has seen. Queued calls and
// events of our own meant for a page or the sheet are discarded too, so no
// page code runs inside an exchange. Nests; without an application object it
// does nothing.
class BlockingExchange {
public:
    BlockingExchange();
    ~BlockingExchange();
    BlockingExchange(const BlockingExchange&) = delete;
    BlockingExchange& operator=(const BlockingExchange&) = delete;

    // True while one is held (and no modal pause lets input through).
    static bool Held();

    // Inside an exchange, the window's work that is not input: answering the
    // window manager, repainting what was exposed, posted events of the
    // toolkit's own. Timers and input wait; page code does not run.
    static void DoWindowWork();

    // Around a modal box or dialog shown inside an exchange: the input queued
    // so far is discarded (a queued Enter must not press its OK), and the
    // operator's input reaches the box until it closes.
    class ModalPause {
    public:
        ModalPause();
        ~ModalPause();
        ModalPause(const ModalPause&) = delete;
        ModalPause& operator=(const ModalPause&) = delete;
    };
};
