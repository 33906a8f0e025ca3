#include "storage/field_splitter.h"

#include <algorithm>
#include <array>

#include "storage/date_text.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsMeridiem(std::string_view text) {
    return text == "AM" || text == "PM" || text == "am" || text == "pm";
}

}  // namespace

bool IsTimeOfDay(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    if (i == 0 || i > 2 || i >= text.size() || text[i] != ':') {
        return false;
    }
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), [](char c) {
        return IsDigit(c) || c == ':' || c == '.' || c == 'Z' || c == '+' || c == '-';
    });
}

void CFieldSplitter::Split(std::string_view line, size_t needed, size_t dateField) {
    m_fields.clear();
    m_quoted.clear();
    if (needed == 0) {
        needed = line.size() + 1;
    }
    if (m_separator == 0 || m_separator == ' ') {
        SplitClassic(line, needed, dateField);
    } else {
        SplitDelimited(line, needed);
    }
}

// The end of the token that starts at `i`: the next separator or the line's end.
size_t CFieldSplitter::TokenEnd(std::string_view line, size_t i) const {
    while (i < line.size() && !IsClassicSeparator(line[i])) {
        ++i;
    }
    return i;
}

// Where a date written in words ends when it started at `start` and its first token ends at
// `end`: "02 Jan 2024", "Jan 2, 2024", "2. Januar 2024" keep their blanks (and the comma after
// the day); npos when the tokens after it make no such date.
size_t CFieldSplitter::WordDateEnd(std::string_view line, size_t start, size_t end) const {
    const std::string_view first = line.substr(start, end - start);
    const bool digitFirst = !first.empty() && IsDigit(first.front()) && first.size() <= 3;
    const bool wordFirst = !first.empty() && !IsDigit(first.front());
    if (!digitFirst && !wordFirst) {
        return std::string_view::npos;
    }
    size_t at = end;
    for (int token = 0; token < 2; ++token) {
        size_t next = at;
        int commas = 0;
        while (next < line.size() && IsClassicSeparator(line[next])) {
            commas += line[next] == ',' ? 1 : 0;
            ++next;
        }
        // Only blanks between the words; one comma may follow the day of "Jan 2, 2024".
        if (next == at || next >= line.size() || commas > (wordFirst && token == 1 ? 1 : 0)) {
            return std::string_view::npos;
        }
        if (token == 0 && digitFirst == IsDigit(line[next])) {
            return std::string_view::npos;  // a month word must follow a day, a day a word
        }
        at = TokenEnd(line, next);
    }
    CCivilDate date;
    bool timed = false;
    const EDateText read = ReadDateText(line.substr(start, at - start), CDateLayout(), date, timed);
    return read == EDateText::Ok || read == EDateText::UnknownMonth ? at : std::string_view::npos;
}

void CFieldSplitter::SplitClassic(std::string_view line, size_t needed, size_t dateField) {
    size_t i = 0;
    const size_t n = line.size();
    // Leading separators open no field.
    while (i < n && IsClassicSeparator(line[i])) {
        ++i;
    }
    while (i < n && m_fields.size() < needed) {
        size_t start = i;
        i = TokenEnd(line, i);
        size_t end = i;
        if (m_fields.size() == dateField && i < n && line[i] == ' ') {
            const size_t words = WordDateEnd(line, start, end);
            if (words != std::string_view::npos) {
                end = i = words;
            }
        }
        // A time of day after the date, blanks only between, belongs to the date.
        if (m_fields.size() == dateField) {
            size_t j = i;
            while (j < n && line[j] == ' ') {
                ++j;
            }
            for (int part = 0; part < 2 && j > i; ++part) {
                size_t k = TokenEnd(line, j);
                std::string_view next = line.substr(j, k - j);
                if (!(part == 0 ? IsTimeOfDay(next) : IsMeridiem(next))) {
                    break;
                }
                end = i = k;
                j = k;
                while (j < n && line[j] == ' ') {
                    ++j;
                }
            }
        }
        m_fields.push_back(line.substr(start, end - start));
        m_quoted.push_back(0);
        // Every comma after the first in this run of separators closes an empty field.
        bool comma = false;
        while (i < n && IsClassicSeparator(line[i])) {
            if (line[i] == ',') {
                if (comma && m_fields.size() < needed) {
                    m_fields.emplace_back();
                    m_quoted.push_back(0);
                }
                comma = true;
            }
            ++i;
        }
    }
}

void CFieldSplitter::SplitDelimited(std::string_view line, size_t needed) {
    m_unquoted.clear();
    m_unquoted.reserve(line.size());  // views into it must not move
    size_t i = 0;
    const size_t n = line.size();
    while (m_fields.size() < needed) {
        size_t start = i;
        while (i < n && IsBlank(line[i]) && line[i] != m_separator) {
            ++i;
        }
        if (i < n && line[i] == '"') {
            size_t from = m_unquoted.size();
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        m_unquoted += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                m_unquoted += line[i++];
            }
            // Anything between the closing quote and the separator is dropped.
            while (i < n && line[i] != m_separator) {
                ++i;
            }
            m_fields.push_back(std::string_view(m_unquoted).substr(from));
            m_quoted.push_back(1);
        } else {
            i = start;
            while (i < n && line[i] != m_separator) {
                ++i;
            }
            m_fields.push_back(TrimBlanks(line.substr(start, i - start)));
            m_quoted.push_back(0);
        }
        if (i >= n) {
            break;
        }
        ++i;  // the separator
    }
}
