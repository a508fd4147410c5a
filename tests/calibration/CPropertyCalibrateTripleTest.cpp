// The "Triple Band Calibration" page driven through its events against a
// scripted controller.
#include "calibration/CalibrationPageFixture.h"

#include "calibration/plot/SweepPlot.h"
#include "support/QueuedInput.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

using TriplePage = CalibrationPageTest;

// N = 16: step 256, minimum change count 0; bands peak at indices 2, 6 and 10.
const std::vector<int32_t> bandReadings = {0, 0, 60, 0, 0, 0, 90, 0, 0, 0, 40, 0, 0, 0, 0, 0};

void SetBandFields(CPropertyCalibrateTriple& page, int32_t value) {
    for (int32_t* field : {&page.lowCounts, &page.lowWavelength, &page.lowIntensity,
                           &page.middleCounts, &page.middleWavelength, &page.middleIntensity,
                           &page.highCounts, &page.highWavelength, &page.highIntensity})
        *field = value;
}

TEST_F(TriplePage, ActivationClearsAllNineFieldsThenReadsTwiceAtMost) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("??\r\n");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    controller.Expect("RC;\r\n").Reply("??\r\n");
    controller.Expect("RC;\r\n").Reply("??\r\n");
    Connect();
    ShowSheet();
    SetBandFields(*triple, 9);

    ASSERT_TRUE(sheet->SetActivePage(2));
    EXPECT_EQ(triple->lowWavelength, 300);
    EXPECT_EQ(triple->lowCounts, 410);
    EXPECT_EQ(triple->highWavelength, 600);
    EXPECT_EQ(triple->highCounts, 3650);
    EXPECT_EQ(triple->middleWavelength, 0);
    EXPECT_EQ(triple->middleCounts, 0);
    EXPECT_EQ(triple->lowIntensity + triple->middleIntensity + triple->highIntensity, 0);
    EXPECT_EQ(Text(*triple, 1024), "0");
    EXPECT_TRUE(triple->IsModified());

    ASSERT_TRUE(sheet->SetActivePage(0));
    SetBandFields(*triple, 9);
    ASSERT_TRUE(sheet->SetActivePage(2));
    for (const int id : {1017, 1019, 1023, 1021, 1022, 1024, 1018, 1020, 1025})
        EXPECT_EQ(Text(*triple, id), "0") << id;
    EXPECT_EQ(triple->highCounts, 0);
    EXPECT_FALSE(triple->IsModified());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(TriplePage, OneRunFindsThreeBandsCompletesTheMiddleAndAppliesLowAndHigh) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    ScriptSweep(bandReadings, 256);
    controller.Expect("WC,340,512,510,2560;\r\n").Reply("WC,0!\r\n");
    ScriptHandshake(controller, "(250,700)");
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(2));
    Type(*triple, 1017, "340");
    Type(*triple, 1018, "510");
    EXPECT_EQ(triple->Plot()->CalibrationLine()->lowWavelength, 300); // the controller's

    triple->ControlAs<QPushButton>(1007)->click();

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(triple->lowCounts, 512);
    EXPECT_EQ(triple->lowIntensity, 60);
    EXPECT_EQ(triple->middleCounts, 1536);
    EXPECT_EQ(triple->middleIntensity, 90);
    EXPECT_EQ(triple->highCounts, 2560);
    EXPECT_EQ(triple->highIntensity, 40);
    EXPECT_EQ(triple->middleWavelength, 425); // halfway between 340 and 510
    EXPECT_EQ(Text(*triple, 1021), "425");
    EXPECT_EQ(Text(*triple, 1025), "40");
    EXPECT_EQ(triple->progressBar->value(), 0);
    ASSERT_EQ(triple->Plot()->Markers().size(), 3u);
    EXPECT_EQ(triple->Plot()->Markers()[1].counts, 1536);
    EXPECT_EQ(triple->Plot()->Readings(), bandReadings);
    EXPECT_EQ(triple->Plot()->Caption(), ""); // a completed middle tells nothing

    EXPECT_EQ(triple->Plot()->CalibrationLine()->highCounts, 3650);
    EXPECT_TRUE(triple->OnApply());                                 // the middle band is never sent
    EXPECT_EQ(triple->Plot()->CalibrationLine()->highCounts, 2560); // accepted
    ASSERT_TRUE(sheet->SetActivePage(0));
    EXPECT_TRUE(triple->OnApply()); // not displayed: nothing is sent
    EXPECT_EQ(controller.Finish(), "");

    saveDialog.answer = scratchDir + "/bands.txt";
    triple->OnSaveToFile();
    EXPECT_EQ(ReadFileBytes(saveDialog.answer), CalibrationText(bandReadings, 256));
}

TEST_F(TriplePage, TheLinearityCheckNeedsAllThreeWavelengthsTypedBeforeTheSweep) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    for (int run = 0; run < 5; ++run)
        ScriptSweep(bandReadings, 256);
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(2));
    auto* run = triple->ControlAs<QPushButton>(1007);

    // low and high as the controller gave them, only the middle typed
    Type(*triple, 1021, "430");
    run->click();
    EXPECT_EQ(triple->Plot()->Caption(), "");

    Type(*triple, 1017, "340");
    run->click();
    EXPECT_EQ(triple->Plot()->Caption(), "");

    // the line through 512 / 340 nm and 2560 / 510 nm gives 425 nm at 1536 and
    // 1596.2 counts at 430 nm
    Type(*triple, 1018, "510");
    run->click();
    EXPECT_EQ(triple->Plot()->Caption().toStdString(), "middle band +5.0 nm / \u2212"
                                                       "60 counts off the low\u2013high line");

    // a middle typed as 0 is completed (to 425) and stays a completed one
    Type(*triple, 1021, "0");
    run->click();
    EXPECT_EQ(triple->middleWavelength, 425);
    EXPECT_EQ(triple->Plot()->Caption(), "");
    run->click();
    EXPECT_EQ(triple->Plot()->Caption(), "");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(TriplePage, InputQueuedDuringTheReadsAndApplyIsDiscarded) {
    QueuedInput::Spot run;
    QWindow* window = nullptr;
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    controller.Expect("RC;\r\n").Call([&] { QueuedInput::Click(run); });
    controller.Reply("300,410,600,3650\r\n");
    controller.Expect("WC,300,410,600,3650;\r\n").Call([&] {
        QueuedInput::Key(window, Qt::Key_Escape);
        QueuedInput::Click(run);
    });
    controller.Reply("WC,0!\r\n");
    ScriptHandshake(controller, "(250,700)");
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(2));
    run = QueuedInput::CentreOf(triple->Control(1007));
    window = sheet->windowHandle();
    ASSERT_TRUE(sheet->SetActivePage(0));
    ASSERT_TRUE(sheet->SetActivePage(2)); // reads again: a click on Run meanwhile
    QTest::qWait(50);
    QTest::mouseClick(sheet->ApplyButton(), Qt::LeftButton); // Escape and Run meanwhile
    QTest::qWait(50);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(controller.Finish(), ""); // no sweep after either
}

TEST_F(TriplePage, WhatASweepFoundGoesWithTheFieldsItCameFromAndEachActivation) {
    ScriptHandshake(controller, "(240,699)");
    for (const int sweeps : {2, 1}) { // after each activation
        controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
        for (int i = 0; i < sweeps; ++i)
            ScriptSweep(bandReadings, 256);
    }
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(2));
    auto* run = triple->ControlAs<QPushButton>(1007);
    SweepPlot* plot = triple->Plot();
    const auto found = [plot] { return !plot->Markers().empty(); };
    Type(*triple, 1017, "340");
    Type(*triple, 1021, "430");
    Type(*triple, 1018, "510");
    run->click();
    ASSERT_TRUE(found() && !plot->Caption().isEmpty());
    Type(*triple, 1024, "5"); // an intensity: neither came from it
    EXPECT_TRUE(found() && !plot->Caption().isEmpty());
    auto* high = triple->ControlAs<QLineEdit>(1018);
    QTest::keyClick(high, Qt::Key_Home);
    QTest::keyClicks(high, "0"); // "0510": another text, the same value
    EXPECT_FALSE(plot->Caption().isEmpty());
    Type(*triple, 1018, "511");
    EXPECT_TRUE(found() && plot->Caption().isEmpty());
    Type(*triple, 1022, "1500");
    EXPECT_FALSE(found());

    Type(*triple, 1018, "510");
    run->click();
    ASSERT_TRUE(found() && !plot->Caption().isEmpty());
    ASSERT_TRUE(sheet->SetActivePage(0));
    ASSERT_TRUE(sheet->SetActivePage(2));
    EXPECT_TRUE(!found() && plot->Caption().isEmpty());
    EXPECT_EQ(plot->Readings(), bandReadings); // the sweep itself stays
    // low and high are the controller's now, not typed: no linearity line
    Type(*triple, 1021, "430");
    run->click();
    EXPECT_TRUE(found() && plot->Caption().isEmpty());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(TriplePage, AProbeFailureKeepsTheFieldsAndSaveWritesOnlyTheReadingsHeld) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("300,410,600,3650\r\n");
    ScriptSweep({3, 4, 5}, 256);
    ScriptProbe(3 * 256, "RA,1"); // one number only
    Connect();
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(2));
    Type(*triple, 1024, "77");

    triple->OnRun();

    EXPECT_EQ(messages, std::vector<std::string>{"Error in calibration"});
    EXPECT_EQ(triple->lowCounts, 410);
    EXPECT_EQ(triple->middleIntensity, 77);
    EXPECT_EQ(triple->highCounts, 3650);
    EXPECT_EQ(triple->progressBar->value(), 0);
    EXPECT_EQ(triple->samples, (std::vector<int32_t>{3, 4, 5}));
    EXPECT_EQ(controller.Finish(), "");

    saveDialog.answer = scratchDir + "/partial.txt";
    triple->OnSaveToFile();
    EXPECT_EQ(ReadFileBytes(saveDialog.answer), "0\t3\r\n256\t4\r\n512\t5\r\n");

    // nothing left to overwrite: the file error names the file
    saveDialog.answer = scratchDir;
    triple->OnSaveToFile();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Access to " + scratchDir + " was denied.");
}

TEST_F(TriplePage, AnEmptiedFieldShowsZeroAndFieldsFollowEveryKeystroke) {
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(2)); // no link: all zeros
    auto* edit = triple->ControlAs<QLineEdit>(1021);
    edit->setFocus();
    QTest::keyClicks(edit, "42");
    EXPECT_EQ(triple->middleWavelength, 42); // "042": the leading 0 stays in the text
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "0");
    EXPECT_EQ(triple->middleWavelength, 0);
    edit->clear();
    QTest::keyClicks(edit, "-");
    EXPECT_EQ(edit->text(), "0");
    // so does every other band edit
    for (const int id : {1017, 1018, 1019, 1020, 1022, 1023, 1024, 1025}) {
        auto* band = triple->ControlAs<QLineEdit>(id);
        band->setFocus();
        QTest::keyClicks(band, "7");
        band->selectAll();
        QTest::keyClick(band, Qt::Key_Backspace);
        EXPECT_EQ(band->text(), "0") << id;
    }

    // the page's own transfers do not reach the handler
    triple->highIntensity = 12;
    triple->UpdateData(false);
    EXPECT_EQ(Text(*triple, 1025), "12");
    EXPECT_TRUE(messages.empty());
}

} // namespace
