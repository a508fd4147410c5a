// The sweep plot: scale, incremental drawing, markers, wavelength axis,
// readout, its place on the pages and the picture it saves.
#include "calibration/CalibrationPageFixture.h"

#include "calibration/CalibrationPageParts.h"
#include "calibration/plot/PlotLayout.h"
#include "calibration/plot/SweepPlot.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QProgressBar>
#include <QSvgRenderer>
#include <QTest>

#include <thread>

namespace {

// The simulator's calibration as the pages read it.
const auto simLine = CalibrationCore::LineThrough(250, 87, 690, 4013);

QRect RectOf(const PlotLayout::Box& box) {
    return QRect(box.left, box.top, box.width, box.height);
}

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
    EXPECT_TRUE(plot.RepaintPending());
    EXPECT_FALSE(plot.RepaintPending()); // nothing new: nothing painted
    // a reading taken again is drawn again, at its new height
    plot.AddReading(15, 4000);
    const QImage again = plot.grab().toImage();
    const int top = plot.PlotRect().top();
    EXPECT_TRUE(ColumnHasCurve(again, plot.XOfCounts(15 * 256.0), top, top + 6));

    // a new sweep starts empty, and readings shown at once fit the scale too
    plot.SetMarkers({{1000, "peak", Qt::red}});
    plot.BeginSweep(1024);
    EXPECT_TRUE(plot.Readings().empty());
    EXPECT_TRUE(plot.Markers().empty());
    EXPECT_EQ(plot.ScaleTop(), 256);
    plot.ShowReadings({1, 2, 600}, 1024);
    EXPECT_EQ(plot.ScaleTop(), 1024);
}

TEST(SweepDisplay, StartsTheSweepAfreshAndTheBarCatchesUpAtEachPicture) {
    SweepPlot plot;
    plot.ShowReadings({5, 6, 7}, 16);
    QProgressBar bar;
    bar.setValue(0);  // as the pages make it
    int pictures = 0; // the bar moves once a picture
    QObject::connect(&bar, &QProgressBar::valueChanged, [&pictures] { ++pictures; });
    {
        CalibrationPageParts::SweepDisplay display(&bar, &plot, 16);
        EXPECT_TRUE(plot.Readings().empty()); // the last sweep's readings are gone
        const CalibrationCore::Progress progress = display.Callback();
        for (int32_t i = 0; i < 16; ++i) {
            if (i == 8) // a picture is due at the next sample
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
            progress(i, 0);
            if (i == 8) {
                EXPECT_EQ(bar.value(), 9);
            }
        }
    }
    EXPECT_EQ(bar.value(), 16); // the last samples are shown as the sweep ends
    // one picture a frame, not one a sample: the samples came far faster than 50 ms
    EXPECT_GE(pictures, 2);
    EXPECT_LE(pictures, 4);
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

TEST(PlotLayout, WavelengthTicksAxisLabelsAndTheReadoutAtTheirBounds) {
    // 20 pixels a tick: exactly a label of 14 and the gap of 6
    EXPECT_EQ(PlotLayout::WavelengthTickStep(1.0, 14), 20);
    EXPECT_EQ(PlotLayout::WavelengthTickStep(1.0, 15), 50);
    EXPECT_EQ(PlotLayout::WavelengthTickStep(0, 14), 0);
    EXPECT_EQ(PlotLayout::WavelengthTickStep(1e12, 14), 0); // beyond 5e9 nm a tick

    // between 10 and 100, 6 apart; -1: left out (width 0)
    const struct {
        std::vector<PlotLayout::AxisLabel> labels; // x, width
        std::vector<int> lefts;
    } axes[] = {
        {{{17, 14}}, {10}},
        {{{16, 14}}, {-1}},
        {{{93, 14}}, {86}},
        {{{94, 14}}, {-1}},
        {{{30, 10}, {46, 10}}, {25, 41}},
        {{{30, 10}, {45, 10}}, {25, -1}},
        {{{46, 10}, {30, 10}}, {41, 25}},
    };
    for (const auto& row : axes) {
        const auto boxes = PlotLayout::PlaceAxisLabels(row.labels, 10, 100, 50, 12);
        ASSERT_EQ(boxes.size(), row.labels.size());
        for (size_t i = 0; i < boxes.size(); ++i)
            EXPECT_EQ(boxes[i].width > 0 ? boxes[i].left : -1, row.lefts[i]) << row.labels[i].x;
    }

    // between 20 and 120; width 0: none
    const struct {
        int pointer, fullWidth, shortWidth;
        int left, width;
    } readouts[] = {
        {70, 100, 40, 20, 100}, {70, 101, 40, 50, 40}, {22, 101, 40, 20, 40},
        {119, 101, 40, 80, 40}, {70, 101, 101, 20, 0},
    };
    for (const auto& row : readouts) {
        const auto placed =
            PlotLayout::PlaceReadout(row.pointer, row.fullWidth, row.shortWidth, 20, 120, 7, 12);
        EXPECT_EQ(placed.box.width, row.width) << row.pointer << " " << row.fullWidth;
        EXPECT_EQ(placed.box.width > 0 ? placed.box.left : 20, row.left) << row.pointer;
        EXPECT_EQ(placed.shortened, row.fullWidth > 100) << row.pointer;
    }
}

TEST(PlotLayout, MarkerLabelsStandOverTheirLinesInsideTheStripAndApart) {
    using PlotLayout::MarkerLabel;
    constexpr int plotWidth = 400, rowHeight = 12, anyRows = 100;
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
        // stacked, the labels show the counts alone
        {"bands 3500/3700/3900",
         {{350, 44, 26}, {368, 60, 26}, {386, 50, 26}},
         {true, true, true},
         2},
        {"given right to left", {{300, 40, 20}, {100, 40, 20}}, {false, false}, 1},
        // pulled back from the right edge to the left one, not a pixel to spare
        {"filling the strip exactly", {{150, 199, 24}, {250, 199, 24}}, {false, false}, 1},
        // SF,400,420,440: the third label pushed right past the first, in its row
        {"bands 1400/1580/1760",
         {{170, 60, 30}, {184, 60, 30}, {197, 60, 30}},
         {true, true, true},
         2},
        {"crowded at the left edge",
         {{2, 50, 24}, {4, 50, 24}, {6, 50, 24}},
         {true, true, true},
         3},
    };
    for (const auto& row : rows) {
        const PlotLayout::LabelLayout layout =
            PlotLayout::PlaceMarkerLabels(row.markers, plotWidth, rowHeight, anyRows);
        EXPECT_EQ(layout.rows, row.rows) << row.name;
        ASSERT_EQ(layout.labels.size(), row.markers.size()) << row.name;
        for (size_t i = 0; i < row.markers.size(); ++i) {
            const PlotLayout::Box& box = layout.labels[i].box;
            const MarkerLabel& marker = row.markers[i];
            EXPECT_EQ(layout.labels[i].shortened, row.shortened[i]) << row.name << " " << i;
            EXPECT_EQ(box.width, row.shortened[i] ? marker.shortWidth : marker.fullWidth);
            EXPECT_TRUE(box.left <= marker.x && marker.x < box.Right()) << row.name << " " << i;
            EXPECT_TRUE(box.left >= 0 && box.Right() <= plotWidth) << row.name << " " << i;
            EXPECT_TRUE(box.top % rowHeight == 0 && box.top < layout.rows * rowHeight &&
                        box.height == rowHeight)
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
    EXPECT_EQ(
        PlotLayout::PlaceMarkerLabels({{100, 50, 24}, {100, 50, 24}}, plotWidth, 0, anyRows).rows,
        2);
    // Past the rows allowed a label is left out, its line alone.
    const auto capped = PlotLayout::PlaceMarkerLabels({{2, 50, 24}, {4, 50, 24}, {6, 50, 24}},
                                                      plotWidth, rowHeight, 2);
    EXPECT_EQ(capped.rows, 2);
    EXPECT_EQ(capped.labels[1].box.width, 24);
    EXPECT_EQ(capped.labels[2].box.width, 0);
    // A row takes 12 pixels off the area: a second one leaves two thirds of 36, not of 35.
    for (const auto& [height, allowed] :
         {std::pair{36, 2}, std::pair{35, 1}, std::pair{72, 3}, std::pair{71, 2}})
        EXPECT_EQ(PlotLayout::MaxLabelRows(height, rowHeight), allowed) << height;
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
    plot.SetCalibrationLine(simLine);
    plot.SetCaption("middle band +2.5 nm / \u2212"
                    "22 counts off the low\u2013high line");
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    QTest::mouseMove(&plot, plot.PlotRect().center());
    const auto& labels = plot.MarkerLabels();
    ASSERT_EQ(labels.size(), 3u);
    const QRect lowered = plot.PlotRect();
    std::vector<QRect> boxes;
    for (const auto& label : labels)
        boxes.push_back(RectOf(label.box));
    ASSERT_GE(plot.WavelengthLabels().size(), 3u); // 300 to 650 nm in steps of 50 or 100
    for (const auto& label : plot.WavelengthLabels())
        boxes.push_back(RectOf(label.box));
    ASSERT_FALSE(plot.Readout().text.isEmpty());
    boxes.push_back(RectOf(plot.Readout().box));
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_TRUE(plot.rect().contains(boxes[i])) << i;
        EXPECT_FALSE(boxes[i].intersects(lowered)) << i;
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(boxes[i].intersects(boxes[j])) << i << " " << j;
    }

    // what the readout reads: only over the plotted area, never during a sweep
    auto readoutAt = [&plot](int x, int y) {
        QTest::mouseMove(&plot, QPoint(x, y));
        return plot.Readout().text.toStdString();
    };
    EXPECT_EQ(readoutAt(lowered.left(), lowered.top()), "0 counts, 240.2 nm, reading 10");
    // the last column reads 4095, past the three samples held: the last one's reading
    EXPECT_EQ(readoutAt(lowered.right(), lowered.bottom()), "4095 counts, 699.2 nm, reading 30");
    // clear of the counts axis's end labels
    EXPECT_LE(plot.Readout().box.Right(),
              lowered.left() + lowered.width() - plot.fontMetrics().horizontalAdvance("4095"));
    readoutAt(lowered.left(), lowered.top());
    EXPECT_GE(plot.Readout().box.left, lowered.left() + plot.fontMetrics().horizontalAdvance("0"));
    EXPECT_EQ(readoutAt(lowered.left() - 1, lowered.top()), "");
    EXPECT_EQ(readoutAt(lowered.right(), lowered.bottom() + 1), "");
    plot.SetCalibrationLine(std::nullopt);
    EXPECT_GT(plot.PlotRect().height(), lowered.height()); // the axis's row given back
    EXPECT_EQ(readoutAt(plot.PlotRect().left(), plot.PlotRect().top()), "0 counts, reading 10");
    plot.BeginSweep(16);
    EXPECT_EQ(plot.Readout().text, "");
    EXPECT_EQ(readoutAt(plot.PlotRect().left() + 1, plot.PlotRect().top()), "");
    plot.EndSweep();
    EXPECT_NE(readoutAt(plot.PlotRect().left() + 2, plot.PlotRect().top()), "");
    QTest::mouseMove(plot.window(), QPoint(-20, -20)); // the pointer leaves
    EXPECT_EQ(plot.Readout().text, "");
}

TEST(SweepPlot, CloseBandsKeepTwoThirdsOfThePlottedArea) {
    SweepPlot plot; // as high as on the pages, with both rows below the counts axis
    plot.resize(400, 112);
    plot.ShowReadings(std::vector<int32_t>(16, 0), 16);
    plot.SetCalibrationLine(simLine);
    plot.SetCaption("middle band +0.3 nm");
    plot.SetMarkers({{1500, "low", Qt::red}});
    const int oneRow = plot.PlotRect().height();
    plot.SetMarkers(
        {{1500, "low", Qt::red}, {1510, "middle", Qt::green}, {1520, "high", Qt::blue}});
    EXPECT_GE(3 * plot.PlotRect().height(), 2 * oneRow);
    EXPECT_TRUE(plot.MarkerLabels()[1].shortened);
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

TEST_F(PlotPlacement, ThePlotIsSavedAsPngAndSvgAndCopiedAtOneSize) {
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(2));
    SweepPlot* plot = triple->Plot();
    plot->ShowReadings({10, 20, 900, 30, 10, 400, 20, 10, 10, 600, 10, 0, 0, 0, 0, 0}, 16);
    plot->SetMarkers({{512, "low", Qt::red}, {2304, "high", Qt::blue}});
    plot->SetCalibrationLine(CalibrationCore::LineThrough(400, 512, 600, 2304));
    plot->SetCaption("middle band +2.5 nm");
    auto act = [plot](const QString& text) {
        for (QAction* action : plot->actions())
            if (action->text() == text)
                action->trigger();
    };
    EXPECT_EQ(plot->contextMenuPolicy(), Qt::ActionsContextMenu);

    saveDialog.answer = scratchDir + "/plot.png";
    act("Save plot as...");
    EXPECT_EQ(saveDialog.extension, "png");
    EXPECT_EQ(saveDialog.filterSeen, "PNG Images (*.png)|*.png|SVG Images (*.svg)|*.svg||");
    const QImage png(QString::fromStdString(saveDialog.answer));
    EXPECT_EQ(png.size(), QSize(1200, 600));
    // the whole plot down to its wavelength axis: "nm" in the bottom-left corner
    int dark = 0;
    for (int y = 480; y < 600; ++y)
        for (int x = 0; x < 60; ++x)
            dark += qGray(png.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 20);
    const std::string pngBytes = ReadFileBytes(saveDialog.answer);
    // the picture does not depend on the widget's own size
    plot->resize(plot->width() / 2, plot->height());
    act("Save plot as...");
    EXPECT_EQ(ReadFileBytes(saveDialog.answer), pngBytes);

    saveDialog.answer = scratchDir + "/plot.SVG";
    act("Save plot as...");
    QSvgRenderer svg(QString::fromStdString(saveDialog.answer));
    EXPECT_TRUE(svg.isValid());
    EXPECT_EQ(svg.defaultSize(), QSize(1200, 600));
    const std::string text = ReadFileBytes(saveDialog.answer);
    for (const char* part :
         {">low 512<", ">high 2304<", ">DA counts<", ">nm<", ">500<", ">middle band +2.5 nm<"})
        EXPECT_NE(text.find(part), std::string::npos) << part;

    act("Copy");
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(1200, 600));

    saveDialog.answer = scratchDir + "/missing/plot.png";
    act("Save plot as...");
    EXPECT_EQ(messages, std::vector<std::string>{saveDialog.answer + " was not found."});
}

} // namespace
