#include "chartprint.h"

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/linechart.h"
#include "platform/printer.h"

#include <QBuffer>
#include <QChartView>
#include <QPainter>
#include <QSvgGenerator>
#include <QXYSeries>

namespace {
// The printer's drawing is drawn for a page of up to this many dots an inch.
constexpr double kPageDotsPerInch = 600.0;

void appendPoints(const QList<QPointF>& points, QString& text) {
    for (const QPointF& point : points)
        text += QString::number(point.x()) + QLatin1Char('\t') + QString::number(point.y()) +
                QLatin1Char('\n');
}

// Every point of the chart's line, also those its envelope leaves out.
QString pointsText(const QChartView& view) {
    QString text;
    if (const auto* enveloped = dynamic_cast<const EnvelopeChart*>(&view)) {
        appendPoints(enveloped->allPoints(), text);
        return text;
    }
    for (const QAbstractSeries* series : view.chart()->series())
        if (const auto* xy = qobject_cast<const QXYSeries*>(series))
            appendPoints(xy->points(), text);
    return text;
}
} // namespace

ChartPicture DrawChart(QChartView& chart) {
    ChartPicture picture;
    picture.dotsPerInch = chart.logicalDpiX();
    QBuffer buffer(&picture.svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(chart.size());
    generator.setViewBox(QRect(QPoint(0, 0), chart.size()));
    generator.setResolution(chart.logicalDpiX());
    generator.setTitle(QStringLiteral("Torvik chart"));
    QPainter painter(&generator);
    chart.render(&painter);
    painter.end();
    // The printer gets the drawing itself: a picture read back from its
    // scalable form would reach the page with its texts turned into outlines.
    // Its line is the envelope at the page's resolution, finer than the
    // screen's.
    auto* enveloped = dynamic_cast<EnvelopeChart*>(&chart);
    if (enveloped)
        enveloped->setColumnsPerPixel(kPageDotsPerInch / picture.dotsPerInch);
    painter.begin(&picture.drawing);
    chart.render(&painter);
    painter.end();
    if (enveloped)
        enveloped->setColumnsPerPixel(1.0);
    picture.bitmap = chart.grab().toImage();
    picture.text = pointsText(chart);
    return picture;
}

void PrintChart(QChartView& chart, Dialogs& dialogs) {
    const ChartPicture picture = DrawChart(chart);
    PutPictureOnClipboard(picture.svg, picture.bitmap, picture.text);
    switch (DefaultPrinter::PrintPicture(picture.drawing, picture.dotsPerInch,
                                         QStringLiteral("Torvik chart"))) {
    case DefaultPrinter::Result::Printed:
        break;
    case DefaultPrinter::Result::NoPrinter:
        dialogs.message(QObject::tr("The chart could not be printed: no default printer is set "
                                    "up.  The chart is on the clipboard."));
        break;
    case DefaultPrinter::Result::Refused:
        dialogs.message(QObject::tr("The chart could not be printed: the printer did not accept "
                                    "the page.  The chart is on the clipboard."));
        break;
    }
}
