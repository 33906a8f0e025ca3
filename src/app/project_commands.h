#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "analysis/optimiser.h"
#include "app/refresh_code.h"
#include "model/status.h"
#include "storage/project_io.h"
#include "storage/project_reader.h"

class CProgressSink;
class CProject;
class CStatusSink;

// What the commands need of the program around them: the refresh broadcast to every window,
// the recent-file list and the repaint of the charts. The desktop program implements it; the
// command line leaves it out.
class CCommandHost {
  public:
    virtual ~CCommandHost() = default;
    virtual void Refresh(RefreshCode code) = 0;
    virtual void AddRecentFile(const std::string& path) = 0;
    virtual void RedrawCharts() = 0;
};

// The commands a user runs on the one project, each with its validation and the refreshes
// around its steps, in one place for the desktop program and the command line alike. Runs on
// the user-interface thread, except RunProcess.
class CProjectCommands {
  public:
    // `host` and `status` may be null (the command line); both outlive the commands.
    explicit CProjectCommands(CProject& project, CCommandHost* host = nullptr,
                              CStatusSink* status = nullptr)
        : m_project(project), m_host(host), m_status(status) {}

    // File New: empties the project and forgets its file.
    void NewProject();
    // File Open: reads the file into a project of its own; only when that succeeded, empties
    // the current project, takes what was read, remembers the path (also in the recent files)
    // and has every window load it. Fails, with the reason, when the path is empty, the file
    // cannot be opened or is not a project; the project, its file and the recent files are
    // then as they were. `report` (may be null) gets what the read could not keep.
    CStatus OpenProject(const std::string& path, CReadReport* report = nullptr);
    // File Save and Save As: stores pending edits and writes the project through a temporary
    // file renamed over the target; the path becomes the project's file. On failure the
    // previous file is untouched.
    CStatus SaveProject(const std::string& path);
    // File Import: a raw data file as a new, current data set with the import columns. Fails,
    // with the reason, when the file cannot be read or gives no point; nothing is added then.
    CStatus ImportRawData(const std::string& path, CImportReport* report = nullptr);
    // The same with the columns the user chose in the preview, which become the import columns
    // (after the pages have stored theirs).
    CStatus ImportRawData(const std::string& path, int32_t datesColumn, int32_t valuesColumn,
                          CImportReport* report = nullptr);

    // Update: stores pending edits, simulates with the current parameters, reloads the pages
    // and redraws the charts.
    void Simulate();
    // The result sets box: clamps n as SelectResultSet does, applies result set n and
    // simulates, redraws the charts and reloads the pages.
    void ApplyResultSet(int32_t& n);

    // Process, in three steps around the run: StartProcess stores pending edits and brings the
    // range into bounds (fails without a data set); RunProcess is the run itself, on any thread
    // while the interface waits; FinishProcess tells every window of the new result sets.
    // Between the first two, EstimateProcess tells what the run will cost, so that a front end
    // can ask or refuse before a long one; it takes a few tens of milliseconds at most.
    CStatus StartProcess();
    static CSweepEstimate EstimateProcess(const CProject& project, int threads);
    // `landscape` (may be null) gets the run's landscape, as Optimise records it.
    static void RunProcess(CProject& project, int threads, const std::atomic<bool>& stop,
                           CProgressSink* progress, CLandscape* landscape = nullptr);
    void FinishProcess();

    // Where simulations report the state at the window's end; null reports nowhere.
    void SetStatusSink(CStatusSink* status) { m_status = status; }
    CStatusSink* StatusSink() const { return m_status; }
    CProject& Project() const { return m_project; }

    std::string m_lastFile;
    int32_t m_datesInCol = 1;
    int32_t m_valsInCol = 2;

  private:
    // The import itself, after the pages have stored their fields.
    CStatus Import(const std::string& path, CImportReport* report);
    void Refresh(RefreshCode code);
    void AddRecentFile(const std::string& path);
    void RedrawCharts();

    CProject& m_project;
    CCommandHost* m_host;
    CStatusSink* m_status;
};
