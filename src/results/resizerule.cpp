#include "resizerule.h"

namespace {
// Margins between the stretched controls and the edges they follow.
constexpr float kFrameRightMarginTwips = 20.0f;
constexpr float kFrameBottomMarginTwips = 20.0f; // to the top of the status bar
constexpr float kChartRightMarginTwips = 30.0f;
constexpr float kChartBottomMarginTwips = 30.0f;
constexpr float kGridBottomMarginTwips = 280.0f;

// The new value when it is above zero, the current one otherwise.
float positiveOr(float proposed, float current) {
    return proposed > 0.0f ? proposed : current;
}
} // namespace

FrameSizes ApplyResizeRule(const FrameSizes& current,
                           float clientWidthTwips,
                           float clientHeightTwips,
                           float statusBarHeightTwips) {
    FrameSizes next = current;
    // The chart and the grid follow the frame as this rule has just left it.
    next.frameWidth =
        positiveOr(clientWidthTwips - kFrameLeftTwips - kFrameRightMarginTwips, next.frameWidth);
    next.frameHeight = positiveOr(clientHeightTwips - kFrameTopTwips - statusBarHeightTwips -
                                      kFrameBottomMarginTwips,
                                  next.frameHeight);
    next.chartWidth =
        positiveOr(next.frameWidth - kChartLeftTwips - kChartRightMarginTwips, next.chartWidth);
    next.chartHeight =
        positiveOr(next.frameHeight - kChartTopTwips - kChartBottomMarginTwips, next.chartHeight);
    next.gridHeight =
        positiveOr(next.frameHeight - kGridTopTwips - kGridBottomMarginTwips, next.gridHeight);
    return next;
}
