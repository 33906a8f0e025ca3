#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "analysis/optimiser.h"
#include "app/refresh_code.h"
#include "model/status.h"
#include "storage/project_io.h"
#include "storage/project_reader.h"

class CLimits;
class CProgressSink;
class CProject;
class CStatusSink;

// One step of the window's pan or zoom: PanWindow or ZoomWindow (charts/scaling.h).
using WindowStep = CLimits (*)(const CLimits& window, int direction);

// What the commands need of the program around them: the refresh broadcast to every window,
// the recent-file list and the repaint of the charts. The desktop program implements it; the
// command line leaves it out.
class CCommandHost {
  public:
    virtual ~CCommandHost() = default;
    virtual void Refresh(RefreshCode code) = 0;
    virtual void AddRecentFile(const std::string& path) = 0;
    virtual void RedrawCharts() = 0;
    // How many typed entries the windows have refused so far; a command whose store of pending
    // edits raised it stops there, so nothing runs with a value the user did not enter.
    virtual int64_t RefusalCount() const { return 0; }
    // A line about the last simulation that the status bar keeps in view; empty clears it.
    virtual void ShowNotice(const std::string& /*text*/) {}
};

// The commands a user runs on the one project, each with its validation and the refreshes
// around its steps, in one place for the desktop program and the command line alike. Runs on
// the user-interface thread, except RunProcess.
class CProjectCommands {
  public:
    // `host` and `status` may be null (the command line); both outlive the commands.
    // What the project holds now counts as saved.
    explicit CProjectCommands(CProject& project, CCommandHost* host = nullptr,
                              CStatusSink* status = nullptr);

    // File New: empties the project and forgets its file; the charts show the empty project.
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
    // with the reason, when the file cannot be read, gives no point or is refused (the decimal
    // mark undecided, a large part of the dated rows left out); nothing is added then.
    CStatus ImportRawData(const std::string& path, CImportReport* report = nullptr);
    // The same with the columns the user chose in the preview, which become the import columns
    // (after the pages have stored theirs).
    CStatus ImportRawData(const std::string& path, int32_t datesColumn, int32_t valuesColumn,
                          CImportReport* report = nullptr);
    // The same with every choice of the preview or the command line: the columns (which become
    // the import columns), the decimal mark, the date order, and whether to take the points
    // read when the import is refused for the rows it left out ("import anyway").
    CStatus ImportRawData(const std::string& path, const CImportChoices& choices,
                          CImportReport* report = nullptr);

    // Update: stores pending edits, simulates with the current parameters, reloads the pages
    // and redraws the charts. Nothing runs when a pending edit was refused.
    void Simulate();
    // The result sets box: clamps n as SelectResultSet does, applies result set n and
    // simulates, redraws the charts and reloads the pages. Nothing when an edit was refused.
    void ApplyResultSet(int32_t& n);

    // The commands below change what the simulation or the potential gains depend on (the
    // window, the points, the primary data set), so each ends as Update does: every figure on
    // screen then describes the same state. Each first stores pending edits and does nothing
    // more when one was refused.
    // Apply: the window typed on the Controls page, which its store sets.
    void ApplyWindow();
    // Limits: the window becomes the current data set's whole span.
    void ResetWindow();
    // Pan or zoom: `step` (-1 or +1) of `stepWindow` on the window.
    void StepWindow(WindowStep stepWindow, int step);
    // Move Up and Delete of the current data set, with the data set tree rebuilt.
    void MoveUp();
    void DeleteCurrentDataSet();
    // Append's Add and Undo on the current data set; the view shows raw values after an Add.
    // The project refuses a point when there is no current data set or the date is not after
    // its last one.
    enum class AddOutcome { Added, DateRefused, EditRefused };
    AddOutcome AddPoint(int32_t day, int32_t month, int32_t year, double value);
    void UndoAddPoint();

    // Stores pending edits; false when one was refused.
    bool StorePending();
    // Whether File Save would now write anything other than what was last opened or saved (or,
    // for a new project, an empty project). Computed from the file text without keeping it, in
    // time proportional to the project's size.
    bool HasUnsavedChanges() const;
    // Whether the project's file was changed or replaced on disk since it was opened or saved
    // here. False without a file or when the file is gone.
    bool FileChangedOnDisk() const;

    // Process, in three steps around the run: StartProcess stores pending edits and brings the
    // range into bounds (fails without a data set, or when the window holds no point of the
    // primary); RunProcess is the run itself, on any thread
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
    CStatus Import(const std::string& path, CImportChoices choices, CImportReport* report);
    void Refresh(RefreshCode code);
    void AddRecentFile(const std::string& path);
    void RedrawCharts();
    // Simulates, reloads the pages and redraws the charts; the status bar's notice says when
    // the window holds no point of some data set, and the status panes empty without data.
    void Resimulate();
    // The simulation with the potential gains, the history axis and the status of its end.
    void SimulateAndScale();
    // What was last opened or saved is what the project would now write.
    void MarkSaved();

    CProject& m_project;
    CCommandHost* m_host;
    CStatusSink* m_status;
    uint64_t m_savedText = 0;
    // The size and modification time of the file as last opened or saved; -1 when unknown.
    int64_t m_fileSize = -1;
    int64_t m_fileTime = -1;
};

// What the status bar and the Analysis page say instead of a result when the window holds no
// point of some data set; empty when the simulation gives a result.
std::string SimulationNotice(const CProject& project);

// A 64-bit digest of the project file text of `project`, written piece by piece.
uint64_t ProjectTextDigest(const CProject& project);
