#include "storage/number_style.h"

#include <array>
#include <cmath>
#include <string>

#include "storage/text_scanner.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Removes one currency sign from the front or the back, in UTF-8.
std::string_view WithoutCurrency(std::string_view text) {
    static constexpr std::array<std::string_view, 4> kSigns = {"$", "\xE2\x82\xAC", "\xC2\xA3",
                                                               "\xC2\xA5"};
    for (std::string_view sign : kSigns) {
        if (text.starts_with(sign)) {
            return CTextScanner::Trim(text.substr(sign.size()));
        }
        if (text.ends_with(sign)) {
            return CTextScanner::Trim(text.substr(0, text.size() - sign.size()));
        }
    }
    return text;
}

// Digits grouped by `mark` ("3,257,120") or not grouped ("3257120"); appends the digits to
// `out` and returns where they end, or npos when the grouping is broken.
size_t ReadIntegerPart(std::string_view text, size_t i, char mark, std::string& out) {
    size_t first = i;
    while (i < text.size() && IsDigit(text[i])) {
        out += text[i++];
    }
    size_t lead = i - first;
    if (i >= text.size() || text[i] != mark) {
        return i;
    }
    if (lead == 0 || lead > 3) {
        return std::string_view::npos;
    }
    while (i < text.size() && text[i] == mark) {
        size_t group = i + 1;
        size_t end = group;
        while (end < text.size() && IsDigit(text[end])) {
            ++end;
        }
        if (end - group != 3) {
            return std::string_view::npos;
        }
        out.append(text.substr(group, 3));
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
    if (m_decimal == '.' && IsPlain(text)) {
        value = CTextScanner::ToDouble(text);
        return std::isfinite(value);
    }
    char sign = 0;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        sign = text.front();
        text = CTextScanner::Trim(text.substr(1));
    }
    text = WithoutCurrency(text);
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
    return digits == 3 ? 0 : mark;
}
