#include "model/envelope.h"

#include <algorithm>
#include <cmath>

Envelope::Envelope(double left, double right, int columns)
    : m_left(left), m_columns(std::max(columns, 1)) {
    const double width = right - left;
    m_scale = std::isfinite(width) && width > 0.0 ? m_columns / width : 0.0;
}

int Envelope::columnOf(double x) const {
    const double column = std::floor((x - m_left) * m_scale);
    if (column < 0.0)
        return -1;
    if (column >= m_columns)
        return m_columns;
    return static_cast<int>(column);
}

void Envelope::add(std::size_t index, double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    const Point point{index, x, y};
    const int column = columnOf(x);
    if (!m_hasOpen || m_open.column != column) {
        if (m_hasOpen)
            appendKept(m_open, m_settled);
        m_open = Run{column, point, point, point, point};
        m_hasOpen = true;
        return;
    }
    if (y < m_open.lowest.y)
        m_open.lowest = point;
    if (y > m_open.highest.y)
        m_open.highest = point;
    m_open.last = point;
}

// Appends the run's first, lowest, highest and last points in the curve's
// order, a point that plays two of these parts once.
void Envelope::appendKept(const Run& run, std::vector<Point>& out) {
    Point kept[] = {run.first, run.lowest, run.highest, run.last};
    std::sort(std::begin(kept), std::end(kept),
              [](const Point& a, const Point& b) { return a.index < b.index; });
    for (std::size_t i = 0; i < std::size(kept); ++i)
        if (i == 0 || kept[i].index != kept[i - 1].index)
            out.push_back(kept[i]);
}

std::vector<Envelope::Point> Envelope::points() const {
    std::vector<Point> out;
    out.reserve(m_settled.size() + 4);
    out = m_settled;
    if (m_hasOpen)
        appendKept(m_open, out);
    return out;
}
