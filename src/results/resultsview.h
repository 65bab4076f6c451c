#pragma once

#include "results/resizerule.h"

#include <QFrame>
#include <QList>
#include <QPointF>

class QChart;
class QChartView;
class QLabel;
class QLineEdit;
class QLineSeries;
class QTableWidget;
class QValueAxis;

// The results area of the main window, the frame `Frame`: the summary
// captions and boxes, the grid of points and the chart. It lies at its design
// place in the client area and stretches with it. Window thread.
class ResultsView : public QFrame {
    Q_OBJECT
public:
    // Rows of the grid below its heading row while it shows no experiment.
    static constexpr int kEmptyGridRows = 24;

    explicit ResultsView(QWidget* parent = nullptr);

    // Empties every cell and leaves the heading row and 24 empty rows.
    void ResetGrid();
    // Empties the grid, the summary boxes and the chart and hides the
    // test-specific pair. Captions and axis titles keep what they showed.
    void ClearResults();

    void setGridColumnWidths(int twips);
    // Scales each chart axis to its own column of the data, or both axes to
    // one common range when switched off.
    void setIndependentAxes(bool independent);
    bool independentAxes() const { return m_independentAxes; }
    // The chart's complete data, one point per row (x, y).
    void setChartData(const QList<QPointF>& points);

    // Follows a new client area (in pixels), less the status bar's height.
    void fitToClientArea(const QSize& clientPixels, int statusBarPixels);
    const FrameSizes& sizesTwips() const { return m_sizes; }

private:
    QLabel*
    addCaption(const QString& objectName, const QString& caption, int topTwips, int widthTwips);
    QLineEdit* addBox(const QString& objectName, QLabel* caption, int topTwips);
    void buildGrid();
    void buildChart();
    void placeStretchedControls();

    FrameSizes m_sizes = kDesignFrameSizesTwips;
    bool m_independentAxes = false;
    QLabel* m_labelTestSpecific = nullptr;
    QLineEdit* m_textMaxLoad = nullptr;
    QLineEdit* m_textMaxDisp = nullptr;
    QLineEdit* m_textTestSpecific = nullptr;
    QTableWidget* m_grid = nullptr;
    QChartView* m_chartView = nullptr;
    QLineSeries* m_series = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
};
