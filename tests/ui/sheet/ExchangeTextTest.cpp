#include "ui/sheet/ExchangeText.h"
#include "ui/sheet/SaveFileDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

TEST(ExchangeText, IntegersReadWithBlanksAndSign) {
    const struct {
        const char* text;
        int32_t value;
    } accepted[] = {
        {"0", 0},
        {"00", 0},
        {" \t0\t ", 0},
        {"42", 42},
        {"-17", -17},
        {"+17", 17},
        {" \t-5 \t", -5},
        {"0012", 12},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
    };
    for (const auto& row : accepted) {
        int32_t value = 99;
        EXPECT_TRUE(ParseInteger(row.text, value)) << '"' << row.text << '"';
        EXPECT_EQ(value, row.value) << '"' << row.text << '"';
    }
}

TEST(ExchangeText, IntegersRefusedLeaveTheValue) {
    // Zero must be spelled with a leading digit 0: "-0" and "+0" read as zero but
    // begin with a sign. Out-of-range values are refused rather than clamped.
    for (const char* text : {"", " ", "-", "+", "-0", "+0", "- 5", "5 5", "1.0", "12a", "0x10",
                             "2147483648", "-2147483649", "99999999999999999999", "\n5"}) {
        int32_t value = 99;
        EXPECT_FALSE(ParseInteger(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 99);
    }
}

TEST(ExchangeText, NumbersReadWithPointAndExponent) {
    const struct {
        const char* text;
        double value;
    } accepted[] = {
        {"0", 0.0},      {"0.0", 0.0},    {"0e5", 0.0},        {" 2.5\t", 2.5},
        {"-2.5", -2.5},  {"+2.5", 2.5},   {".5", 0.5},         {"5.", 5.0},
        {"1e3", 1000.0}, {"1E-3", 0.001}, {"-1.5e+2", -150.0}, {"500", 500.0},
    };
    for (const auto& row : accepted) {
        double value = 99.0;
        EXPECT_TRUE(ParseNumber(row.text, value)) << '"' << row.text << '"';
        EXPECT_DOUBLE_EQ(value, row.value) << '"' << row.text << '"';
    }
    for (const char* text : {"", "-", ".", "-0", "+0.0", ".0", "1e", "1e+", "e5", "1,5", "inf",
                             "nan", "0x1p3", "1e999", "2.5 x", "1..2"}) {
        double value = 99.0;
        EXPECT_FALSE(ParseNumber(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 99.0);
    }
}

TEST(ExchangeText, FormatsLikePrintf) {
    EXPECT_EQ(FormatInteger(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(FormatInteger(0), "0");
    EXPECT_EQ(FormatNumber(500.0), "500");
    EXPECT_EQ(FormatNumber(2.5), "2.5");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatNumber(1e20), "1e+20");
    EXPECT_EQ(FormatNumber(123456789012345678.0), "1.23456789012346e+17");
    EXPECT_EQ(FormatNumber(0.0), "0");
    // A written number reads back as itself within 15 digits.
    double back = 0.0;
    ASSERT_TRUE(ParseNumber(FormatNumber(429496729.5), back));
    EXPECT_DOUBLE_EQ(back, 429496729.5);
}

TEST(ExchangeText, FirstItemStartingWithIgnoresCase) {
    const std::vector<std::string> items = {"even", "none", "odd", "None2"};
    EXPECT_EQ(FindItemStartingWith(items, "None"), 1);
    EXPECT_EQ(FindItemStartingWith(items, "o"), 2);
    EXPECT_EQ(FindItemStartingWith(items, "NONE2"), 3);
    EXPECT_EQ(FindItemStartingWith(items, "nonex"), -1);
    EXPECT_EQ(FindItemStartingWith(items, ""), -1);
}

TEST(SaveFileDialog, PipeFilterBecomesQtFilter) {
    EXPECT_EQ(PipeFilterToQt("Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"),
              "Text Files (*.txt);;All Files (*)");
    EXPECT_EQ(PipeFilterToQt("Data|*.dat;*.csv||"), "Data (*.dat *.csv)");
    for (const auto& [entry, suffix] :
         {std::pair{"SVG Images (*.svg)", "svg"}, std::pair{"Data (*.dat *.csv)", "dat"},
          std::pair{"All Files (*)", "txt"}, std::pair{"Any (*.*)", "txt"},
          std::pair{"Logs (*.log?)", "txt"}, std::pair{"Plain", "txt"}})
        EXPECT_EQ(SuffixForFilter(entry, "txt"), suffix) << entry;
}

TEST(SaveFileDialog, TheChosenFilterGivesTheExtensionAndTheNextOpensInTheFolderUsed) {
    QTemporaryDir folder;
    // the dialog keeps its own state in the settings folder: ours, not the user's
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    QString openedIn;
    // answers the dialog with keys, the second filter chosen or not
    const auto answer = [&openedIn](const QString& typed, bool secondFilter) {
        QTimer::singleShot(0, [&openedIn, typed, secondFilter] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            openedIn = dialog->directory().absolutePath();
            if (secondFilter)
                QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QApplication::setActiveWindow(dialog); // typing follows the focus, as on a desktop
            name->setFocus();
            QTest::keyClicks(name, typed);
            auto* save = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save);
            QTest::mouseClick(save, Qt::LeftButton);
        });
    };
    std::string path;
    answer(folder.path() + "/plot2", true);
    ASSERT_TRUE(CurrentSaveFileDialog().AskSavePath(
        "png", "PNG Images (*.png)|*.png|SVG Images (*.svg)|*.svg||", path));
    EXPECT_EQ(path, (folder.path() + "/plot2.svg").toStdString());
    answer("sweep", false);
    ASSERT_TRUE(CurrentSaveFileDialog().AskSavePath(
        "txt", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", path));
    EXPECT_EQ(openedIn.toStdString(), folder.path().toStdString());
    EXPECT_EQ(path, (folder.path() + "/sweep.txt").toStdString());
    if (config.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", config);
}
