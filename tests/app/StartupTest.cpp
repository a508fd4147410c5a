#include "app/FakeSettingsFile.h"

#include "app/CPropertySheetMain.h"
#include "app/HelpWindow.h"
#include "calibration/core/SampleGrid.h"
#include "templates/DialogTemplates.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/MultiRowTabBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

using Strings = std::vector<std::string>;

TEST(SampleCount, OddCountsLoseOneAndSmallOnesBecomeSixteen) {
    const struct {
        int32_t stored, normalised;
    } rows[] = {{1024, 1024},    {1025, 1024},
                {7, 16},         {-3, 16},
                {2000, 2000},    {16, 16},
                {17, 16},        {15, 16},
                {0, 16},         {-1, 16},
                {4096, 4096},    {257, 256},
                {INT32_MIN, 16}, {INT32_MAX, INT32_MAX - 1}};
    for (const auto& row : rows)
        EXPECT_EQ(CalibrationCore::NormaliseSampleCount(row.stored), row.normalised) << row.stored;
}

TEST(Startup, PagesReachTheSettingsInConstructionOrder) {
    FakeSettings::Reset();
    FakeSettings::Values()["Calibration|Values"] = "1025";
    FakeSettings::Values()["Triple Band Calibration|Values"] = "-1"; // read back unsigned
    CPropertySheetMain sheet;
    EXPECT_EQ(FakeSettings::Calls(), (Strings{
                                         "GetProfileInt Calibration|Values",
                                         "WriteProfileInt Calibration|Values=1024",
                                         "GetProfileString Setup|ComPort",
                                         "GetProfileString Setup|BaudRate",
                                         "GetProfileString Setup|Bits",
                                         "GetProfileString Setup|Parity",
                                         "GetProfileInt Triple Band Calibration|Values",
                                         "WriteProfileInt Triple Band Calibration|Values=16",
                                     }));
    EXPECT_EQ(sheet.calibratePage.sampleCount, 1024);
    EXPECT_EQ(sheet.calibratePage.samples.size(), 1024u);
    EXPECT_EQ(sheet.calibrateTriplePage.sampleCount, 16);
    EXPECT_TRUE(sheet.calibrateTriplePage.samples.empty());
}

TEST(Startup, DefaultsWithoutSettings) {
    FakeSettings::Reset();
    CPropertySheetMain sheet;
    EXPECT_EQ(FakeSettings::Values()["Calibration|Values"], "1024");
    EXPECT_EQ(FakeSettings::Values()["Triple Band Calibration|Values"], "256");
    EXPECT_EQ(sheet.setupPage.comPort, "COM1");
    EXPECT_EQ(sheet.setupPage.baudRate, "19200");
    EXPECT_EQ(sheet.setupPage.bits, "8,1");
    EXPECT_EQ(sheet.setupPage.parity, "None");
    EXPECT_EQ(sheet.setupPage.versionText, "unavailable");
    EXPECT_EQ(sheet.setWavelenPage.waveLength1, -1);

    // Once displayed, the page shows the presets' defaults.
    std::vector<std::string> messages;
    SetMessageBoxHandler([&messages](const std::string& text) { messages.push_back(text); });
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(5));
    Strings shown;
    for (const int id : {1033, 1034, 1035, 1036})
        shown.push_back(sheet.setWavelenPage.ControlAs<QLineEdit>(id)->text().toStdString());
    EXPECT_EQ(shown, (Strings{"200", "300", "400", "500"}));
    EXPECT_TRUE(messages.empty());
    SetMessageBoxHandler({});
}

TEST(Startup, SheetOpensOnSetupWithTheSixTabsInOrder) {
    FakeSettings::Reset();
    FakeSettings::Values()["Setup|BaudRate"] = "38400";
    FakeSettings::Values()["Setup|ComPort"] = "/dev/ttyUSB0";
    CPropertySheetMain sheet;
    EXPECT_EQ(sheet.windowTitle(), "VORN ADC Communication");
    sheet.show();
    MultiRowTabBar* bar = sheet.TabBar();
    QStringList captions;
    for (int i = 0; i < bar->Count(); ++i)
        captions << bar->TabText(i);
    EXPECT_EQ(captions, (QStringList{"RS-232 Setup", "Terminal", "Wavelength Protocol",
                                     "Calibration", "Triple Band Calibration", "Set Wavelength"}));
    EXPECT_EQ(sheet.GetActivePage(), &sheet.setupPage);
    EXPECT_TRUE(sheet.setupPage.isVisible());
    for (int i = 1; i < sheet.GetPageCount(); ++i)
        EXPECT_FALSE(sheet.GetPage(i)->HasControls()) << i;

    // The first display wrote the fields into the controls.
    auto* baud = sheet.setupPage.ControlAs<QComboBox>(1023);
    ASSERT_NE(baud, nullptr);
    EXPECT_EQ(baud->itemText(0), "19200");
    EXPECT_EQ(baud->itemText(2), "9600");
    EXPECT_EQ(baud->currentText(), "38400");
    EXPECT_EQ(sheet.setupPage.ControlAs<QComboBox>(1025)->currentText(), "none");
    EXPECT_EQ(sheet.setupPage.ControlAs<QComboBox>(1022)->currentText(), "/dev/ttyUSB0");
    EXPECT_EQ(sheet.setupPage.ControlAs<QLineEdit>(1026)->text(), "unavailable");
    EXPECT_TRUE(sheet.setupPage.ControlAs<QLineEdit>(1026)->isReadOnly());
    EXPECT_FALSE(sheet.ApplyButton()->isEnabled());
    EXPECT_TRUE(sheet.HelpButton()->isVisible());
}

TEST(Startup, EnterOnConnectDoesNotConnectNorClose) {
    FakeSettings::Reset();
    CPropertySheetMain sheet;
    sheet.show();
    auto* connectButton = sheet.setupPage.ControlAs<QPushButton>(1013);
    ASSERT_NE(connectButton, nullptr);
    bool clicked = false;
    QObject::connect(connectButton, &QPushButton::clicked, [&] { clicked = true; });
    connectButton->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(connectButton, &press);
    EXPECT_FALSE(clicked);
    EXPECT_TRUE(sheet.isVisible());
}

TEST(Startup, SetWavelengthReadsItsEditsInExchangeOrder) {
    FakeSettings::Reset();
    Strings messages;
    SetMessageBoxHandler([&](const std::string& text) { messages.push_back(text); });
    CPropertySheetMain sheet;
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(5));
    CPropertySetWavelen& page = sheet.setWavelenPage;
    EXPECT_EQ(page.ControlAs<QLineEdit>(1033)->text(), "200"); // the preset's default
    EXPECT_FALSE(page.ControlAs<QLineEdit>(1045)->isVisibleTo(&page));
    EXPECT_EQ(page.statusEdit, page.ControlAs<QLineEdit>(1043));
    EXPECT_EQ(page.debugEdit, page.ControlAs<QLineEdit>(1045));
    // Order: 1034, 1033, 1035, 1036. A bad 1033 leaves 1035 and 1036 unread.
    page.ControlAs<QLineEdit>(1034)->setText("300");
    page.ControlAs<QLineEdit>(1033)->setText("abc");
    page.ControlAs<QLineEdit>(1035)->setText("400");
    EXPECT_FALSE(page.UpdateData(true));
    EXPECT_EQ(messages, Strings{"Please enter an integer."});
    EXPECT_EQ(page.waveLength2, 300);
    EXPECT_EQ(page.waveLength1, 200);
    EXPECT_EQ(page.waveLength3, 400);
    // Leaving the page is refused by the framework's deactivation.
    EXPECT_FALSE(sheet.SetActivePage(0));
    EXPECT_EQ(sheet.GetActiveIndex(), 5);
    SetMessageBoxHandler({});
}

TEST(Startup, ProtocolExchangeEnablesWavelengthTwoOnlyWithTwoWavelengths) {
    FakeSettings::Reset();
    CPropertySheetMain sheet;
    sheet.show();
    // The activation reads the protocol (here from the profile); then the fields change.
    ASSERT_TRUE(sheet.SetActivePage(2));
    sheet.wavelenPage.ct = 500;
    sheet.wavelenPage.it1 = 2.5;
    sheet.wavelenPage.singleWavelength = true;
    sheet.wavelenPage.UpdateData(false);
    EXPECT_EQ(sheet.wavelenPage.ControlAs<QLineEdit>(1005)->text(), "500");
    EXPECT_EQ(sheet.wavelenPage.ControlAs<QLineEdit>(1001)->text(), "2.5");
    EXPECT_FALSE(sheet.wavelenPage.Control(1004)->isEnabled());
    EXPECT_FALSE(sheet.wavelenPage.Control(1002)->isEnabled());
    sheet.wavelenPage.singleWavelength = false;
    sheet.wavelenPage.UpdateData(false);
    EXPECT_TRUE(sheet.wavelenPage.Control(1004)->isEnabled());
}

TEST(Templates, SixDialogsWithUniqueIdsInsideTheirPage) {
    const int ids[] = {104, 105, 106, 107, 140, 141};
    for (int id : ids) {
        const DialogTemplate* dialog = FindDialogTemplate(id);
        ASSERT_NE(dialog, nullptr) << id;
        EXPECT_EQ(dialog->width, 218);
        EXPECT_EQ(dialog->height, 167);
        std::set<int> seen;
        for (const ControlSpec& control : dialog->controls) {
            if (control.id != noControlId) {
                EXPECT_TRUE(seen.insert(control.id).second) << id << " " << control.id;
            }
            EXPECT_LE(control.x + control.w, dialog->width) << id << " " << control.caption;
            EXPECT_LE(control.y + control.h, dialog->height) << id << " " << control.caption;
        }
    }
    EXPECT_EQ(FindDialogTemplate(103), nullptr);
    EXPECT_EQ(LoadResourceString(103), "VORN ADC Communication");
}

TEST(Startup, EveryCaptionStaysWholeOnEveryPage) {
    FakeSettings::Reset();
    CPropertySheetMain sheet;
    sheet.show();
    for (int index = 0; index < sheet.GetPageCount(); ++index) {
        ASSERT_TRUE(sheet.SetActivePage(index) || index == 0);
        CPropertyPage* page = sheet.GetPage(index);
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue; // a picture
            EXPECT_GE(label->height(), label->heightForWidth(label->width()) > 0
                                           ? label->heightForWidth(label->width())
                                           : label->sizeHint().height())
                << index << " " << label->text().toStdString();
            if (!label->wordWrap()) {
                EXPECT_GE(label->width(), label->sizeHint().width())
                    << index << " " << label->text().toStdString();
            }
            EXPECT_TRUE(page->rect().contains(label->geometry()))
                << index << " " << label->text().toStdString();
        }
        for (QCheckBox* check : page->findChildren<QCheckBox*>()) {
            EXPECT_GE(check->width(), check->sizeHint().width()) << check->text().toStdString();
            EXPECT_GE(check->height(), check->sizeHint().height()) << check->text().toStdString();
        }
    }
}

TEST(Startup, TerminalLogKeepsItsLineEndsThroughTheReplyBox) {
    FakeSettings::Reset();
    CPropertySheetMain sheet;
    sheet.show();
    ASSERT_TRUE(sheet.SetActivePage(1));
    CPropertyTerminal& page = sheet.terminalPage;
    EXPECT_EQ(page.commandBox, page.ControlAs<QComboBox>(1010));
    page.replyLog = "V1.0\r\nWL,0!\r\n";
    page.commandText = "RC;";
    ASSERT_TRUE(page.UpdateData(false));
    auto* log = page.ControlAs<QPlainTextEdit>(1012);
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isReadOnly());
    EXPECT_EQ(log->document()->blockCount(), 3);
    EXPECT_EQ(page.commandBox->currentText(), "RC;");
    page.replyLog.clear();
    page.commandText.clear();
    ASSERT_TRUE(page.UpdateData(true));
    EXPECT_EQ(page.replyLog, "V1.0\r\nWL,0!\r\n");
    EXPECT_EQ(page.commandText, "RC;");
}

TEST(HelpWindow, OpensBesideTheSheetOnItsScreenAndEscapeClosesIt) {
    const QRect screen(0, 0, 1280, 1024);
    const struct {
        QRect sheet;
        QPoint at; // of a 300 x 200 frame
    } rows[] = {
        {{100, 100, 400, 300}, {508, 100}},  // to the right, 8 pixels apart
        {{400, 0, 572, 300}, {980, 0}},      // exactly room on the right
        {{400, 0, 573, 300}, {92, 0}},       // a pixel short: to the left
        {{100, 900, 1100, 100}, {980, 824}}, // room on neither side; kept on the screen
    };
    for (const auto& row : rows)
        EXPECT_EQ(PlaceBeside(row.sheet, QSize(300, 200), screen), row.at) << row.sheet.x();

    FakeSettings::Reset();
    CPropertySheetMain sheet;
    sheet.show();
    QTest::mouseClick(sheet.HelpButton(), Qt::LeftButton);
    auto* help = sheet.findChild<HelpWindow*>();
    ASSERT_TRUE(help && help->isVisible());
    EXPECT_EQ(help->pos(), PlaceBeside(sheet.frameGeometry(), help->frameGeometry().size(),
                                       sheet.screen()->availableGeometry()));
    QApplication::setActiveWindow(help);
    QTest::keyClick(help->focusWidget() ? help->focusWidget() : help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    EXPECT_TRUE(sheet.isVisible());
}
