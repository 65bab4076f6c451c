#pragma once

#include "platform/linechart.h"

#include <QChartView>
#include <QList>
#include <QPointF>
#include <QRectF>

class ChartNavigator;
class QLineSeries;
class QScatterSeries;
struct ChartMarks;
class QValueAxis;

// The results chart: the line of a test on two value axes with titles, no
// chart title and no legend. The chart keeps every point of the test; the
// line drawn is a RasterCurve over the pixels of the plot area: its envelope
// (see Envelope), which lights the same pixels as a line through every
// point, or for a curve that sweeps the plot again and again its pixel cover
// (see PixelCover), at a cost bounded by the plot's size. The envelope follows the horizontal
// axis's range and the plot area's size whenever either changes. Its
// accessible description names the axes and the number of points of the
// test, so a screen reader learns what is plotted, and the zoomed range and
// the marked point when there are. Zoom, pan and the point readout are its
// navigator's. Window thread.
class ResultsChart : public EnvelopeChart {
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
    // Hands the chart's points over, for their memory to be reused by the
    // next setPoints, and leaves it without points until then. Only while
    // drawing is held (see holdDrawing).
    QList<QPointF> takePoints();
    // Scales each axis to its own column of the data, or both axes to one
    // common range when switched off.
    void setIndependentAxes(bool independent);
    bool independentAxes() const { return m_independentAxes; }
    qsizetype pointCount() const;
    // Every point of the test as setPoints gave it, in the test's order,
    // whatever part of it the line draws.
    const QList<QPointF>& allPoints() const override { return m_points; }
    // The same points in blocks, each with a box that holds its points.
    const CurveBlocks& pointBlocks() const { return m_blocks; }
    void setColumnsPerPixel(double columns) override;
    // Shows `range` (horizontal from left to right, vertical from top to
    // bottom), the line drawn once for both axes.
    void showRange(const QRectF& range);
    // While held, the line is not drawn again; released, it is drawn once
    // if anything changed meanwhile. A fill holds it so that a layout before
    // the new points arrive does not draw the old ones.
    void holdDrawing(bool hold);
    // The number of entry `index` of the data, and the entry of point
    // `number`, -1 when the chart does not hold it.
    qint64 pointNumber(qsizetype index) const;
    qsizetype indexOfPoint(qint64 number) const;
    ChartNavigator& navigator() { return *m_navigator; }
    // Shows the test `shown` shows, at its size and with its titles and
    // scaling, whole and unmarked, whatever part of it `shown` is zoomed to.
    void showWholeTestOf(const ResultsChart& shown);
    // Marks the results over the curve (resultmarks.h): the modulus line
    // dashed, the proof point, the peak and the break as dots; none when
    // `marks` is empty. The description tells a screen reader where they are.
    void setMarks(const ChartMarks& marks);

private:
    void scaleAxes(const QList<QPointF>& points);
    void redraw();
    void describe();

    bool m_independentAxes = false;
    bool m_holdRedraw = false; // set while both axes are rescaled
    bool m_drawingHeld = false;
    bool m_drawPending = false;
    double m_columnsPerPixel = 1.0;
    // What the line was last drawn for: the plot area, the axes' ranges and
    // the columns to a pixel; the chart announces the same plot area again
    // on every layout, which needs no new envelope.
    QList<double> m_drawnFor;
    QList<QPointF> m_points;
    CurveBlocks m_blocks; // m_points in brief, for drawing
    QLineSeries* m_series = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    QList<qint32> m_numbers;
    ChartNavigator* m_navigator = nullptr;
    QLineSeries* m_markLine = nullptr;
    QScatterSeries* m_markPoints = nullptr;
    QString m_marksText;
};
