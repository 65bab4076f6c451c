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
    void exportReplacesFileWithHeaderAndOnePointLineEach_data();
    void exportReplacesFileWithHeaderAndOnePointLineEach();
    void noPointsBadUnitsOrFolderWriteNothing();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTextExport::exportReplacesFileWithHeaderAndOnePointLineEach_data() {
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<std::int32_t>("units");
    QTest::addColumn<QList<std::int32_t>>("points"); // load, disp, load, disp...
    QTest::addColumn<QByteArray>("expected");
    // Point 1 of a tension test turns into negative zeros: written as zeros.
    QTest::newRow("tension metric")
        << kTestTension << kUnitsMetric << QList<std::int32_t>{32768, 5000, 34816, 4000}
        << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                      "units = METRIC\r\n"
                      "test type = TENSION\r\n"
                      "# data points= 2\r\n"
                      " 0,  0\r\n"
                      " 1.534,  278\r\n");
    QTest::newRow("compression english")
        << kTestCompression << kUnitsEnglish
        << QList<std::int32_t>{32768, 1000, 32768 - 406, 1000 + 207, 30720, 2000}
        << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                      "units = ENGLISH\r\n"
                      "test type = COMPRESSION\r\n"
                      "# data points= 3\r\n"
                      " 0,  0\r\n"
                      " .0125,  12.4\r\n"
                      " .0604,  62.6\r\n");
    // No travel under 100 lbf: the frame's deflection alone is a negative
    // displacement; a load on the tension side is negative here.
    QTest::newRow("negative values")
        << kTestNone << kUnitsEnglish << QList<std::int32_t>{32768, 1000, 29491, 1000, 34816, 1000}
        << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                      "units = ENGLISH\r\n"
                      "test type = \r\n"
                      "# data points= 3\r\n"
                      " 0,  0\r\n"
                      "-.001,  100\r\n"
                      "-.0006, -62.6\r\n");
}

void TestTextExport::exportReplacesFileWithHeaderAndOnePointLineEach() {
    QFETCH(std::int32_t, code);
    QFETCH(std::int32_t, units);
    QFETCH(QList<std::int32_t>, points);
    QFETCH(QByteArray, expected);
    const QString name = writeBytes(path("out.txt"), QByteArray(10000, 'x'));
    QVERIFY(testOf(code, points).Export(name.toStdString(), units));
    QCOMPARE(readBytes(name), expected);
    QCOMPARE(files(), QStringList{"out.txt"});
}

void TestTextExport::noPointsBadUnitsOrFolderWriteNothing() {
    Experiment experiment;
    experiment.SetTestType(kTestTension);
    QVERIFY(!experiment.Export(path("none.txt").toStdString(), kUnitsMetric));
    experiment.AddDataPoint(32768, 0);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                             experiment.Export(path("bad.txt").toStdString(), 3));
    QVERIFY_THROWS_EXCEPTION(FileWriteError,
                             experiment.Export(path("no/such/out.txt").toStdString(), 1));
    QVERIFY(files().isEmpty());
}

QTEST_APPLESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
