#include "auxiliary/test.h"

#include "device/interface.h"
#include "model/gfunctions.h"
#include "platform/geometry.h"
#include "platform/readabletext.h"
#include "platform/widgetnames.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <cmath>
#include <exception>

namespace {
// Client area, twips.
constexpr int kClientWidthTwips = 3885;
constexpr int kClientHeightTwips = 2190;

// A read that fails at once (the link refuses it) is not retried sooner than
// this, so that a failing link does not keep the processor busy.
constexpr int kFailedReadPauseMsecs = 50;

bool OverLimit(const QString& loadText, std::int32_t units) {
    const double magnitude = std::fabs(LeadingNumber(loadText.toStdString()));
    return magnitude >= (units == kUnitsEnglish ? Test::kLoadLimitLbf : Test::kLoadLimitNewtons);
}
} // namespace

const QString Test::kOverLimitText = QStringLiteral("Load over limit");

Test::Test(Interface& device, std::function<std::int32_t()> units, QWidget* parent)
    : QDialog(parent), m_device(device), m_units(std::move(units)) {
    setObjectName(QStringLiteral("Test"));
    setWindowTitle(QStringLiteral("Watch Sensors"));
    setAccessibleName(windowTitle());
    setModal(true);
    buildControls();
}

Test::~Test() {
    // Normally the loop has ended before the owner deletes the window; if not,
    // it must not wait on in a read for a window that is gone.
    if (m_polling) {
        m_closeRequested = true;
        if (m_pause)
            m_pause->quit();
        if (m_device.readInProgress())
            m_device.abandonRead();
    }
}

void Test::buildControls() {
    setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));

    auto* frame = Named(new QFrame(this), QStringLiteral("Frame1"), QString());
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(TwipsRect(20, 0, 3855, 2175));

    auto* labelLoad = Named(new QLabel(QStringLiteral("Load"), frame), QStringLiteral("labelLoad"),
                            QStringLiteral("Load"));
    labelLoad->setGeometry(TwipsRect(240, 360, 1575, 255));
    m_textLoad = Named(new QLineEdit(frame), QStringLiteral("textLoad"), QStringLiteral("Load"));
    m_textLoad->setGeometry(TwipsRect(2280, 360, 1215, 375));
    m_textLoad->setReadOnly(true);
    labelLoad->setBuddy(m_textLoad);

    auto* labelDisp = Named(new QLabel(QStringLiteral("Digital Displacement"), frame),
                            QStringLiteral("labelDisp"), QStringLiteral("Digital Displacement"));
    labelDisp->setGeometry(TwipsRect(240, 840, 1575, 255));
    m_textDisp = Named(new QLineEdit(frame), QStringLiteral("textDisp"),
                       QStringLiteral("Digital Displacement"));
    m_textDisp->setGeometry(TwipsRect(2280, 840, 1215, 375));
    m_textDisp->setReadOnly(true);
    labelDisp->setBuddy(m_textDisp);
    WidenToText(*labelLoad, m_textLoad->x());
    WidenToText(*labelDisp, m_textDisp->x());

    auto* buttonClose = Named(new QPushButton(QStringLiteral("Close"), frame),
                              QStringLiteral("buttonClose"), QStringLiteral("Close"));
    buttonClose->setGeometry(TwipsRect(2280, 1440, 1215, 495));
    buttonClose->setDefault(true);

    // In the free corner left of Close, shown only while the load is red.
    m_overLimit =
        Named(new QLabel(kOverLimitText, frame), QStringLiteral("labelOverLimit"), kOverLimitText);
    m_overLimit->setGeometry(TwipsRect(240, 1440, 1815, 495));
    m_overLimit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_overLimit->hide();

    handleLoadTextChanged(m_textLoad->text());
    connect(m_textLoad, &QLineEdit::textChanged, this, &Test::handleLoadTextChanged);
    connect(buttonClose, &QPushButton::clicked, this, &Test::reject);
}

void Test::handleLoadTextChanged(const QString& text) {
    const bool over = OverLimit(text, m_shownUnits);
    QPalette palette = m_textLoad->palette();
    palette.setColor(QPalette::Text, over ? QColor(255, 0, 0) : QColor(0, 0, 0));
    m_textLoad->setPalette(palette);
    // Not by colour alone: in words on screen and to screen readers too.
    m_overLimit->setVisible(over);
    SetReadableDescription(*m_textLoad, over ? text + QStringLiteral(", ") + kOverLimitText : text);
}

// Polling starts once the window is on screen, from the event loop of exec(),
// so that exec() cannot return before the loop has ended.
void Test::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_pollingStarted)
        return;
    m_pollingStarted = true;
    QMetaObject::invokeMethod(this, &Test::pollUntilClosed, Qt::QueuedConnection);
}

// The Close button, Escape and the frame's close control all hide the window;
// each ends the polling loop. (A minimised window goes on polling.)
void Test::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        requestClose();
    QDialog::hideEvent(event);
}

void Test::requestClose() {
    m_closeRequested = true;
    if (m_pause)
        m_pause->quit();
    // The read under way gives up instead of holding the window open.
    if (m_polling && m_device.readInProgress())
        m_device.abandonRead();
}

void Test::pollUntilClosed() {
    if (!m_device.valid() || m_closeRequested)
        return;
    const QPointer<Test> self(this);
    m_polling = true;
    while (!m_closeRequested) {
        std::int32_t load = 0;
        std::int32_t disp = 0;
        QElapsedTimer readTime;
        readTime.start();
        // The read waits for the reply in an event loop, so window events
        // (Close among them) run meanwhile.
        const bool answered = m_device.GetVals(load, disp);
        if (!self)
            return;
        if (answered)
            showReading(load, disp);
        else
            pauseAfterFailedRead(readTime.elapsed());
        if (!self)
            return;
        QCoreApplication::processEvents();
        if (!self)
            return;
    }
    m_polling = false;
}

void Test::showReading(std::int32_t load, std::int32_t disp) {
    const std::int32_t units = m_units();
    float value = 0.0F;
    try {
        value = LiveLoad(load, units);
    } catch (const std::exception&) {
        return; // a reading the load arithmetic cannot take is skipped like a failed one
    }
    m_shownUnits = units;
    const QString unit = units == kUnitsEnglish ? QStringLiteral(" lbs") : QStringLiteral(" N");
    m_textLoad->setText(QString::fromStdString(PlainNumberText(value)) + unit);
    m_textDisp->setText(QString::number(disp));
    SetReadableDescription(*m_textDisp, m_textDisp->text());
}

void Test::pauseAfterFailedRead(qint64 readMsecs) {
    const qint64 remaining = kFailedReadPauseMsecs - readMsecs;
    if (remaining <= 0 || m_closeRequested)
        return;
    const QPointer<Test> self(this);
    QEventLoop pause;
    m_pause = &pause;
    QTimer::singleShot(static_cast<int>(remaining), &pause, &QEventLoop::quit);
    pause.exec();
    if (self)
        m_pause = nullptr;
}
