#pragma once

#include "calibration/CPropertyCalibrate.h"
#include "calibration/CPropertyCalibrateTriple.h"
#include "support/ScriptedController.h"
#include "ui/sheet/CPropertyPage.h"
#include "ui/sheet/CPropertySheet.h"
#include "ui/sheet/SaveFileDialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Answers the save dialog with a chosen path, or cancels, and records the call.
struct RecordingSaveDialog : SaveFileDialog {
    bool AskSavePath(const std::string& defaultExtension, const std::string& filter,
                     std::string& path) override;

    std::string answer; // empty: the operator cancels
    int calls = 0;
    std::string extension;
    std::string filterSeen;
};

// A shown sheet with a plain page first and the two calibration pages after
// it, built over fresh settings; the message box and the save dialog record.
class CalibrationPageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Stores the "Values" of both pages, then builds and shows the sheet.
    void ShowSheet(int calibrationValues = 16, int tripleValues = 16);
    // Opens the link to the scripted controller (script the handshake first).
    void Connect();
    // Opens the link to a port of the caller's.
    void ConnectTo(const std::string& path);
    // Expects the WA / RA pair of one probe at counts and answers RA with reply.
    void ScriptProbe(int32_t counts, const std::string& raReply);
    // Probes at counts i * step answered with the given readings.
    void ScriptSweep(const std::vector<int32_t>& readings, int32_t step);
    // Types text into a page's edit as the operator would, replacing what is there.
    void Type(CPropertyPage& page, int id, const std::string& text);
    std::string Text(CPropertyPage& page, int id) const;

    std::string settingsDir;
    std::string scratchDir;
    std::vector<std::string> messages;
    RecordingSaveDialog saveDialog;
    ScriptedController controller;
    std::unique_ptr<CPropertyPage> firstPage;
    std::unique_ptr<CPropertyCalibrate> calibrate;
    std::unique_ptr<CPropertyCalibrateTriple> triple;
    std::unique_ptr<CPropertySheet> sheet;
};

// The whole content of a file, bytes as they are.
std::string ReadFileBytes(const std::string& path);
// The calibration text file of readings taken every step counts, built by hand.
std::string CalibrationText(const std::vector<int32_t>& readings, int32_t step);
