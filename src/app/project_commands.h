#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "analysis/landscape.h"
#include "analysis/optimiser.h"
#include "app/refresh_code.h"
#include "model/status.h"
#include "storage/project_io.h"
#include "storage/project_reader.h"

class CDataSet;
class CLimits;
class CProgressSink;
class CProject;
class CStatusSink;

// One step of the window's pan or zoom: PanWindow or ZoomWindow (charts/scaling.h).
using WindowStep = CLimits (*)(const CLimits& window, int direction);

// A long run (the sweep, the reading of a large file) as a front end starts it: on any thread,
// polling `stop`, reporting to `progress` (may be null).
using SweepRun = std::function<void(const std::atomic<bool>& stop, CProgressSink* progress)>;
// Runs `run` here to its end, with nothing to stop it and no progress shown.
void RunInPlace(const SweepRun& run);

// What the commands need of the program around them: the refresh broadcast to every window,
// the recent-file list and the repaint of the charts. The desktop program implements it; the
// command line leaves it out.
class CCommandHost {
  public:
    virtual ~CCommandHost() = default;
    virtual void Refresh(RefreshCode code) = 0;
    virtual void AddRecentFile(const std::string& path) = 0;
    virtual void RedrawCharts() = 0;
    // Has every window write its pending edits into the project (REFRESH_STORE). False when a
    // window refused an entry: the command stops there, so nothing runs with a value the user
    // did not enter, and the window has told the user why.
    virtual bool StoreEdits() = 0;
    // A line about the last simulation that the status bar keeps in view; empty clears it.
    virtual void ShowNotice(const std::string& /*text*/) {}
    // Runs the reading of the project file at `path` to its end, or until the user stops it,
    // showing its progress when it takes long. By default it runs here, unseen.
    virtual void ShowRead(const std::string& path, const SweepRun& read);
};

// What Process needs of a front end: the answer to the long-run question, and the run shown
// with its progress (a dialog with Cancel in the program, a bar on the terminal).
class CRunHost {
  public:
    virtual ~CRunHost() = default;
    // Whether a run estimated to be long goes ahead; false leaves everything as it was.
    virtual bool MayRunLong(const CSweepEstimate& estimate) = 0;
    // Runs `run` to its end (or until the user stops it), showing its progress; `estimate`
    // is the whole run in seconds.
    virtual void ShowRun(const SweepRun& run, double estimate) = 0;
};

// How Process runs: `threads` for the sweep (0: one per core); runs estimated above
// `askAboveSeconds` go ahead only when the host agrees; `robust` ranks the result sets by the
// plateau under them instead of their gain.
struct CProcessOptions {
    int threads = 0;
    double askAboveSeconds = 30.0;
    bool robust = false;
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
    // then as they were, as they are when the user stopped a long read (Cancelled). `report`
    // (may be null) gets what the read could not keep.
    CStatus OpenProject(const std::string& path, CReadReport* report = nullptr);
    // File Save and Save As: stores pending edits and writes the project through a temporary
    // file renamed over the target; the path becomes the project's file. On failure the
    // previous file is untouched. Refused, with nothing written, when a pending edit was.
    CStatus SaveProject(const std::string& path);
    // File Import: a raw data file as a new, current data set with the import columns, then a
    // simulation as Update runs it, since the new set takes part in the signal. Fails,
    // with the reason, when a pending edit was refused, or the file cannot be read, gives no
    // point or is refused (the decimal mark undecided, a large part of the dated rows left out);
    // nothing is added then.
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

    // Choosing a data set in the tree: stores pending edits (unless `storeFirst` is false: the
    // pages then hold the fields of a data set that is gone), makes `ds` current, which
    // recomputes its potential gains and scales its axis, and redraws the charts. False, with
    // nothing changed, when a pending edit was refused.
    bool SelectDataSet(CDataSet* ds, bool storeFirst = true);

    // Update: stores pending edits, simulates with the current parameters, reloads the pages
    // and redraws the charts. Nothing runs when a pending edit was refused.
    void Simulate();
    // The result sets box: clamps n as SelectResultSet does, applies result set n and
    // simulates, redraws the charts and reloads the pages. Nothing when an edit was refused.
    // n becomes the box's number.
    void ApplyResultSet(int32_t& n);
    // "+" and "-" of the box: the result set after or before the box's number.
    void StepResultSet(int32_t change);
    // The box's number: the result set the parameters came from, or 0 when they are the
    // user's own (after Open or Update) or there is none. Process applies it again (1 when 0).
    int32_t ResultNumber() const { return m_resultNumber; }

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
    // Zero Base: both value axes start at zero, or at the data's own bottom. A matter of
    // display: nothing is simulated, and the window typed beside it is not applied.
    void SetZeroBase(bool on);
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
    // The same as a status: refused, and the command stops, when an entry was not accepted.
    CStatus StoreForCommand();
    // Whether File Save would now write anything other than what was last opened or saved (or,
    // for a new project, an empty project). Points count as changed once any was added, removed
    // or changed, even when an Undo took the addition back; everything else counts by its text.
    // Costs a few lines of text per data set, whatever the number of points.
    bool HasUnsavedChanges() const;
    // Whether the project's file was changed or replaced on disk since it was opened or saved
    // here. False without a file or when the file is gone.
    bool FileChangedOnDisk() const;

    // Process, from the pending edits to the result set applied: stores the edits and brings
    // the range into bounds, asks `host` before a run longer than the options allow, has the
    // host show the run, ranks the result sets as asked and applies the box's number (1 when
    // the parameters were the user's own), telling every window. Refused when an edit was or
    // the host declined the long run, with nothing changed; fails without a data set.
    CStatus Process(CRunHost& host, const CProcessOptions& options);
    // The ground the last Process found under the result sets; empty once what it was computed
    // from has changed (the data sets and their points, the window, the ranges, the input and
    // the charge), since it would describe another project.
    const CLandscape& Landscape() const;

    // Process, in three steps around the run: StartProcess stores pending edits and brings the
    // range into bounds (refused when an edit was, fails without a data set or when the window
    // holds no point of the primary); RunProcess is the run itself, on any thread while the
    // interface waits; FinishProcess tells every window of the new result sets. Between the
    // first two, EstimateProcess tells what the run will cost, so that a front end can ask or
    // refuse before a long one; it takes a few tens of milliseconds at most.
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
    // `gains` says whether the current set's potential gains still hold: a window command
    // that has just computed them for its new window need not compute them again.
    enum class Gains { Recompute, Current };
    void Resimulate(Gains gains = Gains::Recompute);
    // The simulation with the potential gains, the history axis and the status of its end.
    void SimulateAndScale(Gains gains = Gains::Recompute);
    // Whether a window shows the current data set's potential gains; the command line
    // computes them only for what it prints.
    bool ShowsGains() const { return m_host != nullptr; }
    // What was last opened or saved is what the project would now write.
    void MarkSaved();

    // The current data set made current again after the list changed: its gains and axis,
    // and the pages show its fields.
    void ShowCurrentDataSet();
    // After Open and Update: the number of the result set the parameters equal, or 0.
    void MatchResultNumber();

    CProject& m_project;
    CCommandHost* m_host;
    CStatusSink* m_status;
    int32_t m_resultNumber = 1;
    // Mutable: a landscape found stale is dropped when it is asked for.
    mutable CLandscape m_landscape;
    // What the landscape was computed from (ResultInputsDigest).
    uint64_t m_landscapeInputs = 0;
    uint64_t m_savedState = 0;
    // The size and modification time of the file as last opened or saved; -1 when unknown.
    int64_t m_fileSize = -1;
    int64_t m_fileTime = -1;
};

// The number of the result set of the primary whose parameters every data set holds now (ML,
// RC and BL of each data set that has that record), or 0 when they hold none: the user's own.
int32_t MatchingResultSet(const CProject& project);

// A digest of what an optimisation's results depend on besides the parameters they set: the
// window, the range record, the primary's input and charge, and each data set's identity, size
// and end points. Constant time per data set.
uint64_t ResultInputsDigest(const CProject& project);

// What the status bar and the Analysis page say instead of a result when the window holds no
// point of some data set; empty when the simulation gives a result.
std::string SimulationNotice(const CProject& project);

// A 64-bit digest of what a save of `project` would write: its file text without the points,
// and each data set's points revision. Its cost grows with the data sets and result sets, not
// with the points.
uint64_t ProjectStateDigest(const CProject& project);
