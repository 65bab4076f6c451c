#pragma once

#include "results/resizerule.h"

#include <QFrame>
#include <QList>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <functional>

class Experiment;
class PointsModel;
class QLabel;
class QLineEdit;
class QTableView;
class ResultsChart;

// The results area of the main window, the frame `Frame`: the summary
// captions and boxes, the grid of points and the chart, and the three
// routines that fill and empty them. It lies at its design place in the
// client area and stretches with it. Window thread.
class ResultsView : public QFrame {
    Q_OBJECT
public:
    // Rows of the grid below its heading row while it shows no experiment.
    static constexpr int kEmptyGridRows = 24;

    explicit ResultsView(QWidget* parent = nullptr);

    // Shows `experiment` in `units` (1 English, anything else metric): the
    // axis titles always; when `experimentPresent`, also the summary, every
    // point in the grid and the chart, stress against strain for a tension
    // test with `viewMode` 2. Lets pending window events run once, after
    // the grid has been emptied. The experiment must outlive the view.
    void ShowResults(const Experiment& experiment,
                     std::int32_t units,
                     std::int32_t viewMode,
                     bool experimentPresent);
    // Empties every cell and leaves the heading row and 24 empty rows.
    void ResetGrid();
    // Empties the grid, the summary boxes and the chart and hides the
    // test-specific pair. Captions and axis titles keep what they showed.
    void ClearResults();

    // Rows of the grid, its heading row included.
    int gridRows() const;

    void setGridColumnWidths(int twips);
    // Scales each chart axis to its own column of the data, or both axes to
    // one common range when switched off.
    void setIndependentAxes(bool independent);
    bool independentAxes() const;
    // Whether the next fill marks the results on the chart (the modulus
    // line, the proof point, the peak and the break). Off at first.
    void setResultMarks(bool shown) { m_resultMarks = shown; }
    bool resultMarks() const { return m_resultMarks; }
    // Shows the whole test in the chart again.
    void zoomOut();
    // A chart to print: the whole test of the chart on screen, unmarked, at
    // its size; the chart on screen stays as it is. Hidden; it lets the
    // test's points go when the chart on screen gets new ones.
    ResultsChart& chartForPrint();

    // Follows a new client area (in pixels), less the status bar's height.
    void fitToClientArea(const QSize& clientPixels, int statusBarPixels);
    const FrameSizes& sizesTwips() const { return m_sizes; }

signals:
    // The chart's readout of the marked point; empty when none is marked.
    void readoutChanged(const QString& text);

private:
    QLabel*
    addCaption(const QString& objectName, const QString& caption, int topTwips, int widthTwips);
    QLineEdit* addBox(const QString& objectName, QLabel* caption, int topTwips);
    void buildGrid();
    void linkGridAndChart();
    void selectPoint(qint64 number);
    void placeStretchedControls();
    void dropPrintCopy();
    void setCaption(QLabel& caption, QLineEdit& box, const QString& text);
    void showSummary(const Experiment& experiment, std::int32_t units);
    void showHardness(const Experiment& experiment);
    void showChart(const Experiment& experiment,
                   std::int32_t units,
                   std::int32_t count,
                   bool stressStrain);

    FrameSizes m_sizes = kDesignFrameSizesTwips;
    // Counts the fills and clearings, so that a fill finds out whether
    // another one ran while window events were let through.
    quint64 m_generation = 0;
    // Set while the grid follows the chart, so that it does not mark the
    // row it selects.
    bool m_followingChart = false;
    bool m_resultMarks = false;
    QLabel* m_labelMaxLoad = nullptr;
    QLabel* m_labelMaxDisp = nullptr;
    QLabel* m_labelTestSpecific = nullptr;
    QLineEdit* m_textMaxLoad = nullptr;
    QLineEdit* m_textMaxDisp = nullptr;
    QLineEdit* m_textTestSpecific = nullptr;
    PointsModel* m_points = nullptr;
    QTableView* m_grid = nullptr;
    ResultsChart* m_chart = nullptr;
    ResultsChart* m_printChart = nullptr;
};

// The chart's axis titles, for load against displacement or stress against
// strain in `units`.
struct AxisTitles {
    QString x;
    QString y;
};
AxisTitles ChartAxisTitles(bool stressStrain, std::int32_t units);

// What the results chart shows of `experiment` in `units` and `viewMode`:
// stress against strain only for a tension test in view 2 whose quotients
// are finite numbers, load against displacement otherwise, with the axis
// titles. Its points are visited in order without being kept, converted as
// they are visited, so that a test of twenty million points costs no memory
// beyond its readings; a point whose conversion fails is left out. The
// experiment must outlive the curve and keep its points.
using ChartPointVisit = std::function<void(double x, double y)>;
struct ChartCurve {
    AxisTitles titles;
    std::function<void(const ChartPointVisit& visit)> points;
};
ChartCurve ChartPoints(const Experiment& experiment, std::int32_t units, std::int32_t viewMode);
