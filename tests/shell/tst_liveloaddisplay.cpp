#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/clock.h"
#include "platform/qteventpump.h"
#include "shell/liveloaddisplay.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

// The live load text and the polling switch of the status bar's live load.
class TestLiveLoadDisplay : public QObject {
    Q_OBJECT

private:
    static QTimer* mainTimer(LiveLoadDisplay& display) {
        return display.findChild<QTimer*>(QStringLiteral("mainTimer"));
    }

private slots:
    void init() {
        SetCurrentLoadCellRatio(1.0f);
        SetCurrentLoadCellOffset(0);
    }

    void liveLoadText_data() {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("33 counts of compression, English") << 32735 << 1 << "1 lbs";
        QTest::newRow("33 counts of compression, metric whole newtons") << 32735 << 2 << "4 N";
        QTest::newRow("zero point") << 32768 << 1 << "0 lbs";
        QTest::newRow("a hair of tension rounds to a plain zero") << 32770 << 1 << "0 lbs";
        QTest::newRow("a hair of tension in metric") << 32769 << 2 << "0 N";
        QTest::newRow("tenths of a pound") << 32362 << 1 << "12.4 lbs";
        QTest::newRow("tension shows negative") << 33174 << 1 << "-12.4 lbs";
        QTest::newRow("full scale English") << 0 << 1 << "1000 lbs";
        QTest::newRow("full scale metric") << 0 << 2 << "4448 N";
        QTest::newRow("full tension English") << 65535 << 1 << "-1000 lbs";
    }

    void liveLoadText() {
        QFETCH(int, raw);
        QFETCH(int, units);
        QFETCH(QString, text);
        QCOMPARE(LiveLoadText(raw, units), text);
    }

    void liveLoadTextUsesTheOffsetInForce() {
        SetCurrentLoadCellOffset(100);
        QCOMPARE(LiveLoadText(32868, 1), QStringLiteral("0 lbs"));
    }

    void enabledPollingWaitsForTheIntervalBeforeTicking() {
        QLabel panel;
        ManualClock clock;
        QtEventPump pump(clock);
        LiveLoadDisplay display(panel, pump, [] { return 1; });

        display.resume();
        QVERIFY(display.enabled());
        QVERIFY(!mainTimer(display)->isActive());

        display.setInterval(100);
        QVERIFY(mainTimer(display)->isActive());
        QCOMPARE(mainTimer(display)->interval(), 100);
    }

    void pauseStopsPollingEmptiesThePanelAndWaitsTwoSecondsUnderTheBusyPointer() {
        QLabel panel(QStringLiteral("12.4 lbs"));
        ManualClock clock;
        QtEventPump pump(clock);
        LiveLoadDisplay display(panel, pump, [] { return 1; });
        display.setInterval(100);
        display.resume();

        const qint64 start = clock.wholeSeconds();
        bool busyWhileWaiting = true;
        bool panelEmptyWhileWaiting = true;
        bool timerStoppedWhileWaiting = true;
        QTimer advancer;
        connect(&advancer, &QTimer::timeout, this, [&] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            busyWhileWaiting &= cursor && cursor->shape() == Qt::WaitCursor;
            panelEmptyWhileWaiting &= panel.text().isEmpty();
            timerStoppedWhileWaiting &= !mainTimer(display)->isActive();
            clock.advance();
        });
        advancer.start(10);

        display.pause();
        advancer.stop();

        QCOMPARE(clock.wholeSeconds() - start, 2);
        QVERIFY(busyWhileWaiting);
        QVERIFY(panelEmptyWhileWaiting);
        QVERIFY(timerStoppedWhileWaiting);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(!display.enabled());

        display.resume();
        QVERIFY(mainTimer(display)->isActive());
    }

    void stopSwitchesPollingOffWithoutWaiting() {
        QLabel panel(QStringLiteral("1 lbs"));
        ManualClock clock;
        QtEventPump pump(clock);
        LiveLoadDisplay display(panel, pump, [] { return 1; });
        display.setInterval(100);
        display.resume();

        display.stop();

        QVERIFY(!mainTimer(display)->isActive());
        QCOMPARE(panel.text(), QStringLiteral("1 lbs"));
    }
};

QTEST_MAIN(TestLiveLoadDisplay)
#include "tst_liveloaddisplay.moc"
