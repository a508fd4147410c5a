#pragma once

#include <vector>

// Where the sweep plot puts its parts, in pixels, without widgets: the margins
// around the plotted area, and the marker labels in the strip above it. Every
// part the plot draws outside the plotted area takes its room here.
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
// so with the counts alone, else each full label centred over its line in the
// first row where it fits, as many rows as that takes.
LabelLayout PlaceMarkerLabels(const std::vector<MarkerLabel>& markers, int width, int rowHeight);

struct MarginInput {
    int textHeight;     // one line of the plot's font
    int axisLabelWidth; // the widest label of the reading axis
    int labelRows;      // rows of marker labels above the plotted area
};

struct Margins {
    int left, top, right, bottom;
};

// The room around the plotted area: the reading axis's labels on the left, the
// marker labels above, the counts axis below.
Margins PlotMargins(const MarginInput& input);

} // namespace PlotLayout
