// "Set Wavelength": presets in the fixed-name file, the WL exchange and its status lines.
#include "pages/PageFixture.h"
#include "templates/ControlIds.h"

#include "pages/CPropertySetWavelen.h"

#include <QEvent>
#include <QLineEdit>
#include <QTest>

#include <algorithm>

namespace {

// Records the text of each paint of the status and debug fields.
class PaintLog : public QObject {
public:
    std::vector<std::string> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            if (auto* edit = qobject_cast<QLineEdit*>(watched))
                paints.push_back(edit->objectName().toStdString() + ":" +
                                 edit->text().toStdString());
        return false;
    }
};

class SetWavelenPage : public PageFixture {
protected:
    void ShowPage() {
        page = Add<CPropertySetWavelen>();
        AddBlank();
        Show();
    }
    void Leave() { ASSERT_TRUE(sheet->SetActivePage(1)); }

    CPropertySetWavelen* page = nullptr;
};

TEST_F(SetWavelenPage, WithoutTheSectionShowsDefaultsAndLeavingCreatesFourKeys) {
    ShowPage();
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength1Edit), "200");
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength2Edit), "300");
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength3Edit), "400");
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength4Edit), "500");
    EXPECT_FALSE(page->Control(SetWavelengthControls::debugEdit)->isVisible());
    EXPECT_FALSE(page->IsModified());

    // No port: the status line says so and the debug line ends empty.
    Click(page, SetWavelengthControls::setButtons[3]);
    EXPECT_EQ(Shown(page, SetWavelengthControls::statusEdit),
              " ERROR: No connection to the ADC/QMB !!");
    EXPECT_EQ(page->debugText, "");

    Leave();
    EXPECT_EQ(PresetFile(), "[SetWaveLength]\r\nWaveLength1=200\r\nWaveLength2=300\r\n"
                            "WaveLength3=400\r\nWaveLength4=500\r\n");
    EXPECT_TRUE(messages.empty());
}

TEST_F(SetWavelenPage, APresetOfMinusOneIsReportedAtEachActivation) {
    WriteSettings("VORNadcC.INI", "[SetWaveLength]\r\nWaveLength3=-1\r\n");
    ShowPage();
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength3Edit), "-1");
    Leave();
    ASSERT_TRUE(sheet->SetActivePage(0));
    EXPECT_EQ(messages,
              std::vector<std::string>(
                  2, "Error reading <VornAdcC.ini> \n\nInitialisation-File could not be red !"));
}

TEST_F(SetWavelenPage, APresetAboveTheRangeSendsTheMaximumAndStaysAsTyped) {
    WriteSettings("VORNadcC.INI", "[SetWaveLength]\r\nWaveLength1=9999\r\nDebug=1\r\n");
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WL,699;\r\n").Reply("WL,699;\r\nWL,0!\r\n");
    Connect();
    ShowPage();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
    ASSERT_TRUE(page->Control(SetWavelengthControls::debugEdit)->isVisible());

    PaintLog paintLog;
    page->Control(SetWavelengthControls::statusEdit)->setObjectName("status");
    page->Control(SetWavelengthControls::debugEdit)->setObjectName("debug");
    page->Control(SetWavelengthControls::statusEdit)->installEventFilter(&paintLog);
    page->Control(SetWavelengthControls::debugEdit)->installEventFilter(&paintLog);
    Click(page, SetWavelengthControls::setButtons[0]);
    // Before the exchange blocked, the "trying" line and the command were painted
    // (Qt paints every changed control of the window at a repaint, in its own order).
    auto painted = [&](const std::string& text) {
        return std::count(paintLog.paints.begin(), paintLog.paints.end(), text) > 0;
    };
    EXPECT_TRUE(painted("status:... trying to set wavelength to 699 nm"));
    EXPECT_TRUE(painted("debug:WL,699;\r\n"));
    EXPECT_TRUE(painted("status: Wavelength is set to  :  699 nm")); // as the exchange ended

    EXPECT_EQ(Shown(page, SetWavelengthControls::statusEdit), " Wavelength is set to  :  699 nm");
    EXPECT_EQ(Shown(page, SetWavelengthControls::debugEdit), "WL,0!");
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength1Edit), "9999");

    // OK, Apply and Enter send nothing from this page.
    PressEnter(page->Control(SetWavelengthControls::wavelength2Edit));
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_EQ(controller.Finish(), "");
    Leave();
    EXPECT_NE(PresetFile().find("WaveLength1=9999\r\n"), std::string::npos);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SetWavelenPage, ATextInPresetTwoStopsTheExchangeBeforePresetOne) {
    ScriptHandshake(controller, "(240,699)");
    WriteSettings("VORNadcC.INI", "[SetWaveLength]\r\nWaveLength1=300\r\n");
    controller.Expect("WL,300;\r\n").Reply("WL,3!\r\n");
    Connect();
    ShowPage();
    Type(page, SetWavelengthControls::wavelength1Edit, "350");
    Type(page, SetWavelengthControls::wavelength2Edit, "abc");
    Click(page, SetWavelengthControls::setButtons[0]);
    EXPECT_EQ(messages, std::vector<std::string>{"Please enter an integer."});
    EXPECT_EQ(Shown(page, SetWavelengthControls::statusEdit),
              " ERROR: Wavelength could not be set! ");
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength1Edit),
              "300"); // the previous value, shown again
    EXPECT_EQ(Shown(page, SetWavelengthControls::wavelength2Edit), "300");
    EXPECT_EQ(controller.Finish(), "");
}

} // namespace
