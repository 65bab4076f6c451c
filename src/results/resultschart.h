#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>

class QLineSeries;
class QValueAxis;

// The results chart: one line through every point, two value axes with
// titles, no chart title and no legend. Its accessible description names the
// axes and the number of points, so a screen reader learns what is plotted.
// Window thread.
class ResultsChart : public QChartView {
    Q_OBJECT
public:
    explicit ResultsChart(QWidget* parent = nullptr);

    void setAxisTitles(const QString& x, const QString& y);
    // The chart's complete data, one point per entry (x, y), replacing what
    // it showed. The axes are scaled to the data first, so the line is laid
    // out once.
    void setPoints(const QList<QPointF>& points);
    // Scales each axis to its own column of the data, or both axes to one
    // common range when switched off.
    void setIndependentAxes(bool independent);
    bool independentAxes() const { return m_independentAxes; }
    qsizetype pointCount() const;
    // Every point of the test as setPoints gave it, in the test's order,
    // whatever part of it the line draws.
    const QList<QPointF>& allPoints() const { return m_points; }

private:
    void scaleAxes(const QList<QPointF>& points);
    void describe();

    bool m_independentAxes = false;
    QList<QPointF> m_points;
    QLineSeries* m_series = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
};
