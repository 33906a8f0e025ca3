#pragma once

#include <cstdint>
#include <string>

class CProject;
class CDataSet;

// The codes of the refresh broadcast that keeps every window in step with the project.
enum RefreshCode : int32_t {
    REFRESH_LOAD = 0,      // controls re-read the project
    REFRESH_STORE = 1,     // controls write pending edits into the project
    REFRESH_RESULTS = 2,   // the result sets changed
    REFRESH_CURRENT = 3,   // the current data set changed
    REFRESH_DATASETS = 4,  // the list of data sets changed
    REFRESH_CLEAR = 5,     // the project is about to be emptied
};

// What the file commands need of the program around them: the refresh broadcast to every
// window and the recent-file list. The desktop program implements it; the command line
// leaves both empty.
class CFileCommandHost {
  public:
    virtual ~CFileCommandHost() = default;
    virtual void Refresh(RefreshCode code) = 0;
    virtual void AddRecentFile(const std::string& path) = 0;
};

// Summary of the last raw data import.
struct CImportReport {
    CDataSet* dataSet = nullptr;
    int64_t skipped = 0;
    int32_t dateOrder = 1;  // 1 month first, 0 day first
};

// Opening, saving, emptying and importing into the one project, with the refreshes around each
// step. The only place where projects are opened, saved and emptied.
class CProjectFiles {
  public:
    explicit CProjectFiles(CProject& project, CFileCommandHost* host = nullptr)
        : m_project(project), m_host(host) {}

    // Empties the project and forgets its file.
    void NewProject();
    // Empties the project, remembers the path (also in the recent files) and reads the file.
    // False, with an empty project, when the path is empty or the file cannot be opened.
    bool OpenProject(const std::string& path);
    // Stores pending edits and writes the project through a temporary file renamed over the
    // target; the path becomes the project's file. False (with `error`) when the path is empty
    // or the file cannot be written; the previous file is then untouched.
    bool SaveProject(const std::string& path, std::string* error = nullptr);
    // Imports a raw data file as a new, current data set with the import columns.
    bool ImportRawData(const std::string& path, CImportReport* report = nullptr);

    CProject& Project() const { return m_project; }

    std::string m_lastFile;
    int32_t m_datesInCol = 1;
    int32_t m_valsInCol = 2;

  private:
    void Refresh(RefreshCode code);
    void AddRecentFile(const std::string& path);

    CProject& m_project;
    CFileCommandHost* m_host;
};
