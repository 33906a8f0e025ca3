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

// A real as the shortest %g text that reads back as the same double: the stream default of six
// significant digits where that is exact (0.5, 12.3457 for 12.3457), more where it is not
// (1234567, 0.1234567); "nan", "-nan", "inf" as printf.
void AppendReal(std::string& out, double value);

// A data point value, unquoted: %15.5f without its fill blanks; a text longer than 15
// characters loses decimals, rounded, until it fits, and an integer part of 15 characters or
// more is written whole (with a point when exactly 14 digits leave room for one). A value
// between -1 and 1 that five decimals do not hold is written with the shortest decimals that
// read back to it ("0.00010523", "-0.000004"), however long. What it writes reads back to a
// double that it writes the same way again.
void AppendFixedValue(std::string& out, double value);

// key="integer" with the blank before the key.
void AppendIntAttribute(std::string& out, std::string_view key, int64_t value);

// key="real" (as AppendReal) with the blank before the key.
void AppendRealAttribute(std::string& out, std::string_view key, double value);

// The text between double quotes, verbatim.
void AppendQuoted(std::string& out, std::string_view text);

// A user's text (name, currency, comment) between double quotes, with the characters that would
// end the value or look like markup written as entities: & < > " CR LF as &amp; &lt; &gt;
// &quot; &#13; &#10;. Text without them is written as it is.
void AppendEscapedText(std::string& out, std::string_view text);
// The text a quoted value stands for: the entities above decoded, everything else as it is.
std::string DecodeText(std::string_view text);

// Text that goes between double quotes in a project file cannot hold a double quote or a line
// break: a double quote becomes a single quote and CR or LF a blank, so that the file reads
// back as it was typed.
std::string SanitiseQuotedText(std::string_view text);
