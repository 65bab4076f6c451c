#pragma once

#include <QObject>
#include <QString>

class QCategoryAxis;

// The round step, 1, 2 or 5 times a power of ten, that cuts `span` into
// about five pieces.
double RoundStep(double span);

// The range an axis takes for the whole test: `low` to `high`, but from
// zero when the values start at or above zero, so a curve that begins at
// rest begins at the corner and the axis reads from 0. A single value gets
// a span about it; no values give 0 to 1.
struct AxisRange {
    double low = 0.0;
    double high = 1.0;
};
AxisRange WholeTestRange(double low, double high);

// The figure at `value` on an axis of round `step`: as many decimals as the
// step needs, and a zero never written with a minus sign.
QString TickText(double value, double step);

// Keeps figures at round values on an axis whatever range it shows: the
// whole test, a zoomed view, a view moved along. The figures are the axis's
// own categories, placed on their values, so each is written by TickText
// rather than summed up tick by tick (where 0 could come out as -0.0).
// Window thread.
class RoundAxisLabels : public QObject {
public:
    explicit RoundAxisLabels(QCategoryAxis& axis);
    void relabel();

private:
    QCategoryAxis& m_axis;
    double m_low = 0.0;
    double m_high = 0.0;
};
