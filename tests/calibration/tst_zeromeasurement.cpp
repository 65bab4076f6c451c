#include "calibration/machinefixture.h"
#include "calibration/zeromeasurement.h"
#include "platform/qteventpump.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

class TestZeroMeasurement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void offsetIsTheMeanRoundedHalfToEven_data();
    void offsetIsTheMeanRoundedHalfToEven();
    void tenGoodReadingsMakeTheOffset_data();
    void tenGoodReadingsMakeTheOffset();
    void silentMachineIsGivenUpWithinTheLimit();
    void machineFallingSilentIsGivenUpWithinTheLimitOfItsLastAnswer();
    void failedReadingsAreRetriedUntilTheMachineAnswersAgain();
    void abortEndsTheMeasurementWithoutResult();
    void abortEndsAWaitingReadAtOnce();

private:
    void writeScript(const QList<int>& loads);
    // Calls `step` every few milliseconds, from inside the measurement's
    // waits, until it answers true.
    void whileRunning(const std::function<bool()>& step);

    QTemporaryDir m_configHome;
    MachineFixture m_fixture;
    QtEventPump m_pump{m_fixture.clock};
    QTimer m_stepper;
};

void TestZeroMeasurement::initTestCase() {
    QVERIFY(m_configHome.isValid());
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
    QVERIFY2(m_fixture.start(), "the simulated machine was not found on port 1");
}

void TestZeroMeasurement::init() {
    m_stepper.stop();
    m_stepper.disconnect();
    QVERIFY(m_fixture.sim->command(QStringLiteral("answer")));
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32768 1000")));
    m_fixture.advanceOnlyBetweenReads();
}

void TestZeroMeasurement::cleanupTestCase() {
    m_stepper.stop();
    m_fixture.stop();
}

void TestZeroMeasurement::writeScript(const QList<int>& loads) {
    const QString path = m_configHome.filePath(QStringLiteral("zero-script.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (const int load : loads)
        file.write(QByteArray::number(load) + " 1000\n");
    file.close();
    QVERIFY(m_fixture.sim->command(QStringLiteral("script ") + path));
}

void TestZeroMeasurement::whileRunning(const std::function<bool()>& step) {
    connect(&m_stepper, &QTimer::timeout, this, [this, step] {
        if (step())
            m_stepper.stop();
    });
    m_stepper.start(2);
}

void TestZeroMeasurement::offsetIsTheMeanRoundedHalfToEven_data() {
    QTest::addColumn<int>("sum");
    QTest::addColumn<int>("offset");
    QTest::newRow("20") << 20 << 2;
    QTest::newRow("24 rounds down") << 24 << 2;
    QTest::newRow("25 rounds to even 2") << 25 << 2;
    QTest::newRow("26 rounds up") << 26 << 3;
    QTest::newRow("35 rounds to even 4") << 35 << 4;
    QTest::newRow("-25 rounds to even -2") << -25 << -2;
    QTest::newRow("-35 rounds to even -4") << -35 << -4;
    QTest::newRow("-26 rounds away") << -26 << -3;
    QTest::newRow("5 rounds to even 0") << 5 << 0;
    QTest::newRow("-5 rounds to even 0") << -5 << 0;
    QTest::newRow("highest") << 327670 << 32767;
    QTest::newRow("lowest") << -327680 << -32768;
}

void TestZeroMeasurement::offsetIsTheMeanRoundedHalfToEven() {
    QFETCH(int, sum);
    QFETCH(int, offset);
    QCOMPARE(ZeroMeasurement::OffsetFromSum(sum), offset);
}

void TestZeroMeasurement::tenGoodReadingsMakeTheOffset_data() {
    QTest::addColumn<QList<int>>("loads");
    QTest::addColumn<int>("offset");
    QTest::newRow("ten of 32770 give 2") << QList<int>(10, 32770) << 2;
    QTest::newRow("sum 25 gives 2") << (QList<int>(9, 32770) << 32775) << 2;
    QTest::newRow("sum 35 gives 4") << (QList<int>(5, 32771) + QList<int>(5, 32772)) << 4;
    QTest::newRow("sum -26 gives -3") << (QList<int>(9, 32766) << 32760) << -3;
    QTest::newRow("full scale both ways") << (QList<int>(5, 0) + QList<int>(5, 65535)) << 0;
    QTest::newRow("eleventh reading is not taken") << (QList<int>(10, 32768) << 40000) << 0;
}

void TestZeroMeasurement::tenGoodReadingsMakeTheOffset() {
    QFETCH(QList<int>, loads);
    QFETCH(int, offset);
    writeScript(loads);
    ZeroMeasurement zero(*m_fixture.machine, m_pump);
    const qint64 start = m_fixture.clock.wholeSeconds();
    QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Measured);
    QCOMPARE(zero.offset(), offset);
    QVERIFY(m_fixture.clock.wholeSeconds() - start >= 10); // a wait of a second before each
    QVERIFY(!zero.running());
}

void TestZeroMeasurement::silentMachineIsGivenUpWithinTheLimit() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("silent")));
    m_fixture.advanceAlways();
    ZeroMeasurement zero(*m_fixture.machine, m_pump);
    const qint64 start = m_fixture.clock.wholeSeconds();
    QCOMPARE(zero.run(), ZeroMeasurement::Outcome::NoAnswer);
    const qint64 elapsed = m_fixture.clock.wholeSeconds() - start;
    QVERIFY2(elapsed >= 25 && elapsed <= ZeroMeasurement::kNoAnswerLimitSeconds,
             qPrintable(QString::number(elapsed)));
    QVERIFY(!m_fixture.machine->readInProgress());
}

void TestZeroMeasurement::machineFallingSilentIsGivenUpWithinTheLimitOfItsLastAnswer() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32770 1000")));
    ZeroMeasurement zero(*m_fixture.machine, m_pump);
    const qint64 start = m_fixture.clock.wholeSeconds();
    qint64 silentFrom = -1;
    whileRunning([&] {
        if (m_fixture.clock.wholeSeconds() - start < 4)
            return false;
        silentFrom = m_fixture.clock.wholeSeconds();
        m_fixture.sim->command(QStringLiteral("silent"));
        m_fixture.advanceAlways();
        return true;
    });
    QCOMPARE(zero.run(), ZeroMeasurement::Outcome::NoAnswer);
    QVERIFY(silentFrom > 0);
    const qint64 elapsed = m_fixture.clock.wholeSeconds() - silentFrom;
    // Counted from the last answer, which came before the machine fell silent.
    QVERIFY2(elapsed >= 20 && elapsed <= ZeroMeasurement::kNoAnswerLimitSeconds,
             qPrintable(QString::number(elapsed)));
}

void TestZeroMeasurement::failedReadingsAreRetriedUntilTheMachineAnswersAgain() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("silent")));
    m_fixture.advanceAlways();
    ZeroMeasurement zero(*m_fixture.machine, m_pump);
    const qint64 start = m_fixture.clock.wholeSeconds();
    whileRunning([&] {
        if (m_fixture.clock.wholeSeconds() - start < 15 || m_fixture.machine->readInProgress())
            return false;
        m_fixture.sim->command(QStringLiteral("hold 32770 1000"));
        m_fixture.sim->command(QStringLiteral("answer"));
        m_fixture.advanceOnlyBetweenReads();
        return true;
    });
    QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Measured);
    QCOMPARE(zero.offset(), 2);
    QVERIFY(m_fixture.clock.wholeSeconds() - start >= 25); // ten good readings after the silence
}

void TestZeroMeasurement::abortEndsTheMeasurementWithoutResult() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("hold 32770 1000")));
    ZeroMeasurement zero(*m_fixture.machine, m_pump);
    const qint64 start = m_fixture.clock.wholeSeconds();
    bool runningWhenAborted = false;
    whileRunning([&] {
        if (m_fixture.clock.wholeSeconds() - start < 4)
            return false;
        runningWhenAborted = zero.running();
        zero.abort();
        return true;
    });
    QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Aborted);
    QVERIFY(runningWhenAborted);
    QVERIFY(!zero.running());
    QVERIFY(m_fixture.clock.wholeSeconds() - start < 10);
}

// The read waits for a reply that never comes (the test clock stands still
// while it waits); abort must not leave it waiting.
void TestZeroMeasurement::abortEndsAWaitingReadAtOnce() {
    QVERIFY(m_fixture.sim->command(QStringLiteral("silent")));
    ZeroMeasurement zero(*m_fixture.machine, m_pump);
    bool abortedDuringRead = false;
    whileRunning([&] {
        if (!m_fixture.machine->readInProgress())
            return false;
        abortedDuringRead = true;
        zero.abort();
        return true;
    });
    QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Aborted);
    QVERIFY(abortedDuringRead);
    QVERIFY(!m_fixture.machine->readInProgress());
}

QTEST_MAIN(TestZeroMeasurement)
#include "tst_zeromeasurement.moc"
