#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Reading the dates of raw data files: day, month and year in one of three orders with ".",
// "/", "-", blanks or a comma between them ("6/5/2003", "24.06.28", "Jan 2, 2024",
// "02 Jan 2024", "2. Januar 2024"), year first with four digits ("2020-01-02"), a year and a
// month ("2015-01", the 1st), eight digits ("20240102"), and where the file says so whole
// numbers: seconds or milliseconds since 1970 (UTC) and spreadsheet day numbers. A time of day
// may follow ("2020-01-02 09:30:00", "2020-01-02T09:30:00Z", "1/2/2020 9:30 AM").

// How a file writes its dates, as found in its first lines.
struct CDateLayout {
    static constexpr int32_t kDayFirst = 0;
    static constexpr int32_t kMonthFirst = 1;
    static constexpr int32_t kYearFirst = 2;  // two-digit years first ("24.06.28")
    enum class ENumbers { None, EpochSeconds, EpochMilliseconds, SpreadsheetDays };

    int32_t order = kMonthFirst;  // for dates of three numbers without a four-digit year first
    ENumbers numbers = ENumbers::None;
};

struct CCivilDate {
    int32_t day = 0;
    int32_t month = 0;
    int32_t year = 0;
};

enum class EDateText {
    Ok,
    NoDate,        // words, notes, headers: nothing shaped like a date
    BadDate,       // shaped like a date, but no day of the real calendar
    UnknownMonth,  // a day, a word and a year, the word no month name we know
};

// Reads a date text in the layout. `timed` tells whether a time of day came with it (whole
// seconds and milliseconds always do). `word` gets the month word not known.
EDateText ReadDateText(std::string_view text, const CDateLayout& layout, CCivilDate& date,
                       bool& timed, std::string_view* word = nullptr);

// The three numbers of a date text whose order the file must tell (three numbers, the first
// not of four digits), with their digit counts; false for any other text.
struct CNumberDate {
    std::array<int32_t, 3> value{};
    std::array<int32_t, 3> digits{};
};
bool ReadNumberDate(std::string_view text, CNumberDate& date);

// The date of a number date in an order; false when it is no calendar day.
bool NumberDateIn(const CNumberDate& number, int32_t order, CCivilDate& date);

// What kind of whole number a date text is: seconds since 1970 (9 or 10 digits), milliseconds
// (12 or 13), a spreadsheet day number (5 digits, a fraction allowed), or None.
CDateLayout::ENumbers WholeNumberKind(std::string_view text, double& value);

// Whether the day exists in the real (Gregorian) calendar; 29 February 1900 does not.
bool IsCalendarDay(int32_t day, int32_t month, int32_t year);

// Years written with one to three digits: 0 to 50 are 20xx, 51 to 999 are 19xx; four digits
// or more are the year they say.
int32_t ExpandYear(int32_t year, size_t digits);
