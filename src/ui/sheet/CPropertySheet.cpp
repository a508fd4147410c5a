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

constexpr int kFrameWidth = 2;    // pixels between the pane's edge and the page
constexpr int kButtonWidth = 50;  // dialog units
constexpr int kButtonHeight = 14; // dialog units
constexpr int kMargin = 7;        // dialog units around the pane and between the buttons

} // namespace

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent, int selectPage)
    : QDialog(parent), initialPage_(selectPage) {
    setWindowTitle(caption);
    tabBar_ = new MultiRowTabBar(this);
    frame_ = new PageFrame(this);
    okButton_ = new QPushButton(tr("OK"), this);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    applyButton_ = new QPushButton(tr("&Apply"), this);
    helpButton_ = new QPushButton(tr("Help"), this);
    okButton_->setDefault(true);
    applyButton_->setEnabled(false);
    connect(tabBar_, &MultiRowTabBar::tabRequested, this,
            [this](int index) { SetActivePage(index); });
    connect(okButton_, &QPushButton::clicked, this, &CPropertySheet::PressOk);
    connect(cancelButton_, &QPushButton::clicked, this, &CPropertySheet::reject);
    connect(applyButton_, &QPushButton::clicked, this, &CPropertySheet::PressApply);
    connect(helpButton_, &QPushButton::clicked, this, [this] { OnHelp(); });
}

CPropertySheet::~CPropertySheet() {
    if (filtering_)
        qApp->removeEventFilter(this);
    if (AppMainWindow() == this)
        SetAppMainWindow(nullptr);
    // Pages that outlive the sheet must not be deleted with it.
    for (QPointer<CPropertyPage>& page : pages_) {
        if (page) {
            page->sheet_ = nullptr;
            page->setParent(nullptr);
        }
    }
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    pages_.emplace_back(page);
    page->sheet_ = this;
    page->setParent(frame_);
    page->hide();
    tabBar_->AddTab(page->Caption());
}

int CPropertySheet::DoModal() {
    return exec();
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return pages_[index].data();
}

void CPropertySheet::LayoutSheet() {
    const DialogUnits units = DialogUnitsOf(fontMetrics());
    const int margin = DialogSizeToPixels(kMargin, kMargin, units).width();
    QSize pageSize(0, 0);
    for (auto& page : pages_)
        if (page)
            pageSize = pageSize.expandedTo(page->TemplatePixelSize());
    const QSize frameSize = pageSize + QSize(2 * kFrameWidth, 2 * kFrameWidth);
    const int barHeight = tabBar_->heightForWidth(frameSize.width());
    tabBar_->setGeometry(margin, margin, frameSize.width(), barHeight);
    frame_->setGeometry(margin, margin + barHeight, frameSize.width(), frameSize.height());
    for (auto& page : pages_)
        if (page)
            page->setGeometry(kFrameWidth, kFrameWidth, pageSize.width(), pageSize.height());

    const QSize buttonSize = DialogSizeToPixels(kButtonWidth, kButtonHeight, units)
                                 .expandedTo(okButton_->minimumSizeHint());
    const int buttonGap = DialogSizeToPixels(kMargin - 3, 0, units).width();
    const int buttonsY = frame_->geometry().bottom() + 1 + margin;
    int x = frame_->geometry().right() + 1;
    for (QPushButton* button : {helpButton_, applyButton_, cancelButton_, okButton_}) {
        x -= buttonSize.width();
        button->setGeometry(x, buttonsY, buttonSize.width(), buttonSize.height());
        x -= buttonGap;
    }
    setFixedSize(frameSize.width() + 2 * margin, buttonsY + buttonSize.height() + margin);
}

void CPropertySheet::showEvent(QShowEvent* event) {
    if (!filtering_) {
        qApp->installEventFilter(this);
        filtering_ = true;
    }
    SetAppMainWindow(this);
    if (!started_) {
        started_ = true;
        LayoutSheet();
        const int first = initialPage_ >= 0 && initialPage_ < GetPageCount() ? initialPage_ : 0;
        if (GetPage(first)) {
            DisplayPage(first);
            ActivatePage(first);
            FocusFirstControl(GetPage(first));
        }
    }
    QDialog::showEvent(event);
}

void CPropertySheet::hideEvent(QHideEvent* event) {
    if (filtering_) {
        qApp->removeEventFilter(this);
        filtering_ = false;
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
    if (CPropertyPage* old = GetActivePage(); old && active_ != index)
        old->hide();
    active_ = index;
    tabBar_->SetCurrentIndex(index);
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
    page->activatedBefore_ = true;
    return accepted;
}

bool CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount() || index == active_ || !GetPage(index))
        return false;
    const int previous = active_;
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
        SetActivePage(((active_ + step) % count + count) % count);
}

bool CPropertySheet::ApplyPages() {
    CPropertyPage* displayed = GetActivePage();
    if (!displayed || !displayed->OnKillActive())
        return false;
    // A page's changes count as applied once its OnApply agrees, so its mark is
    // cleared just before; a page that marks itself again while applying keeps
    // Apply enabled, and one that refuses keeps the mark it had.
    for (auto& page : pages_) {
        if (!page || !page->HasControls())
            continue;
        const bool wasModified = page->modified_;
        page->modified_ = false;
        if (!page->OnApply()) {
            page->modified_ = page->modified_ || wasModified;
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
    for (auto& page : pages_)
        if (page && page->HasControls())
            page->OnReset();
    QDialog::reject();
}

void CPropertySheet::UpdateApplyButton() {
    bool anyModified = false;
    for (auto& page : pages_)
        anyModified = anyModified || (page && page->IsModified());
    applyButton_->setEnabled(anyModified);
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
