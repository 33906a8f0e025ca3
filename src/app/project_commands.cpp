#include "app/project_commands.h"

#include "analysis/simulation.h"
#include "app/parameter_rules.h"
#include "charts/project_view.h"
#include "model/project.h"

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
    Refresh(REFRESH_CLEAR);
    m_project.Clear();
    Refresh(REFRESH_DATASETS);
}

CStatus CProjectCommands::OpenProject(const std::string& path, CReadReport* report) {
    if (path.empty()) {
        return CStatus::Error("no file name");
    }
    CProject loaded;
    m_project.CopySettingsTo(loaded);
    CStatus read = ReadProjectFile(loaded, path, report);
    if (!read) {
        return read;
    }
    NewProject();
    m_project.TakeFrom(loaded);
    m_lastFile = path;
    AddRecentFile(path);
    Refresh(REFRESH_LOAD);
    Refresh(REFRESH_CURRENT);
    Refresh(REFRESH_DATASETS);
    Refresh(REFRESH_RESULTS);
    return read;
}

CStatus CProjectCommands::SaveProject(const std::string& path) {
    if (path.empty()) {
        return CStatus::Error("no file name");
    }
    Refresh(REFRESH_STORE);
    CStatus written = WriteProjectFile(m_project, path);
    if (written) {
        m_lastFile = path;
        AddRecentFile(path);
    }
    return written;
}

CStatus CProjectCommands::ImportRawData(const std::string& path, CImportReport* report) {
    if (path.empty()) {
        return CStatus::Error("no file name");
    }
    Refresh(REFRESH_STORE);
    return Import(path, report);
}

CStatus CProjectCommands::ImportRawData(const std::string& path, int32_t datesColumn,
                                        int32_t valuesColumn, CImportReport* report) {
    if (path.empty()) {
        return CStatus::Error("no file name");
    }
    Refresh(REFRESH_STORE);
    m_datesInCol = datesColumn;
    m_valsInCol = valuesColumn;
    return Import(path, report);
}

CStatus CProjectCommands::Import(const std::string& path, CImportReport* report) {
    CImportReport made;
    CStatus imported = ImportRawFile(m_project, path, m_datesInCol, m_valsInCol, made);
    if (!imported) {
        return imported;
    }
    SetCurrentDataSet(m_project, made.dataSet);
    if (report != nullptr) {
        *report = made;
    }
    Refresh(REFRESH_CURRENT);
    Refresh(REFRESH_DATASETS);
    return imported;
}

void CProjectCommands::Simulate() {
    Refresh(REFRESH_STORE);
    ::Simulate(m_project, m_status);
    ScaleHistory(m_project);
    Refresh(REFRESH_LOAD);
    RedrawCharts();
}

void CProjectCommands::ApplyResultSet(int32_t& n) {
    Refresh(REFRESH_STORE);
    SelectResultSet(m_project, n, m_status);
    ScaleHistory(m_project);
    RedrawCharts();
    Refresh(REFRESH_LOAD);
}

CStatus CProjectCommands::StartProcess() {
    Refresh(REFRESH_STORE);
    return ValidateRange(m_project);
}

CSweepEstimate CProjectCommands::EstimateProcess(const CProject& project, int threads) {
    return EstimateSweep(project, threads);
}

void CProjectCommands::RunProcess(CProject& project, int threads, const std::atomic<bool>& stop,
                                  CProgressSink* progress, CLandscape* landscape) {
    Optimise(project, threads, stop, progress, landscape);
}

void CProjectCommands::FinishProcess() {
    Refresh(REFRESH_RESULTS);
}
