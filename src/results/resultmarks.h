#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <cstdint>

class Experiment;

// The marks of a test's results in a chart's coordinates: the modulus line
// (two points, or none), the points of the proof strength, the peak and the
// break, and their words for a screen reader.
struct ChartMarks {
    QList<QPointF> modulusLine;
    QList<QPointF> points;
    QString description;
};

// The marks of `experiment` for a chart in `units`, of stress against strain
// when `stressStrain` (its dimensions known), of load against displacement
// otherwise. None for a test without results of its kind.
ChartMarks ResultMarksOf(const Experiment& experiment, std::int32_t units, bool stressStrain);
