#pragma once

#include <QWidget>

class QTextBrowser;

// The help page, in a window of its own beside the sheet.
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
