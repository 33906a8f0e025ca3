// The value and date axes of a limits record, drawn onto a chart's surface.

#include <string>

#include "charts/chart_drawing.h"
#include "charts/draw_surface.h"
#include "charts/scaling.h"

void DrawValueAxis(CDrawSurface& dc, const CLimits& limits) {
    const CPlotGeometry g(dc.GetClipBox());
    const CPen oldPen = dc.SelectPen(CPen{1, ChartColours::kGrid});
    const CFontSpec oldFont = dc.SelectFont(AxisFont());
    dc.SetTextColour(ChartColours::kWhite);
    dc.SetTextAlign(TextAlign::LeftTop);
    const BackgroundMode oldMode = dc.SetBackgroundMode(BackgroundMode::Transparent);
    for (double v : ValueTicks(limits)) {
        const int32_t y = ToPixel((limits.displayTop - v) * g.plotBottom / limits.DisplaySpan());
        dc.TextOut(g.plotRight + 6, y - 6, FormatValueLabel(v, limits.step));
        // Across the plot and two pixels into the label column.
        dc.MoveTo(g.plotRight + 2, y);
        dc.LineTo(SaturateToInt32(int64_t{g.clip.left} - 1), y);
    }
    dc.SetBackgroundMode(oldMode);
    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
}

void DrawDateAxis(CDrawSurface& dc, const CLimits& limits, bool withLabels) {
    const CPlotGeometry g(dc.GetClipBox());
    const CPen oldPen = dc.SelectPen(CPen{1, ChartColours::kGrid});
    const CFontSpec oldFont = dc.SelectFont(AxisFont());
    dc.SetTextColour(dc.GetSystemColour(SystemColour::ButtonText));
    dc.SetTextAlign(TextAlign::RightTop);
    const BackgroundMode oldMode = dc.SetBackgroundMode(BackgroundMode::Transparent);
    for (const CDateTick& tick : ComputeDateAxis(limits, g.dateAxisWidth).ticks) {
        DrawTick(dc, tick, withLabels);
    }
    dc.SetBackgroundMode(oldMode);
    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
}

void DrawTick(CDrawSurface& dc, const CDateTick& tick, bool withLabels) {
    const CRect clip = dc.GetClipBox();
    const int32_t x = tick.x;
    // The full height, through the status line too.
    dc.MoveTo(x, 0);
    dc.LineTo(x, clip.bottom);
    if (!withLabels) {
        return;
    }
    dc.SetTextAlign(TextAlign::LeftTop);
    if (int64_t{x} > int64_t{clip.right} - 40) {
        return;
    }
    const int32_t labelX = x + 4;
    int32_t row = 0;
    if (tick.day > 0) {
        dc.TextOut(labelX, 0, std::to_string(tick.day));
        ++row;
    }
    if (tick.month > 0) {
        dc.TextOut(labelX, 10 * row, MonthLabel(tick.month));
        ++row;
    }
    if (tick.year > 0) {
        dc.TextOut(labelX, 10 * row, YearLabel(tick.year));
    }
}
