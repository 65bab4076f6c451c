#include "results/resizerule.h"

#include <QTest>

Q_DECLARE_METATYPE(FrameSizes)

// The rule that stretches the results frame, the chart and the grid with the
// main window's client area. All figures are twips.
class TestResizeRule : public QObject {
    Q_OBJECT

private:
    static constexpr float kDesignClientWidth = 9900.0f;
    static constexpr float kDesignClientHeight = 6405.0f;
    static constexpr float kDesignStatusBar = 375.0f;
    static constexpr FrameSizes kAtDesignClientArea{9860.0f, 5650.0f, 6470.0f, 5500.0f, 3810.0f};

private slots:
    void resize_data() {
        QTest::addColumn<FrameSizes>("start");
        QTest::addColumn<float>("clientWidth");
        QTest::addColumn<float>("clientHeight");
        QTest::addColumn<float>("statusBar");
        QTest::addColumn<FrameSizes>("expected");

        QTest::newRow("design client area fills the frame, chart and grid")
            << kDesignFrameSizesTwips << kDesignClientWidth << kDesignClientHeight
            << kDesignStatusBar << kAtDesignClientArea;
        QTest::newRow("minimised window keeps every size")
            << kAtDesignClientArea << 0.0f << 0.0f << kDesignStatusBar << kAtDesignClientArea;
        QTest::newRow("3000 wide: frame 2960, chart keeps its width")
            << kAtDesignClientArea << 3000.0f << kDesignClientHeight << kDesignStatusBar
            << FrameSizes{2960.0f, 5650.0f, 6470.0f, 5500.0f, 3810.0f};
        QTest::newRow("1000 taller: frame, chart and grid 1000 taller")
            << kAtDesignClientArea << kDesignClientWidth << kDesignClientHeight + 1000.0f
            << kDesignStatusBar << FrameSizes{9860.0f, 6650.0f, 6470.0f, 6500.0f, 4810.0f};
        QTest::newRow("1000 wider: frame and chart 1000 wider, grid unchanged")
            << kAtDesignClientArea << kDesignClientWidth + 1000.0f << kDesignClientHeight
            << kDesignStatusBar << FrameSizes{10860.0f, 5650.0f, 7470.0f, 5500.0f, 3810.0f};
        QTest::newRow("taller status bar shortens the frame by as much")
            << kAtDesignClientArea << kDesignClientWidth << kDesignClientHeight
            << kDesignStatusBar + 90.0f << FrameSizes{9860.0f, 5560.0f, 6470.0f, 5410.0f, 3720.0f};
        QTest::newRow("frame exactly used up: zero is not a size, the old one stays")
            << kAtDesignClientArea << 40.0f << 755.0f << kDesignStatusBar << kAtDesignClientArea;
        QTest::newRow("short window: frame shrinks, chart and grid keep theirs")
            << kAtDesignClientArea << kDesignClientWidth << 1355.0f << kDesignStatusBar
            << FrameSizes{9860.0f, 600.0f, 6470.0f, 450.0f, 3810.0f};
    }

    void resize() {
        QFETCH(FrameSizes, start);
        QFETCH(float, clientWidth);
        QFETCH(float, clientHeight);
        QFETCH(float, statusBar);
        QFETCH(FrameSizes, expected);

        const FrameSizes result = ApplyResizeRule(start, clientWidth, clientHeight, statusBar);

        QCOMPARE(result.frameWidth, expected.frameWidth);
        QCOMPARE(result.frameHeight, expected.frameHeight);
        QCOMPARE(result.chartWidth, expected.chartWidth);
        QCOMPARE(result.chartHeight, expected.chartHeight);
        QCOMPARE(result.gridHeight, expected.gridHeight);
    }
};

QTEST_APPLESS_MAIN(TestResizeRule)
#include "tst_resizerule.moc"
