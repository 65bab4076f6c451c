#include <QDir>
#include <QProcess>
#include <QTest>

// torvik-export --properties, run as the operator runs it on data files of
// the test data: a.tdf and "b,1.tdf" are compression tests, the second
// breaking after its peak; c.tdf a hardness test without a break; huge.tdf is
// a.tdf with a ratio of 1e30; bad.tdf is no data file.
class TestTorvikExportProperties : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(QStringLiteral(TORVIK_TEST_DATA "properties")));
    }
    void rowsAndStatistics_data();
    void rowsAndStatistics();
};

// The expected outputs are data files too. Hand check of a.tdf: 328 counts a
// step are 10 lbf, 100 counts 0.0061 inch less 0.0001 of the frame's
// deflection; no drop after the peak; the stiffness is that of the readings,
// 10.0098 lbf a step over 0.0060036 inch. The statistics skip what a file does
// not have (b's break alone) and point numbers; the file name with a comma is
// quoted. A file that does not load is left out, the others still listed.
void TestTorvikExportProperties::rowsAndStatistics_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // the data file holding it
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("one file") << QStringList{"--properties", "a.tdf"} << 0 << "english.csv"
                              << QByteArray();
    QTest::newRow("specimen set") << QStringList{"--properties", "a.tdf", "b,1.tdf", "c.tdf"} << 0
                                  << "set.csv" << QByteArray();
    QTest::newRow("metric, one file not a data file")
        << QStringList{"--properties", "--metric", "a.tdf", "bad.tdf"} << 1 << "metric.csv"
        << QByteArray("File could not be opened.  Not a valid file type.\n"
                      "torvik-export: bad.tdf left out.\n");
    // Energies beyond single precision: empty, and left out of the statistics.
    QTest::newRow("absurd calibration")
        << QStringList{"--properties", "a.tdf", "huge.tdf"} << 0 << "huge.csv" << QByteArray();
    QTest::newRow("no file") << QStringList{"--properties"} << 2 << QString()
                             << QByteArray("usage: torvik-export");
}

void TestTorvikExportProperties::rowsAndStatistics() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QByteArray, err);
    QFile expected(out);
    QVERIFY(out.isEmpty() || expected.open(QIODevice::ReadOnly));
    QProcess process;
    process.start(QStringLiteral(TORVIK_EXPORT_PATH), arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.readAllStandardOutput(), out.isEmpty() ? QByteArray() : expected.readAll());
    const QByteArray actualErr = process.readAllStandardError();
    QVERIFY2(err.isEmpty() ? actualErr.isEmpty() : actualErr.startsWith(err), actualErr);
    QCOMPARE(process.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestTorvikExportProperties)
#include "tst_torvikexportproperties.moc"
