#pragma once

#include <cstdint>
#include <string>

#include "model/status.h"

class CDataSet;
class CProject;
struct CReadReport;

// Reads the project file at `path` into `project` (which the caller has emptied). Fails, with
// the reason, when the file cannot be opened or is not a regular file, and when it holds none
// of a project file's elements (a picture, a price file, an empty file): the project may then
// hold part of what was read. `report` (may be null) gets what could not be kept.
CStatus ReadProjectFile(CProject& project, const std::string& path, CReadReport* report = nullptr);

// Writes the project file text of `project` to `path` through a temporary file renamed over
// the target only when complete; on failure the previous file is untouched.
CStatus WriteProjectFile(const CProject& project, const std::string& path);

// Summary of a raw data import.
struct CImportReport {
    CDataSet* dataSet = nullptr;
    int64_t skipped = 0;
    int32_t dateOrder = 1;  // 1 month first, 0 day first
};

// Imports the raw data file at `path` as a new data set of `project`, with the dates and the
// values in the given columns (from 1). Fails, with the reason, when the file cannot be opened.
CStatus ImportRawFile(CProject& project, const std::string& path, int32_t datesColumn,
                      int32_t valuesColumn, CImportReport& report);
