#include "ui/sheet/ProbePage.h"

#include <deque>

const DialogTemplate& ProbePage::ProbeTemplate(const std::string& caption) {
    using namespace ControlStyle;
    static std::deque<DialogTemplate> templates;
    templates.push_back(DialogTemplate{
        900,
        caption,
        218,
        167,
        {
            {IntA, ControlKind::Edit, "", 10, 10, 40, 14, Border | TabStop, {}},
            {NumberB, ControlKind::Edit, "", 10, 30, 40, 14, Border | TabStop, {}},
            {TextC, ControlKind::Edit, "", 10, 50, 80, 14, Border | TabStop, {}},
            {ComboD,
             ControlKind::ComboBox,
             "",
             10,
             70,
             60,
             50,
             DropDown | Sorted | TabStop,
             {"gamma", "Alpha", "beta"}},
            {CheckE, ControlKind::CheckBox, "check", 10, 90, 60, 10, TabStop, {}},
            {ButtonF, ControlKind::PushButton, "&Go", 100, 10, 50, 14, DefaultButton | TabStop, {}},
            {LabelG, ControlKind::Label, "", 100, 30, 60, 8, None, {}},
        }});
    return templates.back();
}

ProbePage::ProbePage(const std::string& name, std::vector<std::string>& log)
    : CPropertyPage(ProbeTemplate(name)), name_(name), log_(log) {}

bool ProbePage::OnSetActive() {
    log_.push_back("SetActive " + name_);
    CPropertyPage::OnSetActive();
    return setActiveResult;
}

bool ProbePage::OnKillActive() {
    log_.push_back("KillActive " + name_);
    return CPropertyPage::OnKillActive() && killResult;
}

bool ProbePage::OnApply() {
    log_.push_back("Apply " + name_);
    if (markModifiedOnApply)
        SetModified(true);
    return applyResult;
}

bool ProbePage::OnQueryCancel() {
    log_.push_back("QueryCancel " + name_);
    return queryCancelResult;
}

void ProbePage::OnReset() {
    log_.push_back("Reset " + name_);
}

void ProbePage::DoDataExchange(DataExchange& dx) {
    log_.push_back(std::string(dx.SaveAndValidate() ? "Read " : "Write ") + name_);
    ExchangeInteger(dx, IntA, intA);
    ExchangeNumber(dx, NumberB, numberB);
    ExchangeText(dx, TextC, textC);
    ExchangeComboText(dx, ComboD, comboD);
    ExchangeCheck(dx, CheckE, checkE);
    ExchangeText(dx, LabelG, labelG);
    ExchangeText(dx, ButtonF, buttonF);
}
