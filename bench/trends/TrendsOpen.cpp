// How long the Trends window takes to open on a year of one modem (five-minute readings
// in an in-memory history), and, with a folder argument, its screenshots.
//
//     bench_trends_open [SHOTS_DIR]
//
// Prints the median of several openings after a first (cold) one: the window on its
// default 24 h of one reading, and the window showing the whole year of four readings
// (opened, four readings ticked, "1 year" pressed), each up to its first painted frame.

#include "qt/TrendsView.h"
#include "trends/FakeHistory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace linvar;

namespace {

constexpr int64_t kDay = 24 * 3600 * 1000LL;

std::vector<TrendMark> Marks(int64_t now, int64_t from, int64_t to) {
    const int64_t fade = now - 10 * kDay;
    std::vector<TrendMark> all = {
        {now - 100 * kDay, "Configuration changed", TrendMark::Kind::Note},
        {fade + 40 * 60 * 1000, "Warning", TrendMark::Kind::Alarm},
        {fade + 70 * 60 * 1000, "Fault", TrendMark::Kind::Alarm},
        {fade + 130 * 60 * 1000, "No fault", TrendMark::Kind::Clear},
    };
    std::erase_if(all, [&](const TrendMark& m) { return m.utcMs < from || m.utcMs > to; });
    return all;
}

void Paint(QWidget* w) {
    QApplication::processEvents();
    w->repaint();
    (void)w->grab();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    QElapsedTimer made;
    made.start();
    const FakeHistory history = YearOfOneUnit(now);
    std::printf("history: a year of 5 readings every 5 min (%zu points), made in %lld ms\n",
                history.points.begin()->second.size() * history.points.size(),
                static_cast<long long>(made.elapsed()));
    auto marks = [now](const UnitOfRecord&, int64_t from, int64_t to) {
        return Marks(now, from, to);
    };

    auto open = [&](bool year) {
        QElapsedTimer t;
        t.start();
        auto* view = new TrendsView(&history, marks, "0450");
        if (year) {
            auto* list = view->findChild<QListWidget*>(QStringLiteral("LstReadings"));
            for (int i : {1, 2, 4})
                list->item(i)->setCheckState(Qt::Checked);
            view->findChild<QAbstractButton*>(QStringLiteral("BtnSpan4"))->click();
        }
        view->show();
        Paint(view);
        const double ms = t.nsecsElapsed() / 1e6;
        return std::make_pair(view, ms);
    };

    for (bool year : {false, true}) {
        std::vector<double> times;
        double cold = 0;
        for (int i = 0; i < 8; ++i) {
            auto [view, ms] = open(year);
            if (i == 0)
                cold = ms;
            else
                times.push_back(ms);
            delete view;
            QApplication::processEvents();
        }
        std::printf("%-40s first %6.1f ms, then median %6.1f ms (max %6.1f) over %zu\n",
                    year ? "open on a year, four readings:" : "open on 24 h, one reading:", cold,
                    Median(times), *std::max_element(times.begin(), times.end()), times.size());
    }

    if (argc < 2)
        return 0;
    // Screenshots for the help pages: the year, the day, and the fade close up.
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    auto shot = [&](TrendsView* view, const char* name, double cursorAt) {
        auto* chart = view->findChild<QChartView*>(QStringLiteral("Chart"));
        Paint(view);
        const QRectF plot = chart->chart()->plotArea();
        const QPointF at(plot.left() + plot.width() * cursorAt, plot.center().y());
        QMouseEvent move(QEvent::MouseMove, at, chart->viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(chart->viewport(), &move);
        Paint(view);
        const QString file = dir.filePath(QString::fromLatin1(name));
        std::printf("%s %s\n", view->grab().save(file) ? "saved" : "could not save",
                    qPrintable(file));
    };
    auto* view = new TrendsView(&history, marks, "0450");
    auto* list = view->findChild<QListWidget*>(QStringLiteral("LstReadings"));
    list->item(1)->setCheckState(Qt::Checked);
    view->show();
    shot(view, "trends-day.png", 0.62);
    view->findChild<QAbstractButton*>(QStringLiteral("BtnSpan4"))->click();
    shot(view, "trends-year.png", 1 - 10.0 / 365);
    view->findChild<QAbstractButton*>(QStringLiteral("BtnSpan5"))->click();
    const int64_t fade = now - 10 * kDay;
    view->findChild<QDateTimeEdit*>(QStringLiteral("EdFrom"))
        ->setDateTime(QDateTime::fromMSecsSinceEpoch(fade - 6 * 3600 * 1000LL, Qt::UTC));
    view->findChild<QDateTimeEdit*>(QStringLiteral("EdTo"))
        ->setDateTime(QDateTime::fromMSecsSinceEpoch(fade + 9 * 3600 * 1000LL, Qt::UTC));
    view->findChild<QAbstractButton*>(QStringLiteral("BtnShowRange"))->click();
    shot(view, "trends-fade.png", 0.5);
    delete view;
    return 0;
}
