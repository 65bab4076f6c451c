#pragma once

// The sizes of the main window's results area that follow the window: the
// frame, the chart and the grid. All values are in twips (1/1440 inch).
struct FrameSizes {
    float frameWidth;
    float frameHeight;
    float chartWidth;
    float chartHeight;
    float gridHeight;
};

// The design positions of the stretched controls, in twips: the frame's in
// the client area, the chart's and the grid's in the frame. They never move.
inline constexpr float kFrameLeftTwips = 20.0f;
inline constexpr float kFrameTopTwips = 360.0f;
inline constexpr float kChartLeftTwips = 3360.0f;
inline constexpr float kChartTopTwips = 120.0f;
inline constexpr float kGridTopTwips = 1560.0f;

// The design sizes, replaced by the rule as soon as the window is shown.
inline constexpr FrameSizes kDesignFrameSizesTwips{9855.0f, 5655.0f, 6375.0f, 5415.0f, 3375.0f};

// Stretches the frame to the client area (less the status bar) and the chart
// and the grid to the frame, keeping the design margins. A size whose new
// value would not be above zero keeps its current value, so a minimised or
// very small window never collapses a control.
FrameSizes ApplyResizeRule(const FrameSizes& current,
                           float clientWidthTwips,
                           float clientHeightTwips,
                           float statusBarHeightTwips);
