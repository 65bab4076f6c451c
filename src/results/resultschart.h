#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>

class ChartNavigator;
class QLineSeries;
class QValueAxis;

// The results chart: one line through every point, two value axes with
// titles, no chart title and no legend. Its accessible description names the
// axes and the number of points, so a screen reader learns what is plotted,
// and the zoomed range and the marked point when there are. Zoom, pan and the
// point readout are its navigator's. Window thread.
class ResultsChart : public QChartView {
    Q_OBJECT
public:
    explicit ResultsChart(QWidget* parent = nullptr);

    void setAxisTitles(const QString& x, const QString& y);
    // The chart's complete data, one point per entry (x, y), replacing what
    // it showed. The axes are scaled to the data first, so the line is laid
    // out once. `numbers` are the points' numbers (counted from 1, as the
    // grid's rows) when some points were left out; empty when entry i is
    // point i + 1. The chart shows the whole test with nothing marked.
    void setPoints(const QList<QPointF>& points, QList<qint32> numbers = {});
    // Scales each axis to its own column of the data, or both axes to one
    // common range when switched off.
    void setIndependentAxes(bool independent);
    bool independentAxes() const { return m_independentAxes; }
    qsizetype pointCount() const;
    // The whole data, whatever part of it is shown.
    QList<QPointF> allPoints() const;
    // The number of entry `index` of the data, and the entry of point
    // `number`, -1 when the chart does not hold it.
    qint64 pointNumber(qsizetype index) const;
    qsizetype indexOfPoint(qint64 number) const;
    ChartNavigator& navigator() { return *m_navigator; }

private:
    void scaleAxes(const QList<QPointF>& points);
    void describe();

    bool m_independentAxes = false;
    QLineSeries* m_series = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    QList<qint32> m_numbers;
    ChartNavigator* m_navigator = nullptr;
};
