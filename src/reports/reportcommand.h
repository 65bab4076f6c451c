#pragma once

#include "reports/reportcontent.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class FileChooser;
class Dialogs;
class QWidget;
class SettingsStore;

// File, Report and the Compare window's Report button: asks for the
// operator's fields in the Report dialog, then for a file name, and writes
// the PDF through the replacing writer; a failure says why and leaves any
// old file as it was. A set's fields are kept for the next set report of the
// run and in the settings (section "Report") as the last values; a test's
// come from its specimen record and go back into it. Window thread.
class ReportCommand {
public:
    ReportCommand(SettingsStore& settings, Dialogs& dialogs, FileChooser& chooser);

    // `make` builds the report from the fields typed; `proposedName` is the
    // file name offered; `sources` are the data files of the tests reported,
    // which the report never goes over (nor over any other data file). False
    // when cancelled or the write failed.
    bool run(QWidget& parent,
             const QString& proposedName,
             const std::function<ReportContent(const ReportFields&)>& make,
             const QStringList& sources = {});
    // The same for one test, whose record gives the fields shown; `accepted`
    // takes the fields back as soon as the dialog is accepted.
    bool runForTest(QWidget& parent,
                    const QString& proposedName,
                    const ReportFields& recordFields,
                    const std::function<void(const ReportFields&)>& accepted,
                    const std::function<ReportContent(const ReportFields&)>& make,
                    const QStringList& sources = {});

private:
    ReportFields& fields();
    bool write(const QString& proposedName,
               const ReportFields& fields,
               const std::function<ReportContent(const ReportFields&)>& make,
               const QStringList& sources);

    SettingsStore& m_settings;
    Dialogs& m_dialogs;
    FileChooser& m_chooser;
    std::optional<ReportFields> m_fields; // read from the settings on first use
};
