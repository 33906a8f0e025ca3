#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/limits.h"

// Computes bottom, top, step and the display bounds of `limits` from the extremes of the slot.
// A flat, empty, NaN or unrepresentable range gets the default axis 0 to 1 with step 0.2.
void Scale(CLimits& limits, int slot);

// The values of the value-axis ticks: from bottom upward while not above displayTop, each the
// previous plus step. Empty when the record holds no usable axis.
std::vector<double> ValueTicks(const CLimits& limits);

// A tick's label: the value in a format chosen by the axis step, leading blanks removed; a
// value wider than the label column in a short form that keeps the ticks apart ("25T" for
// 2.5e13 in steps of 5e12, "25.1T" in steps of 1e11, "1.0e+308"), never its first digits.
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
