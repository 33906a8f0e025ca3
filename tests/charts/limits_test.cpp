#include "charts/limits.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

CDataPoint Date(int32_t day, int32_t month, int32_t year) {
    CDataPoint p;
    p.SetDate(day, month, year);
    return p;
}

CDataPoint AtSerial(int64_t serial) {
    CDataPoint p;
    p.SetSerial(static_cast<int32_t>(serial));
    return p;
}

CLimits Window(const CDataPoint& first, const CDataPoint& last) {
    CLimits limits;
    limits.start.CopyDate(first);
    limits.end.CopyDate(last);
    return limits;
}

CLimits WindowOfSerials(int64_t first, int64_t last) {
    return Window(AtSerial(first), AtSerial(last));
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

TEST(LimitsWindow, ResetAndExtendMoveOnlyTheDates) {
    CDataPoint middle = Date(15, 6, 2001);
    middle.SetValue(Raw, 7.0);
    CLimits limits;
    limits.ResetDates(middle);
    EXPECT_EQ(limits.start.m_serial, middle.m_serial);
    EXPECT_EQ(limits.end.m_serial, middle.m_serial);
    EXPECT_EQ(limits.start.GetValue(Raw), 0.0);
    EXPECT_EQ(limits.DayCount(), 1);

    limits.ExtendDates(Date(1, 6, 2001));
    limits.ExtendDates(Date(10, 6, 2001));  // inside: no change
    limits.ExtendDates(Date(30, 6, 2001));
    EXPECT_EQ(limits.start.m_day, 1);
    EXPECT_EQ(limits.start.m_month, 6);
    EXPECT_EQ(limits.end.m_day, 30);
    EXPECT_EQ(limits.DayCount(), 30);
    EXPECT_TRUE(limits.Contains(Date(1, 6, 2001).m_serial));
    EXPECT_TRUE(limits.Contains(Date(30, 6, 2001).m_serial));
    EXPECT_FALSE(limits.Contains(Date(1, 7, 2001).m_serial));

    CLimits copy;
    copy.start.SetValue(Raw, 3.0);
    copy.CopyDates(limits);
    EXPECT_EQ(copy.start.m_serial, limits.start.m_serial);
    EXPECT_EQ(copy.end.m_serial, limits.end.m_serial);
    EXPECT_EQ(copy.end.m_year, 2001);
    EXPECT_EQ(copy.start.GetValue(Raw), 3.0);
}

TEST(LimitsWindow, DayCountIsAtLeastOneAndFitsTheWidestWindow) {
    EXPECT_EQ(WindowOfSerials(730500, 730599).DayCount(), 100);
    EXPECT_EQ(WindowOfSerials(730599, 730500).DayCount(), 1);
    EXPECT_EQ(WindowOfSerials(INT_MIN, INT_MAX).DayCount(), int64_t{1} << 32);
    EXPECT_EQ(WindowOfSerials(INT_MAX, INT_MIN).DayCount(), 1);
}

// ---- Value axis ----

TEST(LimitsScale, StepBoundsAndMargins) {
    struct Case {
        double lo;
        double hi;
        int32_t zeroBase;
        double step;
        double bottom;
        double top;
        double displayBottom;
        double displayTop;
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
        EXPECT_NEAR(limits.DisplaySpan(), c.displayTop - c.displayBottom, 1e-9);
    }
}

TEST(LimitsScale, UnusableRangesGiveTheDefaultAxis) {
    const double nan = std::nan("");
    const double tiny = std::numeric_limits<double>::denorm_min();
    struct Case {
        double lo;
        double hi;
    };
    for (Case c :
         {Case{1000, 1000}, Case{0, 0}, Case{5, 2}, Case{nan, 1}, Case{1, nan}, Case{nan, nan},
          Case{0, kInf}, Case{-kInf, 0}, Case{-1e308, 1e308}, Case{0, 1.7e308}, Case{0, tiny}}) {
        SCOPED_TRACE(testing::Message() << c.lo << ".." << c.hi);
        ExpectDefaultAxis(Scaled(c.lo, c.hi));
    }
    // A step computed before leaves nothing behind.
    CLimits limits = Scaled(95, 130);
    limits.end.SetValue(Smooth, 95);
    limits.Scale(Smooth);
    ExpectDefaultAxis(limits);
}

// Ranges whose step would fall into the subnormal doubles cannot be labelled sensibly and get
// the default axis; a tiny but normal range still gets its own.
TEST(LimitsScale, SubnormalRangesGetTheDefaultAxis) {
    for (double hi : {1e-320, 1e-310}) {
        SCOPED_TRACE(testing::Message() << hi);
        ExpectDefaultAxis(Scaled(0, hi));
    }
    CLimits limits = Scaled(0, 3e-300);
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
}

TEST(LimitsScale, ValueTicksOfRecordsWithoutAnAxis) {
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
        double value;
        double step;
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

TEST(DateAxis, YearOfMonthsOn400PixelsUsesMonthModeEveryOtherMonth) {
    // 2 March 2001 to 1 March 2002: 365 days.
    CLimits limits = Window(Date(2, 3, 2001), Date(1, 3, 2002));
    ASSERT_EQ(limits.DayCount(), 365);
    CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Month);
    EXPECT_EQ(axis.interval, 2);

    // The first day, the second of March, counts as its month's start; 1 March 2002 is the last
    // day and gets no tick.
    struct Expected {
        CDataPoint date;
        int32_t year;
    };
    std::vector<Expected> expected = {{Date(2, 3, 2001), 0},  {Date(1, 5, 2001), 0},
                                      {Date(1, 7, 2001), 0},  {Date(1, 9, 2001), 0},
                                      {Date(1, 11, 2001), 0}, {Date(1, 1, 2002), 2002}};
    ASSERT_EQ(axis.ticks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const CDateTick& tick = axis.ticks[i];
        const int64_t offset = int64_t{expected[i].date.m_serial} - limits.start.m_serial;
        EXPECT_EQ(tick.x, offset * 400 / 364) << i;  // month mode divides by the days minus one
        EXPECT_EQ(tick.day, 0) << i;
        EXPECT_EQ(tick.month, expected[i].date.m_month) << i;
        EXPECT_EQ(tick.year, expected[i].year) << i;
    }

    // From the third of the month on, the first day is mid-month.
    CDateAxis later = ComputeDateAxis(Window(Date(3, 3, 2001), Date(2, 3, 2002)), 400);
    ASSERT_FALSE(later.ticks.empty());
    EXPECT_EQ(later.ticks.front().month, 5);
}

TEST(DateAxis, MonthOn400PixelsUsesDayModeEveryFourDays) {
    // 20 February to 21 March 2001: 30 days.
    CLimits limits = Window(Date(20, 2, 2001), Date(21, 3, 2001));
    ASSERT_EQ(limits.DayCount(), 30);
    CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Day);
    EXPECT_EQ(axis.interval, 4);

    struct Expected {
        int32_t day;
        int32_t month;
        int32_t monthLabel;
    };
    // 21 March is the last day of the window.
    std::vector<Expected> expected = {{21, 2, 0}, {25, 2, 0}, {1, 3, 3}, {5, 3, 0},
                                      {9, 3, 0},  {13, 3, 0}, {17, 3, 0}};
    ASSERT_EQ(axis.ticks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const CDateTick& tick = axis.ticks[i];
        const int64_t offset = int64_t{Date(expected[i].day, expected[i].month, 2001).m_serial} -
                               limits.start.m_serial;
        EXPECT_EQ(tick.x, offset * 400 / 30) << i;
        EXPECT_EQ(tick.day, expected[i].day) << i;
        EXPECT_EQ(tick.month, expected[i].monthLabel) << i;
        EXPECT_EQ(tick.year, 0) << i;
    }
}

TEST(DateAxis, DayModeNeverTicksTheTwentyNinth) {
    for (int32_t month = 1; month <= 12; ++month) {
        for (int32_t year : {2000, 2001}) {
            CDataPoint first = Date(10, month, year);
            CLimits limits = WindowOfSerials(first.m_serial, first.m_serial + 29);
            CDateAxis axis = ComputeDateAxis(limits, 400);
            ASSERT_EQ(axis.mode, DateAxisMode::Day);
            ASSERT_EQ(axis.interval, 4);
            for (const CDateTick& tick : axis.ticks) {
                EXPECT_EQ((tick.day - 1) % 4, 0) << month << "/" << year;
                EXPECT_LE(tick.day, 25) << month << "/" << year;
                EXPECT_EQ(tick.month != 0, tick.day == 1);
                EXPECT_EQ(tick.year != 0, tick.day == 1 && tick.month == 1);
            }
        }
    }
    // New Year's Day carries all three labels.
    CDateAxis axis = ComputeDateAxis(Window(Date(20, 12, 2001), Date(18, 1, 2002)), 400);
    size_t newYears = 0;
    for (const CDateTick& tick : axis.ticks) {
        if (tick.day == 1) {
            EXPECT_EQ(tick.month, 1);
            EXPECT_EQ(tick.year, 2002);
            ++newYears;
        }
    }
    EXPECT_EQ(newYears, 1u);
}

TEST(DateAxis, WindowWithoutADayBeforeItsEndHasNoTicks) {
    for (int32_t width : {400, 4000}) {
        EXPECT_TRUE(ComputeDateAxis(WindowOfSerials(730500, 730500), width).ticks.empty());
        EXPECT_TRUE(ComputeDateAxis(WindowOfSerials(730600, 730500), width).ticks.empty());
        EXPECT_TRUE(ComputeDateAxis(WindowOfSerials(INT_MAX, INT_MIN), width).ticks.empty());
    }
    // One day before the end: that day may carry a tick, the end never does.
    CDateAxis pair = ComputeDateAxis(Window(Date(1, 1, 2001), Date(2, 1, 2001)), 400);
    ASSERT_EQ(pair.ticks.size(), 1u);
    EXPECT_EQ(pair.ticks[0].day, 1);
    EXPECT_EQ(pair.ticks[0].x, 0);
}

TEST(DateAxis, LongWindowUsesYearModeOnMultiplesOfTheInterval) {
    CLimits limits = Window(Date(1, 7, 1985), Date(1, 7, 2005));
    ASSERT_EQ(limits.DayCount(), 7306);
    CDateAxis axis = ComputeDateAxis(limits, 400);
    EXPECT_EQ(axis.mode, DateAxisMode::Year);
    EXPECT_EQ(axis.interval, 3);

    struct Expected {
        int32_t year;
        int32_t x;  // trunc((s - start) * 400 / 7306)
    };
    std::vector<Expected> expected = {{1986, 10},  {1989, 70},  {1992, 130}, {1995, 190},
                                      {1998, 250}, {2001, 310}, {2004, 369}};
    ASSERT_EQ(axis.ticks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(axis.ticks[i].year, expected[i].year);
        EXPECT_EQ(axis.ticks[i].x, expected[i].x);
        EXPECT_EQ(axis.ticks[i].day, 0);
        EXPECT_EQ(axis.ticks[i].month, 0);
    }
}

// The ticks of year mode as the rule states them, one day at a time.
std::vector<CDateTick> YearTicksDayByDay(const CLimits& limits, int32_t width, int32_t interval) {
    std::vector<CDateTick> ticks;
    const int64_t first = limits.start.m_serial;
    CDataPoint previous = AtSerial(first - 2);
    for (int64_t s = first; s < limits.end.m_serial; ++s) {
        CDataPoint date = AtSerial(s);
        if (date.m_year != previous.m_year && date.m_year % interval == 0) {
            CDateTick tick;
            tick.x = static_cast<int32_t>((s - first) * width / limits.DayCount());
            tick.year = date.m_year;
            ticks.push_back(tick);
        }
        previous = date;
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
    std::vector<int64_t> bases = {Date(1, 1, 1950).m_serial, 366 - 20000, 366,
                                  int64_t{INT_MIN} + 2};
    for (int round = 0; round < 300; ++round) {
        const int64_t base = bases[static_cast<size_t>(round) % bases.size()];
        int64_t first = base + startDay(rng);
        if (round % 5 == 0) {
            first = Date(1 + round % 2, 1, 1960 + round % 40).m_serial;
        }
        CLimits limits = WindowOfSerials(first, first + length(rng));
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
    CLimits limits = WindowOfSerials(INT_MIN, INT_MAX);
    for (int32_t width : {1, 40, 400, 4000}) {
        const auto began = std::chrono::steady_clock::now();
        CDateAxis axis = ComputeDateAxis(limits, width);
        const auto elapsed = std::chrono::steady_clock::now() - began;
        EXPECT_LT(elapsed, std::chrono::seconds(5)) << "width " << width;
        EXPECT_EQ(axis.mode, DateAxisMode::Year) << "width " << width;
        EXPECT_LE(axis.ticks.size(), static_cast<size_t>(width / 40 + 2)) << "width " << width;
        for (const CDateTick& tick : axis.ticks) {
            EXPECT_GE(tick.x, 0);
            EXPECT_LT(tick.x, width);
        }
    }
    // Near the ends of the serial range as well.
    EXPECT_LE(ComputeDateAxis(WindowOfSerials(INT_MAX - 400, INT_MAX), 400).ticks.size(), 12u);
    EXPECT_LE(ComputeDateAxis(WindowOfSerials(INT_MIN, INT_MIN + 400), 400).ticks.size(), 12u);
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
    CLimits window = WindowOfSerials(730500, 730599);

    CLimits later = PanWindow(window, 1);
    EXPECT_EQ(later.start.m_serial, 730521);
    EXPECT_EQ(later.end.m_serial, 730620);
    CLimits earlier = PanWindow(window, -1);
    EXPECT_EQ(earlier.start.m_serial, 730479);
    EXPECT_EQ(earlier.end.m_serial, 730578);

    CLimits in = ZoomWindow(window, 1);
    EXPECT_EQ(in.start.m_serial, 730520);
    EXPECT_EQ(in.end.m_serial, 730599);
    CLimits out = ZoomWindow(window, -1);
    EXPECT_EQ(out.start.m_serial, 730479);
    EXPECT_EQ(out.end.m_serial, 730599);

    // The dates follow the serials.
    EXPECT_EQ(later.start.FormatDate(), "1/22/2000");
    EXPECT_EQ(out.start.FormatDate(), "12/11/1999");

    for (const CLimits& same : {PanWindow(window, 0), ZoomWindow(window, 0)}) {
        EXPECT_EQ(same.start.m_serial, 730500);
        EXPECT_EQ(same.end.m_serial, 730599);
    }
}

TEST(WindowPanZoom, ZoomingInStopsBelowFiveDays) {
    CLimits window = WindowOfSerials(730500, 730599);
    for (int i = 0; i < 100; ++i) {
        window = ZoomWindow(window, 1);
        ASSERT_LE(window.start.m_serial, window.end.m_serial);
    }
    EXPECT_EQ(window.DayCount(), 4);
    EXPECT_EQ(window.end.m_serial, 730599);
}

TEST(WindowPanZoom, EdgesOfTheSerialRangeDoNotOverflow) {
    CLimits top = PanWindow(WindowOfSerials(INT_MAX - 10, INT_MAX), 1);
    EXPECT_EQ(top.end.m_serial, INT_MAX);
    EXPECT_LE(top.start.m_serial, top.end.m_serial);
    CLimits bottom = PanWindow(WindowOfSerials(INT_MIN, INT_MIN + 10), -1);
    EXPECT_EQ(bottom.start.m_serial, INT_MIN);

    CLimits widest = WindowOfSerials(INT_MIN, INT_MAX);
    EXPECT_EQ(ZoomWindow(widest, -1).start.m_serial, INT_MIN);
    CLimits in = ZoomWindow(widest, 1);
    EXPECT_EQ(in.start.m_serial, int64_t{INT_MIN} + (int64_t{1} << 32) / 5);
    EXPECT_EQ(in.end.m_serial, INT_MAX);
}

}  // namespace
