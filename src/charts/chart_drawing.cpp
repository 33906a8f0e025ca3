// The two charts and the date strip, drawn from the project, its limits and its data sets.
// Back to front, the data set chart draws: background and bars, label column, date grid, (in
// display slot 0) the smoothed curve, value grid and labels, the series, the crosshair. The
// history chart: background and bars, label column, date grid, value grid and labels, gross
// line, net line, crosshair, buy and sell dots.

#include "charts/chart_drawing.h"

#include "charts/scaling.h"
#include "charts/status_line.h"
#include "model/data_set.h"
#include "model/project.h"

void DrawDataSetChart(CDrawSurface& dc, const CProject& project, bool showCursor) {
    DrawBackground(dc, project);
    DrawScaleStrip(dc, 3);
    const CDataSet* current = project.Current();
    if (project.Primary() == nullptr || current == nullptr) {
        return;
    }
    const CLimits& view = project.m_viewLimits;
    DrawDateAxis(dc, view, false);
    if (project.DisplaySlot() == Raw) {
        DrawSeries(dc, *current, view, Smooth, ChartColours::kSmoothSeries, false, false);
        DrawSeries(dc, *current, view, Raw, ChartColours::kRawSeries, true, showCursor);
    }
}

void DrawHistoryChart(CDrawSurface& dc, const CProject& project, bool showCursor) {
    DrawBackground(dc, project);
    DrawScaleStrip(dc, 2);
    const CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return;
    }
    // The date grid follows the view window, which the history window always shares.
    DrawDateAxis(dc, project.m_viewLimits, false);
    const CLimits& history = project.m_historyLimits;
    DrawSeries(dc, *primary, history, Gross, ChartColours::kGrossSeries, true, false);
    DrawSeries(dc, *primary, history, Net, ChartColours::kNetSeries, false, showCursor);
    DrawTradeMarkers(dc, *primary, history);
}

void DrawDateLabels(CDrawSurface& dc, const CProject& project) {
    if (project.Primary() == nullptr) {
        return;
    }
    DrawDateAxis(dc, project.m_viewLimits, true);
}

void DrawBackground(CDrawSurface& dc, const CProject& project) {
    const CPlotGeometry g(dc.GetClipBox());
    dc.FillSolidRect(g.clip, ChartColours::kBlack);
    const CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return;
    }
    const CLimits& view = project.m_viewLimits;
    const CPlotMapping map(view, g);
    CRect bar{0, g.clip.top, 0, g.clip.bottom};
    const auto [first, last] = primary->PointsInside(view);
    const auto begin = primary->Points().begin();
    int32_t previous = 0;
    for (auto p = begin + static_cast<ptrdiff_t>(first); p != begin + static_cast<ptrdiff_t>(last);
         ++p) {
        if (EntersMarket(previous, p->m_flag)) {
            bar.left = map.X(p->m_serial);
        }
        if (LeavesMarket(previous, p->m_flag)) {
            // The bar takes in the column of the first day out of the market.
            bar.right = map.X(p->m_serial) + 1;
            dc.FillSolidRect(bar, ChartColours::kMarketBar);
        }
        previous = p->m_flag;
    }
    if (previous == 1) {
        const CDataPoint& lastInside = begin[static_cast<ptrdiff_t>(last) - 1];
        bar.right = map.X(lastInside.m_serial) + 1;
        dc.FillSolidRect(bar, ChartColours::kMarketBar);
    }
}

void DrawScaleStrip(CDrawSurface& dc, int colourIndex) {
    const CPlotGeometry g(dc.GetClipBox());
    const int32_t stripLeft = g.dateAxisWidth;
    if (colourIndex >= 1 && colourIndex <= 3) {
        constexpr int kBands = 80;
        const double height = g.plotBottom;
        for (int i = 0; i < kBands; ++i) {
            const uint8_t k = static_cast<uint8_t>(ToPixel((1 - i * 0.0125) * 200));
            CColour colour;
            (colourIndex == 1 ? colour.r : colourIndex == 2 ? colour.g : colour.b) = k;
            const CRect band{stripLeft, ToPixel(i * height * 0.0125), g.clip.right,
                             ToPixel((i + 1) * height * 0.0125)};
            dc.FillSolidRect(band, colour);
        }
    }
    const CPen oldPen = dc.SelectPen(CPen{1, ChartColours::kWhite});
    dc.MoveTo(stripLeft, 0);
    dc.LineTo(stripLeft, SaturateToInt32(int64_t{g.plotBottom} + 1));
    dc.SelectPen(oldPen);
}

void DrawSeries(CDrawSurface& dc, const CDataSet& ds, const CLimits& limits, int slot,
                CColour colour, bool drawAxis, bool drawCursor) {
    if (drawAxis) {
        DrawValueAxis(dc, limits);
    }
    const CPlotGeometry g(dc.GetClipBox());
    const CPlotMapping map(limits, g);
    const CPen oldPen = dc.SelectPen(CPen{1, colour});
    int32_t cursorX = -500;
    int32_t cursorY = -500;
    bool started = false;
    // Inside means inside the project's window; positions follow `limits`.
    const auto [first, last] = ds.PointsInWindow();
    const auto& points = ds.Points();
    const auto end = points.begin() + static_cast<ptrdiff_t>(last);
    for (auto p = points.begin() + static_cast<ptrdiff_t>(first); p != end; ++p) {
        const int32_t x = map.X(p->m_serial);
        const int32_t y = map.Y(p->GetValue(slot));
        if (y > g.plotBottom) {
            continue;
        }
        if (started) {
            dc.LineTo(x, y);
        } else {
            dc.MoveTo(x, y);
            started = true;
        }
        if (&*p == ds.Cursor()) {
            cursorX = x;
            cursorY = y;
        }
    }
    dc.SelectPen(oldPen);
    if (drawCursor) {
        DrawCursor(dc, cursorX, cursorY);
    }
}

void DrawTradeMarkers(CDrawSurface& dc, const CDataSet& ds, const CLimits& history) {
    const CPlotGeometry g(dc.GetClipBox());
    const CPlotMapping map(history, g);
    const auto [first, last] = ds.PointsInside(history);
    const auto& points = ds.Points();
    const auto end = points.begin() + static_cast<ptrdiff_t>(last);
    int32_t previous = 0;
    for (auto p = points.begin() + static_cast<ptrdiff_t>(first); p != end; ++p) {
        const bool buy = EntersMarket(previous, p->m_flag);
        const bool sell = LeavesMarket(previous, p->m_flag);
        previous = p->m_flag;
        if (!buy && !sell) {
            continue;
        }
        const int32_t x = map.X(p->m_serial);
        const int32_t y = map.Y(p->GetValue(Net));
        if (buy) {
            DrawMarker(dc, x, y, ChartColours::kBuyFill, ChartColours::kBuyOutline);
        } else {
            DrawMarker(dc, x, y, ChartColours::kSellFill, ChartColours::kSellOutline);
        }
    }
}

void DrawCursor(CDrawSurface& dc, int32_t x, int32_t y) {
    const CPlotGeometry g(dc.GetClipBox());
    const RasterOp oldOp = dc.SetRasterOp(RasterOp::MergeNotPen);
    const CPen oldPen = dc.SelectPen(CPen{2, ChartColours::kCrosshair});
    dc.MoveTo(g.clip.left, y);
    dc.LineTo(g.plotRight, y);
    dc.MoveTo(x, g.clip.top);
    dc.LineTo(x, g.clip.bottom);
    dc.SetRasterOp(oldOp);
    dc.SelectPen(oldPen);
    DrawMarker(dc, x, y, ChartColours::kWhite, ChartColours::kCursorOutline);
}

void DrawMarker(CDrawSurface& dc, int32_t x, int32_t y, CColour fill, CColour outline) {
    const CPen oldPen = dc.SelectPen(CPen{1, outline});
    dc.SetBackgroundColour(fill);
    const CColour oldBrush = dc.SelectBrush(fill);
    const auto shifted = [](int32_t v, int64_t d) { return SaturateToInt32(int64_t{v} + d); };
    dc.Ellipse(CRect{shifted(x, -3), shifted(y, -3), shifted(x, 3), shifted(y, 3)});
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
}

void DrawDateStrip(CDrawSurface& dc, const CProject& project) {
    dc.FillSolidRect(dc.GetClipBox(), dc.GetSystemColour(SystemColour::ButtonFace));
    DrawDateLabels(dc, project);
}

const CPixelImage& DrawChartPanel(CDrawSurface& dc, const CProject& project, ChartKind kind,
                                  CStatusLine& line, bool mouseInside) {
    if (kind == ChartKind::History) {
        DrawHistoryChart(dc, project, mouseInside);
    } else {
        DrawDataSetChart(dc, project, mouseInside);
    }
    const CPixelImage& indicator = mouseInside ? ActiveIndicator() : IdleIndicator();
    DrawStatusLine(dc, line, indicator, mouseInside);
    return indicator;
}
