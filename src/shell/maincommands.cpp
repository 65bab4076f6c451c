// The main window's commands: each menu item's handler, opening its window
// through the device-command gate, and the View menu's units and axes.

#include "acquisition/samplesize.h"
#include "auxiliary/about.h"
#include "auxiliary/helpwindow.h"
#include "auxiliary/test.h"
#include "calibration/calibration.h"
#include "device/interface.h"
#include "mainwindow.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/geometry.h"
#include "results/comparewindow.h"
#include "results/resultsview.h"
#include "results/testpropertieswindow.h"
#include "shell/maintesthost.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QToolBar>

void Main::handleNewTest(std::int32_t testType) {
    runDeviceCommand([this, testType] {
        MainTestHost host(*this, m_dialogs);
        RunNewTest(host, testType);
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
        CenterOver(window, *this);
        window.exec();
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
        m_sampleSize->exec();
        if (!m_sampleSize->OKclicked())
            return;
        setViewMode(kViewStressStrain);
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
