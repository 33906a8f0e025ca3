#include "storage/project_io.h"

#include <cerrno>
#include <cstring>

#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/file_io.h"
#include "storage/project_reader.h"
#include "storage/project_writer.h"

namespace {

CStatus CannotOpen(const std::string& path, int error) {
    return CStatus::Error("cannot open '" + path +
                          "': " + std::strerror(error != 0 ? error : ENOENT));
}

}  // namespace

CStatus ReadProjectFile(CProject& project, const std::string& path) {
    CProjectReader reader(project);
    errno = 0;
    if (!reader.Open(path)) {
        return CannotOpen(path, errno);
    }
    reader.Read();
    reader.Close();
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
    errno = 0;
    if (!importer.Open(path)) {
        return CannotOpen(path, errno);
    }
    report.dataSet = importer.Import();
    importer.Close();
    report.skipped = importer.m_skipped;
    report.dateOrder = importer.m_dateOrder;
    return CStatus::Ok();
}
