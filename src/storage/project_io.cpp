#include "storage/project_io.h"

#include <algorithm>
#include <cstdio>

#include "model/data_set.h"
#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/file_io.h"
#include "storage/project_reader.h"
#include "storage/project_writer.h"

CStatus ReadProjectFile(CProject& project, const std::string& path, CReadReport* report,
                        const std::atomic<bool>* stop, CProgressSink* progress) {
    CProjectReader reader(project);
    if (!reader.Open(path)) {
        return reader.OpenStatus();
    }
    reader.Watch(stop, progress);
    reader.Read();
    const bool stopped = reader.Stopped();
    reader.Close();
    if (stopped) {
        return CStatus::Cancelled("the reading of '" + path + "' was stopped");
    }
    if (report != nullptr) {
        *report = reader.Report();
    }
    if (!reader.Report().IsProject()) {
        return CStatus::Damaged("'" + path +
                                "' is not a Quillmark project: it has no QUILLMARK, LIMITS, RANGE "
                                "or DATASET line");
    }
    return CStatus::Ok();
}

CStatus WriteProjectFile(const CProject& project, const std::string& path) {
    auto produce = [&project](const FileChunkWriter& write) {
        return CProjectWriter(write).Write(project);
    };
    return StreamFileAtomically(path, produce);
}

namespace {

void Configure(CDataImporter& importer, const CImportChoices& choices) {
    importer.m_dateColumn = choices.datesColumn;
    importer.m_valueColumn = choices.valuesColumn;
    importer.m_decimalMarkChoice = choices.decimalMark;
    importer.m_dateOrderChoice = choices.dateOrder;
}

}  // namespace

CStatus ImportRawFile(CProject& project, const std::string& path, int32_t datesColumn,
                      int32_t valuesColumn, CImportReport& report) {
    CImportChoices choices;
    choices.datesColumn = datesColumn;
    choices.valuesColumn = valuesColumn;
    return ImportRawFile(project, path, choices, report);
}

CStatus ImportRawFile(CProject& project, const std::string& path, const CImportChoices& choices,
                      CImportReport& report) {
    CDataImporter importer(project);
    Configure(importer, choices);
    if (!importer.Open(path)) {
        return importer.OpenStatus();
    }
    CDataSet* ds = importer.Import();
    importer.Close();
    report = importer.Report();
    const bool refused = !report.refusal.empty() && !(report.mayForce && choices.allowPartial);
    if (report.points > 0 && !refused) {
        return CStatus::Ok();
    }
    // The project stays as it was: the empty set leaves, the previous current one returns.
    CDataSet* current = project.Current();
    project.SetCurrent(ds);
    project.RemoveCurrent();
    project.SetCurrent(current != ds ? current : nullptr);
    project.UpdateSelection();
    report.dataSet = nullptr;
    const std::string file = "'" + importer.GetFileName() + "'";
    if (report.points == 0) {
        std::string reason =
            file + " gave no point: " + report.Counts() + "; read with " + report.HowRead();
        if (!report.unknownMonth.empty()) {
            reason += "; month name '" + report.unknownMonth + "' not known";
        }
        return CStatus::Damaged(reason);
    }
    return CStatus::Refused(file + " not imported: " + report.refusal + " (read with " +
                            report.HowRead() + ")");
}

CStatus PreviewRawFile(const std::string& path, int32_t datesColumn, int32_t valuesColumn,
                       CImportPreview& preview) {
    CImportChoices choices;
    choices.datesColumn = datesColumn;
    choices.valuesColumn = valuesColumn;
    return PreviewRawFile(path, choices, preview);
}

CStatus PreviewRawFile(const std::string& path, const CImportChoices& choices,
                       CImportPreview& preview) {
    CProject scratch;
    CDataImporter importer(scratch);
    Configure(importer, choices);
    importer.KeepPreviewRows(CImportPreview::kPreviewRows);
    if (!importer.Open(path)) {
        return importer.OpenStatus();
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
