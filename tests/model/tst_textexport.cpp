#include "model/experiment.h"
#include "model/gfunctions.h"

#include <QDir>
#include <QFile>
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
    void exportWithoutPointsCreatesNoFile();
    void exportWritesHeaderAndOnePointLineEach_data();
    void exportWritesHeaderAndOnePointLineEach();
    void exportReplacesAnExistingFile();
    void badUnitsOrFolderTouchNoFile();

private:
    QByteArray exported(const Experiment& experiment, std::int32_t units);
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QByteArray TestTextExport::exported(const Experiment& experiment, std::int32_t units) {
    if (!experiment.Export(path("out.txt").toStdString(), units)) {
        return "(no file)";
    }
    QFile file(path("out.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void TestTextExport::exportWithoutPointsCreatesNoFile() {
    Experiment experiment;
    experiment.SetTestType(kTestTension);
    QVERIFY(!experiment.Export(path("none.txt").toStdString(), kUnitsMetric));
    QVERIFY(!QFile::exists(path("none.txt")));
}

void TestTextExport::exportWritesHeaderAndOnePointLineEach_data() {
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

void TestTextExport::exportWritesHeaderAndOnePointLineEach() {
    QFETCH(std::int32_t, code);
    QFETCH(std::int32_t, units);
    QFETCH(QList<std::int32_t>, points);
    QFETCH(QByteArray, expected);
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(code);
    for (qsizetype i = 0; i + 1 < points.size(); i += 2) {
        experiment.AddDataPoint(points[i], points[i + 1]);
    }
    QCOMPARE(exported(experiment, units), expected);
}

void TestTextExport::exportReplacesAnExistingFile() {
    QFile old(path("out.txt"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'x'));
    old.close();
    Experiment experiment;
    experiment.SetTestType(kTestShear);
    experiment.AddDataPoint(32768, 0);
    QCOMPARE(exported(experiment, kUnitsEnglish),
             QByteArray("TORVIK EXPERIMENT DATA FILE\r\nunits = ENGLISH\r\n"
                        "test type = SHEAR\r\n# data points= 1\r\n 0,  0\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
}

void TestTextExport::badUnitsOrFolderTouchNoFile() {
    Experiment experiment;
    experiment.AddDataPoint(32768, 0);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range,
                             experiment.Export(path("bad.txt").toStdString(), 3));
    QVERIFY_THROWS_EXCEPTION(FileWriteError,
                             experiment.Export(path("no/such/out.txt").toStdString(), 1));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_APPLESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
