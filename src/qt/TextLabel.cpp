#include "qt/TextLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace linvar {

TextLabel::TextLabel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    measure();
}

void TextLabel::setText(const QString& text) {
    if (text == text_)
        return;
    const QSize before = room();
    text_ = text;
    measure();
    if (room() != before)
        updateGeometry();
    update();
}

void TextLabel::setAlignment(Qt::Alignment a) {
    if (a == alignment_)
        return;
    alignment_ = a;
    update();
}

QSize TextLabel::sizeHint() const {
    return hint_;
}

QSize TextLabel::room() const {
    return hint_.expandedTo(minimumSize());
}

void TextLabel::measure() {
    const QFontMetrics fm = fontMetrics();
    int width = -1;
    for (const Measured& m : measured_)
        if (m.width >= 0 && m.text == text_)
            width = m.width;
    if (width < 0) {
        width = fm.horizontalAdvance(text_);
        measured_[nextMeasured_] = {text_, width};
        nextMeasured_ = (nextMeasured_ + 1) % measured_.size();
    }
    const QMargins m = contentsMargins();
    hint_ = QSize(width + m.left() + m.right(), fm.height() + m.top() + m.bottom());
}

void TextLabel::paintEvent(QPaintEvent*) {
    if (text_.isEmpty())
        return;
    QPainter p(this);
    style()->drawItemText(&p, contentsRect(), static_cast<int>(alignment_), palette(), isEnabled(),
                          text_, foregroundRole());
}

void TextLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        measured_ = {};
        measure();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace linvar
