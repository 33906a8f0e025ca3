#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Pieces of project file lines. Every line ends with CR LF whatever the platform.

inline constexpr std::string_view kLineEnd = "\r\n";

inline void AppendInt(std::string& out, int64_t value) {
    out += std::to_string(value);
}

// The stream default for reals: %g with six significant digits.
inline void AppendReal(std::string& out, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    out += text;
}

// key="integer" with the blank before the key.
inline void AppendIntAttribute(std::string& out, std::string_view key, int64_t value) {
    out += ' ';
    out += key;
    out += "=\"";
    AppendInt(out, value);
    out += '"';
}

inline void AppendRealAttribute(std::string& out, std::string_view key, double value) {
    out += ' ';
    out += key;
    out += "=\"";
    AppendReal(out, value);
    out += '"';
}

inline void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    out += text;
    out += '"';
}

// Text that goes between double quotes in a project file cannot hold a double quote or a line
// break: a double quote becomes a single quote and CR or LF a blank, so that the file reads
// back as it was typed.
inline std::string SanitiseQuotedText(std::string_view text) {
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
