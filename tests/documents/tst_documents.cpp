#include "documents/defaultname.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "platform/printer.h"
#include "results/resultschart.h"
#include "shell/mainfixture.h"

#include <QChartView>
#include <QClipboard>
#include <QMimeData>
#include <QXYSeries>
#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using Answer = Dialogs::Answer;

// The document commands on a main window without a machine, choosers and
// boxes scripted, and print on the real print system.
class TestDocuments : public QObject {
    Q_OBJECT

    static constexpr int kPoints = 5;

    QString dataFile(const QString& name, std::int32_t type = kTestTension) {
        const QString path = m_dir->filePath(name);
        return testOf(type, hardnessPoints(kPoints)).SaveFile(path.toStdString()) ? path
                                                                                  : QString();
    }
    void trigger(const char* item) { m_f->item<QAction>(item).trigger(); }
    static QString run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished() ? process.readAllStandardOutput() : QString();
    }
    void showTestWithAxisTitles() {
        QVERIFY(m_f->main->LoadFile(dataFile("shown.tdf")));
        QChart& chart = *m_f->item<QChartView>("chart").chart();
        chart.axes(Qt::Horizontal).constFirst()->setTitleText("Displacement (inch)");
        chart.axes(Qt::Vertical).constFirst()->setTitleText("Load (lbs)");
        auto* series = qobject_cast<QXYSeries*>(chart.series().constFirst());
        if (series->count() == 0)
            series->append({{0, 0}, {0.1, 10}, {0.2, 20}, {0.3, 30}, {0.4, 40}});
        QCoreApplication::processEvents(); // the chart lays out its titles
    }

private slots:
    void cleanup() { m_f.reset(); }
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_f = std::make_unique<MainFixture>();
        m_f->configure(QString());
        m_f->settings.write("General", "Path", m_dir->path());
        m_f->start().show();
        m_f->dialogs.messages.clear();
    }

    // Yes with a cancelled chooser stops the command like Cancel.
    void questionGuardsUnsavedData_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("goesOn");
        for (const char* command : {"mnuOpen", "mnuClose", "mnuExit"}) {
            QTest::addRow("%s Yes, saved", command) << command << Answer::Yes << true;
            QTest::addRow("%s Yes, chooser cancelled", command) << command << Answer::Yes << false;
            QTest::addRow("%s No", command) << command << Answer::No << true;
            QTest::addRow("%s Cancel", command) << command << Answer::Cancel << false;
        }
    }
    void questionGuardsUnsavedData() {
        QFETCH(QString, command);
        QFETCH(Answer, answer);
        QFETCH(bool, goesOn);
        Main& main = *m_f->main;
        main.currentExperiment().AddDataPoint(33000, 1000);
        main.EnableDataCommands();
        m_f->dialogs.answers = {answer};
        const bool saves = QString(QTest::currentDataTag()).endsWith("saved");
        m_f->dialogs.fileNames = {saves ? m_dir->filePath("kept.tdf") : QString()};
        trigger(command.toLatin1());
        QCOMPARE(m_f->dialogs.texts(), QStringList{"Data not saved.  Save?"});
        QCOMPARE(QFile::exists(m_dir->filePath("kept.tdf")), saves);
        const bool went = command == "mnuOpen"    ? !m_f->dialogs.openRequests.isEmpty()
                          : command == "mnuClose" ? !main.experimentPresent()
                                                  : !main.isVisible();
        QCOMPARE(went, goesOn);
        // The document commands are there exactly while a test is.
        for (const char* item : {"mnuSave", "toolbarSave", "mnuExport", "mnuPrint", "toolbarPrint",
                                 "mnuClose", "mnuReport"})
            QCOMPARE(m_f->item<QAction>(item).isEnabled(), main.experimentPresent());
    }

    // A file that fails to open leaves everything as it was. Choosers start
    // in the stored folder, then in the folder of the last file chosen.
    void openReplacesTheRecordOnlyWhenTheFileLoads() {
        Main& main = *m_f->main;
        QVERIFY(main.LoadFile(dataFile("first.tdf", kTestCompression)));
        QDir(m_dir->path()).mkdir("other");
        const QString bad = dataFile("other/short.tdf"); // cut short: its points are missing
        QVERIFY(QFile::resize(bad, 110));
        m_f->dialogs.fileNames = {bad, dataFile("second.tdf")};
        trigger("mnuOpen");
        QCOMPARE(m_f->dialogs.texts(),
                 QStringList{"File could not be opened.  Not a valid file type."});
        QCOMPARE(main.currentExperiment().TestType(), kTestCompression);
        QVERIFY(main.experimentPresent() && main.dataSaved());
        trigger("toolbarOpen");
        QCOMPARE(main.currentExperiment().TestType(), kTestTension);
        const auto& requests = m_f->dialogs.openRequests;
        QCOMPARE(requests[0].folder, m_dir->path());
        QCOMPARE(requests[1].folder, m_dir->filePath("other"));
        QCOMPARE(requests[0].filter, QStringLiteral("Torvik Data File (*.tdf);;All Files (*)"));
    }

    void defaultNamesFollowTheClockInEnglish() {
        QLocale::setDefault(QLocale(QLocale::German));
        const auto name = [](int month, int day, int hour, int minute) {
            const QDateTime when(QDate(2026, month, day), QTime(hour, minute, 59));
            return DefaultFileName("SHEAR", when.toSecsSinceEpoch(), "tdf");
        };
        QCOMPARE(name(11, 3, 9, 7), QStringLiteral("SHEAR - Nov 03, 09.07.tdf"));
        QCOMPARE(name(3, 17, 0, 0), QStringLiteral("SHEAR - Mar 17, 00.00.tdf"));
    }

    // Byte for byte as the record writes the units on display. Exporting is
    // not saving.
    void exportWritesTheUnitsOnDisplay() {
        Main& main = *m_f->main;
        QVERIFY(main.LoadFile(dataFile("test.tdf")));
        const QString reference = m_dir->filePath("reference");
        for (const char* units : {"mnuMetric", "mnuEnglish"}) {
            trigger(units);
            m_f->dialogs.fileNames = {m_dir->filePath(units)};
            trigger("mnuExport");
            QVERIFY(main.currentExperiment().Export(reference.toStdString(), main.units()));
            QCOMPARE(readBytes(m_dir->filePath(units)), readBytes(reference));
        }
        const Dialogs::FileRequest& request = m_f->dialogs.saveRequests[0];
        QCOMPARE(request.filter,
                 QStringLiteral("Comma Delimated Text File (*.txt);;All Files (*)"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("txt"));
        QVERIFY(main.dataSaved() && m_f->dialogs.messages.isEmpty());
    }

    // A disk that fills up midway: the operator is told, the old file stays
    // and the close that asked does not go on. A missing folder and a pipe
    // likewise.
    void failedWritesAreReportedAndChangeNothing() {
        Main& main = *m_f->main;
        QVERIFY(main.LoadFile(dataFile("test.tdf")));
        main.setDataSaved(false);
        const QString old = dataFile("old.tdf", kTestShear);
        const QByteArray before = readBytes(old);
        m_f->dialogs.answers = {Answer::Yes};
        const QString pipe = m_dir->filePath("pipe");
        QCOMPARE(mkfifo(qPrintable(pipe), 0666), 0);
        m_f->dialogs.fileNames = {old, m_dir->filePath("gone/x.txt"), pipe};
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small{40, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        trigger("mnuClose");
        setrlimit(RLIMIT_FSIZE, &limit);
        trigger("mnuExport");
        trigger("mnuExport");
        const QStringList texts = m_f->dialogs.texts();
        QCOMPARE(texts.size(), 4);
        QVERIFY(texts[1].startsWith("The data could not be saved to ") &&
                texts[1].contains("The disk may be full") && texts[1].contains("unchanged"));
        QVERIFY(texts[2].contains("does not exist"));
        QVERIFY(texts[3].contains("a pipe or a device") && texts[3].contains("unchanged"));
        QCOMPARE(readBytes(old), before);
        QVERIFY(main.experimentPresent() && !main.dataSaved());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // Export and Report never go over a data file, whatever its name, nor
    // over the test's own file: the operator is told, nothing is written
    // there, and the chooser comes again.
    void exportAndReportNeverWriteOverADataFile_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("ownFile");
        for (const char* command : {"mnuExport", "mnuReport"}) {
            QTest::addRow("%s over the test's own file", command) << command << true;
            QTest::addRow("%s over a data file named .txt", command) << command << false;
        }
    }
    void exportAndReportNeverWriteOverADataFile() {
        QFETCH(QString, command);
        QFETCH(bool, ownFile);
        const QString own = dataFile("own.tdf");
        QVERIFY(m_f->main->LoadFile(own));
        const QString target = ownFile ? own : m_dir->filePath("other.txt");
        QVERIFY(ownFile || QFile::rename(dataFile("other.tdf", kTestShear), target));
        const QByteArray before = readBytes(target);
        const QString fresh = m_dir->filePath("fresh");
        m_f->dialogs.fileNames = {target, fresh};
        const ModalWatcher report("Report", [](QWidget& dialog) {
            dialog.findChild<QAbstractButton*>("buttonOK")->click();
            return true;
        });
        trigger(command.toLatin1());
        QCOMPARE(m_f->dialogs.texts(),
                 QStringList{target +
                             (ownFile ? " holds the test's own readings." : " is a data file.") +
                             "  It is not written over; choose another name."});
        QCOMPARE(readBytes(target), before);
        QCOMPARE(m_f->dialogs.saveRequests.size(), 2);
        QVERIFY(QFile::exists(fresh) && m_f->main->dataSaved());
    }

    // As Export, Report writes nothing for a test without points.
    void reportOfATestWithoutPointsWritesNothing() {
        const QString none =
            writeBytes(m_dir->filePath("none.tdf"),
                       ::dataFile({"TDF2", "TENSION", " 0", " 0", " 0", " 1", " 0"}));
        QVERIFY(m_f->main->LoadFile(none));
        const ModalWatcher report("Report", [](QWidget& dialog) {
            dialog.findChild<QAbstractButton*>("buttonCancel")->click();
            return true;
        });
        trigger("mnuReport");
        QCOMPARE(m_f->dialogs.texts(),
                 QStringList{"The test has no points: nothing was written as a report."});
    }

    // A damaged file: the points that convert are shown, the operator is
    // told once which do not and why, and Export names the point instead of
    // blaming the disk.
    void readingsThatDoNotConvertAreToldOnceAndExportSaysWhy_data() {
        QTest::addColumn<QByteArray>("offset");
        QTest::addColumn<std::int32_t>("load150");
        QTest::addColumn<qsizetype>("shown");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("why");
        QTest::newRow("a reading") << QByteArray(" 0") << 2147483647 << qsizetype(299)
                                   << "1 of the 300 points of this test cannot be converted to a "
                                      "load and a displacement and is left out of the chart; "
                                      "point 150, the first, does not convert because its load "
                                      "reading 2147483647 is outside 0 to 65535."
                                   << "Point 150 of 300 does not convert: its load reading "
                                      "2147483647 is outside 0 to 65535.";
        QTest::newRow("an offset")
            << QByteArray(" 2147483647") << 31268 << qsizetype(0)
            << "None of the 300 points of this test can be converted to a load and a "
               "displacement, so none is shown: point 1, the first, does not convert because the "
               "load-cell offset 2147483647 of the test's calibration is outside -32768 to 32767."
            << "Point 1 of 300 does not convert: the load-cell offset 2147483647 of the test's "
               "calibration is outside -32768 to 32767.";
    }
    void readingsThatDoNotConvertAreToldOnceAndExportSaysWhy() {
        QFETCH(QByteArray, offset);
        QFETCH(std::int32_t, load150);
        QFETCH(qsizetype, shown);
        QFETCH(QString, told);
        QFETCH(QString, why);
        QList<std::int32_t> body;
        for (std::int32_t i = 1; i <= 300; ++i)
            body << 1000 + i << (i == 150 ? load150 : 32768 - 10 * i);
        const QString file = writeBytes(
            m_dir->filePath("damaged.tdf"),
            ::dataFile({"TDF2", "COMPRESSION", " 300", " 1300", " 29768", " 1", offset}, body));
        QVERIFY(m_f->main->LoadFile(file));
        QCOMPARE(m_f->dialogs.texts(), QStringList{told});
        QCOMPARE(m_f->item<ResultsChart>("chart").pointCount(), shown);
        const QString out = m_dir->filePath("out.txt");
        m_f->dialogs.fileNames = {out};
        trigger("mnuExport");
        QCOMPARE(m_f->dialogs.texts().value(1), "The data could not be exported to " + out +
                                                    ".\n\n" + why + "  Nothing was written.");
        QVERIFY(!QFile::exists(out));
    }

    // Two prints, two one-page jobs whose page holds the axis titles; the
    // clipboard holds the picture, a bitmap and the points as text.
    void printPutsTheChartOnThePageAndTheClipboard() {
        if (DefaultPrinter::DefaultPrinterName() != "PDF")
            QSKIP("no PDF printer is the default (scripts/start-printer.sh sets one up)");
        const auto jobs = [] {
            // scripts/start-printer.sh sends each user's pages here.
            return QDir("/var/spool/cups-pdf/" +
                        QString::fromLocal8Bit(getpwuid(getuid())->pw_name))
                .entryInfoList({"*Torvik_chart*.pdf"}, QDir::Files, QDir::Time);
        };
        const qsizetype before = jobs().size();
        showTestWithAxisTitles();
        trigger("mnuPrint");
        trigger("toolbarPrint");
        QTRY_COMPARE_WITH_TIMEOUT(jobs().size(), before + 2, 60000);
        for (const QFileInfo& job : jobs().mid(0, 2)) {
            // One form feed ends each page; the printer may still be writing.
            QString text;
            QTRY_COMPARE_WITH_TIMEOUT((text = run("pdftotext", {job.filePath(), "-"})).count('\f'),
                                      1, 30000);
            QVERIFY(text.contains("Displacement (inch)") && text.contains("Load (lbs)"));
        }
        const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
        QVERIFY(clip->data("image/svg+xml").contains("Displacement (inch)"));
        QVERIFY(!qvariant_cast<QImage>(clip->imageData()).isNull());
        QCOMPARE(clip->text().count('\t'), kPoints);
        QCOMPARE(clip->text().count('\n'), kPoints);
    }

    // Run by tst_documents_noprinter, with no print system to reach.
    void noPrinterIsReported() {
        if (!DefaultPrinter::DefaultPrinterName().isEmpty())
            QSKIP("a default printer is set up");
        showTestWithAxisTitles();
        trigger("toolbarPrint");
        QCOMPARE(m_f->dialogs.texts(), QStringList{"The chart could not be printed: no default "
                                                   "printer is set up.  The chart is on the "
                                                   "clipboard."});
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainFixture> m_f;
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
