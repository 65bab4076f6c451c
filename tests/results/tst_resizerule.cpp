#include "results/resizerule.h"

#include <QTest>

Q_DECLARE_METATYPE(FrameSizes)

// The rule that stretches the results frame, the chart and the grid with the
// main window's client area, in twips; a narrower window is in
// tst_resultsview.
class TestResizeRule : public QObject {
    Q_OBJECT

private slots:
    void resize_data() {
        QTest::addColumn<FrameSizes>("start");
        QTest::addColumn<float>("clientWidth");
        QTest::addColumn<float>("clientHeight");
        QTest::addColumn<FrameSizes>("expected");
        // The design client area is 9900 x 6405 with a status bar of 375.
        const FrameSizes design{9860.0f, 5650.0f, 6470.0f, 5500.0f, 3810.0f};
        QTest::newRow("design client area sets every size")
            << kDesignFrameSizesTwips << 9900.0f << 6405.0f << design;
        QTest::newRow("minimised window keeps every size") << design << 0.0f << 0.0f << design;
        QTest::newRow("frame exactly used up: zero is not a size, the old one stays")
            << design << 40.0f << 755.0f << design;
        QTest::newRow("short window: frame shrinks, chart and grid keep theirs")
            << design << 9900.0f << 1355.0f
            << FrameSizes{9860.0f, 600.0f, 6470.0f, 450.0f, 3810.0f};
    }
    void resize() {
        QFETCH(FrameSizes, start);
        QFETCH(float, clientWidth);
        QFETCH(float, clientHeight);
        QFETCH(FrameSizes, expected);
        const FrameSizes r = ApplyResizeRule(start, clientWidth, clientHeight, 375.0f);
        const FrameSizes& e = expected;
        QCOMPARE((QList{r.frameWidth, r.frameHeight, r.chartWidth, r.chartHeight, r.gridHeight}),
                 (QList{e.frameWidth, e.frameHeight, e.chartWidth, e.chartHeight, e.gridHeight}));
    }
};

QTEST_APPLESS_MAIN(TestResizeRule)
#include "tst_resizerule.moc"
