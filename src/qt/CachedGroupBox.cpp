#include "qt/CachedGroupBox.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace linvar {

namespace {

bool sameLook(const QStyleOptionGroupBox& a, const QStyleOptionGroupBox& b) {
    return a.rect == b.rect && a.state == b.state && a.text == b.text &&
           a.subControls == b.subControls && a.activeSubControls == b.activeSubControls &&
           a.textAlignment == b.textAlignment && a.features == b.features &&
           a.lineWidth == b.lineWidth && a.palette.cacheKey() == b.palette.cacheKey() &&
           a.palette.currentColorGroup() == b.palette.currentColorGroup() &&
           a.fontMetrics.height() == b.fontMetrics.height() && a.direction == b.direction;
}

} // namespace

void CachedGroupBox::paintEvent(QPaintEvent* event) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const qreal ratio = devicePixelRatioF();
    if (frame_.isNull() || frame_.devicePixelRatio() != ratio || font() != drawnFont_ ||
        !sameLook(option, drawn_)) {
        frame_ = QPixmap(size() * ratio);
        frame_.setDevicePixelRatio(ratio);
        frame_.fill(Qt::transparent);
        QPainter p(&frame_);
        p.setFont(font());
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &p, this);
        drawn_ = option;
        drawnFont_ = font();
    }
    QPainter p(this);
    const QRect r = event->rect();
    p.drawPixmap(r, frame_, QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
}

} // namespace linvar
