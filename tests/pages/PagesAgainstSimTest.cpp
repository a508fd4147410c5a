// The four pages against the built-in simulated controller, as an operator uses them.
#include "PageFixture.h"

#include "device/AdcLink.h"
#include "pages/CPropertySetWavelen.h"
#include "pages/CPropertySetup.h"
#include "pages/CPropertyTerminal.h"
#include "pages/CPropertyWavelen.h"

#include <QAbstractButton>

namespace {

using Texts = std::vector<std::string>;
using PagesAgainstSim = PageFixture;

TEST_F(PagesAgainstSim, ConnectSetAWavelengthReadTheProtocolAndTypeACommandOnSim) {
    auto* setup = Add<CPropertySetup>();
    auto* terminal = Add<CPropertyTerminal>();
    auto* protocol = Add<CPropertyWavelen>();
    auto* setWavelen = Add<CPropertySetWavelen>();
    Show();

    Type(setup, 1022, "SIM");
    Click(setup, 1013);
    ASSERT_TRUE(AdcLink::IsPortOpen());
    EXPECT_EQ(Shown(setup, 1026), "ADC-SIM 1.0");

    ASSERT_TRUE(sheet->SetActivePage(3));
    Click(setWavelen, 1039); // preset 2: 300 nm
    EXPECT_EQ(Shown(setWavelen, 1043), " Wavelength is set to  :  300 nm");

    ASSERT_TRUE(sheet->SetActivePage(2));
    EXPECT_EQ((Texts{Shown(protocol, 1005), Shown(protocol, 1006), Shown(protocol, 1001),
                     Shown(protocol, 1002)}),
              (Texts{"500", "3", "20", "20"}));
    EXPECT_EQ((Texts{Shown(protocol, 1007), Shown(protocol, 1003), Shown(protocol, 1004)}),
              (Texts{"240", "340", "380"}));
    EXPECT_FALSE(protocol->ControlAs<QAbstractButton>(1030)->isChecked());
    Type(protocol, 1003, "350");
    EXPECT_TRUE(sheet->PressApply());

    ASSERT_TRUE(sheet->SetActivePage(1));
    Type(terminal, 1010, "RP");
    Click(terminal, 1011);
    EXPECT_EQ(terminal->replyLog, "30,200,200,4540,240,350,380\r\n");
    EXPECT_TRUE(messages.empty());

    ASSERT_TRUE(sheet->SetActivePage(0));
    Click(setup, 1014);
    EXPECT_FALSE(AdcLink::IsPortOpen());
    EXPECT_EQ(Shown(setup, 1026), "not connected");
}

} // namespace
