#pragma once

#include <cstdint>
#include <string>

#include "charts/draw_surface.h"
#include "model/data_point.h"

// The 14-pixel status line at the bottom of a chart panel: an indicator slice, the panel's
// title, the name of the data set shown and the readout at the cursor point.
struct CStatusLine {
    std::string title;        // "DATA SET:    " or "INVESTMENT HISTORY:    "
    std::string dataSetName;  // empty when the panel has no data set
    std::string readout;      // date and value at the cursor point, or empty
};

// Draws the status line over the bottom 14 pixels of the clip box, after the chart. A slice
// 30 pixels wide from x = 10 of `indicator` goes to x = 14. When the mouse is not inside, the
// readout is emptied first, so it does not come back with the next paint.
// REQUIRES: indicator is at least 40 pixels wide.
void DrawStatusLine(CDrawSurface& dc, CStatusLine& line, const CPixelImage& indicator,
                    bool mouseInside);

// The readout of a cursor point: "      month.day.year      " (six blanks either side) and
// the value of `slot` as FormatNumber prints it: "      3.14.2003      (1234.50)".
// REQUIRES: 0 <= slot < kSlotCount.
std::string FormatReadout(const CDataPoint& point, int slot);

// The indicator pictures: shown while the mouse is over the panel (200 x 20, a bright green
// textured bar) and otherwise (40 x 20, a light grey pattern). Made once, kept for the life of
// the process.
const CPixelImage& ActiveIndicator();
const CPixelImage& IdleIndicator();
