#include "app/project_commands.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "analysis/landscape.h"
#include "analysis/optimiser.h"
#include "analysis/potential_gains.h"
#include "analysis/simulation.h"
#include "analysis/status_sink.h"
#include "app/parameter_rules.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "storage/project_writer.h"

namespace {

// FNV-1a over the bytes of `value`.
template <typename T>
void Mix(uint64_t& digest, const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (const unsigned char byte : bytes) {
        digest = (digest ^ byte) * 1099511628211ULL;
    }
}

// The size and modification time of the file at `path`; false when it cannot be looked at.
bool StampOf(const std::string& path, int64_t& size, int64_t& time) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    if (error) {
        return false;
    }
    const auto written = std::filesystem::last_write_time(path, error);
    if (error) {
        return false;
    }
    size = static_cast<int64_t>(bytes);
    time = std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
    return true;
}

}  // namespace

uint64_t ProjectStateDigest(const CProject& project) {
    // FNV-1a: cheap, and any difference of text shows with near certainty.
    uint64_t digest = 14695981039346656037ULL;
    // Pieces of 64 KiB: the digest runs after every command, mostly on small projects.
    constexpr size_t kPiece = size_t{1} << 16;
    CProjectWriter writer(
        [&digest](std::string_view piece) {
            for (const char c : piece) {
                digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
            }
            return true;
        },
        kPiece);
    writer.LeaveOutPoints();
    writer.Write(project);
    for (const auto& ds : project.DataSets()) {
        Mix(digest, ds->PointsRevision());
    }
    return digest;
}

uint64_t ResultInputsDigest(const CProject& project) {
    uint64_t digest = 14695981039346656037ULL;
    Mix(digest, project.m_viewLimits.start.m_serial);
    Mix(digest, project.m_viewLimits.end.m_serial);
    const CStrategyRange& range = project.m_range;
    for (const int32_t field : {range.ML, range.MU, range.RR, range.BL, range.BI}) {
        Mix(digest, field);
    }
    if (const CDataSet* primary = project.Primary()) {
        Mix(digest, primary->m_params.IN);
        Mix(digest, primary->m_params.TT);
    }
    for (const auto& ds : project.DataSets()) {
        Mix(digest, ds.get());
        Mix(digest, ds->Points().size());
        if (!ds->Points().empty()) {
            Mix(digest, ds->Points().front().m_serial);
            Mix(digest, ds->Points().back().m_serial);
            Mix(digest, ds->Points().back().GetValue(Raw));
        }
    }
    return digest;
}

const CLandscape& CProjectCommands::Landscape() const {
    if (m_landscape.Recorded() && ResultInputsDigest(m_project) != m_landscapeInputs) {
        m_landscape = CLandscape();
    }
    return m_landscape;
}

int32_t MatchingResultSet(const CProject& project) {
    const CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return 0;
    }
    for (size_t i = 0; i < primary->m_results.size(); ++i) {
        bool equal = true;
        for (const auto& ds : project.DataSets()) {
            if (i >= ds->m_results.size()) {
                continue;
            }
            const CStrategyResult& r = ds->m_results[i];
            const CStrategyParams& p = ds->m_params;
            equal = equal && p.ML == r.ML && p.RC == r.RC && p.BL == r.BL;
        }
        if (equal) {
            return static_cast<int32_t>(i + 1);
        }
    }
    return 0;
}

std::string SimulationNotice(const CProject& project) {
    const CDataSet* outside = DataSetOutsideWindow(project);
    if (outside == nullptr) {
        return std::string();
    }
    return "No point of \"" + outside->m_name + "\" in the window: no result.";
}

CProjectCommands::CProjectCommands(CProject& project, CCommandHost* host, CStatusSink* status)
    : m_project(project), m_host(host), m_status(status) {
    MarkSaved();
}

void CProjectCommands::Refresh(RefreshCode code) {
    if (m_host != nullptr) {
        m_host->Refresh(code);
    }
}

void CProjectCommands::AddRecentFile(const std::string& path) {
    if (m_host != nullptr) {
        m_host->AddRecentFile(path);
    }
}

void CProjectCommands::RedrawCharts() {
    if (m_host != nullptr) {
        m_host->RedrawCharts();
    }
}

void CProjectCommands::NewProject() {
    m_lastFile.clear();
    m_landscape = CLandscape();
    Refresh(REFRESH_CLEAR);
    m_project.Clear();
    Refresh(REFRESH_DATASETS);
    if (m_host != nullptr) {
        m_host->ShowNotice(std::string());
    }
    MarkSaved();
    RedrawCharts();
}

bool CProjectCommands::StorePending() {
    return m_host == nullptr || m_host->StoreEdits();
}

CStatus CProjectCommands::StoreForCommand() {
    if (!StorePending()) {
        return CStatus::Refused("a typed entry was not accepted");
    }
    return CStatus::Ok();
}

void CProjectCommands::MarkSaved() {
    m_savedState = ProjectStateDigest(m_project);
    if (m_lastFile.empty() || !StampOf(m_lastFile, m_fileSize, m_fileTime)) {
        m_fileSize = -1;
        m_fileTime = -1;
    }
}

bool CProjectCommands::HasUnsavedChanges() const {
    return ProjectStateDigest(m_project) != m_savedState;
}

bool CProjectCommands::FileChangedOnDisk() const {
    int64_t size = 0;
    int64_t time = 0;
    if (m_lastFile.empty() || !StampOf(m_lastFile, size, time)) {
        return false;
    }
    return size != m_fileSize || time != m_fileTime;
}

void RunInPlace(const SweepRun& run) {
    const std::atomic<bool> never{false};
    run(never, nullptr);
}

void CCommandHost::ShowRead(const std::string& /*path*/, const SweepRun& read) {
    RunInPlace(read);
}

CStatus CProjectCommands::OpenProject(const std::string& path, CReadReport* report) {
    if (path.empty()) {
        return CStatus::Refused("no file name");
    }
    CProject loaded;
    m_project.CopySettingsTo(loaded);
    // The read fills a project of its own, so it may run beside the windows, which go on
    // showing the current project until it is done.
    CStatus read = CStatus::Ok();
    const SweepRun readFile = [&](const std::atomic<bool>& stop, CProgressSink* progress) {
        read = ReadProjectFile(loaded, path, report, &stop, progress);
    };
    if (m_host != nullptr) {
        m_host->ShowRead(path, readFile);
    } else {
        RunInPlace(readFile);
    }
    if (!read) {
        return read;
    }
    NewProject();
    m_project.TakeFrom(loaded);
    m_lastFile = path;
    AddRecentFile(path);
    // The file's own parameters, simulated: what it holds is what the windows show and what
    // a save writes back.
    if (CDataSet* current = m_project.Current()) {
        if (ShowsGains()) {
            SetCurrentDataSet(m_project, current);
        } else {
            ScaleLimits(*current, m_project.m_viewLimits, m_project.DisplaySlot());
        }
    }
    // Making the set current has just computed its gains over this window.
    SimulateAndScale(Gains::Current);
    MatchResultNumber();
    Refresh(REFRESH_LOAD);
    Refresh(REFRESH_CURRENT);
    Refresh(REFRESH_DATASETS);
    Refresh(REFRESH_RESULTS);
    MarkSaved();
    RedrawCharts();
    return read;
}

CStatus CProjectCommands::SaveProject(const std::string& path) {
    if (path.empty()) {
        return CStatus::Refused("no file name");
    }
    if (CStatus stored = StoreForCommand(); !stored) {
        return stored;
    }
    CStatus written = WriteProjectFile(m_project, path);
    if (written) {
        m_lastFile = path;
        AddRecentFile(path);
        MarkSaved();
    }
    return written;
}

CStatus CProjectCommands::ImportRawData(const std::string& path, CImportReport* report) {
    if (path.empty()) {
        return CStatus::Refused("no file name");
    }
    if (CStatus stored = StoreForCommand(); !stored) {
        return stored;
    }
    return Import(path, CImportChoices(), report);
}

CStatus CProjectCommands::ImportRawData(const std::string& path, int32_t datesColumn,
                                        int32_t valuesColumn, CImportReport* report) {
    CImportChoices choices;
    choices.datesColumn = datesColumn;
    choices.valuesColumn = valuesColumn;
    return ImportRawData(path, choices, report);
}

CStatus CProjectCommands::ImportRawData(const std::string& path, const CImportChoices& choices,
                                        CImportReport* report) {
    if (path.empty()) {
        return CStatus::Refused("no file name");
    }
    if (CStatus stored = StoreForCommand(); !stored) {
        return stored;
    }
    m_datesInCol = choices.datesColumn;
    m_valsInCol = choices.valuesColumn;
    return Import(path, choices, report);
}

CStatus CProjectCommands::Import(const std::string& path, CImportChoices choices,
                                 CImportReport* report) {
    CImportReport made;
    choices.datesColumn = m_datesInCol;
    choices.valuesColumn = m_valsInCol;
    CStatus imported = ImportRawFile(m_project, path, choices, made);
    if (!imported) {
        if (report != nullptr) {
            *report = made;  // what was read, and why it was refused
        }
        return imported;
    }
    SetCurrentDataSet(m_project, made.dataSet);  // computes its gains over the window
    if (report != nullptr) {
        *report = made;
    }
    Refresh(REFRESH_CURRENT);
    Refresh(REFRESH_DATASETS);
    // A new data set takes part in the signal: the figures on screen were made without it.
    Resimulate(Gains::Current);
    return imported;
}

bool CProjectCommands::SelectDataSet(CDataSet* ds, bool storeFirst) {
    if (storeFirst && !StorePending()) {
        return false;
    }
    SetCurrentDataSet(m_project, ds);
    Refresh(REFRESH_CURRENT);
    RedrawCharts();
    return true;
}

void CProjectCommands::Simulate() {
    if (StorePending()) {
        SimulateAndScale();
        MatchResultNumber();
        Refresh(REFRESH_LOAD);
        RedrawCharts();
    }
}

void CProjectCommands::MatchResultNumber() {
    m_resultNumber = MatchingResultSet(m_project);
}

void CProjectCommands::ShowCurrentDataSet() {
    if (CDataSet* current = m_project.Current()) {
        SetCurrentDataSet(m_project, current);
        Refresh(REFRESH_CURRENT);
    }
}

void CProjectCommands::Resimulate(Gains gains) {
    SimulateAndScale(gains);
    Refresh(REFRESH_LOAD);
    RedrawCharts();
}

void CProjectCommands::SimulateAndScale(Gains gains) {
    if (m_status != nullptr) {
        // Blank, or the empty project's zero: a window without a point of the primary
        // leaves no state to report, and the last one would no longer be true.
        m_status->SetStatus("", "", m_project.Primary() == nullptr ? 0.0 : -1.0, -1);
    }
    // The potential gains smooth with the current set's own length, which may have changed;
    // the simulation smooths last, so the chart shows its curve as before.
    CDataSet* current = m_project.Current();
    if (current != nullptr && ShowsGains() && gains == Gains::Recompute) {
        ComputePotentialGains(*current);
    }
    ::Simulate(m_project, m_status);
    ScaleHistory(m_project);
    const std::string notice = SimulationNotice(m_project);
    if (!notice.empty() && m_status != nullptr) {
        // A data set without a point in the window: the state at its end is no result either.
        m_status->SetStatus("", "", -1.0, -1);
    }
    if (m_host != nullptr) {
        m_host->ShowNotice(notice);
    }
}

void CProjectCommands::ApplyResultSet(int32_t& n) {
    if (!StorePending()) {
        return;
    }
    ::ApplyResultSet(m_project, n);
    m_resultNumber = n;
    SimulateAndScale();
    RedrawCharts();
    Refresh(REFRESH_LOAD);
}

void CProjectCommands::StepResultSet(int32_t change) {
    int32_t n = m_resultNumber + change;
    ApplyResultSet(n);
}

CStatus CProjectCommands::Process(CRunHost& host, const CProcessOptions& options) {
    if (CStatus started = StartProcess(); !started) {
        return started;
    }
    const CSweepEstimate estimate = EstimateProcess(m_project, options.threads);
    if (estimate.seconds > options.askAboveSeconds && !host.MayRunLong(estimate)) {
        return CStatus::Refused("the run was not started");
    }
    m_landscape = CLandscape();
    m_landscapeInputs = ResultInputsDigest(m_project);
    host.ShowRun(
        [this, &options](const std::atomic<bool>& stop, CProgressSink* progress) {
            RunProcess(m_project, options.threads, stop, progress, &m_landscape);
        },
        estimate.seconds);
    if (options.robust && m_landscape.Recorded()) {
        RankByPlateau(m_project, m_landscape);
    }
    FinishProcess();
    return CStatus::Ok();
}

void CProjectCommands::ApplyWindow() {
    // The Controls page's store sets the window.
    if (StorePending()) {
        Resimulate();
    }
}

void CProjectCommands::ResetWindow() {
    if (StorePending()) {
        // The reset computed the gains over the new window: a second pass over a million
        // points would find the same. With a primary the simulation then smooths every set,
        // and without one nothing cleared the current set's curve.
        ResetLimitsToCurrent(m_project);
        Resimulate(Gains::Current);
    }
}

void CProjectCommands::StepWindow(WindowStep stepWindow, int step) {
    if (!StorePending()) {
        return;
    }
    CLimits window;
    m_project.GetLimits(window);
    SetLimits(m_project, stepWindow(window, step));  // computes the gains over the new window
    Resimulate(Gains::Current);
}

void CProjectCommands::SetZeroBase(bool on) {
    m_project.m_viewLimits.zeroBase = on;
    m_project.m_historyLimits.zeroBase = on;
    RecomputeRanges(m_project);
    RedrawCharts();
}

void CProjectCommands::MoveUp() {
    if (StorePending()) {
        MoveCurrentUp(m_project);
        ShowCurrentDataSet();
        Refresh(REFRESH_DATASETS);
        Resimulate();
    }
}

void CProjectCommands::DeleteCurrentDataSet() {
    if (StorePending()) {
        DeleteCurrent(m_project);
        if (m_project.DataSetCount() == 0) {
            // No window shows figures of a project without data; blank them as File New does.
            Refresh(REFRESH_CLEAR);
        }
        ShowCurrentDataSet();
        Refresh(REFRESH_DATASETS);
        Resimulate();
    }
}

CProjectCommands::AddOutcome CProjectCommands::AddPoint(int32_t day, int32_t month, int32_t year,
                                                        double value) {
    if (!StorePending()) {
        return AddOutcome::EditRefused;
    }
    const bool added = m_project.AddPoint(day, month, year, value);
    // The window may have grown to the new point: rescale on the raw values.
    SetDisplaySlot(m_project, Raw);
    if (CDataSet* current = m_project.Current()) {
        SetCurrentDataSet(m_project, current);
    }
    Resimulate();
    return added ? AddOutcome::Added : AddOutcome::DateRefused;
}

void CProjectCommands::UndoAddPoint() {
    if (StorePending()) {
        m_project.UndoAddPoint();
        if (CDataSet* current = m_project.Current()) {
            SetCurrentDataSet(m_project, current);
        }
        Resimulate();
    }
}

CStatus CProjectCommands::StartProcess() {
    if (CStatus stored = StoreForCommand(); !stored) {
        return stored;
    }
    CStatus valid = ValidateRange(m_project);
    if (!valid) {
        return valid;
    }
    // Every combination would score the same non-result; result sets of it would mislead.
    const CDataSet& primary = *m_project.Primary();
    const auto [first, last] = primary.PointsInside(m_project.m_viewLimits);
    if (first == last) {
        return CStatus::Error("the window holds no point of '" + primary.m_name +
                              "': nothing to optimise");
    }
    return valid;
}

CSweepEstimate CProjectCommands::EstimateProcess(const CProject& project, int threads) {
    return EstimateSweep(project, threads);
}

void CProjectCommands::RunProcess(CProject& project, int threads, const std::atomic<bool>& stop,
                                  CProgressSink* progress, CLandscape* landscape) {
    Optimise(project, threads, stop, progress, landscape);
}

void CProjectCommands::FinishProcess() {
    // As the box does after every run: its number again, the first set after own parameters.
    int32_t n = std::max(m_resultNumber, 1);
    ApplyResultSet(n);
    Refresh(REFRESH_RESULTS);
}
