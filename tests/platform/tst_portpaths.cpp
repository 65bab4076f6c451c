// Device paths of serial ports 1 to 4 from the settings store.

#include "platform/portpaths.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

class TestPortPaths : public QObject {
    Q_OBJECT

private:
    static QString iniPath() {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/Torvik/Torvik.ini");
    }
    // Written as an operator would, behind the settings store's back. The
    // store keeps what it parsed and reads the file again only when its size
    // or time has changed, so each file gets a time of its own.
    static void writeIni(const QByteArray& contents) {
        static QDateTime stamp = QDateTime::currentDateTime().addSecs(-3600);
        stamp = stamp.addSecs(1);
        QDir().mkpath(QFileInfo(iniPath()).absolutePath());
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }

private slots:
    void init() { QFile::remove(iniPath()); }
    void cleanupTestCase() { QFile::remove(iniPath()); }

    void absentKeysMeanTheFirstFourSerialPorts() {
        SettingsStore settings;
        QCOMPARE(PortPaths(settings),
                 (QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}));
    }

    void storedPathReplacesOnlyItsPort() {
        SettingsStore settings;
        settings.write("Ports", "Port 3", "/dev/pts/7");
        QCOMPARE(PortPaths(settings),
                 (QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/pts/7", "/dev/ttyS3"}));
    }

    void handWrittenIniLineIsRead_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("space in key") << QByteArray("[Ports]\nPort 1=/dev/ttyUSB0\n");
        QTest::newRow("escaped space") << QByteArray("[Ports]\nPort%201=/dev/ttyUSB0\n");
        QTest::newRow("blanks around =") << QByteArray("[Ports]\nPort 1 = /dev/ttyUSB0\n");
        QTest::newRow("among other sections")
            << QByteArray("[General]\nPath=/home/op\n\n[Ports]\nPort 1=/dev/ttyUSB0\n");
        QTest::newRow("windows line ends") << QByteArray("[Ports]\r\nPort 1=/dev/ttyUSB0\r\n");
    }
    void handWrittenIniLineIsRead() {
        QFETCH(QByteArray, ini);
        writeIni(ini);
        SettingsStore settings;
        QCOMPARE(PortPaths(settings),
                 (QStringList{"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}));
    }

    void blankValueMeansTheDefault() {
        writeIni("[Ports]\nPort 2=\nPort 4=   \n");
        SettingsStore settings;
        QCOMPARE(PortPaths(settings),
                 (QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}));
    }

    void readingWritesNothing() {
        SettingsStore settings;
        PortPaths(settings);
        QVERIFY(!QFile::exists(iniPath()));
    }
};

QTEST_GUILESS_MAIN(TestPortPaths)
#include "tst_portpaths.moc"
