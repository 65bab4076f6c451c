#include "model/envelope.h"
#include "modelfakes.h"

#include <QPointF>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

// The envelope of a curve over pixel columns: which points it keeps, in the
// curve's order, whether the curve is given at once or in parts; and what a
// RasterCurve draws of curves of any shape.
class TestEnvelope : public QObject {
    Q_OBJECT

private slots:
    void keepsFirstLowestHighestAndLastOfEachRun_data() {
        QTest::addColumn<QByteArrayList>("row");
        for (const QByteArrayList& row : dataRows("envelope.tsv"))
            QTest::newRow(row[0]) << row;
    }

    // Asking for the kept points half way through, as the live curve does at
    // each refresh, leaves the result unchanged.
    void keepsFirstLowestHighestAndLastOfEachRun() {
        QFETCH(QByteArrayList, row);
        Envelope envelope(number(row[1]), number(row[2]), row[3].toInt());
        const QByteArrayList points = row[4].split(' ');
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QByteArrayList xy = points[i].split(',');
            envelope.add(static_cast<std::size_t>(i), number(xy[0]), number(xy[1]));
            if (i == points.size() / 2)
                envelope.points();
        }
        QByteArrayList kept;
        for (const Envelope::Point& point : envelope.points())
            kept << QByteArray::number(static_cast<qulonglong>(point.index));
        QCOMPARE(kept.join(' '), row[5]);
    }

    void rasterCurveCoversEveryPointsPixel_data() {
        QTest::addColumn<QByteArrayList>("row");
        for (const QByteArrayList& row : dataRows("rastercurves.tsv"))
            QTest::newRow(row[0]) << row;
    }

    // Whatever the curve's shape, the line drawn lights the pixel of every
    // point in the raster, so no stroke's extreme is lost, lights no pixel
    // further than one from the curve's own, and stays within the raster's
    // bounds; drawn a block of points at a time it is the same line.
    void rasterCurveCoversEveryPointsPixel() {
        QFETCH(QByteArrayList, row);
        const QList<QPointF> curve = shapedCurve(row);
        const QByteArrayList view = row[9].split(' ');
        RasterGrid grid;
        grid.columns = row[1].toInt();
        grid.rows = row[2].toInt();
        grid.left = number(view[0]);
        grid.top = number(view[3]);
        grid.columnsPerUnit = grid.columns / (number(view[1]) - grid.left);
        grid.rowsPerUnit = -grid.rows / (grid.top - number(view[2]));
        const auto most = static_cast<std::size_t>(row[10].toInt());
        RasterCurve pointByPoint(grid, most);
        for (const QPointF& point : curve)
            pointByPoint.add(point.x(), point.y());
        QCOMPARE(pointByPoint.enveloped() ? "envelope" : "cover", row[11]);

        const Pixels pixels(grid);
        Pixels drawn(grid);
        const std::vector<Envelope::Point> line = pointByPoint.points();
        for (std::size_t i = 0; i < line.size(); ++i) {
            const QPointF at = pixels.centre(line[i].x, line[i].y);
            drawn.lightSegment(i == 0 ? at : pixels.centre(line[i - 1].x, line[i - 1].y), at);
        }
        Pixels curvePixels(grid);
        for (qsizetype i = 0; i < curve.size(); ++i) {
            const QPointF at = pixels.at(curve[i].x(), curve[i].y());
            if (!std::isfinite(at.x()) || !std::isfinite(at.y()))
                continue;
            QVERIFY2(!pixels.inRaster(at) || drawn.lit(at),
                     qPrintable(QStringLiteral("point %1 not drawn").arg(i)));
            const qsizetype before = i == 0 || !std::isfinite(curve[i - 1].y()) ? i : i - 1;
            curvePixels.lightSegment(pixels.at(curve[before].x(), curve[before].y()), at);
        }
        QVERIFY(drawn.withinOneOf(curvePixels));
        const std::size_t longest =
            pointByPoint.enveloped()
                ? most * static_cast<std::size_t>(grid.columns) + 4
                : 2 * static_cast<std::size_t>((grid.columns + 2 * PixelCover::kMargin) *
                                               (grid.rows + 2 * PixelCover::kMargin));
        QVERIFY(line.size() <= longest);

        const CurveBlocks blocks(
            static_cast<std::size_t>(curve.size()), [&](std::size_t i) { return curve[i].x(); },
            [&](std::size_t i) { return curve[i].y(); });
        RasterCurve inBlocks(grid, most);
        inBlocks.addCurve(
            static_cast<std::size_t>(curve.size()), blocks,
            [&](std::size_t i) { return curve[i].x(); },
            [&](std::size_t i) { return curve[i].y(); });
        QCOMPARE(positions(inBlocks.points()), positions(line));
    }

private:
    static double number(const QByteArray& text) { return std::strtod(text.constData(), nullptr); }

    // A test whose displacement sweeps 0 to 1000 `strokes` times, the load
    // a hump over each stroke, each return lower than each advance.
    static QList<QPointF> shapedCurve(const QByteArrayList& row) {
        const int points = row[3].toInt();
        const double strokes = number(row[4]), drift = number(row[5]), noise = number(row[6]);
        const double spike = number(row[7]);
        const int notConverted = row[8].toInt();
        QList<QPointF> curve;
        std::uint32_t random = 12345;
        int lastStroke = -1;
        for (int i = 0; i < points; ++i) {
            const double stroke = static_cast<double>(i) / points * strokes;
            const int whole = static_cast<int>(stroke);
            const bool returning = whole % 2 == 1;
            const double along = returning ? 1.0 - (stroke - whole) : stroke - whole;
            const double lift = (returning ? 0.6 : 1.0) * (1.0 - drift * stroke / strokes);
            random = random * 1103515245u + 12345u;
            double load = 500.0 * lift * std::sin(along * 2.6) +
                          noise * (static_cast<double>(random >> 16) / 32768.0 - 1.0);
            if (spike != 0.0 && stroke - whole >= 0.5 && lastStroke != whole) {
                lastStroke = whole;
                load += spike;
            }
            if (notConverted > 0 && i % notConverted == notConverted - 1)
                load = std::numeric_limits<double>::quiet_NaN();
            curve.append({along * 1000.0, load});
        }
        return curve;
    }

    static QList<QPointF> positions(const std::vector<Envelope::Point>& line) {
        QList<QPointF> out;
        for (const Envelope::Point& point : line)
            out.append({point.x, point.y});
        return out;
    }

    // The pixels of a raster and its margin that lines light, a line taken
    // as lighting every pixel it passes through.
    class Pixels {
    public:
        explicit Pixels(const RasterGrid& grid)
            : m_grid(grid), m_width(grid.columns + 2 * PixelCover::kMargin),
              m_height(grid.rows + 2 * PixelCover::kMargin),
              m_lit(static_cast<std::size_t>(m_width * m_height)) {}
        QPointF at(double x, double y) const {
            return {(x - m_grid.left) * m_grid.columnsPerUnit,
                    (y - m_grid.top) * m_grid.rowsPerUnit};
        }
        QPointF centre(double x, double y) const {
            const QPointF p = at(x, y);
            return {std::floor(p.x()) + 0.5, std::floor(p.y()) + 0.5};
        }
        bool inRaster(QPointF p) const {
            return p.x() >= 0 && p.x() < m_grid.columns && p.y() >= 0 && p.y() < m_grid.rows;
        }
        bool lit(QPointF p) const { return lit(cell(p.x()), cell(p.y())); }
        void lightSegment(QPointF from, QPointF to) {
            const double length = std::hypot(to.x() - from.x(), to.y() - from.y());
            if (!std::isfinite(length))
                return;
            const int steps = static_cast<int>(std::min(length * 8.0, 1e5)) + 1;
            light(from);
            light(to);
            for (int k = 0; k < steps; ++k) {
                const double t = (k + 0.5) / steps;
                light(from + (to - from) * t);
            }
        }
        // Whether every pixel lit in the raster lies within one pixel of one
        // lit in `other`.
        bool withinOneOf(const Pixels& other) const {
            for (int r = 0; r < m_grid.rows; ++r)
                for (int c = 0; c < m_grid.columns; ++c) {
                    bool near = false;
                    for (int dr = -1; dr <= 1; ++dr)
                        for (int dc = -1; dc <= 1; ++dc)
                            near = near || other.lit(c + dc, r + dr);
                    if (lit(c, r) && !near)
                        return false;
                }
            return true;
        }

    private:
        static int cell(double value) {
            return static_cast<int>(std::clamp(std::floor(value), -1e6, 1e6));
        }
        bool inside(int c, int r) const {
            return c >= -PixelCover::kMargin && c < m_width - PixelCover::kMargin &&
                   r >= -PixelCover::kMargin && r < m_height - PixelCover::kMargin;
        }
        std::size_t index(int c, int r) const {
            return static_cast<std::size_t>((r + PixelCover::kMargin) * m_width + c +
                                            PixelCover::kMargin);
        }
        bool lit(int c, int r) const { return inside(c, r) && m_lit[index(c, r)]; }
        void light(QPointF p) {
            const int c = cell(p.x()), r = cell(p.y());
            if (inside(c, r))
                m_lit[index(c, r)] = true;
        }

        RasterGrid m_grid;
        int m_width;
        int m_height;
        std::vector<bool> m_lit;
    };
};

QTEST_APPLESS_MAIN(TestEnvelope)
#include "tst_envelope.moc"
