#include "qt/TextLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace linvar {

namespace {

// What a screen reader (or a desktop automation tool) reads of a label: its text.
class TextLabelAccessible : public QAccessibleWidget {
public:
    explicit TextLabelAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<const TextLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* accessibleLabel(const QString& key, QObject* object) {
    if (key == QLatin1String(TextLabel::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new TextLabelAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

TextLabel::TextLabel(QWidget* parent) : QWidget(parent) {
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleLabel);
        return true;
    }();
    (void)accessible;
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
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
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
