#include "charts/scaling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "model/month_names.h"
#include "model/numeric.h"

namespace {

void SetDefaultAxis(CLimits& limits) {
    limits.step = 0.2;
    limits.bottom = 0.0;
    limits.top = 1.0;
    limits.displayTop = 1.04;
    limits.displayBottom = -0.04;
}

}  // namespace

void Scale(CLimits& limits, int slot) {
    double lo = limits.start.GetValue(slot);
    if (limits.zeroBase && lo > 0) {
        lo = 0.0;
    }
    const double hi = limits.end.GetValue(slot);
    double range = hi - lo;
    double step = 0.1;
    if (!(range > 0) || !std::isfinite(range)) {
        SetDefaultAxis(limits);
        return;
    }
    // The step is built by repeated multiplication from 0.1, not as an exact power of ten.
    while (range > 1) {
        range *= 0.1;
        step *= 10;
    }
    while (range <= 0.1) {
        range *= 10;
        step *= 0.1;
    }
    double top = 0.0;
    double bottom = 0.0;
    auto placeBounds = [&] {
        top = std::ceil(hi / step) * step;
        bottom = std::floor(lo / step) * step;
        return std::trunc((top - bottom) / step);
    };
    if (step > 0 && placeBounds() <= 5) {
        step *= 0.5;
        placeBounds();
    }
    const double margin = (top - bottom) * 0.04;
    limits.step = step;
    limits.top = top;
    limits.bottom = bottom;
    limits.displayTop = margin + top;
    limits.displayBottom = bottom - margin;
    // A step that underflowed (to zero or to the imprecise subnormal range), or bounds beyond
    // the double range, leave no drawable axis.
    if (!(step >= std::numeric_limits<double>::min()) || !std::isfinite(limits.displayTop) ||
        !std::isfinite(limits.displayBottom)) {
        SetDefaultAxis(limits);
    }
}

std::vector<double> ValueTicks(const CLimits& limits) {
    std::vector<double> ticks;
    // A scaled axis has at most 21 ticks; the cap only guards records that were never scaled.
    constexpr size_t kMaxTicks = 1000;
    if (!(limits.step > 0) || !std::isfinite(limits.bottom) || !std::isfinite(limits.displayTop)) {
        return ticks;
    }
    for (double v = limits.bottom; v <= limits.displayTop && ticks.size() < kMaxTicks;
         v += limits.step) {
        ticks.push_back(v);
        if (v + limits.step == v) {
            break;
        }
    }
    return ticks;
}

namespace {

// What the label column beside the plot holds in the axis font.
constexpr size_t kLabelChars = 8;

// The label of a value too wide for the column: thousands, millions, billions or trillions
// with as many decimals as the step between the ticks needs ("25T", "2.55T"), or the value in
// exponent form beyond that.
std::string ShortValueLabel(double value, double step) {
    struct Unit {
        double size;
        char suffix;
    };
    for (const Unit unit : {Unit{1e12, 'T'}, Unit{1e9, 'B'}, Unit{1e6, 'M'}, Unit{1e3, 'K'}}) {
        if (std::fabs(value) < unit.size || std::fabs(value) >= 1000.0 * unit.size) {
            continue;
        }
        const double steps = std::fabs(step) / unit.size;
        const int decimals =
            std::isfinite(steps) && steps > 0.0 && steps < 1.0
                ? std::min(3, static_cast<int>(std::ceil(-std::log10(steps) - 1e-9)))
                : 0;
        char text[32];
        std::snprintf(text, sizeof text, "%.*f%c", decimals, value / unit.size, unit.suffix);
        if (std::string(text).size() <= kLabelChars) {
            return text;
        }
        break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1e", value);
    return text;
}

}  // namespace

std::string FormatValueLabel(double value, double step) {
    const char* format = "%1.1e";
    if (step >= 1) {
        format = "%10.0f";
    } else if (step >= 0.1) {
        format = "%10.1f";
    } else if (step >= 0.01) {
        format = "%10.2f";
    } else if (step >= 0.001) {
        format = "%10.3f";
    } else if (step >= 0.0001) {
        format = "%10.4f";
    } else if (step >= 0.00001) {
        format = "%10.5f";
    }
    char text[400];  // "%10.0f" of 1e308 has 309 digits
    std::snprintf(text, sizeof text, format, value);
    const char* first = text;
    while (*first == ' ') {
        ++first;
    }
    return std::string(first).size() <= kLabelChars ? std::string(first)
                                                    : ShortValueLabel(value, step);
}

std::string MonthLabel(int32_t month) {
    return std::string((month >= 1 && month <= 12) ? MonthNames[static_cast<size_t>(month)] : "");
}

std::string YearLabel(int32_t year) {
    std::string text = std::to_string(year);
    return text.size() > 2 ? text.substr(2) : "";
}

namespace {

CDataPoint DateOf(int64_t serial) {
    CDataPoint p;
    p.SetSerial(SaturateToInt32(serial));
    return p;
}

// Serial of 1 January of a year by the calendar of SetSerial. DateToSerial truncates its count
// of leap days, as SetDate must, which puts it a day late for most years before year 1.
int64_t FirstOfJanuary(int64_t year) {
    const int64_t before = year - 1;
    const int64_t leapDays = (before >= 0 ? before : before - 3) / 4;  // floor division
    return 365 * year + leapDays + 1;
}

int32_t Interval(double days, double factor, double slots) {
    double n = std::trunc(days * factor / slots) + 1;
    return n < 1 ? 1 : TruncToInt32(n);
}

// Day and month mode windows are at most a few pixels' worth of days long (the interval
// rules guarantee it), so they are walked day by day.
void DayTicks(const CLimits& limits, int32_t width, CDateAxis& axis) {
    const int64_t first = limits.start.m_serial;
    const int64_t days = limits.DayCount();
    const int32_t d = axis.interval;
    for (int64_t s = first; s < limits.end.m_serial; ++s) {
        CDataPoint date = DateOf(s);
        if ((date.m_day - 1) % d != 0 || int64_t{date.m_day} + d - 1 > date.GetDaysInMonth()) {
            continue;
        }
        CDateTick tick;
        tick.x = SaturateToInt32((s - first) * width / days);
        tick.day = date.m_day;
        tick.month = date.m_day == 1 ? date.m_month : 0;
        tick.year = (date.m_day == 1 && date.m_month == 1) ? date.m_year : 0;
        axis.ticks.push_back(tick);
    }
}

void MonthTicks(const CLimits& limits, int32_t width, CDateAxis& axis) {
    const int64_t first = limits.start.m_serial;
    const int64_t span = int64_t{limits.end.m_serial} - first;  // the day count minus one
    CDataPoint previous = DateOf(first - 2);
    for (int64_t s = first; s < limits.end.m_serial; ++s) {
        CDataPoint date = DateOf(s);
        if (date.m_month != previous.m_month && (date.m_month - 1) % axis.interval == 0) {
            CDateTick tick;
            tick.x = SaturateToInt32((s - first) * width / span);
            tick.month = date.m_month;
            tick.year = date.m_year != previous.m_year ? date.m_year : 0;
            axis.ticks.push_back(tick);
        }
        previous = date;
    }
}

// Year mode can span any number of days, so it visits only the days that can carry a tick:
// the window's first day and every 1 January after it.
void YearTicks(const CLimits& limits, int32_t width, CDateAxis& axis) {
    const int64_t first = limits.start.m_serial;
    const int64_t last = int64_t{limits.end.m_serial} - 1;
    const int64_t days = limits.DayCount();
    const int64_t y = axis.interval;
    auto addTick = [&](int64_t s, int32_t year) {
        CDateTick tick;
        tick.x = SaturateToInt32((s - first) * width / days);
        tick.year = year;
        axis.ticks.push_back(tick);
    };
    CDataPoint startDate = DateOf(first);
    if (startDate.m_year != DateOf(first - 2).m_year && startDate.m_year % y == 0) {
        addTick(first, startDate.m_year);
    }
    int64_t year = int64_t{startDate.m_year} + 1;
    int64_t remainder = ((year % y) + y) % y;
    if (remainder != 0) {
        year += y - remainder;
    }
    for (; year <= DateOf(last).m_year; year += y) {
        int64_t s = FirstOfJanuary(year);
        if (s > first && s <= last) {
            addTick(s, static_cast<int32_t>(year));
        }
    }
}

}  // namespace

CDateAxis ComputeDateAxis(const CLimits& limits, int32_t width) {
    CDateAxis axis;
    // A plot without width shows no date grid at all.
    if (width <= 0) {
        return axis;
    }
    const double days = static_cast<double>(limits.DayCount());
    const double slots = width * 0.025;
    int32_t d = Interval(days, 1.0, slots);
    int32_t m = Interval(days, 0.03333333333333333, slots);
    int32_t y = Interval(days, 0.0027378507871321013, slots);
    if (m > 6) {
        axis.mode = DateAxisMode::Year;
        axis.interval = y;
    } else {
        if (m == 5) {
            m = 6;
        }
        axis.mode = d > 14 ? DateAxisMode::Month : DateAxisMode::Day;
        axis.interval = d > 14 ? m : d;
    }
    if (limits.start.m_serial >= limits.end.m_serial) {
        return axis;
    }
    switch (axis.mode) {
        case DateAxisMode::Day:
            DayTicks(limits, width, axis);
            break;
        case DateAxisMode::Month:
            MonthTicks(limits, width, axis);
            break;
        case DateAxisMode::Year:
            YearTicks(limits, width, axis);
            break;
    }
    return axis;
}

namespace {

CLimits WithSerials(const CLimits& window, int64_t start, int64_t end) {
    CLimits result = window;
    result.start.SetSerial(SaturateToInt32(start));
    result.end.SetSerial(SaturateToInt32(end));
    return result;
}

}  // namespace

CLimits PanWindow(const CLimits& window, int direction) {
    if (direction == 0) {
        return window;
    }
    int64_t k = window.DayCount() / 5 + 1;
    int64_t shift = direction < 0 ? -k : k;
    return WithSerials(window, int64_t{window.start.m_serial} + shift,
                       int64_t{window.end.m_serial} + shift);
}

CLimits ZoomWindow(const CLimits& window, int direction) {
    if (direction == 0) {
        return window;
    }
    int64_t q = window.DayCount() / 5;
    int64_t start = int64_t{window.start.m_serial} + (direction < 0 ? -(q + 1) : q);
    return WithSerials(window, start, window.end.m_serial);
}
