#include "model/data_point.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "support/series_builder.h"

namespace {

// Month lengths written out independently of the code under test: every year divisible by
// four is a leap year, 1900 and 2100 included.
int32_t MonthLength(int32_t month, int32_t year) {
    static constexpr int32_t kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (month == 2 && year % 4 == 0) ? 29 : kLengths[month - 1];
}

int32_t SerialOf(int32_t day, int32_t month, int32_t year) {
    return MakePoint(day, month, year).m_serial;
}

void ExpectDate(const CDataPoint& p, int32_t day, int32_t month, int32_t year) {
    EXPECT_EQ(p.m_day, day);
    EXPECT_EQ(p.m_month, month);
    EXPECT_EQ(p.m_year, year);
}

// A date SetSerial can produce: a month of the table and a day inside that month.
void ExpectWellFormed(const CDataPoint& p) {
    ASSERT_GE(p.m_month, 1) << "serial " << p.m_serial;
    ASSERT_LE(p.m_month, 12) << "serial " << p.m_serial;
    ASSERT_GE(p.m_day, 1) << "serial " << p.m_serial;
    ASSERT_LE(p.m_day, p.GetDaysInMonth()) << "serial " << p.m_serial;
}

TEST(DataPoint, NewPointHoldsFirstOfJanuary2000WithSerialOne) {
    CDataPoint p;
    EXPECT_EQ(p.m_serial, 1);
    ExpectDate(p, 1, 1, 2000);
    EXPECT_EQ(p.m_flag, 0);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(p.GetValue(slot), 0.0);
    }
}

TEST(DataPoint, KnownSerials) {
    EXPECT_EQ(SerialOf(31, 12, 1999), 730499);
    EXPECT_EQ(SerialOf(1, 1, 2000), 730500);
    EXPECT_EQ(SerialOf(28, 2, 2000), 730558);
    EXPECT_EQ(SerialOf(29, 2, 2000), 730559);
    EXPECT_EQ(SerialOf(1, 3, 2000), 730560);
    EXPECT_EQ(SerialOf(31, 12, 2000), 730865);
    EXPECT_EQ(SerialOf(1, 1, 2001), 730866);
    EXPECT_EQ(SerialOf(1, 1, 2003), 731596);

    ExpectDate(PointAt(730865), 31, 12, 2000);
    ExpectDate(PointAt(730866), 1, 1, 2001);
    ExpectDate(PointAt(366), 1, 1, 1);
}

// The round trip below checks the leap years through the serials.
TEST(DataPoint, DaysInMonth) {
    struct Case {
        int32_t month, year, days;
    };
    for (Case c : {Case{2, 2000, 29}, Case{2, 1900, 29}, Case{2, 2001, 28}, Case{12, 2001, 31},
                   Case{4, 2001, 30}, Case{13, 2001, 0}}) {
        EXPECT_EQ(MakePoint(1, c.month, c.year).GetDaysInMonth(), c.days)
            << c.month << "/" << c.year;
    }
}

// Walks the calendar day by day: serials grow by exactly one and SetSerial gives the date back.
// Every year divisible by four is a leap year, 1900 and 2100 included.
TEST(DataPoint, SerialRoundTripsEveryDayFrom1900To2100) {
    int32_t previous = SerialOf(1, 1, 1900) - 1;
    int64_t days = 0;
    for (int32_t year = 1900; year <= 2100; ++year) {
        for (int32_t month = 1; month <= 12; ++month) {
            for (int32_t day = 1; day <= MonthLength(month, year); ++day) {
                const int32_t serial = SerialOf(day, month, year);
                ASSERT_EQ(serial, previous + 1) << day << "/" << month << "/" << year;
                CDataPoint back = PointAt(serial);
                ASSERT_EQ(back.m_day, day) << "serial " << serial;
                ASSERT_EQ(back.m_month, month) << "serial " << serial;
                ASSERT_EQ(back.m_year, year) << "serial " << serial;
                previous = serial;
                ++days;
            }
        }
    }
    EXPECT_EQ(days, 201 * 365 + 51);
    EXPECT_EQ(previous, SerialOf(31, 12, 2100));
}

// Beyond 2100, up to the last 32-bit serial, SetDate inverts SetSerial.
TEST(DataPoint, SetDateInvertsSetSerialUpToTheLargestSerial) {
    const int32_t first = SerialOf(1, 1, 1900);
    const int64_t stride = 997;  // prime, so every day of the year and cycle gets visited
    for (int64_t s = first; s <= INT_MAX; s += stride) {
        CDataPoint p = PointAt(static_cast<int32_t>(s));
        ASSERT_EQ(SerialOf(p.m_day, p.m_month, p.m_year), s);
    }
    CDataPoint last = PointAt(INT_MAX);
    EXPECT_EQ(SerialOf(last.m_day, last.m_month, last.m_year), INT_MAX);
}

TEST(DataPoint, ShortYearsAreNormalised) {
    struct Case {
        int32_t given;
        int32_t stored;
    };
    for (Case c : {Case{0, 2000}, Case{1, 2001}, Case{49, 2049}, Case{50, 1950}, Case{99, 1999},
                   Case{100, 2000}, Case{1899, 3799}, Case{1900, 1900}, Case{2003, 2003}}) {
        CDataPoint p;
        p.SetDate(7, 3, c.given);
        EXPECT_EQ(p.m_year, c.stored) << "year " << c.given;
        EXPECT_EQ(p.m_serial, SerialOf(7, 3, c.stored)) << "year " << c.given;
    }
}

TEST(DataPoint, DayIsNotCheckedAgainstTheMonth) {
    EXPECT_EQ(SerialOf(31, 4, 2001), SerialOf(1, 5, 2001));
    EXPECT_EQ(SerialOf(30, 2, 2001), SerialOf(2, 3, 2001));
    EXPECT_EQ(SerialOf(0, 3, 2000), SerialOf(29, 2, 2000));
    EXPECT_EQ(SerialOf(-5, 3, 2000), SerialOf(1, 3, 2000) - 6);
}

TEST(DataPoint, MonthOutsideTheYearKeepsTheSerial) {
    for (int32_t month : {13, 0, -1, INT_MAX, INT_MIN}) {
        CDataPoint p;
        p.SetDate(1, 1, 2000);
        p.SetDate(1, month, 2001);
        EXPECT_EQ(p.m_serial, 730500) << "month " << month;
        ExpectDate(p, 1, month, 2001);
    }
}

// The ASan/UBSan build turns any signed overflow here into a failure.
TEST(DataPoint, DatesBeyondThe32BitRangeKeepTheSerial) {
    struct Case {
        int32_t day;
        int32_t month;
        int32_t year;
        int32_t storedYear;
    };
    for (Case c : {Case{1, 1, INT_MAX, INT_MAX}, Case{1, 1, INT_MIN, INT_MIN + 2000},
                   Case{31, 12, INT_MAX, INT_MAX}, Case{INT_MAX, 1, 2000, 2000},
                   Case{INT_MAX, 12, INT_MAX, INT_MAX}, Case{INT_MIN, 1, INT_MIN, INT_MIN + 2000},
                   Case{INT_MAX, 1, 1900, 1900}}) {
        CDataPoint p;
        p.SetDate(1, 1, 2000);
        p.SetDate(c.day, c.month, c.year);
        EXPECT_EQ(p.m_serial, 730500) << c.day << "/" << c.month << "/" << c.year;
        ExpectDate(p, c.day, c.month, c.storedYear);
    }

    // A far-out day that still fits gets its serial.
    EXPECT_EQ(SerialOf(INT_MIN, 1, 2000), int64_t{INT_MIN} + 730499);

    // The date of the largest serial fits; the day after it does not.
    CDataPoint last = PointAt(INT_MAX);
    CDataPoint p;
    p.SetDate(1, 1, 2000);
    p.SetDate(last.m_day + 1, last.m_month, last.m_year);
    EXPECT_EQ(p.m_serial, 730500);
    p.SetDate(last.m_day, last.m_month, last.m_year);
    EXPECT_EQ(p.m_serial, INT_MAX);
}

TEST(DataPoint, AnySerialGivesAWellFormedDate) {
    for (int64_t centre : {int64_t{INT_MIN}, int64_t{0}, int64_t{INT_MAX}}) {
        for (int64_t s = centre - 1500; s <= centre + 1500; ++s) {
            if (s < INT_MIN || s > INT_MAX) {
                continue;
            }
            CDataPoint p = PointAt(static_cast<int32_t>(s));
            EXPECT_EQ(p.m_serial, s);
            ExpectWellFormed(p);
        }
    }
}

TEST(DataPoint, FormatDateHasNoLeadingZeros) {
    CDataPoint p;
    p.SetDate(7, 3, 2001);
    EXPECT_EQ(p.FormatDate(), "3/7/2001");
    p.SetDate(25, 12, 1999);
    EXPECT_EQ(p.FormatDate(), "12/25/1999");

    p.m_day = INT_MIN;
    p.m_month = INT_MIN;
    p.m_year = INT_MIN;
    EXPECT_EQ(p.FormatDate(), "-2147483648/-2147483648/-2147483648");
}

}  // namespace
