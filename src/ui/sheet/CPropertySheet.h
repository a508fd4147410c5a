#pragma once

#include <QDialog>
#include <QPointer>

#include <vector>

class CPropertyPage;
class MultiRowTabBar;
class QPushButton;

// The modal sheet: a multi-row tab bar over the displayed page, and OK, Cancel,
// Apply and Help. It owns the tab switching so that a page can refuse to be left,
// and while it is shown it takes every Return / keypad Enter in its window to
// apply the displayed page.
class CPropertySheet : public QDialog {
    Q_OBJECT
public:
    explicit CPropertySheet(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);
    ~CPropertySheet() override;

    // Pages are not owned: the caller keeps them alive while the sheet lives.
    void AddPage(CPropertyPage* page);
    // Runs the sheet modally and returns QDialog::Accepted or Rejected.
    int DoModal();

    int GetPageCount() const { return static_cast<int>(pages.size()); }
    CPropertyPage* GetPage(int index) const;
    CPropertyPage* GetActivePage() const { return GetPage(active); }
    int GetActiveIndex() const { return active; }
    // Asks the displayed page's OnKillActive, then displays and activates the
    // page. Returns false when the change was refused.
    bool SetActivePage(int index);

    // The buttons' actions.
    void PressOk();
    bool PressApply();
    void reject() override; // Cancel, Escape and the close box

    MultiRowTabBar* TabBar() const { return tabBar; }
    QPushButton* OkButton() const { return okButton; }
    QPushButton* CancelButton() const { return cancelButton; }
    QPushButton* ApplyButton() const { return applyButton; }
    QPushButton* HelpButton() const { return helpButton; }

    // Enables Apply while at least one page is marked changed.
    void UpdateApplyButton();

protected:
    virtual void OnHelp() {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool ActivatePage(int index);
    void DisplayPage(int index);
    void FocusFirstControl(CPropertyPage* page);
    // OnKillActive of the displayed page, then OnApply of every displayed page.
    bool ApplyPages();
    void LayoutSheet();
    void StepPage(int step);

    std::vector<QPointer<CPropertyPage>> pages;
    MultiRowTabBar* tabBar;
    QWidget* frame;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* applyButton;
    QPushButton* helpButton;
    int initialPage;
    int active = -1;
    bool started = false;
    bool filtering = false;
};
