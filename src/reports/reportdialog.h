#pragma once

#include "reports/reportcontent.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

// The "Report" dialog: the specimen's name, its material, the operator and
// optional notes, typed before a report is written. Modal; window thread.
class ReportDialog : public QDialog {
    Q_OBJECT
public:
    // The notes take at most this many characters, a page of text or so; a
    // longer note is cut to it. The report shows them in full after its
    // table when the header has no room for them.
    static constexpr int kMostNotesChars = 4000;

    explicit ReportDialog(const ReportFields& fields, QWidget* parent = nullptr);

    ReportFields fields() const;

private:
    QLineEdit* m_specimen = nullptr;
    QLineEdit* m_material = nullptr;
    QLineEdit* m_operator = nullptr;
    QPlainTextEdit* m_notes = nullptr;
};
