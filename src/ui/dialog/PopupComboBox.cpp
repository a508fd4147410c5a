#include "ui/dialog/PopupComboBox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QScrollBar>

#include <algorithm>

PopupComboBox::PopupComboBox(QWidget* parent) : QComboBox(parent) {}

void PopupComboBox::showPopup() {
    emit popupAboutToShow();
    QAbstractItemView* list = view();
    // Room for the list's frame and, when it scrolls, its scroll bar.
    const int margins = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(std::max(width(), list->sizeHintForColumn(0) + margins));
    QComboBox::showPopup();
}

bool PopupComboBox::event(QEvent* event) {
    // Taken when asked for: the text also changes while signals are blocked.
    if (event->type() == QEvent::ToolTip)
        setToolTip(currentText());
    return QComboBox::event(event);
}
