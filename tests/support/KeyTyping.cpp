#include "support/KeyTyping.h"

#include <QTest>
#include <QWidget>

void TypeKeys(QWidget* control, const std::string& text) {
    control->setFocus();
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(control, Qt::Key_Delete);
    QTest::keyClicks(control, QString::fromStdString(text));
}
