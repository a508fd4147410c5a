#pragma once

#include <QWidget>

class QTextBrowser;

// The help page, in a window of its own beside the sheet; Escape closes it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* sheet);
    // Shows the window, at the section of the page with this dialog id when the
    // help page has an anchor "dialog<id>".
    void ShowTopic(int dialogId);

private:
    QTextBrowser* browser;
};

// Where a window of frame size goes beside the sheet's frame: to its right
// where the screen's free area has room, else to its left, else as far right
// as the area allows; level with the sheet's top, kept inside the area.
QPoint PlaceBeside(const QRect& sheet, const QSize& size, const QRect& screen);
