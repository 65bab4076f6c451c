#pragma once

#include "model/specimen.h"

#include <QDialog>
#include <array>
#include <optional>

class Dialogs;
class QCheckBox;
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
// record is changed only by an accepted OK. Below them the set-up of a shear
// or structures test (configuration, planes, the kind of structure, its spans)
// and the settings of the results (the modulus window in percent of the peak,
// lbf or psi, the proof offset in percent, the first local maximum), and the
// reason to leave the specimen out of its set's statistics. Modal; window
// thread.
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
    static const std::array<LengthRow, 13> kLengthRows;

    void buildTexts(class QFormLayout& form);
    void buildLengths(class QGridLayout& grid);
    void buildSetup(class QFormLayout& form);
    void handleWindowBasisChanged();
    // The set-up and settings entries into `edited`; false after telling the
    // operator of the first that does not read.
    bool takeSetup(SpecimenRecord& edited);
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
    std::array<QLineEdit*, 13> m_lengths{};
    QComboBox* m_shear = nullptr;
    QLineEdit* m_shearPlanes = nullptr;
    QComboBox* m_structure = nullptr;
    QComboBox* m_windowBasis = nullptr;
    QLineEdit* m_windowFrom = nullptr;
    QLineEdit* m_windowTo = nullptr;
    QLabel* m_windowUnit = nullptr;
    QLineEdit* m_proofOffset = nullptr;
    QCheckBox* m_firstMaximum = nullptr;
    QLineEdit* m_excluded = nullptr;
};
