#include "model/experiment.h"
#include "model/gfunctions.h"
#include "modelfakes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <stdexcept>

class TestTextExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void exportReplacesFileWithHeaderAndOnePointLineEach_data() {
        QTest::addColumn<std::int32_t>("code");
        QTest::addColumn<std::int32_t>("units");
        QTest::addColumn<QList<std::int32_t>>("points");
        QTest::addColumn<QByteArray>("expected");
        for (const QByteArrayList& row : dataRows("textexports.tsv")) {
            QList<std::int32_t> points;
            for (const QByteArray& reading : row[3].split(' ')) {
                points << reading.toInt();
            }
            QTest::newRow(row[0]) << row[1].toInt() << row[2].toInt() << points << row[4];
        }
    }

    void exportReplacesFileWithHeaderAndOnePointLineEach() {
        QFETCH(std::int32_t, code);
        QFETCH(std::int32_t, units);
        QFETCH(QList<std::int32_t>, points);
        QFETCH(QByteArray, expected);
        const QString name = writeBytes(path("out.txt"), QByteArray(10000, 'x'));
        QVERIFY(testOf(code, points).Export(name.toStdString(), units));
        QCOMPARE(readBytes(name), expected);
        QCOMPARE(files(), QStringList{"out.txt"});
    }

    void noPointsOrBadUnitsWriteNothing() {
        Experiment experiment;
        experiment.SetTestType(kTestTension);
        QVERIFY(!experiment.Export(path("none.txt").toStdString(), kUnitsMetric));
        experiment.AddDataPoint(32768, 0);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                                 experiment.Export(path("bad.txt").toStdString(), 3));
        QVERIFY(files().isEmpty());
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_APPLESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
