#include "ui/sheet/AppMessageBox.h"

#include "ui/sheet/BlockingExchange.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

namespace {

QPointer<QWidget>& MainWindow() {
    static QPointer<QWidget> window;
    return window;
}

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

} // namespace

void SetAppMainWindow(QWidget* window) {
    MainWindow() = window;
}

QWidget* AppMainWindow() {
    return MainWindow().data();
}

std::string ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
    Handler() = std::move(handler);
}

void AppMessageBox(const std::string& text) {
    const BlockingExchange::ModalPause pause; // the box takes the operator's input
    if (Handler()) {
        Handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(ApplicationName()),
                    QString::fromStdString(text), QMessageBox::Ok, AppMainWindow());
    box.exec();
}
