#pragma once

class QChartView;
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
