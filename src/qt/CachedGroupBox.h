#pragma once
// A group box that draws its frame and title once for each size and state, then copies
// them: every change of a label inside repaints the box beneath it, and the style loads
// the frame's picture and shapes the title anew on each paint.

#include <QGroupBox>
#include <QPixmap>
#include <QStyleOptionGroupBox>

namespace linvar {

class CachedGroupBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap frame_;
    QStyleOptionGroupBox drawn_; // what frame_ shows
    QFont drawnFont_;
};

} // namespace linvar
