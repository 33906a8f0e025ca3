#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/data_point.h"

class CDrawSurface;

// A time window (both ends included) with the value axis computed for one value slot of one
// data set. Only the dates of start and end describe the window; their value slots hold the
// per-slot minimum (start) and maximum (end) found by the last scaling of that slot.
class CLimits {
  public:
    // Window operations: dates only.
    void ResetDates(const CDataPoint& point);
    void ExtendDates(const CDataPoint& point);
    void CopyDates(const CLimits& other);
    // end - start + 1, at least 1. 64 bits: two 32-bit serials can lie 2^32 apart.
    int64_t DayCount() const;
    bool Contains(int32_t serial) const {
        return serial >= start.m_serial && serial <= end.m_serial;
    }

    // Value operations for slot k.
    void InitSlotRange(const CDataPoint& point, int slot);
    void ExtendSlotRange(const CDataPoint& point, int slot);
    // Computes bottom, top, step and the display bounds from the extremes of the slot. A flat,
    // empty, NaN or unrepresentable range gets the default axis 0 to 1 with step 0.2.
    void Scale(int slot);
    double DisplaySpan() const { return displayTop - displayBottom; }

    // The value axis: a grid line and a label for every tick of ValueTicks.
    void DrawValueAxis(CDrawSurface& dc) const;
    // The date ticks of the window over the width left of the label column, labelled only
    // when drawDateLabels is non-zero.
    void DrawDateAxis(CDrawSurface& dc) const;
    // One date tick: a line the full height of the clip box and, when drawDateLabels is
    // non-zero and x leaves room before the right edge, the label parts that are above 0 in
    // rows 10 pixels apart.
    void DrawTick(CDrawSurface& dc, int32_t x, int32_t day, int32_t month, int32_t year) const;

    // The LIMITS line of a project file: the two dates only.
    void Write(std::string& out) const;

    int32_t drawDateLabels = 0;
    CDataPoint end;
    CDataPoint start;
    double top = 0.0;
    double bottom = 0.0;
    double displayTop = 0.0;
    double displayBottom = 0.0;
    double step = 0.0;
    int32_t zeroBase = 0;

  private:
    void SetDefaultAxis();
};

// The values of the value-axis ticks: from bottom upward while not above displayTop, each the
// previous plus step. Empty when the record holds no usable axis.
std::vector<double> ValueTicks(const CLimits& limits);

// A tick's label: the value in a format chosen by the axis step, leading blanks removed.
std::string FormatValueLabel(double value, double step);

enum class DateAxisMode { Day, Month, Year };

// One date tick. A label part that is absent holds 0.
struct CDateTick {
    int32_t x = 0;
    int32_t day = 0;
    int32_t month = 0;
    int32_t year = 0;
};

struct CDateAxis {
    DateAxisMode mode = DateAxisMode::Day;
    int32_t interval = 1;
    std::vector<CDateTick> ticks;
};

// The ticks of a date axis of the given pixel width over the window of the record, with one
// label per 40 pixels at most. The window's last day never gets a tick.
CDateAxis ComputeDateAxis(const CLimits& limits, int32_t width);

// "JAN" ... "DEC" for months 1 to 12, "" otherwise.
std::string MonthLabel(int32_t month);
// The year printed in full without its first two characters: 2003 gives "03".
std::string YearLabel(int32_t year);

// The window moved by one pan step (direction -1 earlier, +1 later) or zoomed by one step
// (-1 out, +1 in; the end stays). Only the dates of the result are meaningful; the caller hands
// it to the project's SetLimits. A direction of 0 leaves the window as it is.
CLimits PanWindow(const CLimits& window, int direction);
CLimits ZoomWindow(const CLimits& window, int direction);
