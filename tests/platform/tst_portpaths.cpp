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

private slots:
    void init() { QFile::remove(iniPath()); }
    void cleanupTestCase() { QFile::remove(iniPath()); }

    void absentKeysMeanTheFirstFourSerialPortsAndAStoredPathOnlyItsPort() {
        SettingsStore settings;
        QCOMPARE(PortPaths(settings),
                 (QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}));
        settings.write("Ports", "Port 3", "/dev/pts/7");
        QCOMPARE(PortPaths(settings),
                 (QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/pts/7", "/dev/ttyS3"}));
    }

    void handWrittenIniIsRead_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("port1");
        QTest::newRow("space in key")
            << QByteArray("[Ports]\nPort 1=/dev/ttyUSB0\n") << "/dev/ttyUSB0";
        QTest::newRow("blank value") << QByteArray("[Ports]\nPort 1=   \n") << "/dev/ttyS0";
    }
    void handWrittenIniIsRead() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, port1);
        // Written behind the store's back. The store reads a file again only
        // when its size or time has changed, so each gets a time of its own.
        static QDateTime stamp = QDateTime::currentDateTime().addSecs(-3600);
        stamp = stamp.addSecs(1);
        QDir().mkpath(QFileInfo(iniPath()).absolutePath());
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size() && file.flush());
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        SettingsStore settings;
        QCOMPARE(PortPaths(settings),
                 (QStringList{port1, "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}));
    }
};

QTEST_GUILESS_MAIN(TestPortPaths)
#include "tst_portpaths.moc"
