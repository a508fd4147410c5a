#include "ui/sheet/CPropertyPage.h"

#include "ui/dialog/DialogLayout.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/CPropertySheet.h"
#include "ui/sheet/DataExchange.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <vector>

CPropertyPage::CPropertyPage(const DialogTemplate& dialog) : dialog(dialog) {
    hide();
}

CPropertyPage::~CPropertyPage() = default;

QString CPropertyPage::Caption() const {
    return QString::fromStdString(dialog.caption);
}

QSize CPropertyPage::TemplatePixelSize() const {
    return DialogSizeToPixels(dialog.width, dialog.height, DialogUnitsOf(QFontMetrics(font())));
}

bool CPropertyPage::OnSetActive() {
    if (activatedBefore)
        UpdateData(false);
    return true;
}

bool CPropertyPage::OnKillActive() {
    return UpdateData(true);
}

bool CPropertyPage::OnApply() {
    OnOK();
    return true;
}

bool CPropertyPage::OnQueryCancel() {
    return true;
}

void CPropertyPage::OnReset() {
    OnCancel();
}

bool CPropertyPage::KillActiveUnmodified() {
    SetModified(false);
    return CPropertyPage::OnKillActive();
}

void CPropertyPage::DoDataExchange(DataExchange&) {}

QWidget* CPropertyPage::Control(int id) const {
    auto it = controls.find(id);
    return it == controls.end() ? nullptr : it->second;
}

void CPropertyPage::SetModified(bool changed) {
    modified = changed;
    if (sheet)
        sheet->UpdateApplyButton();
}

void CPropertyPage::CreatePageControls() {
    if (created)
        return;
    CreateControls(dialog, this, controls);
    created = true;
}

bool CPropertyPage::UpdateData(bool saveAndValidate) {
    if (!created)
        return false;
    DataExchange dx(*this, saveAndValidate);
    {
        // Writing a field into a control raises its change signals; the page must
        // not see them.
        std::vector<QSignalBlocker> blockers;
        blockers.reserve(controls.size());
        for (auto& entry : controls)
            blockers.emplace_back(entry.second);
        exchanging = true;
        DoDataExchange(dx);
        exchanging = false;
    }
    if (!dx.Failed())
        return true;
    QWidget* control = dx.FailedControl();
    AppMessageBox(dx.FailureMessage());
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
    else if (auto* text = qobject_cast<QPlainTextEdit*>(control))
        text->selectAll();
    return false;
}
