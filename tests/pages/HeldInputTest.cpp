// Clicks and keys that arrive while Connect, Send, a page's reads or Set hold
// the thread are dropped when the exchange ends: nothing they would have done
// happens, and nothing more goes out on the line.
#include "pages/PageFixture.h"
#include "templates/ControlIds.h"

#include "device/AdcLink.h"
#include "pages/CPropertySetWavelen.h"
#include "pages/CPropertySetup.h"
#include "pages/CPropertyTerminal.h"
#include "pages/CPropertyWavelen.h"
#include "support/QueuedInput.h"

#include <QTest>

namespace {

using HeldInput = PageFixture;

TEST_F(HeldInput, InputQueuedDuringEachExchangeIsDroppedAtItsEnd) {
    auto* setup = Add<CPropertySetup>();
    auto* terminal = Add<CPropertyTerminal>();
    Add<CPropertyWavelen>();
    auto* presets = Add<CPropertySetWavelen>();
    QWindow* window = nullptr;
    QueuedInput::Spot disconnect, send, secondSet;
    const auto enter = [&] { QueuedInput::Key(window, Qt::Key_Return); };
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("ID;\r\n").Call([&] {
        QueuedInput::Click(disconnect);
        enter();
    });
    controller.Reply("V1.0\r\n");
    // silent: the command stays in the box, where Enter or Send would send it again
    controller.Expect("RC;\r\n").Call([&] { QueuedInput::Click(send), enter(); });
    controller.Expect("RP;\r\n").Call(enter).Reply("30,200,200,4540,240,340,380\r\n");
    controller.Expect("WL,240;\r\n").Call([&] { QueuedInput::Click(secondSet); });
    controller.Reply("WL,0!\r\n");
    StartController();
    Show();
    window = sheet->windowHandle();
    disconnect = QueuedInput::CentreOf(setup->Control(SetupControls::disconnectButton));

    Type(setup, SetupControls::portCombo, controller.SlavePath());
    Click(setup, SetupControls::connectButton);
    QTest::qWait(50);
    EXPECT_TRUE(AdcLink::IsPortOpen());
    ASSERT_TRUE(sheet->SetActivePage(1));
    send = QueuedInput::CentreOf(terminal->Control(TerminalControls::sendButton));
    Type(terminal, TerminalControls::commandCombo, "RC");
    Click(terminal, TerminalControls::sendButton);
    QTest::qWait(50);
    ASSERT_TRUE(sheet->SetActivePage(2)); // reads the protocol
    QTest::qWait(50);
    ASSERT_TRUE(sheet->SetActivePage(3));
    secondSet = QueuedInput::CentreOf(presets->Control(SetWavelengthControls::setButtons[1]));
    Click(presets, SetWavelengthControls::setButtons[0]);
    QTest::qWait(50);
    EXPECT_EQ(controller.Finish(), "");
    EXPECT_TRUE(messages.empty());
}

} // namespace
