#pragma once

#include "model/envelope.h"

#include <QChartView>
#include <QList>
#include <QPointF>

class QLineSeries;
class QValueAxis;

// One line of points on two value axes, without title or legend: the chart
// of the results area and the live curve of a running test. Window thread.
struct LineChart {
    QLineSeries* series = nullptr;
    QValueAxis* axisX = nullptr; // displacement or strain, along the bottom
    QValueAxis* axisY = nullptr; // load or stress, up the left side
};

// Gives `view` such a chart, owned by the view.
LineChart MakeLineChart(QChartView& view);

// An empty envelope whose columns are the device pixels the chart's plot area
// covers, from the pixel its left edge falls in to the one its right edge
// falls in, over the horizontal axis's range: each column is one column of
// the raster the line is drawn on. Before the chart is laid out, the view's
// own width stands in for the plot's.
// `perPixel` columns to a device pixel draw for a finer raster.
Envelope PixelEnvelope(const QChartView& view, const QValueAxis& axisX, double perPixel = 1.0);

// The envelope's kept points as the points of a line.
QList<QPointF> EnvelopeLine(const Envelope& envelope);

// A chart view that keeps every point of its line and draws the line as an
// envelope of them. Its pictures for the clipboard and the printer take the
// points from here, and draw the line at the picture's own resolution.
class EnvelopeChart : public QChartView {
public:
    using QChartView::QChartView;
    // Every point of the line, in its order.
    virtual const QList<QPointF>& allPoints() const = 0;
    // Draws the line with this many envelope columns to a device pixel: more
    // than one for a picture finer than the screen, 1 for the screen.
    virtual void setColumnsPerPixel(double columns) = 0;
};
