// The station's program entry: the command line, the data folder, the serial port with
// its receive thread, the main window and its dialogs on the Qt binding, the 50 ms tick,
// and for --demo the simulated installation on a pseudo-terminal.
//
// linvar [Brivola] [--data-dir DIR] [--com N=PATH]... [--demo] [--replay FILE]
//        [--status-port PORT [--status-bind ADDR]]
// Extra: --selftest renders the main window once and ends; --screenshot FILE saves it.

#include "DemoInstallation.h"
#include "PtyServer.h"

#include "app/CommandLine.h"
#include "app/Demo.h"
#include "app/Replay.h"
#include "app/Station.h"
#include "export/StatusServer.h"
#include "qt/QtClock.h"
#include "qt/QtOperator.h"
#include "qt/QtScheduler.h"
#include "qt/ScreenView.h"
#include "qt/StationWindows.h"
#include "qt/TrendsView.h"
#include "serial/CommsDialog.h"
#include "serial/CommsLink.h"
#include "serial/Dispatcher.h"
#include "serial/SerialPort.h"
#include "trends/JournalMarks.h"
#include "ui/UserError.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

std::filesystem::path programFolder(const char* argv0) {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path();
}

// Help pages live in docs/help beside the program, or in the source tree above a build
// folder; the "Linvar47.HLP" of the data folder names the same topics.
QString helpFolderFor(const std::filesystem::path& exeDir) {
    for (const auto& candidate : {exeDir / "docs" / "help", exeDir.parent_path() / "docs" / "help",
                                  std::filesystem::path(LINVAR_SOURCE_DIR) / "docs" / "help"}) {
        std::error_code ec;
        if (std::filesystem::is_directory(candidate, ec))
            return QString::fromStdString(candidate.string());
    }
    return QString::fromStdString((exeDir / "docs" / "help").string());
}

int fail(const QString& text) {
    std::fprintf(stderr, "linvar: %s\n", text.toLocal8Bit().constData());
    if (qApp && !qEnvironmentVariableIsSet("LINVAR_NO_DIALOGS"))
        QMessageBox::critical(nullptr, QStringLiteral("Linvar"), text);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool selftest = false;
    std::string shot;
    for (auto it = args.begin(); it != args.end();) {
        if (*it == "--selftest") {
            selftest = true;
            it = args.erase(it);
        } else if (*it == "--screenshot" && it + 1 != args.end()) {
            selftest = true;
            shot = *(it + 1);
            it = args.erase(it, it + 2);
        } else {
            ++it;
        }
    }
    // The time zone is read once: without TZ every local-time conversion of the toolkit
    // would look at the zone file again, many times a second.
    if (!std::getenv("TZ"))
        setenv("TZ", ":/etc/localtime", 1);

    // --help and --version answer without a display.
    linvar::CommandLine cl = linvar::ParseCommandLine(args);
    if (cl.help) {
        std::fputs(linvar::UsageText().c_str(), stdout);
        return 0;
    }
    if (cl.version) {
        std::fputs(linvar::VersionText().c_str(), stdout);
        return 0;
    }
    for (const std::string& w : cl.warnings)
        std::fprintf(stderr, "linvar: %s\n", w.c_str());
    if (selftest && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Linvar"));

    if (!cl.ok()) {
        QString text;
        for (const auto& e : cl.errors)
            text += QString::fromStdString(e) + QLatin1Char('\n');
        std::fputs(linvar::UsageText().c_str(), stderr);
        return fail(text.trimmed());
    }

    const std::filesystem::path exeDir = programFolder(argv[0]);
    std::filesystem::path dataDir;
    std::unique_ptr<linvar::sim::Bus> demoBus;
    std::unique_ptr<linvar::sim::PtyServer> demoServer;
    if (cl.demo) {
        try {
            dataDir = linvar::MakeDemoFolder();
            demoBus = std::make_unique<linvar::sim::Bus>();
            linvar::sim::populateDemo(*demoBus, (dataDir / "SysSetup.txt").string());
            demoServer = std::make_unique<linvar::sim::PtyServer>(*demoBus);
            demoServer->setTicker(linvar::sim::advanceDemo);
            cl.com.set(linvar::DemoComPort, demoServer->start());
            cl.directStart = true;
        } catch (const std::exception& e) {
            return fail(QStringLiteral("The demo installation could not be started: %1")
                            .arg(QString::fromStdString(e.what())));
        }
    } else {
        const linvar::DataFolder folder = linvar::ChooseDataFolder(cl.dataDir, exeDir);
        if (!folder.ok())
            return fail(QString::fromStdString(folder.error));
        dataDir = folder.path;
    }

    linvar::QtClock clock;
    linvar::QtOperator qtOperator(nullptr);
    qtOperator.setHelpFolder(helpFolderFor(exeDir));
    linvar::ReplayOperator op(qtOperator);

    // The receive thread hands every event to this thread and waits for it.
    linvar::PostingDispatcher dispatcher([](std::function<void()> fn) {
        QMetaObject::invokeMethod(qApp, std::move(fn), Qt::QueuedConnection);
    });
    // A failure in a hand-off (a capture file on a full disk) is reported after the call
    // has finished, so the receive thread never waits on the operator.
    dispatcher.setErrorSink([&op](const std::string& text) {
        QMetaObject::invokeMethod(
            qApp, [&op, text] { op.report(text); }, Qt::QueuedConnection);
    });
    linvar::SerialPort serial(dispatcher, cl.com);
    linvar::Station top(
        {clock,
         op,
         serial,
         {},
         dataDir,
         "linvar",
         [] { return QGuiApplication::applicationState() == Qt::ApplicationActive; },
         [] { QApplication::beep(); }});
    linvar::ConnectCommsPort(serial, top.Link());
    serial.SetErrorDialog([&qtOperator](const std::string& text) { qtOperator.report(text); });

    // The read-only status export, fed with snapshots from this thread.
    linvar::StatusServer statusServer;
    if (cl.statusPort)
        top.StartStatusExport(statusServer, cl.statusBind, *cl.statusPort);

    linvar::StationWindows windows;
    QPointer<linvar::TrendsView> trends;
    std::optional<linvar::Replay> replay;
    if (cl.replay) {
        replay.emplace(top, op);
        try {
            replay->loadFile(*cl.replay);
        } catch (const linvar::UserError& e) {
            return fail(QString::fromStdString(e.what()));
        }
        // The front window: the Trends window while it is open over its opener.
        replay->setScreenshot([&windows, &trends](const std::filesystem::path& file) {
            QWidget* v = trends && trends->isVisible() ? static_cast<QWidget*>(trends.data())
                                                       : windows.front();
            return v && v->grab().save(QString::fromStdString(file.string()));
        });
    }

    // The Trends window, one at a time, belongs to the window that asked for it: a detail
    // window keeps the others out of reach, but not a window of its own; the main window's
    // stays open when the Alarms window closes.
    top.onTrends = [&](const std::string& address) {
        QWidget* opener = address.empty() ? windows.view(top.Main()) : windows.front();
        if (trends && trends->parentWidget() != opener)
            delete trends.data();
        if (trends) {
            if (!address.empty())
                trends->showUnit(address);
        } else {
            trends = new linvar::TrendsView(top.readings(), linvar::JournalMarks(dataDir), address,
                                            opener);
            trends->onHelp = [&op] { op.showHelp(linvar::TrendsModel::kHelpTopic); };
            trends->show();
        }
        trends->raise();
        trends->activateWindow();
    };

    int exitCode = 0;
    auto tick = [&] {
        top.Tick();
        if (replay && !replay->done())
            replay->tick();
        windows.update(top.Windows());
        windows.setProgramTitle(top.Main().Title());
        // A script's result is its expectations, whether it ends by itself or by quitting.
        if (replay && (replay->done() || top.QuitRequested())) {
            exitCode = replay->exitCode();
            if (replay->failed())
                std::fputs((replay->failureText() + "\n").c_str(), stderr);
            app.exit(0);
        }
        // exit(), not quit(): quit() would first ask every window to close, and the
        // windows' close buttons ask the station.
        if (top.QuitRequested())
            app.exit(0);
    };
    linvar::TickTimer timer(&op, tick);
    // LINVAR_TICK_STATS=FILE: how late the ticks ran, written there when the program ends.
    const char* tickStats = std::getenv("LINVAR_TICK_STATS");
    timer.measureLateness(tickStats && *tickStats);

    top.Activate(cl.directStart);
    windows.update(top.Windows());
    if (auto* main = windows.view(top.Main()))
        main->showMaximized();

    if (selftest) {
        windows.update(top.Windows());
        linvar::ScreenView* v = windows.view(top.Main());
        const QPixmap pix = v ? v->grab() : QPixmap();
        if (pix.isNull() || (!shot.empty() && !pix.save(QString::fromStdString(shot))))
            return 1;
        return 0;
    }

    timer.start();
    const int rc = app.exec();
    timer.stop();
    if (tickStats && *tickStats) {
        if (std::FILE* f = std::fopen(tickStats, "w")) {
            std::fputs(timer.lateness().report().c_str(), f);
            std::fclose(f);
        }
    }
    statusServer.Stop();
    serial.SetOpen(false);
    if (demoServer)
        demoServer->stop();
    return rc != 0 ? rc : exitCode;
}
