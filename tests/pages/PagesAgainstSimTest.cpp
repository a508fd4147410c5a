// The four pages against the built-in simulated controller, as an operator uses them.
#include "pages/PageFixture.h"
#include "support/SerialServer.h"

#include "device/AdcLink.h"
#include "pages/CPropertySetWavelen.h"
#include "pages/CPropertySetup.h"
#include "pages/CPropertyTerminal.h"
#include "pages/CPropertyWavelen.h"
#include "settings/SettingsFile.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <fstream>
#include <iterator>

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

// The port field typed by keys, as the operator does: all of it replaced.
void TypePort(CPropertySetup* setup, const std::string& name) {
    QLineEdit* edit = setup->ControlAs<QComboBox>(1022)->lineEdit();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QString::fromStdString(name));
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// LogFile is read at each Connect, never written; one that cannot be opened is
// one message, and the connection is made all the same.
TEST_F(PagesAgainstSim, ANetworkPortTypedIntoThePortFieldConnectsAndLogFileRecordsIt) {
    if (SerialServer::Program().empty())
        GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh installs it)";
    SimServer sim{SimOptions{}};
    SerialServer server;
    std::string error;
    ASSERT_TRUE(sim.Start(error)) << error;
    ASSERT_TRUE(server.Start({{SerialServer::Kind::Rfc2217, sim.SlavePath()}}, error)) << error;
    const std::string logLine = "LogFile=" + (root / "link.log").string() + "\r\n";
    WriteSettings(SettingsFile::ApplicationProfileName(), "[Setup]\r\n" + logLine);
    auto* setup = Add<CPropertySetup>();
    AddBlank();
    Show();

    TypePort(setup, server.PortName(0));
    Click(setup, 1013);
    ASSERT_TRUE(AdcLink::IsPortOpen());
    EXPECT_EQ(Shown(setup, 1026), "ADC-SIM 1.0");
    EXPECT_EQ(Shown(setup, 1022), server.PortName(0));
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(sheet->SetActivePage(1)); // leaving while connected stores the port
    EXPECT_NE(Profile().find("ComPort=" + server.PortName(0) + "\r\n"), std::string::npos);
    EXPECT_NE(Profile().find(logLine), std::string::npos);
    EXPECT_NE(FileText(root / "link.log").find(" sent ID;\\r\\n\n"), std::string::npos);
    EXPECT_NE(FileText(root / "link.log").find(" received-lf ADC-SIM 1.0\\r\\n\n"),
              std::string::npos);

    ASSERT_TRUE(sheet->SetActivePage(0));
    Click(setup, 1014);
    WriteSettings(SettingsFile::ApplicationProfileName(),
                  "[Setup]\r\nLogFile=" + root.string() + "\r\n");
    TypePort(setup, "SIM");
    Click(setup, 1013);
    EXPECT_EQ(messages, Texts{"Cannot open the log file " + root.string() + ": Is a directory"});
    EXPECT_TRUE(AdcLink::IsPortOpen());
    EXPECT_EQ(Shown(setup, 1026), "ADC-SIM 1.0");
}

} // namespace
