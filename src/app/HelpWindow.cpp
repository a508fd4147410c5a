#include "app/HelpWindow.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* sheet) : QWidget(sheet, Qt::Window) {
    setWindowTitle(tr("VORN ADC Communication Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    const QString page = QStringLiteral(":/help/help.html");
    if (QFile::exists(page))
        browser_->setSource(QUrl(QStringLiteral("qrc") + page));
    else
        browser_->setPlainText(tr("The help page is not available in this build."));
    resize(560, 480);
}

void HelpWindow::ShowTopic(int dialogId) {
    if (dialogId != 0)
        browser_->scrollToAnchor(QStringLiteral("dialog%1").arg(dialogId));
    show();
    raise();
    activateWindow();
}
