// The Qt binding on the offscreen platform: widgets from a screen, colours, events back
// by control name, cheap repainting, the operator's boxes, timers and regional formats.

#include "TempDir.h"
#include "qt/QtClock.h"
#include "qt/QtOperator.h"
#include "qt/QtScheduler.h"
#include "qt/ScreenView.h"
#include "qt/TextLabel.h"
#include "ui/UserError.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

using namespace linvar;

namespace {

// A small set-up screen: one of each kind, with a log of the events that reached it.
struct TestScreen : Screen {
    std::vector<std::string> log;
    TestScreen() : Screen("Test", "Unit Set-up") {
        add("", "Grp", ControlKind::Group, "Addresses").setLayout(Layout::Grid, 2);
        add("Grp", "LblMod1", ControlKind::Label, "Modem 1").setWidth(12);
        add("Grp", "AddrMod1", ControlKind::Edit, "0001").setMaxLength(4);
        add("Grp", "CbRate", ControlKind::Combo).setItems({"1200", "9600", "19200"});
        at("CbRate").setSelected(1);
        add("Grp", "ChkLog", ControlKind::Check, "Link &Log").setChecked(true);
        add("", "BtnQuit", ControlKind::Button, "&Quit");
        add("", "Spare", ControlKind::Label, "spare");
        for (auto name : {"LblMod1", "BtnQuit", "AddrMod1", "CbRate", "ChkLog"}) {
            const std::string n = name;
            onClick(n, [this, n] { log.push_back("click " + n); });
            onDoubleClick(n, [this, n] { log.push_back("dbl " + n); });
            onEnter(n, [this, n] { log.push_back("enter " + n); });
            onLeave(n, [this, n] { log.push_back("leave " + n); });
        }
        // The handler rewrites what was typed: the rewrite must not come back as typing.
        onChange("AddrMod1", [this] {
            log.push_back("change " + at("AddrMod1").text());
            if (at("AddrMod1").text() == "x")
                at("AddrMod1").setText("X");
        });
        onChange("CbRate", [this] { log.push_back("rate " + at("CbRate").selectedText()); });
        onChange("ChkLog",
                 [this] { log.push_back(at("ChkLog").checked() ? "log on" : "log off"); });
    }
    int count(const std::string& entry) const {
        return static_cast<int>(std::count(log.begin(), log.end(), entry));
    }
};

template <typename W> W* w(ScreenView& v, const std::string& name) {
    auto* x = qobject_cast<W*>(v.widget(name));
    if (!x)
        qFatal("no widget %s of the expected kind", name.c_str());
    return x;
}

QMessageBox* openBox(const QString& text) {
    for (QWidget* t : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(t);
        if (box && box->isVisible() && box->text() == text)
            return box;
    }
    return nullptr;
}

} // namespace

class GuiTest : public QObject {
    Q_OBJECT
private slots:
    void widgetsShowTheScreen() {
        TestScreen s;
        ScreenView v(s);
        QCOMPARE(v.windowTitle(), QString("Unit Set-up"));
        QVERIFY(w<QLineEdit>(v, "AddrMod1")->maxLength() == 4 &&
                w<QCheckBox>(v, "ChkLog")->isChecked());
        QCOMPARE(w<QComboBox>(v, "CbRate")->currentText(), QString("9600"));
        // The station's texts are 8-bit, as its set-up files hold them.
        s["LblMod1"].setText("Z\xFCrich \x80");
        v.sync();
        QCOMPARE(w<TextLabel>(v, "LblMod1")->text(), QString::fromUtf8("Z\u00FCrich \u20AC"));
        // The width hint holds twelve digits.
        QVERIFY(v.widget("LblMod1")->minimumWidth() >=
                v.widget("LblMod1")->fontMetrics().horizontalAdvance("000000000000"));
        QCOMPARE(v.widget("AddrMod1")->parentWidget(), v.widget("Grp"));

        // The frame's close button does what the screen says: nothing without a close
        // control, else that control's click; the screen decides when its window goes.
        v.show();
        v.close();
        s.setCloseControl("BtnQuit");
        v.close();
        QVERIFY(v.isVisible() && s.log == std::vector<std::string>{"click BtnQuit"});
    }

    void aLabelAsksForANewLayoutOnlyWhenItsTextNeedsOtherRoom() {
        struct LayoutRequests : QObject {
            int n = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                n += e->type() == QEvent::LayoutRequest ? 1 : 0;
                return false;
            }
        } requests;
        TestScreen s;
        ScreenView v(s);
        v.show();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        qApp->installEventFilter(&requests);

        // Twelve digits of room: a reading that fits changes nothing but itself.
        for (const char* t : {"0042", "1.0 E-7", "-45.0 dBm", ""}) {
            s["LblMod1"].setText(t);
            v.sync();
            QCoreApplication::processEvents();
            QCOMPARE(w<TextLabel>(v, "LblMod1")->text(), QString(t));
        }
        QCOMPARE(requests.n, 0);

        // What a screen reader reads of it.
        s["LblMod1"].setText("-45.0 dBm");
        v.sync();
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(v.widget("LblMod1"));
        QVERIFY(read->role() == QAccessible::StaticText &&
                read->text(QAccessible::Name) == "-45.0 dBm");

        // A text that needs more room asks for it.
        s["LblMod1"].setText("Receive Signal Level too low for the demodulator");
        v.sync();
        QCoreApplication::processEvents();
        QVERIFY(requests.n > 0);
        qApp->removeEventFilter(&requests);
    }

    void syncShowsOnlyWhatChanged() {
        TestScreen s;
        ScreenView v(s);
        v.show();
        const uint64_t base = v.updates();
        v.sync();
        QCOMPARE(v.updates(), base); // nothing changed, nothing touched

        s["LblMod1"].setBackground(Colours::red).setTextColour(Colours::white).setText("0042");
        v.sync();
        QCOMPARE(v.updates(), base + 1);
        auto* lbl = w<TextLabel>(v, "LblMod1");
        QCOMPARE((QList<QColor>{lbl->palette().color(QPalette::Window),
                                lbl->palette().color(QPalette::WindowText)}),
                 (QList<QColor>{Qt::red, Qt::white}));

        // Setting a colour it already has is no change.
        s["LblMod1"].setBackground(Colours::red);
        v.sync();
        QCOMPARE(v.updates(), base + 1);

        s["LblMod1"].clearBackground();
        s["BtnQuit"].setEnabled(false);
        s["Spare"].setVisible(false);
        s["CbRate"].setItems({"300", "600"});
        s["CbRate"].setSelected(0);
        s.setCaption("Unit Set-up - Link 3");
        v.sync();
        QCOMPARE(v.updates(), base + 5);
        QVERIFY(!lbl->autoFillBackground() && !v.widget("BtnQuit")->isEnabled() &&
                v.widget("Spare")->isHidden());
        QCOMPARE(w<QComboBox>(v, "CbRate")->currentText() + v.windowTitle(),
                 QString("300Unit Set-up - Link 3"));
        QVERIFY(s.log.empty()); // changes made by sync raised no operator events

        // A hidden group's controls wait until it is shown, then show at once what
        // changed meanwhile, in the same sync that shows the group.
        s["Grp"].setVisible(false);
        v.sync();
        const uint64_t hidden = v.updates();
        for (int i = 0; i < 5; ++i) {
            s["LblMod1"].setText("000" + std::to_string(i));
            s["AddrMod1"].setVisible(i % 2 == 0);
            v.sync();
        }
        QCOMPARE(v.updates(), hidden);
        s["Grp"].setVisible(true);
        v.sync();
        QCOMPARE(lbl->text(), QString("0004"));
        QVERIFY(v.widget("AddrMod1")->isVisible());
    }

    void operatorEventsReachTheScreen() {
        TestScreen s;
        ScreenView v(s);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));

        QTest::mouseClick(v.widget("BtnQuit"), Qt::LeftButton);
        QTest::mouseDClick(v.widget("LblMod1"), Qt::LeftButton);
        QVERIFY(s.count("click BtnQuit") == 1 && s.count("dbl LblMod1") == 1);

        // Typing: each keystroke reaches the screen once; the box is cut at 4.
        auto* edit = w<QLineEdit>(v, "AddrMod1");
        edit->clear();
        s.log.clear();
        QTest::keyClicks(edit, "123456");
        QCOMPARE(s.log,
                 (std::vector<std::string>{"change 1", "change 12", "change 123", "change 1234"}));
        // A handler's rewrite shows in the box without coming back as typing.
        edit->clear();
        s.log.clear();
        QTest::keyClicks(edit, "x");
        QVERIFY(edit->text() == "X" && s.log == std::vector<std::string>{"change x"});
        emit edit->textEdited(QString::fromUtf8("\u00E9\u20AC"));
        QCOMPARE(s["AddrMod1"].text(), std::string("\xE9\x80"));

        s.log.clear();
        emit w<QComboBox>(v, "CbRate")->activated(2);
        QTest::mouseClick(v.widget("ChkLog"), Qt::LeftButton);
        s["ChkLog"].setChecked(true); // by the logic, not the operator: no event
        v.sync();
        QCOMPARE((std::vector<int>{s.count("rate 19200"), s.count("log off"), s.count("log on")}),
                 (std::vector<int>{1, 1, 0}));

        // A disabled button takes no click.
        s["BtnQuit"].setEnabled(false);
        v.sync();
        s.log.clear();
        QTest::mouseClick(v.widget("BtnQuit"), Qt::LeftButton);
        QVERIFY(s.log.empty());

        // Focus enters and leaves boxes; the window's first focus is not the operator's doing.
        QApplication::setActiveWindow(&v);
        QVERIFY(QTest::qWaitForWindowActive(&v));
        v.widget("CbRate")->setFocus(Qt::TabFocusReason);
        s.log.clear();
        v.widget("AddrMod1")->setFocus(Qt::TabFocusReason);
        v.widget("CbRate")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(s.log, (std::vector<std::string>{"leave CbRate", "enter AddrMod1",
                                                  "leave AddrMod1", "enter CbRate"}));
    }

    void handlerErrorsGoToTheReport() {
        TestScreen s;
        s.onClick("BtnQuit", [] { throw UserError("Disk full"); });
        ScreenView v(s);
        std::vector<std::string> reports;
        v.setReporter([&](const std::string& t) { reports.push_back(t); });
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(v.widget("BtnQuit"), Qt::LeftButton);
        QCOMPARE(reports, (std::vector<std::string>{"Disk full", "Disk full"}));
    }

    void reportsDoNotStack() {
        QtOperator op;
        for (const char* fault : {"File not found", "File not found", "Disk full"})
            op.report(fault);
        QVERIFY(op.openBoxes() == 2 && openBox("File not found")->icon() == QMessageBox::Critical);
        openBox("File not found")->button(QMessageBox::Ok)->click();
        op.report("File not found"); // closed: the same fault may be reported again
        QCOMPARE(op.openBoxes(), 2);
        for (const char* fault : {"File not found", "Disk full"})
            openBox(fault)->button(QMessageBox::Ok)->click();
        QCOMPARE(op.openBoxes(), 0);
    }

    void questionsAnswerThroughTheCallback() {
        QtOperator op;
        std::vector<Answer> answers;
        op.ask("Quit Program", "Quit?", BoxIcon::Question, Buttons::YesNo,
               [&](Answer a) { answers.push_back(a); });
        QMessageBox* box = openBox("Quit?");
        QVERIFY(box->windowTitle() == "Quit Program" && box->icon() == QMessageBox::Question &&
                answers.empty()); // no waiting in ask
        box->button(QMessageBox::No)->click();
        QCOMPARE(answers, std::vector<Answer>{Answer::No});

        op.ask("Problem - Model unknown", "Contact factory", BoxIcon::Exclamation, Buttons::Ok,
               [&](Answer a) { answers.push_back(a); });
        QCOMPARE(openBox("Contact factory")->icon(), QMessageBox::Warning);
        openBox("Contact factory")->reject(); // closed with Escape
        QCOMPARE(answers, (std::vector<Answer>{Answer::No, Answer::Ok}));
    }

    void fileFiltersAndHelp() {
        QCOMPARE(fileDialogFilters("Text Files|*.txt|") + fileDialogFilters("") +
                     fileDialogFilters("Set-up|*.txt;*.set|All|*.*"),
                 (QStringList{"Text Files (*.txt)", "All Files (*)", "Set-up (*.txt *.set)",
                              "All (*.*)"}));

        TempDir dir;
        dir.write("topic3.html", "<html><body><h1>Single link</h1></body></html>");
        QtOperator op;
        op.setHelpFolder(QString::fromStdString(dir.path().string()));
        for (auto [topic, text] :
             {std::pair{3, "Single link"}, {7, "Help topic 7 is not installed"}}) {
            op.showHelp(topic);
            QVERIFY(op.helpBrowser()->toPlainText().contains(text));
        }
    }

    void timersReportAndGoOn() {
        ScriptedOperator op;
        int runs = 0;
        TickTimer tick(&op, [&] {
            if (++runs == 2)
                throw UserError("I/O error 5");
        });
        tick.start();
        QTRY_VERIFY(runs >= 4);
        tick.stop();
        QCOMPARE(op.reports, std::vector<std::string>{"I/O error 5"});

        QObject context;
        QtScheduler sched(&context, &op);
        bool fired = false;
        sched.after(100, [&] { fired = true; });
        QVERIFY(!fired); // later, not at once
        QTRY_VERIFY(fired);
    }

    void regionalFormatsFromTheLocale() {
        using P = std::optional<std::string>;
        // What the patterns cannot say falls back to the defaults.
        for (auto [qt, want] : {std::pair<const char*, P>{"h:mm:ss AP t", "h:nn:ss AM/PM"},
                                {"HH:mm:ss t", "hh:nn:ss"},
                                {"ss", {}}})
            QCOMPARE(clockTimePattern(qt), want);
        for (auto [qt, want] : {std::pair<const char*, P>{"M/d/yy", "m/d/yy"},
                                {"d MMM yyyy", "d mmm yyyy"},
                                {"dddd, MMMM d, yyyy", {}}})
            QCOMPARE(clockDatePattern(qt), want);
        QCOMPARE(regionalFormats(QLocale(QLocale::Japanese)).longTime, RegionalFormats{}.longTime);
        const RegionalFormats us =
            regionalFormats(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(formatTime(us.longTime, 15, 4, 5) + " " + formatDate(us.shortDate, 2026, 12, 6),
                 std::string("3:04:05 PM 12/6/26"));
    }
};

// One program runs the binding's tests and the station dialogs' tests
// (StationDialogsTest.cpp).
int runStationDialogsTests(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    GuiTest gui;
    int failed = QTest::qExec(&gui, argc, argv);
    failed += runStationDialogsTests(argc, argv);
    return failed;
}
#include "GuiTest.moc"
