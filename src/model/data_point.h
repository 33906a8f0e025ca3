#pragma once

#include <array>
#include <cstdint>
#include <string>

// The value slots of a data point. Only Raw is stored in project files; the others are derived
// by the analysis and the statistics and recomputed on every run.
enum ValueSlot : int {
    Raw = 0,
    Diff = 1,
    Signal = 2,
    SignalBase = 3,
    Smooth = 4,
    Gross = 5,
    Net = 6,
};
inline constexpr int kSlotCount = 7;

// One calendar date of a series with the values derived for it.
//
// Dates map to day serials that grow by exactly one per calendar day. The calendar is our own:
// every year divisible by four is a leap year, 1900 and 2100 included, so serials of real
// calendars differ outside 1901-2099, and files written by the program rely on this rule.
class CDataPoint {
  public:
    CDataPoint() = default;

    // Stores day and month as given and the normalised year (a year of 1000 or more is used
    // as it is; a year below 1000 is a short year: below 50 means 20xx, otherwise 19xx), then
    // recomputes the serial. The day is not
    // checked against the month (31 April is 1 May). The serial stays as it was when the month
    // lies outside 1 to 12 or when the date lies too far out for a 32-bit serial.
    void SetDate(int32_t day, int32_t month, int32_t year);
    // The same for a date as a project file stores it: the year as written, since every date
    // the program keeps has its year normalised already.
    void SetStoredDate(int32_t day, int32_t month, int32_t year);

    // Stores s and sets year, month and day to the date with serial s. Constant time.
    void SetSerial(int32_t s);

    // Copies serial, year, day and month; flag and values stay.
    void CopyDate(const CDataPoint& other);

    // REQUIRES: 0 <= slot < kSlotCount.
    double GetValue(int slot) const { return m_values[static_cast<size_t>(slot)]; }
    void SetValue(int slot, double value) { m_values[static_cast<size_t>(slot)] = value; }

    // Length of the point's month in the point's year; 0 for a month outside 1 to 12.
    int32_t GetDaysInMonth() const;

    // "month/day/year" without leading zeros: 7 March 2001 gives "3/7/2001".
    std::string FormatDate() const;

    int32_t m_serial = 1;
    int32_t m_year = 2000;
    int32_t m_day = 1;
    int32_t m_month = 1;
    int32_t m_flag = 0;  // 1 while the simulated strategy is in the market
    std::array<double, kSlotCount> m_values{};
};

// Whether a point with market flag `flag` after one with `previousFlag` is a market entry (the
// strategy buys there). The window starts out of the market, so a first point in the market
// counts too.
inline bool EntersMarket(int32_t previousFlag, int32_t flag) {
    return flag == 1 && previousFlag == 0;
}

// Whether it leaves the market there (the strategy sells).
inline bool LeavesMarket(int32_t previousFlag, int32_t flag) {
    return flag == 0 && previousFlag == 1;
}

// Serial of a date by the program's calendar, in 64 bits so that no year can overflow it.
// REQUIRES: 1 <= month <= 12.
int64_t DateToSerial(int64_t day, int32_t month, int64_t year);

// Days of the year before month m (index m - 1), entry 12 the length of the year.
const std::array<int32_t, 13>& CumulativeDays(int64_t year);
