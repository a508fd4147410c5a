#pragma once

#include "ui/sheet/CPropertyPage.h"
#include "ui/sheet/DataExchange.h"

#include <cstdint>
#include <string>
#include <vector>

// A page that writes every event it receives into a shared log, with results the
// test chooses.
class ProbePage : public CPropertyPage {
public:
    // The ids of its controls.
    static constexpr int intAId = 100;
    static constexpr int numberBId = 101;
    static constexpr int textCId = 102;
    static constexpr int comboDId = 103;
    static constexpr int checkEId = 104;
    static constexpr int buttonFId = 105;
    static constexpr int labelGId = 106;

    ProbePage(const std::string& name, std::vector<std::string>& log);
    static const DialogTemplate& ProbeTemplate(const std::string& caption);

    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;
    bool OnQueryCancel() override;
    void OnReset() override;

    bool killResult = true;
    bool applyResult = true;
    bool queryCancelResult = true;
    bool setActiveResult = true;
    bool markModifiedOnApply = false;

    int32_t intA = 1;
    double numberB = 2.5;
    std::string textC = "text";
    std::string comboD = "beta";
    bool checkE = true;
    std::string labelG = "label";
    std::string buttonF = "&Go";

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    std::string name;
    std::vector<std::string>& log;
};
