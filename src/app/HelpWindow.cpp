#include "app/HelpWindow.h"

#include <QFile>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

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
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    if (sheet && sheet->screen()) {
        // not over the sheet the operator reads it for; its frame as wide as the sheet's
        const QSize frame = size() + sheet->frameGeometry().size() - sheet->size();
        move(PlaceBeside(sheet->frameGeometry(), frame, sheet->screen()->availableGeometry()));
    }
}

QPoint PlaceBeside(const QRect& sheet, const QSize& size, const QRect& screen) {
    constexpr int gap = 8;
    int x = sheet.right() + 1 + gap;
    if (x + size.width() > screen.right() + 1) {
        x = sheet.left() - gap - size.width();
        if (x < screen.left())
            x = screen.right() + 1 - size.width();
    }
    x = std::max(x, screen.left());
    const int y =
        std::max(screen.top(), std::min(sheet.top(), screen.bottom() + 1 - size.height()));
    return {x, y};
}

void HelpWindow::ShowTopic(int dialogId) {
    if (dialogId != 0)
        browser->scrollToAnchor(QStringLiteral("dialog%1").arg(dialogId));
    show();
    raise();
    activateWindow();
}
