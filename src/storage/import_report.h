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

    // Counts one more line; its number is kept while fewer than `keep` are.
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
    CImportReason badValue;       // value not a number (empty, ".", "N/A", text, inf, nan)
    CImportReason merged;         // rows merged into another row of the same day
    CImportReason outOfOrder;     // repeated dates beyond merging, dates out of order
    char separator =
        ',';  // ',', ';', '\t', '|', ' ' (runs of blanks); 0 the classic comma-and-blank mix
    char decimalMark = '.';  // '.' or ','
    int32_t dateOrder = 1;   // 1 month first, 0 day first (ISO dates need none)
    bool dateOrderGuessed = false;

    // One line for the user: "SP500: 5,105 points; 1 header line; 3 values not a number (lines
    // 1034, 2210, 4711)". Counts with thousands separators; only the reasons that occurred.
    std::string Summary() const;
    // The counts alone, without the name and the points: "12 lines read; 1 header line; ...".
    std::string Counts() const;
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
