#include "storage/field_splitter.h"

#include <algorithm>
#include <array>

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

// Separators outside quotes on one line.
size_t CountOutsideQuotes(std::string_view line, char separator) {
    size_t count = 0;
    bool inQuotes = false;
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == separator && !inQuotes) {
            ++count;
        }
    }
    return count;
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

char CFieldSplitter::Detect(const std::vector<std::string>& lines) {
    for (char candidate : {'\t', ';', '|'}) {
        size_t expected = 0;
        bool steady = true;
        for (const std::string& line : lines) {
            size_t n = CountOutsideQuotes(line, candidate);
            if (n == 0) {
                continue;  // notes and blank lines do not vote
            }
            steady = steady && (expected == 0 || n == expected);
            expected = n;
        }
        if (expected > 0 && steady) {
            return candidate;
        }
    }
    bool quotes = false;
    bool commas = false;
    for (const std::string& line : lines) {
        quotes = quotes || line.find('"') != std::string::npos;
        commas = commas || line.find(',') != std::string::npos;
    }
    return quotes ? ',' : commas ? 0 : ' ';
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

void CFieldSplitter::SplitClassic(std::string_view line, size_t needed, size_t dateField) {
    size_t i = 0;
    const size_t n = line.size();
    // Leading separators open no field.
    while (i < n && (line[i] == ',' || line[i] == ' ')) {
        ++i;
    }
    while (i < n && m_fields.size() < needed) {
        size_t start = i;
        while (i < n && line[i] != ',' && line[i] != ' ') {
            ++i;
        }
        size_t end = i;
        // A time of day after the date, blanks only between, belongs to the date.
        if (m_fields.size() == dateField) {
            size_t j = i;
            while (j < n && line[j] == ' ') {
                ++j;
            }
            for (int part = 0; part < 2 && j > i; ++part) {
                size_t k = j;
                while (k < n && line[k] != ',' && line[k] != ' ') {
                    ++k;
                }
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
        while (i < n && (line[i] == ',' || line[i] == ' ')) {
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
