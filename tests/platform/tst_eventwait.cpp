// Blocking waits in a nested event loop: what wakes them, and that they sleep.

#include "device/simprocess.h"
#include "platform/clock.h"
#include "platform/eventwait.h"

#include <QtTest>

class TestEventWait : public QObject {
    Q_OBJECT

private slots:
    void conditionAlreadyTrueReturnsWithoutRunningEvents() {
        ManualClock clock;
        EventWait wait(clock);
        bool timerRan = false;
        QObject scope; // the timer must not outlive this test
        QTimer::singleShot(0, &scope, [&] { timerRan = true; });
        int checks = 0;
        wait.until([&] { return ++checks > 0; });
        QCOMPARE(checks, 1);
        QVERIFY(!timerRan);
    }

    void realClockWaitEndsWithTheSecondAndSleeps() {
        SystemClock clock;
        EventWait wait(clock);
        const qint64 start = clock.wholeSeconds();
        QElapsedTimer elapsed;
        elapsed.start();
        const double cpuBefore = CpuSeconds();
        wait.until([&] { return clock.wholeSeconds() - start >= 1; });
        const double cpu = CpuSeconds() - cpuBefore;
        QCOMPARE(clock.wholeSeconds() - start, 1);
        QVERIFY2(elapsed.elapsed() <= 1100, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY2(cpu < 0.05, qPrintable(QString::number(cpu)));
    }

    // Once the application has been asked to quit, nested event loops return
    // at once; a wait must still sleep, not spin, until its condition holds.
    void waitSleepsWhileTheApplicationIsQuitting() {
        ManualClock clock;
        EventWait wait(clock);
        double cpu = -1.0;
        qint64 waitedMs = -1;
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(10, [] { QCoreApplication::exit(0); });
            bool done = false;
            QTimer::singleShot(300, [&] { done = true; });
            QElapsedTimer elapsed;
            elapsed.start();
            const double cpuBefore = CpuSeconds();
            wait.until([&] { return done; });
            cpu = CpuSeconds() - cpuBefore;
            waitedMs = elapsed.elapsed();
        });
        QCoreApplication::exec();
        QVERIFY2(waitedMs >= 290, qPrintable(QString::number(waitedMs)));
        QVERIFY2(cpu < 0.1, qPrintable(QString::number(cpu)));
    }
};

QTEST_GUILESS_MAIN(TestEventWait)
#include "tst_eventwait.moc"
