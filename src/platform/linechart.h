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

// Gives `view` such a chart, owned by the view, on the axes given (value
// axes of its own when none are).
LineChart MakeLineChart(QChartView& view, QValueAxis* axisX = nullptr, QValueAxis* axisY = nullptr);

// The device pixels of a chart's plot area, for drawing a line as the
// envelope of its points (see Envelope). The envelope's columns are the pixel
// columns the plot area covers, from the one its left edge falls in to the
// one its right edge falls in, over the horizontal axis's range, so each is
// one column of the raster the line is drawn on; `perPixel` columns to a
// device pixel draw for a finer raster (a page). The kept points are placed
// at the centre of the pixel they fall in: a raster shows no more of where a
// point lies, and so the line through them, drawn without antialiasing, lights
// exactly the pixels a line through every point placed so lights. Before the
// chart is laid out the view's own width stands in for the plot's and the
// points keep their places.
class PlotRaster {
public:
    PlotRaster(const QChartView& view,
               const QValueAxis& axisX,
               const QValueAxis& axisY,
               double perPixel = 1.0);
    Envelope envelope() const;
    QList<QPointF> line(const Envelope& envelope) const;
    // The raster for a RasterCurve, and the line through its points.
    RasterGrid grid() const;
    QList<QPointF> line(const RasterCurve& curve) const;

private:
    QList<QPointF> line(const std::vector<Envelope::Point>& kept) const;

    // The axis values at device pixel p are origin + p * step.
    double m_originX = 0.0;
    double m_stepX = 1.0;
    double m_originY = 0.0;
    double m_stepY = 1.0;
    double m_leftPixel = 0.0;
    double m_topPixel = 0.0;
    int m_columns = 1;
    int m_rows = 1;
    bool m_placed = false; // whether the plot is laid out
};

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
