#include "model/data_point.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <tuple>

#include "support/series_builder.h"

namespace {

std::tuple<int32_t, int32_t, int32_t, int32_t> DateAndSerial(const CDataPoint& p) {
    return {p.m_day, p.m_month, p.m_year, p.m_serial};
}

TEST(DataPoint, KnownSerialsAndDaysOutsideTheMonth) {
    EXPECT_EQ(SerialOf(1, 1, 2000), 730500);
    EXPECT_EQ(PointAt(366).FormatDate(), "1/1/1");  // no leading zeros
    EXPECT_EQ(SerialOf(31, 4, 2001), SerialOf(1, 5, 2001));
    EXPECT_EQ(SerialOf(-5, 3, 2000), SerialOf(1, 3, 2000) - 6);
    EXPECT_EQ(MakePoint(1, 13, 2001).GetDaysInMonth(), 0);
    CDataPoint p;
    p.m_day = p.m_month = p.m_year = INT_MIN;
    EXPECT_EQ(p.FormatDate(), "-2147483648/-2147483648/-2147483648");
}

// Walks the calendar day by day: serials grow by exactly one and SetSerial gives the date back.
// Month lengths are written out here: every year divisible by four is a leap year, 1900 and
// 2100 included. Beyond, up to the last 32-bit serial, SetDate inverts SetSerial; near both ends
// of the serial range every serial gives a date of the table.
TEST(DataPoint, SerialsAndDatesMapOneToOne) {
    static constexpr int32_t kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int32_t serial = SerialOf(1, 1, 1900);
    for (int32_t year = 1900; year <= 2100; ++year) {
        for (int32_t month = 1; month <= 12; ++month) {
            const int32_t length = month == 2 && year % 4 == 0 ? 29 : kLengths[month - 1];
            ASSERT_EQ(MakePoint(1, month, year).GetDaysInMonth(), length);
            for (int32_t day = 1; day <= length; ++day, ++serial) {
                ASSERT_EQ(DateAndSerial(PointAt(serial)), std::tuple(day, month, year, serial));
                ASSERT_EQ(SerialOf(day, month, year), serial);
            }
        }
    }
    EXPECT_EQ(serial - SerialOf(1, 1, 1900), 201 * 365 + 51);

    for (int64_t centre : {int64_t{INT_MIN}, int64_t{0}, int64_t{INT_MAX}}) {
        for (int64_t s = std::max<int64_t>(centre - 1500, INT_MIN);
             s <= std::min<int64_t>(centre + 1500, INT_MAX); ++s) {
            const CDataPoint p = PointAt(static_cast<int32_t>(s));
            ASSERT_EQ(p.m_serial, s);
            ASSERT_TRUE(p.m_month >= 1 && p.m_month <= 12) << "serial " << s;
            ASSERT_TRUE(p.m_day >= 1 && p.m_day <= p.GetDaysInMonth()) << "serial " << s;
        }
    }
    const CDataPoint last = PointAt(INT_MAX);
    EXPECT_EQ(SerialOf(last.m_day, last.m_month, last.m_year), INT_MAX);
}

// Years of four digits are what they say (historical series start in the 1800s); shorter ones
// are completed, three-digit ones too.
TEST(DataPoint, ShortYearsAreNormalised) {
    using Case = std::pair<int32_t, int32_t>;
    for (auto [given, stored] :
         {Case{0, 2000}, Case{49, 2049}, Case{50, 1950}, Case{99, 1999}, Case{100, 2000},
          Case{999, 2899}, Case{1000, 1000}, Case{1871, 1871}}) {
        EXPECT_EQ(DateAndSerial(MakePoint(7, 3, given)),
                  std::tuple(7, 3, stored, SerialOf(7, 3, stored)))
            << "year " << given;
    }
}

// A month outside the year, or a date too far out for a 32-bit serial, keeps the serial. The
// ASan/UBSan build turns any signed overflow here into a failure.
TEST(DataPoint, DatesWithoutASerialKeepTheSerial) {
    const CDataPoint last = PointAt(INT_MAX);
    struct Case {
        int32_t day, month, year, storedYear;
    };
    for (Case c : {Case{1, 13, 2001, 2001}, Case{1, 0, 2001, 2001}, Case{1, INT_MIN, 2001, 2001},
                   Case{INT_MAX, 12, INT_MAX, INT_MAX}, Case{INT_MIN, 1, INT_MIN, INT_MIN + 2000},
                   // The day after the date of the largest serial.
                   Case{last.m_day + 1, last.m_month, last.m_year, last.m_year}}) {
        CDataPoint p = MakePoint(1, 1, 2000);
        p.SetDate(c.day, c.month, c.year);
        EXPECT_EQ(DateAndSerial(p), std::tuple(c.day, c.month, c.storedYear, 730500))
            << c.day << "/" << c.month << "/" << c.year;
    }
    // A far-out day that still fits gets its serial.
    EXPECT_EQ(SerialOf(INT_MIN, 1, 2000), int64_t{INT_MIN} + 730499);
}

}  // namespace
