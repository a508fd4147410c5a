#pragma once

#include <QPixmap>
#include <QProxyStyle>

class QStyleOptionProgressBar;

// Draws a progress bar without text from two pictures of it, empty and full,
// drawn once by the widget's own style for each size, state and palette: the
// filled part comes from the full one, the rest from the empty one. A sweep
// repaints its bar every 50 ms while the line is the limit, and the
// style's own drawing of a bar costs more than the sweep can spare; two
// copies cost almost nothing.
class CachedProgressStyle : public QProxyStyle {
public:
    CachedProgressStyle() = default;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

private:
    QPixmap Picture(const QStyleOptionProgressBar& bar, int progress, qreal ratio,
                    const QWidget* widget) const;

    // what the pictures were drawn for
    mutable QSize size;
    mutable qint64 paletteKey = 0;
    mutable int state = 0;
    mutable qreal ratio = 0;
    mutable QPixmap empty;
    mutable QPixmap full;
};
