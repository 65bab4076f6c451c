// The real serial port over pseudo-terminals served by torvik-sim.

#include "device/simprocess.h"
#include "platform/qtseriallink.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class TestQtSerialLink : public QObject {
    Q_OBJECT

private slots:
    void failures_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing device") << QStringLiteral("no-such-port");
        QTest::newRow("not a serial port") << QStringLiteral("plain-file");
    }
    void failures() {
        QFETCH(QString, path);
        QTemporaryDir dir;
        QFile plain(dir.filePath("plain-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QtSerialLink link;
        QCOMPARE(link.open(dir.filePath(path)), SerialLink::OpenResult::Failed);
        QVERIFY(!link.isOpen());
        QVERIFY(!link.write("RV\r"));
        QCOMPARE(link.bytesAvailable(), 0);
        QByteArray received;
        link.appendReceived(received);
        QVERIFY(received.isEmpty());
    }

    void portWithoutPermissionIsAFailureNotInUse() {
        if (::geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        SimProcess sim;
        QVERIFY(sim.start());
        QCOMPARE(::chmod(QFile::encodeName(sim.path()).constData(), 0), 0);
        QtSerialLink link;
        QCOMPARE(link.open(sim.path()), SerialLink::OpenResult::Failed);
    }

    void farEndClosingReportsLostOnceAndClosesThePort() {
        SimProcess sim;
        QVERIFY(sim.start());
        QtSerialLink link;
        QSignalSpy lost(&link, &SerialLink::lost);
        QCOMPARE(link.open(sim.path()), SerialLink::OpenResult::Opened);

        sim.stop();

        QVERIFY(SimProcess::waitFor([&] { return lost.size() >= 1; }, 3000));
        QVERIFY(!link.isOpen());
        const double cpuBefore = CpuSeconds();
        QTest::qWait(300);
        QVERIFY2(CpuSeconds() - cpuBefore < 0.05,
                 qPrintable(QString::number(CpuSeconds() - cpuBefore)));
        QCOMPARE(lost.size(), 1);
        QVERIFY(!link.write("RV\r"));
        QByteArray received;
        link.appendReceived(received);
        QVERIFY(received.isEmpty());

        // A new device on a new port: the link works, and is watched, again.
        SimProcess next;
        QVERIFY(next.start());
        QCOMPARE(link.open(next.path()), SerialLink::OpenResult::Opened);
        next.stop();
        QVERIFY(SimProcess::waitFor([&] { return lost.size() >= 2; }, 3000));
        QCOMPARE(lost.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestQtSerialLink)
#include "tst_qtseriallink.moc"
