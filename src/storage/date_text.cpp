#include "storage/date_text.h"

#include <algorithm>
#include <cmath>

#include "storage/field_splitter.h"
#include "storage/month_words.h"
#include "storage/text_scanner.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool AllOf(std::string_view text, bool (*kind)(char)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), kind);
}

bool AllDigits(std::string_view text) {
    return AllOf(text, IsDigit);
}

bool AllLetters(std::string_view text) {
    return AllOf(text, IsLetter);
}

bool IsMeridiemOrZone(std::string_view word) {
    return word == "AM" || word == "PM" || word == "am" || word == "pm" || word == "UTC" ||
           word == "GMT" || word == "Z";
}

// English weekday names and abbreviations that some exports put before a date.
bool IsWeekday(std::string_view word) {
    static constexpr std::array<std::string_view, 14> kDays = {
        "mon",    "tue",     "wed",       "thu",      "fri",    "sat",      "sun",
        "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};
    if (word.ends_with('.')) {
        word.remove_suffix(1);
    }
    if (word.size() < 3 || word.size() > 9) {
        return false;
    }
    char lower[9];
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view folded(lower, word.size());
    return std::find(kDays.begin(), kDays.end(), folded) != kDays.end();
}

// A date text cut into its parts: at most three numbers and words, and whether a time of day
// followed.
struct CDateParts {
    std::array<std::string_view, 3> part;
    size_t count = 0;
    bool timed = false;
    bool clean = true;
};

bool IsWordSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t';
}

// A word of separators alone ("2003-01-02,.") is no part of a date.
void AddParts(std::string_view word, CDateParts& parts) {
    const size_t before = parts.count;
    size_t from = 0;
    for (size_t i = 0; i <= word.size(); ++i) {
        if (i < word.size() && !CTextScanner::IsDateSeparator(word[i])) {
            continue;
        }
        if (i > from) {
            if (parts.count == parts.part.size()) {
                parts.clean = false;
                return;
            }
            parts.part[parts.count++] = word.substr(from, i - from);
        }
        from = i + 1;
    }
    parts.clean = parts.clean && parts.count > before;
}

CDateParts SplitParts(std::string_view text) {
    CDateParts parts;
    // "2020-01-02T09:30:00Z": the T joins a date and a time.
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == 'T' && IsDigit(text[i - 1]) && IsDigit(text[i + 1])) {
            std::string_view time = text.substr(i + 1);
            if (!IsTimeOfDay(time.substr(0, time.find(' ')))) {
                parts.clean = false;
                return parts;
            }
            parts.timed = true;
            text = text.substr(0, i);
            break;
        }
    }
    size_t i = 0;
    bool afterTime = false;
    while (i < text.size() && parts.clean) {
        while (i < text.size() && IsWordSeparator(text[i])) {
            ++i;
        }
        size_t end = i;
        while (end < text.size() && !IsWordSeparator(text[end])) {
            ++end;
        }
        if (end == i) {
            break;
        }
        std::string_view word = text.substr(i, end - i);
        i = end;
        if (afterTime) {
            parts.clean = IsMeridiemOrZone(word);  // "9:30 AM", "16:00 UTC"
        } else if (parts.count == 0 && IsWeekday(word)) {
            continue;  // "Tuesday, January 2, 2024"
        } else if (parts.count > 0 && IsTimeOfDay(word)) {
            parts.timed = afterTime = true;
        } else {
            AddParts(word, parts);
        }
    }
    for (size_t k = 0; k < parts.count && parts.clean; ++k) {
        parts.clean = AllDigits(parts.part[k]) || AllLetters(parts.part[k]);
    }
    return parts;
}

int32_t Number(std::string_view digits) {
    return CTextScanner::ToInt(digits);
}

int32_t DaysInMonth(int32_t month, int32_t year) {
    static constexpr std::array<int32_t, 12> kDays = {31, 28, 31, 30, 31, 30,
                                                      31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<size_t>(month - 1)];
}

// The civil date of a count of days since 1 January 1970 (H. Hinnant's algorithm).
CCivilDate CivilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    CCivilDate date;
    date.day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
    date.month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<int32_t>(yoe + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

// Days from 1 January 1970 back to the spreadsheets' day 0, 30 December 1899 (their day 60 is
// the 29 February 1900 that never was, so later days count from here).
constexpr int64_t kSpreadsheetEpoch = -25569;

EDateText Checked(int32_t day, int32_t month, int32_t year, CCivilDate& date) {
    if (month < 1 || month > 12 || day < 1 || year < 1 || !IsCalendarDay(day, month, year)) {
        return EDateText::BadDate;
    }
    date = {day, month, year};
    return EDateText::Ok;
}

// Digit counts that a day, a month and a year may have.
bool DayDigits(std::string_view p) {
    return AllDigits(p) && p.size() <= 2;
}
bool YearDigits(std::string_view p) {
    return AllDigits(p) && p.size() <= 4;
}

EDateText ReadWholeNumber(std::string_view text, const CDateLayout& layout, CCivilDate& date,
                          bool& timed) {
    if (text.size() == 8 && AllDigits(text)) {  // 20240102
        return Checked(Number(text.substr(6, 2)), Number(text.substr(4, 2)),
                       Number(text.substr(0, 4)), date);
    }
    double value = 0.0;
    const CDateLayout::ENumbers kind = WholeNumberKind(text, value);
    if (kind == CDateLayout::ENumbers::None || kind != layout.numbers) {
        return EDateText::NoDate;
    }
    timed = true;
    int64_t days = 0;
    if (kind == CDateLayout::ENumbers::EpochSeconds) {
        days = static_cast<int64_t>(std::floor(value / 86400.0));
    } else if (kind == CDateLayout::ENumbers::EpochMilliseconds) {
        days = static_cast<int64_t>(std::floor(value / 86400000.0));
    } else {
        timed = value != std::floor(value);
        days = static_cast<int64_t>(std::floor(value)) + kSpreadsheetEpoch;
    }
    date = CivilFromDays(days);
    return EDateText::Ok;
}

}  // namespace

bool IsCalendarDay(int32_t day, int32_t month, int32_t year) {
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, year);
}

int32_t ExpandYear(int32_t year, size_t digits) {
    if (digits >= 4) {
        return year;
    }
    if (year <= 50) {
        return year + 2000;
    }
    return year <= 999 ? year + 1900 : year;
}

CDateLayout::ENumbers WholeNumberKind(std::string_view text, double& value) {
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    if (!AllDigits(whole) ||
        (point != std::string_view::npos && !AllDigits(text.substr(point + 1)))) {
        return CDateLayout::ENumbers::None;
    }
    value = CTextScanner::ToDouble(text);
    if (whole.size() == 5) {
        return CDateLayout::ENumbers::SpreadsheetDays;
    }
    if (point != std::string_view::npos) {
        return CDateLayout::ENumbers::None;
    }
    if (whole.size() == 9 || whole.size() == 10) {
        return CDateLayout::ENumbers::EpochSeconds;
    }
    if (whole.size() == 12 || whole.size() == 13) {
        return CDateLayout::ENumbers::EpochMilliseconds;
    }
    return CDateLayout::ENumbers::None;
}

bool ReadNumberDate(std::string_view text, CNumberDate& date) {
    const CDateParts parts = SplitParts(CTextScanner::Trim(text));
    if (!parts.clean || parts.count != 3) {
        return false;
    }
    for (size_t k = 0; k < 3; ++k) {
        const std::string_view p = parts.part[k];
        if (!AllDigits(p) || p.size() > 4) {
            return false;
        }
        date.value[k] = Number(p);
        date.digits[k] = static_cast<int32_t>(p.size());
    }
    return date.digits[0] != 4;
}

bool NumberDateIn(const CNumberDate& number, int32_t order, CCivilDate& date) {
    size_t d = 0;
    size_t m = 1;
    size_t y = 2;
    if (order == CDateLayout::kMonthFirst) {
        d = 1;
        m = 0;
    } else if (order == CDateLayout::kYearFirst) {
        y = 0;
        d = 2;
    }
    if (number.digits[d] > 2 || number.digits[m] > 2) {
        return false;
    }
    const int32_t year = ExpandYear(number.value[y], static_cast<size_t>(number.digits[y]));
    return Checked(number.value[d], number.value[m], year, date) == EDateText::Ok;
}

EDateText ReadDateText(std::string_view text, const CDateLayout& layout, CCivilDate& date,
                       bool& timed, std::string_view* word) {
    text = CTextScanner::Trim(text);
    timed = false;
    // The ISO date of most files, read without cutting it up.
    if (text.size() == 10 && text[4] == '-' && text[7] == '-' && AllDigits(text.substr(0, 4)) &&
        AllDigits(text.substr(5, 2)) && AllDigits(text.substr(8, 2))) {
        return Checked(Number(text.substr(8, 2)), Number(text.substr(5, 2)),
                       Number(text.substr(0, 4)), date);
    }
    if (layout.numbers != CDateLayout::ENumbers::None || (text.size() == 8 && AllDigits(text))) {
        const EDateText whole = ReadWholeNumber(text, layout, date, timed);
        if (whole != EDateText::NoDate) {
            return whole;
        }
    }
    const CDateParts parts = SplitParts(text);
    timed = parts.timed;
    if (!parts.clean || parts.count < 2) {
        return EDateText::NoDate;
    }
    const auto& p = parts.part;
    if (parts.count == 2) {
        // "2015-01": a month, the 1st.
        if (p[0].size() == 4 && AllDigits(p[0]) && DayDigits(p[1])) {
            return Checked(1, Number(p[1]), Number(p[0]), date);
        }
        // "Jan 2015" and "1988 JAN".
        const bool yearFirst = p[0].size() == 4 && AllDigits(p[0]);
        const std::string_view year = yearFirst ? p[0] : p[1];
        const int32_t month = MonthFromWord(yearFirst ? p[1] : p[0]);
        if (month != 0 && year.size() == 4 && AllDigits(year)) {
            return Checked(1, month, Number(year), date);
        }
        return EDateText::NoDate;
    }
    // A month word: "02 Jan 2024", "01-JAN-2020", "2020-Jan-02", "Jan 2, 2024".
    for (size_t w = 0; w < 2; ++w) {
        if (!AllLetters(p[w])) {
            continue;
        }
        const bool yearFirst = w == 1 && p[0].size() == 4;
        const std::string_view day = w == 0 ? p[1] : yearFirst ? p[2] : p[0];
        const std::string_view year = w == 0 || !yearFirst ? p[2] : p[0];
        if (!DayDigits(day) || !YearDigits(year)) {
            return EDateText::NoDate;
        }
        const int32_t month = MonthFromWord(p[w]);
        if (month == 0) {
            if (word != nullptr) {
                *word = p[w];
            }
            return LooksLikeMonthWord(p[w]) ? EDateText::UnknownMonth : EDateText::NoDate;
        }
        return Checked(Number(day), month, ExpandYear(Number(year), year.size()), date);
    }
    if (!AllDigits(p[0]) || !AllDigits(p[1]) || !AllDigits(p[2])) {
        return EDateText::NoDate;
    }
    if (p[0].size() == 4) {  // year first
        if (!DayDigits(p[1]) || !DayDigits(p[2])) {
            return EDateText::NoDate;
        }
        return Checked(Number(p[2]), Number(p[1]), Number(p[0]), date);
    }
    CNumberDate number;
    for (size_t k = 0; k < 3; ++k) {
        if (p[k].size() > 4) {
            return EDateText::NoDate;
        }
        number.value[k] = Number(p[k]);
        number.digits[k] = static_cast<int32_t>(p[k].size());
    }
    return NumberDateIn(number, layout.order, date) ? EDateText::Ok : EDateText::BadDate;
}
