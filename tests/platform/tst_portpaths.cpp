// Device paths of serial ports 1 to 4 from the settings store.

#include "platform/portpaths.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPortPaths : public QObject {
    Q_OBJECT

private slots:
    // The store's file lies in a folder of the test's own.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_folder.path().toLocal8Bit()); }

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
        const QString iniPath = m_folder.filePath(QStringLiteral("Torvik/Torvik.ini"));
        QDir().mkpath(QFileInfo(iniPath).absolutePath());
        QFile file(iniPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size() && file.flush());
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        SettingsStore settings;
        QCOMPARE(PortPaths(settings).join(' '), paths);
    }

private:
    QTemporaryDir m_folder;
};

QTEST_GUILESS_MAIN(TestPortPaths)
#include "tst_portpaths.moc"
