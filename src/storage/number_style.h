#pragma once

#include <string_view>

// How a raw data file writes its numbers: the decimal mark, and with it the thousands mark (the
// other of '.' and ','). Reads a price as the file holds it, or refuses it.
class CNumberStyle {
  public:
    explicit CNumberStyle(char decimalMark = '.') : m_decimal(decimalMark) {}

    // The number the text holds: an optional sign, digits grouped by threes with the thousands
    // mark (the other of '.' and ',', or an apostrophe ' or ’, a no-break or thin blank, a
    // blank) or not grouped at all, an optional decimal mark with digits, an optional exponent;
    // one currency sign ($, €, £, ¥) may stand before or after it, a "%" after it (read as the
    // number shown), blanks around it. False for anything else (empty, ".", "N/A", "-",
    // "12abc", "1,2" with a decimal point, 400 characters or more) and for values that are not
    // finite.
    bool Read(std::string_view text, double& value) const;

    // What one value text says of the decimal mark: '.' or ',' when it decides, 0 when it
    // cannot ("3,257" could be either; "12" holds no mark). A mark after a lone 0 or after
    // more than three digits is decimal.
    static char Vote(std::string_view text);
    // Whether the text reads as a number under both marks, to different values ("132.697").
    static bool Ambiguous(std::string_view text);

    char DecimalMark() const { return m_decimal; }

  private:
    char m_decimal;
};
