#include "charts/scaling.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "support/series_builder.h"

namespace {

CLimits Span(int64_t first, int64_t last) {
    CLimits limits;
    limits.start.SetSerial(static_cast<int32_t>(first));
    limits.end.SetSerial(static_cast<int32_t>(last));
    return limits;
}

std::pair<int32_t, int32_t> Serials(const CLimits& limits) {
    return {limits.start.m_serial, limits.end.m_serial};
}

CLimits Scaled(double lo, double hi, bool zeroBase = false) {
    CLimits limits;
    limits.zeroBase = zeroBase;
    limits.start.SetValue(Smooth, lo);
    limits.end.SetValue(Smooth, hi);
    Scale(limits, Smooth);
    return limits;
}

// ---- Value axis ----

TEST(LimitsScale, StepBoundsAndMargins) {
    // Low, high, zero base; step, bottom, top, display bottom, display top.
    using Case = std::array<double, 8>;
    for (const Case& c : {Case{95, 130, 0, 5, 95, 130, 93.6, 131.4},
                          Case{95, 130, 1, 50, 0, 150, -6, 156},  // halved once only: 3 steps
                          Case{85, 117, 0, 5, 85, 120, 83.6, 121.4},
                          Case{-3, 7, 1, 1, -3, 7, -3.4, 7.4},  // a negative minimum is kept
                          Case{0, 7, 1, 1, 0, 7, -0.28, 7.28}}) {
        const CLimits l = Scaled(c[0], c[1], c[2] != 0);
        const double got[] = {l.step, l.bottom, l.top, l.displayBottom, l.displayTop};
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_NEAR(got[i], c[3 + i], 1e-9) << c[0] << ".." << c[1] << " field " << i;
        }
    }
    EXPECT_EQ(ValueTicks(Scaled(-3, 7)).size(), 11u);
}

// Flat, reversed, NaN, infinite and overflowing ranges, and ranges whose step would fall into
// the subnormal doubles, get the default axis, even after a usable one; a tiny but normal range
// still gets its own.
TEST(LimitsScale, UnusableRangesGiveTheDefaultAxis) {
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    using Case = std::pair<double, double>;
    CLimits limits = Scaled(95, 130);
    for (auto [lo, hi] : {Case{1000, 1000}, Case{0, 0}, Case{5, 2}, Case{nan, 1}, Case{1, nan},
                          Case{0, inf}, Case{-inf, 0}, Case{-1e308, 1e308}, Case{0, 1.7e308},
                          Case{0, std::numeric_limits<double>::denorm_min()}, Case{0, 1e-310}}) {
        limits.start.SetValue(Smooth, lo);
        limits.end.SetValue(Smooth, hi);
        Scale(limits, Smooth);
        EXPECT_EQ(std::tuple(limits.step, limits.bottom, limits.top), std::tuple(0.2, 0.0, 1.0))
            << lo << ".." << hi;
        EXPECT_NEAR(limits.displayTop, 1.04, 1e-12);
    }
    limits = Scaled(0, 3e-300);
    EXPECT_TRUE(limits.step > 0 && limits.bottom <= 0 && limits.top >= 3e-300);
    const size_t ticks = ValueTicks(limits).size();
    EXPECT_TRUE(ticks >= 2 && ticks <= 21) << ticks;

    // Never scaled: no ticks, and a step far too small for the span must not run away.
    EXPECT_TRUE(ValueTicks(CLimits{}).empty());
    CLimits huge;
    huge.bottom = -1e300;
    huge.displayTop = 1e300;
    huge.step = 1.0;
    EXPECT_LE(ValueTicks(huge).size(), 1000u);
}

TEST(LimitsScale, ValueLabelFormatFollowsTheStep) {
    using Case = std::tuple<double, double, const char*>;
    for (auto [value, step, text] :
         {Case{130, 5, "130"}, Case{-3, 1, "-3"}, Case{0.4, 0.2, "0.4"}, Case{0.05, 0.05, "0.05"},
          Case{0.00005, 0.00005, "0.00005"}, Case{0.000005, 0.000005, "5.0e-06"}}) {
        EXPECT_EQ(FormatValueLabel(value, step), text) << value << " step " << step;
    }
    // Too wide for the column beside the plot: a short form that tells the ticks apart, never
    // the digits that happen to fit.
    for (auto [value, step, text] :
         {Case{12345678, 1, "12345678"}, Case{2.5e13, 5e12, "25T"}, Case{-2.5e13, 5e12, "-25T"},
          Case{2.51e13, 1e11, "25.1T"}, Case{2.5e13, 1e9, "25.000T"}, Case{450e6, 50e6, "450M"},
          Case{1.5e9, 1e8, "1.5B"}, Case{2.5e10, 1e3, "25.000B"}, Case{1e308, 1e307, "1.0e+308"},
          Case{999.5e6, 1e5, "999.5M"}}) {
        EXPECT_EQ(FormatValueLabel(value, step), text) << value << " step " << step;
    }
}

// ---- Date axis ----

// A tick as (x, day label, month label, year label).
using Tick = std::tuple<int32_t, int32_t, int32_t, int32_t>;

std::vector<Tick> Ticks(const CDateAxis& axis) {
    std::vector<Tick> ticks;
    for (const CDateTick& t : axis.ticks) {
        ticks.emplace_back(t.x, t.day, t.month, t.year);
    }
    return ticks;
}

// The x of a tick at `serial` on an axis `width` pixels wide, dividing by `days`.
int32_t TickX(const CLimits& limits, int64_t serial, int32_t width, int64_t days) {
    return static_cast<int32_t>((serial - limits.start.m_serial) * width / days);
}

// Month mode divides by the days minus one; the first day, the second of March, counts as its
// month's start, from the third on it would not; the last day gets no tick.
TEST(DateAxis, MonthModeOnAYear) {
    const CLimits limits = Span(SerialOf(2, 3, 2001), SerialOf(1, 3, 2002));
    const CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Month);
    EXPECT_EQ(axis.interval, 2);
    const auto x = [&](int32_t d, int32_t m, int32_t y) {
        return TickX(limits, SerialOf(d, m, y), 400, 364);
    };
    EXPECT_EQ(Ticks(axis),
              (std::vector<Tick>{Tick{x(2, 3, 2001), 0, 3, 0}, Tick{x(1, 5, 2001), 0, 5, 0},
                                 Tick{x(1, 7, 2001), 0, 7, 0}, Tick{x(1, 9, 2001), 0, 9, 0},
                                 Tick{x(1, 11, 2001), 0, 11, 0}, Tick{x(1, 1, 2002), 0, 1, 2002}}));
    const CLimits third = Span(SerialOf(3, 3, 2001), SerialOf(2, 3, 2002));
    EXPECT_EQ(ComputeDateAxis(third, 400).ticks[0].month, 5);
}

// Day mode divides by the days and ticks days 1, 5, ..., 25, never the 29th; the first of a
// month carries its month, New Year's Day its year too.
TEST(DateAxis, DayModeOnAMonth) {
    const CLimits limits = Span(SerialOf(20, 2, 2001), SerialOf(21, 3, 2001));
    const CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Day);
    EXPECT_EQ(axis.interval, 4);
    const auto x = [&](int32_t d, int32_t m) {
        return TickX(limits, SerialOf(d, m, 2001), 400, 30);
    };
    EXPECT_EQ(Ticks(axis), (std::vector<Tick>{Tick{x(21, 2), 21, 0, 0}, Tick{x(25, 2), 25, 0, 0},
                                              Tick{x(1, 3), 1, 3, 0}, Tick{x(5, 3), 5, 0, 0},
                                              Tick{x(9, 3), 9, 0, 0}, Tick{x(13, 3), 13, 0, 0},
                                              Tick{x(17, 3), 17, 0, 0}}));
    // Over New Year: 13 to 25 December, then 1 and 5 January.
    const CLimits newYear = Span(SerialOf(10, 12, 2000), SerialOf(8, 1, 2001));
    const std::vector<Tick> ticks = Ticks(ComputeDateAxis(newYear, 400));
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks[4], Tick(TickX(newYear, SerialOf(1, 1, 2001), 400, 30), 1, 1, 2001));
}

// Year mode against its rule applied one day at a time, on random windows around 2000, around
// year 1 and at the start of the serial range, and on windows starting on 1 or 2 January.
TEST(DateAxis, YearModeAgreesWithTheDayByDayRule) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> startDay(0, 3000), length(3000, 40000), widths(40, 1200);
    const std::vector<int64_t> bases = {SerialOf(1, 1, 1950), 366 - 20000, 366,
                                        int64_t{INT_MIN} + 2};
    for (int round = 0; round < 300; ++round) {
        int64_t first = bases[static_cast<size_t>(round) % bases.size()] + startDay(rng);
        if (round % 5 == 0) {
            first = SerialOf(1 + round % 2, 1, 1960 + round % 40);
        }
        const CLimits limits = Span(first, first + length(rng));
        const int32_t width = widths(rng);
        const CDateAxis axis = ComputeDateAxis(limits, width);
        if (axis.mode != DateAxisMode::Year) {
            continue;
        }
        std::vector<Tick> expected;
        int32_t previousYear = PointAt(static_cast<int32_t>(first - 2)).m_year;
        for (int64_t s = first; s < limits.end.m_serial; ++s) {
            const int32_t year = PointAt(static_cast<int32_t>(s)).m_year;
            if (year != previousYear && year % axis.interval == 0) {
                expected.emplace_back(TickX(limits, s, width, limits.DayCount()), 0, 0, year);
            }
            previousYear = year;
        }
        EXPECT_EQ(Ticks(axis), expected)
            << "window " << first << ".." << limits.end.m_serial << " width " << width;
    }
}

TEST(DateAxis, EmptyAndWidestWindowsStayBounded) {
    for (auto [first, last] : {std::pair{730500, 730500}, {730600, 730500}, {INT_MAX, INT_MIN}}) {
        EXPECT_TRUE(ComputeDateAxis(Span(first, last), 400).ticks.empty()) << first;
    }

    EXPECT_EQ(Span(INT_MIN, INT_MAX).DayCount(), int64_t{1} << 32);
    for (int32_t width : {1, 400, 4000}) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        const auto began = std::chrono::steady_clock::now();
        const CDateAxis axis = ComputeDateAxis(Span(INT_MIN, INT_MAX), width);
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
        EXPECT_LE(axis.ticks.size(), static_cast<size_t>(width / 40 + 2));
        for (const CDateTick& tick : axis.ticks) {
            EXPECT_TRUE(tick.x >= 0 && tick.x < width) << tick.x;
        }
    }

    EXPECT_EQ(MonthLabel(12) + MonthLabel(0) + MonthLabel(13) + MonthLabel(INT_MIN), "DEC");
    EXPECT_EQ(YearLabel(12345) + YearLabel(7) + "/" + YearLabel(INT_MIN), "345/147483648");
}

// ---- Pan and zoom ----

TEST(WindowPanZoom, HundredDayWindow) {
    const CLimits window = Span(730500, 730599);
    EXPECT_EQ(Serials(PanWindow(window, 1)), std::pair(730521, 730620));
    EXPECT_EQ(Serials(PanWindow(window, -1)), std::pair(730479, 730578));
    EXPECT_EQ(Serials(ZoomWindow(window, 1)), std::pair(730520, 730599));
    EXPECT_EQ(Serials(ZoomWindow(window, -1)), std::pair(730479, 730599));

    CLimits zoomed = window;  // zooming in stops below five days
    for (int i = 0; i < 100; ++i) {
        zoomed = ZoomWindow(zoomed, 1);
    }
    EXPECT_EQ(Serials(zoomed), std::pair(730596, 730599));

    // The edges of the serial range do not overflow.
    const CLimits top = PanWindow(Span(INT_MAX - 10, INT_MAX), 1);
    EXPECT_EQ(top.end.m_serial, INT_MAX);
    EXPECT_LE(top.start.m_serial, top.end.m_serial);
    EXPECT_EQ(PanWindow(Span(INT_MIN, INT_MIN + 10), -1).start.m_serial, INT_MIN);
    const CLimits widest = Span(INT_MIN, INT_MAX);
    EXPECT_EQ(Serials(ZoomWindow(widest, -1)), Serials(widest));
    EXPECT_EQ(Serials(ZoomWindow(widest, 1)),
              std::pair(static_cast<int32_t>(int64_t{INT_MIN} + (int64_t{1} << 32) / 5), INT_MAX));
}

}  // namespace
