#pragma once

#include <vector>

// Where the sweep plot puts its parts, in pixels, without widgets: the margins
// around the plotted area, the marker labels in the strip above it, and the
// rows below it (counts axis with the pointer's readout, wavelength axis,
// caption). Every part the plot draws outside the plotted area takes its room
// here.
namespace PlotLayout {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width; } // one past the last column
};

// One marker's line and the widths of the two texts its label can show.
struct MarkerLabel {
    int x;          // column of the marker's line
    int fullWidth;  // name and counts
    int shortWidth; // the counts alone
};

struct PlacedLabel {
    Box box;
    bool shortened = false; // shows the counts alone
};

struct LabelLayout {
    std::vector<PlacedLabel> labels; // in the order of the markers given
    int rows;                        // label rows the strip needs, at least 1
};

// Places the labels in a strip of the given width, rows of rowHeight from its
// top, never one over another, never outside the strip, and each over its own
// line: in one row with their full texts (shifted sideways to make room), else
// so with the counts alone, else each with the counts alone over its line in
// the first of at most maxRows rows where it fits, centred or pushed right
// past the one before it; a label that fits in none is left out (width 0),
// its line stays.
LabelLayout PlaceMarkerLabels(const std::vector<MarkerLabel>& markers, int width, int rowHeight,
                              int maxRows);

// The label rows that leave the plotted area at least two thirds of the
// height it has below one row (plotHeight), so close bands keep a plot.
int MaxLabelRows(int plotHeight, int rowHeight);

struct MarginInput {
    int textHeight;     // one line of the plot's font
    int axisLabelWidth; // the widest label of the reading axis
    int labelRows;      // rows of marker labels above the plotted area
    int bottomRows = 1; // below it: the counts axis, then the nm axis and a caption where shown
};

struct Margins {
    int left, top, right, bottom;
};

// The room around the plotted area: the reading axis's labels on the left, the
// marker labels above, the rows below.
Margins PlotMargins(const MarginInput& input);

// Top of a row below the plotted area; row 0 is the counts axis's.
int BottomRowTop(int plotBottom, int row, int textHeight);

// Spacing of the wavelength axis's ticks in nm: the smallest of 1, 2 and 5
// times a power of ten that keeps ticks far enough apart at nmPerPixel for
// labels of labelWidth pixels and the gap PlaceAxisLabels keeps; 0 where none
// up to 5e9 does.
double WavelengthTickStep(double nmPerPixel, int labelWidth);

struct AxisLabel {
    int x;     // column of the tick
    int width; // of its text
};

// Axis labels centred on their ticks in a row, from left to right: a label
// that would reach past left or right, or come nearer than a gap to the one
// kept before it, is left out (width 0). In the order given.
std::vector<Box> PlaceAxisLabels(const std::vector<AxisLabel>& labels, int left, int right, int top,
                                 int height);

// The readout under the pointer, in a row between left and right: centred on
// the pointer's column and kept inside; shortened where the full text does not
// fit; width 0 where neither does.
PlacedLabel PlaceReadout(int pointerX, int fullWidth, int shortWidth, int left, int right, int top,
                         int height);

} // namespace PlotLayout
