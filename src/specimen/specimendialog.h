#pragma once

#include "model/specimen.h"

#include <QDialog>
#include <array>
#include <optional>

class Dialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The "Specimen" dialog: the whole specimen record of the current test, new
// or opened. Its name, material, operator and notes; its shape, thickness
// and width or diameter, length and gauge length; after the test its final
// gauge length and final width and thickness or diameter. Every length is in
// inches, as its unit label says; a number typed with the suffix "mm" is
// taken in millimetres, and an empty entry is a length not given. OK checks
// every length and reports the first that is not a number above zero; the
// record is changed only by an accepted OK. Modal; window thread.
class SpecimenDialog : public QDialog {
    Q_OBJECT
public:
    SpecimenDialog(const SpecimenRecord& specimen, Dialogs& dialogs, QWidget* parent = nullptr);

    // The record as edited; when the time the test began stays as it was.
    const SpecimenRecord& specimen() const { return m_specimen; }

private:
    struct LengthRow {
        const char* name;    // the entry is "edit" + name
        const char* caption; // as the dialog shows it, without the colon
        float SpecimenRecord::*member;
        int shapes; // the shapes it belongs to: rectangular 1, round 2, both 3
    };
    static const std::array<LengthRow, 9> kLengthRows;

    void buildTexts(class QFormLayout& form);
    void buildLengths(class QGridLayout& grid);
    void handleShapeChanged();
    void handleOk();
    // The length of row `row` in inches (0 when empty); empty after telling
    // the operator that its text is not a length.
    std::optional<float> rowLength(std::size_t row);

    SpecimenRecord m_specimen;
    Dialogs& m_dialogs;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_material = nullptr;
    QLineEdit* m_operator = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QComboBox* m_shape = nullptr;
    std::array<QLineEdit*, 9> m_lengths{};
};
