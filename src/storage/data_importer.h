#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/text_scanner.h"

class CDataSet;

// Builds a new data set from a raw text file with one dated value per line. Fields are runs of
// characters other than comma and blank; the caller names the date and value columns (from 1).
// A first pass decides whether dates are written day first or month first; the second turns
// every data line into a point. Ascending and descending files both give an ascending set.
// One importer per import.
class CDataImporter : public CTextScanner {
  public:
    using CTextScanner::CTextScanner;

    // Reads the open input into a new data set of the project, named after the file (upper
    // case, without extension), and returns it; never null, empty when no line gave a point.
    CDataSet* Import();

    // First pass: sets m_dateOrder (month first unless the data says otherwise).
    void DetectDateOrder();
    // Sets the bounds of the date and value columns for one line. Always true.
    bool FindColumns(std::string_view line);
    // Examines one line's date; false once the order is decided.
    bool ProbeDateOrder(std::string_view line);
    // Makes one point from a line whose columns are found and offers it to the data set.
    void ImportLine(std::string_view line, CDataSet& ds);
    // Sets the point's date from a date text: day, month and year in m_dateOrder, or
    // year-month-day when the first part has four digits.
    void ParseDate(std::string_view text, CDataPoint& point) const;
    // 1 to 12 for "JAN".."DEC", "1".."12" or the same with one leading "0"; 0 otherwise.
    static int32_t ParseMonth(std::string_view text);

    static constexpr int32_t kDayFirst = 0;
    static constexpr int32_t kMonthFirst = 1;

    int32_t m_dateOrder = kMonthFirst;
    int32_t m_dateColumn = 1;
    int32_t m_valueColumn = 2;
    int32_t m_lastSerial = 1;
    // Data lines that gave no point because their date had no recognised month.
    int64_t m_skipped = 0;

  private:
    std::string_view DateText(std::string_view line) const;
    std::string_view ValueText(std::string_view line) const;
};
