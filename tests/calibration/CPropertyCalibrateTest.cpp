// The "Calibration" page driven through its events against a scripted controller.
#include "calibration/CalibrationPageFixture.h"

#include "calibration/plot/SweepPlot.h"
#include "settings/SettingsFile.h"
#include "support/QueuedInput.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

using CalibrationPage = CalibrationPageTest;

// N = 16: step 256, probes at 0, 256, ..., 3840.
const std::vector<int32_t> peakReadings = {0, 0, 0, 0, 0, 40, 100, 60, 0, 0, 0, 0, 0, 0, 0, 0};

TEST_F(CalibrationPage, ActivationReadsTheCalibrationWithOneRetry) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("??\r\n");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    controller.Expect("RC;\r\n").Reply("??\r\n");
    controller.Expect("RC;\r\n").Reply("1,2,3\r\n");
    Connect();
    ShowSheet();
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());

    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_EQ(calibrate->lowWavelength, 300);
    EXPECT_EQ(calibrate->lowCounts, 410);
    EXPECT_EQ(calibrate->highWavelength, 600);
    EXPECT_EQ(calibrate->highCounts, 3650);
    EXPECT_EQ(Text(*calibrate, 1017), "300");
    EXPECT_EQ(Text(*calibrate, 1020), "3650");
    EXPECT_TRUE(calibrate->IsModified());
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
    ASSERT_TRUE(calibrate->Plot()->CalibrationLine().has_value());
    EXPECT_EQ(calibrate->Plot()->CalibrationLine()->lowCounts, 410);

    // leaving unmarks; two failed reads show zeros, silently
    Type(*calibrate, 1019, "999");
    EXPECT_EQ(calibrate->Plot()->CalibrationLine()->lowCounts, 410); // typing exchanges nothing
    ASSERT_TRUE(sheet->SetActivePage(0));
    EXPECT_FALSE(calibrate->IsModified());
    EXPECT_EQ(calibrate->lowCounts, 999);
    EXPECT_EQ(calibrate->Plot()->CalibrationLine()->lowCounts, 410); // the controller's, still
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_FALSE(calibrate->Plot()->CalibrationLine().has_value());
    EXPECT_EQ(calibrate->lowCounts, 0);
    EXPECT_EQ(calibrate->highWavelength, 0);
    EXPECT_EQ(Text(*calibrate, 1019), "0");
    EXPECT_FALSE(calibrate->IsModified());
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CalibrationPage, RunFirstFindsTheCentroidAndSavesTheSweep) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    ScriptSweep(peakReadings, 256);
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(1));
    Type(*calibrate, 1017, "455");
    int highestBar = 0;
    QObject::connect(calibrate->progressBar, &QProgressBar::valueChanged,
                     [&highestBar](int value) { highestBar = std::max(highestBar, value); });

    calibrate->ControlAs<QPushButton>(1007)->click();

    // peak 100 at index 6, half 50: (100*6 + 60*7) / 160 * 256 = 1632
    EXPECT_EQ(calibrate->lowCounts, 1632);
    EXPECT_EQ(Text(*calibrate, 1019), "1632");
    EXPECT_EQ(calibrate->lowWavelength, 455); // typed before the run, kept
    EXPECT_EQ(calibrate->Plot()->CalibrationLine()->lowWavelength, 300); // the controller's
    EXPECT_EQ(calibrate->highCounts, 3650);
    EXPECT_EQ(highestBar, 16);
    EXPECT_EQ(calibrate->progressBar->maximum(), 16);
    EXPECT_EQ(calibrate->progressBar->value(), 0);
    EXPECT_TRUE(messages.empty());
    ASSERT_NE(calibrate->Plot(), nullptr);
    EXPECT_EQ(calibrate->Plot()->Readings(), peakReadings);
    ASSERT_EQ(calibrate->Plot()->Markers().size(), 1u);
    EXPECT_EQ(calibrate->Plot()->Markers()[0].counts, 1632);
    EXPECT_EQ(controller.Finish(), "");

    const std::string path = scratchDir + "/sweep.txt";
    saveDialog.answer = path;
    calibrate->ControlAs<QPushButton>(1009)->click();
    EXPECT_EQ(saveDialog.extension, "txt");
    EXPECT_EQ(saveDialog.filterSeen, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(ReadFileBytes(path), CalibrationText(peakReadings, 256));

    saveDialog.answer = scratchDir + "/no-such-folder/sweep.txt";
    calibrate->OnSaveToFile();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], scratchDir + "/no-such-folder/sweep.txt was not found.");

    saveDialog.answer.clear(); // cancelled: nothing written, nothing said
    calibrate->OnSaveToFile();
    EXPECT_EQ(saveDialog.calls, 3);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(CalibrationPage, AProbeFailureMidSweepKeepsTheCountsAndResetsTheBar) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    ScriptSweep({5, 6, 7, 8}, 256);
    ScriptProbe(4 * 256, "??"); // no reading in the reply
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(1));

    calibrate->OnRunSecond();

    EXPECT_EQ(messages, std::vector<std::string>{"Error in calibration"});
    EXPECT_EQ(calibrate->highCounts, 3650);
    EXPECT_EQ(Text(*calibrate, 1020), "3650");
    EXPECT_EQ(calibrate->progressBar->value(), 0);
    // the buffer was cleared at construction; the sweep overwrote its first four
    std::vector<int32_t> held(16, 0);
    held[0] = 5, held[1] = 6, held[2] = 7, held[3] = 8;
    EXPECT_EQ(calibrate->samples, held);
    EXPECT_TRUE(calibrate->Plot()->Markers().empty());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CalibrationPage, ApplyWritesOnlyWhileDisplayedAndAlwaysAgrees) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    controller.Expect("WC,300,410,600,3650;\r\n").Reply("WC,1!\r\n");
    controller.Expect("WC,300,420,600,3650;\r\n").Reply("WC,0!\r\n");
    ScriptHandshake(controller, "(295,605)");
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(1));

    EXPECT_TRUE(calibrate->OnApply());
    EXPECT_EQ(messages, std::vector<std::string>{"ADC doesn't accept parameters!"});
    Type(*calibrate, 1019, " 420 "); // taken by OnApply's own read of the controls
    EXPECT_EQ(calibrate->Plot()->CalibrationLine()->lowCounts, 410);
    EXPECT_TRUE(calibrate->OnApply());
    EXPECT_EQ(calibrate->lowCounts, 420);
    EXPECT_EQ(calibrate->Plot()->CalibrationLine()->lowCounts, 420);
    EXPECT_EQ(messages.size(), 1u);

    // not displayed: nothing is sent
    ASSERT_TRUE(sheet->SetActivePage(0));
    EXPECT_TRUE(calibrate->OnApply());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CalibrationPage, InputQueuedDuringASweepIsDiscardedWhileTheWindowWorks) {
    QueuedInput::Spot runSecond, apply;
    QWindow* window = nullptr;
    QObject bystander;
    int barAtBystander = -1;
    bool pageCodeRan = false;
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    ScriptProbe(0, "RA,1,0");
    // the second probe waits for its reply past a frame while all this queues up
    controller.Expect("WA,1,256;\r\n").Call([&] {
        QueuedInput::Click(runSecond);
        QueuedInput::Click(apply);
        QueuedInput::Key(window, Qt::Key_Return);
        QueuedInput::Key(window, Qt::Key_Escape);
        QueuedInput::CloseBox(window);
        QMetaObject::invokeMethod(
            calibrate.get(), [&] { pageCodeRan = true; }, Qt::QueuedConnection);
        QMetaObject::invokeMethod(
            &bystander, [&] { barAtBystander = calibrate->progressBar->value(); },
            Qt::QueuedConnection);
    });
    controller.Pause(60).Reply("WA,0!\r\n").Expect("RA,1;\r\n").Reply("RA,1,0\r\n");
    for (int32_t i = 2; i < 16; ++i)
        ScriptProbe(i * 256, "RA,1," + std::to_string(peakReadings[i]));
    ScriptSweep(peakReadings, 256); // for the click made after the sweep
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(1));
    window = sheet->windowHandle();
    runSecond = QueuedInput::CentreOf(calibrate->Control(1008));
    apply = QueuedInput::CentreOf(sheet->ApplyButton());

    QTest::mouseClick(calibrate->ControlAs<QPushButton>(1007), Qt::LeftButton);
    QTest::qWait(50);
    EXPECT_GT(barAtBystander, 0); // ran at a frame of the sweep, not after it
    EXPECT_LT(barAtBystander, 16);
    EXPECT_FALSE(pageCodeRan);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(calibrate->lowCounts, 1632);
    EXPECT_EQ(calibrate->highCounts, 3650); // no second sweep, nothing applied
    EXPECT_TRUE(messages.empty());

    QueuedInput::Click(runSecond); // after the sweep a click works as always
    QTest::qWait(50);
    EXPECT_EQ(calibrate->highCounts, 1632);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CalibrationPage, StoredSampleCountIsWrittenBackAsNormalisedAndTheSweepBounded) {
    ShowSheet(5000, 7);
    EXPECT_EQ(calibrate->sampleCount, 5000);
    EXPECT_EQ(SettingsFile::GetProfileInt("Calibration", "Values", 0), 5000u); // no upper limit
    EXPECT_EQ(calibrate->samples, std::vector<int32_t>(4096, 0)); // cleared, one per DA count
    EXPECT_EQ(triple->sampleCount, 16);
    EXPECT_EQ(SettingsFile::GetProfileInt("Triple Band Calibration", "Values", 0), 16u);

    ShowSheet(1025, -3);
    EXPECT_EQ(calibrate->sampleCount, 1024);
    EXPECT_EQ(calibrate->samples.size(), 1024u);
    EXPECT_EQ(SettingsFile::GetProfileInt("Calibration", "Values", 0), 1024u);
    EXPECT_EQ(triple->sampleCount, 16);

    // a save before any sweep writes the cleared buffer
    saveDialog.answer = scratchDir + "/empty.txt";
    calibrate->OnSaveToFile();
    EXPECT_EQ(ReadFileBytes(saveDialog.answer), CalibrationText(std::vector<int32_t>(1024, 0), 4));
    EXPECT_TRUE(messages.empty());
}

} // namespace
