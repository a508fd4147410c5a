#include "ui/sheet/ProbePage.h"

#include <deque>

const DialogTemplate& ProbePage::ProbeTemplate(const std::string& caption) {
    using namespace ControlStyle;
    static std::deque<DialogTemplate> templates;
    templates.push_back(
        DialogTemplate{900,
                       caption,
                       218,
                       167,
                       {
                           {intAId, ControlKind::Edit, "", 10, 10, 40, 14, Border | TabStop, {}},
                           {numberBId, ControlKind::Edit, "", 10, 30, 40, 14, Border | TabStop, {}},
                           {textCId, ControlKind::Edit, "", 10, 50, 80, 14, Border | TabStop, {}},
                           {comboDId,
                            ControlKind::ComboBox,
                            "",
                            10,
                            70,
                            60,
                            50,
                            DropDown | Sorted | TabStop,
                            {"gamma", "Alpha", "beta"}},
                           {checkEId, ControlKind::CheckBox, "check", 10, 90, 60, 10, TabStop, {}},
                           {buttonFId,
                            ControlKind::PushButton,
                            "&Go",
                            100,
                            10,
                            50,
                            14,
                            DefaultButton | TabStop,
                            {}},
                           {labelGId, ControlKind::Label, "", 100, 30, 60, 8, None, {}},
                       }});
    return templates.back();
}

ProbePage::ProbePage(const std::string& name, std::vector<std::string>& log)
    : CPropertyPage(ProbeTemplate(name)), name(name), log(log) {}

bool ProbePage::OnSetActive() {
    log.push_back("SetActive " + name);
    CPropertyPage::OnSetActive();
    return setActiveResult;
}

bool ProbePage::OnKillActive() {
    log.push_back("KillActive " + name);
    return CPropertyPage::OnKillActive() && killResult;
}

bool ProbePage::OnApply() {
    log.push_back("Apply " + name);
    if (markModifiedOnApply)
        SetModified(true);
    return applyResult;
}

bool ProbePage::OnQueryCancel() {
    log.push_back("QueryCancel " + name);
    return queryCancelResult;
}

void ProbePage::OnReset() {
    log.push_back("Reset " + name);
}

void ProbePage::DoDataExchange(DataExchange& dx) {
    log.push_back(std::string(dx.SaveAndValidate() ? "Read " : "Write ") + name);
    ExchangeInteger(dx, intAId, intA);
    ExchangeNumber(dx, numberBId, numberB);
    ExchangeText(dx, textCId, textC);
    ExchangeComboText(dx, comboDId, comboD);
    ExchangeCheck(dx, checkEId, checkE);
    ExchangeText(dx, labelGId, labelG);
    ExchangeText(dx, buttonFId, buttonF);
}
