#pragma once

#include <optional>
#include <string>

#include "cli/json_output.h"
#include "model/progress_sink.h"
#include "model/status.h"

// What the subcommands of quillmark-cli share. Each subcommand prints its JSON summary on stdout
// and returns the exit status: 0 on success, 1 when a file cannot be opened, read or written
// (with one error line on stderr).

class CDataSet;
class CProjectCommands;
struct CReadReport;

// Reads a project with File Open, the desktop program's own command: the project then holds
// the file's parameters, simulated (the state at the window's end goes to the commands' status
// sink). Fails, with the kind and reason of the open, when the file cannot be opened. Points the
// file held that could not be kept are told on stderr, as a warning, and given in `report` (may
// be null).
CStatus LoadProject(CProjectCommands& commands, const std::string& path,
                    CReadReport* report = nullptr);

// With a result set, applies *resultSet (clamped as the result sets box clamps it) and
// simulates, as the result sets box does, and returns the clamped number; without one the
// project stays as opened, and nothing is returned.
std::optional<int> SimulateOrApply(CProjectCommands& commands, const std::optional<int>& resultSet);

// Writes the project with File Save As; fails, with the reason, when it was not written.
CStatus SaveProject(CProjectCommands& commands, const std::string& path);

// Prints "quillmark-cli: error: MESSAGE" on stderr and returns the failure status 1.
int Fail(const std::string& message);
// The same with the reason of a failed status.
int Fail(const CStatus& status);

// A progress bar of a long run on the terminal's standard error.
struct CTerminalProgress : CProgressSink {
    void ReportProgress(int32_t position) override;
};

// Prints `json` as one line on stdout.
void Print(const Json& json);

// The date of the first (or last) point of `ds`; null when it has none.
Json OptionalDate(const CDataSet& ds, bool last);
