#include "platform/linechart.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>

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
