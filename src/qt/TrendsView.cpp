#include "qt/TrendsView.h"

#include "ui/TextFile.h"
#include "ui/UserError.h"

#include <QAreaSeries>
#include <QButtonGroup>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <set>

namespace linvar {

namespace {

// The chart is about 900 pixels wide: a point every two of them.
constexpr int kRoom = 450;

const QColor kLineColours[] = {QColor(0x1f, 0x4e, 0xb4), QColor(0xc0, 0x50, 0x00),
                               QColor(0x00, 0x80, 0x40), QColor(0x80, 0x20, 0x90)};

QColor MarkColour(TrendMark::Kind kind) {
    switch (kind) {
    case TrendMark::Kind::Alarm:
        return QColor(0xd0, 0x00, 0x00);
    case TrendMark::Kind::Clear:
        return QColor(0x00, 0x90, 0x00);
    case TrendMark::Kind::Note:
        break;
    }
    return QColor(0x70, 0x70, 0x70);
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

// The chart with the journal's marks and the cursor drawn over it. Positions on the time
// axis are worked out from the plot area and the span, so marks show on an empty chart too.
class TrendsChartView : public QChartView {
public:
    TrendsChartView(TrendsModel& model, QWidget* parent) : QChartView(parent), model_(model) {
        setMouseTracking(true);
        setRenderHint(QPainter::Antialiasing);
    }

    std::function<void(const std::string&)> onCursor;

    double X(int64_t utcMs) const {
        const QRectF plot = chart()->plotArea();
        const double span = double(model_.To() - model_.From());
        return plot.left() + (span > 0 ? (utcMs - model_.From()) / span * plot.width() : 0);
    }
    int64_t TimeAt(double x) const {
        const QRectF plot = chart()->plotArea();
        return model_.From() +
               int64_t((x - plot.left()) / plot.width() * double(model_.To() - model_.From()));
    }
    void clearCursor() {
        cursorX_ = -1;
        viewport()->update();
    }

protected:
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPointF at = mapToScene(e->position().toPoint());
        if (chart()->plotArea().contains(at)) {
            cursorX_ = at.x();
            if (onCursor)
                onCursor(model_.CursorText(TimeAt(at.x())));
        } else {
            cursorX_ = -1;
        }
        viewport()->update();
        QChartView::mouseMoveEvent(e);
    }
    void leaveEvent(QEvent* e) override {
        clearCursor();
        QChartView::leaveEvent(e);
    }
    void drawForeground(QPainter* p, const QRectF& rect) override {
        QChartView::drawForeground(p, rect);
        const QRectF plot = chart()->plotArea();
        p->save();
        for (const TrendMark& m : model_.Marks()) {
            const double x = X(m.utcMs);
            const QColor c = MarkColour(m.kind);
            QColor faint = c;
            faint.setAlpha(90);
            p->setPen(QPen(faint, 1));
            p->drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            p->setPen(Qt::NoPen);
            p->setBrush(c);
            const QPointF tip[] = {
                {x, plot.bottom() - 7}, {x - 4, plot.bottom()}, {x + 4, plot.bottom()}};
            p->drawPolygon(tip, 3);
        }
        if (cursorX_ >= plot.left() && cursorX_ <= plot.right()) {
            p->setPen(QPen(Qt::black, 1, Qt::DashLine));
            p->drawLine(QPointF(cursorX_, plot.top()), QPointF(cursorX_, plot.bottom()));
        }
        p->restore();
    }

private:
    TrendsModel& model_;
    double cursorX_ = -1;
};

TrendsView::TrendsView(const ReadingsHistory* history, TrendMarksSource marks,
                       const std::string& address, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    model_ = std::make_unique<TrendsModel>(
        history, std::move(marks), [] { return QDateTime::currentMSecsSinceEpoch(); }, address,
        kRoom);
    build();
    fillChoices();
    refresh();
    resize(1180, 700);
}

TrendsView::~TrendsView() = default;

void TrendsView::build() {
    auto* top = new QVBoxLayout(this);

    auto* choose = new QHBoxLayout;
    choose->addWidget(new QLabel(QStringLiteral("&Link:"), this));
    link_ = new QComboBox(this);
    link_->setObjectName(QStringLiteral("CbLink"));
    choose->addWidget(link_);
    choose->addSpacing(12);
    auto* unitCap = new QLabel(QStringLiteral("&Unit:"), this);
    choose->addWidget(unitCap);
    unit_ = new QComboBox(this);
    unit_->setObjectName(QStringLiteral("CbUnit"));
    unit_->setMinimumContentsLength(24);
    choose->addWidget(unit_);
    static_cast<QLabel*>(choose->itemAt(0)->widget())->setBuddy(link_);
    unitCap->setBuddy(unit_);
    choose->addSpacing(24);
    spans_ = new QButtonGroup(this);
    const char* spanTexts[] = {"1 h", "24 h", "7 d", "30 d", "1 year", "Custom"};
    for (int i = 0; i < 6; ++i) {
        auto* b = new QToolButton(this);
        b->setText(QString::fromLatin1(spanTexts[i]));
        b->setCheckable(true);
        b->setObjectName(QStringLiteral("BtnSpan%1").arg(i));
        spans_->addButton(b, i);
        choose->addWidget(b);
    }
    choose->addStretch(1);
    top->addLayout(choose);

    customRow_ = new QWidget(this);
    auto* custom = new QHBoxLayout(customRow_);
    custom->setContentsMargins(0, 0, 0, 0);
    from_ = new QDateTimeEdit(customRow_);
    to_ = new QDateTimeEdit(customRow_);
    for (QDateTimeEdit* e : {from_, to_}) {
        e->setTimeSpec(Qt::UTC);
        e->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"));
        e->setCalendarPopup(true);
    }
    from_->setObjectName(QStringLiteral("EdFrom"));
    to_->setObjectName(QStringLiteral("EdTo"));
    auto* show = new QPushButton(QStringLiteral("&Show range"), customRow_);
    show->setObjectName(QStringLiteral("BtnShowRange"));
    custom->addWidget(new QLabel(QStringLiteral("From"), customRow_));
    custom->addWidget(from_);
    custom->addWidget(new QLabel(QStringLiteral("to"), customRow_));
    custom->addWidget(to_);
    custom->addWidget(show);
    custom->addStretch(1);
    top->addWidget(customRow_);

    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("Notice"));
    top->addWidget(notice_);

    auto* middle = new QHBoxLayout;
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Readings (up to four):"), this));
    readings_ = new QListWidget(this);
    readings_->setObjectName(QStringLiteral("LstReadings"));
    readings_->setFixedWidth(200);
    side->addWidget(readings_, 1);
    middle->addLayout(side);
    chart_ = new TrendsChartView(*model_, this);
    chart_->setObjectName(QStringLiteral("Chart"));
    QChart* chart = chart_->chart();
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(4, 4, 4, 4));
    time_ = new QCategoryAxis;
    time_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    time_->setTitleText(QStringLiteral("UTC"));
    chart->addAxis(time_, Qt::AlignBottom);
    for (int side = 0; side < 2; ++side) {
        values_[side] = new QValueAxis;
        values_[side]->setLabelFormat(QStringLiteral("%.4g"));
        values_[side]->setGridLineVisible(side == 0);
        chart->addAxis(values_[side], side == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }
    middle->addWidget(chart_, 1);
    top->addLayout(middle, 1);

    cursor_ = new QLabel(QStringLiteral(" "), this);
    cursor_->setObjectName(QStringLiteral("CursorText"));
    cursor_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(cursor_);

    auto* buttons = new QHBoxLayout;
    auto* png = new QPushButton(QStringLiteral("Export &Picture..."), this);
    auto* csv = new QPushButton(QStringLiteral("Export &Data..."), this);
    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    png->setObjectName(QStringLiteral("BtnPng"));
    csv->setObjectName(QStringLiteral("BtnCsv"));
    close->setObjectName(QStringLiteral("BtnClose"));
    buttons->addWidget(png);
    buttons->addWidget(csv);
    buttons->addStretch(1);
    buttons->addWidget(help);
    buttons->addWidget(close);
    top->addLayout(buttons);

    connect(link_, &QComboBox::activated, this, [this](int i) {
        model_->ChooseLink(link_->itemData(i).toInt());
        fillChoices();
        refresh();
    });
    connect(unit_, &QComboBox::activated, this, [this](int i) {
        model_->ChooseUnit(unit_->itemData(i).toString().toStdString());
        fillChoices();
        refresh();
    });
    connect(readings_, &QListWidget::itemChanged, this, &TrendsView::toggled);
    connect(spans_, &QButtonGroup::idClicked, this, &TrendsView::chooseSpan);
    connect(show, &QPushButton::clicked, this, [this] {
        const std::string refused = model_->SetCustom(from_->dateTime().toMSecsSinceEpoch(),
                                                      to_->dateTime().toMSecsSinceEpoch());
        if (!refused.empty())
            return showNotice(refused, true);
        refresh();
    });
    connect(png, &QPushButton::clicked, this, &TrendsView::askPng);
    connect(csv, &QPushButton::clicked, this, &TrendsView::askCsv);
    connect(help, &QPushButton::clicked, this, [this] {
        if (onHelp)
            onHelp();
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    chart_->onCursor = [this](const std::string& text) { cursor_->setText(Q(text)); };

    // Spans that end now move with the clock.
    clock_ = new QTimer(this);
    clock_->setInterval(60 * 1000);
    connect(clock_, &QTimer::timeout, this, [this] {
        if (model_->Span() != TrendSpan::Custom) {
            model_->Reload();
            refresh();
        }
    });
    clock_->start();
}

void TrendsView::showUnit(const std::string& address) {
    model_->ChooseUnit(address);
    fillChoices();
    refresh();
}

void TrendsView::fillChoices() {
    filling_ = true;
    link_->clear();
    for (int l : model_->Links()) {
        link_->addItem(l ? QStringLiteral("Link %1").arg(l) : QStringLiteral("No link"), l);
        if (l == model_->Link())
            link_->setCurrentIndex(link_->count() - 1);
    }
    unit_->clear();
    for (const UnitOfRecord& u : model_->UnitsOn(model_->Link())) {
        unit_->addItem(Q(u.caption.empty() ? u.address : u.caption + " (" + u.address + ")"),
                       Q(u.address));
        if (model_->Unit() && u.address == model_->Unit()->address)
            unit_->setCurrentIndex(unit_->count() - 1);
    }
    readings_->clear();
    for (const ReadingKind& k : model_->Kinds()) {
        auto* item = new QListWidgetItem(
            Q(k.unit.empty() ? k.label : k.label + " (" + k.unit + ")"), readings_);
        item->setData(Qt::UserRole, Q(k.id));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(model_->IsChosen(k.id) ? Qt::Checked : Qt::Unchecked);
    }
    const bool any = model_->Unit() != nullptr;
    for (QWidget* w : {static_cast<QWidget*>(link_), static_cast<QWidget*>(unit_),
                       static_cast<QWidget*>(readings_)})
        w->setEnabled(any);
    filling_ = false;
}

void TrendsView::toggled(QListWidgetItem* item) {
    if (filling_)
        return;
    const std::string id = item->data(Qt::UserRole).toString().toStdString();
    const std::string refused = model_->Toggle(id);
    if (!refused.empty()) {
        filling_ = true;
        item->setCheckState(Qt::Unchecked);
        filling_ = false;
        return showNotice(refused, true);
    }
    refresh();
}

void TrendsView::chooseSpan(int span) {
    model_->SetSpan(static_cast<TrendSpan>(span));
    refresh();
}

void TrendsView::showNotice(const std::string& text, bool refused) {
    notice_->setText(Q(text));
    notice_->setStyleSheet(refused ? QStringLiteral("color: #c00000")
                                   : QStringLiteral("color: #0000c0"));
    notice_->setVisible(!text.empty());
}

void TrendsView::refresh() {
    const TrendsModel& m = *model_;
    setWindowTitle(Q(m.Title()));
    if (QAbstractButton* b = spans_->button(static_cast<int>(m.Span())))
        b->setChecked(true);
    customRow_->setVisible(m.Span() == TrendSpan::Custom);
    from_->setDateTime(QDateTime::fromMSecsSinceEpoch(m.From(), Qt::UTC));
    to_->setDateTime(QDateTime::fromMSecsSinceEpoch(m.To(), Qt::UTC));
    showNotice(m.Notice(), false);
    cursor_->setText(QStringLiteral(" "));
    chart_->clearCursor();

    QChart* chart = chart_->chart();
    chart->removeAllSeries();
    // Time runs along the bottom in UTC, labelled at round instants.
    for (const QString& label : time_->categoriesLabels())
        time_->remove(label);
    time_->setRange(double(m.From()), double(m.To()));
    time_->setStartValue(double(m.From()));
    std::set<QString> labels;
    for (const TimeTick& t : m.TimeTicks()) {
        QString label = Q(t.label);
        while (!labels.insert(label).second)
            label += QLatin1Char(' '); // the axis wants each label once
        time_->append(label, double(t.utcMs));
    }
    for (int side = 0; side < 2; ++side) {
        QValueAxis* a = values_[side];
        a->setRange(m.Axis(side).min, m.Axis(side).max);
        a->applyNiceNumbers();
        a->setTitleText(Q(m.Axis(side).unit));
        a->setVisible(side == 0 || !m.Axis(side).unit.empty());
    }

    int colour = 0;
    for (const TrendSeries& s : m.Series()) {
        const QColor c = kLineColours[colour++ % 4];
        const QString name =
            Q(s.kind.unit.empty() ? s.kind.label : s.kind.label + " (" + s.kind.unit + ")");
        bool named = false;
        for (const auto& [first, end] : s.runs) {
            if (s.band) {
                auto* upper = new QLineSeries;
                auto* lower = new QLineSeries;
                QList<QPointF> up, low;
                up.reserve(int(end - first));
                low.reserve(int(end - first));
                for (size_t i = first; i < end; ++i) {
                    const SeriesPoint& p = s.points[i];
                    const double lo = p.count > 1 ? std::min(p.min, p.mean) : p.mean;
                    const double hi = p.count > 1 ? std::max(p.max, p.mean) : p.mean;
                    up.append(QPointF(double(p.utcMs), hi));
                    low.append(QPointF(double(p.utcMs), lo));
                }
                upper->replace(up);
                lower->replace(low);
                auto* band = new QAreaSeries(upper, lower);
                upper->setParent(band);
                lower->setParent(band);
                QColor fill = c;
                fill.setAlpha(55);
                band->setBrush(fill);
                band->setPen(Qt::NoPen);
                chart->addSeries(band);
                band->attachAxis(time_);
                band->attachAxis(values_[s.axis]);
                for (QLegendMarker* mk : chart->legend()->markers(band))
                    mk->setVisible(false);
            }
            auto* line = new QLineSeries;
            QList<QPointF> pts;
            pts.reserve(int(end - first));
            for (size_t i = first; i < end; ++i)
                pts.append(QPointF(double(s.points[i].utcMs), s.points[i].mean));
            line->replace(pts);
            line->setPen(QPen(c, 1.6));
            line->setName(name);
            chart->addSeries(line);
            line->attachAxis(time_);
            line->attachAxis(values_[s.axis]);
            if (named)
                for (QLegendMarker* mk : chart->legend()->markers(line))
                    mk->setVisible(false);
            named = true;
        }
    }
    chart->legend()->setVisible(!m.Series().empty());
    chart_->viewport()->update();
}

bool TrendsView::exportPng(const QString& path) {
    return chart_->grab().save(path, "PNG");
}

bool TrendsView::exportCsv(const QString& path) {
    try {
        TextFile::replace(path.toStdString(), model_->CsvLines());
        return true;
    } catch (const UserError&) {
        return false;
    }
}

void TrendsView::askPng() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export the chart as a picture"), QStringLiteral("trends.png"),
        QStringLiteral("PNG pictures (*.png)"));
    if (!path.isEmpty() && !exportPng(path))
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("The picture could not be written to %1.").arg(path));
}

void TrendsView::askCsv() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export the chart's data"), QStringLiteral("trends.csv"),
        QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty() && !exportCsv(path))
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("The data could not be written to %1.").arg(path));
}

} // namespace linvar
