#pragma once

#include <QDialog>
#include <cstdint>

class Experiment;
struct TestResults;
class QComboBox;
class QTableWidget;

// The "Test Properties" window: the material properties of the current test
// (peak, break, energies, stiffness and, for a tension test with its
// dimensions entered, strength, modulus, yield and elongation) in a table of
// property and value, in the units the main window shows, followed by the
// results of the test's kind as its test standards define them. A property that
// cannot be computed shows why instead of a number. The table copies to the
// clipboard as text; the window's unit choice follows the main window's and
// reports the operator's choice back to it. Modal; window thread.
class TestPropertiesWindow : public QDialog {
    Q_OBJECT
public:
    TestPropertiesWindow(const Experiment& experiment,
                         std::int32_t units,
                         QWidget* parent = nullptr);

    // Shows the properties in `units` (1 English, 2 metric).
    void setUnits(std::int32_t units);
    std::int32_t units() const { return m_units; }

signals:
    // The operator chose other units in this window.
    void unitsChosen(std::int32_t units);

private:
    void fill();
    void fillResults(const TestResults& results, int row);
    void handleUnitsActivated(int index);
    void handleCopy();

    const Experiment& m_experiment;
    std::int32_t m_units;
    QComboBox* m_comboUnits = nullptr;
    QTableWidget* m_table = nullptr;
};

// A table as text: the heading row, then every row, cells separated by tabs
// and rows by line feeds, as spreadsheets paste it.
QString TableText(const QTableWidget& table);
// Sets a read-only cell; `description` tells a screen reader what the value
// is (its property or its file).
void SetTableCell(
    QTableWidget& table, int row, int column, const QString& text, const QString& description = {});
