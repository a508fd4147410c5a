// "RS-232 Setup": connecting, disconnecting, and what leaving the page stores.
#include "pages/PageFixture.h"
#include "templates/ControlIds.h"

#include "device/AdcLink.h"
#include "pages/CPropertySetup.h"
#include "pages/SetupParameters.h"
#include "ports/PortDiscovery.h"
#include "settings/SettingsFile.h"
#include "ui/dialog/DialogLayout.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <termios.h>

namespace {

class SetupPage : public PageFixture {
protected:
    void ShowSetup() {
        setup = Add<CPropertySetup>();
        AddBlank();
        Show();
    }
    void Leave() { ASSERT_TRUE(sheet->SetActivePage(1)); }
    void ReportPorts(const std::vector<SystemPort>& ports) {
        SetPortSource([ports] { return ports; });
    }
    QComboBox* PortBox() const { return setup->ControlAs<QComboBox>(SetupControls::portCombo); }
    // Opens the port list by key, as an operator does, and says what it holds.
    QAbstractItemView* OpenPortList(std::vector<std::string>& items) {
        QTest::keyClick(PortBox(), Qt::Key_F4);
        items = ComboItemTexts(PortBox());
        return PortBox()->view()->isVisible() ? PortBox()->view() : nullptr;
    }
    void Return() { ASSERT_TRUE(sheet->SetActivePage(0)); }
    bool OnlyDisconnectEnabled() const {
        return !Enabled(setup, SetupControls::connectButton) &&
               Enabled(setup, SetupControls::disconnectButton) &&
               !Enabled(setup, SetupControls::portCombo) &&
               !Enabled(setup, SetupControls::baudCombo) &&
               !Enabled(setup, SetupControls::bitsCombo) &&
               !Enabled(setup, SetupControls::parityCombo);
    }

    CPropertySetup* setup = nullptr;
};

TEST_F(SetupPage, WithoutSettingsShowsTheDefaultsAndTheirModeString) {
    ShowSetup();
    EXPECT_EQ(Shown(setup, SetupControls::portCombo), "COM1");
    EXPECT_EQ(Shown(setup, SetupControls::baudCombo), "19200");
    EXPECT_EQ(Shown(setup, SetupControls::bitsCombo), "8,1");
    EXPECT_EQ(Shown(setup, SetupControls::parityCombo), "none"); // the list item chosen for "None"
    EXPECT_EQ(Shown(setup, SetupControls::versionEdit), "unavailable");
    EXPECT_TRUE(Enabled(setup, SetupControls::connectButton));
    EXPECT_FALSE(Enabled(setup, SetupControls::disconnectButton));
    EXPECT_FALSE(setup->IsModified());

    // What Connect takes from the controls and hands to OpenPort.
    ASSERT_TRUE(setup->UpdateData(true));
    EXPECT_EQ(BuildModeString(setup->baudRate, setup->parity, setup->bits),
              "baud=19200 parity=n data=8 stop=1");

    // The port list: the template's four, the discovered ports and SIM, sorted, once each.
    auto* ports = setup->ControlAs<QComboBox>(SetupControls::portCombo);
    std::vector<std::string> items;
    for (int i = 0; i < ports->count(); ++i)
        items.push_back(ports->itemText(i).toStdString());
    for (const char* name : {"COM1", "COM2", "COM3", "COM4", "SIM"})
        EXPECT_EQ(std::count(items.begin(), items.end(), name), 1) << name;
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return QString::compare(QString::fromStdString(a), QString::fromStdString(b),
                                Qt::CaseInsensitive) < 0;
    }));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SetupPage, AStoredSimulatorPortIsChosenFromTheList) {
    WriteSettings(SettingsFile::ApplicationProfileName(), "[Setup]\r\nComPort=sim\r\n");
    ShowSetup();
    auto* ports = setup->ControlAs<QComboBox>(SetupControls::portCombo);
    ASSERT_GE(ports->currentIndex(), 0);
    EXPECT_EQ(ports->currentText().toStdString(), "SIM");
}

TEST_F(SetupPage, ConnectShowsTheVersionAndLeavingStoresTheParameters) {
    ScriptHandshake(controller, "(240,699)");
    // After the handshake the page drains (one read time-out), then asks for the ID.
    controller.Expect("ID;\r\n").Reply("ID;\r\nV1.0\r\n");
    StartController();
    ShowSetup();
    const std::string port = controller.SlavePath();
    Type(setup, SetupControls::portCombo, port);
    Type(setup, SetupControls::baudCombo, "57600");
    Type(setup, SetupControls::bitsCombo, "7,2");
    Click(setup, SetupControls::connectButton);
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(AdcLink::IsPortOpen());
    // The port's own settings (a pseudo-terminal always keeps 8 data bits).
    termios line{};
    ASSERT_EQ(::tcgetattr(controller.MasterFd(), &line), 0);
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B57600));
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(setup->versionText, "V1.0");
    EXPECT_EQ(Shown(setup, SetupControls::versionEdit), "V1.0");
    EXPECT_EQ(Shown(setup, SetupControls::parityCombo), "none");
    EXPECT_TRUE(OnlyDisconnectEnabled());
    EXPECT_EQ(QApplication::focusWidget(), setup->Control(SetupControls::disconnectButton));
    EXPECT_EQ(controller.Finish(), "");
    EXPECT_EQ(Profile(), "");

    Leave();
    EXPECT_EQ(Profile(),
              "[Setup]\r\nComPort=" + port + "\r\nBaudRate=57600\r\nBits=7,2\r\nParity=none\r\n");
    Return();
    EXPECT_TRUE(OnlyDisconnectEnabled());

    const std::string stored = Profile();
    Click(setup, SetupControls::disconnectButton);
    EXPECT_FALSE(AdcLink::IsPortOpen());
    EXPECT_EQ(Shown(setup, SetupControls::versionEdit), "not connected");
    EXPECT_TRUE(Enabled(setup, SetupControls::connectButton));
    EXPECT_FALSE(Enabled(setup, SetupControls::disconnectButton));
    EXPECT_TRUE(
        Enabled(setup, SetupControls::portCombo) && Enabled(setup, SetupControls::baudCombo) &&
        Enabled(setup, SetupControls::bitsCombo) && Enabled(setup, SetupControls::parityCombo));
    Type(setup, SetupControls::baudCombo, "57600");
    Leave(); // disconnected: nothing is written
    EXPECT_EQ(Profile(), stored);
    EXPECT_EQ(setup->baudRate, "57600");
    EXPECT_TRUE(messages.empty());
}

TEST_F(SetupPage, LeavingWithoutAConnectionWritesNothing) {
    ShowSetup();
    // Typed text stays as typed, also when the focus moves on: "38" is no "38400".
    Type(setup, SetupControls::baudCombo, "38");
    QTest::keyClick(setup->Control(SetupControls::baudCombo), Qt::Key_Tab);
    EXPECT_EQ(Shown(setup, SetupControls::baudCombo), "38");
    Leave();
    EXPECT_EQ(setup->baudRate, "38");
    EXPECT_EQ(Profile(), "");
}

TEST_F(SetupPage, APortThatDoesNotExistShowsOneMessageAndConnectStaysUsable) {
    ShowSetup();
    Type(setup, SetupControls::portCombo, (root / "no-such-port").string());
    Click(setup, SetupControls::connectButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Port Initialisation Error:\n", 0), 0u) << messages[0];
    EXPECT_FALSE(AdcLink::IsPortOpen());
    EXPECT_TRUE(Enabled(setup, SetupControls::connectButton));
    EXPECT_FALSE(Enabled(setup, SetupControls::disconnectButton));
    EXPECT_EQ(Shown(setup, SetupControls::versionEdit), "unavailable");
}

TEST_F(SetupPage, EnterDoesNotConnect) {
    ShowSetup();
    PressEnter(setup->Control(SetupControls::connectButton));
    EXPECT_FALSE(AdcLink::IsPortOpen());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SetupPage, TheListIsBuiltAgainAtEachOpeningAndAGonePortStaysAsStored) {
    const std::string gone = (root / "ttyUSB1").string(), there = (root / "ttyUSB10").string();
    WriteSettings(SettingsFile::ApplicationProfileName(), "[Setup]\r\nComPort=" + gone + "\r\n");
    ReportPorts({{there, "USB serial adapter", "Acme", "A1B2C3", 0x0403, 0x6001}});
    ShowSetup();
    EXPECT_EQ(Shown(setup, SetupControls::portCombo),
              gone); // not the longer path that begins with it
    std::vector<std::string> items;
    QAbstractItemView* list = OpenPortList(items);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(items, (std::vector<std::string>{there, "COM1", "COM2", "COM3", "COM4", "SIM"}));
    // The item is the path alone; its line in the list adds the details, and fits.
    const QString line =
        QString::fromStdString(there) + "  USB serial adapter, Acme (serial A1B2C3, 0403:6001)";
    EXPECT_EQ(PortBox()->itemData(0, Qt::ToolTipRole).toString(), line);
    EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0)); // no line is cut
    EXPECT_GT(list->sizeHintForColumn(0), list->fontMetrics().horizontalAdvance(line));
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(Shown(setup, SetupControls::portCombo), gone);
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), PortBox()->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(PortBox(), &hover);
    EXPECT_EQ(QToolTip::text().toStdString(), gone);

    // Unplugged and six others plugged in: the next opening shows them, in a
    // list that scrolls and still cuts no line; the text stays.
    std::vector<SystemPort> plugged;
    for (const char* name : {"ACM0", "ACM1", "ACM2", "ACM3", "ACM4", "ACM5"})
        plugged.push_back({std::string("/dev/tty") + name, "USB serial adapter", "", "", -1, -1});
    ReportPorts(plugged);
    ASSERT_NE(list = OpenPortList(items), nullptr);
    EXPECT_EQ(items.size(), 11u); // 4 + 6 + SIM: the one unplugged is gone
    EXPECT_TRUE(list->verticalScrollBar()->isVisible());
    EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0));
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(Shown(setup, SetupControls::portCombo), gone);
    Click(setup, SetupControls::connectButton);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Port Initialisation Error:\nNo such file or directory (ports here: "
                            "/dev/ttyACM0, /dev/ttyACM1, /dev/ttyACM2, /dev/ttyACM3, "
                            "/dev/ttyACM4, /dev/ttyACM5)"}));
}

TEST_F(SetupPage, AnAdapterPickedByItsDescriptionIsStoredByItsStableName) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("ID;\r\n").Reply("ID;\r\nV1.0\r\n");
    StartController();
    ReportPorts({{controller.SlavePath(), "USB serial adapter", "", "", -1, -1}});
    std::filesystem::create_directories(root / "by-id");
    SetPortLinkFolder((root / "by-id").string());
    const std::string stable = (root / "by-id" / "usb-Acme_A1B2C3-if00-port0").string();
    std::filesystem::create_symlink(controller.SlavePath(), stable);
    ShowSetup();
    std::vector<std::string> items;
    QAbstractItemView* list = OpenPortList(items);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(items.at(1), stable); // after the device path, before COM1
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Shown(setup, SetupControls::portCombo), stable);
    // Opened again, the list starts at the shown port.
    ASSERT_NE(list = OpenPortList(items), nullptr);
    EXPECT_EQ(list->currentIndex().row(), 1);
    QTest::keyClick(list, Qt::Key_Escape);
    Click(setup, SetupControls::connectButton);
    EXPECT_EQ(controller.Finish(), ""); // opened through the link
    Leave();
    EXPECT_EQ(Profile(),
              "[Setup]\r\nComPort=" + stable + "\r\nBaudRate=19200\r\nBits=8,1\r\nParity=none\r\n");
}

} // namespace
