#pragma once

#include <optional>
#include <string>

// The subcommands of quillmark-cli. Each prints its JSON summary on stdout and returns the exit
// status: 0 on success, 1 when a file cannot be opened, read or written (with one error line on
// stderr).

class CProject;
class CStatusSink;
struct CReadReport;

// Reads a project as File Open does, then makes its current data set current again, as the
// data set tree does after loading. False, with `error` set, when the file cannot be opened.
// Points the file held that could not be kept are told on stderr, as a warning, and given in
// `report` (may be null).
bool LoadProject(CProject& project, const std::string& path, std::string& error,
                 CReadReport* report = nullptr);

// Simulates the project, or applies result set *resultSet (clamped as the result sets box
// clamps it) and simulates, as Update and the result sets box do; the state at the window's end
// goes to `status` (may be null). Returns the clamped number, or nothing without a result set.
std::optional<int> SimulateOrApply(CProject& project, const std::optional<int>& resultSet,
                                   CStatusSink* status = nullptr);

// Prints "quillmark-cli: error: MESSAGE" on stderr and returns the failure status 1.
int Fail(const std::string& message);

int RunInfo(const std::string& projectPath);

struct CSimulateOptions {
    std::string projectPath;
    std::optional<int> resultSet;
    std::string seriesPath;  // empty: no series file
};
int RunSimulate(const CSimulateOptions& options);

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

struct COptimiseOptions {
    std::string projectPath;
    std::string outPath;
    int threads = 0;               // 0: one per core
    double maxSeconds = 600.0;     // a run estimated to take longer is refused; 0: no limit
    std::string landscapePath;     // empty: no heat map picture
    std::string landscapeCsvPath;  // empty: no landscape CSV
    bool robust = false;           // order the result sets by plateau instead of gain
};
int RunOptimise(const COptimiseOptions& options);

int RunResave(const std::string& inPath, const std::string& outPath);
