// The sweep plot: scale, incremental drawing, markers, and its place on the pages.
#include "CalibrationPageFixture.h"

#include "calibration/SweepPlot.h"

#include <QImage>

namespace {

// A pixel of the curve: clearly blue.
bool IsCurve(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 60 && qBlue(pixel) > qGreen(pixel) + 30;
}

// Whether column x (or the one before it, where a segment ends faintly) holds
// a curve pixel anywhere between top and bottom.
bool ColumnHasCurve(const QImage& image, int x, int top, int bottom) {
    for (int column = x - 1; column <= x; ++column)
        for (int y = top; y <= bottom; ++y)
            if (IsCurve(image.pixel(column, y)))
                return true;
    return false;
}

TEST(SweepPlot, ScaleDoublesToFitAndEachSampleIsDrawnAsItArrives) {
    SweepPlot plot;
    plot.resize(400, 150);
    plot.BeginSweep(16);
    EXPECT_EQ(plot.ScaleTop(), 256);
    const std::vector<int32_t> readings = {10, 20, 300, 40, 4095, 0, 0, 0,
                                           0,  0,  0,   0,  0,    0, 0, 100};
    for (size_t i = 0; i < readings.size(); ++i)
        plot.AddReading(static_cast<int32_t>(i), readings[i]);
    EXPECT_EQ(plot.ScaleTop(), 4096);
    EXPECT_EQ(plot.Readings(), readings);

    const QImage image = plot.grab().toImage();
    for (size_t i = 0; i < readings.size(); ++i)
        EXPECT_TRUE(ColumnHasCurve(image, plot.XOfCounts(i * 256.0), 0, image.height() - 1)) << i;
    EXPECT_FALSE(ColumnHasCurve(image, plot.XOfCounts(4095) + 3, 0, image.height() - 1));

    // a new sweep starts empty, and readings shown at once fit the scale too
    plot.SetMarkers({{1000, "peak", Qt::red}});
    plot.BeginSweep(1024);
    EXPECT_TRUE(plot.Readings().empty());
    EXPECT_TRUE(plot.Markers().empty());
    EXPECT_EQ(plot.ScaleTop(), 256);
    plot.ShowReadings({1, 2, 600}, 1024);
    EXPECT_EQ(plot.ScaleTop(), 1024);
}

TEST(SweepPlot, MarkersAreDrawnAtTheirCounts) {
    SweepPlot plot;
    plot.resize(400, 150);
    plot.ShowReadings(std::vector<int32_t>(16, 0), 16);
    plot.SetMarkers({{1024, "low", QColor(200, 0, 0)}, {3072, "high", QColor(0, 160, 0)}});
    const QImage image = plot.grab().toImage();
    auto count = [&image](int x, auto isColour) {
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            found += isColour(image.pixel(x, y)) ? 1 : 0;
        return found;
    };
    auto red = [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80; };
    auto green = [](QRgb p) { return qGreen(p) > 120 && qRed(p) < 80 && qBlue(p) < 80; };
    EXPECT_GT(count(plot.XOfCounts(1024), red), 10);
    EXPECT_GT(count(plot.XOfCounts(3072), green), 10);
    EXPECT_EQ(count(plot.XOfCounts(2048), red), 0);
}

using PlotPlacement = CalibrationPageTest;

TEST_F(PlotPlacement, EachPageHasItsPlotBelowEveryControlAndInsideThePage) {
    ShowSheet();
    for (const int index : {1, 2}) {
        ASSERT_TRUE(sheet->SetActivePage(index));
        CPropertyPage* page = sheet->GetPage(index);
        SweepPlot* plot = page->findChild<SweepPlot*>();
        ASSERT_NE(plot, nullptr) << index;
        EXPECT_TRUE(plot->isVisible());
        EXPECT_TRUE(page->rect().contains(plot->geometry())) << index;
        EXPECT_GE(plot->height(), 60) << index;
        // every control of the template, labels included
        const auto children = page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        EXPECT_GE(children.size(), static_cast<qsizetype>(page->Template().controls.size()));
        for (const QWidget* child : children) {
            if (child != plot) {
                EXPECT_FALSE(plot->geometry().intersects(child->geometry()))
                    << index << " " << child->metaObject()->className();
            }
        }
    }
}

} // namespace
