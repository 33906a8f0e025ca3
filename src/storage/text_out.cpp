#include "storage/text_out.h"

#include <charconv>

namespace {

// Fixed point with five decimals of the largest double: 309 digits, sign, point, decimals.
constexpr size_t kFixedText = 320;
// The width of the data point value field.
constexpr size_t kField = 15;

}  // namespace

void AppendInt(std::string& out, int64_t value) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void AppendReal(std::string& out, double value) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    out.append(text, result.ptr);
}

void AppendFixedValue(std::string& out, double value) {
    char text[kFixedText];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 5);
    std::string_view digits(text, static_cast<size_t>(result.ptr - text));
    if (digits.size() > kField) {
        size_t point = digits.find('.');
        if (point != std::string_view::npos) {
            digits = digits.substr(0, point <= kField ? kField : point);
        }
    }
    out += digits;
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
