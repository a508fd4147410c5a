#include "ui/sheet/CPropertySheet.h"

#include "ui/dialog/DialogLayout.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/CPropertyPage.h"
#include "ui/sheet/MultiRowTabBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

namespace {

// The frame around the displayed page, drawn like a tab widget's pane.
class PageFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.rect = rect();
        option.shape = QTabBar::RoundedNorth;
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
    }
};

constexpr int frameWidth = 2;    // pixels between the pane's edge and the page
constexpr int buttonWidth = 50;  // dialog units
constexpr int buttonHeight = 14; // dialog units
constexpr int marginUnits = 7;   // dialog units around the pane and between the buttons

} // namespace

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent, int selectPage)
    : QDialog(parent), initialPage(selectPage) {
    setWindowTitle(caption);
    tabBar = new MultiRowTabBar(this);
    frame = new PageFrame(this);
    okButton = new QPushButton(tr("OK"), this);
    cancelButton = new QPushButton(tr("Cancel"), this);
    applyButton = new QPushButton(tr("&Apply"), this);
    helpButton = new QPushButton(tr("Help"), this);
    okButton->setDefault(true);
    applyButton->setEnabled(false);
    connect(tabBar, &MultiRowTabBar::tabRequested, this,
            [this](int index) { SetActivePage(index); });
    connect(okButton, &QPushButton::clicked, this, &CPropertySheet::PressOk);
    connect(cancelButton, &QPushButton::clicked, this, &CPropertySheet::reject);
    connect(applyButton, &QPushButton::clicked, this, &CPropertySheet::PressApply);
    connect(helpButton, &QPushButton::clicked, this, [this] { OnHelp(); });
}

CPropertySheet::~CPropertySheet() {
    if (filtering)
        qApp->removeEventFilter(this);
    if (AppMainWindow() == this)
        SetAppMainWindow(nullptr);
    // Pages that outlive the sheet must not be deleted with it.
    for (QPointer<CPropertyPage>& page : pages) {
        if (page) {
            page->sheet = nullptr;
            page->setParent(nullptr);
        }
    }
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    pages.emplace_back(page);
    page->sheet = this;
    page->setParent(frame);
    page->hide();
    tabBar->AddTab(page->Caption());
}

int CPropertySheet::DoModal() {
    return exec();
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return pages[index].data();
}

void CPropertySheet::LayoutSheet() {
    const DialogUnits units = DialogUnitsOf(fontMetrics());
    const int margin = DialogSizeToPixels(marginUnits, marginUnits, units).width();
    QSize pageSize(0, 0);
    for (auto& page : pages)
        if (page)
            pageSize = pageSize.expandedTo(page->TemplatePixelSize());
    const QSize frameSize = pageSize + QSize(2 * frameWidth, 2 * frameWidth);
    const int barHeight = tabBar->heightForWidth(frameSize.width());
    tabBar->setGeometry(margin, margin, frameSize.width(), barHeight);
    frame->setGeometry(margin, margin + barHeight, frameSize.width(), frameSize.height());
    for (auto& page : pages)
        if (page)
            page->setGeometry(frameWidth, frameWidth, pageSize.width(), pageSize.height());

    const QSize buttonSize = DialogSizeToPixels(buttonWidth, buttonHeight, units)
                                 .expandedTo(okButton->minimumSizeHint());
    const int buttonGap = DialogSizeToPixels(marginUnits - 3, 0, units).width();
    const int buttonsY = frame->geometry().bottom() + 1 + margin;
    int x = frame->geometry().right() + 1;
    for (QPushButton* button : {helpButton, applyButton, cancelButton, okButton}) {
        x -= buttonSize.width();
        button->setGeometry(x, buttonsY, buttonSize.width(), buttonSize.height());
        x -= buttonGap;
    }
    setFixedSize(frameSize.width() + 2 * margin, buttonsY + buttonSize.height() + margin);
}

void CPropertySheet::showEvent(QShowEvent* event) {
    if (!filtering) {
        qApp->installEventFilter(this);
        filtering = true;
    }
    SetAppMainWindow(this);
    if (!started) {
        started = true;
        LayoutSheet();
        const int first = initialPage >= 0 && initialPage < GetPageCount() ? initialPage : 0;
        if (GetPage(first)) {
            DisplayPage(first);
            ActivatePage(first);
            FocusFirstControl(GetPage(first));
        }
    }
    QDialog::showEvent(event);
}

void CPropertySheet::hideEvent(QHideEvent* event) {
    if (filtering) {
        qApp->removeEventFilter(this);
        filtering = false;
    }
    if (AppMainWindow() == this)
        SetAppMainWindow(nullptr);
    QDialog::hideEvent(event);
}

void CPropertySheet::FocusFirstControl(CPropertyPage* page) {
    // The sheet opens with the focus on the page's first control in tab order.
    for (QWidget* child = nextInFocusChain(); child && child != this;
         child = child->nextInFocusChain()) {
        if (page->isAncestorOf(child) && (child->focusPolicy() & Qt::TabFocus) &&
            child->isVisibleTo(page) && child->isEnabled()) {
            child->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CPropertySheet::DisplayPage(int index) {
    if (CPropertyPage* old = GetActivePage(); old && active != index)
        old->hide();
    active = index;
    tabBar->SetCurrentIndex(index);
    CPropertyPage* page = GetPage(index);
    page->show();
}

bool CPropertySheet::ActivatePage(int index) {
    CPropertyPage* page = GetPage(index);
    if (!page->HasControls()) {
        // First display: controls with their initial items, then the fields into them.
        page->CreatePageControls();
        page->UpdateData(false);
    }
    const bool accepted = page->OnSetActive();
    page->activatedBefore = true;
    return accepted;
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount() || index == active || !GetPage(index))
        return false;
    const int previous = active;
    if (CPropertyPage* old = GetActivePage(); old && !old->OnKillActive())
        return false;
    DisplayPage(index);
    if (ActivatePage(index))
        return true;
    // The new page refused: the one that was left comes back.
    if (previous >= 0) {
        DisplayPage(previous);
        ActivatePage(previous);
    }
    return false;
}

void CPropertySheet::StepPage(int step) {
    const int count = GetPageCount();
    if (count > 0)
        SetActivePage(((active + step) % count + count) % count);
}

bool CPropertySheet::ApplyPages() {
    CPropertyPage* displayed = GetActivePage();
    if (!displayed || !displayed->OnKillActive())
        return false;
    // A page's changes count as applied once its OnApply agrees, so its mark is
    // cleared just before; a page that marks itself again while applying keeps
    // Apply enabled, and one that refuses keeps the mark it had.
    for (auto& page : pages) {
        if (!page || !page->HasControls())
            continue;
        const bool wasModified = page->modified;
        page->modified = false;
        if (!page->OnApply()) {
            page->modified = page->modified || wasModified;
            UpdateApplyButton();
            return false;
        }
    }
    UpdateApplyButton();
    return true;
}

void CPropertySheet::PressOk() {
    if (ApplyPages())
        accept();
}

bool CPropertySheet::PressApply() {
    return ApplyPages();
}

void CPropertySheet::reject() {
    if (CPropertyPage* displayed = GetActivePage(); displayed && !displayed->OnQueryCancel())
        return;
    for (auto& page : pages)
        if (page && page->HasControls())
            page->OnReset();
    QDialog::reject();
}

void CPropertySheet::UpdateApplyButton() {
    bool anyModified = false;
    for (auto& page : pages)
        anyModified = anyModified || (page && page->IsModified());
    applyButton->setEnabled(anyModified);
}

bool CPropertySheet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QDialog::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter applies the displayed page, whatever has the focus, and goes no
        // further: it never closes the sheet or presses a default button.
        if (CPropertyPage* displayed = GetActivePage())
            displayed->OnApply();
        return true;
    case Qt::Key_Escape:
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        reject();
        return true;
    case Qt::Key_F1:
        OnHelp();
        return true;
    default:
        break;
    }
    if (key->modifiers() & Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_Tab:
            StepPage((key->modifiers() & Qt::ShiftModifier) ? -1 : 1);
            return true;
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
            StepPage(-1);
            return true;
        case Qt::Key_PageDown:
            StepPage(1);
            return true;
        default:
            break;
        }
    }
    return false;
}
