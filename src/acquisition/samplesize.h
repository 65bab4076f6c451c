#pragma once

#include <QDialog>
#include <array>
#include <optional>

class Dialogs;
class Experiment;
class QLineEdit;
class QPushButton;

// The "Sample Size" dialog: the sample's thickness, width and length in
// inches (the unit labels read "in." whatever the units; a number typed with
// the suffix "mm" is taken in millimetres), stored into the experiment's
// specimen record only when OK finds all three greater than zero. Created
// once, its entries filled from the experiment then; afterwards hidden and
// shown again with the texts last typed, unless the record on display has
// other dimensions, which it then shows. OK stays disabled while an entry is empty.
// Cancel, Escape and the frame's close control leave the experiment as it
// was. The owner shows it with exec() and reads OKclicked(). Window thread.
class SampleSize : public QDialog {
    Q_OBJECT
public:
    SampleSize(Experiment& experiment, Dialogs& dialogs, QWidget* parent = nullptr);

    // True after OK stored valid dimensions, false after Cancel.
    bool OKclicked() const { return m_okClicked; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Row {
        const char* name;    // "Thickness", ...: the controls' names
        const char* caption; // "Sample Thickness", ...
        const char* notANumber;
        const char* notAboveZero;
    };
    static const std::array<Row, 3> kRows;

    void buildControls();
    void UpdateOKButton();
    void handleOkClicked();
    // The row's value when it is a number above zero; otherwise shows the
    // row's message and gives none.
    std::optional<float> rowValue(std::size_t row);

    Experiment& m_experiment;
    Dialogs& m_dialogs;
    bool m_okClicked = false;
    std::array<QLineEdit*, 3> m_edits{};
    std::array<float, 3> m_lastStored{}; // the dimensions the last OK stored
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
