// The station's program entry. For now it shows the summary screen through the Qt
// binding; "--selftest" renders it once and ends, "--screenshot FILE" also saves it.

#include "qt/QtOperator.h"
#include "qt/ScreenView.h"
#include "summary/SummaryScreen.h"

#include <QApplication>
#include <QPixmap>
#include <cstdlib>

int main(int argc, char** argv) {
    bool render = false;
    QString shot;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--selftest"))
            render = true;
        else if (a == QLatin1String("--screenshot") && i + 1 < argc)
            render = true, shot = QString::fromLocal8Bit(argv[++i]);
    }
    // Rendering needs no display.
    if (render && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Linvar"));
    linvar::SummaryScreen screen;
    screen.RefreshSummary(linvar::SystemSetup{}, 0);
    linvar::ScreenView view(screen);
    linvar::QtOperator op(&view);
    screen.setErrorReporter([&op](const std::string& text) { op.report(text); });

    if (render) {
        view.adjustSize();
        const QPixmap pix = view.grab();
        if (pix.isNull() || (!shot.isEmpty() && !pix.save(shot)))
            return 1;
        return 0;
    }
    view.show();
    return app.exec();
}
