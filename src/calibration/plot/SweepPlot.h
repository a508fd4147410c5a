#pragma once

#include "calibration/core/CalibrationLine.h"
#include "calibration/plot/PlotLayout.h"

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

// The readings of a calibration page's latest sweep, reading against DA
// counts, with what the sweep found marked. A sweep blocks the one thread, so
// the plot is fed sample by sample: AddReading notes each one, and
// RepaintPending draws the segments since the last time into a cached picture
// and puts them on the screen at once, so a sample costs about the same
// however long the sweep is. Below the counts axis it can show a wavelength axis from the
// page's two calibration points and a caption; the pointer over the plotted
// area reads counts, wavelength and reading off it.
class SweepPlot : public QWidget {
    Q_OBJECT
public:
    struct Marker {
        int32_t counts; // DA counts of the found centre
        QString label;
        QColor colour;
    };

    explicit SweepPlot(QWidget* parent = nullptr);

    // Empties the plot for a sweep of sampleCount samples and drops the markers.
    void BeginSweep(int32_t sampleCount);
    // Sample index of the current sweep, in order; drawn at the next paint.
    void AddReading(int32_t index, int32_t reading);
    // Repaints what AddReading has added since the last call, directly, with
    // whatever else of the window is waiting for a paint; false when nothing
    // was added, and nothing is painted.
    bool RepaintPending();
    // Shows readings already taken (all of one sweep) without markers.
    void ShowReadings(const std::vector<int32_t>& readings, int32_t sampleCount);
    // Marks what the sweep found and repaints at once.
    void SetMarkers(std::vector<Marker> markers);

    const std::vector<int32_t>& Readings() const { return readings; }
    const std::vector<Marker>& Markers() const { return markers; }
    // The reading at the top of the plot: a power of two at or above every reading.
    int32_t ScaleTop() const { return scaleTop; }
    // Horizontal pixel position of DA counts, for tests of the markers.
    int XOfCounts(double counts) const;
    // Where the markers' labels stand, in the order of Markers().
    const std::vector<PlotLayout::PlacedLabel>& MarkerLabels() const { return labels.labels; }
    // The plotted area inside the margins.
    QRect PlotRect() const { return plotRect; }

    // The wavelength axis from the page's two points; none leaves it out.
    void SetCalibrationLine(const std::optional<CalibrationCore::CalibrationLine>& line);
    const std::optional<CalibrationCore::CalibrationLine>& CalibrationLine() const { return line; }
    // A line of text under the axes; empty for none. BeginSweep drops it.
    void SetCaption(const QString& caption);
    const QString& Caption() const { return caption; }
    // The sweep that BeginSweep started has ended: the readout may show again.
    void EndSweep();

    struct AxisText {
        PlotLayout::Box box;
        QString text;
    };
    // The wavelength axis's labels as drawn.
    const std::vector<AxisText>& WavelengthLabels() const { return wavelengthLabels; }
    // The readout under the pointer; empty text while none shows.
    const AxisText& Readout() const { return readout; }

    // The whole plot without the readout, drawn for a picture of size logical
    // pixels onto painter, whatever this widget's own size.
    void PaintPicture(QPainter& painter, const QSize& size) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString FullLabel(const Marker& marker) const;
    // The plotted area and the marker labels for the current size, scale and markers.
    void UpdateLayout();
    void PlaceLabels(int maxRows);
    QPointF PointOf(size_t index) const;
    // Axes and the whole curve into the cached picture.
    void RebuildCache();
    // Draws into the cache the segments of the readings added since.
    void DrawNewSegments();
    // Raises the scale to fit reading; true when it changed.
    bool FitScale(int32_t reading);
    void DrawMarkers(QPainter& painter) const;
    // Axes, curve, wavelength axis and caption: what the cache holds.
    void DrawBackground(QPainter& painter) const;
    void PlaceWavelengthLabels();
    void DrawWavelengthAxis(QPainter& painter) const;
    void DrawCaption(QPainter& painter) const;
    // Rows below the plotted area: counts axis, wavelength axis, caption.
    int BottomRows() const;
    QRect BottomRow(int row) const;
    void ShowReadoutAt(const QPoint& position);
    void HideReadout();
    void DrawReadout(QPainter& painter) const;
    // "DA counts" under the plotted area, drawn over the cache where no readout shows.
    QRect CountsTitleRect() const;
    void DrawCountsTitle(QPainter& painter) const;

    std::vector<int32_t> readings; // the sweep's readings in sample order
    std::vector<Marker> markers;
    PlotLayout::LabelLayout labels{{}, 1};
    QRect plotRect;
    int32_t step = 4; // DA counts between samples
    int32_t scaleTop = 256;
    QPixmap cache;      // background, axes and curve
    QRect pending;      // drawn into the cache, not yet on the screen
    size_t drawnTo = 0; // readings whose segments are in the cache
    bool swept = false; // a sweep has begun: no more "No sweep yet"
    std::optional<CalibrationCore::CalibrationLine> line;
    std::vector<AxisText> wavelengthLabels;
    QString caption;
    bool sweeping = false; // between BeginSweep and EndSweep: no readout
    AxisText readout;
};
