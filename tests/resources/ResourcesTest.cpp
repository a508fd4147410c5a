#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

// The embedded images as the sheet and the protocol page load them.
TEST(Resources, ImagesHaveTheirSizes) {
    const struct {
        const char* path;
        int width;
        int height;
    } cases[] = {{":/icons/vornadc-16.png", 16, 16},
                 {":/icons/vornadc-32.png", 32, 32},
                 {":/icons/vornadc-48.png", 48, 48},
                 {":/bitmaps/137.png", 230, 148},
                 {":/bitmaps/139.png", 21, 82}};
    for (const auto& c : cases) {
        const QImage image(QString::fromLatin1(c.path));
        ASSERT_FALSE(image.isNull()) << c.path;
        EXPECT_EQ(image.width(), c.width) << c.path;
        EXPECT_EQ(image.height(), c.height) << c.path;
    }
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/vornadc.svg")));
}

TEST(Resources, HelpPageNamesEveryTab) {
    QFile file(QStringLiteral(":/help/help.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* tab : {"RS-232 Setup", "Terminal", "Wavelength Protocol", "Calibration",
                            "Triple Band Calibration", "Set Wavelength", "SIM", "VORNadcC.INI"})
        EXPECT_TRUE(text.contains(QLatin1String(tab))) << tab;
}

// The Help button scrolls to "dialog<id>" of the displayed page's template.
TEST(Resources, HelpPageHasAnAnchorBeforeEachTabsSection) {
    QFile file(QStringLiteral(":/help/help.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const struct {
        int id;
        const char* heading;
    } tabs[] = {{107, "RS-232 Setup"},
                {106, "Terminal"},
                {104, "Wavelength Protocol"},
                {105, "Calibration"},
                {141, "Triple Band Calibration"},
                {140, "Set Wavelength"}};
    for (const auto& tab : tabs) {
        const QString anchor = QStringLiteral("<a name=\"dialog%1\"></a>").arg(tab.id);
        const int at = text.indexOf(anchor);
        ASSERT_GE(at, 0) << tab.id;
        EXPECT_TRUE(text.mid(at + anchor.size()).startsWith(QLatin1String(tab.heading)))
            << tab.id << " is not the anchor of " << tab.heading;
    }
}

TEST(Resources, HelpPageTellsHowToMendAPortThatWillNotOpen) {
    QFile file(QStringLiteral(":/help/help.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* fact : {"Port Initialisation Error:", "Permission denied", "dialout",
                             "No such file or directory", "Device or resource busy", "unavailable",
                             "half a second", "SF,450", "/dev/serial/by-id/"})
        EXPECT_TRUE(text.contains(QLatin1String(fact))) << fact;
}
