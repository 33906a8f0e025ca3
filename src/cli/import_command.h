#pragma once

#include <string>

// quillmark-cli import: a raw data file into a new project or one that exists.
struct CImportOptions {
    std::string rawPath;
    int datesColumn = 1;
    int valuesColumn = 2;
    std::string intoPath;  // empty: a new project
    std::string outPath;
    std::string decimalMark;  // "." or ","; empty: from the file
    std::string dateOrder;    // "dmy", "mdy" or "ymd"; empty: from the file
    bool allowPartial = false;
};
int RunImport(const CImportOptions& options);
