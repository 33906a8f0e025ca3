#include "storage/project_io.h"

#include <algorithm>
#include <cstdio>

#include "model/data_set.h"
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
    CDataSet* ds = importer.Import();
    importer.Close();
    report = importer.Report();
    if (report.points > 0) {
        return CStatus::Ok();
    }
    // The project stays as it was: the empty set leaves, the previous current one returns.
    CDataSet* current = project.Current();
    project.SetCurrent(ds);
    project.RemoveCurrent();
    project.SetCurrent(current != ds ? current : nullptr);
    project.UpdateSelection();
    report.dataSet = nullptr;
    return CStatus::Error("'" + importer.GetFileName() + "' gave no point: " + report.Counts());
}

CStatus PreviewRawFile(const std::string& path, int32_t datesColumn, int32_t valuesColumn,
                       CImportPreview& preview) {
    CProject scratch;
    CDataImporter importer(scratch);
    importer.m_dateColumn = datesColumn;
    importer.m_valueColumn = valuesColumn;
    importer.KeepPreviewRows(CImportPreview::kPreviewRows);
    if (!importer.Open(path)) {
        return CStatus::Error(importer.OpenError());
    }
    const CDataSet* ds = importer.Import();
    importer.Close();
    preview = CImportPreview();
    preview.headers = importer.Headers();
    preview.rows = importer.PreviewRows();
    const size_t shown = std::min(ds->Points().size(), CImportPreview::kPreviewRows);
    char value[64];
    for (size_t i = 0; i < shown; ++i) {
        const CDataPoint& p = ds->Points()[i];
        std::snprintf(value, sizeof value, "%.5f", p.GetValue(Raw));
        preview.firstPoints.emplace_back(p.FormatDate(), value);
    }
    preview.report = importer.Report();
    preview.report.dataSet = nullptr;
    return CStatus::Ok();
}
