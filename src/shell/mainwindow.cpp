#include "mainwindow.h"

#include "acquisition/journalrecovery.h"
#include "acquisition/samplesize.h"
#include "acquisition/testjournal.h"
#include "auxiliary/about.h"
#include "auxiliary/helpwindow.h"
#include "auxiliary/test.h"
#include "calibration/calibration.h"
#include "calibration/calibrationcode.h"
#include "device/interface.h"
#include "documents/documentcommands.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/helplocation.h"
#include "platform/portpaths.h"
#include "platform/readabletext.h"
#include "platform/settingsstore.h"
#include "reports/reportcommand.h"
#include "results/comparewindow.h"
#include "results/resultschart.h"
#include "results/resultsview.h"
#include "results/testpropertieswindow.h"
#include "shell/liveloaddisplay.h"
#include "shell/maintesthost.h"

#include <QChartView>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScopeGuard>
#include <QStatusBar>
#include <QToolBar>
#include <exception>

namespace {
// The client area (below the menu bar) the window opens with.
constexpr int kDesignClientWidthTwips = 9900;
constexpr int kDesignClientHeightTwips = 6405;
constexpr int kLiveLoadIntervalMs = 100;
constexpr int kGridColumnWidthTwips = 1300;

} // namespace

void Main::runGuarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception&) {
        // The commands report their own failures; anything else ends the
        // command silently and leaves the window usable.
    }
}

Main::Main(const Services& services, QWidget* parent)
    : QMainWindow(parent), m_settings(services.settings), m_clock(services.clock),
      m_dialogs(services.dialogs), m_serialLink(services.serialLink),
      m_commandLine(services.commandLine), m_pump(services.clock),
      m_documents(std::make_unique<DocumentCommands>(*this, services.dialogs, services.clock)),
      m_journal(std::make_unique<TestJournal>(JournalFolder())),
      m_report(
          std::make_unique<ReportCommand>(m_settings, services.dialogs, m_documents->chooser())) {
    buildWindow();
    connectCommands();
}

Main::~Main() {
    // The dialogs hold the device link; they go first.
    delete m_calibration;
    delete m_about;
    delete m_help;
}

void Main::buildWindow() {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(tr("Torvik"));
    setAccessibleName(tr("Torvik"));

    // The toolbar and the results frame share the client area at their
    // design places: the frame starts at 360 twips whatever the toolbar's
    // height, and the toolbar lies on top of the frame's upper edge.
    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(m_clientArea);
    m_results = new ResultsView(m_clientArea);
    m_menus = BuildMainMenus(*menuBar(), *m_clientArea);
    m_menus.Toolbar->raise();
    m_clientArea->installEventFilter(this);

    m_liveLoadPanel = new QLabel(this);
    m_liveLoadPanel->setObjectName(QStringLiteral("liveLoadPanel"));
    // The name stays; the value shown is its accessible description.
    m_liveLoadPanel->setAccessibleName(tr("Live load"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    // The live load takes the room of its widest reading; the readout the
    // rest of the bar.
    m_liveLoadPanel->setMinimumWidth(
        m_liveLoadPanel->fontMetrics().horizontalAdvance(QStringLiteral("-00000.0 lbs  ")));
    statusBar()->addWidget(m_liveLoadPanel);
    // The chart's point readout, beside the live load.
    auto* readoutPanel = new QLabel(this);
    readoutPanel->setObjectName(QStringLiteral("readoutPanel"));
    readoutPanel->setAccessibleName(tr("Point readout"));
    // A long readout is cut rather than widening the window.
    readoutPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(readoutPanel, 1);
    connect(m_results, &ResultsView::readoutChanged, readoutPanel,
            [readoutPanel](const QString& text) { SetReadableText(*readoutPanel, text); });
    m_liveLoad = new LiveLoadDisplay(
        *m_liveLoadPanel, m_pump, [this] { return m_units; }, this);

    resize(TwipsToPixels(kDesignClientWidthTwips),
           TwipsToPixels(kDesignClientHeightTwips) + menuBar()->sizeHint().height());
    CenterOnScreen(*this);
}

void Main::connectCommands() {
    // File, New: the test-type code each command passes.
    const std::pair<QAction*, std::int32_t> newTestCommands[] = {
        {m_menus.mnuHardness, kTestHardness},
        {m_menus.mnuCompression, kTestCompression},
        {m_menus.mnuTension, kTestTension},
        {m_menus.mnuShear, kTestShear},
        {m_menus.mnuStructures, kTestStructures}};
    for (const auto& [item, testType] : newTestCommands)
        connect(item, &QAction::triggered, this, [this, testType = testType] {
            runGuarded([this, testType] { handleNewTest(testType); });
        });
    connectDocumentCommand(m_menus.mnuOpen, &DocumentCommands::Open);
    connectDocumentCommand(m_menus.mnuSave, &DocumentCommands::Save);
    connectDocumentCommand(m_menus.mnuExport, &DocumentCommands::Export);
    connectDocumentCommand(m_menus.mnuClose, &DocumentCommands::Close);
    connectDocumentCommand(m_menus.mnuPrint, &DocumentCommands::Print);
    connectCommand(m_menus.mnuExit, &Main::handleExit);
    connectCommand(m_menus.mnuEnglish, &Main::handleEnglish);
    connectCommand(m_menus.mnuMetric, &Main::handleMetric);
    connectCommand(m_menus.mnuLoadDisp, &Main::handleLoadDisp);
    connectCommand(m_menus.mnuStressStrain, &Main::handleStressStrain);
    connectCommand(m_menus.mnuZoomOut, &Main::handleZoomOut);
    connectCommand(m_menus.mnuResultMarks, &Main::handleResultMarks);
    connectCommand(m_menus.mnuCalibration, &Main::handleCalibration);
    connectCommand(m_menus.mnutest, &Main::handleWatchSensors);
    connectCommand(m_menus.mnuHelpHelp, &Main::handleHelp);
    connectCommand(m_menus.mnuHelpAbout, &Main::handleAbout);
    connectCommand(m_menus.mnuProperties, &Main::handleTestProperties);
    connectCommand(m_menus.mnuCompare, &Main::handleCompare);
    connectCommand(m_menus.mnuReport, &Main::handleReport);
    connectCommand(m_menus.mnuSpecimen, &Main::handleSpecimen);
    connectCommand(m_menus.mnuAskSpecimen, &Main::handleAskSpecimen);
    connect(m_menus.Toolbar, &QToolBar::actionTriggered, this, [this](QAction* button) {
        runGuarded([this, button] { handleToolbarAction(button); });
    });
}

void Main::connectCommand(QAction* item, void (Main::*handler)()) {
    connect(item, &QAction::triggered, this,
            [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
}

// The file choosers and questions of a document command never open inside a
// waiting read: the command goes through the device-command gate.
void Main::connectDocumentCommand(QAction* item, void (DocumentCommands::*command)()) {
    connect(item, &QAction::triggered, this, [this, command] {
        runDeviceCommand([this, command] { (m_documents.get()->*command)(); });
    });
}

void Main::initialise() {
    m_helpPath = HelpStartPage(QCoreApplication::applicationDirPath());
    m_documents->chooser().setFolder(
        m_settings.read(QStringLiteral("General"), QStringLiteral("Path")));

    // The probe, with its splash window and its message when nothing answers.
    if (deviceInterface().valid())
        ResumeLiveLoad();
    else
        disableDeviceCommands();

    // Without a stored sensitivity every load would read 0: the operator is
    // asked for one before the main window appears.
    if (!ReadLoadCellRatio(m_settings)) {
        PauseLiveLoad();
        calibrationDialog().exec();
        ResumeLiveLoad();
    }
    ReadLoadCellOffset(m_settings);
    InitNameTables();

    m_experimentPresent = false;
    setAppClosing(false);
    m_units = kUnitsEnglish;
    m_viewMode = kViewLoadDisplacement;
    m_results->setIndependentAxes(true);
    m_menus.mnuAskSpecimen->setChecked(
        m_settings.read(QStringLiteral("Specimen"), QStringLiteral("Ask Before Test")) ==
        QLatin1String("1"));
    // Polling enabled above starts ticking only from here on.
    m_liveLoad->setInterval(kLiveLoadIntervalMs);
    m_results->setGridColumnWidths(kGridColumnWidthTwips);
    ResetGrid();

    if (!m_commandLine.isEmpty())
        LoadFile(m_commandLine);
}

void Main::offerRecovery() {
    runDeviceCommand([this] {
        JournalRecovery recovery(*m_journal, m_dialogs, m_clock);
        recovery.pruneSetAside();
        Experiment recovered;
        if (!recovery.offer(recovered))
            return;
        // Back as it was before the crash: a test present and not saved.
        currentExperiment() = std::move(recovered);
        ClearResults();
        m_testBegan = m_journal->startedSeconds();
        EnableDataCommands();
        UpdateAxisMenu();
        ShowResults();
        m_documents->tellUnconvertedPoints();
    });
}

// A journal that stays (its folder was mounted read-only after a power cut,
// say) would be offered again at the next start as if its test were lost.
void Main::dropJournal() {
    const QString path = m_journal->path();
    const QString failure = m_journal->discard();
    if (!failure.isEmpty())
        m_dialogs.message(QStringLiteral("The test journal %1 could not be removed (%2).  It will "
                                         "be offered again at the next start.")
                              .arg(path, failure),
                          Dialogs::Icon::Exclamation);
}

void Main::disableDeviceCommands() {
    m_menus.mnutest->setEnabled(false);
    m_menus.mnuNew->menuAction()->setEnabled(false);
    // The items too: a disabled submenu still lets its items be triggered
    // (through the accessibility interface, say).
    for (QAction* item : m_menus.mnuNew->actions())
        item->setEnabled(false);
    m_menus.toolbarNew->setEnabled(false);
}

Interface& Main::deviceInterface() {
    if (!m_deviceInterface) {
        m_deviceInterface =
            std::make_unique<Interface>(m_serialLink, PortPaths(m_settings), m_clock, m_dialogs);
        m_deviceInterface->setAppClosing(m_appClosing);
        m_deviceInterface->probe();
        m_liveLoad->setDevice(*m_deviceInterface);
    }
    return *m_deviceInterface;
}

Experiment& Main::currentExperiment() {
    if (!m_currentExperiment)
        m_currentExperiment = std::make_unique<Experiment>();
    return *m_currentExperiment;
}

void Main::PauseLiveLoad() {
    if (deviceInterface().valid())
        m_liveLoad->pause();
}

void Main::ResumeLiveLoad() {
    // A close that went ahead while a command ran leaves polling off.
    if (deviceInterface().valid() && !m_appClosing)
        m_liveLoad->resume();
}

void Main::runDeviceCommand(std::function<void()> command) {
    if (m_deviceCommandBusy)
        return;
    m_deviceCommandBusy = true;
    startWhenLinkFree(std::move(command), false);
}

void Main::startWhenLinkFree(std::function<void()> command, bool resumePolling) {
    Interface& device = deviceInterface();
    if (device.readInProgress()) {
        // A tick's read is waiting further down the stack. The wait is cut
        // short, and polling held off so that no new tick reads before the
        // command starts, after the wait has unwound.
        const bool polling = resumePolling || m_liveLoad->enabled();
        m_liveLoad->stop();
        connect(
            &device, &Interface::readFinished, this,
            [this, command, polling] { startWhenLinkFree(command, polling); },
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
        device.abandonRead();
        return;
    }
    const auto done = qScopeGuard([this] { m_deviceCommandBusy = false; });
    // A command that reads the interface pauses the polling itself.
    if (resumePolling)
        ResumeLiveLoad();
    if (!m_appClosing)
        runGuarded(command);
}

void Main::setAppClosing(bool closing) {
    m_appClosing = closing;
    if (m_deviceInterface)
        m_deviceInterface->setAppClosing(closing);
}

void Main::closeEvent(QCloseEvent* event) {
    if (!m_closeApproved) {
        // The question may open a box, so the check runs through the gate.
        // Run at once it decides this request; put off until a waiting read
        // has returned it closes the window again when it says yes.
        m_closeRequestPending = true;
        runDeviceCommand([this] { closeCheck(); });
        m_closeRequestPending = false;
    }
    if (!m_closeApproved) {
        event->ignore();
        return;
    }
    m_liveLoad->stop();
    // The help window is a window of its own; it goes with the program.
    if (m_help)
        m_help->close();
    event->accept();
}

void Main::closeCheck() {
    // Reads waiting or starting from here on give up at once.
    setAppClosing(true);
    bool mayClose = false;
    runGuarded([this, &mayClose] { mayClose = QuerySaveData(); });
    setAppClosing(mayClose);
    m_closeApproved = mayClose;
    // Leaving with the test saved or knowingly dropped: its journal goes.
    if (mayClose)
        dropJournal();
    if (!mayClose)
        ResumeLiveLoad(); // a read cut short for the check stopped the polling
    else if (!m_closeRequestPending)
        close();
}

Calibration& Main::calibrationDialog() {
    if (!m_calibration)
        m_calibration = new Calibration(m_settings, deviceInterface(), m_pump, m_dialogs, this,
                                        [this] { return m_units; });
    return *m_calibration;
}

QString Main::fileChooserFolder() const {
    return m_documents->chooser().folder();
}

void Main::ShowResults() {
    m_results->ShowResults(currentExperiment(), m_units, m_viewMode, m_experimentPresent);
}

void Main::ResetGrid() {
    m_results->ResetGrid();
}

void Main::ClearResults() {
    m_dataSaved = false;
    m_dataFile.clear();
    m_testBegan.reset();
    m_testBeganIsModified = false;
    m_results->ClearResults();
}

void Main::UpdateAxisMenu() {
    m_menus.mnuAxis->menuAction()->setEnabled(currentExperiment().TestType() == kTestTension);
}

bool Main::QuerySaveData() {
    return m_documents->QuerySaveData();
}

bool Main::SaveData() {
    return m_documents->SaveData();
}

bool Main::LoadFile(const QString& fileName) {
    return m_documents->LoadFile(fileName);
}

void Main::showCurrentExperiment() {
    ShowResults();
}

void Main::setDataFile(const QString& fileName, bool opened) {
    m_dataFile = fileName;
    if (!opened)
        return;
    m_testBegan = QFileInfo(fileName).lastModified().toSecsSinceEpoch();
    m_testBeganIsModified = true;
}

// The picture is of the whole test, without the readout's mark; the chart
// on screen keeps its zoom and its mark.
QChartView* Main::chartForPrint() {
    return &m_results->chartForPrint();
}

void Main::EnableDataCommands() {
    for (QAction* item : {m_menus.mnuSave, m_menus.toolbarSave, m_menus.mnuExport, m_menus.mnuPrint,
                          m_menus.toolbarPrint, m_menus.mnuClose, m_menus.mnuProperties,
                          m_menus.mnuReport, m_menus.mnuSpecimen})
        item->setEnabled(true);
    m_experimentPresent = true;
}

void Main::DisableDataCommands() {
    for (QAction* item :
         {m_menus.mnuSave, m_menus.toolbarSave, m_menus.mnuExport, m_menus.mnuPrint,
          m_menus.toolbarPrint, m_menus.mnuProperties, m_menus.mnuReport, m_menus.mnuSpecimen})
        item->setEnabled(false);
    m_dataSaved = false;
    m_experimentPresent = false;
    m_menus.mnuClose->setEnabled(false);
}

bool Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_clientArea && event->type() == QEvent::Resize)
        fitClientArea();
    return QMainWindow::eventFilter(watched, event);
}

// The client area of the layout rule runs from below the menu bar to the
// bottom edge, status bar included.
void Main::fitClientArea() {
    const int width = m_clientArea->width();
    m_menus.Toolbar->setGeometry(0, 0, width, m_menus.Toolbar->sizeHint().height());
    const int statusHeight = statusBar()->height();
    m_results->fitToClientArea(QSize(width, m_clientArea->height() + statusHeight), statusHeight);
}
