#include "reportcommand.h"

#include "documents/filechooser.h"
#include "documents/writefailure.h"
#include "model/experiment.h"
#include "platform/busycursor.h"
#include "platform/dialogs.h"
#include "platform/geometry.h"
#include "platform/settingsstore.h"
#include "reports/reportdialog.h"
#include "reports/reportwriter.h"

#include <QObject>
#include <exception>

namespace {
const QString kSection = QStringLiteral("Report");
const QString kSpecimenKey = QStringLiteral("Specimen");
const QString kMaterialKey = QStringLiteral("Material");
const QString kOperatorKey = QStringLiteral("Operator");
const QString kNotesKey = QStringLiteral("Notes");
} // namespace

ReportCommand::ReportCommand(SettingsStore& settings, Dialogs& dialogs, FileChooser& chooser)
    : m_settings(settings), m_dialogs(dialogs), m_chooser(chooser) {}

ReportFields& ReportCommand::fields() {
    if (!m_fields)
        m_fields = ReportFields{
            m_settings.read(kSection, kSpecimenKey), m_settings.read(kSection, kMaterialKey),
            m_settings.read(kSection, kOperatorKey), m_settings.read(kSection, kNotesKey)};
    return *m_fields;
}

bool ReportCommand::run(QWidget& parent,
                        const QString& proposedName,
                        const std::function<ReportContent(const ReportFields&)>& make,
                        const QStringList& sources) {
    ReportDialog dialog(fields(), &parent);
    CenterOver(dialog, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Kept for the run even when the settings cannot be written.
    ReportFields& kept = fields();
    kept = dialog.fields();
    m_settings.write(kSection, kSpecimenKey, kept.specimen);
    m_settings.write(kSection, kMaterialKey, kept.material);
    m_settings.write(kSection, kOperatorKey, kept.operatorName);
    m_settings.write(kSection, kNotesKey, kept.notes);
    return write(proposedName, kept, make, sources);
}

bool ReportCommand::runForTest(QWidget& parent,
                               const QString& proposedName,
                               const ReportFields& recordFields,
                               const std::function<void(const ReportFields&)>& accepted,
                               const std::function<ReportContent(const ReportFields&)>& make,
                               const QStringList& sources) {
    ReportDialog dialog(recordFields, &parent);
    CenterOver(dialog, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const ReportFields typed = dialog.fields();
    accepted(typed);
    return write(proposedName, typed, make, sources);
}

bool ReportCommand::write(const QString& proposedName,
                          const ReportFields& fields,
                          const std::function<ReportContent(const ReportFields&)>& make,
                          const QStringList& sources) {
    const QString name = m_chooser.chooseSave(FileChooser::Kind::Report, proposedName, sources);
    if (name.isEmpty())
        return false;
    const QString what = QObject::tr("written as a report");
    const bool existed = FileExists(name);
    bool oldFileKept = true;
    try {
        const BusyCursor busy;
        const ReportContent content = make(fields);
        ReportWriter(content).write(name);
        return true;
    } catch (const FileWriteError& error) {
        oldFileKept = error.OldFileKept();
    } catch (const std::exception&) {
    }
    m_dialogs.message(WriteFailureText(name, what, existed, oldFileKept),
                      Dialogs::Icon::Exclamation);
    return false;
}
