#include "storage/number_style.h"

#include <array>
#include <cmath>
#include <string>

#include "storage/text_scanner.h"

namespace {

constexpr size_t kLongestNumber = 400;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Trims blanks, no-break and thin blanks too.
std::string_view TrimAllBlanks(std::string_view text) {
    static constexpr std::array<std::string_view, 3> kWide = {"\xC2\xA0", "\xE2\x80\xAF",
                                                              "\xE2\x80\x89"};
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        text = CTextScanner::Trim(text);
        for (std::string_view blank : kWide) {
            if (text.starts_with(blank)) {
                text.remove_prefix(blank.size());
                trimmed = true;
            }
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                trimmed = true;
            }
        }
    }
    return text;
}

// Removes one currency sign from the front or the back, in UTF-8.
std::string_view WithoutCurrency(std::string_view text) {
    static constexpr std::array<std::string_view, 4> kSigns = {"$", "\xE2\x82\xAC", "\xC2\xA3",
                                                               "\xC2\xA5"};
    for (std::string_view sign : kSigns) {
        if (text.starts_with(sign)) {
            return TrimAllBlanks(text.substr(sign.size()));
        }
        if (text.ends_with(sign)) {
            return TrimAllBlanks(text.substr(0, text.size() - sign.size()));
        }
    }
    return text;
}

// The thousands marks besides the other of '.' and ',': apostrophes (Swiss), no-break and
// thin blanks (French) and a plain blank inside a field.
constexpr std::array<std::string_view, 5> kGroupMarks = {"'", "\xE2\x80\x99", "\xC2\xA0",
                                                         "\xE2\x80\xAF", " "};

// The thousands mark at `i`: `mark` or one of kGroupMarks; empty when there is none.
std::string_view GroupMarkAt(std::string_view text, size_t i, char mark) {
    if (i >= text.size()) {
        return {};
    }
    if (text[i] == mark) {
        return text.substr(i, 1);
    }
    for (std::string_view group : kGroupMarks) {
        if (text.substr(i).starts_with(group)) {
            return group;
        }
    }
    return {};
}

// Digits grouped by one thousands mark ("3,257,120", "3'257'120") or not grouped ("3257120");
// appends the digits to `out` and returns where they end, or npos when the grouping is broken.
size_t ReadIntegerPart(std::string_view text, size_t i, char mark, std::string& out) {
    size_t first = i;
    while (i < text.size() && IsDigit(text[i])) {
        out += text[i++];
    }
    size_t lead = i - first;
    const std::string_view group = GroupMarkAt(text, i, mark);
    if (group.empty()) {
        return i;
    }
    if (lead == 0 || lead > 3) {
        return std::string_view::npos;
    }
    while (text.substr(i).starts_with(group)) {
        size_t start = i + group.size();
        size_t end = start;
        while (end < text.size() && IsDigit(text[end])) {
            ++end;
        }
        if (end - start != 3) {
            return std::string_view::npos;
        }
        out.append(text.substr(start, 3));
        i = end;
    }
    return i;
}

// Digits with at most one decimal point and an optional leading minus: the numbers of classic
// files, read in place.
bool IsPlain(std::string_view text) {
    size_t i = !text.empty() && text.front() == '-' ? 1 : 0;
    size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

}  // namespace

bool CNumberStyle::Read(std::string_view text, double& value) const {
    text = CTextScanner::Trim(text);
    if (text.size() >= kLongestNumber) {
        return false;  // no price is written this long: it is no value of ours to guess
    }
    if (m_decimal == '.' && IsPlain(text)) {
        value = CTextScanner::ToDouble(text);
        return std::isfinite(value);
    }
    char sign = 0;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        sign = text.front();
        text = CTextScanner::Trim(text.substr(1));
    }
    text = WithoutCurrency(TrimAllBlanks(text));
    if (text.ends_with('%')) {
        text = TrimAllBlanks(text.substr(0, text.size() - 1));  // the number shown
    }
    if (sign == 0 && !text.empty() && (text.front() == '-' || text.front() == '+')) {
        sign = text.front();  // "$-5.20"
        text.remove_prefix(1);
    }
    // The plain decimals of classic files go straight to the exact reader.
    const char thousands = m_decimal == '.' ? ',' : '.';
    std::string number;
    if (sign == '-') {
        number += '-';
    }
    size_t i = ReadIntegerPart(text, 0, thousands, number);
    if (i == std::string_view::npos) {
        return false;
    }
    size_t integerDigits = number.size() - (sign == '-' ? 1 : 0);
    size_t fractionDigits = 0;
    if (i < text.size() && text[i] == m_decimal) {
        number += '.';
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            number += text[i++];
            ++fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        number += 'e';
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            number += text[i++];
        }
        size_t digits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            number += text[i++];
            ++digits;
        }
        if (digits == 0) {
            return false;
        }
    }
    if (i != text.size()) {
        return false;
    }
    value = CTextScanner::ToDouble(number);
    return std::isfinite(value);
}

char CNumberStyle::Vote(std::string_view text) {
    size_t comma = text.rfind(',');
    size_t point = text.rfind('.');
    if (comma == std::string_view::npos && point == std::string_view::npos) {
        return 0;
    }
    if (comma != std::string_view::npos && point != std::string_view::npos) {
        return comma > point ? ',' : '.';
    }
    const char mark = comma != std::string_view::npos ? ',' : '.';
    const size_t at = comma != std::string_view::npos ? comma : point;
    if (text.find(mark) != at) {
        return mark == ',' ? '.' : ',';  // twice: a thousands mark
    }
    size_t digits = 0;
    while (at + 1 + digits < text.size() && IsDigit(text[at + 1 + digits])) {
        ++digits;
    }
    // Nobody groups thousands after a lone 0 ("0.037", "-0,125") or after more than three
    // digits ("1234.567"): then the mark is decimal.
    size_t lead = 0;
    while (lead < at && IsDigit(text[at - 1 - lead])) {
        ++lead;
    }
    const bool zero = lead == 1 && text[at - 1] == '0';
    return digits == 3 && !zero && lead >= 1 && lead <= 3 ? 0 : mark;
}

bool CNumberStyle::Ambiguous(std::string_view text) {
    text = CTextScanner::Trim(text);
    double a = 0.0;
    double b = 0.0;
    return Vote(text) == 0 && CNumberStyle('.').Read(text, a) && CNumberStyle(',').Read(text, b) &&
           a != b;
}
