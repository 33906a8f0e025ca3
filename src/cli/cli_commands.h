#pragma once

#include <optional>
#include <string>

// The subcommands of quillmark-cli. Each prints its JSON summary on stdout and returns the exit
// status: 0 on success, 1 when a file cannot be opened, read or written (with one error line on
// stderr).

class CProjectCommands;
struct CReadReport;

// Reads a project with File Open, the desktop program's own command: the project then holds
// the file's parameters, simulated (the state at the window's end goes to the commands' status
// sink). False, with `error` set, when the file cannot be opened. Points the file held that
// could not be kept are told on stderr, as a warning, and given in `report` (may be null).
bool LoadProject(CProjectCommands& commands, const std::string& path, std::string& error,
                 CReadReport* report = nullptr);

// With a result set, applies *resultSet (clamped as the result sets box clamps it) and
// simulates, as the result sets box does, and returns the clamped number; without one the
// project stays as opened, and nothing is returned.
std::optional<int> SimulateOrApply(CProjectCommands& commands, const std::optional<int>& resultSet);

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
