#include "chartreadout.h"

#include "model/gfunctions.h"
#include "platform/readabletext.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsEllipseItem>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <algorithm>

namespace {
constexpr double kRingRadiusPixels = 5.0;
constexpr int kLabelGapPixels = 8;
// Above the line and the axes.
constexpr double kRingZ = 100.0;

// "Displacement (inch)" reads as "Displacement" and "inch".
struct Quantity {
    QString name;
    QString unit;
};
Quantity quantityOf(const QString& title) {
    const qsizetype open = title.indexOf(QLatin1String(" ("));
    if (open < 0 || !title.endsWith(QLatin1Char(')')))
        return {title, QString()};
    return {title.left(open), title.mid(open + 2, title.size() - open - 3)};
}

// The value as the grid shows it, without the blank kept for a sign. The
// chart holds the single-precision values the grid shows, so they convert
// back exactly.
QString valueText(const Quantity& quantity, double value) {
    QString text = quantity.name + QLatin1Char(' ') +
                   QString::fromStdString(NumberText(static_cast<float>(value))).trimmed();
    if (!quantity.unit.isEmpty())
        text += QLatin1Char(' ') + quantity.unit;
    return text;
}
} // namespace

ChartReadout::ChartReadout(QChartView& view, QLineSeries& series)
    : QObject(&view), m_view(view), m_series(series) {
    m_ring = new QGraphicsEllipseItem(-kRingRadiusPixels, -kRingRadiusPixels, 2 * kRingRadiusPixels,
                                      2 * kRingRadiusPixels);
    m_ring->setPen(QPen(Qt::red, 2.0));
    m_ring->setZValue(kRingZ);
    m_ring->hide();
    view.chart()->scene()->addItem(m_ring);

    m_label = new QLabel(view.viewport());
    m_label->setObjectName(QStringLiteral("chartReadout"));
    m_label->setAccessibleName(tr("Point readout"));
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->setAutoFillBackground(true);
    m_label->setFrameShape(QFrame::Box);
    m_label->hide();
}

void ChartReadout::mark(qint64 number,
                        QPointF value,
                        const QString& xTitle,
                        const QString& yTitle) {
    const QString text = tr("Point %1: %2, %3")
                             .arg(number)
                             .arg(valueText(quantityOf(xTitle), value.x()),
                                  valueText(quantityOf(yTitle), value.y()));
    m_number = number;
    m_value = value;
    SetReadableText(*m_label, text);
    m_label->adjustSize();
    place();
    if (text != m_text) {
        m_text = text;
        emit changed(m_text);
    }
}

void ChartReadout::clear() {
    m_number = 0;
    m_ring->hide();
    m_label->hide();
    SetReadableText(*m_label, QString());
    if (!m_text.isEmpty()) {
        m_text.clear();
        emit changed(m_text);
    }
}

// The label sits above and to the right of the ring, or to its left or
// below it where that would leave the plot, and always inside the plot: the
// axes' figures and titles beside the plot stay readable.
void ChartReadout::place() {
    if (m_number == 0)
        return;
    QChart& chart = *m_view.chart();
    const QPointF position = chart.mapToPosition(m_value, &m_series);
    const bool inside = chart.plotArea().adjusted(-1, -1, 1, 1).contains(position);
    m_ring->setVisible(inside);
    m_label->setVisible(inside);
    if (!inside)
        return;
    m_ring->setPos(chart.mapToScene(position));
    const QPoint at = m_view.mapFromScene(chart.mapToScene(position));
    const QRect plot = m_view.mapFromScene(chart.mapToScene(chart.plotArea())).boundingRect();
    const QSize size = m_label->size();
    QPoint topLeft(at.x() + kLabelGapPixels, at.y() - kLabelGapPixels - size.height());
    if (topLeft.x() + size.width() > plot.right())
        topLeft.setX(at.x() - kLabelGapPixels - size.width());
    if (topLeft.y() < plot.top())
        topLeft.setY(at.y() + kLabelGapPixels);
    // A plot too small for the label keeps it at its top left.
    topLeft.setX(std::max(plot.left(), std::min(topLeft.x(), plot.right() - size.width())));
    topLeft.setY(std::max(plot.top(), std::min(topLeft.y(), plot.bottom() - size.height())));
    m_label->move(topLeft);
    m_label->raise();
}
