#include "mainwindow.h"

#include "auxiliary/about.h"
#include "auxiliary/helpwindow.h"
#include "auxiliary/test.h"
#include "calibration/calibration.h"
#include "calibration/calibrationcode.h"
#include "device/interface.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/dialogmessages.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/helplocation.h"
#include "platform/portpaths.h"
#include "platform/settingsstore.h"
#include "results/resultsview.h"
#include "shell/liveloaddisplay.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
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
constexpr std::int32_t kViewLoadDisplacement = 1;

// Commands run from the event loop; nothing they raise may escape into it.
void runGuarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception&) {
        // The commands report their own failures; anything else ends the
        // command silently and leaves the window usable.
    }
}
} // namespace

Main::Main(const Services& services, QWidget* parent)
    : QMainWindow(parent), m_settings(services.settings), m_clock(services.clock),
      m_dialogs(services.dialogs), m_serialLink(services.serialLink),
      m_commandLine(services.commandLine), m_pump(services.clock) {
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
    m_liveLoadPanel->setAccessibleName(tr("Live load"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_liveLoadPanel, 1);
    m_liveLoad = new LiveLoadDisplay(
        *m_liveLoadPanel, m_pump, [this] { return m_units; }, this);

    resize(TwipsToPixels(kDesignClientWidthTwips),
           TwipsToPixels(kDesignClientHeightTwips) + menuBar()->sizeHint().height());
    CenterOnScreen(*this);
}

void Main::connectCommands() {
    connectCommand(m_menus.mnuExit, &Main::handleExit);
    connectCommand(m_menus.mnuEnglish, &Main::handleEnglish);
    connectCommand(m_menus.mnuMetric, &Main::handleMetric);
    connectCommand(m_menus.mnuCalibration, &Main::handleCalibration);
    connectCommand(m_menus.mnutest, &Main::handleWatchSensors);
    connectCommand(m_menus.mnuHelpHelp, &Main::handleHelp);
    connectCommand(m_menus.mnuHelpAbout, &Main::handleAbout);
    connect(m_menus.Toolbar, &QToolBar::actionTriggered, this, [this](QAction* button) {
        runGuarded([this, button] { handleToolbarAction(button); });
    });
}

void Main::connectCommand(QAction* item, void (Main::*handler)()) {
    connect(item, &QAction::triggered, this,
            [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
}

void Main::initialise() {
    m_helpPath = HelpStartPage(QCoreApplication::applicationDirPath());
    m_fileChooserFolder = m_settings.read(QStringLiteral("General"), QStringLiteral("Path"));

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
    // Polling enabled above starts ticking only from here on.
    m_liveLoad->setInterval(kLiveLoadIntervalMs);
    m_results->setGridColumnWidths(kGridColumnWidthTwips);
    ResetGrid();

    if (!m_commandLine.isEmpty())
        LoadFile(m_commandLine);
}

void Main::disableDeviceCommands() {
    m_menus.mnutest->setEnabled(false);
    m_menus.mnuNew->menuAction()->setEnabled(false);
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
    startWhenLinkFree(std::move(command));
}

void Main::startWhenLinkFree(std::function<void()> command) {
    Interface& device = deviceInterface();
    if (device.readInProgress()) {
        // A tick's read is waiting further down the stack. Started from here,
        // every read of the command would be refused until that wait ends, so
        // the wait is cut short and the command starts after it has unwound.
        m_liveLoad->stop();
        connect(
            &device, &Interface::readFinished, this,
            [this, command] { startWhenLinkFree(command); },
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
        device.abandonRead();
        return;
    }
    const auto done = qScopeGuard([this] { m_deviceCommandBusy = false; });
    if (!m_appClosing)
        runGuarded(command);
}

void Main::setAppClosing(bool closing) {
    m_appClosing = closing;
    if (m_deviceInterface)
        m_deviceInterface->setAppClosing(closing);
}

void Main::closeEvent(QCloseEvent* event) {
    // Reads waiting or starting from here on give up at once.
    setAppClosing(true);
    bool mayClose = false;
    runGuarded([this, &mayClose] { mayClose = QuerySaveData(); });
    if (!mayClose) {
        setAppClosing(false);
        event->ignore();
        return;
    }
    m_liveLoad->stop();
    // The help window is a window of its own; it goes with the program.
    if (m_help)
        m_help->close();
    event->accept();
}

Calibration& Main::calibrationDialog() {
    if (!m_calibration)
        m_calibration = new Calibration(m_settings, deviceInterface(), m_pump, m_dialogs, this);
    return *m_calibration;
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
        // close; the guard then reads null.
        QPointer<Test> window = new Test(deviceInterface(), m_units, this);
        CenterOver(*window, *this);
        PauseLiveLoad();
        window->exec();
        delete window.data();
        ResumeLiveLoad();
    });
}

void Main::handleHelp() {
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showStartPage(m_helpPath);
}

void Main::handleAbout() {
    if (!m_about)
        m_about = new About(this);
    CenterOver(*m_about, *this);
    m_about->exec();
}

void Main::setUnits(std::int32_t units) {
    m_menus.mnuEnglish->setChecked(units == kUnitsEnglish);
    m_menus.mnuMetric->setChecked(units != kUnitsEnglish);
    m_units = units;
}

void Main::handleEnglish() {
    setUnits(kUnitsEnglish);
}

void Main::handleMetric() {
    setUnits(kUnitsMetric);
}

void Main::handleToolbarAction(QAction* button) {
    const QString key = button->data().toString();
    if (key == QLatin1String("New"))
        m_menus.mnuNew->popup(QCursor::pos());
}

void Main::ResetGrid() {
    m_results->ResetGrid();
}

void Main::ClearResults() {
    m_dataSaved = false;
    m_results->ClearResults();
}

void Main::UpdateAxisMenu() {
    m_menus.mnuAxis->menuAction()->setEnabled(currentExperiment().TestType() == kTestTension);
}

bool Main::QuerySaveData() {
    if (!m_experimentPresent || m_dataSaved)
        return true;
    switch (m_dialogs.message(tr("Data not saved.  Save?"), Dialogs::Icon::Question,
                              Dialogs::Buttons::YesNoCancel)) {
    case Dialogs::Answer::Yes:
        return SaveData();
    case Dialogs::Answer::No:
        return true;
    default:
        return false;
    }
}

bool Main::SaveData() {
    // Saving arrives with the document commands; until then nothing is
    // written and the caller is told so.
    return false;
}

bool Main::LoadFile(const QString& fileName) {
    DialogMessages messages(m_dialogs);
    bool loaded = false;
    try {
        loaded = currentExperiment().LoadFile(fileName.toStdString(), messages);
    } catch (const std::exception&) {
        loaded = false;
    }
    if (!loaded)
        return false;
    ClearResults();
    m_dataSaved = true;
    EnableDataCommands();
    UpdateAxisMenu();
    return true;
}

void Main::EnableDataCommands() {
    for (QAction* item : {m_menus.mnuSave, m_menus.toolbarSave, m_menus.mnuExport, m_menus.mnuPrint,
                          m_menus.toolbarPrint, m_menus.mnuClose})
        item->setEnabled(true);
    m_experimentPresent = true;
}

void Main::DisableDataCommands() {
    for (QAction* item : {m_menus.mnuSave, m_menus.toolbarSave, m_menus.mnuExport, m_menus.mnuPrint,
                          m_menus.toolbarPrint})
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
