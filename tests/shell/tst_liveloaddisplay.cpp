#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/clock.h"
#include "platform/qteventpump.h"
#include "shell/liveloaddisplay.h"
#include "support/machinefixture.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

// The live load text of the status bar and its polling switch.
class TestLiveLoadDisplay : public QObject {
    Q_OBJECT

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
        QTest::newRow("33 counts of compression, whole newtons") << 32735 << 2 << "4 N";
        QTest::newRow("tension shows negative tenths") << 33174 << 1 << "-12.4 lbs";
    }
    void liveLoadText() {
        QFETCH(int, raw);
        QFETCH(int, units);
        QFETCH(QString, text);
        QCOMPARE(LiveLoadText(raw, units), text);
        SetCurrentLoadCellOffset(100); // the offset in force counts
        QCOMPARE(LiveLoadText(raw + 100, units), text);
    }

    // Polling ticks only once enabled and given an interval (start-up enables
    // it early). A pause stops it, empties the panel and waits two clock
    // seconds under the busy pointer.
    void pollingNeedsAnIntervalAndPauseWaitsTwoSecondsUnderTheBusyPointer() {
        QLabel panel(QStringLiteral("12.4 lbs"));
        ManualClock clock;
        QtEventPump pump(clock);
        LiveLoadDisplay display(panel, pump, [] { return 1; });
        display.resume();
        QVERIFY(!timer(display).isActive());
        display.setInterval(100);
        QVERIFY(timer(display).isActive());
        const qint64 start = clock.wholeSeconds();
        bool busy = true;
        bool emptyAndStopped = true;
        ClockDriver driver(clock, 10);
        driver.mayAdvance = [&] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            busy &= cursor && cursor->shape() == Qt::WaitCursor;
            emptyAndStopped &= panel.text().isEmpty() && !timer(display).isActive();
            return true;
        };
        display.pause();
        driver.stop();
        QCOMPARE(clock.wholeSeconds() - start, 2);
        QVERIFY(busy && emptyAndStopped && !QGuiApplication::overrideCursor());
        display.resume();
        QVERIFY(timer(display).isActive());
    }

private:
    static QTimer& timer(LiveLoadDisplay& display) {
        return *display.findChild<QTimer*>(QStringLiteral("mainTimer"));
    }
};

QTEST_MAIN(TestLiveLoadDisplay)
#include "tst_liveloaddisplay.moc"
