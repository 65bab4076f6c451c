// The installed program: `cmake --install` into a temporary prefix, then the
// program started from there, its desktop entry, its data-file type and its
// manual pages checked with the desktop's own tools (skipped where a tool is
// not installed).

#include "device/simprocess.h"
#include "platform/helplocation.h"

#include <QMimeDatabase>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kDataFileType = QStringLiteral("application/x-torvik-data");

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run RunTool(const QString& program,
            const QStringList& arguments,
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}
} // namespace

class TestInstallation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_prefix.isValid());
        const Run install = RunTool(QStringLiteral(TORVIK_CMAKE),
                                    {"--install", TORVIK_BUILD_DIR, "--prefix", m_prefix.path()});
        QVERIFY2(install.exitCode == 0, qPrintable(install.err));
    }

    // Started from the prefix on a simulated machine with a stored
    // calibration, the program gets through its start-up to live polling; its
    // help start page is the one installed under the prefix.
    void installedProgramStartsAndFindsItsHelp() {
        QCOMPARE(HelpStartPage(installed("bin")), installed("share/torvik/help/index.html"));
        QVERIFY(QFileInfo::exists(installed("share/torvik/help/index.html")));

        qputenv("TORVIK_SIM", installed("bin/torvik-sim").toLocal8Bit());
        SimProcess sim;
        QVERIFY(sim.start({QStringLiteral("--log")}));
        QTemporaryDir config;
        QSettings settings(config.filePath("Torvik/Torvik.ini"), QSettings::IniFormat);
        settings.setValue("Calibration/Load Cell", "3.906");
        settings.setValue("Calibration/Load Cell Offset", "0");
        settings.setValue("Ports/Port 1", sim.path());
        for (int port = 2; port <= 4; ++port)
            settings.setValue(QStringLiteral("Ports/Port %1").arg(port), "/nonexistent");
        settings.sync();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", config.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(installed("bin/torvik"));
        QVERIFY(program.waitForStarted());
        // The probe alone keeps the splash up for three seconds.
        QTRY_VERIFY_WITH_TIMEOUT(sim.requests().size() >= 3, 30000);
        QCOMPARE(sim.requests().mid(0, 3), (QStringList{"CAL", "IDN?", "RV"}));
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
    }

    void desktopEntryValidates() {
        const QString validate = Tool("desktop-file-validate");
        if (validate.isEmpty())
            QSKIP("desktop-file-validate is not installed");
        const Run run = RunTool(validate, {installed("share/applications/torvik.desktop")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out + run.err, QString());
    }

    // The type's definition passes the MIME database's own compiler without a
    // complaint; a renamed data file is known by its leading mark.
    void dataFileKnownByNameAndByContent() {
        const QString update = Tool("update-mime-database");
        if (update.isEmpty())
            QSKIP("update-mime-database is not installed");
        qputenv("XDG_DATA_DIRS", (installed("share") + ":/usr/share").toLocal8Bit());
        const Run run = RunTool(update, {installed("share/mime")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString()); // parser errors do not change the exit code

        const QMimeDatabase types;
        const QMimeType byName = types.mimeTypeForFile(
            QStringLiteral("TENSION - Mar 07, 14.05.tdf"), QMimeDatabase::MatchExtension);
        QCOMPARE(byName.name(), kDataFileType);
        QCOMPARE(byName.comment(), QStringLiteral("Torvik data file"));

        QTemporaryDir dir;
        QFile renamed(dir.filePath("renamed.dat"));
        QVERIFY(renamed.open(QIODevice::WriteOnly));
        renamed.write(QByteArray("TDF2\r\nTENSION\r\n 2\r\n 10\r\n 33000\r\n .9999\r\n 0\r\n")
                          .leftJustified(99, '\0'));
        renamed.close();
        QCOMPARE(types.mimeTypeForFile(renamed.fileName()).name(), kDataFileType);
    }

    void manualPagesRender() {
        const QString man = Tool("man");
        if (man.isEmpty())
            QSKIP("man is not installed");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MANWIDTH", "80");
        environment.insert("LC_ALL", "C.UTF-8");
        for (const char* name : {"torvik", "torvik-export", "torvik-sim"}) {
            const QString page = installed(QStringLiteral("share/man/man1/%1.1.gz").arg(name));
            const Run run = RunTool(man, {"--warnings", "-E", "UTF-8", "-l", page}, environment);
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.err, QString());
            QVERIFY(run.out.contains(QString::fromLatin1(name) + QStringLiteral(" -")));
        }
    }

private:
    QString installed(const QString& path) const { return m_prefix.filePath(path); }

    QTemporaryDir m_prefix;
};

QTEST_GUILESS_MAIN(TestInstallation)
#include "tst_installation.moc"
