// "Wavelength Protocol": read-back, the profile fallback, and applying.
#include "pages/PageFixture.h"
#include "templates/ControlIds.h"

#include "pages/CPropertyTerminal.h"
#include "pages/CPropertyWavelen.h"
#include "settings/SettingsFile.h"

#include <QLabel>
#include <QPushButton>

namespace {

const char* const twoWavelengths = "30,200,200,4540,240,340,380\r\n";

class WavelenPage : public PageFixture {
protected:
    // The protocol page behind a terminal page, as in the main sheet.
    void ShowPages() {
        terminal = Add<CPropertyTerminal>();
        protocol = Add<CPropertyWavelen>();
        Show();
        ASSERT_TRUE(sheet->SetActivePage(1));
    }
    std::vector<std::string> Times() const {
        return {
            Shown(protocol, ProtocolControls::ctEdit), Shown(protocol, ProtocolControls::dtEdit),
            Shown(protocol, ProtocolControls::it1Edit), Shown(protocol, ProtocolControls::it2Edit)};
    }
    std::vector<std::string> Wavelengths() const {
        return {Shown(protocol, ProtocolControls::wl0Edit),
                Shown(protocol, ProtocolControls::wl1Edit),
                Shown(protocol, ProtocolControls::wl2Edit)};
    }
    bool Checked(int id) const { return protocol->ControlAs<QAbstractButton>(id)->isChecked(); }
    std::string Stored(const char* key) const {
        return SettingsFile::GetProfileString("Wavelength", key, "none");
    }

    CPropertyTerminal* terminal = nullptr;
    CPropertyWavelen* protocol = nullptr;
};

using Texts = std::vector<std::string>;

TEST_F(WavelenPage, FirstActivationWithoutAControllerShowsTheProfileDefaultsInSingleMode) {
    ShowPages();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Times(), (Texts{"500", "3", "20", "20"}));
    EXPECT_EQ(Wavelengths(), (Texts{"200", "340", "380"}));
    EXPECT_TRUE(Checked(ProtocolControls::singleWavelengthCheck));
    EXPECT_FALSE(Enabled(protocol, ProtocolControls::wl2Edit));
    EXPECT_FALSE(Enabled(protocol, ProtocolControls::it2Edit));
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled()); // marked at every activation

    // Clearing the box enables the two edits at once.
    Click(protocol, ProtocolControls::singleWavelengthCheck);
    EXPECT_FALSE(protocol->singleWavelength);
    EXPECT_TRUE(Enabled(protocol, ProtocolControls::wl2Edit));
    EXPECT_TRUE(Enabled(protocol, ProtocolControls::it2Edit));

    // Both pictures are in place.
    std::vector<QSize> pictures;
    for (auto* label : protocol->findChildren<QLabel*>())
        if (!label->pixmap().isNull())
            pictures.push_back(label->pixmap().size());
    EXPECT_EQ(pictures.size(), 2u);
    EXPECT_NE(std::find(pictures.begin(), pictures.end(), QSize(230, 148)), pictures.end());
    EXPECT_NE(std::find(pictures.begin(), pictures.end(), QSize(21, 82)), pictures.end());
}

TEST_F(WavelenPage, ApplyWithoutAPortIsRefusedButStoredAndClearsReactivate) {
    ShowPages();
    Click(protocol, ProtocolControls::reactivateCheck);
    EXPECT_FALSE(sheet->PressApply());
    EXPECT_EQ(messages, Texts{"Error writing!\nValues NOT applied."});
    EXPECT_FALSE(Checked(ProtocolControls::reactivateCheck));
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    // Single mode: it2 0 and wl2 = wl1; wl0 brought into the range by the link.
    EXPECT_EQ(Times(), (Texts{"500", "3", "20", "0"}));
    EXPECT_EQ(Wavelengths(), (Texts{"240", "340", "340"}));
    EXPECT_NE(Profile().find("[Wavelength]\r\nct=5000\r\ndt=30\r\nit1=200\r\nit2=0\r\n"
                             "wl0=240\r\nwl1=340\r\nwl2=340\r\n"),
              std::string::npos)
        << Profile();
}

TEST_F(WavelenPage, OkOnAnotherTabSendsNoProtocol) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n").Reply(twoWavelengths);
    Connect();
    ShowPages();
    EXPECT_EQ(Times(), (Texts{"500", "3", "20", "20"}));
    EXPECT_EQ(Wavelengths(), (Texts{"240", "340", "380"}));
    EXPECT_FALSE(Checked(ProtocolControls::singleWavelengthCheck));
    EXPECT_TRUE(Enabled(protocol, ProtocolControls::wl2Edit));
    ASSERT_TRUE(sheet->SetActivePage(0));
    sheet->PressOk(); // the terminal reads once (nothing pending); the protocol page sends nothing
    EXPECT_EQ(controller.Finish(), "");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Stored("ct"), "none");
}

TEST_F(WavelenPage, AShortCycleIsCorrectedTwiceThenSent) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n").Reply(twoWavelengths);
    controller.Expect("PD,30,200,200,30,240,340,380;\r\n").Reply("PD,0!\r\n");
    controller.Expect("RS;\r\n").Reply("RS,0!\r\n");
    Connect();
    ShowPages();
    Type(protocol, ProtocolControls::ctEdit, "40");
    EXPECT_FALSE(sheet->PressApply());
    EXPECT_EQ(messages, Texts{"Invalid cycle time corrected!\nValues NOT applied."});
    EXPECT_EQ(Times(), (Texts{"46", "3", "20", "20"}));
    EXPECT_EQ(Stored("ct"), "none"); // nothing stored
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());

    // A resting time of 0 goes to the link, which raises it to 30 tenths.
    messages.clear();
    Click(protocol, ProtocolControls::reactivateCheck);
    EXPECT_FALSE(sheet->PressApply());
    EXPECT_EQ(messages,
              Texts{"Resting time (= ct - 2*dt - it1 - it2) too small\nValues NOT applied."});
    EXPECT_EQ(Times(), (Texts{"49", "3", "20", "20"}));
    EXPECT_FALSE(Checked(ProtocolControls::reactivateCheck));
    EXPECT_EQ(Stored("ct"), "490");

    messages.clear();
    Click(protocol, ProtocolControls::reactivateCheck);
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(Checked(ProtocolControls::reactivateCheck));
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled()); // the page marks itself after applying
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(WavelenPage, SingleWavelengthSendsFiveValuesAndShowsWl1AsWl2) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n").Reply("30,200,0,4770,240,340,0\r\n");
    controller.Expect("PD,30,200,4770,240,340;\r\n").Reply("PD,0!\r\n");
    Connect();
    ShowPages();
    EXPECT_TRUE(Checked(ProtocolControls::singleWavelengthCheck));
    EXPECT_EQ(Times(), (Texts{"500", "3", "20", "0"}));
    EXPECT_EQ(Wavelengths(), (Texts{"240", "340", "340"}));
    Type(protocol, ProtocolControls::it2Edit, "20"); // unused with one wavelength
    PressEnter(protocol->Control(ProtocolControls::ctEdit));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Times(), (Texts{"500", "3", "20", "0"}));
    EXPECT_EQ(Stored("it2"), "0");
    EXPECT_EQ(Stored("wl2"), "340");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(WavelenPage, TimesAreSentInTruncatedTenths) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n").Reply(twoWavelengths);
    controller.Expect("PD,25,200,200,4549,240,340,380;\r\n").Reply("PD,0!\r\n");
    Connect();
    ShowPages();
    Type(protocol, ProtocolControls::dtEdit, "2.55");
    EXPECT_TRUE(sheet->PressApply());
    EXPECT_EQ(Times(), (Texts{"499.9", "2.5", "20", "20"}));
    EXPECT_EQ(Stored("dt"), "25");
    EXPECT_EQ(Stored("ct"), "4999");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(WavelenPage, AReadBackThatFailsTwiceWithAPortOpenIsReported) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n").Reply("30,2000,2000,500,240,340\r\n");
    controller.Expect("RP;\r\n").Reply("30,2000,2000,500,240,340\r\n");
    Connect();
    SettingsFile::WriteProfileInt("Wavelength", "ct", 1234);
    ShowPages();
    EXPECT_EQ(messages, Texts{"Wrong answer:\n30,2000,2000,500,240,340"});
    EXPECT_EQ(Shown(protocol, ProtocolControls::ctEdit), "123.4");
    EXPECT_EQ(controller.Finish(), "");
}

} // namespace
