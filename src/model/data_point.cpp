#include "model/data_point.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr std::array<int32_t, 13> kCommonYear = {0,   31,  59,  90,  120, 151, 181,
                                                 212, 243, 273, 304, 334, 365};
constexpr std::array<int32_t, 13> kLeapYear = {0,   31,  60,  91,  121, 152, 182,
                                               213, 244, 274, 305, 335, 366};

// Floor division, so that serials before year 1 still give a consistent date.
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

const std::array<int32_t, 13>& CumulativeDays(int64_t year) {
    return year % 4 == 0 ? kLeapYear : kCommonYear;
}

int64_t DateToSerial(int64_t day, int32_t month, int64_t year) {
    // Floor division, as SetSerial counts: the same as truncation from year 1 on, and years
    // before it (which only a file or a far window holds) keep one serial per day.
    return 365 * year + FloorDiv(year - 1, 4) +
           CumulativeDays(year)[static_cast<size_t>(month - 1)] + day;
}

void CDataPoint::SetDate(int32_t day, int32_t month, int32_t year) {
    // Historical series start in the 1800s: a year of four digits is the year it says. Only
    // short years are completed.
    int64_t normalised = year;
    if (year < 1000) {
        normalised += year < 50 ? 2000 : 1900;
    }
    // year < 1000 leaves room for + 2000
    SetStoredDate(day, month, static_cast<int32_t>(normalised));
}

void CDataPoint::SetStoredDate(int32_t day, int32_t month, int32_t year) {
    m_day = day;
    m_month = month;
    m_year = year;
    if (month < 1 || month > 12) {
        return;
    }
    int64_t serial = DateToSerial(day, month, m_year);
    if (serial < std::numeric_limits<int32_t>::min() ||
        serial > std::numeric_limits<int32_t>::max()) {
        return;
    }
    m_serial = static_cast<int32_t>(serial);
}

void CDataPoint::SetSerial(int32_t s) {
    m_serial = s;
    // Each 1461-day cycle holds three common years followed by one leap year; serial 366 is
    // 1 January of year 1.
    int64_t u = static_cast<int64_t>(s) - 366;
    int64_t q = FloorDiv(u, 1461);
    int64_t w = u - q * 1461;
    int64_t r = w / 365 < 3 ? w / 365 : 3;
    int64_t year = 4 * q + 1 + r;
    int32_t dayOfYear = static_cast<int32_t>(w - 365 * r + 1);
    const auto& table = CumulativeDays(year);
    int32_t month = 1;
    while (month < 12 && table[static_cast<size_t>(month)] < dayOfYear) {
        ++month;
    }
    m_year = static_cast<int32_t>(year);  // |year| < 2^31 / 365 for any 32-bit serial
    m_month = month;
    m_day = dayOfYear - table[static_cast<size_t>(month - 1)];
}

void CDataPoint::CopyDate(const CDataPoint& other) {
    m_serial = other.m_serial;
    m_year = other.m_year;
    m_day = other.m_day;
    m_month = other.m_month;
}

int32_t CDataPoint::GetDaysInMonth() const {
    if (m_month < 1 || m_month > 12) {
        return 0;
    }
    const auto& table = CumulativeDays(m_year);
    return table[static_cast<size_t>(m_month)] - table[static_cast<size_t>(m_month - 1)];
}

std::string CDataPoint::FormatDate() const {
    char text[48];
    std::snprintf(text, sizeof text, "%d/%d/%d", m_month, m_day, m_year);
    return text;
}
