#pragma once
// A label of one line of plain text. It asks its window for a new layout only when the
// text needs another size than it has been given: the summary's marks and the detail
// windows' readings change on every poll, and a layout of the whole window for each of
// them cost more than everything else the station does.

#include <QWidget>
#include <array>

namespace linvar {

class TextLabel : public QWidget {
    Q_OBJECT
public:
    explicit TextLabel(QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment a);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The size the layout works with: what the text needs, at least the minimum set.
    QSize room() const;
    void measure();

    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    QSize hint_;
    // The widths of the last few texts: marks and states come back again and again,
    // and measuring a text means shaping it.
    struct Measured {
        QString text;
        int width = -1;
    };
    std::array<Measured, 4> measured_;
    size_t nextMeasured_ = 0;
};

} // namespace linvar
