#pragma once

#include <cstddef>
#include <vector>

// What a raster of pixel columns can show of a curve, at a cost bounded by
// the columns rather than by the curve's length. The curve's points are taken
// in their order in the test (a curve may go back on its horizontal axis), cut
// into runs of consecutive points that fall in the same column, and each run
// is kept as its first, lowest, highest and last point. A line through the
// kept points lights the same pixels as a line through every point: within a
// column the run covers exactly the span from its lowest to its highest point,
// and every step from one column to another is kept as it was.
//
// Points left of the range share one column before the first and points right
// of it one after the last, so a line that leaves the range and comes back is
// drawn unbroken. A point with a coordinate that is not a finite number (a
// reading that did not convert) is left out and the line joins its neighbours.
class Envelope {
public:
    struct Point {
        std::size_t index; // the point's position in the curve
        double x;
        double y;
    };

    // `columns` columns of equal width from `left` to `right` on the horizontal
    // axis. An empty or reversed range puts every point in the first column.
    Envelope(double left, double right, int columns);

    // Adds the curve's next point. Only the last run changes, so a curve that
    // grows while it is drawn costs one step per new point.
    void add(std::size_t index, double x, double y);

    // The kept points in the curve's order, each point once.
    std::vector<Point> points() const;

    // The column a horizontal position falls in: -1 left of the range, the
    // column count right of it.
    int columnOf(double x) const;

private:
    struct Run {
        int column;
        Point first;
        Point lowest;
        Point highest;
        Point last;
    };
    static void appendKept(const Run& run, std::vector<Point>& out);

    double m_left;
    double m_scale; // columns per unit of the horizontal axis; 0 for an empty range
    int m_columns;
    std::vector<Point> m_settled; // the kept points of every run but the last
    Run m_open{};                 // the last run, which the next point may still join
    bool m_hasOpen = false;
};
