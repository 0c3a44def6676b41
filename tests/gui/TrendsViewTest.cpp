// The Trends window on the offscreen platform over a year of one modem: what the operator
// sees after choosing readings and spans, the cursor's read-out, the journal's marks on the
// chart, and the files the exports write.

#include "qt/TrendsView.h"
#include "TempDir.h"
#include "trends/FakeHistory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAreaSeries>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QValueAxis>
#include <QtTest>

using namespace linvar;

namespace {

constexpr int64_t kDay = 24 * 3600 * 1000LL;

class TrendsViewTest : public QObject {
    Q_OBJECT

    template <class T> T* find(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no %s", name);
        return c;
    }
    static QStringList lines(QChart* chart) {
        QStringList names;
        for (QAbstractSeries* s : chart->series())
            if (s->type() == QAbstractSeries::SeriesTypeLine && !names.contains(s->name()))
                names << s->name();
        return names;
    }
    static int bands(QChart* chart) {
        int n = 0;
        for (QAbstractSeries* s : chart->series())
            n += s->type() == QAbstractSeries::SeriesTypeArea;
        return n;
    }

private slots:
    void aYearOfOneModem() {
        const int64_t now = QDateTime::currentMSecsSinceEpoch();
        FakeHistory history = YearOfOneUnit(now);
        const int64_t fault = now - 10 * kDay;
        auto marks = [fault](const UnitOfRecord& u, int64_t from, int64_t to) {
            std::vector<TrendMark> out;
            if (u.address == "0450" && fault >= from && fault <= to)
                out.push_back({fault, "Fault", TrendMark::Kind::Alarm});
            return out;
        };
        auto* view = new TrendsView(&history, marks, "0450");
        QPointer<TrendsView> alive(view);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));

        auto* units = find<QComboBox>(view, "CbUnit");
        QCOMPARE(QStringList({view->windowTitle(), find<QComboBox>(view, "CbLink")->currentText(),
                              units->currentText(), QString::number(units->count())}),
                 QStringList({"Trends - Modem 1, Local end (0450)", "Link 1",
                              "Modem 1, Local end (0450)", "2"}));
        auto* list = find<QListWidget>(view, "LstReadings");
        QVERIFY(list->count() == 5 && list->item(0)->checkState() == Qt::Checked);
        auto* chartView = find<QChartView>(view, "Chart");
        // Each choice draws a chart afresh; a day of five-minute readings fits it: no band.
        auto chart = [chartView] { return chartView->chart(); };
        QCOMPARE(lines(chart()), QStringList{QStringLiteral("Eb/No (dB)")});
        QCOMPARE(bands(chart()), 0);

        // A second unit of measure goes on the right; a third is refused and left unticked.
        list->item(1)->setCheckState(Qt::Checked);
        list->item(3)->setCheckState(Qt::Checked);
        QCOMPARE(lines(chart()),
                 (QStringList{QStringLiteral("Eb/No (dB)"), QStringLiteral("Rx level (dBm)")}));
        auto* notice = find<QLabel>(view, "Notice");
        QCOMPARE(notice->text().toStdString(), view->model().Notice());
        QCOMPARE(list->item(3)->checkState(), Qt::Unchecked);
        QCOMPARE(chart()->axes(Qt::Vertical).size(), 2);
        QCOMPARE(chart()->axes(Qt::Vertical)[1]->titleText(), QStringLiteral("dBm"));
        QCOMPARE(chart()->axes(Qt::Vertical, chart()->series()[0]).size(), 1);

        // A year: merged points with their bands, the fade's journal entry on the axis, and
        // five days without readings breaking the lines.
        QTest::mouseClick(find<QAbstractButton>(view, "BtnSpan4"), Qt::LeftButton);
        QVERIFY(notice->text().isEmpty() && bands(chart()) == 4);
        const QRectF plot = chart()->plotArea();
        const double x = plot.left() + plot.width() * (1 - 10.0 / 365);
        const QImage shot = chartView->grab().toImage();
        const QColor tip = shot.pixelColor(int(x), int(plot.bottom()) - 2);
        QVERIFY2(tip.red() > 180 && tip.green() < 80, qPrintable(tip.name()));

        // The cursor over the fade reads the time and both readings, with the entry near it.
        const QPointF over(x, plot.center().y());
        QMouseEvent move(QEvent::MouseMove, over, chartView->viewport()->mapToGlobal(over),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(chartView->viewport(), &move);
        const QString read = find<QLabel>(view, "CursorText")->text();
        QVERIFY2(read.contains(QRegularExpression(
                     "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d UTC   Eb/No \\d+\\.\\d+ dB \\(.* "
                     "readings\\)   Rx level -\\d+\\.\\d dBm .*   Fault at ")),
                 qPrintable(read));

        TempDir dir;
        const QString png = QString::fromStdString((dir.path() / "chart.png").string());
        const QString csv = QString::fromStdString((dir.path() / "chart.csv").string());
        QVERIFY(view->exportPng(png));
        QCOMPARE(QImage(png).size(), chartView->size());
        // The CSV is the model's (its own test reads it): here, that it is the chart's.
        QFile f(csv);
        QVERIFY(view->exportCsv(csv) && f.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = f.readAll().split('\n');
        QVERIFY(rows[0].trimmed().endsWith("Rx level readings") && rows.size() > 300);
        QVERIFY(!view->exportCsv(QStringLiteral("/nonexistent/folder/x.csv")));

        // The other unit of the link offers Eb/No alone, kept ticked; it has no readings.
        units->setCurrentIndex(1);
        emit units->activated(1);
        QCOMPARE(view->windowTitle(), QStringLiteral("Trends - Modem 1, Distant end (0451)"));
        QVERIFY(list->count() == 1 && list->item(0)->checkState() == Qt::Checked);
        QCOMPARE(lines(chart()), QStringList{});
        QCOMPARE(notice->text(), QStringLiteral("No readings of this unit in this span."));

        QTest::mouseClick(find<QAbstractButton>(view, "BtnClose"), Qt::LeftButton);
        QTRY_VERIFY(!alive);
    }
};

} // namespace

QTEST_MAIN(TrendsViewTest)
#include "TrendsViewTest.moc"
