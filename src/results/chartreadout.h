#pragma once

#include <QObject>
#include <QPointF>
#include <QString>

class QChartView;
class QGraphicsEllipseItem;
class QLabel;
class QLineSeries;

// The mark on one point of the results chart and its readout: a ring round
// the point and, beside it, a small label with the point's number and its two
// values in the texts the grid shows them in, with the units of the axes.
// The ring follows its point when the axes or the plot area change and
// hides while the point lies outside the plot. Window thread.
class ChartReadout : public QObject {
    Q_OBJECT
public:
    ChartReadout(QChartView& view, QLineSeries& series);

    // Marks the point plotted at `value` as point `number` (counted from 1,
    // as the grid's rows are), its values named after the axis titles.
    void mark(qint64 number, QPointF value, const QString& xTitle, const QString& yTitle);
    void clear();
    // 0 while nothing is marked.
    qint64 number() const { return m_number; }
    QPointF value() const { return m_value; }
    // "Point 2: Displacement .0125 inch, Load 1 lbs"; empty while nothing is
    // marked.
    const QString& text() const { return m_text; }
    // Puts the ring and the label back on the point after the axes or the
    // plot area moved.
    void place();

signals:
    void changed(const QString& text);

private:
    QChartView& m_view;
    QLineSeries& m_series;
    QGraphicsEllipseItem* m_ring = nullptr;
    QLabel* m_label = nullptr;
    qint64 m_number = 0;
    QPointF m_value;
    QString m_text;
};
