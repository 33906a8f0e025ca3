#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/date_text.h"
#include "storage/field_splitter.h"
#include "storage/import_report.h"
#include "storage/number_style.h"
#include "storage/text_scanner.h"

class CDataSet;

// Builds a new data set from a raw text file with one dated value per line; the caller names
// the date and value columns (from 1).
//
// The file is read twice. The first lines tell the encoding, the field separator (the one under
// which most lines hold a date and a number where the columns say), the decimal mark (voted
// by the numbers of dated lines only) and a column of times beside the dates; the first pass
// then finds how the dates are written: of day-month-year, month-day-year and year-month-day,
// the order under which the most dates are calendar days and run one way most steadily. The
// second pass turns lines into points. Every value kept is one the file holds: a line whose
// date is not a calendar day or whose value is not a number gives no point, and the report
// says which lines gave none and why. Rows of one day give one point (the day's last in time);
// ascending and descending files both give an ascending set. An import that leaves out a large
// part of its dated rows for one reason, or whose decimal mark the file does not decide, is
// refused in the report (`refusal`). One importer per import.
class CDataImporter : public CTextScanner {
  public:
    using CTextScanner::CTextScanner;

    // Reads the open input into a new data set of the project, named after the file (upper
    // case, without extension), and returns it; never null, empty when no line gave a point.
    // The report holds the counts afterwards, and the refusal when there is one.
    CDataSet* Import();
    const CImportReport& Report() const { return m_report; }

    // The first data rows split into fields and the header row (the last line without a date
    // before them), kept while importing when asked for.
    void KeepPreviewRows(size_t rows) { m_previewRows = rows; }
    const std::vector<std::string>& Headers() const { return m_headers; }
    const std::vector<std::vector<std::string>>& PreviewRows() const { return m_rows; }

    // 1 to 12 for "JAN".."DEC", "1".."12" or the same with one leading "0"; 0 otherwise.
    static int32_t ParseMonth(std::string_view text);

    static constexpr int32_t kDayFirst = CDateLayout::kDayFirst;
    static constexpr int32_t kMonthFirst = CDateLayout::kMonthFirst;
    static constexpr int32_t kYearFirst = CDateLayout::kYearFirst;

    // The date order found (or chosen) for dates of three numbers.
    int32_t m_dateOrder = kMonthFirst;
    int32_t m_dateColumn = 1;
    int32_t m_valueColumn = 2;
    // The user's choices; 0 and -1 let the file tell.
    char m_decimalMarkChoice = 0;
    int32_t m_dateOrderChoice = -1;

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

    void DetectLayout();
    std::vector<std::string> SampleLines();
    void DetectSeparator(const std::vector<std::string>& sample);
    void DetectDecimalMark(const std::vector<std::string>& sample);
    void FindHeader(const std::vector<std::string>& sample);
    void DetectTimeColumn(const std::vector<std::string>& sample);
    void DetectDates();
    void DecideOrder(const std::vector<CNumberDate>& dates);
    void DecideWholeNumbers(const std::vector<std::pair<CDateLayout::ENumbers, double>>& dates);
    // Whether the line's date column reads as a date in any layout.
    bool LooksDated(std::string_view dateText) const;
    void ImportLine(std::string_view line, CDataSet& ds);
    void Offer(const CDataPoint& point, bool timed, CDataSet& ds);
    void CloseDay(CDataSet& ds);
    void Place(const CDataPoint& point, int64_t line, CDataSet& ds);
    void KeepPreview(std::string_view line, bool dated);
    // Sets the refusal when a reason left out a large part of the dated rows.
    void Judge();
    // The fields of a classic header line between its commas, blanks trimmed.
    static std::vector<std::string> HeaderNames(std::string_view line);
    std::string_view Field(size_t column) const;
    size_t Needed() const;

    CImportReport m_report;
    CImportReason m_unreadNumbers;  // values with digits that did not read as a number
    CFieldSplitter m_splitter;
    CNumberStyle m_style;
    CDateLayout m_layout;
    size_t m_timeColumn = 0;              // from 1; 0 none
    bool m_commasGroupThousands = false;  // in a file aligned with blanks
    std::string m_dateHeader;             // the header's name of the date column, lower case
    std::string m_timeHeader;             // and of the column after it
    CDay m_day;
    int32_t m_direction = 0;  // +1 ascending, -1 descending, 0 not known yet
    int32_t m_lastSerial = 1;
    size_t m_previewRows = 0;
    std::vector<std::string> m_headers;
    std::vector<std::string> m_lastNoDate;
    std::vector<std::vector<std::string>> m_rows;
};
