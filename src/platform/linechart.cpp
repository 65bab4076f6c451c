#include "platform/linechart.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

LineChart MakeLineChart(QChartView& view) {
    auto* chart = new QChart;
    chart->legend()->hide();
    LineChart line{new QLineSeries(chart), new QValueAxis(chart), new QValueAxis(chart)};
    chart->addSeries(line.series);
    chart->addAxis(line.axisX, Qt::AlignBottom);
    chart->addAxis(line.axisY, Qt::AlignLeft);
    line.series->attachAxis(line.axisX);
    line.series->attachAxis(line.axisY);
    view.setChart(chart);
    return line;
}

Envelope PixelEnvelope(const QChartView& view, const QValueAxis& axisX, double perPixel) {
    const double ratio = view.devicePixelRatioF() * std::max(perPixel, 1.0);
    QRectF plot = view.chart()->plotArea();
    if (plot.width() < 1.0)
        plot = QRectF(0.0, 0.0, std::max(view.width(), 1), 1.0);
    const double leftPixel = std::floor(plot.left() * ratio);
    const double rightPixel = std::max(std::ceil(plot.right() * ratio), leftPixel + 1.0);
    // The axis value at device pixel p is origin + p * step.
    const double step = (axisX.max() - axisX.min()) / (plot.width() * ratio);
    const double origin = axisX.min() - plot.left() * ratio * step;
    return Envelope(origin + leftPixel * step, origin + rightPixel * step,
                    static_cast<int>(rightPixel - leftPixel));
}

QList<QPointF> EnvelopeLine(const Envelope& envelope) {
    const std::vector<Envelope::Point> kept = envelope.points();
    QList<QPointF> line;
    line.reserve(static_cast<qsizetype>(kept.size()));
    for (const Envelope::Point& point : kept)
        line.append(QPointF(point.x, point.y));
    return line;
}
