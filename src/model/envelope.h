#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

// The largest whole number not above `value`, without a call to the library
// for the values a raster takes, which a long test asks for millions of times.
inline double RasterFloor(double value) {
    constexpr double kExactWhole = 1e15;
    if (!(std::fabs(value) < kExactWhole))
        return std::floor(value);
    const auto whole = static_cast<double>(static_cast<long long>(value));
    return whole > value ? whole - 1.0 : whole;
}

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
    // How many points are kept so far, give or take the last run's.
    std::size_t size() const { return m_settled.size() + (m_hasOpen ? 4 : 0); }

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

// The pixels of a raster that a line through a curve's points lights, found
// in one pass over the points whatever the curve's shape, and a line that
// lights those pixels, at a cost bounded by the raster: where Envelope keeps
// every run of a curve that crosses the same columns again and again (a
// cyclic test sweeps the plot hundreds of times), this keeps each pixel once.
// A point at raster position (u, v) lies in pixel (floor u, floor v); the
// line from one point to the next lights the pixels of the digital straight
// line between their pixels, so every point's pixel is lit and no point's
// extreme is lost. A margin of kMargin pixels round the raster takes what
// lies outside it: a line that leaves the raster is cut at the margin's
// outer ring, and the ring, outside the plot where nothing is seen, joins
// the parts of the curve that leave and come back into one line. A point
// with a coordinate that is not a finite number is left out and the line
// joins its neighbours.
class PixelCover {
public:
    static constexpr int kMargin = 3;
    struct Pixel {
        int column;
        int row;
        bool operator==(const Pixel&) const = default;
    };

    // `columns` by `rows` pixels, at least one each.
    PixelCover(int columns, int rows);
    // Adds the curve's next point, in raster coordinates. Most points of a
    // long test fall in the pixel of the one before, which lights nothing.
    void add(double u, double v) {
        if (!std::isfinite(u) || !std::isfinite(v))
            return;
        if (!m_hasLast) {
            addFirst(u, v);
            return;
        }
        const double column = RasterFloor(u);
        const double row = RasterFloor(v);
        if (column != m_lastColumn || row != m_lastRow)
            lightSegment(m_lastU, m_lastV, u, v);
        m_lastU = u;
        m_lastV = v;
        m_lastColumn = column;
        m_lastRow = row;
    }
    // Whether the line through the points lights the pixel; the margin
    // counts, anything beyond it is never lit.
    bool lit(Pixel pixel) const;
    // A line through pixel centres, each step between two of them lighting
    // only pixels that are lit or lie on the margin's outer ring, which
    // passes through every lit pixel. It begins at the first point's pixel
    // and goes back along itself where the lit pixels branch; straight runs
    // are one step. At most twice as many corners as the raster and its
    // margin have pixels; empty when nothing is lit.
    std::vector<Pixel> line() const;

private:
    std::size_t indexOf(Pixel pixel) const;
    bool inside(Pixel pixel) const;
    bool onRing(Pixel pixel) const;
    bool walkable(Pixel pixel) const { return inside(pixel) && (lit(pixel) || onRing(pixel)); }
    void light(Pixel pixel);
    void addFirst(double u, double v);
    void lightSegment(double u0, double v0, double u1, double v1);
    std::vector<Pixel> walk() const;

    int m_columns;
    int m_rows;
    int m_width;  // columns and margin
    int m_height; // rows and margin
    std::vector<std::uint64_t> m_lit;
    std::optional<Pixel> m_start; // the first lit pixel
    bool m_hasLast = false;
    double m_lastU = 0.0;
    double m_lastV = 0.0;
    double m_lastColumn = 0.0; // the pixel of the last point
    double m_lastRow = 0.0;
};

// Where a raster lies on a chart's axes: the horizontal value at its left
// edge and the vertical value at its top edge, pixels to a unit of each
// axis (negative for an axis that grows upwards, as pixel rows count down)
// and its size in pixels.
struct RasterGrid {
    double left = 0.0;
    double top = 0.0;
    double columnsPerUnit = 1.0;
    double rowsPerUnit = -1.0;
    int columns = 1;
    int rows = 1;
};

// Each block of kSize consecutive points of a curve in brief, built once
// for a curve that is drawn again and again: a box holding its points and
// where its first lowest and first highest points lie. A block whose box
// falls in one column of a raster's pixels, or wholly beyond one edge of it,
// draws as its first, lowest, highest and last points.
class CurveBlocks {
public:
    static constexpr std::size_t kSize = 32;
    struct Block {
        float left;
        float right;
        float low;
        float high;
        std::uint8_t lowest; // offsets in the block
        std::uint8_t highest;
        bool whole; // false: a point of it does not convert; never in brief
    };
    CurveBlocks() = default;
    // Points 0 to count - 1 are at x(i), y(i).
    template <typename X, typename Y> CurveBlocks(std::size_t count, X x, Y y);
    const std::vector<Block>& blocks() const { return m_blocks; }
    // The least and the greatest of the points' coordinates that are not
    // NaN; the least above the greatest for a curve without such points.
    double left() const { return m_left; }
    double right() const { return m_right; }
    double low() const { return m_low; }
    double high() const { return m_high; }

private:
    Block brief(std::size_t first, std::size_t last, const auto& x, const auto& y);
    std::vector<Block> m_blocks;
    double m_left = std::numeric_limits<double>::infinity();
    double m_right = -std::numeric_limits<double>::infinity();
    double m_low = std::numeric_limits<double>::infinity();
    double m_high = -std::numeric_limits<double>::infinity();
};

// A curve as a chart draws it on a raster: through its Envelope while that
// keeps at most `mostPerColumn` points a column on average, which lights
// exactly the pixels of a line through every point; beyond that (a curve
// that sweeps the plot again and again) through its PixelCover, which lights
// every point's pixel and the pixels between, with a line no longer than
// the raster allows. Either way the cost is one pass over the points and a
// line bounded by the raster.
class RasterCurve {
public:
    static constexpr std::size_t kMostPerColumn = 8;
    explicit RasterCurve(const RasterGrid& grid, std::size_t mostPerColumn = kMostPerColumn);
    void add(double x, double y) { add(m_count, x, y); }
    // Adds every point of a curve of `count` points at x(i), y(i), a block
    // at a time where the block's box lets it.
    template <typename X, typename Y>
    void addCurve(std::size_t count, const CurveBlocks& blocks, X x, Y y);
    // Whether the line is the envelope's.
    bool enveloped() const { return m_envelope.has_value(); }
    // The line's points in axis values: the envelope's kept points, or the
    // cover's corners at the centres of their pixels.
    std::vector<Envelope::Point> points() const;

private:
    void add(std::size_t index, double x, double y) {
        m_count = index + 1;
        if (m_envelope)
            addToEnvelope(index, x, y);
        m_cover.add((x - m_grid.left) * m_grid.columnsPerUnit,
                    (y - m_grid.top) * m_grid.rowsPerUnit);
    }
    void addToEnvelope(std::size_t index, double x, double y);
    // Whether drawing only the block's first, lowest, highest and last
    // points lights what all its points light.
    bool inBrief(const CurveBlocks::Block& block) const;

    RasterGrid m_grid;
    std::size_t m_mostKept;
    std::size_t m_count = 0;
    std::optional<Envelope> m_envelope;
    PixelCover m_cover;
};

template <typename X, typename Y> CurveBlocks::CurveBlocks(std::size_t count, X x, Y y) {
    m_blocks.reserve(count / kSize + 1);
    for (std::size_t first = 0; first < count; first += kSize)
        m_blocks.push_back(brief(first, std::min(first + kSize, count) - 1, x, y));
}

CurveBlocks::Block
CurveBlocks::brief(std::size_t first, std::size_t last, const auto& x, const auto& y) {
    Block block{0.0f, 0.0f, 0.0f, 0.0f, 0, 0, true};
    double left = x(first), right = left, low = y(first), high = low;
    for (std::size_t i = first; i <= last; ++i) {
        const double px = x(i), py = y(i);
        if (!std::isfinite(px) || !std::isfinite(py))
            block.whole = false;
        m_left = std::min(m_left, px);
        m_right = std::max(m_right, px);
        m_low = std::min(m_low, py);
        m_high = std::max(m_high, py);
        left = std::min(left, px);
        right = std::max(right, px);
        if (py < low) {
            low = py;
            block.lowest = static_cast<std::uint8_t>(i - first);
        }
        if (py > high) {
            high = py;
            block.highest = static_cast<std::uint8_t>(i - first);
        }
    }
    // Single precision rounded outwards still holds every point.
    constexpr float kUp = std::numeric_limits<float>::infinity();
    block.left = std::nextafter(static_cast<float>(left), -kUp);
    block.right = std::nextafter(static_cast<float>(right), kUp);
    block.low = std::nextafter(static_cast<float>(low), -kUp);
    block.high = std::nextafter(static_cast<float>(high), kUp);
    block.whole = block.whole && std::isfinite(block.left) && std::isfinite(block.right) &&
                  std::isfinite(block.low) && std::isfinite(block.high);
    return block;
}

template <typename X, typename Y>
void RasterCurve::addCurve(std::size_t count, const CurveBlocks& blocks, X x, Y y) {
    const std::vector<CurveBlocks::Block>& all = blocks.blocks();
    for (std::size_t b = 0; b < all.size(); ++b) {
        const std::size_t first = b * CurveBlocks::kSize;
        const std::size_t last = std::min(first + CurveBlocks::kSize, count) - 1;
        if (!inBrief(all[b])) {
            for (std::size_t i = first; i <= last; ++i)
                add(i, x(i), y(i));
            continue;
        }
        std::size_t kept[] = {first, first + all[b].lowest, first + all[b].highest, last};
        std::sort(std::begin(kept), std::end(kept));
        for (std::size_t k = 0; k < std::size(kept); ++k)
            if (k == 0 || kept[k] != kept[k - 1])
                add(kept[k], x(kept[k]), y(kept[k]));
    }
}
