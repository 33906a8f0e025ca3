#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Pieces of project file lines. Every line ends with CR LF whatever the platform. Numbers go
// through std::to_chars, which gives the same bytes as the printf conversions named below (both
// round the exact binary value correctly) at a fraction of the cost.

inline constexpr std::string_view kLineEnd = "\r\n";

// Plain signed decimal.
void AppendInt(std::string& out, int64_t value);

// The stream default for reals: %g with six significant digits ("nan", "-nan", "inf" as printf).
void AppendReal(std::string& out, double value);

// A data point value, unquoted: %15.5f without its fill blanks, cut to its first 15 characters
// as long as that cuts decimals only; an integer part longer than that is written whole.
void AppendFixedValue(std::string& out, double value);

// key="integer" with the blank before the key.
void AppendIntAttribute(std::string& out, std::string_view key, int64_t value);

// key="real" (as AppendReal) with the blank before the key.
void AppendRealAttribute(std::string& out, std::string_view key, double value);

// The text between double quotes, verbatim.
void AppendQuoted(std::string& out, std::string_view text);

// Text that goes between double quotes in a project file cannot hold a double quote or a line
// break: a double quote becomes a single quote and CR or LF a blank, so that the file reads
// back as it was typed.
std::string SanitiseQuotedText(std::string_view text);
