#include "acquisition/samplesize.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/specimen.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/widgetnames.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {
// Client area and controls, twips.
constexpr int kClientWidthTwips = 5520;
constexpr int kClientHeightTwips = 1680;
constexpr int kRowTopTwips = 240;
constexpr int kRowSpacingTwips = 420;
constexpr int kCaptionLeftTwips = 240;
constexpr int kCaptionWidthTwips = 1815;
constexpr int kCaptionHeightTwips = 255;
constexpr int kEditLeftTwips = 2160;
constexpr int kEditWidthTwips = 975;
constexpr int kEditHeightTwips = 285;
constexpr int kUnitLeftTwips = 3195;
constexpr int kUnitWidthTwips = 375;
constexpr int kButtonLeftTwips = 3960;
constexpr int kButtonWidthTwips = 1215;
constexpr int kButtonHeightTwips = 375;
constexpr int kCancelTopTwips = 720;
} // namespace

const std::array<SampleSize::Row, 3> SampleSize::kRows{{
    {"Thickness", "Sample Thickness", "Sample thickness value must be a number.",
     "Sample thickness value must be greater than zero."},
    {"Width", "Sample Width", "Sample width value must be a number.",
     "Sample width value must be greater than zero."},
    {"Length", "Sample Length", "Sample length value must be a number.",
     "Sample length value must be greater than zero."},
}};

SampleSize::SampleSize(Experiment& experiment, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_experiment(experiment), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("SampleSize"));
    setWindowTitle(QStringLiteral("Sample Size"));
    setAccessibleName(windowTitle());
    setModal(true);
    buildControls();

    // Only dimensions above zero are shown: a new experiment shows its
    // length of 1 alone.
    const std::array<float, 3> values{m_experiment.SampleThickness(), m_experiment.SampleWidth(),
                                      m_experiment.SampleLength()};
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        if (values[row] > 0.0F)
            m_edits[row]->setText(QString::fromStdString(PlainNumberText(values[row])));
        connect(m_edits[row], &QLineEdit::textChanged, this, &SampleSize::UpdateOKButton);
    }
    UpdateOKButton();
    connect(m_okButton, &QPushButton::clicked, this, &SampleSize::handleOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &SampleSize::reject);
}

void SampleSize::buildControls() {
    setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
    auto* frame = Named(new QFrame(this), QStringLiteral("Frame1"), QString());
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(TwipsRect(20, 0, kClientWidthTwips - 40, kClientHeightTwips - 30));

    for (std::size_t row = 0; row < kRows.size(); ++row) {
        const int top = kRowTopTwips + static_cast<int>(row) * kRowSpacingTwips;
        const QString name = QLatin1String(kRows[row].name);
        const QString caption = QLatin1String(kRows[row].caption);
        auto* label = Named(new QLabel(caption, frame), QStringLiteral("label") + name, caption);
        label->setGeometry(
            TwipsRect(kCaptionLeftTwips, top, kCaptionWidthTwips, kCaptionHeightTwips));
        m_edits[row] = Named(new QLineEdit(frame), QStringLiteral("edit") + name, caption);
        m_edits[row]->setGeometry(
            TwipsRect(kEditLeftTwips, top, kEditWidthTwips, kEditHeightTwips));
        label->setBuddy(m_edits[row]);
        WidenToText(*label, m_edits[row]->x());
        auto* unit = Named(new QLabel(QStringLiteral("in."), frame),
                           QStringLiteral("Label%1").arg(row + 1), QStringLiteral("in."));
        unit->setGeometry(TwipsRect(kUnitLeftTwips, top, kUnitWidthTwips, kCaptionHeightTwips));
    }

    m_okButton = Named(new QPushButton(QStringLiteral("OK"), frame), QStringLiteral("OKButton"),
                       QStringLiteral("OK"));
    m_okButton->setGeometry(
        TwipsRect(kButtonLeftTwips, kRowTopTwips, kButtonWidthTwips, kButtonHeightTwips));
    m_okButton->setDefault(true);
    m_cancelButton = Named(new QPushButton(QStringLiteral("Cancel"), frame),
                           QStringLiteral("CancelButton"), QStringLiteral("Cancel"));
    m_cancelButton->setGeometry(
        TwipsRect(kButtonLeftTwips, kCancelTopTwips, kButtonWidthTwips, kButtonHeightTwips));
}

// The texts last typed stay, as for a new test of the same kind of sample;
// but a record whose dimensions came from elsewhere (a file opened, the
// Specimen dialog) shows those, so that the dialog never offers numbers the
// chart does not use.
void SampleSize::showEvent(QShowEvent* event) {
    const SpecimenRecord& specimen = m_experiment.specimen();
    const std::array<float, 3> values{specimen.thickness, specimen.width, specimen.length};
    const bool known = specimen.shape == SpecimenShape::Rectangular && values[0] > 0.0F &&
                       values[1] > 0.0F && values[2] > 0.0F;
    if (known && values != m_lastStored) {
        for (std::size_t row = 0; row < kRows.size(); ++row)
            m_edits[row]->setText(QString::fromStdString(PlainNumberText(values[row])));
    }
    QDialog::showEvent(event);
    m_edits[0]->setFocus();
}

void SampleSize::UpdateOKButton() {
    bool allFilled = true;
    for (const QLineEdit* edit : m_edits)
        allFilled = allFilled && !edit->text().isEmpty();
    m_okButton->setEnabled(allFilled);
}

std::optional<float> SampleSize::rowValue(std::size_t row) {
    const QString text = m_edits[row]->text();
    const std::string typed = text.toStdString();
    // A number ending in "mm" is in millimetres; a plain one in inches.
    const bool millimetres = HasMillimetreSuffix(typed);
    const QString number = millimetres ? text.trimmed().chopped(2).trimmed() : text;
    const double value = LeadingNumber(typed) / (millimetres ? kMillimetresPerInch : 1.0);
    const char* message = nullptr;
    if (value == 0.0 && number != QLatin1String("0"))
        message = kRows[row].notANumber;
    else if (!(value > 0.0))
        message = kRows[row].notAboveZero;
    if (!message)
        return static_cast<float>(value);
    const QPointer<SampleSize> self(this);
    m_dialogs.message(QLatin1String(message));
    if (self)
        m_edits[row]->setFocus();
    return std::nullopt;
}

// Rows are checked top to bottom; the first one at fault is the only one
// reported, and nothing is stored until all three pass.
void SampleSize::handleOkClicked() {
    std::array<float, 3> values{};
    for (std::size_t row = 0; row < kRows.size(); ++row) {
        const std::optional<float> value = rowValue(row);
        if (!value)
            return;
        values[row] = *value;
    }
    SpecimenRecord specimen = m_experiment.specimen();
    specimen.shape = SpecimenShape::Rectangular;
    specimen.thickness = values[0];
    specimen.width = values[1];
    specimen.length = values[2];
    m_experiment.SetSpecimen(specimen);
    m_lastStored = values;
    m_okClicked = true;
    accept();
}

void SampleSize::reject() {
    m_okClicked = false;
    QDialog::reject();
}
