#include "calibration/zeromeasurement.h"
#include "support/machinefixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The zero offset measured on the simulator, with the test clock.
class TestZeroMeasurement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseOwnSettingsFolder(); }
    void init() {
        m_f = std::make_unique<MachineFixture>();
        QVERIFY2(m_f->start(), "the simulated machine was not found on port 1");
        QVERIFY(m_f->sim->command(QStringLiteral("hold 32770 1000")));
    }
    void cleanup() { m_f.reset(); }

    void offsetIsTheMeanRoundedHalfToEven_data() {
        QTest::addColumn<int>("sum");
        QTest::addColumn<int>("offset");
        QTest::newRow("25 rounds to even 2") << 25 << 2;
        QTest::newRow("26 rounds up") << 26 << 3;
        QTest::newRow("35 rounds to even 4") << 35 << 4;
        QTest::newRow("-26 rounds away") << -26 << -3;
        QTest::newRow("lowest") << -327680 << -32768;
    }
    void offsetIsTheMeanRoundedHalfToEven() {
        QFETCH(int, sum);
        QFETCH(int, offset);
        QCOMPARE(ZeroMeasurement::OffsetFromSum(sum), offset);
    }

    void tenGoodReadingsMakeTheOffset_data() {
        QTest::addColumn<QList<int>>("loads");
        QTest::addColumn<int>("offset");
        QTest::newRow("sum 25 gives 2") << (QList<int>(9, 32770) << 32775) << 2;
        QTest::newRow("full scale both ways") << (QList<int>(5, 0) + QList<int>(5, 65535)) << 0;
        QTest::newRow("eleventh reading is not taken") << (QList<int>(10, 32768) << 40000) << 0;
    }
    void tenGoodReadingsMakeTheOffset() {
        QFETCH(QList<int>, loads);
        QFETCH(int, offset);
        const QString script = m_scriptFolder.filePath(QStringLiteral("zero-script.txt"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (const int load : loads)
            file.write(QByteArray::number(load) + " 1000\n");
        file.close();
        QVERIFY(m_f->sim->command(QStringLiteral("script ") + script));
        ZeroMeasurement zero(*m_f->machine, m_f->pump);
        const qint64 start = m_f->clock.wholeSeconds();
        QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Measured);
        QCOMPARE(zero.offset(), offset);
        QVERIFY(m_f->clock.wholeSeconds() - start >= 10); // a wait of a second before each
        QVERIFY(!zero.running());
    }

    // The limit counts from the last answer, which came before the silence.
    void machineFallingSilentIsGivenUpWithinTheLimitOfItsLastAnswer() {
        ZeroMeasurement zero(*m_f->machine, m_f->pump);
        const qint64 start = m_f->clock.wholeSeconds();
        qint64 silentFrom = -1;
        const Stepper silence([&] {
            if (m_f->clock.wholeSeconds() - start < 8)
                return false;
            silentFrom = m_f->clock.wholeSeconds();
            m_f->sim->command(QStringLiteral("silent"));
            m_f->advanceAlways();
            return true;
        });
        QCOMPARE(zero.run(), ZeroMeasurement::Outcome::NoAnswer);
        const qint64 elapsed = m_f->clock.wholeSeconds() - silentFrom;
        QVERIFY2(silentFrom > 0 && elapsed >= 25 &&
                     elapsed <= ZeroMeasurement::kNoAnswerLimitSeconds,
                 qPrintable(QString::number(elapsed)));
    }

    // The read waits for a reply that never comes (the test clock stands
    // still while it waits); abort must not leave it waiting.
    void abortEndsAWaitingReadAtOnce() {
        QVERIFY(m_f->sim->command(QStringLiteral("silent")));
        ZeroMeasurement zero(*m_f->machine, m_f->pump);
        const Stepper abort([&] {
            if (!m_f->machine->readInProgress())
                return false;
            zero.abort();
            return true;
        });
        QCOMPARE(zero.run(), ZeroMeasurement::Outcome::Aborted);
        QVERIFY(abort.done());
        QVERIFY(!zero.running());
        QVERIFY(!m_f->machine->readInProgress());
    }

private:
    QTemporaryDir m_scriptFolder;
    std::unique_ptr<MachineFixture> m_f;
};

QTEST_MAIN(TestZeroMeasurement)
#include "tst_zeromeasurement.moc"
