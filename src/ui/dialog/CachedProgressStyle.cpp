#include "ui/dialog/CachedProgressStyle.h"

#include <QPaintEngine>
#include <QPainter>
#include <QStyleOptionProgressBar>

#include <algorithm>

void CachedProgressStyle::drawControl(ControlElement element, const QStyleOption* option,
                                      QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
    // A bar that shows its text or no range is drawn by the style itself.
    if (element != CE_ProgressBar || !bar || bar->textVisible || bar->minimum >= bar->maximum) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The pictures are drawn at the pixel ratio of what the painter really draws
    // on: a widget's paint goes to its window's backing store, or to an image.
    const QPaintDevice* target =
        painter->paintEngine() ? painter->paintEngine()->paintDevice() : painter->device();
    const qreal targetRatio = target->devicePixelRatioF();
    const int barState = static_cast<int>(bar->state);
    if (bar->rect.size() != size || bar->palette.cacheKey() != paletteKey || barState != state ||
        targetRatio != ratio) {
        size = bar->rect.size();
        paletteKey = bar->palette.cacheKey();
        state = barState;
        ratio = targetRatio;
        empty = Picture(*bar, bar->minimum, ratio, widget);
        full = Picture(*bar, bar->maximum, ratio, widget);
    }
    const QRect contents = subElementRect(SE_ProgressBarContents, bar, widget);
    const qint64 done = std::clamp<qint64>(qint64(bar->progress) - bar->minimum, 0,
                                           qint64(bar->maximum) - bar->minimum);
    const int split =
        static_cast<int>(contents.left() - bar->rect.left() +
                         contents.width() * done / (qint64(bar->maximum) - bar->minimum));
    const int width = bar->rect.width();
    const int height = bar->rect.height();
    painter->drawPixmap(QRect(bar->rect.left(), bar->rect.top(), split, height), full,
                        QRectF(0, 0, split * ratio, height * ratio));
    painter->drawPixmap(QRect(bar->rect.left() + split, bar->rect.top(), width - split, height),
                        empty, QRectF(split * ratio, 0, (width - split) * ratio, height * ratio));
}

QPixmap CachedProgressStyle::Picture(const QStyleOptionProgressBar& bar, int progress, qreal ratio,
                                     const QWidget* widget) const {
    QPixmap picture(bar.rect.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QStyleOptionProgressBar option = bar;
    option.rect = QRect(QPoint(0, 0), bar.rect.size());
    option.progress = progress;
    QPainter painter(&picture);
    QProxyStyle::drawControl(CE_ProgressBar, &option, &painter, widget);
    return picture;
}
