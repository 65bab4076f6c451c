#include "specimen/specimendialog.h"

#include "model/gfunctions.h"
#include "platform/dialogs.h"
#include "platform/widgetnames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int kRectangular = 1;
constexpr int kRound = 2;
constexpr int kBoth = kRectangular | kRound;
constexpr int kNotesLines = 4;
constexpr int kTextWidthPixels = 320;
// Rows from this one on are measured after the test.
constexpr std::size_t kFirstFinalRow = 5;
// Rows from this one on are the set-up of a shear or bending test.
constexpr std::size_t kFirstSetupRow = 9;
const QString kInches = QStringLiteral("in.");
} // namespace

const std::array<SpecimenDialog::LengthRow, 13> SpecimenDialog::kLengthRows{{
    {"Thickness", "Thickness", &SpecimenRecord::thickness, kRectangular},
    {"Width", "Width", &SpecimenRecord::width, kRectangular},
    {"Diameter", "Diameter", &SpecimenRecord::diameter, kRound},
    {"Length", "Length", &SpecimenRecord::length, kBoth},
    {"GaugeLength", "Gauge length", &SpecimenRecord::gaugeLength, kBoth},
    {"FinalLength", "Final gauge length", &SpecimenRecord::finalLength, kBoth},
    {"FinalThickness", "Final thickness", &SpecimenRecord::finalThickness, kRectangular},
    {"FinalWidth", "Final width", &SpecimenRecord::finalWidth, kRectangular},
    {"FinalDiameter", "Final diameter", &SpecimenRecord::finalDiameter, kRound},
    {"ShearDiameter", "Pin or punch diameter", &SpecimenRecord::shearDiameter, kBoth},
    {"ShearLength", "Shear length", &SpecimenRecord::shearLength, kBoth},
    {"Span", "Span", &SpecimenRecord::span, kBoth},
    {"LoadingSpan", "Loading span", &SpecimenRecord::loadingSpan, kBoth},
}};

SpecimenDialog::SpecimenDialog(const SpecimenRecord& specimen, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_specimen(specimen), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Specimen"));
    setWindowTitle(tr("Specimen"));
    setAccessibleName(tr("Specimen"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    buildTexts(*form);
    layout->addLayout(form);
    auto* grid = new QGridLayout;
    buildLengths(*grid);
    layout->addLayout(grid);
    auto* setup = new QFormLayout;
    buildSetup(*setup);
    layout->addLayout(setup);

    const QString began = specimen.beganSeconds
                              ? QDateTime::fromSecsSinceEpoch(*specimen.beganSeconds)
                                    .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                              : tr("not known");
    auto* beganLabel = Named(new QLabel(tr("Test began: %1").arg(began), this),
                             QStringLiteral("labelBegan"), tr("Test began: %1").arg(began));
    layout->addWidget(beganLabel);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Named(buttons->button(QDialogButtonBox::Ok), QStringLiteral("buttonOK"), tr("OK"));
    Named(buttons->button(QDialogButtonBox::Cancel), QStringLiteral("buttonCancel"), tr("Cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SpecimenDialog::handleOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    handleShapeChanged();
}

void SpecimenDialog::buildTexts(QFormLayout& form) {
    const auto line = [this](const std::string& text, const QString& name, const QString& what) {
        return Named(new QLineEdit(QString::fromStdString(text), this), name, what);
    };
    m_name = line(m_specimen.name, QStringLiteral("textSpecimen"), tr("Specimen"));
    m_material = line(m_specimen.material, QStringLiteral("textMaterial"), tr("Material"));
    m_operator = line(m_specimen.operatorName, QStringLiteral("textOperator"), tr("Operator"));
    m_notes = Named(new QPlainTextEdit(QString::fromStdString(m_specimen.notes), this),
                    QStringLiteral("textNotes"), tr("Notes"));
    m_notes->setTabChangesFocus(true);
    m_notes->setFixedHeight(m_notes->fontMetrics().lineSpacing() * kNotesLines +
                            2 * m_notes->frameWidth() + 8);
    m_name->setMinimumWidth(kTextWidthPixels);
    m_shape = Named(new QComboBox(this), QStringLiteral("comboShape"), tr("Shape"));
    m_shape->addItems({tr("Rectangular"), tr("Round")});
    m_shape->setCurrentIndex(m_specimen.shape == SpecimenShape::Round ? 1 : 0);
    connect(m_shape, &QComboBox::currentIndexChanged, this, &SpecimenDialog::handleShapeChanged);
    form.addRow(tr("&Specimen:"), m_name);
    form.addRow(tr("&Material:"), m_material);
    form.addRow(tr("&Operator:"), m_operator);
    form.addRow(tr("&Notes:"), m_notes);
    form.addRow(tr("S&hape:"), m_shape);
}

// Each length with its unit beside it; the rows after the test under a
// heading of their own.
void SpecimenDialog::buildLengths(QGridLayout& grid) {
    int gridRow = 0;
    for (std::size_t row = 0; row < kLengthRows.size(); ++row) {
        if (row == kFirstFinalRow || row == kFirstSetupRow) {
            const bool after = row == kFirstFinalRow;
            const QString text = after ? tr("After the test") : tr("Shear and bending");
            auto* heading = Named(
                new QLabel(text + QLatin1Char(':'), this),
                after ? QStringLiteral("labelAfterTest") : QStringLiteral("labelSetup"), text);
            grid.addWidget(heading, gridRow++, 0, 1, 3);
        }
        const LengthRow& spec = kLengthRows[row];
        const QString caption = tr(spec.caption);
        const float value = m_specimen.*spec.member;
        QLineEdit* edit = Named(
            new QLineEdit(value > 0.0f ? QString::fromStdString(PlainNumberText(value)) : QString(),
                          this),
            QStringLiteral("edit") + QLatin1String(spec.name), caption + tr(" in inches"));
        edit->setToolTip(tr("Inches; type mm after the number for millimetres. "
                            "Leave empty when not known."));
        auto* label = new QLabel(caption + QLatin1Char(':'), this);
        label->setBuddy(edit);
        auto* unit = Named(new QLabel(kInches, this),
                           QStringLiteral("unit") + QLatin1String(spec.name), tr("inches"));
        grid.addWidget(label, gridRow, 0);
        grid.addWidget(edit, gridRow, 1);
        grid.addWidget(unit, gridRow++, 2);
        m_lengths[row] = edit;
    }
    m_lengths[4]->setPlaceholderText(tr("the length"));
}

// Only the dimensions of the chosen shape can be typed; those of the other
// are kept as they were.
void SpecimenDialog::handleShapeChanged() {
    const int shape = m_shape->currentIndex() == 1 ? kRound : kRectangular;
    for (std::size_t row = 0; row < kLengthRows.size(); ++row)
        m_lengths[row]->setEnabled((kLengthRows[row].shapes & shape) != 0);
}

std::optional<float> SpecimenDialog::rowLength(std::size_t row) {
    const QString text = m_lengths[row]->text().trimmed();
    if (text.isEmpty())
        return 0.0f;
    if (const auto inches = LengthInInches(text.toStdString()))
        return *inches;
    const QPointer<SpecimenDialog> self(this);
    m_dialogs.message(tr("%1 must be a number greater than zero, in inches or with mm after it.")
                          .arg(tr(kLengthRows[row].caption)));
    if (self)
        m_lengths[row]->setFocus();
    return std::nullopt;
}

void SpecimenDialog::handleOk() {
    SpecimenRecord edited = m_specimen;
    for (std::size_t row = 0; row < kLengthRows.size(); ++row) {
        if (!m_lengths[row]->isEnabled())
            continue;
        const std::optional<float> length = rowLength(row);
        if (!length)
            return;
        edited.*kLengthRows[row].member = *length;
    }
    if (!takeSetup(edited))
        return;
    SetSpecimenField(edited, "specimen", m_name->text().trimmed().toStdString());
    SetSpecimenField(edited, "material", m_material->text().trimmed().toStdString());
    SetSpecimenField(edited, "operator", m_operator->text().trimmed().toStdString());
    SetSpecimenField(edited, "notes", m_notes->toPlainText().trimmed().toStdString());
    edited.shape = m_shape->currentIndex() == 1 ? SpecimenShape::Round : SpecimenShape::Rectangular;
    m_specimen = edited;
    accept();
}

void SpecimenDialog::buildSetup(QFormLayout& form) {
    const auto combo = [this](const QString& name, const QString& what, const QStringList& items,
                              int current) {
        auto* box = Named(new QComboBox(this), name, what);
        box->addItems(items);
        box->setCurrentIndex(current);
        return box;
    };
    const auto line = [this](float value, const QString& name, const QString& what) {
        return Named(
            new QLineEdit(value > 0.0f ? QString::fromStdString(PlainNumberText(value)) : QString(),
                          this),
            name, what);
    };
    const SpecimenRecord& s = m_specimen;
    m_shear = combo(QStringLiteral("comboShear"), tr("Shear configuration"),
                    {tr("Pin"), tr("Punch"), tr("Plate")}, static_cast<int>(s.shear));
    m_shearPlanes =
        Named(new QLineEdit(s.shearPlanes > 0 ? QString::number(s.shearPlanes) : QString(), this),
              QStringLiteral("editShearPlanes"), tr("Number of shear planes"));
    m_shearPlanes->setPlaceholderText(tr("1 (single shear)"));
    m_structure = combo(
        QStringLiteral("comboStructure"), tr("Structure"),
        {tr("Other structure"), tr("Beam, three-point bending"), tr("Beam, four-point bending")},
        static_cast<int>(s.structure));
    m_windowBasis = combo(QStringLiteral("comboWindowBasis"), tr("Modulus window in"),
                          {tr("Percent of peak force"), tr("Force (lbf)"), tr("Stress (psi)")},
                          static_cast<int>(s.windowBasis));
    m_windowFrom = line(s.windowFrom, QStringLiteral("editWindowFrom"), tr("Modulus window from"));
    m_windowTo = line(s.windowTo, QStringLiteral("editWindowTo"), tr("Modulus window to"));
    m_windowFrom->setPlaceholderText(tr("10"));
    m_windowTo->setPlaceholderText(tr("40"));
    m_windowUnit = Named(new QLabel(this), QStringLiteral("labelWindowUnit"), {});
    auto* window = new QHBoxLayout;
    window->addWidget(m_windowFrom);
    window->addWidget(new QLabel(tr("to"), this));
    window->addWidget(m_windowTo);
    window->addWidget(m_windowUnit);
    m_proofOffset =
        line(s.proofOffset, QStringLiteral("editProofOffset"), tr("Proof offset in percent"));
    m_proofOffset->setPlaceholderText(tr("0.2"));
    m_firstMaximum =
        Named(new QCheckBox(tr("Also the stress at the first local maximum (plastics)"), this),
              QStringLiteral("checkFirstMaximum"), tr("First local maximum"));
    m_firstMaximum->setChecked(s.firstLocalMaximum);
    m_excluded = Named(new QLineEdit(QString::fromStdString(s.excluded), this),
                       QStringLiteral("textExcluded"), tr("Left out of set statistics because"));
    m_excluded->setPlaceholderText(tr("empty: counted"));
    form.addRow(tr("Shear &configuration:"), m_shear);
    form.addRow(tr("Shear &planes:"), m_shearPlanes);
    form.addRow(tr("S&tructure:"), m_structure);
    form.addRow(tr("Modulus &window in:"), m_windowBasis);
    form.addRow(tr("Modulus window:"), window);
    form.addRow(tr("Proof o&ffset (%):"), m_proofOffset);
    form.addRow(QString(), m_firstMaximum);
    form.addRow(tr("Left out of set &statistics because:"), m_excluded);
    connect(m_windowBasis, &QComboBox::currentIndexChanged, this,
            &SpecimenDialog::handleWindowBasisChanged);
    handleWindowBasisChanged();
}

void SpecimenDialog::handleWindowBasisChanged() {
    static const char* const kUnits[] = {"% of peak", "lbf", "psi"};
    const QString unit = tr(kUnits[std::clamp(m_windowBasis->currentIndex(), 0, 2)]);
    m_windowUnit->setText(unit);
    m_windowUnit->setAccessibleName(unit);
}

bool SpecimenDialog::takeSetup(SpecimenRecord& edited) {
    static const char* const kShear[] = {"pin", "punch", "plate"};
    static const char* const kStructure[] = {"other", "three-point", "four-point"};
    static const char* const kWindow[] = {"peak", "force", "stress"};
    SetSpecimenField(edited, "shear", kShear[m_shear->currentIndex()]);
    SetSpecimenField(edited, "structure", kStructure[m_structure->currentIndex()]);
    SetSpecimenField(edited, "window-basis", kWindow[m_windowBasis->currentIndex()]);
    SetSpecimenField(edited, "first-local-maximum", m_firstMaximum->isChecked() ? "yes" : "no");
    SetSpecimenField(edited, "excluded", m_excluded->text().trimmed().toStdString());
    const std::pair<const char*, QLineEdit*> numbers[] = {{"shear-planes", m_shearPlanes},
                                                          {"window-from", m_windowFrom},
                                                          {"window-to", m_windowTo},
                                                          {"proof-offset", m_proofOffset}};
    edited.shearPlanes = 0;
    edited.windowFrom = edited.windowTo = edited.proofOffset = 0.0f;
    for (const auto& [name, edit] : numbers) {
        const QString text = edit->text().trimmed();
        if (text.isEmpty())
            continue;
        const std::string why = SetSpecimenField(edited, name, text.toStdString());
        if (why.empty())
            continue;
        const QPointer<SpecimenDialog> self(this);
        m_dialogs.message(QString::fromStdString(why) + QLatin1Char('.'));
        if (self)
            edit->setFocus();
        return false;
    }
    return true;
}
