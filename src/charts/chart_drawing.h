#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "charts/draw_surface.h"
#include "charts/status_line.h"
#include "model/limits.h"
#include "model/numeric.h"

class CDataSet;
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

// Days and values of a limits record mapped onto the plot of a geometry (y grows downward:
// displayTop maps to 0, displayBottom to H). Holds copies, so the record may change after.
class CPlotMapping {
  public:
    CPlotMapping(const CLimits& limits, const CPlotGeometry& geometry)
        : m_start(limits.start.m_serial),
          m_days(static_cast<double>(limits.DayCount())),
          m_dayWidth(geometry.dayWidth),
          m_displayBottom(limits.displayBottom),
          m_span(limits.DisplaySpan()),
          m_plotBottom(geometry.plotBottom) {}

    // trunc((s - start) x W1 / days)
    int32_t X(int32_t serial) const {
        return ToPixel(static_cast<double>(int64_t{serial} - m_start) * m_dayWidth / m_days);
    }
    // trunc((1 - (v - displayBottom) / span) x H)
    int32_t Y(double value) const {
        return ToPixel((1 - (value - m_displayBottom) / m_span) * m_plotBottom);
    }

  private:
    int64_t m_start;
    double m_days;
    int32_t m_dayWidth;
    double m_displayBottom;
    double m_span;
    int32_t m_plotBottom;
};

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

// --- The charts: each draws into the whole clip box of `dc` ----------------------------------

// The data set chart: bars, blue label column, the date grid, and in display slot 0 the
// smoothed curve, the value axis and the raw series of the current data set (with the
// crosshair when `showCursor`). Plot and label column only without primary or current.
void DrawDataSetChart(CDrawSurface& dc, const CProject& project, bool showCursor);
// The investment history chart of the primary data set: bars, green label column, the date
// grid, the value axis, the gross and net lines (crosshair on the net line when `showCursor`)
// and the buy and sell dots.
void DrawHistoryChart(CDrawSurface& dc, const CProject& project, bool showCursor);
// The labelled date ticks of the strip between the charts; nothing without a primary set.
void DrawDateLabels(CDrawSurface& dc, const CProject& project);
// The whole paint of the strip between the two charts: the clip box in the button-face
// colour, then the project's date labels.
void DrawDateStrip(CDrawSurface& dc, const CProject& project);

enum class ChartKind { DataSet, History };

// The whole paint of a chart panel, on screen and in pictures alike: the chart, then its status
// line with the indicator of a mouse inside or not. Returns the indicator drawn.
const CPixelImage& DrawChartPanel(CDrawSurface& dc, const CProject& project, ChartKind kind,
                                  CStatusLine& line, bool mouseInside);

// --- Their parts ---------------------------------------------------------------------------

// The black plot with a bar over every period the primary data set is in the market.
void DrawBackground(CDrawSurface& dc, const CProject& project);
// The label column: an 80-band gradient in red (1), green (2) or blue (3), none for 0, and its
// white edge line.
void DrawScaleStrip(CDrawSurface& dc, int colourIndex);

// The polyline of `slot` over the points of `ds` inside its project's window, mapped against
// `limits`; points below the plot are left out without breaking the line. Draws the value axis
// of `limits` first when `drawAxis`, and the crosshair at the cursor point after when
// `drawCursor` (out of sight when the cursor point is not drawn).
// REQUIRES: 0 <= slot < kSlotCount.
void DrawSeries(CDrawSurface& dc, const CDataSet& ds, const CLimits& limits, int slot,
                CColour colour, bool drawAxis, bool drawCursor);
// A buy dot where the market flag goes from 0 to 1 and a sell dot where it goes back, on the
// net line of the investment history chart.
void DrawTradeMarkers(CDrawSurface& dc, const CDataSet& ds, const CLimits& history);
// The crosshair through (x, y) across the plot, inverting what lies under it, and a dot.
void DrawCursor(CDrawSurface& dc, int32_t x, int32_t y);

// The value axis: a grid line and a label for every tick of ValueTicks.
void DrawValueAxis(CDrawSurface& dc, const CLimits& limits);
// The date ticks of the window over the width left of the label column, labelled only
// `withLabels`.
void DrawDateAxis(CDrawSurface& dc, const CLimits& limits, bool withLabels);
struct CDateTick;
// One date tick: a line the full height of the clip box and, `withLabels` and when x leaves
// room before the right edge, the label parts that are above 0 in rows 10 pixels apart.
void DrawTick(CDrawSurface& dc, const CDateTick& tick, bool withLabels);

// A buy or sell dot: a circle in the 6 x 6 box around (x, y), filled and outlined. Leaves the
// background colour set to the fill colour; pen and brush are restored.
void DrawMarker(CDrawSurface& dc, int32_t x, int32_t y, CColour fill, CColour outline);
