#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CDataSet;

// One reason a line gave no point of its own: how often it happened and where first.
struct CImportReason {
    int64_t count = 0;
    std::vector<int64_t> lines;  // the first kFirstLines line numbers, from 1

    // Counts one more line; the `keep` lowest numbers are kept, in order.
    void Add(int64_t line, size_t keep);
};

// What an import of a raw data file did with every line it read.
struct CImportReport {
    static constexpr size_t kFirstLines = 5;
    CDataSet* dataSet = nullptr;  // the data set added; null when no point was made
    std::string name;             // the data set's name (from the file name)
    int64_t lines = 0;            // lines read
    int64_t points = 0;           // points made
    int64_t skipped = 0;          // lines that gave no point, whatever the reason
    CImportReason blank;          // empty lines, or lines of blanks only
    CImportReason noDate;         // headers, notes: no date where the date should be
    CImportReason badDate;        // a date that is not a calendar day
    CImportReason badMonth;       // a day, a word and a year, the word no month name known
    CImportReason badValue;       // value not a number (empty, ".", "N/A", text, inf, nan)
    CImportReason merged;         // rows merged into another row of the same day
    CImportReason outOfOrder;     // repeated dates beyond merging, dates out of order
    char separator =
        ',';  // ',', ';', '\t', '|', ' ' (runs of blanks); 0 the classic comma-and-blank mix
    char decimalMark = '.';  // '.' or ','
    int32_t dateOrder = 1;   // 1 month first, 0 day first, 2 two-digit year first
    bool dateOrderGuessed = false;
    std::string dateNumbers;         // whole-number dates: "epoch seconds", "epoch milliseconds",
                                     // "spreadsheet days"; empty when there are none
    int32_t timeColumn = 0;          // the column of the times of day joined to the dates, 0 none
    std::string encoding = "UTF-8";  // or "UTF-16", "Windows-1252"
    std::string unknownMonth;        // the first month word not known
    int64_t repeatedOtherValue = 0;  // rows of a day met before, with another value, no time
    // Why the import is not a success though points were read (empty when it is), and whether
    // the user may still take the points read ("import anyway").
    std::string refusal;
    bool mayForce = false;

    // One line for the user: "SP500: 5,105 points; 1 header line; 3 values not a number (lines
    // 1034, 2210, 4711)". Counts with thousands separators; only the reasons that occurred.
    std::string Summary() const;
    // The counts alone, without the name and the points: "12 lines read; 1 header line; ...".
    std::string Counts() const;
    // How the file was read: "fields separated by commas, decimal point, dates day first".
    std::string HowRead() const;
};

// What the user may choose for an import beyond its columns; the defaults let the file tell.
struct CImportChoices {
    int32_t datesColumn = 1;
    int32_t valuesColumn = 2;
    char decimalMark = 0;       // '.' or ',', 0: from the file
    int32_t dateOrder = -1;     // 0 day, 1 month, 2 year first; -1: from the file
    bool allowPartial = false;  // take the points read even when the import is refused for
                                // the rows it left out
};

// What the preview shows before anything is added.
struct CImportPreview {
    static constexpr size_t kPreviewRows = 20;
    std::vector<std::string> headers;  // the header row's fields, or empty when there is none
    std::vector<std::vector<std::string>>
        rows;  // the first data rows split into fields (unquoted), at most kPreviewRows
    // Date (month/day/year as CDataPoint::FormatDate) and value text ("%.5f") of the first
    // points as they will be read, at most kPreviewRows.
    std::vector<std::pair<std::string, std::string>> firstPoints;
    CImportReport report;  // counts of importing the whole file with these columns (dataSet null)
};

// 5105 as "5,105".
std::string GroupThousands(int64_t n);
