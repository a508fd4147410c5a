#include "pages/PageFixture.h"

#include "support/KeyTyping.h"

#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"
#include "device/DevicePorts.h"
#include "ports/PortDiscovery.h"
#include "serial/NamedPort.h"
#include "settings/SettingsFile.h"
#include "sim/InProcessSim.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/CPropertyPage.h"
#include "ui/sheet/DataExchange.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

void PageFixture::SetUp() {
    root = fs::path(testing::TempDir()) /
           ("pages_" + std::to_string(getpid()) + "_" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root);
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    DevicePorts::Register(Sim::InProcessPort()); // as the program offers it
    SetMessageBoxHandler([this](const std::string& text) { messages.push_back(text); });
}

void PageFixture::TearDown() {
    sheet.reset();
    pages.clear();
    AdcLink::ClosePort();
    AdcLink::Detail::SetMinWavelength(240);
    AdcLink::Detail::SetMaxWavelength(699);
    SetMessageBoxHandler({});
    SetPortSource({});
    SetPortLinkFolder("");
    fs::remove_all(root);
}

CPropertyPage* PageFixture::AddBlank() {
    static const DialogTemplate blank{1, "Blank", 218, 167, {}};
    pages.push_back(std::make_unique<CPropertyPage>(blank));
    return pages.back().get();
}

void PageFixture::Show() {
    sheet = std::make_unique<CPropertySheet>("Pages");
    for (auto& page : pages)
        sheet->AddPage(page.get());
    sheet->show();
    // Active, so that the focus moves as it does for an operator.
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
}

void PageFixture::StartController() {
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
}

void PageFixture::Connect() {
    StartController();
    std::string mode, error;
    ASSERT_TRUE(AdcLink::OpenPort(controller.SlavePath(), mode, error)) << error;
}

std::string PageFixture::ReadSettings(const std::string& fileName) const {
    std::ifstream in(fs::path(SettingsFile::SettingsDirectory()) / fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PageFixture::WriteSettings(const std::string& fileName, const std::string& text) const {
    fs::create_directories(SettingsFile::SettingsDirectory());
    std::ofstream(fs::path(SettingsFile::SettingsDirectory()) / fileName, std::ios::binary) << text;
}

std::string PageFixture::Profile() const {
    return ReadSettings(SettingsFile::ApplicationProfileName());
}

void PageFixture::Type(CPropertyPage* page, int id, const std::string& text) {
    TypeKeys(page->Control(id), text);
}

std::string PageFixture::Shown(CPropertyPage* page, int id) {
    return ControlText(page->Control(id));
}

bool PageFixture::Enabled(CPropertyPage* page, int id) {
    return page->Control(id)->isEnabled();
}

void PageFixture::Click(CPropertyPage* page, int id) {
    auto* button = qobject_cast<QAbstractButton*>(page->Control(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

void PageFixture::PressEnter(QWidget* target) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}
