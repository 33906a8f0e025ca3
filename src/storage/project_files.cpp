#include "storage/project_files.h"

#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/file_io.h"
#include "storage/project_reader.h"
#include "storage/project_writer.h"

void CProjectFiles::Refresh(RefreshCode code) {
    if (m_host != nullptr) {
        m_host->Refresh(code);
    }
}

void CProjectFiles::AddRecentFile(const std::string& path) {
    if (m_host != nullptr) {
        m_host->AddRecentFile(path);
    }
}

void CProjectFiles::NewProject() {
    m_lastFile.clear();
    Refresh(REFRESH_CLEAR);
    m_project.Clear();
    Refresh(REFRESH_DATASETS);
}

bool CProjectFiles::OpenProject(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    NewProject();
    m_lastFile = path;
    AddRecentFile(path);
    CProjectReader reader(m_project);
    if (!reader.Open(path)) {
        return false;
    }
    reader.Read();
    reader.Close();
    Refresh(REFRESH_LOAD);
    Refresh(REFRESH_CURRENT);
    Refresh(REFRESH_DATASETS);
    Refresh(REFRESH_RESULTS);
    return true;
}

bool CProjectFiles::SaveProject(const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error != nullptr) {
            *error = "no file name";
        }
        return false;
    }
    Refresh(REFRESH_STORE);
    std::string problem;
    auto produce = [this](const FileChunkWriter& write) {
        return CProjectWriter(write).Write(m_project);
    };
    if (!StreamFileAtomically(path, produce, problem)) {
        if (error != nullptr) {
            *error = problem;
        }
        return false;
    }
    m_lastFile = path;
    AddRecentFile(path);
    return true;
}

bool CProjectFiles::ImportRawData(const std::string& path, CImportReport* report) {
    if (path.empty()) {
        return false;
    }
    Refresh(REFRESH_STORE);
    CDataImporter importer(m_project);
    importer.m_dateColumn = m_datesInCol;
    importer.m_valueColumn = m_valsInCol;
    if (!importer.Open(path)) {
        return false;
    }
    CDataSet* ds = importer.Import();
    importer.Close();
    m_project.SetCurrentDataSet(ds);
    if (report != nullptr) {
        report->dataSet = ds;
        report->skipped = importer.m_skipped;
        report->dateOrder = importer.m_dateOrder;
    }
    Refresh(REFRESH_CURRENT);
    Refresh(REFRESH_DATASETS);
    return true;
}
