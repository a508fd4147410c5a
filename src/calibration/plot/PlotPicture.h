#pragma once

#include <string>

class QImage;
class QPainter;
class SweepPlot;

// The sweep plot as a picture to keep with the lab records: 1200 x 600 pixels
// whatever the screen's scale, as PNG, SVG or a clipboard image, with the
// axes, the markers, the wavelength axis and the caption (no pointer readout).
namespace PlotPicture {

constexpr int pictureWidth = 1200;
constexpr int pictureHeight = 600;

// The picture onto a painter of a pictureWidth x pictureHeight device.
void Paint(const SweepPlot& plot, QPainter& painter);
QImage Image(const SweepPlot& plot);

// Writes the picture to path: SVG where the name ends in ".svg" (any case),
// else PNG. On failure false with a message naming the file.
bool Write(const SweepPlot& plot, const std::string& path, std::string& errorText);

// "Save plot as..." (through the save dialog) and "Copy" on the plot's
// context menu.
void AddActions(SweepPlot& plot);

} // namespace PlotPicture
