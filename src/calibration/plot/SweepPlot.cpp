#include "calibration/plot/SweepPlot.h"

#include "calibration/core/SampleGrid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t smallestTop = 256;
constexpr int32_t largestTop = 1 << 30;
constexpr double lastCounts = CalibrationCore::countsRange - 1;
const QColor curveColour(31, 95, 191);
constexpr int textGap = 4; // between texts in a row below the plotted area

} // namespace

SweepPlot::SweepPlot(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true); // the readout follows the pointer without a click
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
    UpdateLayout();
}

void SweepPlot::BeginSweep(int32_t sampleCount) {
    swept = true;
    sweeping = true;
    HideReadout();
    caption.clear();
    readings.clear();
    readings.reserve(static_cast<size_t>(CalibrationCore::SweepSampleCount(sampleCount)));
    markers.clear();
    step = CalibrationCore::SampleStep(sampleCount);
    scaleTop = smallestTop;
    pending = QRect();
    RebuildCache();
    repaint();
}

void SweepPlot::AddReading(int32_t index, int32_t reading) {
    if (index < 0)
        return;
    const size_t at = static_cast<size_t>(index);
    if (at >= readings.size())
        readings.resize(at + 1, 0);
    readings[at] = reading;
    drawnTo = std::min(drawnTo, at); // a reading taken again is drawn again
    if (FitScale(reading)) {
        RebuildCache();
        pending = rect();
        return;
    }
    if (cache.isNull())
        return;
    const QPointF to = PointOf(at);
    const QPointF from = at == 0 ? to : PointOf(at - 1);
    // the segment is clipped to the plotted area, and so is its repaint: the
    // counts axis's row below it is not painted again for a reading near 0
    pending |= QRectF(from, to).normalized().adjusted(-3, -3, 3, 3).toAlignedRect() & PlotRect();
}

void SweepPlot::DrawNewSegments() {
    if (cache.isNull() || drawnTo >= readings.size())
        return;
    // one painter for all the segments since the last picture, not one a sample
    QPolygonF segments;
    for (size_t i = drawnTo == 0 ? 0 : drawnTo - 1; i < readings.size(); ++i)
        segments.append(PointOf(i));
    QPainter painter(&cache);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(PlotRect());
    painter.setPen(QPen(curveColour, 1.2));
    painter.drawPolyline(segments);
    drawnTo = readings.size();
}

bool SweepPlot::RepaintPending() {
    if (pending.isEmpty())
        return false;
    DrawNewSegments();
    repaint(pending);
    pending = QRect();
    return true;
}

void SweepPlot::ShowReadings(const std::vector<int32_t>& readings, int32_t sampleCount) {
    BeginSweep(sampleCount);
    this->readings = readings;
    for (const int32_t reading : readings)
        FitScale(reading);
    RebuildCache();
    repaint();
    EndSweep();
}

void SweepPlot::SetMarkers(std::vector<Marker> markers) {
    this->markers = std::move(markers);
    // more label rows make the plotted area lower: the cache is drawn anew
    RebuildCache();
    repaint();
}

int SweepPlot::XOfCounts(double counts) const {
    const QRect plot = PlotRect();
    const double clamped = std::clamp(counts, 0.0, lastCounts);
    return plot.left() + static_cast<int>(std::lround(clamped * (plot.width() - 1) / lastCounts));
}

void SweepPlot::paintEvent(QPaintEvent* event) {
    DrawNewSegments();
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = cache.devicePixelRatio();
    painter.drawPixmap(dirty, cache,
                       QRectF(dirty.x() * ratio, dirty.y() * ratio, dirty.width() * ratio,
                              dirty.height() * ratio));
    DrawMarkers(painter);
    if (dirty.intersects(CountsTitleRect()))
        DrawCountsTitle(painter);
    DrawReadout(painter);
}

void SweepPlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RebuildCache();
}

void SweepPlot::UpdateLayout() {
    const QFontMetrics metrics = fontMetrics();
    // room for the widest scale the axis can show, so its top label is never cut
    const int axisLabelWidth = std::max(metrics.horizontalAdvance(QStringLiteral("00000")),
                                        metrics.horizontalAdvance(QString::number(scaleTop)));
    PlotLayout::MarginInput input{metrics.height(), axisLabelWidth, 1, BottomRows()};
    auto inside = [this](const PlotLayout::Margins& margins) {
        return QRect(margins.left, margins.top, std::max(2, width() - margins.left - margins.right),
                     std::max(2, height() - margins.top - margins.bottom));
    };
    // The labels stand over the markers' columns, which the rows above do not move.
    plotRect = inside(PlotLayout::PlotMargins(input));
    PlaceLabels(PlotLayout::MaxLabelRows(plotRect.height(), metrics.height()));
    input.labelRows = labels.rows;
    plotRect = inside(PlotLayout::PlotMargins(input));
    PlaceWavelengthLabels();
    readout = {}; // placed for the old layout; the next pointer move places it anew
}

QString SweepPlot::FullLabel(const Marker& marker) const {
    return marker.label + ' ' + QString::number(marker.counts);
}

void SweepPlot::PlaceLabels(int maxRows) {
    const QFontMetrics metrics = fontMetrics();
    std::vector<PlotLayout::MarkerLabel> wanted;
    for (const Marker& marker : markers)
        wanted.push_back({XOfCounts(marker.counts),
                          metrics.horizontalAdvance(FullLabel(marker)) + 4,
                          metrics.horizontalAdvance(QString::number(marker.counts)) + 4});
    labels = PlotLayout::PlaceMarkerLabels(wanted, width(), metrics.height(), maxRows);
}

QPointF SweepPlot::PointOf(size_t index) const {
    const QRect plot = PlotRect();
    const double counts =
        std::min(static_cast<double>(index) * step, lastCounts); // last sample of a 1-step sweep
    const double reading = std::clamp<double>(readings[index], 0.0, scaleTop);
    return QPointF(plot.left() + counts * (plot.width() - 1) / lastCounts,
                   plot.bottom() - reading * (plot.height() - 1) / scaleTop);
}

bool SweepPlot::FitScale(int32_t reading) {
    bool changed = false;
    while (reading > scaleTop && scaleTop < largestTop) {
        scaleTop *= 2;
        changed = true;
    }
    return changed;
}

void SweepPlot::RebuildCache() {
    UpdateLayout();
    if (width() <= 0 || height() <= 0) {
        cache = QPixmap();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    cache = QPixmap(size() * ratio);
    cache.setDevicePixelRatio(ratio);
    cache.fill(Qt::transparent); // the page shows through around the plot

    QPainter painter(&cache);
    DrawBackground(painter);
    drawnTo = readings.size(); // the whole curve is in
}

void SweepPlot::DrawBackground(QPainter& painter) const {
    painter.setFont(font());
    const QRect plot = PlotRect();
    painter.fillRect(plot, palette().color(QPalette::Base));

    // a grid line every 1024 counts, labels at both ends and in the middle
    painter.setPen(QPen(palette().color(QPalette::Mid), 0, Qt::DotLine));
    for (int counts = 1024; counts < CalibrationCore::countsRange; counts += 1024)
        painter.drawLine(XOfCounts(counts), plot.top(), XOfCounts(counts), plot.bottom());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    const QFontMetrics metrics = fontMetrics();
    const int labelY = plot.bottom() + 2;
    const int labelHeight = metrics.height();
    painter.drawText(QRect(plot.left(), labelY, plot.width(), labelHeight), Qt::AlignLeft, "0");
    painter.drawText(QRect(plot.left(), labelY, plot.width(), labelHeight), Qt::AlignRight, "4095");
    const QRect axis(0, plot.top(), plot.left() - 3, plot.height());
    painter.drawText(axis, Qt::AlignRight | Qt::AlignTop, QString::number(scaleTop));
    painter.drawText(axis, Qt::AlignRight | Qt::AlignBottom, "0");
    DrawWavelengthAxis(painter);
    DrawCaption(painter);

    if (!swept) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(plot, Qt::AlignCenter, tr("No sweep yet"));
        return;
    }
    QPolygonF curve;
    curve.reserve(static_cast<int>(readings.size()));
    for (size_t i = 0; i < readings.size(); ++i)
        curve.append(PointOf(i));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(plot);
    painter.setPen(QPen(curveColour, 1.2));
    painter.drawPolyline(curve);
    painter.restore();
}

void SweepPlot::DrawMarkers(QPainter& painter) const {
    const QRect plot = PlotRect();
    // the labels were placed for these markers when they were set
    for (size_t i = 0; i < markers.size(); ++i) {
        const Marker& marker = markers[i];
        const int x = XOfCounts(marker.counts);
        painter.setPen(QPen(marker.colour, 1, Qt::DashLine));
        painter.drawLine(x, plot.top(), x, plot.bottom());
        const PlotLayout::PlacedLabel& label = labels.labels[i];
        if (label.box.width <= 0)
            continue; // no room for it: the line alone
        painter.setPen(marker.colour);
        painter.drawText(QRect(label.box.left, label.box.top, label.box.width, label.box.height),
                         Qt::AlignCenter,
                         label.shortened ? QString::number(marker.counts) : FullLabel(marker));
    }
}

void SweepPlot::SetCalibrationLine(const std::optional<CalibrationCore::CalibrationLine>& line) {
    if (line == this->line)
        return; // an exchange that changed neither point costs nothing
    this->line = line;
    RebuildCache();
    update();
}

void SweepPlot::SetCaption(const QString& caption) {
    if (caption == this->caption)
        return;
    this->caption = caption;
    RebuildCache();
    update();
}

void SweepPlot::EndSweep() {
    sweeping = false;
}

int SweepPlot::BottomRows() const {
    return 1 + (line ? 1 : 0) + (caption.isEmpty() ? 0 : 1);
}

QRect SweepPlot::BottomRow(int row) const {
    const int textHeight = fontMetrics().height();
    return QRect(0, PlotLayout::BottomRowTop(PlotRect().bottom(), row, textHeight), width(),
                 textHeight);
}

void SweepPlot::PlaceWavelengthLabels() {
    wavelengthLabels.clear();
    if (!line)
        return;
    const QFontMetrics metrics = fontMetrics();
    const QRect plot = PlotRect();
    const double atStart = line->WavelengthAt(0);
    const double atEnd = line->WavelengthAt(lastCounts);
    const double low = std::min(atStart, atEnd);
    const double high = std::max(atStart, atEnd);
    auto text = [](double nm) { return QString::number(static_cast<qlonglong>(std::llround(nm))); };
    const int widest =
        std::max(metrics.horizontalAdvance(text(low)), metrics.horizontalAdvance(text(high)));
    const double tickStep =
        PlotLayout::WavelengthTickStep((high - low) / std::max(1, plot.width() - 1), widest);
    if (tickStep <= 0)
        return;
    std::vector<PlotLayout::AxisLabel> ticks;
    std::vector<QString> texts;
    // at most one tick per label width across the plot, so the loop is short
    for (double k = std::ceil(low / tickStep); k * tickStep <= high; ++k) {
        texts.push_back(text(k * tickStep));
        ticks.push_back(
            {XOfCounts(line->CountsAt(k * tickStep)), metrics.horizontalAdvance(texts.back())});
    }
    const QRect row = BottomRow(1);
    const std::vector<PlotLayout::Box> boxes = PlotLayout::PlaceAxisLabels(
        ticks, metrics.horizontalAdvance(QStringLiteral("nm")) + textGap, width(), row.top(),
        row.height());
    for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i].width > 0)
            wavelengthLabels.push_back({boxes[i], texts[i]});
}

void SweepPlot::DrawWavelengthAxis(QPainter& painter) const {
    if (!line)
        return;
    const QRect row = BottomRow(1);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(row, Qt::AlignLeft, QStringLiteral("nm"));
    for (const AxisText& label : wavelengthLabels) {
        const int x = label.box.left + label.box.width / 2;
        painter.drawLine(x, row.top() - 3, x, row.top() - 1); // a tick in the gap above
        painter.drawText(QRect(label.box.left, label.box.top, label.box.width, label.box.height),
                         Qt::AlignCenter, label.text);
    }
}

void SweepPlot::DrawCaption(QPainter& painter) const {
    if (caption.isEmpty())
        return;
    const QRect row = BottomRow(BottomRows() - 1).adjusted(PlotRect().left(), 0, 0, 0);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(row, Qt::AlignLeft,
                     fontMetrics().elidedText(caption, Qt::ElideRight, row.width()));
}

void SweepPlot::mouseMoveEvent(QMouseEvent* event) {
    ShowReadoutAt(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void SweepPlot::leaveEvent(QEvent* event) {
    HideReadout();
    QWidget::leaveEvent(event);
}

void SweepPlot::ShowReadoutAt(const QPoint& position) {
    const QRect plot = PlotRect();
    if (sweeping || !plot.contains(position)) {
        HideReadout();
        return;
    }
    const double counts = std::clamp(
        (position.x() - plot.left()) * lastCounts / std::max(1, plot.width() - 1), 0.0, lastCounts);
    const long whole = std::lround(counts);
    QString full = QString::number(whole) + " counts";
    QString brief = QString::number(whole);
    if (line) {
        const QString nm = QString::number(line->WavelengthAt(whole), 'f', 1) + " nm";
        full += ", " + nm;
        brief += ", " + nm;
    }
    if (!readings.empty()) {
        const size_t index =
            std::min(static_cast<size_t>(std::lround(counts / step)), readings.size() - 1);
        full += ", reading " + QString::number(readings[index]);
        brief += ", " + QString::number(readings[index]);
    }
    // between the counts axis's end labels, over its title
    const QFontMetrics metrics = fontMetrics();
    const QRect row = BottomRow(0);
    const PlotLayout::PlacedLabel placed = PlotLayout::PlaceReadout(
        position.x(), metrics.horizontalAdvance(full) + textGap,
        metrics.horizontalAdvance(brief) + textGap,
        plot.left() + metrics.horizontalAdvance(QStringLiteral("0")) + textGap,
        plot.left() + plot.width() - metrics.horizontalAdvance(QStringLiteral("4095")) - textGap,
        row.top(), row.height());
    const QString text = placed.box.width > 0 ? (placed.shortened ? brief : full) : QString();
    if (text == readout.text && placed.box.left == readout.box.left)
        return;
    readout = {placed.box, text};
    update(row);
}

void SweepPlot::HideReadout() {
    if (readout.text.isEmpty())
        return;
    readout = {};
    update(BottomRow(0));
}

QRect SweepPlot::CountsTitleRect() const {
    return QRect(PlotRect().left(), BottomRow(0).top(), PlotRect().width(), BottomRow(0).height());
}

void SweepPlot::DrawCountsTitle(QPainter& painter) const {
    if (!readout.text.isEmpty())
        return; // the readout stands in its place
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(CountsTitleRect(), Qt::AlignHCenter, QStringLiteral("DA counts"));
}

void SweepPlot::DrawReadout(QPainter& painter) const {
    if (readout.text.isEmpty())
        return;
    painter.setPen(palette().color(QPalette::WindowText));
    const PlotLayout::Box& box = readout.box;
    painter.drawText(QRect(box.left, box.top, box.width, box.height), Qt::AlignCenter,
                     readout.text);
}

void SweepPlot::PaintPicture(QPainter& painter, const QSize& size) const {
    // A copy laid out at the picture's size, so the layout is the one this
    // size would get on the screen; the font in pixels, so every device and
    // screen scale gives the same picture.
    SweepPlot copy;
    QFont pixels = font();
    pixels.setPixelSize(QFontInfo(font()).pixelSize());
    copy.setFont(pixels);
    copy.setPalette(palette());
    copy.readings = readings;
    copy.markers = markers;
    copy.step = step;
    copy.scaleTop = scaleTop;
    copy.swept = swept;
    copy.line = line;
    copy.caption = caption;
    const int margin = copy.fontMetrics().height() / 2; // the page's room around the plot
    copy.resize(size - QSize(2 * margin, 2 * margin));
    copy.UpdateLayout();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(QPoint(0, 0), size), palette().color(QPalette::Base));
    painter.translate(margin, margin);
    copy.DrawBackground(painter);
    copy.DrawMarkers(painter);
    copy.DrawCountsTitle(painter);
    painter.restore();
}
