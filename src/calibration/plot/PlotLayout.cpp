#include "calibration/plot/PlotLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace PlotLayout {

namespace {

constexpr int labelGap = 2;     // pixels between two labels in a row
constexpr int axisGap = 4;      // between the reading axis's labels and the plotted area
constexpr int rightGap = 6;     // right of the plotted area
constexpr int stripGap = 2;     // between the marker labels and the plotted area
constexpr int bottomGap = 3;    // above the counts axis's labels, and between rows below it
constexpr int axisLabelGap = 6; // between two labels of the wavelength axis

// One row: each label centred on its line, pushed right past the one before,
// then pulled back left from the strip's right edge. False when they do not
// fit, or when a label no longer stands over its own line.
bool FitOneRow(const std::vector<int>& xs, const std::vector<int>& widths, int width,
               std::vector<int>& lefts) {
    const size_t count = xs.size();
    lefts.assign(count, 0);
    int nextFree = 0;
    for (size_t i = 0; i < count; ++i) {
        lefts[i] = std::max(xs[i] - widths[i] / 2, nextFree);
        nextFree = lefts[i] + widths[i] + labelGap;
    }
    int limit = width;
    for (size_t i = count; i-- > 0;) {
        lefts[i] = std::min(lefts[i], limit - widths[i]);
        limit = lefts[i] - labelGap;
    }
    if (count > 0 && lefts[0] < 0)
        return false;
    for (size_t i = 0; i < count; ++i)
        if (xs[i] < lefts[i] || xs[i] >= lefts[i] + widths[i])
            return false;
    return true;
}

} // namespace

LabelLayout PlaceMarkerLabels(const std::vector<MarkerLabel>& markers, int width, int rowHeight,
                              int maxRows) {
    rowHeight = std::max(1, rowHeight);
    maxRows = std::max(1, maxRows);
    // Placed from left to right along the lines; the result keeps the given order.
    std::vector<size_t> order(markers.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&markers](size_t a, size_t b) { return markers[a].x < markers[b].x; });
    std::vector<int> xs;
    xs.reserve(order.size());
    for (const size_t i : order)
        xs.push_back(markers[i].x);

    LabelLayout layout{std::vector<PlacedLabel>(markers.size()), 1};
    for (const bool shortened : {false, true}) {
        std::vector<int> widths;
        widths.reserve(order.size());
        for (const size_t i : order)
            widths.push_back(shortened ? markers[i].shortWidth : markers[i].fullWidth);
        std::vector<int> lefts;
        if (!FitOneRow(xs, widths, width, lefts))
            continue;
        for (size_t k = 0; k < order.size(); ++k)
            layout.labels[order[k]] = {{lefts[k], 0, widths[k], rowHeight}, shortened};
        return layout;
    }

    // Rows: every label, the counts alone, over its own line, as far up as it
    // fits, pushed right past the label before it in that row if need be.
    std::vector<int> nextFree(static_cast<size_t>(maxRows), 0);
    for (const size_t i : order) {
        const MarkerLabel& marker = markers[i];
        const int labelWidth = marker.shortWidth;
        const int centred =
            std::clamp(marker.x - labelWidth / 2, 0, std::max(0, width - labelWidth));
        layout.labels[i] = {{centred, 0, 0, rowHeight}, true};
        for (int row = 0; row < maxRows; ++row) {
            const int left = std::max(centred, nextFree[static_cast<size_t>(row)]);
            if (left > marker.x || left + labelWidth > width)
                continue;
            layout.labels[i].box = {left, row * rowHeight, labelWidth, rowHeight};
            nextFree[static_cast<size_t>(row)] = left + labelWidth + labelGap;
            layout.rows = std::max(layout.rows, row + 1);
            break;
        }
    }
    return layout;
}

int MaxLabelRows(int plotHeight, int rowHeight) {
    // each row more takes rowHeight off the plotted area: at most a third of it
    return 1 + std::max(0, plotHeight) / (3 * std::max(1, rowHeight));
}

Margins PlotMargins(const MarginInput& input) {
    return Margins{input.axisLabelWidth + axisGap, input.labelRows * input.textHeight + stripGap,
                   rightGap, input.bottomRows * (input.textHeight + bottomGap)};
}

int BottomRowTop(int plotBottom, int row, int textHeight) {
    // the counts axis's row starts just under the frame, as it always has
    return plotBottom + 2 + row * (textHeight + bottomGap);
}

double WavelengthTickStep(double nmPerPixel, int labelWidth) {
    if (!(nmPerPixel > 0) || !std::isfinite(nmPerPixel))
        return 0;
    for (double power = 1; power <= 1e9; power *= 10)
        for (const double multiple : {1.0, 2.0, 5.0})
            if (multiple * power / nmPerPixel >= labelWidth + axisLabelGap)
                return multiple * power;
    return 0;
}

std::vector<Box> PlaceAxisLabels(const std::vector<AxisLabel>& labels, int left, int right, int top,
                                 int height) {
    std::vector<size_t> order(labels.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&labels](size_t a, size_t b) { return labels[a].x < labels[b].x; });
    std::vector<Box> boxes(labels.size(), Box{0, top, 0, height});
    int nextFree = left;
    for (const size_t i : order) {
        const Box box{labels[i].x - labels[i].width / 2, top, labels[i].width, height};
        if (box.left < nextFree || box.Right() > right)
            continue;
        boxes[i] = box;
        nextFree = box.Right() + axisLabelGap;
    }
    return boxes;
}

PlacedLabel PlaceReadout(int pointerX, int fullWidth, int shortWidth, int left, int right, int top,
                         int height) {
    const bool shortened = fullWidth > right - left;
    const int width = shortened ? shortWidth : fullWidth;
    if (width > right - left)
        return {{left, top, 0, height}, shortened};
    return {{std::clamp(pointerX - width / 2, left, right - width), top, width, height}, shortened};
}

} // namespace PlotLayout
