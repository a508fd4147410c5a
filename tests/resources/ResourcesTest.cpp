#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

// The embedded images as the sheet and the protocol page load them.
TEST(Resources, ImagesHaveTheirSizes) {
    const struct {
        const char* path;
        int width;
        int height;
    } cases[] = {{":/icons/vornadc-16.png", 16, 16}, {":/icons/vornadc-32.png", 32, 32},
                 {":/icons/vornadc-48.png", 48, 48}, {":/bitmaps/137.png", 230, 148},
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
