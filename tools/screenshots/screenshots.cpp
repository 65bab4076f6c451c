// Renders the main window, the calibration dialog and the sensor watch window
// to PNG files for the documentation: the real widgets on the simulated
// machine (TORVIK_SIM), under whatever platform the caller chose (offscreen).
// Then a compression test while it runs, the results of a tension test, as load against
// displacement and as stress against strain with the Sample Size dialog, and of a hardness test,
// opened from data files written here; the tension test's chart zoomed to
// its yield with the readout on one point.
// Usage: torvik-screenshots FOLDER

#include "mainfixture.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "reports/reportcontent.h"
#include "reports/reportwriter.h"
#include "results/resultschart.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>

namespace {
// 406 counts of compression: 12.4 lbf at a ratio of 1.
const QString kHeldLoad = QStringLiteral("hold 32362 17250");
constexpr int kPatienceMsecs = 10000;

// Raw counts per lbf at a load-cell ratio of 1, and per inch of travel.
constexpr double kCountsPerLbf = 32.768;
constexpr double kCountsPerInch = 65535.0 / 4.0;

// A tension specimen of 3000 points: elastic rise, yield, hardening to a
// peak of about 480 lbf, necking and the break, over 0.4 inch.
Experiment tensionTest(double strength = 1.0) {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestTension);
    constexpr int kPoints = 3000;
    for (int i = 0; i < kPoints; ++i) {
        const double p = static_cast<double>(i) / (kPoints - 1);
        double lbf =
            strength * (420.0 * (1.0 - std::exp(-p * 25.0)) + 120.0 * p - 150.0 * std::pow(p, 6.0));
        if (i > kPoints - 15)
            lbf *= static_cast<double>(kPoints - i) / 15.0; // the break
        const double jitter = i < 10 ? 0.0 : ((i * 7919) % 5 - 2) * 0.4;
        experiment.AddDataPoint(32768 + static_cast<int>((lbf + jitter) * kCountsPerLbf),
                                60000 - static_cast<int>(p * 0.4 * kCountsPerInch));
    }
    return experiment;
}

// A hardness test: the load grows a little faster than the indentation, to
// about 1000 lbf at 0.03 inch.
Experiment hardnessTest() {
    Experiment experiment;
    experiment.SetLoadCellRatio(1.0f);
    experiment.SetTestType(kTestHardness);
    constexpr int kPoints = 600;
    for (int i = 0; i < kPoints; ++i) {
        const double inch = 0.03 * i / (kPoints - 1);
        const double lbf = 30000.0 * inch + 200000.0 * inch * inch;
        experiment.AddDataPoint(32768 - static_cast<int>(lbf * kCountsPerLbf),
                                1000 + static_cast<int>((inch + lbf * 0.00001) * kCountsPerInch));
    }
    return experiment;
}

bool save(QWidget& window, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    const bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// Opens a modal window through `item`, waits until `ready` holds, saves it
// and closes it with the button `closeButton`.
bool shootModal(MainFixture& f,
                const char* item,
                const QString& objectName,
                const std::function<bool(QWidget&)>& ready,
                const char* closeButton,
                const QDir& folder,
                const QString& fileName) {
    bool saved = false;
    int calls = 0;
    ModalWatcher watcher(objectName, [&](QWidget& window) {
        if (!ready(window) && ++calls < kPatienceMsecs / 10)
            return false;
        saved = save(window, folder, fileName);
        window.findChild<QAbstractButton*>(QLatin1String(closeButton))->click();
        return true;
    });
    f.item<QAction>(item).trigger();
    return saved;
}
// A compression test on the simulated machine, shot while the load rises.
bool shootRunningTest(MainFixture& f, const QDir& folder) {
    if (!f.sim->command(QStringLiteral("test compression")))
        return false;
    bool loading = false;
    bool saved = false;
    ModalWatcher watcher(QStringLiteral("RunExperiment"), [&](QWidget& window) {
        if (!loading)
            loading = f.sim->command(QStringLiteral("load"));
        const auto* load = window.findChild<QLineEdit*>(QStringLiteral("textLoad"));
        if (load->text().toDouble() < 250.0)
            return false;
        saved = save(window, folder, QStringLiteral("doexperiment.png"));
        window.findChild<QAbstractButton*>(QStringLiteral("buttonStop"))->click();
        return true;
    });
    f.item<QAction>("mnuCompression").trigger();
    return saved;
}

// The live load shows again once the last window has closed.
bool saveMain(MainFixture& f, const QDir& folder, const QString& name) {
    return QTest::qWaitFor([&] { return !f.liveLoadPanel().text().isEmpty(); }, kPatienceMsecs) &&
           save(*f.main, folder, name);
}

// Drags a rectangle round the knee of the curve, from the left edge at 55%
// of the plot's height to a quarter of its width at 95%, then points at the
// line: the main window and the chart alone.
bool shootZoomed(MainFixture& f, const QDir& folder) {
    auto& view = f.item<QChartView>("chart");
    QChart& chart = *view.chart();
    const QRectF plot = chart.plotArea();
    const auto at = [&](double x, double y) {
        return view.mapFromScene(chart.mapToScene(
            QPointF(plot.left() + x * plot.width(), plot.bottom() - y * plot.height())));
    };
    QWidget* viewport = view.viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, at(0.0, 0.55));
    QTest::mouseMove(viewport, at(0.25, 0.95));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(0.25, 0.95));
    // Point 241 of 3000, at 0.032 inch, lies on the knee.
    const QPointF knee = chart.mapToPosition(f.item<ResultsChart>("chart").allPoints().at(240),
                                             chart.series().constFirst());
    const QPoint pointer = view.mapFromScene(chart.mapToScene(knee + QPointF(3, 4)));
    QMouseEvent move(QEvent::MouseMove, pointer, viewport->mapToGlobal(pointer), Qt::NoButton, {},
                     {});
    QCoreApplication::sendEvent(viewport, &move);
    return saveMain(f, folder, QStringLiteral("results-zoomed.png")) &&
           save(view, folder, QStringLiteral("chart-zoomed.png"));
}

// Opens each test as from the command line and shoots the main window.
bool shootResults(MainFixture& f, const QDir& folder) {
    QTemporaryDir files;
    const QString tension = files.filePath(QStringLiteral("tension.tdf"));
    const QString hardness = files.filePath(QStringLiteral("hardness.tdf"));
    if (!tensionTest().SaveFile(tension.toStdString()) ||
        !hardnessTest().SaveFile(hardness.toStdString()) || !f.main->LoadFile(tension))
        return false;
    bool ok = saveMain(f, folder, QStringLiteral("results-tension.png"));
    ok &= shootZoomed(f, folder);
    bool dialogShot = false;
    const ModalWatcher watcher(QStringLiteral("SampleSize"), [&](QWidget& dialog) {
        const char* names[] = {"editThickness", "editWidth", "editLength"};
        const char* texts[] = {"0.125", "0.5", "2"};
        for (int i = 0; i < 3; ++i)
            dialog.findChild<QLineEdit*>(QLatin1String(names[i]))->setText(QLatin1String(texts[i]));
        dialogShot = save(dialog, folder, QStringLiteral("samplesize.png"));
        dialog.findChild<QAbstractButton*>(QStringLiteral("OKButton"))->click();
        return true;
    });
    f.item<QAction>("mnuStressStrain").trigger();
    ok &= dialogShot && saveMain(f, folder, QStringLiteral("results-stressstrain.png"));
    f.item<QAction>("mnuLoadDisp").trigger();
    ok &=
        f.main->LoadFile(hardness) && save(*f.main, folder, QStringLiteral("results-hardness.png"));
    return ok;
}
// The first page of a specimen report and of a set report, as pdftoppm
// renders them.
bool shootReports(const QDir& folder) {
    QTemporaryDir files;
    const ReportFields fields{QStringLiteral("T-0412"), QStringLiteral("6061-T6 aluminium strip"),
                              QStringLiteral("J. Ortiz"),
                              QStringLiteral("Gauge length 2 inch, crosshead 0.2 inch/min.")};
    std::vector<Experiment> tests;
    for (const double strength : {1.0, 0.96, 1.03, 0.99, 1.05})
        tests.push_back(tensionTest(strength));
    std::vector<ReportSpecimen> specimens;
    for (std::size_t i = 0; i < tests.size(); ++i)
        specimens.push_back({QStringLiteral("T-04%1.tdf").arg(12 + i), &tests[i]});
    const ReportSource source{QStringLiteral("T-0412.tdf"),
                              QDateTime(QDate(2026, 3, 7), QTime(14, 5)), false};
    const std::pair<QString, ReportContent> reports[] = {
        {QStringLiteral("report-specimen"),
         SpecimenReport(tests[0], source, fields, kUnitsEnglish, 1)},
        {QStringLiteral("report-set"), SetReport(specimens, fields, kUnitsEnglish)}};
    bool ok = true;
    for (const auto& [name, content] : reports) {
        const QString pdf = files.filePath(name + QStringLiteral(".pdf"));
        ReportWriter(content, ReportWriter::PageSize::A4).write(pdf);
        ok &= QProcess::execute(QStringLiteral("pdftoppm"),
                                {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                 QStringLiteral("-singlefile"), pdf, folder.filePath(name)}) == 0;
    }
    return ok;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: torvik-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return 1;

    MainFixture f;
    if (!f.startOnMachine() || !f.sim->command(kHeldLoad)) {
        std::fprintf(stderr, "torvik-screenshots: the simulator did not start (TORVIK_SIM)\n");
        return 1;
    }
    Main& main = *f.main;
    if (!QTest::qWaitForWindowExposed(&main) ||
        !QTest::qWaitFor([&] { return f.liveLoadPanel().text() == QLatin1String("12.4 lbs"); },
                         kPatienceMsecs))
        return 1;

    bool ok = save(main, folder, QStringLiteral("main.png"));
    ok &= shootModal(
        f, "mnuCalibration", QStringLiteral("Calibration"), [](QWidget&) { return true; },
        "CancelButton", folder, QStringLiteral("calibration.png"));
    ok &= shootModal(
        f, "mnutest", QStringLiteral("Test"),
        [](QWidget& window) {
            return !window.findChild<QLineEdit*>(QStringLiteral("textDisp"))->text().isEmpty();
        },
        "buttonClose", folder, QStringLiteral("watchsensors.png"));
    ok &= shootRunningTest(f, folder);
    ok &= shootResults(f, folder);
    ok &= shootReports(folder);
    return ok ? 0 : 1;
}
