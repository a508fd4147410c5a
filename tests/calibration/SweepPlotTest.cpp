// The sweep plot: scale, incremental drawing, markers, and its place on the pages.
#include "CalibrationPageFixture.h"

#include "calibration/PlotLayout.h"
#include "calibration/SweepPlot.h"

#include <QImage>
#include <QTest>

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
    plot.show(); // laid out at its size, so that the readings below are drawn as they come
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
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

TEST(PlotLayout, MarkerLabelsStandOverTheirLinesInsideTheStripAndApart) {
    using PlotLayout::MarkerLabel;
    constexpr int kWidth = 400, kRow = 12;
    const struct {
        const char* name;
        std::vector<MarkerLabel> markers; // x, full width, short width
        std::vector<bool> shortened;
        int rows;
    } rows[] = {
        {"alone", {{200, 50, 24}}, {false}, 1},
        {"at the right edge", {{399, 50, 24}}, {false}, 1},
        {"at the left edge", {{0, 50, 24}}, {false}, 1},
        // the second line just past the first label's room: full texts side by side
        {"27 apart", {{100, 50, 24}, {127, 50, 24}}, {false, false}, 1},
        {"26 apart", {{100, 50, 24}, {126, 50, 24}}, {true, true}, 1},
        {"3600 and 4040", {{359, 45, 26}, {399, 50, 26}}, {true, true}, 1},
        {"bands 3500/3700/3900",
         {{350, 44, 26}, {368, 60, 26}, {386, 50, 26}},
         {false, false, false},
         3},
        {"given right to left", {{300, 40, 20}, {100, 40, 20}}, {false, false}, 1},
        // pulled back from the right edge to the left one, not a pixel to spare
        {"filling the strip exactly", {{150, 199, 24}, {250, 199, 24}}, {false, false}, 1},
        {"crowded at the left edge",
         {{2, 50, 24}, {4, 50, 24}, {6, 50, 24}},
         {false, false, false},
         3},
    };
    for (const auto& row : rows) {
        const PlotLayout::LabelLayout layout =
            PlotLayout::PlaceMarkerLabels(row.markers, kWidth, kRow);
        EXPECT_EQ(layout.rows, row.rows) << row.name;
        ASSERT_EQ(layout.labels.size(), row.markers.size()) << row.name;
        for (size_t i = 0; i < row.markers.size(); ++i) {
            const PlotLayout::Box& box = layout.labels[i].box;
            const MarkerLabel& marker = row.markers[i];
            EXPECT_EQ(layout.labels[i].shortened, row.shortened[i]) << row.name << " " << i;
            EXPECT_EQ(box.width, row.shortened[i] ? marker.shortWidth : marker.fullWidth);
            EXPECT_TRUE(box.left <= marker.x && marker.x < box.Right()) << row.name << " " << i;
            EXPECT_TRUE(box.left >= 0 && box.Right() <= kWidth) << row.name << " " << i;
            EXPECT_TRUE(box.top % kRow == 0 && box.top < layout.rows * kRow && box.height == kRow)
                << row.name << " " << i;
            for (size_t j = 0; j < i; ++j) {
                const PlotLayout::Box& other = layout.labels[j].box;
                EXPECT_TRUE(box.top != other.top || box.left >= other.Right() ||
                            other.left >= box.Right())
                    << row.name << " " << i << " " << j;
            }
        }
    }
    // Rows of no height still stack (a font of no height must not hang the plot).
    EXPECT_EQ(PlotLayout::PlaceMarkerLabels({{100, 50, 24}, {100, 50, 24}}, kWidth, 0).rows, 2);
}

TEST(SweepPlot, LabelsStayOutOfThePlottedAreaAndTheScaleKeepsItsRoom) {
    SweepPlot plot;
    plot.resize(400, 150);
    plot.ShowReadings({10, 200000, 30}, 1024);
    ASSERT_EQ(plot.ScaleTop(), 262144);
    const QRect area = plot.PlotRect();
    EXPECT_GT(area.left(), plot.fontMetrics().horizontalAdvance("262144"));
    EXPECT_LE(area.bottom() + 2 + plot.fontMetrics().height(), plot.height()); // the counts axis

    plot.SetMarkers(
        {{3500, "low", Qt::red}, {3700, "middle", Qt::green}, {3900, "high", Qt::blue}});
    const auto& labels = plot.MarkerLabels();
    ASSERT_EQ(labels.size(), 3u);
    const QRect lowered = plot.PlotRect();
    for (size_t i = 0; i < labels.size(); ++i) {
        const QRect box(labels[i].box.left, labels[i].box.top, labels[i].box.width,
                        labels[i].box.height);
        EXPECT_TRUE(plot.rect().contains(box)) << i;
        EXPECT_FALSE(box.intersects(lowered)) << i;
    }
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
