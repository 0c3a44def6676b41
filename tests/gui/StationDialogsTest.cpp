// The station's main window and its dialogs through their real widgets: a dialog opens
// modal over the main window and its window goes when the logic closes it, lists are
// chosen with the keyboard, icons are double-clicked and coloured as the screen says.

#include "StationHarness.h"
#include "qt/ScreenView.h"
#include "qt/StationWindows.h"
#include "qt/TextLabel.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace linvar;

namespace {

struct StationRig : StationHarness {
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
    QWidget* widget(const Screen& s, const char* name) const {
        ScreenView* v = windows.view(s);
        QWidget* w = v ? v->widget(name) : nullptr;
        if (w)
            return w;
        // Not on screen: a failure, and a stand-in so that the test goes on to its end.
        QTest::qFail(qPrintable(QString("no window or no widget ") + name), __FILE__, __LINE__);
        static TextLabel missing;
        return &missing;
    }
    void click(const Screen& s, const char* name) const {
        auto* b = qobject_cast<QPushButton*>(widget(s, name));
        QVERIFY(b && b->isVisible() && b->isEnabled());
        b->click();
    }
    // Moves through a list with the arrow keys, as the operator would, to `item`.
    void choose(const Screen& s, const char* name, const char* item) const {
        auto* box = qobject_cast<QComboBox*>(widget(s, name));
        const int index = box->findText(item);
        QVERIFY(index >= 0);
        while (box->currentIndex() != index) {
            const int before = box->currentIndex();
            QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
            QVERIFY(box->currentIndex() != before);
        }
    }
    // The dialog on `s` is open, modal, and goes with "close".
    void ModalUntil(const Screen& s, const char* close) {
        Tick(); // the window shows on the next tick
        QPointer<ScreenView> dialog = windows.view(s);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());
        click(s, close);
        Tick();
        QVERIFY(!dialog);
        QCOMPARE(windows.front(), windows.view(Main()));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

} // namespace

class StationDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void theCommsDialogTakesTheKeyboardsChoices() {
        StationRig s;
        s.port.devices = {3};
        s.dir.write("comms.txt", "3,9600,0\r\n");
        s.Start();
        s.click(s.Main(), "BtnChoose");
        s.Tick();
        CommsSetupScreen& c = s.top->CommsScreen();
        QVERIFY(s.widget(c, "BtnCommsProceed")->isHidden());
        s.choose(c, "CboPort", "2");
        s.choose(c, "CboPort", "3");
        s.choose(c, "CboBaud", "19200");
        s.click(c, "BtnOpenPort");
        s.Tick(2);
        s.ModalUntil(c, "BtnCommsProceed");
        QCOMPARE(qobject_cast<TextLabel*>(s.widget(s.Main(), "CommsLabel"))->text(),
                 QString("Com3, 19200bd,8N1"));
        QVERIFY(s.widget(s.Main(), "StartGroup")->isHidden() && s.person.reports.empty());
    }

    void iconsAndTheSaveDialogOnAPollingStation() {
        StationRig s;
        s.dir.write("SysSetup.txt", OneLinkSetup());
        s.bus.add("0012", "350");
        s.Start(true);
        s.Tick(6);
        QVERIFY(QTest::qWaitForWindowExposed(s.windows.view(s.Main())));
        QWidget* icon = s.widget(s.Main(), "EndL1");
        QVERIFY(icon->autoFillBackground() &&
                icon->palette().color(QPalette::Window) == QColor(0, 255, 0));
        // The view changes once the reply in flight is in.
        QTest::mouseDClick(icon, Qt::LeftButton);
        s.Tick(20);
        QVERIFY(s.widget(s.Main(), "LinkBox")->isVisible() &&
                s.widget(s.Main(), "SumBox")->isHidden());
        s.click(s.Main(), "BtnClose");
        s.Tick(20);

        s.click(s.Main(), "BtnSave");
        s.ModalUntil(s.top->SaveDialog(), "BtnSaveClose");
        QVERIFY(s.widget(s.Main(), "SumBox")->isVisible() && s.person.reports.empty());
    }
};

int runStationDialogsTests(int argc, char** argv) {
    StationDialogsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "StationDialogsTest.moc"
