#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRectF>

class ChartReadout;
class QKeyEvent;
class QLineSeries;
class QWidget;
class QMouseEvent;
class QRubberBand;
class QValueAxis;
class QWheelEvent;
class ResultsChart;

// Zoom, pan and the point readout of the results chart, from the mouse and
// from the keyboard. A rectangle dragged with the left button zooms to it;
// the wheel zooms about the pointer; the middle button, or Shift with the
// left button, drags the view along; a double click shows the whole test
// again. With the chart focused, + and - zoom about the centre, the arrow
// keys pan and Shift with Left or Right moves the readout to the previous
// or next point (one point at a time when zoomed in, about one pixel column
// of points on the whole test). Hovering marks the nearest shown point.
// While zoomed the axes show round figures. Window thread.
class ChartNavigator : public QObject {
    Q_OBJECT
public:
    ChartNavigator(ResultsChart& chart, QLineSeries& series, QValueAxis& x, QValueAxis& y);

    // The axes are about to be scaled to the whole test, and were.
    void showingWholeTest();
    void wholeTestShown();
    // Back to the whole test, the mark kept.
    void zoomOut();
    bool zoomed() const { return m_zoomed; }
    // Marks point `number` (counted from 1); a point the chart does not
    // hold clears the mark.
    void markPoint(qint64 number);
    ChartReadout& readout() { return *m_readout; }
    // The zoomed range and the marked point in words; empty on the whole test
    // with nothing marked.
    QString description() const;

signals:
    // The description changed.
    void changed();
    // A zoom or a pan showed a new range; `number` is the first point inside
    // it, 0 when none is.
    void rangeShown(qint64 number);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Drag { None, Band, Pan };

    bool handleMouse(QMouseEvent& event);
    bool handleKey(const QKeyEvent& event);
    void handleWheel(const QWheelEvent& event);
    QPointF valueAt(QPointF viewportPosition) const;
    QRectF shown() const;
    void show(QRectF range);
    void zoomAbout(QPointF centre, double factor);
    void panByPixels(QPointF pixels);
    void markNearest(QPointF viewportPosition);
    void markIndex(qsizetype index);
    void step(int direction);

    ResultsChart& m_chart;
    QWidget& m_viewport; // the chart's, where its mouse events arrive
    QLineSeries& m_series;
    QValueAxis& m_x;
    QValueAxis& m_y;
    ChartReadout* m_readout = nullptr;
    QRubberBand* m_band = nullptr;
    QRectF m_whole;
    bool m_zoomed = false;
    Drag m_drag = Drag::None;
    QPoint m_pressed;
    QPoint m_last;
    qsizetype m_markedIndex = -1;
};
