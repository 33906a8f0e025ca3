#include "charts/limits.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "support/series_builder.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

int32_t Serial(int32_t day, int32_t month, int32_t year) {
    return MakePoint(day, month, year).m_serial;
}

CLimits Span(int64_t first, int64_t last) {
    CLimits limits;
    limits.start.SetSerial(static_cast<int32_t>(first));
    limits.end.SetSerial(static_cast<int32_t>(last));
    return limits;
}

CLimits Scaled(double lo, double hi, int32_t zeroBase = 0) {
    CLimits limits;
    limits.zeroBase = zeroBase;
    limits.start.SetValue(Smooth, lo);
    limits.end.SetValue(Smooth, hi);
    limits.Scale(Smooth);
    return limits;
}

void ExpectDefaultAxis(const CLimits& limits) {
    EXPECT_EQ(limits.step, 0.2);
    EXPECT_EQ(limits.bottom, 0.0);
    EXPECT_EQ(limits.top, 1.0);
    EXPECT_DOUBLE_EQ(limits.displayBottom, -0.04);
    EXPECT_DOUBLE_EQ(limits.displayTop, 1.04);
}

// ---- Window and value ranges ----

TEST(LimitsWindow, ResetExtendAndCopyMoveOnlyTheDates) {
    CLimits limits;
    limits.ResetDates(MakePoint(15, 6, 2001, 7.0));
    EXPECT_EQ(limits.end.m_serial, Serial(15, 6, 2001));
    EXPECT_EQ(limits.start.GetValue(Raw), 0.0);
    EXPECT_EQ(limits.DayCount(), 1);

    for (int32_t day : {1, 10, 30}) {
        limits.ExtendDates(MakePoint(day, 6, 2001));
    }
    EXPECT_EQ(limits.start.m_day, 1);
    EXPECT_EQ(limits.end.m_day, 30);
    EXPECT_EQ(limits.DayCount(), 30);
    EXPECT_TRUE(limits.Contains(Serial(1, 6, 2001)));
    EXPECT_TRUE(limits.Contains(Serial(30, 6, 2001)));
    EXPECT_FALSE(limits.Contains(Serial(31, 5, 2001)));
    EXPECT_FALSE(limits.Contains(Serial(1, 7, 2001)));

    CLimits copy;
    copy.start.SetValue(Raw, 3.0);
    copy.CopyDates(limits);
    EXPECT_EQ(copy.start.m_serial, limits.start.m_serial);
    EXPECT_EQ(copy.end.m_year, 2001);
    EXPECT_EQ(copy.start.GetValue(Raw), 3.0);
}

TEST(LimitsWindow, DayCountIsAtLeastOneAndFitsTheWidestWindow) {
    EXPECT_EQ(Span(730500, 730599).DayCount(), 100);
    EXPECT_EQ(Span(730599, 730500).DayCount(), 1);
    EXPECT_EQ(Span(INT_MIN, INT_MAX).DayCount(), int64_t{1} << 32);
    EXPECT_EQ(Span(INT_MAX, INT_MIN).DayCount(), 1);
}

// ---- Value axis ----

TEST(LimitsScale, StepBoundsAndMargins) {
    struct Case {
        double lo, hi;
        int32_t zeroBase;
        double step, bottom, top, displayBottom, displayTop;
    };
    for (Case c : {
             Case{95, 130, 0, 5, 95, 130, 93.6, 131.4},
             Case{95, 130, 1, 50, 0, 150, -6, 156},  // halved once only: 3 steps remain
             Case{85, 117, 0, 5, 85, 120, 83.6, 121.4},
             Case{-3, 7, 0, 1, -3, 7, -3.4, 7.4},
             Case{-3, 7, 1, 1, -3, 7, -3.4, 7.4},  // a negative minimum is kept
             Case{0, 7, 1, 1, 0, 7, -0.28, 7.28},
         }) {
        CLimits limits = Scaled(c.lo, c.hi, c.zeroBase);
        SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi << " zero base " << c.zeroBase);
        EXPECT_NEAR(limits.step, c.step, 1e-9);
        EXPECT_NEAR(limits.bottom, c.bottom, 1e-9);
        EXPECT_NEAR(limits.top, c.top, 1e-9);
        EXPECT_NEAR(limits.displayBottom, c.displayBottom, 1e-9);
        EXPECT_NEAR(limits.displayTop, c.displayTop, 1e-9);
    }
}

// Flat, reversed, NaN, infinite and overflowing ranges, and ranges whose step would fall into
// the subnormal doubles, get the default axis; a tiny but normal range still gets its own.
TEST(LimitsScale, UnusableRangesGiveTheDefaultAxis) {
    const double nan = std::nan("");
    const double tiny = std::numeric_limits<double>::denorm_min();
    struct Case {
        double lo, hi;
    };
    for (Case c : {Case{1000, 1000}, Case{0, 0}, Case{5, 2}, Case{nan, 1}, Case{1, nan},
                   Case{nan, nan}, Case{0, kInf}, Case{-kInf, 0}, Case{-1e308, 1e308},
                   Case{0, 1.7e308}, Case{0, tiny}, Case{0, 1e-320}, Case{0, 1e-310}}) {
        SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi);
        ExpectDefaultAxis(Scaled(c.lo, c.hi));
    }
    // A step computed before leaves nothing behind.
    CLimits limits = Scaled(95, 130);
    limits.end.SetValue(Smooth, 95);
    limits.Scale(Smooth);
    ExpectDefaultAxis(limits);

    limits = Scaled(0, 3e-300);
    EXPECT_GT(limits.step, 0.0);
    EXPECT_LE(limits.bottom, 0.0);
    EXPECT_GE(limits.top, 3e-300);
    std::vector<double> ticks = ValueTicks(limits);
    EXPECT_GE(ticks.size(), 2u);
    EXPECT_LE(ticks.size(), 21u);
}

TEST(LimitsScale, ValueTicksRunFromBottomThroughTop) {
    std::vector<double> ticks = ValueTicks(Scaled(95, 130));
    ASSERT_EQ(ticks.size(), 8u);
    for (size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_NEAR(ticks[i], 95.0 + 5.0 * static_cast<double>(i), 1e-9);
    }
    EXPECT_EQ(ValueTicks(Scaled(1000, 1000)).size(), 6u);
    EXPECT_EQ(ValueTicks(Scaled(-3, 7)).size(), 11u);
    EXPECT_TRUE(ValueTicks(CLimits{}).empty());

    // Never scaled: a step far too small for the span must not run away.
    CLimits huge;
    huge.bottom = -1e300;
    huge.displayTop = 1e300;
    huge.step = 1.0;
    EXPECT_LE(ValueTicks(huge).size(), 1000u);
}

TEST(LimitsScale, ValueLabelFormatFollowsTheStep) {
    struct Case {
        double value, step;
        const char* text;
    };
    for (Case c : {Case{130, 5, "130"}, Case{-3, 1, "-3"}, Case{0.4, 0.2, "0.4"},
                   Case{0.5, 0.1, "0.5"}, Case{0.05, 0.05, "0.05"}, Case{0.02, 0.01, "0.02"},
                   Case{0.005, 0.005, "0.005"}, Case{0.0005, 0.0005, "0.0005"},
                   Case{0.00005, 0.00005, "0.00005"}, Case{0.000005, 0.000005, "5.0e-06"}}) {
        EXPECT_EQ(FormatValueLabel(c.value, c.step), c.text) << c.value << " step " << c.step;
    }
    // Every digit of the largest double fits.
    EXPECT_EQ(FormatValueLabel(1e308, 1e307).size(), 309u);
}

// ---- Date axis ----

// The x of a tick at `serial` on an axis `width` pixels wide, dividing by `days`.
int32_t TickX(const CLimits& limits, int32_t serial, int32_t width, int64_t days) {
    return static_cast<int32_t>((int64_t{serial} - limits.start.m_serial) * width / days);
}

TEST(DateAxis, YearOfMonthsOn400PixelsUsesMonthModeEveryOtherMonth) {
    CLimits limits = Span(Serial(2, 3, 2001), Serial(1, 3, 2002));
    ASSERT_EQ(limits.DayCount(), 365);
    CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Month);
    EXPECT_EQ(axis.interval, 2);

    // The first day, the second of March, counts as its month's start; 1 March 2002 is the last
    // day and gets no tick. Month mode divides by the days minus one.
    struct Expected {
        int32_t day, month, year, yearLabel;
    };
    std::vector<Expected> expected = {{2, 3, 2001, 0}, {1, 5, 2001, 0},  {1, 7, 2001, 0},
                                      {1, 9, 2001, 0}, {1, 11, 2001, 0}, {1, 1, 2002, 2002}};
    ASSERT_EQ(axis.ticks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(axis.ticks[i].x, TickX(limits, Serial(e.day, e.month, e.year), 400, 364)) << i;
        EXPECT_EQ(axis.ticks[i].day, 0) << i;
        EXPECT_EQ(axis.ticks[i].month, e.month) << i;
        EXPECT_EQ(axis.ticks[i].year, e.yearLabel) << i;
    }

    // From the third of the month on, the first day is mid-month.
    CDateAxis later = ComputeDateAxis(Span(Serial(3, 3, 2001), Serial(2, 3, 2002)), 400);
    ASSERT_FALSE(later.ticks.empty());
    EXPECT_EQ(later.ticks.front().month, 5);
}

TEST(DateAxis, MonthOn400PixelsUsesDayModeEveryFourDays) {
    CLimits limits = Span(Serial(20, 2, 2001), Serial(21, 3, 2001));
    ASSERT_EQ(limits.DayCount(), 30);
    CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Day);
    EXPECT_EQ(axis.interval, 4);

    struct Expected {
        int32_t day, month, monthLabel;
    };
    // 21 March is the last day of the window.
    std::vector<Expected> expected = {{21, 2, 0}, {25, 2, 0}, {1, 3, 3}, {5, 3, 0},
                                      {9, 3, 0},  {13, 3, 0}, {17, 3, 0}};
    ASSERT_EQ(axis.ticks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(axis.ticks[i].x, TickX(limits, Serial(e.day, e.month, 2001), 400, 30)) << i;
        EXPECT_EQ(axis.ticks[i].day, e.day) << i;
        EXPECT_EQ(axis.ticks[i].month, e.monthLabel) << i;
        EXPECT_EQ(axis.ticks[i].year, 0) << i;
    }
}

// Day ticks fall on days 1, 5, ..., 25 of every month; the first of a month carries its month,
// New Year's Day its year too.
TEST(DateAxis, DayModeNeverTicksTheTwentyNinth) {
    for (int32_t month = 1; month <= 12; ++month) {
        for (int32_t year : {2000, 2001}) {
            const int32_t first = Serial(10, month, year);
            CDateAxis axis = ComputeDateAxis(Span(first, first + 29), 400);
            ASSERT_EQ(axis.mode, DateAxisMode::Day);
            ASSERT_EQ(axis.interval, 4);
            for (const CDateTick& tick : axis.ticks) {
                SCOPED_TRACE(testing::Message() << month << "/" << year);
                EXPECT_EQ((tick.day - 1) % 4, 0);
                EXPECT_LE(tick.day, 25);
                EXPECT_EQ(tick.month != 0, tick.day == 1);
                EXPECT_EQ(tick.year != 0, tick.day == 1 && tick.month == 1);
                if (tick.year != 0) {
                    EXPECT_EQ(tick.year, month == 12 ? year + 1 : year);
                }
            }
        }
    }
}

TEST(DateAxis, WindowWithoutADayBeforeItsEndHasNoTicks) {
    for (int32_t width : {400, 4000}) {
        EXPECT_TRUE(ComputeDateAxis(Span(730500, 730500), width).ticks.empty());
        EXPECT_TRUE(ComputeDateAxis(Span(730600, 730500), width).ticks.empty());
        EXPECT_TRUE(ComputeDateAxis(Span(INT_MAX, INT_MIN), width).ticks.empty());
    }
    // One day before the end: that day may carry a tick, the end never does.
    CDateAxis pair = ComputeDateAxis(Span(Serial(1, 1, 2001), Serial(2, 1, 2001)), 400);
    ASSERT_EQ(pair.ticks.size(), 1u);
    EXPECT_EQ(pair.ticks[0].day, 1);
    EXPECT_EQ(pair.ticks[0].x, 0);
}

TEST(DateAxis, LongWindowUsesYearModeOnMultiplesOfTheInterval) {
    CLimits limits = Span(Serial(1, 7, 1985), Serial(1, 7, 2005));
    ASSERT_EQ(limits.DayCount(), 7306);
    CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Year);
    EXPECT_EQ(axis.interval, 3);

    // x = trunc((s - start) * 400 / 7306)
    std::vector<std::pair<int32_t, int32_t>> expected = {
        {1986, 10}, {1989, 70}, {1992, 130}, {1995, 190}, {1998, 250}, {2001, 310}, {2004, 369}};
    ASSERT_EQ(axis.ticks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(axis.ticks[i].year, expected[i].first);
        EXPECT_EQ(axis.ticks[i].x, expected[i].second);
        EXPECT_EQ(axis.ticks[i].day, 0);
        EXPECT_EQ(axis.ticks[i].month, 0);
    }
}

// The ticks of year mode as the rule states them, one day at a time.
std::vector<CDateTick> YearTicksDayByDay(const CLimits& limits, int32_t width, int32_t interval) {
    std::vector<CDateTick> ticks;
    int32_t previousYear = PointAt(static_cast<int32_t>(limits.start.m_serial - int64_t{2})).m_year;
    for (int64_t s = limits.start.m_serial; s < limits.end.m_serial; ++s) {
        const int32_t year = PointAt(static_cast<int32_t>(s)).m_year;
        if (year != previousYear && year % interval == 0) {
            CDateTick tick;
            tick.x = TickX(limits, static_cast<int32_t>(s), width, limits.DayCount());
            tick.year = year;
            ticks.push_back(tick);
        }
        previousYear = year;
    }
    return ticks;
}

TEST(DateAxis, YearModeAgreesWithTheDayByDayRule) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> startDay(0, 3000);
    std::uniform_int_distribution<int32_t> length(3000, 40000);
    std::uniform_int_distribution<int32_t> widths(40, 1200);
    // Windows around 2000, around year 1 and at the start of the serial range, and windows
    // starting on 1 or 2 January.
    std::vector<int64_t> bases = {Serial(1, 1, 1950), 366 - 20000, 366, int64_t{INT_MIN} + 2};
    for (int round = 0; round < 300; ++round) {
        int64_t first = bases[static_cast<size_t>(round) % bases.size()] + startDay(rng);
        if (round % 5 == 0) {
            first = Serial(1 + round % 2, 1, 1960 + round % 40);
        }
        CLimits limits = Span(first, first + length(rng));
        const int32_t width = widths(rng);
        CDateAxis axis = ComputeDateAxis(limits, width);
        if (axis.mode != DateAxisMode::Year) {
            continue;
        }
        std::vector<CDateTick> expected = YearTicksDayByDay(limits, width, axis.interval);
        SCOPED_TRACE(testing::Message() << "window " << limits.start.m_serial << ".."
                                        << limits.end.m_serial << " width " << width);
        ASSERT_EQ(axis.ticks.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(axis.ticks[i].year, expected[i].year) << i;
            EXPECT_EQ(axis.ticks[i].x, expected[i].x) << i;
        }
    }
}

TEST(DateAxis, WidestWindowReturnsPromptlyWithFewTicks) {
    for (int32_t width : {1, 40, 400, 4000}) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        const auto began = std::chrono::steady_clock::now();
        CDateAxis axis = ComputeDateAxis(Span(INT_MIN, INT_MAX), width);
        EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
        EXPECT_EQ(axis.mode, DateAxisMode::Year);
        EXPECT_LE(axis.ticks.size(), static_cast<size_t>(width / 40 + 2));
        for (const CDateTick& tick : axis.ticks) {
            EXPECT_GE(tick.x, 0);
            EXPECT_LT(tick.x, width);
        }
    }
    // Near the ends of the serial range as well.
    EXPECT_LE(ComputeDateAxis(Span(INT_MAX - 400, INT_MAX), 400).ticks.size(), 12u);
    EXPECT_LE(ComputeDateAxis(Span(INT_MIN, INT_MIN + 400), 400).ticks.size(), 12u);
}

TEST(DateAxis, Labels) {
    EXPECT_EQ(MonthLabel(1), "JAN");
    EXPECT_EQ(MonthLabel(12), "DEC");
    for (int32_t month : {0, 13, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(MonthLabel(month), "") << month;
    }
    EXPECT_EQ(YearLabel(2003), "03");
    EXPECT_EQ(YearLabel(12345), "345");
    EXPECT_EQ(YearLabel(7), "");
    EXPECT_EQ(YearLabel(INT_MIN), "147483648");
}

// ---- Pan and zoom ----

TEST(WindowPanZoom, HundredDayWindow) {
    const CLimits window = Span(730500, 730599);
    struct Case {
        CLimits moved;
        int32_t start, end;
    };
    for (const Case& c :
         {Case{PanWindow(window, 1), 730521, 730620}, Case{PanWindow(window, -1), 730479, 730578},
          Case{ZoomWindow(window, 1), 730520, 730599}, Case{ZoomWindow(window, -1), 730479, 730599},
          Case{PanWindow(window, 0), 730500, 730599},
          Case{ZoomWindow(window, 0), 730500, 730599}}) {
        EXPECT_EQ(c.moved.start.m_serial, c.start);
        EXPECT_EQ(c.moved.end.m_serial, c.end);
    }
    // The dates follow the serials.
    EXPECT_EQ(PanWindow(window, 1).start.FormatDate(), "1/22/2000");
    EXPECT_EQ(ZoomWindow(window, -1).start.FormatDate(), "12/11/1999");
}

TEST(WindowPanZoom, ZoomingInStopsBelowFiveDays) {
    CLimits window = Span(730500, 730599);
    for (int i = 0; i < 100; ++i) {
        window = ZoomWindow(window, 1);
        ASSERT_LE(window.start.m_serial, window.end.m_serial);
    }
    EXPECT_EQ(window.DayCount(), 4);
    EXPECT_EQ(window.end.m_serial, 730599);
}

TEST(WindowPanZoom, EdgesOfTheSerialRangeDoNotOverflow) {
    CLimits top = PanWindow(Span(INT_MAX - 10, INT_MAX), 1);
    EXPECT_EQ(top.end.m_serial, INT_MAX);
    EXPECT_LE(top.start.m_serial, top.end.m_serial);
    EXPECT_EQ(PanWindow(Span(INT_MIN, INT_MIN + 10), -1).start.m_serial, INT_MIN);

    CLimits widest = Span(INT_MIN, INT_MAX);
    EXPECT_EQ(ZoomWindow(widest, -1).start.m_serial, INT_MIN);
    CLimits in = ZoomWindow(widest, 1);
    EXPECT_EQ(in.start.m_serial, int64_t{INT_MIN} + (int64_t{1} << 32) / 5);
    EXPECT_EQ(in.end.m_serial, INT_MAX);
}

}  // namespace
