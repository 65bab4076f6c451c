#include "platform/linechart.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

LineChart MakeLineChart(QChartView& view, QValueAxis* axisX, QValueAxis* axisY) {
    auto* chart = new QChart;
    chart->legend()->hide();
    LineChart line{new QLineSeries(chart), axisX ? axisX : new QValueAxis(chart),
                   axisY ? axisY : new QValueAxis(chart)};
    chart->addSeries(line.series);
    chart->addAxis(line.axisX, Qt::AlignBottom);
    chart->addAxis(line.axisY, Qt::AlignLeft);
    line.series->attachAxis(line.axisX);
    line.series->attachAxis(line.axisY);
    view.setChart(chart);
    return line;
}

PlotRaster::PlotRaster(const QChartView& view,
                       const QValueAxis& axisX,
                       const QValueAxis& axisY,
                       double perPixel) {
    const double ratio = view.devicePixelRatioF() * std::max(perPixel, 1.0);
    QRectF plot = view.chart()->plotArea();
    m_placed = plot.width() >= 1.0 && plot.height() >= 1.0;
    if (!m_placed)
        plot = QRectF(0.0, 0.0, std::max(view.width(), 1), std::max(view.height(), 1));
    m_leftPixel = std::floor(plot.left() * ratio);
    const double rightPixel = std::max(std::ceil(plot.right() * ratio), m_leftPixel + 1.0);
    m_columns = static_cast<int>(rightPixel - m_leftPixel);
    m_topPixel = std::floor(plot.top() * ratio);
    m_rows =
        static_cast<int>(std::max(std::ceil(plot.bottom() * ratio), m_topPixel + 1.0) - m_topPixel);
    m_stepX = (axisX.max() - axisX.min()) / (plot.width() * ratio);
    m_originX = axisX.min() - plot.left() * ratio * m_stepX;
    // Pixel rows count down from the top.
    m_stepY = -(axisY.max() - axisY.min()) / (plot.height() * ratio);
    m_originY = axisY.max() - plot.top() * ratio * m_stepY;
}

Envelope PlotRaster::envelope() const {
    return Envelope(m_originX + m_leftPixel * m_stepX,
                    m_originX + (m_leftPixel + m_columns) * m_stepX, m_columns);
}

RasterGrid PlotRaster::grid() const {
    return {m_originX + m_leftPixel * m_stepX,
            m_originY + m_topPixel * m_stepY,
            1.0 / m_stepX,
            1.0 / m_stepY,
            m_columns,
            m_rows};
}

QList<QPointF> PlotRaster::line(const Envelope& envelope) const {
    return line(envelope.points());
}

QList<QPointF> PlotRaster::line(const RasterCurve& curve) const {
    return line(curve.points());
}

QList<QPointF> PlotRaster::line(const std::vector<Envelope::Point>& kept) const {
    const auto centre = [](double value, double origin, double step) {
        return step == 0.0 ? value : origin + (std::floor((value - origin) / step) + 0.5) * step;
    };
    QList<QPointF> line;
    line.reserve(static_cast<qsizetype>(kept.size()));
    for (const Envelope::Point& point : kept) {
        if (m_placed)
            line.append(
                QPointF(centre(point.x, m_originX, m_stepX), centre(point.y, m_originY, m_stepY)));
        else
            line.append(QPointF(point.x, point.y));
    }
    return line;
}
