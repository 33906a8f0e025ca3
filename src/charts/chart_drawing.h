#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "charts/draw_surface.h"
#include "charts/limits.h"
#include "model/numeric.h"

class CProject;

// The plot geometry of a chart, derived from the clip box of the surface drawn into, so the
// same drawing serves any window size.
struct CPlotGeometry {
    explicit CPlotGeometry(const CRect& clipBox)
        : clip(clipBox),
          plotRight(SaturateToInt32(int64_t{clipBox.right} - 60)),
          dayWidth(std::max<int32_t>(1, SaturateToInt32(int64_t{plotRight} + 1))),
          plotBottom(SaturateToInt32(int64_t{clipBox.bottom} - 14)),
          dateAxisWidth(SaturateToInt32(int64_t{clipBox.right} - 59)) {}

    CRect clip;
    int32_t plotRight;      // W: right edge of the plot; the value labels lie right of it
    int32_t dayWidth;       // W1: W + 1, at least 1; the width that days are mapped onto
    int32_t plotBottom;     // H: bottom edge of the plot; the status line lies below it
    int32_t dateAxisWidth;  // w: the width the date ticks are laid out on
};

// A pixel position from a double: truncated toward zero and held within +-2^30, so that the
// few pixels added to a position (labels, bar edges, marker boxes) cannot overflow. NaN goes
// far up and left, off the plot: a value that is not a number shows as a spike off the top.
inline int32_t ToPixel(double v) {
    constexpr double kLimit = 1073741824.0;
    if (std::isnan(v)) {
        return -static_cast<int32_t>(kLimit);
    }
    return TruncToInt32(std::clamp(v, -kLimit, kLimit));
}

// x of a day serial against the window of `limits`.
inline int32_t DayToX(int32_t serial, const CLimits& limits, int32_t dayWidth) {
    const double offset = static_cast<double>(int64_t{serial} - limits.start.m_serial);
    return ToPixel(offset * dayWidth / static_cast<double>(limits.DayCount()));
}

// y of a value against the value axis of `limits`: displayTop maps to 0, displayBottom to H.
inline int32_t ValueToY(double value, const CLimits& limits, int32_t plotBottom) {
    return ToPixel((1 - (value - limits.displayBottom) / limits.DisplaySpan()) * plotBottom);
}

// The colours of the charts.
namespace ChartColours {
inline constexpr CColour kBlack{0, 0, 0};
inline constexpr CColour kWhite{255, 255, 255};
inline constexpr CColour kMarketBar{65, 65, 20};
inline constexpr CColour kGrid{85, 85, 85};
inline constexpr CColour kRawSeries{0, 100, 255};
inline constexpr CColour kSmoothSeries{255, 0, 0};
inline constexpr CColour kGrossSeries{125, 125, 125};
inline constexpr CColour kNetSeries{0, 200, 255};
inline constexpr CColour kBuyFill{0, 255, 0};
inline constexpr CColour kBuyOutline{0, 150, 0};
inline constexpr CColour kSellFill{255, 0, 0};
inline constexpr CColour kSellOutline{150, 0, 0};
inline constexpr CColour kCrosshair{150, 150, 150};
inline constexpr CColour kCursorOutline{0, 0, 255};
}  // namespace ChartColours

// The font of both axes' labels.
inline CFontSpec AxisFont() {
    return CFontSpec{"Verdana Bold", -10};
}

// A buy or sell dot: a circle in the 6 x 6 box around (x, y), filled and outlined. Leaves the
// background colour set to the fill colour; pen and brush are restored.
void DrawMarker(CDrawSurface& dc, int32_t x, int32_t y, CColour fill, CColour outline);

// The whole paint of the strip between the two charts: the clip box in the button-face
// colour, then the project's date labels.
void DrawDateStrip(CDrawSurface& dc, CProject& project);
