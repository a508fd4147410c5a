#include "app/HelpWindow.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* sheet) : QWidget(sheet, Qt::Window) {
    setWindowTitle(tr("VORN ADC Communication Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    browser = new QTextBrowser(this);
    browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    const QString page = QStringLiteral(":/help/help.html");
    if (QFile::exists(page))
        browser->setSource(QUrl(QStringLiteral("qrc") + page));
    else
        browser->setPlainText(tr("The help page is not available in this build."));
    resize(560, 480);
}

void HelpWindow::ShowTopic(int dialogId) {
    if (dialogId != 0)
        browser->scrollToAnchor(QStringLiteral("dialog%1").arg(dialogId));
    show();
    raise();
    activateWindow();
}
