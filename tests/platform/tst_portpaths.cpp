// Device paths of serial ports 1 to 4 from the settings store.

#include "platform/portpaths.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestPortPaths : public QObject {
    Q_OBJECT

private slots:
    void handWrittenIniIsRead_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("paths");
        QTest::newRow("nothing stored")
            << QByteArray() << "/dev/ttyS0 /dev/ttyS1 /dev/ttyS2 /dev/ttyS3";
        QTest::newRow("only the stored port") << QByteArray("[Ports]\nPort 3=/dev/pts/7\n")
                                              << "/dev/ttyS0 /dev/ttyS1 /dev/pts/7 /dev/ttyS3";
        QTest::newRow("blank value")
            << QByteArray("[Ports]\nPort 1=   \n") << "/dev/ttyS0 /dev/ttyS1 /dev/ttyS2 /dev/ttyS3";
    }
    void handWrittenIniIsRead() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, paths);
        // Written behind the store's back. The store reads a file again only
        // when its size or time has changed, so each gets a time of its own.
        static QDateTime stamp = QDateTime::currentDateTime().addSecs(-3600);
        stamp = stamp.addSecs(1);
        const QString iniPath = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Torvik/Torvik.ini";
        QDir().mkpath(QFileInfo(iniPath).absolutePath());
        QFile file(iniPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size() && file.flush());
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        SettingsStore settings;
        QCOMPARE(PortPaths(settings).join(' '), paths);
    }
};

QTEST_GUILESS_MAIN(TestPortPaths)
#include "tst_portpaths.moc"
