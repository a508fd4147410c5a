#include "calibration/SweepPlot.h"

#include "calibration/SampleGrid.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kSmallestTop = 256;
constexpr int32_t kLargestTop = 1 << 30;
constexpr double kLastCounts = CalibrationCore::kCountsRange - 1;
const QColor kCurveColour(31, 95, 191);

} // namespace

SweepPlot::SweepPlot(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
    UpdateLayout();
}

void SweepPlot::BeginSweep(int32_t sampleCount) {
    swept_ = true;
    readings_.clear();
    readings_.reserve(static_cast<size_t>(CalibrationCore::SweepSampleCount(sampleCount)));
    markers_.clear();
    step_ = CalibrationCore::SampleStep(sampleCount);
    scaleTop_ = kSmallestTop;
    pending_ = QRect();
    RebuildCache();
    repaint();
}

void SweepPlot::AddReading(int32_t index, int32_t reading) {
    if (index < 0)
        return;
    const size_t at = static_cast<size_t>(index);
    if (at >= readings_.size())
        readings_.resize(at + 1, 0);
    readings_[at] = reading;
    if (FitScale(reading)) {
        RebuildCache();
        pending_ = rect();
        return;
    }
    if (cache_.isNull())
        return;
    const QPointF to = PointOf(at);
    const QPointF from = at == 0 ? to : PointOf(at - 1);
    {
        QPainter painter(&cache_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRect(PlotRect());
        painter.setPen(QPen(kCurveColour, 1.2));
        painter.drawLine(from, to);
    }
    pending_ |= QRectF(from, to).normalized().adjusted(-3, -3, 3, 3).toAlignedRect();
}

void SweepPlot::RepaintPending() {
    if (pending_.isEmpty())
        return;
    repaint(pending_);
    pending_ = QRect();
}

void SweepPlot::ShowReadings(const std::vector<int32_t>& readings, int32_t sampleCount) {
    BeginSweep(sampleCount);
    readings_ = readings;
    for (const int32_t reading : readings_)
        FitScale(reading);
    RebuildCache();
    repaint();
}

void SweepPlot::SetMarkers(std::vector<Marker> markers) {
    markers_ = std::move(markers);
    // more label rows make the plotted area lower: the cache is drawn anew
    RebuildCache();
    repaint();
}

int SweepPlot::XOfCounts(double counts) const {
    const QRect plot = PlotRect();
    const double clamped = std::clamp(counts, 0.0, kLastCounts);
    return plot.left() + static_cast<int>(std::lround(clamped * (plot.width() - 1) / kLastCounts));
}

void SweepPlot::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = cache_.devicePixelRatio();
    painter.drawPixmap(dirty, cache_,
                       QRectF(dirty.x() * ratio, dirty.y() * ratio, dirty.width() * ratio,
                              dirty.height() * ratio));
    DrawMarkers(painter);
}

void SweepPlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RebuildCache();
}

void SweepPlot::UpdateLayout() {
    const QFontMetrics metrics = fontMetrics();
    // room for the widest scale the axis can show, so its top label is never cut
    const int axisLabelWidth = std::max(metrics.horizontalAdvance(QStringLiteral("00000")),
                                        metrics.horizontalAdvance(QString::number(scaleTop_)));
    PlotLayout::MarginInput input{metrics.height(), axisLabelWidth, 1};
    auto inside = [this](const PlotLayout::Margins& margins) {
        return QRect(margins.left, margins.top, std::max(2, width() - margins.left - margins.right),
                     std::max(2, height() - margins.top - margins.bottom));
    };
    // The labels stand over the markers' columns, which the rows above do not move.
    plotRect_ = inside(PlotLayout::PlotMargins(input));
    PlaceLabels();
    input.labelRows = labels_.rows;
    plotRect_ = inside(PlotLayout::PlotMargins(input));
}

QString SweepPlot::FullLabel(const Marker& marker) const {
    return marker.label + ' ' + QString::number(marker.counts);
}

void SweepPlot::PlaceLabels() {
    const QFontMetrics metrics = fontMetrics();
    std::vector<PlotLayout::MarkerLabel> labels;
    for (const Marker& marker : markers_)
        labels.push_back({XOfCounts(marker.counts),
                          metrics.horizontalAdvance(FullLabel(marker)) + 4,
                          metrics.horizontalAdvance(QString::number(marker.counts)) + 4});
    labels_ = PlotLayout::PlaceMarkerLabels(labels, width(), metrics.height());
}

QPointF SweepPlot::PointOf(size_t index) const {
    const QRect plot = PlotRect();
    const double counts =
        std::min(static_cast<double>(index) * step_, kLastCounts); // last sample of a 1-step sweep
    const double reading = std::clamp<double>(readings_[index], 0.0, scaleTop_);
    return QPointF(plot.left() + counts * (plot.width() - 1) / kLastCounts,
                   plot.bottom() - reading * (plot.height() - 1) / scaleTop_);
}

bool SweepPlot::FitScale(int32_t reading) {
    bool changed = false;
    while (reading > scaleTop_ && scaleTop_ < kLargestTop) {
        scaleTop_ *= 2;
        changed = true;
    }
    return changed;
}

void SweepPlot::RebuildCache() {
    UpdateLayout();
    if (width() <= 0 || height() <= 0) {
        cache_ = QPixmap();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    cache_ = QPixmap(size() * ratio);
    cache_.setDevicePixelRatio(ratio);
    cache_.fill(Qt::transparent); // the page shows through around the plot

    QPainter painter(&cache_);
    painter.setFont(font());
    const QRect plot = PlotRect();
    painter.fillRect(plot, palette().color(QPalette::Base));

    // a grid line every 1024 counts, labels at both ends and in the middle
    painter.setPen(QPen(palette().color(QPalette::Mid), 0, Qt::DotLine));
    for (int counts = 1024; counts < CalibrationCore::kCountsRange; counts += 1024)
        painter.drawLine(XOfCounts(counts), plot.top(), XOfCounts(counts), plot.bottom());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    const QFontMetrics metrics = fontMetrics();
    const int labelY = plot.bottom() + 2;
    const int labelHeight = metrics.height();
    painter.drawText(QRect(plot.left(), labelY, plot.width(), labelHeight), Qt::AlignLeft, "0");
    painter.drawText(QRect(plot.left(), labelY, plot.width(), labelHeight), Qt::AlignHCenter,
                     "DA counts");
    painter.drawText(QRect(plot.left(), labelY, plot.width(), labelHeight), Qt::AlignRight, "4095");
    const QRect axis(0, plot.top(), plot.left() - 3, plot.height());
    painter.drawText(axis, Qt::AlignRight | Qt::AlignTop, QString::number(scaleTop_));
    painter.drawText(axis, Qt::AlignRight | Qt::AlignBottom, "0");

    if (!swept_) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(plot, Qt::AlignCenter, tr("No sweep yet"));
        return;
    }
    QPolygonF curve;
    curve.reserve(static_cast<int>(readings_.size()));
    for (size_t i = 0; i < readings_.size(); ++i)
        curve.append(PointOf(i));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(plot);
    painter.setPen(QPen(kCurveColour, 1.2));
    painter.drawPolyline(curve);
}

void SweepPlot::DrawMarkers(QPainter& painter) const {
    const QRect plot = PlotRect();
    // the labels were placed for these markers when they were set
    for (size_t i = 0; i < markers_.size(); ++i) {
        const Marker& marker = markers_[i];
        const int x = XOfCounts(marker.counts);
        painter.setPen(QPen(marker.colour, 1, Qt::DashLine));
        painter.drawLine(x, plot.top(), x, plot.bottom());
        const PlotLayout::PlacedLabel& label = labels_.labels[i];
        painter.setPen(marker.colour);
        painter.drawText(QRect(label.box.left, label.box.top, label.box.width, label.box.height),
                         Qt::AlignCenter,
                         label.shortened ? QString::number(marker.counts) : FullLabel(marker));
    }
}
