#include "storage/text_out.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// Fixed point with five decimals of the largest double: 309 digits, sign, point, decimals.
constexpr size_t kFixedText = 320;
constexpr size_t kShortestFixedText = 360;
// The width of the data point value field.
constexpr size_t kField = 15;

// Five decimals of a value of magnitude 1 to 1e8, the prices of nearly every file, without the
// general conversion. The product with 1e5 lies below 2^47, so it is off the exact product by at
// most 1/64: when it lies further than that from a half, its nearest integer is the exact
// value's rounding, the one the general conversion gives. False for every other value.
bool AppendPlainFixed(std::string& out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1.0 && magnitude < 1e8)) {
        return false;
    }
    const double scaled = magnitude * 100000.0;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 0.02) {
        return false;
    }
    uint64_t units = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    char text[24];
    char* const end = text + sizeof text;
    char* p = end;
    for (int i = 0; i < 5; ++i) {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units != 0);
    if (value < 0.0) {
        *--p = '-';
    }
    out.append(p, end);
    return true;
}

}  // namespace

void AppendInt(std::string& out, int64_t value) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void AppendReal(std::string& out, double value) {
    char text[32];
    // The stream default first, so that every value it holds keeps its bytes; more digits only
    // when it would read back as another number (1234567 as 1.23457e+06).
    for (int precision = 6;; ++precision) {
        auto result =
            std::to_chars(text, text + sizeof text, value, std::chars_format::general, precision);
        double back = 0.0;
        std::from_chars(text, result.ptr, back);
        if (back == value || !std::isfinite(value) || precision >= 17) {
            out.append(text, result.ptr);
            return;
        }
    }
}

void AppendFixedValue(std::string& out, double value) {
    if (AppendPlainFixed(out, value)) {
        return;
    }
    char text[kFixedText];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 5);
    std::string_view digits(text, static_cast<size_t>(result.ptr - text));
    // Below 1 five decimals may hold too few digits (a price of 0.00010523): such a value is
    // written with the shortest decimals that read back to it. Values that five decimals hold
    // keep their text.
    if (value > -1.0 && value < 1.0 && value != 0.0) {
        double back = 0.0;
        std::from_chars(digits.data(), digits.data() + digits.size(), back);
        if (back != value) {
            char shortest[kShortestFixedText];  // the tiniest: "0.", 323 zeros and 17 digits
            result = std::to_chars(shortest, shortest + sizeof shortest, value,
                                   std::chars_format::fixed);
            out.append(shortest, result.ptr);
            return;
        }
    }
    const size_t point = digits.find('.');
    if (digits.size() <= kField || point == std::string_view::npos) {
        out += digits;
        return;
    }
    // Decimals that do not fit are rounded away, not cut: a cut value would read back as the
    // double just below its text and lose one more digit on every save. An integer part that
    // fills the field keeps its digits (it reads back exactly) and a point with no decimals.
    const size_t decimals = kField - std::min(point + 1, kField);
    if (decimals == 0) {
        out += digits.substr(0, point < kField ? point + 1 : point);
        return;
    }
    result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                           static_cast<int>(decimals));
    if (static_cast<size_t>(result.ptr - text) <= kField) {
        out.append(text, result.ptr);
        return;
    }
    // Rounding carried into one more integer digit (9999999999999.96 to 10000000000000.0): the
    // rounded value is written as such, with room for one decimal less.
    double rounded = value;
    std::from_chars(text, result.ptr, rounded);
    AppendFixedValue(out, rounded);
}

void AppendIntAttribute(std::string& out, std::string_view key, int64_t value) {
    out += ' ';
    out += key;
    out += "=\"";
    AppendInt(out, value);
    out += '"';
}

void AppendRealAttribute(std::string& out, std::string_view key, double value) {
    out += ' ';
    out += key;
    out += "=\"";
    AppendReal(out, value);
    out += '"';
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    out += text;
    out += '"';
}

void AppendEscapedText(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\n':
                out += "&#10;";
                break;
            default:
                out += c;
        }
    }
    out += '"';
}

std::string DecodeText(std::string_view text) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'},  {"&lt;", '<'},   {"&gt;", '>'},
        {"&quot;", '"'}, {"&#13;", '\r'}, {"&#10;", '\n'}};
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool decoded = false;
        if (text[i] == '&') {
            for (const auto& [entity, c] : kEntities) {
                if (text.substr(i).starts_with(entity)) {
                    plain += c;
                    i += entity.size();
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded) {
            plain += text[i++];
        }
    }
    return plain;
}

std::string SanitiseQuotedText(std::string_view text) {
    std::string clean(text);
    for (char& c : clean) {
        if (c == '"') {
            c = '\'';
        } else if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return clean;
}
