#pragma once

#include "reports/reportcontent.h"

#include <QFont>
#include <QRectF>
#include <functional>

class QPainter;
class QPaintDevice;

// Lengths and type on a report's pages: the pages are drawn in dots of
// kReportDotsPerInch, type in points.
inline constexpr int kReportDotsPerInch = 300;
inline constexpr double kReportPaddingMm = 1.0;
inline constexpr double kReportGapMm = 4.0;
inline constexpr double kReportTitlePoints = 14.0;
inline constexpr double kReportTextPoints = 9.0;
inline constexpr double kReportSmallPoints = 7.5;
double ReportDots(double mm);
QFont ReportFont(double points, bool bold = false);

// A part of a page, laid out: what it draws and how tall it is.
struct ReportBlock {
    std::function<void(QPainter&)> draw;
    double height = 0.0;
};

// The report's chart at the top of `area` (its width; its own height): the
// axes at round numbers over every curve's range, with grid, tick labels and
// titles, each curve as lines through a RasterCurve of cells of the plot as
// wide as the curve's pen, which keeps what the page can show of it (a few
// points a cell, whatever the curve's shape) and no more, and for a set the
// legend under it. The curves' points are visited twice, for the axes'
// range and for the lines, and never kept.
ReportBlock ReportChart(const ReportContent& content, const QRectF& area, QPaintDevice& device);
