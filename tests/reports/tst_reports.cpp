#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "reports/reportcontent.h"
#include "results/comparewindow.h"
#include "shell/mainfixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <sys/resource.h>

// Reports read back from the PDF: the header and fields, every property as
// `torvik-export --properties` prints it, the pages, and a chart of lines
// only; made on the command line and from the main window and the Compare
// window, with choosers and boxes scripted.
class TestReports : public QObject {
    Q_OBJECT

    static QByteArray
    run(const QString& program, const QStringList& arguments, int* code = nullptr) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60000))
            return {};
        if (code)
            *code = process.exitCode();
        return process.readAllStandardOutput() + process.readAllStandardError();
    }
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // The report's text as laid out on its pages, one line a row, every run
    // of blanks one space.
    static QString pdfText(const QString& pdf) {
        return QString(run("pdftotext", {"-layout", pdf, "-"}))
            .replace(QRegularExpression(" +"), " ");
    }
    // The cells of a row of comma-delimited text.
    static QStringList csvCells(const QString& line) {
        QStringList cells{QString()};
        bool quoted = false;
        for (const QChar c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                cells << QString();
            else
                cells.last() += c;
        }
        return cells;
    }
    // The fixtures: compression tests a.tdf and "b,1.tdf", the second with a
    // break; the hardness test c.tdf; copies of them for a set of nine.
    QStringList fixtures(int count) {
        QStringList files;
        const QStringList names{"a.tdf", "b,1.tdf", "c.tdf"};
        for (int i = 0; i < count; ++i) {
            const QString name = i < 3 ? names[i] : QString("copy%1-%2").arg(i).arg(names[i % 3]);
            QFile::copy(TORVIK_TEST_DATA "properties/" + names[i % 3], path(name));
            files << path(name);
        }
        return files;
    }
    // Every row --properties prints is in the report with the same numbers:
    // the rows' cells in order over the table's column groups.
    void checkProperties(const QString& text,
                         const QStringList& files,
                         bool specimen,
                         const QStringList& given = {}) {
        const QStringList csv =
            QString(run(TORVIK_EXPORT_PATH, QStringList{"--properties"} + given + files))
                .split('\n', Qt::SkipEmptyParts);
        // From the table's first heading on: the legend names the files too.
        const QStringList lines =
            text.mid(text.indexOf(QRegularExpression("\n\\s*(File|Property)\\s"))).split('\n');
        const QStringList headings = csvCells(csv[0]);
        for (const QString& row : csv.mid(1)) {
            QStringList cells = csvCells(row);
            cells[0] = QFileInfo(cells[0]).fileName();
            if (specimen) {
                // A test's own report has no left-out column; a value may be
                // followed by what it was found from.
                for (int c = 1; c + 1 < cells.size(); ++c) {
                    const QString heading =
                        c < 3 ? QStringList{"", "Test type", "Points"}[c] : headings[c];
                    const QString line =
                        lines
                            .filter(QRegularExpression("^\\s*" +
                                                       QRegularExpression::escape(heading) + "\\s"))
                            .value(0);
                    QVERIFY2(cells[c].isEmpty() ? line.endsWith(')')
                                                : line.endsWith(' ' + cells[c]) ||
                                                      line.contains(' ' + cells[c] + " ("),
                             qPrintable(heading + ": " + line));
                }
                continue;
            }
            QStringList shown;
            for (const QString& line : lines.filter(
                     QRegularExpression("^\\s*" + QRegularExpression::escape(cells[0]) + "\\s")))
                shown += line.trimmed().mid(cells[0].size()).split(' ', Qt::SkipEmptyParts);
            QStringList wanted = cells.mid(1);
            wanted.removeAll(QString());
            QCOMPARE(shown, wanted);
        }
    }

private slots:
    void init() {
        InitNameTables();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void commandLineReport_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("header");
        QTest::newRow("specimen") << 1 << 2
                                  << QStringList{"a.tdf",
                                                 "Test type: COMPRESSION",
                                                 "Points: 4",
                                                 "File modified:",
                                                 "Units: English (lbf, inch)",
                                                 "offset 0 lbf (0",
                                                 "0.125 in, width 0.5 in, length 2 in",
                                                 "Area: 0.0625 sq. in",
                                                 "Gauge length: 2 in",
                                                 "Program: Torvik 1.0"};
        QTest::newRow("set of nine")
            << 9 << 2
            << QStringList{"Specimen set of 9 tests", "Test type: COMPRESSION, HARDNESS",
                           "Tests: 9", "copy8-c.tdf"};
    }
    void commandLineReport() {
        QFETCH(int, files);
        QFETCH(int, pages);
        QFETCH(QStringList, header);
        const QStringList inputs = fixtures(files);
        const QString pdf = path("report.pdf");
        int code = -1;
        const QStringList dimensions{"--specimen", "thickness=3.175mm", "--specimen",
                                     "width=0.5",  "--specimen",        "length=2"};
        const QByteArray errors =
            run(TORVIK_EXPORT_PATH,
                QStringList{"--report", pdf, "--field", "specimen=S-17", "--field",
                            "material=6061 aluminium", "--specimen", "operator=J. Ortiz"} +
                    dimensions + inputs,
                &code);
        QVERIFY2(code == 0 && errors.isEmpty(), errors);
        const QString text = pdfText(pdf);
        for (const QString& expected :
             header +
                 QStringList{"Specimen: S-17", "Material: 6061 aluminium", "Operator: J. Ortiz"})
            QVERIFY2(text.count(expected) >= pages, qPrintable(expected + " in\n" + text));
        QVERIFY(text.contains("Displacement (inch)") && text.contains("Load (lbs)"));
        QVERIFY(QString(run("pdfinfo", {pdf}))
                    .contains(QRegularExpression(QString("Pages:\\s+%1\\n").arg(pages))));
        for (int page = 1; page <= pages; ++page)
            QVERIFY(text.contains(QString("Page %1 of %2").arg(page).arg(pages)));
        // The heading line and its rule: no image at all, the curve is lines.
        QCOMPARE(QString(run("pdfimages", {"-list", pdf})).count('\n'), 2);
        checkProperties(text, inputs, files == 1, dimensions);
    }

    // The header keeps to its share of the page: the chart and the table
    // stay on page 1, and long notes follow the table, complete and in order.
    void longNotesFollowTheTableComplete_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("separator");
        QStringList words;
        for (int i = 1; words.join(' ').size() < 3000; ++i)
            words << QString("w%1").arg(i, 4, 10, QChar('0'));
        QTest::newRow("3,000 characters") << words << " ";
        QStringList lines;
        for (int i = 1; i <= 60; ++i)
            lines << QString("line%1").arg(i, 2, 10, QChar('0'));
        QTest::newRow("60 short lines") << lines << "\n";
    }
    void longNotesFollowTheTableComplete() {
        QFETCH(QStringList, words);
        QFETCH(QString, separator);
        const QString pdf = path("notes.pdf");
        int code = -1;
        const QByteArray errors = run(
            TORVIK_EXPORT_PATH,
            {"--report", pdf, "--field", "notes=" + words.join(separator), fixtures(1)[0]}, &code);
        QVERIFY2(code == 0 && errors.isEmpty(), errors);
        const QString first = run("pdftotext", {"-f", "1", "-l", "1", pdf, "-"});
        QVERIFY2(first.contains("Displacement (inch)") && first.contains("Elongation at break (%)"),
                 qPrintable(first));
        const QString text = run("pdftotext", {pdf, "-"});
        qsizetype at = text.indexOf("Elongation at break (%)");
        for (const QString& word : words) {
            at = text.indexOf(QRegularExpression("\\b" + word + "\\b"), at);
            QVERIFY2(at > 0, qPrintable(word + " missing after the table in\n" + text));
        }
    }

    void commandLineLeavesOutAnUnreadableFileAndSaysWhyAWriteFailed() {
        // A test of a kind not known is in the set, named as such.
        const QStringList inputs =
            fixtures(2) << writeBytes(
                path("unknown.tdf"),
                dataFile({"TDF2", "", " 1", " 1000", " 32768", " 1", " 0"}, {1000, 32768}));
        writeBytes(path("bad.tdf"), "TDF1\r\n");
        int code = -1;
        QByteArray errors =
            run(TORVIK_EXPORT_PATH,
                QStringList{"--report", path("set.pdf")} + inputs + QStringList{path("bad.tdf")},
                &code);
        QCOMPARE(code, 1);
        QVERIFY2(errors.endsWith("torvik-export: " + path("bad.tdf").toUtf8() + " left out.\n"),
                 errors);
        const QString text = pdfText(path("set.pdf"));
        QVERIFY2(text.contains("Specimen set of 3 tests") &&
                     text.contains("Test type: COMPRESSION, not known"),
                 qPrintable(text));
        const QString missing = path("missing/x.pdf");
        errors = run(TORVIK_EXPORT_PATH, {"--report", missing, inputs[0]}, &code);
        QCOMPARE(code, 1);
        QVERIFY2(errors.startsWith("torvik-export: could not write " + missing.toUtf8()), errors);
    }

    // File, Report through the real window: the fields offered from the
    // test's specimen record and kept in it (not in the settings, so that a
    // report never carries another specimen's name), shown in the report
    // with the dimensions; a failed write (a full disk, a folder that does
    // not exist) says why and leaves the old file.
    void reportFromTheMainWindow() {
        MainFixture f;
        f.configure(QString());
        f.start().show();
        f.dialogs.messages.clear();
        QVERIFY(f.main->LoadFile(fixtures(2)[1]));
        f.settings.write("Report", "Specimen", "last set's specimen");
        const QString pdf = path("window.pdf"), old = writeBytes(path("old.pdf"), "old");
        f.dialogs.fileNames = {pdf, old, path("missing/x.pdf")};
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        QStringList offered;
        qsizetype limited = 0;
        for (const rlimit& write : {limit, rlimit{4000, limit.rlim_max}, limit}) {
            ModalWatcher watcher("Report", [&](QWidget& dialog) {
                offered << dialog.findChild<QLineEdit*>("textSpecimen")->text();
                dialog.findChild<QLineEdit*>("textSpecimen")->setText("W-1");
                dialog.findChild<QLineEdit*>("textMaterial")->setText("kept material");
                auto* notes = dialog.findChild<QPlainTextEdit*>("textNotes");
                notes->setPlainText(QString(5000, 'n'));
                limited = notes->toPlainText().size();
                notes->setPlainText("first note");
                setrlimit(RLIMIT_FSIZE, &write);
                dialog.findChild<QAbstractButton*>("buttonOK")->click();
                return true;
            });
            f.item<QAction>("mnuReport").trigger();
            QVERIFY(QTest::qWaitFor([&] { return watcher.done(); }));
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        QCOMPARE(offered, QStringList({"", "W-1", "W-1"}));
        QCOMPARE(limited, 4000); // the notes field's limit
        QVERIFY(f.dialogs.saveRequests.value(0).fileName.endsWith(".pdf"));
        QCOMPARE(f.settings.read("Report", "Specimen"), "last set's specimen");
        QCOMPARE(f.main->currentExperiment().specimen().material, std::string("kept material"));
        QVERIFY(!f.main->dataSaved());
        const QString text = pdfText(pdf);
        for (const char* expected :
             {"b,1.tdf", "Specimen: W-1", "Material: kept material", "Notes: first note",
              "Load at break (lbf)", "Gauge length: not given", "Area: not known"})
            QVERIFY2(text.contains(expected), qPrintable(expected));
        const QStringList texts = f.dialogs.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY2(texts[0].contains("The disk may be full") && texts[0].contains("unchanged"),
                 qPrintable(texts[0]));
        QCOMPARE(readBytes(old), QByteArray("old"));
        QCOMPARE(texts[1], "The data could not be written as a report to " + path("missing/x.pdf") +
                               ".\n\nThe folder " + path("missing") + " does not exist.");
    }

    // A test just run: "Unsaved test", begun when its journal began.
    void reportOfATestJustRun() {
        MainFixture f;
        QVERIFY(f.startOnMachine());
        const ModalWatcher byHand("RunExperiment", RunTestByHand);
        f.item<QAction>("mnuCompression").trigger();
        QVERIFY(f.main->experimentPresent());
        f.dialogs.fileNames = {path("run.pdf")};
        const ModalWatcher report("Report", [](QWidget& dialog) {
            dialog.findChild<QAbstractButton*>("buttonOK")->click();
            return true;
        });
        f.item<QAction>("mnuReport").trigger();
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(path("run.pdf")); }));
        QVERIFY(f.dialogs.saveRequests.value(0).fileName.startsWith("COMPRESSION - "));
        const QString text = pdfText(path("run.pdf"));
        QVERIFY2(text.contains("Unsaved test") &&
                     text.contains("Test began: " + QDate::currentDate().toString(Qt::ISODate)),
                 qPrintable(text));
    }

    // The Compare window's Report button: the set as the window lists it.
    void reportOfTheComparedSet() {
        MainFixture f;
        f.configure(QString());
        f.start().show();
        const QStringList files = fixtures(3);
        f.dialogs.fileNames = {path("set.pdf")};
        bool reported = false;
        ModalWatcher report("Report", [&](QWidget& dialog) {
            dialog.findChild<QAbstractButton*>("buttonOK")->click();
            return reported = true;
        });
        ModalWatcher compare("Compare", [&](QWidget& window) {
            auto& set = static_cast<CompareWindow&>(window);
            if (set.fileCount() == 0) {
                for (const QString& file : files)
                    set.addFile(file);
                QTimer::singleShot(0, window.findChild<QAbstractButton*>("buttonReport"),
                                   &QAbstractButton::click);
                return false;
            }
            if (reported)
                set.reject();
            return reported;
        });
        f.item<QAction>("mnuCompare").trigger();
        QVERIFY(QTest::qWaitFor([&] { return compare.done(); }));
        QVERIFY(f.dialogs.saveRequests.value(0).fileName.startsWith("SPECIMEN SET - "));
        const QString text = pdfText(path("set.pdf"));
        QVERIFY2(text.contains("Specimen set of 3 tests"), qPrintable(text));
        checkProperties(text, files, false);
    }

    // With the chart's marks on, a report's chart carries the modulus line,
    // up to the peak, and a cross at the proof point, the peak and the break.
    void reportDrawsTheChartsMarks() {
        const Experiment coupon = tensionCoupon();
        ReportContent report = SpecimenReport(coupon, {}, {}, kUnitsMetric, 2);
        AddResultMarks(report, coupon, kUnitsMetric, 2);
        QCOMPARE(report.curves.size(), std::size_t{5});
        const auto pointsOf = [&](std::size_t curve) {
            QList<QPointF> points;
            report.curves[curve].points([&](double x, double y) { points.append({x, y}); });
            return points;
        };
        QCOMPARE(pointsOf(1).back().y(), pointsOf(3)[2].y());
        QVERIFY(std::fabs(pointsOf(3)[2].y() - 44.12579) < 1e-4); // Rm, MPa
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
