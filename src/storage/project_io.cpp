#include "storage/project_io.h"

#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/file_io.h"
#include "storage/project_reader.h"
#include "storage/project_writer.h"

CStatus ReadProjectFile(CProject& project, const std::string& path, CReadReport* report) {
    CProjectReader reader(project);
    if (!reader.Open(path)) {
        return CStatus::Error(reader.OpenError());
    }
    reader.Read();
    reader.Close();
    if (report != nullptr) {
        *report = reader.Report();
    }
    if (!reader.Report().IsProject()) {
        return CStatus::Error("'" + path +
                              "' is not a Quillmark project: it has no QUILLMARK, LIMITS, RANGE "
                              "or DATASET line");
    }
    return CStatus::Ok();
}

CStatus WriteProjectFile(const CProject& project, const std::string& path) {
    auto produce = [&project](const FileChunkWriter& write) {
        return CProjectWriter(write).Write(project);
    };
    std::string error;
    if (!StreamFileAtomically(path, produce, error)) {
        return CStatus::Error(error);
    }
    return CStatus::Ok();
}

CStatus ImportRawFile(CProject& project, const std::string& path, int32_t datesColumn,
                      int32_t valuesColumn, CImportReport& report) {
    CDataImporter importer(project);
    importer.m_dateColumn = datesColumn;
    importer.m_valueColumn = valuesColumn;
    if (!importer.Open(path)) {
        return CStatus::Error(importer.OpenError());
    }
    report.dataSet = importer.Import();
    importer.Close();
    report.skipped = importer.m_skipped;
    report.dateOrder = importer.m_dateOrder;
    return CStatus::Ok();
}
