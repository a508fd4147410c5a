#include "calibration/CalibrationPageFixture.h"

#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"
#include "settings/SettingsFile.h"
#include "support/KeyTyping.h"
#include "templates/DialogTemplates.h"
#include "ui/sheet/AppMessageBox.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

bool RecordingSaveDialog::AskSavePath(const std::string& defaultExtension,
                                      const std::string& filter, std::string& path) {
    ++calls;
    extension = defaultExtension;
    filterSeen = filter;
    if (answer.empty())
        return false;
    path = answer;
    return true;
}

void CalibrationPageTest::SetUp() {
    std::string pattern = testing::TempDir() + "calpages_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratchDir = pattern;
    settingsDir = scratchDir + "/config";
    std::filesystem::create_directories(settingsDir);
    setenv("XDG_CONFIG_HOME", settingsDir.c_str(), 1);
    SetMessageBoxHandler([this](const std::string& text) { messages.push_back(text); });
    SetSaveFileDialog(&saveDialog);
}

void CalibrationPageTest::TearDown() {
    // pages first: the sheet does not own them
    triple.reset();
    calibrate.reset();
    firstPage.reset();
    sheet.reset();
    AdcLink::ClosePort();
    AdcLink::Detail::SetMinWavelength(240);
    AdcLink::Detail::SetMaxWavelength(699);
    SetMessageBoxHandler({});
    SetSaveFileDialog(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(scratchDir, ignored);
}

void CalibrationPageTest::ShowSheet(int calibrationValues, int tripleValues) {
    SettingsFile::WriteProfileInt("Calibration", "Values", calibrationValues);
    SettingsFile::WriteProfileInt("Triple Band Calibration", "Values", tripleValues);
    firstPage = std::make_unique<CPropertyPage>(SetupDialog());
    calibrate = std::make_unique<CPropertyCalibrate>();
    triple = std::make_unique<CPropertyCalibrateTriple>();
    sheet = std::make_unique<CPropertySheet>("Calibration test");
    sheet->AddPage(firstPage.get());
    sheet->AddPage(calibrate.get());
    sheet->AddPage(triple.get());
    sheet->show();
    QApplication::setActiveWindow(sheet.get());
}

void CalibrationPageTest::Connect() {
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
    ConnectTo(controller.SlavePath());
}

void CalibrationPageTest::ConnectTo(const std::string& path) {
    std::string error;
    std::string mode;
    ASSERT_TRUE(AdcLink::OpenPort(path, mode, error)) << error;
}

void CalibrationPageTest::ScriptProbe(int32_t counts, const std::string& raReply) {
    controller.Expect("WA,1," + std::to_string(counts) + ";\r\n")
        .Reply("WA,0!\r\n")
        .Expect("RA,1;\r\n")
        .Reply(raReply + "\r\n");
}

void CalibrationPageTest::ScriptSweep(const std::vector<int32_t>& readings, int32_t step) {
    for (size_t i = 0; i < readings.size(); ++i)
        ScriptProbe(static_cast<int32_t>(i) * step, "RA,1," + std::to_string(readings[i]));
}

void CalibrationPageTest::Type(CPropertyPage& page, int id, const std::string& text) {
    auto* edit = page.ControlAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << id;
    TypeKeys(edit, text);
}

std::string CalibrationPageTest::Text(CPropertyPage& page, int id) const {
    auto* edit = page.ControlAs<QLineEdit>(id);
    return edit ? edit->text().toStdString() : "<no edit>";
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string CalibrationText(const std::vector<int32_t>& readings, int32_t step) {
    std::string text;
    for (size_t i = 0; i < readings.size(); ++i)
        text += std::to_string(static_cast<int32_t>(i) * step) + "\t" +
                std::to_string(readings[i]) + "\r\n";
    return text;
}
