#include "model/envelope.h"

#include <algorithm>
#include <cmath>

Envelope::Envelope(double left, double right, int columns)
    : m_left(left), m_columns(std::max(columns, 1)) {
    const double width = right - left;
    m_scale = std::isfinite(width) && width > 0.0 ? m_columns / width : 0.0;
}

int Envelope::columnOf(double x) const {
    const double column = RasterFloor((x - m_left) * m_scale);
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

namespace {
// The eight steps to a neighbouring pixel.
constexpr int kStepColumn[] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kStepRow[] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kSteps = 8;

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Cuts the segment from (u0, v0) to (u1, v1) to the box from `low` to
// `high` on both axes' own bounds; false when none of it lies inside.
bool Clip(
    double& u0, double& v0, double& u1, double& v1, const double low[2], const double high[2]) {
    const double du = u1 - u0;
    const double dv = v1 - v0;
    if (!std::isfinite(du) || !std::isfinite(dv))
        return false;
    double enter = 0.0;
    double leave = 1.0;
    const double along[] = {-du, du, -dv, dv};
    const double room[] = {u0 - low[0], high[0] - u0, v0 - low[1], high[1] - v0};
    for (int side = 0; side < 4; ++side) {
        if (along[side] == 0.0) {
            if (room[side] < 0.0)
                return false;
            continue;
        }
        const double t = room[side] / along[side];
        if (along[side] < 0.0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    const double startU = u0, startV = v0;
    u0 = startU + enter * du;
    v0 = startV + enter * dv;
    u1 = startU + leave * du;
    v1 = startV + leave * dv;
    return true;
}
} // namespace

PixelCover::PixelCover(int columns, int rows)
    : m_columns(std::max(columns, 1)), m_rows(std::max(rows, 1)), m_width(m_columns + 2 * kMargin),
      m_height(m_rows + 2 * kMargin),
      m_lit((static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height) + 63) / 64) {}

std::size_t PixelCover::indexOf(Pixel pixel) const {
    return static_cast<std::size_t>(pixel.row + kMargin) * static_cast<std::size_t>(m_width) +
           static_cast<std::size_t>(pixel.column + kMargin);
}

bool PixelCover::inside(Pixel pixel) const {
    return pixel.column >= -kMargin && pixel.column < m_columns + kMargin &&
           pixel.row >= -kMargin && pixel.row < m_rows + kMargin;
}

bool PixelCover::onRing(Pixel pixel) const {
    return pixel.column == -kMargin || pixel.column == m_columns + kMargin - 1 ||
           pixel.row == -kMargin || pixel.row == m_rows + kMargin - 1;
}

bool PixelCover::lit(Pixel pixel) const {
    if (!inside(pixel))
        return false;
    const std::size_t index = indexOf(pixel);
    return (m_lit[index / 64] >> (index % 64) & 1u) != 0;
}

void PixelCover::light(Pixel pixel) {
    const std::size_t index = indexOf(pixel);
    m_lit[index / 64] |= std::uint64_t{1} << (index % 64);
    if (!m_start)
        m_start = pixel;
}

void PixelCover::addFirst(double u, double v) {
    m_hasLast = true;
    m_lastU = u;
    m_lastV = v;
    m_lastColumn = RasterFloor(u);
    m_lastRow = RasterFloor(v);
    lightSegment(u, v, u, v);
}

// The digital straight line between the pixels of the segment's ends, the
// segment first cut to the centres of the margin's outer ring.
void PixelCover::lightSegment(double u0, double v0, double u1, double v1) {
    const double low[] = {0.5 - kMargin, 0.5 - kMargin};
    const double high[] = {m_columns + kMargin - 0.5, m_rows + kMargin - 0.5};
    if (!Clip(u0, v0, u1, v1, low, high))
        return;
    Pixel at{static_cast<int>(std::floor(u0)), static_cast<int>(std::floor(v0))};
    const Pixel end{static_cast<int>(std::floor(u1)), static_cast<int>(std::floor(v1))};
    const int spanColumns = std::abs(end.column - at.column);
    const int spanRows = -std::abs(end.row - at.row);
    const int stepColumn = Sign(end.column - at.column);
    const int stepRow = Sign(end.row - at.row);
    int error = spanColumns + spanRows;
    for (;;) {
        light(at);
        if (at == end)
            return;
        const int twice = 2 * error;
        if (twice >= spanRows) {
            error += spanRows;
            at.column += stepColumn;
        }
        if (twice <= spanColumns) {
            error += spanColumns;
            at.row += stepRow;
        }
    }
}

// A depth-first walk over the lit pixels and the ring, trying first to go
// on in the direction it came, so that runs stay straight. It ends at the
// last pixel it finds: the way back from there adds nothing.
std::vector<PixelCover::Pixel> PixelCover::walk() const {
    std::vector<Pixel> steps;
    if (!m_start)
        return steps;
    struct Visit {
        Pixel pixel;
        int direction; // the step that led here
        int tried;
    };
    std::vector<std::uint64_t> seen(m_lit.size());
    const auto see = [&](Pixel pixel) {
        const std::size_t index = indexOf(pixel);
        const bool was = (seen[index / 64] >> (index % 64) & 1u) != 0;
        seen[index / 64] |= std::uint64_t{1} << (index % 64);
        return was;
    };
    std::vector<Visit> path{{*m_start, 0, 0}};
    see(*m_start);
    steps.push_back(*m_start);
    std::size_t lastFound = 1;
    while (!path.empty()) {
        Visit& top = path.back();
        bool moved = false;
        while (!moved && top.tried < kSteps) {
            const int k = (top.direction + top.tried++) % kSteps;
            const Pixel next{top.pixel.column + kStepColumn[k], top.pixel.row + kStepRow[k]};
            if (walkable(next) && !see(next)) {
                path.push_back({next, k, 0});
                steps.push_back(next);
                lastFound = steps.size();
                moved = true;
            }
        }
        if (moved)
            continue;
        path.pop_back();
        if (!path.empty())
            steps.push_back(path.back().pixel);
    }
    steps.resize(lastFound);
    return steps;
}

std::vector<PixelCover::Pixel> PixelCover::line() const {
    const std::vector<Pixel> steps = walk();
    std::vector<Pixel> corners;
    for (const Pixel& next : steps) {
        const std::size_t n = corners.size();
        if (n >= 2) {
            const Pixel a = corners[n - 2], b = corners[n - 1];
            if (Sign(b.column - a.column) == next.column - b.column &&
                Sign(b.row - a.row) == next.row - b.row) {
                corners.back() = next;
                continue;
            }
        }
        corners.push_back(next);
    }
    return corners;
}

RasterCurve::RasterCurve(const RasterGrid& grid, std::size_t mostPerColumn)
    : m_grid(grid), m_mostKept(mostPerColumn * static_cast<std::size_t>(std::max(grid.columns, 1))),
      m_envelope(
          std::in_place, grid.left, grid.left + grid.columns / grid.columnsPerUnit, grid.columns),
      m_cover(grid.columns, grid.rows) {}

void RasterCurve::addToEnvelope(std::size_t index, double x, double y) {
    m_envelope->add(index, x, y);
    if (m_envelope->size() > m_mostKept)
        m_envelope.reset();
}

std::vector<Envelope::Point> RasterCurve::points() const {
    if (m_envelope)
        return m_envelope->points();
    std::vector<Envelope::Point> out;
    for (const PixelCover::Pixel& pixel : m_cover.line())
        out.push_back({out.size(), m_grid.left + (pixel.column + 0.5) / m_grid.columnsPerUnit,
                       m_grid.top + (pixel.row + 0.5) / m_grid.rowsPerUnit});
    return out;
}

// In brief when the block lies in one column of pixels: the lines between
// its points are then upright and light the column from its lowest point to
// its highest, as its four points do, and the envelope keeps the same four.
// Also when it lies wholly beyond an edge of the cover's margin, where no
// line between two of its points is drawn, and in one envelope column.
bool RasterCurve::inBrief(const CurveBlocks::Block& block) const {
    if (!block.whole)
        return false;
    const double u0 = (block.left - m_grid.left) * m_grid.columnsPerUnit;
    const double u1 = (block.right - m_grid.left) * m_grid.columnsPerUnit;
    if (RasterFloor(u0) == RasterFloor(u1))
        return true;
    if (m_envelope && m_envelope->columnOf(block.left) != m_envelope->columnOf(block.right))
        return false;
    const double v0 = (block.low - m_grid.top) * m_grid.rowsPerUnit;
    const double v1 = (block.high - m_grid.top) * m_grid.rowsPerUnit;
    constexpr double kEdge = PixelCover::kMargin - 0.5;
    const double lowU = std::min(u0, u1), highU = std::max(u0, u1);
    const double lowV = std::min(v0, v1), highV = std::max(v0, v1);
    return highU < -kEdge || lowU > m_grid.columns + kEdge || highV < -kEdge ||
           lowV > m_grid.rows + kEdge;
}
