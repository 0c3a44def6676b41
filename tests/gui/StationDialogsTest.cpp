// The station's main window and its dialogs through their real widgets: buttons clicked,
// lists chosen with the keyboard, icons double-clicked, and what the operator then sees,
// over the main window's logic with a fake port and the simulated installation.

#include "StationHarness.h"
#include "qt/ScreenView.h"
#include "qt/StationWindows.h"
#include "qt/TextLabel.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <set>

using namespace linvar;

namespace {

struct StationRig : StationHarness {
    ScriptedOperator& op = person;
    // After the module: its windows go first.
    StationWindows windows;

    void Start(bool directStart = false) {
        Make();
        top->Activate(directStart);
        windows.update(top->Windows());
    }
    // The 50 ms timers: replies in, the module's step, then the windows repainted.
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            StationHarness::Tick();
            windows.update(top->Windows());
        }
    }
    // Ticks until `shown` is on screen, at most a second.
    void TickUntilShown(const char* shown) {
        for (int i = 0; i < 20 && !widget(Main(), shown)->isVisible(); ++i)
            Tick();
    }
    size_t Sent() const { return wire.size(); }
    ScreenView* view(const Screen& s) const { return windows.view(s); }
    QWidget* widget(const Screen& s, const char* name) const {
        ScreenView* v = view(s);
        QWidget* w = v ? v->widget(name) : nullptr;
        if (w)
            return w;
        // Not on screen: a failure, and a stand-in so that the test goes on to its end.
        QTest::qFail(qPrintable(QString("no window or no widget ") + name), __FILE__, __LINE__);
        static TextLabel missing;
        return &missing;
    }
    QString label(const Screen& s, const char* name) const {
        return qobject_cast<TextLabel*>(widget(s, name))->text();
    }
    void click(const Screen& s, const char* name) const {
        auto* b = qobject_cast<QPushButton*>(widget(s, name));
        QVERIFY(b && b->isVisible() && b->isEnabled());
        b->click();
    }
    // Moves through a list with the arrow keys, as the operator would, to `index`.
    void choose(const Screen& s, const char* name, int index) const {
        auto* box = qobject_cast<QComboBox*>(widget(s, name));
        QVERIFY(box && index < box->count());
        while (box->currentIndex() != index) {
            const int before = box->currentIndex();
            QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
            QVERIFY(box->currentIndex() != before);
        }
    }
};

} // namespace

class StationDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void commsDialogOpenSequenceSavesOnlyAChange() {
        StationRig s;
        s.port.devices = {3};
        // As an editor left it: line feed only. Written again, it would end in CR LF.
        const std::string asRead = "3,9600,0\n";
        s.dir.write("comms.txt", asRead);
        s.Start();
        QCOMPARE(s.label(s.Main(), "StartSettings"), QString("Com3, 9600 baud, 8N1"));
        s.click(s.Main(), "BtnChoose");
        s.Tick(); // the window shows on the next tick
        CommsSetupScreen& c = s.top->CommsScreen();
        QPointer<ScreenView> dialog = s.view(c);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());
        QVERIFY(s.widget(c, "BtnCommsProceed")->isHidden());

        // Com2 has no device behind it.
        s.choose(c, "CboPort", 1);
        s.click(c, "BtnOpenPort");
        QCOMPARE(s.label(c, "CommsStatus"), QString("Opening port..."));
        s.Tick(10);
        QCOMPARE(s.label(c, "CommsStatus"), QString("Opening port..."));
        s.Tick(15);
        QCOMPARE(s.label(c, "CommsStatus"), QString("Port failed to open. Select again."));
        QVERIFY(s.widget(c, "BtnCommsProceed")->isHidden());

        s.choose(c, "CboPort", 2);
        s.click(c, "BtnOpenPort");
        s.Tick(2);
        QCOMPARE(s.label(c, "CommsStatus"), QString("Port open on Com3, at 9600 baud"));
        s.click(c, "BtnCommsProceed");
        s.Tick();
        QVERIFY(!dialog); // the dialog's window is gone
        QCOMPARE(s.windows.front(), s.view(s.Main()));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(s.label(s.Main(), "CommsLabel"), QString("Com3, 9600bd,8N1"));
        QVERIFY(s.widget(s.Main(), "StartGroup")->isHidden());
        QCOMPARE(s.dir.read("comms.txt"), asRead);

        // Once more through "C&omms", now with another speed: the file follows.
        s.click(s.Main(), "BtnComms");
        s.Tick();
        QVERIFY(s.view(c));
        s.choose(c, "CboBaud", qobject_cast<QComboBox*>(s.widget(c, "CboBaud"))->findText("19200"));
        s.click(c, "BtnOpenPort");
        s.Tick(2);
        s.click(c, "BtnCommsProceed");
        s.Tick();
        QCOMPARE(s.dir.read("comms.txt"), std::string("3,19200,0\r\n"));
        QCOMPARE(s.label(s.Main(), "CommsLabel"), QString("Com3, 19200bd,8N1"));
        QVERIFY(s.op.reports.empty());
    }

    void doubleClickOnALinkOpensTheSingleLinkView() {
        StationRig s;
        s.dir.write("SysSetup.txt", OneLinkSetup());
        s.bus.add("0012", "350");
        s.Start(true);
        s.Tick(6);
        ScreenView* main = s.view(s.Main());
        QVERIFY(QTest::qWaitForWindowExposed(main));
        QWidget* icon = s.widget(s.Main(), "EndL1");
        QVERIFY(icon->autoFillBackground());
        QCOMPARE(icon->palette().color(QPalette::Window), QColor(0, 255, 0));

        QTest::mouseDClick(icon, Qt::LeftButton);
        // The view changes once the reply in flight is in.
        s.TickUntilShown("LinkBox");
        QVERIFY(s.widget(s.Main(), "LinkBox")->isVisible());
        QVERIFY(s.widget(s.Main(), "SumBox")->isHidden());
        QCOMPARE(s.top->HelpTopic(), 3);

        s.click(s.Main(), "BtnClose");
        s.TickUntilShown("SumBox");
        QVERIFY(s.widget(s.Main(), "SumBox")->isVisible());
        QVERIFY(s.widget(s.Main(), "LinkBox")->isHidden());
        QVERIFY(s.op.reports.empty());
    }

    void setupDialogSavesAndClosesToTheMainWindow() {
        StationRig s;
        s.dir.write("SysSetup.txt", OneLinkSetup());
        s.bus.add("0012", "350");
        s.Start(true);
        s.Tick(3);
        s.click(s.Main(), "BtnSave");
        s.Tick(); // the window shows on the next tick
        SetupFilesScreen& d = s.top->SaveDialog();
        QPointer<ScreenView> dialog = s.view(d);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());
        QVERIFY(s.widget(d, "SaveConfirm")->isHidden());

        s.choose(d, "CboFile", 1);
        s.click(d, "BtnSaveFile");
        QVERIFY(s.widget(d, "SaveConfirm")->isVisible());
        QCOMPARE(s.label(d, "SaveConfirm"), QString("System data saved in file: SysSet2.txt"));
        QVERIFY(s.dir.read("SysSet2.txt").rfind("0012\r\n", 0) == 0);

        s.click(d, "BtnSaveClose");
        s.Tick();
        QVERIFY(!dialog);
        QCOMPARE(s.top->Windows().size(), size_t(1));
        QCOMPARE(s.windows.front(), s.view(s.Main()));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(s.widget(s.Main(), "SumBox")->isVisible());
        QVERIFY(!s.top->QuitRequested());
        const size_t before = s.Sent();
        s.Tick(5);
        QVERIFY(s.Sent() > before);
        QVERIFY(s.op.reports.empty());
    }
};

int runStationDialogsTests(int argc, char** argv) {
    StationDialogsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "StationDialogsTest.moc"
