#include "calibration/calibration.h"

#include "calibration/calibrationcode.h"
#include "device/interface.h"
#include "model/currentcalibration.h"
#include "model/gfunctions.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/settingsstore.h"
#include "platform/widgetnames.h"

#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <exception>

namespace {

// Accepted sensitivities, mV/V, both ends included.
constexpr float kLowestSensitivityMilliVoltPerVolt = 3.0F;
constexpr float kHighestSensitivityMilliVoltPerVolt = 4.0F;

// Client area, twips.
constexpr int kClientWidthTwips = 6165;
constexpr int kClientHeightTwips = 1485;
} // namespace

const QString Calibration::kNoAnswerMessage =
    QStringLiteral("The testing machine did not answer.  The zero offset was not changed.");
const QString Calibration::kDecimalCommaMessage =
    QStringLiteral("Use a point as the decimal mark, for example 3.906.");
const QString Calibration::kUnsteadyMessage =
    QStringLiteral("The load was not steady while zeroing: the readings spread over %1 counts, "
                   "more than a settled load cell shows.  Take the load off, let it settle and "
                   "press Zero again.  The zero offset was not changed.");
const QString Calibration::kStoreOffsetQuestion =
    QStringLiteral("The load cell reads %1 counts from zero at rest, a load of %2.  Press OK to "
                   "store this as its zero offset.");
const QString Calibration::kNotStoredMessage =
    QStringLiteral("The calibration could not be saved in %1.  It is used until Torvik is closed.");

Calibration::Calibration(SettingsStore& settings,
                         Interface& device,
                         EventPump& pump,
                         Dialogs& dialogs,
                         QWidget* parent,
                         std::function<std::int32_t()> units)
    : QDialog(parent), m_settings(settings), m_device(device), m_pump(pump), m_dialogs(dialogs),
      m_units(units ? std::move(units) : [] { return kUnitsEnglish; }) {
    setObjectName(QStringLiteral("Calibration"));
    setWindowTitle(QStringLiteral("Torvik Calibration"));
    setAccessibleName(windowTitle());
    setModal(true);
    buildControls();

    m_text1->setText(m_settings.read(kCalibrationSection, kLoadCellKey));
    handleTextChanged(m_text1->text());
    // Without a testing machine only the sensitivity can be set, for the
    // whole run.
    m_zeroButton->setEnabled(m_device.valid());

    connect(m_text1, &QLineEdit::textChanged, this, &Calibration::handleTextChanged);
    connect(m_okButton, &QPushButton::clicked, this, &Calibration::handleOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &Calibration::reject);
    connect(m_zeroButton, &QPushButton::clicked, this, &Calibration::handleZeroClicked);
}

Calibration::~Calibration() {
    if (m_zero)
        m_zero->abort();
}

void Calibration::buildControls() {
    setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));

    auto* frame = Named(new QFrame(this), QStringLiteral("Frame1"), QString());
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(TwipsRect(20, 0, 6120, 1455));

    auto* label1 = Named(new QLabel(QStringLiteral("Load cell calibration (mV/V)"), frame),
                         QStringLiteral("Label1"), QStringLiteral("Load cell calibration (mV/V)"));
    label1->setGeometry(TwipsRect(240, 360, 2655, 255));
    m_text1 = Named(new QLineEdit(frame), QStringLiteral("Text1"),
                    QStringLiteral("Load cell calibration (mV/V)"));
    m_text1->setGeometry(TwipsRect(2880, 360, 975, 285));
    label1->setBuddy(m_text1);

    auto* label2 = Named(new QLabel(QStringLiteral("Zero load cell"), frame),
                         QStringLiteral("Label2"), QStringLiteral("Zero load cell"));
    label2->setGeometry(TwipsRect(240, 840, 1215, 255));
    m_zeroButton = Named(new QPushButton(QStringLiteral("Zero"), frame), QStringLiteral("Command1"),
                         QStringLiteral("Zero"));
    m_zeroButton->setAccessibleDescription(label2->text());
    m_zeroButton->setGeometry(TwipsRect(2880, 840, 975, 375));
    label2->setBuddy(m_zeroButton);
    WidenToText(*label1, m_text1->x());
    WidenToText(*label2, m_zeroButton->x());

    m_okButton = Named(new QPushButton(QStringLiteral("OK"), frame), QStringLiteral("OKButton"),
                       QStringLiteral("OK"));
    m_okButton->setGeometry(TwipsRect(4560, 360, 1215, 375));
    m_okButton->setDefault(true);
    m_cancelButton = Named(new QPushButton(QStringLiteral("Cancel"), frame),
                           QStringLiteral("CancelButton"), QStringLiteral("Cancel"));
    m_cancelButton->setGeometry(TwipsRect(4560, 840, 1215, 375));
}

void Calibration::handleTextChanged(const QString& text) {
    m_okButton->setEnabled(!text.isEmpty());
}

void Calibration::handleOkClicked() {
    const QString text = m_text1->text();
    const double value = LeadingNumber(text.toStdString());
    const auto sensitivity = static_cast<float>(value);
    // "3,906" would read as 3 and every load as 30% too high: refused.
    if (HasDecimalComma(text)) {
        refuseValue(kDecimalCommaMessage);
    } else if (text != QStringLiteral("0") && value == 0.0) {
        refuseValue(QStringLiteral("Load cell calibration must be a number."));
    } else if (sensitivity <= 0.0F) {
        refuseValue(QStringLiteral("Value must be greater than zero."));
    } else if (sensitivity >= kLowestSensitivityMilliVoltPerVolt &&
               sensitivity <= kHighestSensitivityMilliVoltPerVolt) {
        // Stored exactly as typed; the ratio follows at once, and for this
        // run even when the store cannot be written.
        const bool stored = m_settings.write(kCalibrationSection, kLoadCellKey, text);
        UseLoadCellSensitivity(text);
        const QPointer<Calibration> self(this);
        if (!stored)
            reportNotStored();
        if (self)
            accept();
    } else {
        refuseValue(QStringLiteral("Value must be between 3 and 4."));
    }
}

void Calibration::refuseValue(const QString& message) {
    const QPointer<Calibration> self(this);
    m_dialogs.message(message);
    if (self)
        m_text1->setFocus();
}

void Calibration::reportNotStored() {
    m_dialogs.message(kNotStoredMessage.arg(m_settings.location()), Dialogs::Icon::Exclamation);
}

void Calibration::handleZeroClicked() {
    if (m_zero)
        return;
    const QPointer<Calibration> self(this);
    const auto zero = std::make_shared<ZeroMeasurement>(m_device, m_pump);
    m_zero = zero;
    ZeroMeasurement::Outcome outcome = ZeroMeasurement::Outcome::Aborted;
    {
        const BusyCursor busy;
        m_zeroButton->setEnabled(false);
        outcome = zero->run();
        // Nothing of the dialog is touched once it is gone.
        if (!self)
            return;
        m_zero.reset();
        m_zeroButton->setEnabled(m_device.valid());
    }
    switch (outcome) {
    case ZeroMeasurement::Outcome::Measured:
        offerOffset(zero->offset());
        break;
    case ZeroMeasurement::Outcome::Unsteady:
        m_dialogs.message(kUnsteadyMessage.arg(zero->spread()), Dialogs::Icon::Exclamation);
        break;
    case ZeroMeasurement::Outcome::NoAnswer:
        m_dialogs.message(kNoAnswerMessage);
        break;
    case ZeroMeasurement::Outcome::Aborted:
        break;
    }
}

// The offset as the load the live load showed at rest before it, in the
// units on show and with the sensitivity in force.
void Calibration::offerOffset(std::int32_t offset) {
    const std::int32_t units = m_units();
    QString force;
    try {
        force = QString::fromStdString(PlainNumberText(DigitalToLoad(
                    ZeroMeasurement::kLoadZeroCounts + offset, units, CurrentLoadCellRatio(), 0))) +
                (units == kUnitsMetric ? QStringLiteral(" N") : QStringLiteral(" lbs"));
    } catch (const std::exception&) {
        force = QStringLiteral("too large to show");
    }
    const QPointer<Calibration> self(this);
    const Dialogs::Answer answer =
        m_dialogs.message(kStoreOffsetQuestion.arg(offset).arg(force), Dialogs::Icon::Question,
                          Dialogs::Buttons::OkCancel);
    if (!self || answer != Dialogs::Answer::Ok)
        return;
    SetCurrentLoadCellOffset(offset);
    if (!m_settings.write(kCalibrationSection, kLoadCellOffsetKey, QString::number(offset)))
        reportNotStored();
}

// However the dialog is left, a measurement still running is stopped so that
// nothing reads the machine or stores an offset behind the operator's back.
// (A minimised window is not being left.)
void Calibration::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && m_zero)
        m_zero->abort();
    QDialog::hideEvent(event);
}
