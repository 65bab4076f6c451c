#pragma once

#include <QByteArray>
#include <QImage>
#include <QPicture>
#include <QString>

class Dialogs;
class QChartView;

// The chart as the clipboard and the printer take it: the drawing of the
// chart at its size on screen as a scalable picture for other programs and
// as the same drawing for the printer, a bitmap of it, and its points as
// text.
struct ChartPicture {
    QByteArray svg;
    QPicture drawing;
    double dotsPerInch = 0; // of both pictures
    QImage bitmap;
    QString text; // one point a line: x, a tab, y
};

ChartPicture DrawChart(QChartView& chart);

// The Print command: the chart onto the clipboard, then one page on the
// default printer with the picture at its own size at the page's origin. A
// missing or refusing printer is told to the operator; the program carries
// on. Window thread.
void PrintChart(QChartView& chart, Dialogs& dialogs);
