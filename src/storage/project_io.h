#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "model/status.h"
#include "storage/import_report.h"

class CDataSet;
class CProgressSink;
class CProject;
struct CReadReport;

// Reads the project file at `path` into `project` (which the caller has emptied). Fails, with
// the reason, when the file cannot be opened (NotFound when it is not there, Refused when it is
// not a regular file, else Io), and when it holds none of a project file's elements (a
// picture, a price file, an empty file; Damaged): the project may then hold part of what was
// read. `report` (may be null) gets what could not be kept.
// While reading, the share of the file read goes to `progress`, and once `stop` is set the read
// ends at the next chunk with Cancelled (the project then holds part of the file). Either may
// be null.
CStatus ReadProjectFile(CProject& project, const std::string& path, CReadReport* report = nullptr,
                        const std::atomic<bool>* stop = nullptr, CProgressSink* progress = nullptr);

// Writes the project file text of `project` to `path` through a temporary file renamed over
// the target only when complete; on failure the previous file is untouched. NotFound when the
// folder is not there, else Io.
CStatus WriteProjectFile(const CProject& project, const std::string& path);

// Imports the raw data file at `path` as a new data set of `project`, with the dates and the
// values in the given columns (from 1); `report` says what became of every line. Fails, with
// the reason, when the file cannot be opened (kinds as for reading a project), and when no line
// gave a point (Damaged): then no data set is added and the reason gives the counts ("'x.csv'
// gave no point: 12 lines read; ...").
CStatus ImportRawFile(CProject& project, const std::string& path, int32_t datesColumn,
                      int32_t valuesColumn, CImportReport& report);
// The same with the user's choices. It also fails, adding nothing, when the import is refused
// (Refused; `report.refusal`: the decimal mark undecided, a large part of the dated rows left out
// for one reason), unless the refusal may be overridden and `choices.allowPartial` says to.
CStatus ImportRawFile(CProject& project, const std::string& path, const CImportChoices& choices,
                      CImportReport& report);

// What importing the file with these columns would give, without adding anything: the first
// rows split into fields, the first points and the report (its data set null). Fails only when
// the file cannot be opened.
CStatus PreviewRawFile(const std::string& path, int32_t datesColumn, int32_t valuesColumn,
                       CImportPreview& preview);
CStatus PreviewRawFile(const std::string& path, const CImportChoices& choices,
                       CImportPreview& preview);
