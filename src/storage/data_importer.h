#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/field_splitter.h"
#include "storage/import_report.h"
#include "storage/number_style.h"
#include "storage/text_scanner.h"

class CDataSet;

// Builds a new data set from a raw text file with one dated value per line; the caller names
// the date and value columns (from 1).
//
// A first pass finds the field separator and the decimal mark from the first lines, and the
// date order (day or month first) from the first date that decides it, or else from the
// spacing of the dates; the second pass turns lines into points. Every value kept is one the
// file holds: a line whose date is not a calendar day or whose value is not a number gives no
// point, and the report says which lines gave none and why. Rows of one day give one point (the
// day's last in time); ascending and descending files both give an ascending set. One importer
// per import.
class CDataImporter : public CTextScanner {
  public:
    using CTextScanner::CTextScanner;

    // Reads the open input into a new data set of the project, named after the file (upper
    // case, without extension), and returns it; never null, empty when no line gave a point.
    // The report holds the counts afterwards.
    CDataSet* Import();
    const CImportReport& Report() const { return m_report; }

    // The first data rows split into fields and the header row (the last line without a date
    // before them), kept while importing when asked for.
    void KeepPreviewRows(size_t rows) { m_previewRows = rows; }
    const std::vector<std::string>& Headers() const { return m_headers; }
    const std::vector<std::vector<std::string>>& PreviewRows() const { return m_rows; }

    // Sets the point's date from a date text: day, month and year in m_dateOrder, or
    // year-month-day when the first part has four digits; a time of day after it is allowed.
    // The date must be a calendar day.
    enum class EDate { Ok, NoDate, BadDate };
    EDate ReadDate(std::string_view text, CDataPoint& point, bool& timed) const;
    // 1 to 12 for "JAN".."DEC", "1".."12" or the same with one leading "0"; 0 otherwise.
    static int32_t ParseMonth(std::string_view text);

    static constexpr int32_t kDayFirst = 0;
    static constexpr int32_t kMonthFirst = 1;

    int32_t m_dateOrder = kMonthFirst;
    int32_t m_dateColumn = 1;
    int32_t m_valueColumn = 2;

  private:
    // The rows of one day met one after the other; they give one point.
    struct CDay {
        int64_t rows = 0;
        bool allTimed = true;
        CDataPoint first;
        CDataPoint last;
        int64_t lastLine = 0;
        std::array<int64_t, CImportReport::kFirstLines + 1> lines{};
    };
    // A date whose day and month could be either way round, for the spacing test.
    struct CAmbiguousDate {
        int32_t a, b, year;
    };

    void DetectLayout();
    void DetectFormat();
    void DetectDateOrder();
    // Examines one line's date; false once the order is decided.
    bool ProbeDateOrder(std::string_view line);
    void DecideOrderBySpacing();
    void ImportLine(std::string_view line, CDataSet& ds);
    void Offer(const CDataPoint& point, bool timed, CDataSet& ds);
    void CloseDay(CDataSet& ds);
    void Place(const CDataPoint& point, int64_t line, CDataSet& ds);
    void KeepPreview(std::string_view line, bool dated);
    // The fields of a classic header line between its commas, blanks trimmed.
    static std::vector<std::string> HeaderNames(std::string_view line);
    std::string_view Field(size_t column) const;
    size_t Needed() const;

    CImportReport m_report;
    CFieldSplitter m_splitter;
    CNumberStyle m_style;
    CDay m_day;
    int32_t m_direction = 0;  // +1 ascending, -1 descending, 0 not known yet
    int32_t m_lastSerial = 1;
    std::vector<CAmbiguousDate> m_ambiguous;
    size_t m_previewRows = 0;
    std::vector<std::string> m_headers;
    std::vector<std::string> m_lastNoDate;
    std::vector<std::vector<std::string>> m_rows;
};
