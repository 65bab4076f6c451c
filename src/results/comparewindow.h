#pragma once

#include "model/experiments.h"
#include "model/settable.h"

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <vector>

class CompareCurves;
class Dialogs;
class QChart;
class QChartView;
class QPushButton;
class QTableWidget;
class QValueAxis;

// The "Compare Tests" window: a specimen set of data files opened into an
// `Experiments` collection keyed by full path, their load against
// displacement curves (stress against strain when every test is a tension
// test with known dimensions) overlaid on one chart with a legend, and their
// properties and the results of their kinds in a table ending in the mean,
// the standard deviation, the coefficient of variation and the 95%
// confidence limits of the mean of each measured column, over the tests not
// left out by their specimen records (whose reason the last column shows). It reads files only;
// the main window's current test is untouched. The collection's keys ignore
// letter case, so a path that differs from an open one only in case is
// refused. Modal; window thread.
class CompareWindow : public QDialog {
    Q_OBJECT
public:
    CompareWindow(Dialogs& dialogs,
                  const QString& folder,
                  std::int32_t units,
                  QWidget* parent = nullptr);

    // Opens a data file into the set; false, after telling the operator,
    // when it is refused or cannot be read.
    bool addFile(const QString& fileName);
    // Removes the file of table row `row` (from 0) from the chart and table.
    void removeFile(int row);
    int fileCount() const { return static_cast<int>(m_paths.size()); }
    // The file of table row `row` (from 0), and its test.
    QString filePath(int row) const { return m_paths.at(row); }
    const Experiment& experiment(int row) { return m_experiments.Item(row + 1); }
    std::int32_t units() const { return m_units; }

signals:
    // "Report..." was clicked: a report of the set is wanted.
    void reportRequested();

private:
    void buildChart();
    void handleAdd();
    void handleRemove();
    void handleCurrentRowChanged();
    void addCurve(const Experiment& experiment, const QString& name);
    void redrawCurves();
    void fitAxes();
    void fillTable();
    void fillStatisticRows(int firstRow, const SetTable& table);
    bool refusedAsOpen(const QString& path);

    Dialogs& m_dialogs;
    QString m_folder;
    std::int32_t m_units;
    Experiments m_experiments;
    QStringList m_paths;                // position i + 1 of the collection
    std::vector<SetEntry> m_properties; // in the same order
    QChart* m_chart = nullptr;
    QChartView* m_chartView = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    QTableWidget* m_table = nullptr;
    CompareCurves* m_curves = nullptr; // the chart's curves, one a file
    QPushButton* m_buttonRemove = nullptr;
    QPushButton* m_buttonReport = nullptr;
};
