#include "runexperiment.h"

#include "acquisition/livecurve.h"
#include "acquisition/testjournal.h"
#include "device/interface.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/readabletext.h"
#include "platform/widgetnames.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <array>
#include <cmath>
#include <exception>

namespace {
// Client area, twips: the controls on the left, the live curve on the right,
// the status bar along the bottom.
constexpr int kClientWidthTwips = 9360;
constexpr int kControlsHeightTwips = 3360;
constexpr int kStatusBarHeightTwips = 330;
constexpr int kCaptionLeftTwips = 240;
constexpr int kBoxLeftTwips = 1680;
constexpr double kTestTypePoints = 18.0;

// The text boxes and the curve are redrawn at about the screen's pace.
constexpr int kRefreshMsecs = 33;
// A read that fails at once (a port that went away) is not tried again
// sooner than this, so that a dead link does not keep the processor busy.
constexpr int kFailedReadPauseMsecs = 50;

const std::array<QString, 6> kTestTypeCaptions = {QString(),
                                                  QStringLiteral("Hardness"),
                                                  QStringLiteral("Compression"),
                                                  QStringLiteral("Tension"),
                                                  QStringLiteral("Shear"),
                                                  QStringLiteral("Structures")};

QString numberText(float value) {
    return QString::fromStdString(PlainNumberText(value));
}
} // namespace

const QString RunExperiment::kNoReadingMessage =
    QStringLiteral("The testing machine gave no reading.  No test was recorded.");
const QString RunExperiment::kStoppedAnsweringText =
    QStringLiteral("The testing machine stopped answering.  The points gathered so far are kept.");
const QString RunExperiment::kJournalFailedText =
    QStringLiteral("This test is no longer kept on the disk: a crash would lose it.");

RunExperiment::RunExperiment(Interface& device,
                             Experiment& experiment,
                             Dialogs& dialogs,
                             std::function<std::int32_t()> units,
                             QWidget* parent)
    : QDialog(parent), m_device(device), m_experiment(experiment), m_dialogs(dialogs),
      m_units(std::move(units)), m_experimentTimer(this), m_refreshTimer(this) {
    setObjectName(QStringLiteral("RunExperiment"));
    setWindowTitle(tr("Do Experiment"));
    setAccessibleName(windowTitle());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    buildControls();
    buildStatusBar();
    setFixedSize(TwipsToPixels(kClientWidthTwips),
                 TwipsToPixels(kControlsHeightTwips + kStatusBarHeightTwips));

    m_experimentTimer.setObjectName(QStringLiteral("experimentTimer"));
    m_experimentTimer.setInterval(kExperimentTimerMsecs);
    connect(&m_experimentTimer, &QTimer::timeout, this, &RunExperiment::requestStop);
    m_refreshTimer.setInterval(kRefreshMsecs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &RunExperiment::refreshDue);
    connect(&m_device, &Interface::requestSent, this, [this] {
        if (m_refreshDue)
            refreshDisplay();
    });
    connect(&m_device, &Interface::answeringChanged, this, [this] {
        if (m_running && m_started && !m_stopRequested)
            showGatheringStatus();
    });
}

void RunExperiment::buildControls() {
    m_labelTestType = Named(new QLabel(this), QStringLiteral("labelTestType"), QString());
    m_labelTestType->setFont(QFont(QStringLiteral("Arial"), kTestTypePoints, QFont::Bold));
    m_labelTestType->setGeometry(TwipsRect(kCaptionLeftTwips, 120, 3360, 540));

    auto* labelLoad = Named(new QLabel(tr("Load"), this), QStringLiteral("labelLoad"), tr("Load"));
    labelLoad->setGeometry(TwipsRect(kCaptionLeftTwips, 900, 1320, 255));
    m_textLoad = Named(new QLineEdit(this), QStringLiteral("textLoad"), tr("Load"));
    m_textLoad->setGeometry(TwipsRect(kBoxLeftTwips, 840, 1920, 375));
    labelLoad->setBuddy(m_textLoad);
    auto* labelDisp = Named(new QLabel(tr("Displacement"), this), QStringLiteral("labelDisp"),
                            tr("Displacement"));
    labelDisp->setGeometry(TwipsRect(kCaptionLeftTwips, 1440, 1320, 255));
    m_textDisp = Named(new QLineEdit(this), QStringLiteral("textDisp"), tr("Displacement"));
    m_textDisp->setGeometry(TwipsRect(kBoxLeftTwips, 1380, 1920, 375));
    labelDisp->setBuddy(m_textDisp);
    for (QLineEdit* box : {m_textLoad, m_textDisp})
        box->setReadOnly(true);
    WidenToText(*labelLoad, m_textLoad->x());
    WidenToText(*labelDisp, m_textDisp->x());

    m_buttonStart =
        Named(new QPushButton(tr("START"), this), QStringLiteral("buttonStart"), tr("START"));
    m_buttonStart->setGeometry(TwipsRect(kCaptionLeftTwips, 2100, 1620, 495));
    m_buttonStop =
        Named(new QPushButton(tr("STOP"), this), QStringLiteral("buttonStop"), tr("STOP"));
    m_buttonStop->setGeometry(TwipsRect(1980, 2100, 1620, 495));
    m_checkAutoStart = Named(new QCheckBox(tr("Auto Start/Stop?"), this),
                             QStringLiteral("checkAutoStart"), tr("Auto Start/Stop?"));
    m_checkAutoStart->setGeometry(TwipsRect(kCaptionLeftTwips, 2820, 3360, 300));
    m_checkAutoStart->setChecked(true);

    m_curve = new LiveCurve(this);
    m_curve->setGeometry(TwipsRect(3840, 60, 5460, 3240));

    connect(m_buttonStart, &QPushButton::clicked, this, &RunExperiment::handleStart);
    connect(m_buttonStop, &QPushButton::clicked, this, &RunExperiment::requestStop);
    connect(m_checkAutoStart, &QCheckBox::toggled, this,
            [this](bool checked) { m_autoStartStop = checked; });
    connect(m_textLoad, &QLineEdit::textChanged, this, &RunExperiment::handleLoadTextChanged);
    connect(m_textDisp, &QLineEdit::textChanged, this,
            [this](const QString& text) { SetReadableDescription(*m_textDisp, text); });
}

void RunExperiment::buildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    bar->setGeometry(TwipsRect(0, kControlsHeightTwips, kClientWidthTwips, kStatusBarHeightTwips));
    m_statusPanel = Named(new QLabel(bar), QStringLiteral("statusPanel"), tr("Status"));
    bar->addWidget(m_statusPanel, 1);
    m_labelJournalFailed =
        Named(new QLabel(bar), QStringLiteral("labelJournalFailed"), tr("Crash protection"));
    m_labelJournalFailed->setStyleSheet(QStringLiteral("color: red"));
    bar->addPermanentWidget(m_labelJournalFailed);
    m_labelJournalFailed->hide();
}

void RunExperiment::setJournal(TestJournal* journal) {
    m_journal = journal;
    if (!m_journal)
        return;
    // Said in the window, not in a box, so that the gathering goes on.
    connect(m_journal, &TestJournal::failed, this, [this] {
        SetReadableText(*m_labelJournalFailed, kJournalFailedText);
        m_labelJournalFailed->show();
    });
}

void RunExperiment::SetTestType(std::int32_t code) {
    m_experiment.SetTestType(code);
}

void RunExperiment::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_running)
        activate();
}

// Everything is reset at once; the run itself starts from the event loop of
// exec(), so exec() cannot return before it has ended.
void RunExperiment::activate() {
    const std::int32_t code = m_experiment.TestType();
    const QString caption = code >= 0 && code < static_cast<std::int32_t>(kTestTypeCaptions.size())
                                ? kTestTypeCaptions[static_cast<std::size_t>(code)]
                                : QString();
    m_labelTestType->setText(caption);
    m_labelTestType->setAccessibleName(caption);
    m_textLoad->clear();
    m_textDisp->clear();
    m_shownPoint = 0;
    m_stopRequested = false;
    m_testDone = false;
    m_started = false;
    m_buttonStart->setEnabled(true);
    m_buttonStop->setEnabled(false);
    m_autoStartStop = m_checkAutoStart->isChecked();
    m_lastLoad = 0;
    m_lastDisp = 0;
    m_running = true;
    QMetaObject::invokeMethod(this, &RunExperiment::run, Qt::QueuedConnection);
}

void RunExperiment::run() {
    std::int32_t points = -1; // no gathering
    try {
        if (waitForStart())
            points = gather();
    } catch (const std::exception&) {
        // Nothing may escape into the event loop; what was gathered stays.
        points = m_experiment.Count();
    }
    finish(points);
}

// True when gathering is to begin, false when the window is being closed.
bool RunExperiment::waitForStart() {
    while (!m_stopRequested && !m_started) {
        if (!readReading([this] { return m_stopRequested || m_started; }))
            continue;
        float startLoad = 0.0F;
        try {
            startLoad = LiveLoad(m_lastLoad, kUnitsEnglish) * m_experiment.direction();
        } catch (const std::exception&) {
            continue; // an offset far outside the raw range: no load to go by
        }
        if (m_autoStartStop && startLoad > kAutoStartLbf)
            handleStart();
        showLiveLoad();
    }
    return !m_stopRequested;
}

// Appends one point per reading until a stop; returns the number of points.
// Each pass does only the read, the append and the auto stop test: the text
// boxes and the curve follow on the refresh timer.
std::int32_t RunExperiment::gather() {
    showGatheringStatus();
    m_experimentTimer.start();
    m_curve->start(m_experiment, m_units());
    m_refreshTimer.start();
    if (m_journal)
        m_journal->begin({m_experiment.TestType(), m_experiment.LoadCellRatio(),
                          m_experiment.LoadCellOffset(), QDateTime::currentSecsSinceEpoch()});
    const bool tension = m_experiment.direction() < 0;
    std::int32_t points = 0;
    std::int32_t previousLoad = 0;
    while (!m_stopRequested) {
        // Only a reading that arrived in this pass makes a point.
        if (!readReading([this] { return m_stopRequested; }))
            break;
        m_experiment.AddDataPoint(m_lastLoad, m_lastDisp);
        if (m_journal)
            m_journal->append(m_lastLoad, m_lastDisp);
        ++points;
        // The raw load falls as a compressive load grows and rises as a
        // tensile load grows.
        const std::int32_t drop = tension ? previousLoad - m_lastLoad : m_lastLoad - previousLoad;
        if (m_autoStartStop && points > 1 && drop > kAutoStopDropCounts)
            m_stopRequested = true;
        previousLoad = m_lastLoad;
    }
    return points;
}

// Reads until a reading arrives or, after a failed read, giveUp() holds.
// Window events (buttons, the close box, timers, the refresh) run inside
// every read, which waits for its reply in an event loop, and in the pause
// after a failed one. They are not run again before the request: the request
// goes out first, and a redraw then overlaps the reply's way down the line.
bool RunExperiment::readReading(const std::function<bool()>& giveUp) {
    do {
        QElapsedTimer readTime;
        readTime.start();
        if (m_device.GetVals(m_lastLoad, m_lastDisp))
            return true;
        pauseAfterFailedRead(readTime.elapsed());
    } while (!giveUp());
    return false;
}

void RunExperiment::pauseAfterFailedRead(qint64 readMsecs) {
    const qint64 remaining = kFailedReadPauseMsecs - readMsecs;
    if (remaining <= 0 || m_stopRequested)
        return;
    QEventLoop pause;
    QTimer::singleShot(static_cast<int>(remaining), &pause, &QEventLoop::quit);
    pause.exec();
}

// The live load in the display units, positive in the test's direction.
void RunExperiment::showLiveLoad() {
    const std::int32_t units = m_units();
    try {
        const float load = LiveLoad(m_lastLoad, units) * m_experiment.direction();
        setStatus(numberText(load) +
                  (units == kUnitsEnglish ? QStringLiteral(" lbs") : QStringLiteral(" N")));
    } catch (const std::exception&) {
        // No load to show for this reading.
    }
}

// A refresh waits for the next request to go out, so that drawing overlaps
// the reply's way down the line rather than delaying the request after it. A
// refresh still due at the next tick (no request went out: reads failing,
// pausing) is done then.
void RunExperiment::refreshDue() {
    if (m_refreshDue)
        refreshDisplay();
    else
        m_refreshDue = true;
}

// The newest point in the text boxes (its displacement from the second point
// on, the first being the reference) and the curve up to it.
void RunExperiment::refreshDisplay() {
    m_refreshDue = false;
    const std::int32_t newest = m_experiment.Count();
    if (newest == m_shownPoint)
        return;
    m_shownPoint = newest;
    const std::int32_t units = m_units();
    try {
        m_textLoad->setText(numberText(m_experiment.load(newest, units)));
        if (newest > 1)
            m_textDisp->setText(numberText(m_experiment.Displacement(newest, units)));
    } catch (const std::exception&) {
        // A point the conversions cannot take keeps the previous texts.
    }
    m_curve->refresh();
}

void RunExperiment::finish(std::int32_t points) {
    m_refreshTimer.stop();
    m_experimentTimer.stop();
    refreshDisplay();
    if (m_journal) {
        // A finished test stays journalled until it is saved or dropped.
        if (points > 0)
            m_journal->flush();
        else
            m_journal->discard();
    }
    if (points > 0) {
        m_testDone = true;
        m_dialogs.message(tr("Test complete."));
    } else if (points == 0) {
        // A stop while the machine never answered: there is no test.
        m_dialogs.message(kNoReadingMessage);
    }
    m_running = false;
    done(m_testDone ? QDialog::Accepted : QDialog::Rejected);
}

void RunExperiment::handleStart() {
    m_buttonStart->setEnabled(false);
    m_buttonStop->setEnabled(true);
    m_started = true;
}

// Said in the window, not in a box: the test goes on, and it takes up again
// when the machine answers again.
void RunExperiment::showGatheringStatus() {
    setStatus(m_device.answering() ? tr("Gathering Data...") : kStoppedAnsweringText);
}

// A read waiting for its reply gives up rather than wait for its limit: at
// once when the machine is not answering, or once a reply on its way is in.
void RunExperiment::requestStop() {
    m_stopRequested = true;
    m_device.abandonReadAfterReply();
}

// A close ends the run at once; the run then closes the window itself.
void RunExperiment::closeEvent(QCloseEvent* event) {
    requestStop();
    m_experimentTimer.stop();
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// Escape closes a waiting window like its close box, but one stray key must
// not end a specimen's run: while gathering it does nothing.
void RunExperiment::reject() {
    if (m_running && m_started)
        return;
    if (m_running) {
        requestStop();
        m_experimentTimer.stop();
        return;
    }
    QDialog::reject();
}

void RunExperiment::setStatus(const QString& text) {
    if (m_statusPanel->text() == text)
        return;
    m_statusPanel->setText(text);
    SetReadableDescription(*m_statusPanel, text);
}

void RunExperiment::handleLoadTextChanged(const QString& text) {
    const double magnitude = std::fabs(LeadingNumber(text.toStdString()));
    const double limit = m_units() == kUnitsEnglish ? kOverloadLbf : kOverloadNewtons;
    QPalette palette = m_textLoad->palette();
    palette.setColor(QPalette::Text, magnitude >= limit ? QColor(255, 0, 0) : QColor(0, 0, 0));
    m_textLoad->setPalette(palette);
    SetReadableDescription(*m_textLoad, text);
}
