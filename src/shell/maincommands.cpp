// The main window's commands: each menu item's handler, opening its window
// through the device-command gate, and the View menu's units and axes.

#include "acquisition/samplesize.h"
#include "acquisition/testjournal.h"
#include "auxiliary/about.h"
#include "auxiliary/helpwindow.h"
#include "auxiliary/test.h"
#include "calibration/calibration.h"
#include "device/interface.h"
#include "documents/defaultname.h"
#include "mainwindow.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "reports/reportcommand.h"
#include "results/comparewindow.h"
#include "results/resultsview.h"
#include "results/testpropertieswindow.h"
#include "shell/maintesthost.h"

#include <QCursor>
#include <QDateTime>
#include <QMenu>
#include <QPointer>
#include <QToolBar>

void Main::handleNewTest(std::int32_t testType) {
    runDeviceCommand([this, testType] {
        MainTestHost host(*this, m_dialogs);
        RunNewTest(host, testType);
        // The test began when its journal did.
        if (m_experimentPresent && !m_testBegan)
            m_testBegan = m_journal->startedSeconds();
        keepNewTestSpecimen();
    });
}

// Exactly as the close box: the close check decides.
void Main::handleExit() {
    close();
}

void Main::handleCalibration() {
    runDeviceCommand([this] {
        Calibration& dialog = calibrationDialog();
        CenterOver(dialog, *this);
        PauseLiveLoad();
        dialog.exec();
        ResumeLiveLoad();
    });
}

void Main::handleWatchSensors() {
    runDeviceCommand([this] {
        // The window is built for this one opening. It may delete itself on
        // close; the guard then reads null. It asks for the units when it
        // reads, after the pause below, in which a unit switch may still run.
        QPointer<Test> window = new Test(
            deviceInterface(), [this] { return units(); }, this);
        CenterOver(*window, *this);
        PauseLiveLoad();
        window->exec();
        delete window.data();
        ResumeLiveLoad();
    });
}

void Main::handleHelp() {
    runDeviceCommand([this] {
        if (!m_help)
            m_help = new HelpWindow(this);
        m_help->showStartPage(m_helpPath);
    });
}

// The live load keeps updating while the window is up.
void Main::handleAbout() {
    runDeviceCommand([this] {
        if (!m_about)
            m_about = new About(this);
        CenterOver(*m_about, *this);
        m_about->exec();
    });
}

void Main::handleTestProperties() {
    runDeviceCommand([this] {
        TestPropertiesWindow window(currentExperiment(), m_units, this);
        // A unit choice in the window switches the whole program.
        connect(&window, &TestPropertiesWindow::unitsChosen, this, [this](std::int32_t units) {
            runGuarded([this, units] {
                if (units == kUnitsEnglish)
                    handleEnglish();
                else
                    handleMetric();
            });
        });
        CenterOver(window, *this);
        window.exec();
    });
}

// Reads files only: the current test stays as it is.
void Main::handleCompare() {
    runDeviceCommand([this] {
        CompareWindow window(m_dialogs, fileChooserFolder(), m_units, this);
        // Already inside this command: the report runs at once.
        connect(&window, &CompareWindow::reportRequested, this,
                [this, &window] { runGuarded([this, &window] { reportSet(window); }); });
        CenterOver(window, *this);
        window.exec();
    });
}

void Main::reportSet(CompareWindow& window) {
    std::vector<ReportSpecimen> specimens;
    QStringList sources;
    for (int i = 0; i < window.fileCount(); ++i) {
        specimens.push_back({window.filePath(i), &window.experiment(i)});
        sources << window.filePath(i);
    }
    const std::int32_t units = window.units();
    m_report->run(
        window,
        DefaultFileName(QStringLiteral("SPECIMEN SET"), m_clock.wholeSeconds(),
                        QStringLiteral("pdf")),
        [&](const ReportFields& fields) { return SetReport(specimens, fields, units); }, sources);
}

// In the units and the view on display.
void Main::handleReport() {
    runDeviceCommand([this] {
        ReportSource source{m_dataFile, std::nullopt, m_testBeganIsModified};
        const Experiment& experiment = currentExperiment();
        // As Save and Export: a test without points gives no file.
        if (experiment.Count() == 0) {
            m_dialogs.message(tr("The test has no points: nothing was written as a report."),
                              Dialogs::Icon::Exclamation);
            return;
        }
        const SpecimenRecord& specimen = experiment.specimen();
        if (specimen.beganSeconds) {
            source.began = QDateTime::fromSecsSinceEpoch(*specimen.beganSeconds);
            source.beganIsModified = false;
        } else if (m_testBegan) {
            source.began = QDateTime::fromSecsSinceEpoch(*m_testBegan);
        }
        // The name Save would propose, as a PDF.
        const QString proposed = DefaultFileName(QString::fromStdString(experiment.TestString()),
                                                 m_clock.wholeSeconds(), QStringLiteral("pdf"));
        // The fields are the record's own, and go back into it.
        const auto text = [](const std::string& s) { return QString::fromStdString(s); };
        const ReportFields fields{text(specimen.name), text(specimen.material),
                                  text(specimen.operatorName), text(specimen.notes)};
        const auto accepted = [this](const ReportFields& typed) {
            SpecimenRecord edited = currentExperiment().specimen();
            edited.name = typed.specimen.toStdString();
            edited.material = typed.material.toStdString();
            edited.operatorName = typed.operatorName.toStdString();
            edited.notes = typed.notes.toStdString();
            specimenEdited(edited);
        };
        m_report->runForTest(*this, proposed, fields, accepted,
                             [&](const ReportFields& typed) {
                                 ReportContent content =
                                     SpecimenReport(experiment, source, typed, m_units, m_viewMode);
                                 // The chart's marks, when it shows them.
                                 if (m_results->resultMarks())
                                     AddResultMarks(content, experiment, m_units, m_viewMode);
                                 return content;
                             },
                             {m_dataFile});
    });
}

void Main::setUnits(std::int32_t units) {
    m_menus.mnuEnglish->setChecked(units == kUnitsEnglish);
    m_menus.mnuMetric->setChecked(units != kUnitsEnglish);
    m_units = units;
}

void Main::setViewMode(std::int32_t viewMode) {
    m_menus.mnuStressStrain->setChecked(viewMode == kViewStressStrain);
    m_menus.mnuLoadDisp->setChecked(viewMode != kViewStressStrain);
    m_viewMode = viewMode;
}

void Main::handleEnglish() {
    setUnits(kUnitsEnglish);
    ShowResults();
}

void Main::handleMetric() {
    setUnits(kUnitsMetric);
    ShowResults();
}

void Main::handleZoomOut() {
    m_results->zoomOut();
}

// The check mark says whether the chart marks the results; a fill shows it.
void Main::handleResultMarks() {
    m_results->setResultMarks(m_menus.mnuResultMarks->isChecked());
    ShowResults();
}

void Main::handleLoadDisp() {
    setViewMode(kViewLoadDisplacement);
    ShowResults();
}

// The dimensions are asked for every time, also in this view already: it is
// how the operator changes them. Cancel changes nothing, check marks included
// (the menu has already toggled the item it triggered).
void Main::handleStressStrain() {
    setViewMode(m_viewMode);
    runDeviceCommand([this] {
        if (!m_sampleSize)
            m_sampleSize = new SampleSize(currentExperiment(), m_dialogs, this);
        CenterOver(*m_sampleSize, *this);
        const SpecimenRecord before = currentExperiment().specimen();
        m_sampleSize->exec();
        if (!m_sampleSize->OKclicked())
            return;
        setViewMode(kViewStressStrain);
        // New dimensions are part of the test's record: unsaved, journalled.
        const SpecimenRecord after = currentExperiment().specimen();
        currentExperiment().SetSpecimen(before);
        specimenEdited(after);
        ShowResults();
    });
}

void Main::handleToolbarAction(QAction* button) {
    const QString key = button->data().toString();
    if (key == QLatin1String("New"))
        m_menus.mnuNew->popup(QCursor::pos());
    else if (key == QLatin1String("Open"))
        m_menus.mnuOpen->trigger();
    else if (key == QLatin1String("Save"))
        m_menus.mnuSave->trigger();
    else if (key == QLatin1String("Print"))
        m_menus.mnuPrint->trigger();
}
