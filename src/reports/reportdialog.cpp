#include "reportdialog.h"

#include "platform/widgetnames.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
constexpr int kNotesLines = 4;
constexpr int kFieldWidthPixels = 320;
// Room enough for any label a specimen, material or operator goes by.
constexpr int kMostFieldChars = 200;
} // namespace

ReportDialog::ReportDialog(const ReportFields& fields, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Report"));
    setWindowTitle(tr("Report"));
    setAccessibleName(tr("Report"));
    m_specimen =
        Named(new QLineEdit(fields.specimen, this), QStringLiteral("textSpecimen"), tr("Specimen"));
    m_material =
        Named(new QLineEdit(fields.material, this), QStringLiteral("textMaterial"), tr("Material"));
    m_operator = Named(new QLineEdit(fields.operatorName, this), QStringLiteral("textOperator"),
                       tr("Operator"));
    m_notes = Named(new QPlainTextEdit(fields.notes, this), QStringLiteral("textNotes"),
                    tr("Notes (optional)"));
    for (QLineEdit* field : {m_specimen, m_material, m_operator})
        field->setMaxLength(kMostFieldChars);
    m_notes->setTabChangesFocus(true);
    m_notes->setAccessibleDescription(tr("At most %1 characters").arg(kMostNotesChars));
    m_notes->setToolTip(m_notes->accessibleDescription());
    // Typing or pasting beyond the limit keeps the notes' first characters.
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_notes->toPlainText();
        if (text.size() <= kMostNotesChars)
            return;
        m_notes->setPlainText(text.left(kMostNotesChars));
        m_notes->moveCursor(QTextCursor::End);
    });
    if (fields.notes.size() > kMostNotesChars)
        m_notes->setPlainText(fields.notes.left(kMostNotesChars));
    m_notes->setFixedHeight(m_notes->fontMetrics().lineSpacing() * kNotesLines +
                            2 * m_notes->frameWidth() + 8);
    m_specimen->setMinimumWidth(kFieldWidthPixels);

    auto* form = new QFormLayout(this);
    form->addRow(tr("&Specimen:"), m_specimen);
    form->addRow(tr("&Material:"), m_material);
    form->addRow(tr("&Operator:"), m_operator);
    form->addRow(tr("&Notes (optional):"), m_notes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Named(buttons->button(QDialogButtonBox::Ok), QStringLiteral("buttonOK"), tr("OK"));
    Named(buttons->button(QDialogButtonBox::Cancel), QStringLiteral("buttonCancel"), tr("Cancel"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ReportFields ReportDialog::fields() const {
    return {m_specimen->text().trimmed(), m_material->text().trimmed(),
            m_operator->text().trimmed(), m_notes->toPlainText().trimmed()};
}
