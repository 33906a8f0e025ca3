#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Splits a line of a raw data file into fields.
//
// Separator 0 is the classic layout: fields are runs of characters other than comma and blank,
// so any run of commas and blanks separates two fields, except that two commas with only blanks
// between them enclose an empty field (a missing value never moves the columns after it). ' '
// is the same with blanks alone (commas stay inside the fields, as thousands marks of a report
// aligned with blanks). ',', ';', '\t' and '|' separate fields one by one; such
// fields are trimmed of blanks and may be double-quoted as spreadsheets write them (a quote
// inside is doubled; a quote left open runs to the line's end). A time of day separated from
// the date by blanks only ("2020-01-02 09:30:00", "1/2/2020 9:30 AM") stays in the date field,
// and so do the words of a date written with blanks ("02 Jan 2024").
//
// Not libcsv: this works on the lines the scanner already reads, so line numbers stay those of
// the file, stops at the last column wanted and hands out views; libcsv passes every byte of
// every field through callbacks (about five times slower on a million lines), knows no runs of
// blanks as a separator, and joins a quoted line break into one record.
class CFieldSplitter {
  public:
    explicit CFieldSplitter(char separator = 0) : m_separator(separator) {}

    // Splits `line` into at most `needed` fields (all when 0); `dateField` (from 0) is the field
    // that may carry a time of day. The views point into `line` or into this splitter, and hold
    // until the next Split. `quoted[i]` tells whether field i was quoted.
    void Split(std::string_view line, size_t needed, size_t dateField);

    const std::vector<std::string_view>& Fields() const { return m_fields; }
    bool Quoted(size_t i) const { return i < m_quoted.size() && m_quoted[i] != 0; }
    char Separator() const { return m_separator; }

  private:
    void SplitClassic(std::string_view line, size_t needed, size_t dateField);
    bool IsClassicSeparator(char c) const { return c == ' ' || (c == ',' && m_separator == 0); }
    size_t TokenEnd(std::string_view line, size_t i) const;
    size_t WordDateEnd(std::string_view line, size_t start, size_t end) const;
    void SplitDelimited(std::string_view line, size_t needed);

    char m_separator;
    std::vector<std::string_view> m_fields;
    std::vector<char> m_quoted;
    std::string m_unquoted;  // quoted fields without their quotes; never reallocated mid-line
};

// Whether the text is a time of day: "9:30", "09:30:00", "09:30:00.000", optionally with a
// "Z" or an offset.
bool IsTimeOfDay(std::string_view text);
