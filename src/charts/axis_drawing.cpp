// The value and date axes of a limits record, drawn onto a chart's surface.

#include <string>

#include "charts/chart_drawing.h"
#include "charts/draw_surface.h"
#include "charts/limits.h"

void CLimits::DrawValueAxis(CDrawSurface& dc) const {
    const CPlotGeometry g(dc.GetClipBox());
    const CPen oldPen = dc.SelectPen(CPen{1, ChartColours::kGrid});
    const CFontSpec oldFont = dc.SelectFont(AxisFont());
    dc.SetTextColour(ChartColours::kWhite);
    dc.SetTextAlign(TextAlign::LeftTop);
    const BackgroundMode oldMode = dc.SetBackgroundMode(BackgroundMode::Transparent);
    for (double v : ValueTicks(*this)) {
        const int32_t y = ToPixel((displayTop - v) * g.plotBottom / DisplaySpan());
        dc.TextOut(g.plotRight + 6, y - 6, FormatValueLabel(v, step));
        // Across the plot and two pixels into the label column.
        dc.MoveTo(g.plotRight + 2, y);
        dc.LineTo(SaturateToInt32(int64_t{g.clip.left} - 1), y);
    }
    dc.SetBackgroundMode(oldMode);
    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
}

void CLimits::DrawDateAxis(CDrawSurface& dc) const {
    const CPlotGeometry g(dc.GetClipBox());
    const CPen oldPen = dc.SelectPen(CPen{1, ChartColours::kGrid});
    const CFontSpec oldFont = dc.SelectFont(AxisFont());
    dc.SetTextColour(dc.GetSystemColour(SystemColour::ButtonText));
    dc.SetTextAlign(TextAlign::RightTop);
    const BackgroundMode oldMode = dc.SetBackgroundMode(BackgroundMode::Transparent);
    for (const CDateTick& tick : ComputeDateAxis(*this, g.dateAxisWidth).ticks) {
        DrawTick(dc, tick.x, tick.day, tick.month, tick.year);
    }
    dc.SetBackgroundMode(oldMode);
    dc.SelectFont(oldFont);
    dc.SelectPen(oldPen);
}

void CLimits::DrawTick(CDrawSurface& dc, int32_t x, int32_t day, int32_t month,
                       int32_t year) const {
    const CRect clip = dc.GetClipBox();
    // The full height, through the status line too.
    dc.MoveTo(x, 0);
    dc.LineTo(x, clip.bottom);
    if (drawDateLabels == 0) {
        return;
    }
    dc.SetTextAlign(TextAlign::LeftTop);
    if (int64_t{x} > int64_t{clip.right} - 40) {
        return;
    }
    const int32_t labelX = x + 4;
    int32_t row = 0;
    if (day > 0) {
        dc.TextOut(labelX, 0, std::to_string(day));
        ++row;
    }
    if (month > 0) {
        dc.TextOut(labelX, 10 * row, MonthLabel(month));
        ++row;
    }
    if (year > 0) {
        dc.TextOut(labelX, 10 * row, YearLabel(year));
    }
}
