#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

class TestTorvikExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void exitCodeOutputAndMessages_data();
    void exitCodeOutputAndMessages();
    void outputTheOperatorMayNotWriteExitsOne();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // in.tdf: a saved test, or a header alone when there are no points.
    QString input(std::int32_t code, const QList<std::int32_t>& points) const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

QString TestTorvikExport::input(std::int32_t code, const QList<std::int32_t>& points) const {
    const QString name = path("in.tdf");
    if (points.isEmpty()) {
        const QByteArray type = QByteArray::fromStdString(TestTypeNames(code));
        return writeBytes(name, dataFile({"TDF2", type, " 0", " 0", " 0", " 1", " 0"}));
    }
    if (!testOf(code, points).SaveFile(name.toStdString())) {
        qFatal("cannot save %s", qPrintable(name));
    }
    return name;
}

void TestTorvikExport::exitCodeOutputAndMessages_data() {
    // <dir> stands for the folder of in.tdf; a code of -1 makes it no data
    // file. Standard output is followed by out.txt when there is one.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<QList<std::int32_t>>("points");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("errors"); // how standard error begins
    const QStringList exportArguments = {"<dir>/in.tdf", "<dir>/out.txt"};
    const QList<std::int32_t> twoPoints = {32768, 1000, 30720, 2000};
    QTest::newRow("export") << QStringList{"--metric", "<dir>/in.tdf", "<dir>/out.txt"}
                            << kTestCompression << twoPoints << 0
                            << QByteArray("TORVIK EXPERIMENT DATA FILE\r\n"
                                          "units = METRIC\r\n"
                                          "test type = COMPRESSION\r\n"
                                          "# data points= 2\r\n"
                                          " 0,  0\r\n"
                                          " 1.534,  278\r\n")
                            << QByteArray();
    QTest::newRow("summary") << QStringList{"--summary", "<dir>/in.tdf"} << kTestHardness
                             << hardnessPoints() << 0
                             << QByteArray("test type = HARDNESS\n"
                                           "# data points= 5\n"
                                           "max load = 150\n"
                                           "max displacement = 0.015\n"
                                           "hardness = 20\n")
                             << QByteArray();
    QTest::newRow("summary without points")
        << QStringList{"--summary", "<dir>/in.tdf"} << kTestTension << QList<std::int32_t>{} << 0
        << QByteArray("test type = TENSION\n# data points= 0\n") << QByteArray();
    QTest::newRow("no data file") << exportArguments << -1 << QList<std::int32_t>{} << 1
                                  << QByteArray()
                                  << QByteArray("File could not be opened.  Not a valid file "
                                                "type.\n");
    QTest::newRow("no points to export")
        << exportArguments << kTestShear << QList<std::int32_t>{} << 1 << QByteArray()
        << QByteArray("torvik-export: <dir>/in.tdf holds no points to export; nothing written.\n");
    QTest::newRow("folder missing")
        << QStringList{"<dir>/in.tdf", "<dir>/missing/out.txt"} << kTestShear << twoPoints << 1
        << QByteArray()
        << QByteArray("torvik-export: could not write <dir>/missing/out.txt: "
                      "Path/File access error: <dir>/missing/out.txt\n");
    const QByteArray usage = "usage: torvik-export [--metric] INPUT.tdf OUTPUT.txt\n";
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"in.tdf"}, QStringList{"--summary", "in.tdf", "out.txt"},
          QStringList{"--imperial", "in.tdf", "out.txt"}}) {
        QTest::newRow(qPrintable("usage: " + arguments.join(' ')))
            << arguments << kTestShear << QList<std::int32_t>{} << 2 << QByteArray() << usage;
    }
}

void TestTorvikExport::exitCodeOutputAndMessages() {
    QFETCH(QStringList, arguments);
    QFETCH(std::int32_t, code);
    QFETCH(QList<std::int32_t>, points);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, errors);
    code < 0 ? writeBytes(path("in.tdf"), dataFile({"TDF1"})) : input(code, points);
    QProcess process;
    process.start(TORVIK_EXPORT_PATH, arguments.replaceInStrings("<dir>", m_dir->path()));
    QVERIFY(process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString out = path("out.txt");
    QCOMPARE(process.readAllStandardOutput() + (QFile::exists(out) ? readBytes(out) : ""), output);
    const QByteArray expected = errors.replace("<dir>", m_dir->path().toUtf8());
    QCOMPARE(process.readAllStandardError().left(expected.size()), expected);
}

void TestTorvikExport::outputTheOperatorMayNotWriteExitsOne() {
    if (asNobody([] { return 0; }) != 0) {
        QSKIP("needs root, to make a file of another user, and the user nobody");
    }
    const QString in = input(kTestCompression, {32768, 1000, 30720, 2000});
    const QString out = writeBytes(path("out.txt"), "old");
    // nobody runs a copy: the build tree may lie where nobody cannot enter.
    const QString program = path("torvik-export");
    QVERIFY(QFile::copy(TORVIK_EXPORT_PATH, program));
    QCOMPARE(chmod(qPrintable(m_dir->path()), 0777), 0);
    const int code = asNobody([&] {
        const int log = open(qPrintable(path("err")), O_WRONLY | O_CREAT, 0644);
        dup2(log, STDERR_FILENO);
        execl(qPrintable(program), qPrintable(program), qPrintable(in), qPrintable(out), nullptr);
        return 126;
    });
    if (code == 126)
        QSKIP(qPrintable("nobody cannot run a copy of torvik-export in " + m_dir->path()));
    QCOMPARE(code, 1);
    QCOMPARE(readBytes(out), QByteArray("old"));
    QCOMPARE(readBytes(path("err")), "torvik-export: could not write " + out.toUtf8() +
                                         ": Permission denied: " + out.toUtf8() + "\n");
}

QTEST_GUILESS_MAIN(TestTorvikExport)
#include "tst_torvikexport.moc"
