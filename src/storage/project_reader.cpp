#include "storage/project_reader.h"

#include "model/limits.h"
#include "model/data_set.h"
#include "model/project.h"

namespace {

bool Contains(const std::string& line, const char* tag) {
    return line.find(tag) != std::string::npos;
}

}  // namespace

bool CProjectReader::Read() {
    std::string line;
    while (ReadString(line)) {
        if (line.size() < 8) {
            continue;
        }
        if (Contains(line, "<LIMITS")) {
            ReadLimits(line);
        }
        if (Contains(line, "<RANGE")) {
            ReadRecord(line, m_project.m_range);
        }
        if (Contains(line, "<DATASET")) {
            ReadDataSet(line);
        }
    }
    return true;
}

void CProjectReader::ReadLimits(const std::string& line) {
    CLimits limits;
    ReadDateAttribute(line, "START", limits.start);
    ReadDateAttribute(line, "END", limits.end);
    m_project.SetWindow(limits);
}

void CProjectReader::ReadDataSet(const std::string& line) {
    CDataSet* ds = m_project.AddDataSet(GetStringAttribute(line, "NAME"));
    std::string row;
    while (ReadString(row)) {
        if (row.size() < 5) {
            continue;
        }
        if (Contains(row, "<PARAMETERS")) {
            ReadRecord(row, ds->m_params);
        }
        if (Contains(row, "<CURRENCY")) {
            ds->m_currency = GetStringAttribute(row, "VALUE");
        }
        if (Contains(row, "<COMMENT")) {
            ds->m_comment = GetStringAttribute(row, "VALUE");
        }
        if (Contains(row, "<RESULT")) {
            ReadRecord(row, ds->AddResult());
        }
        if (Contains(row, "<DATAPOINT")) {
            ReadDataPoint(row, *ds);
        }
        if (Contains(row, "</DATASET")) {
            return;
        }
    }
}

void CProjectReader::ReadRecord(const std::string& line, CStrategyParams& record) {
    record.ML = GetIntAttribute(line, "ML");
    record.MU = GetIntAttribute(line, "MU");
    record.RC = GetDoubleAttribute(line, "RC");
    record.RR = GetIntAttribute(line, "RR");
    record.BL = GetIntAttribute(line, Contains(line, "BL") ? "BL" : "BC");
    record.BI = GetIntAttribute(line, "BI");
    record.IN = GetDoubleAttribute(line, "IN");
    record.TT = GetDoubleAttribute(line, "TT");
    record.GN = GetDoubleAttribute(line, "GN");
}

void CProjectReader::ReadDataPoint(const std::string& line, CDataSet& ds) {
    CDataPoint point;
    ReadDateAttribute(line, "DATE", point);
    // A line whose date gives no serial (no DATE, a value too short, a month outside the year,
    // a date too far out) is skipped. Kept, the point would sit at the default serial under
    // date fields that name another day, and the file saved from it would load that point on
    // that day, ahead of the points after it, which would then be dropped.
    if (point.m_month < 1 || point.m_month > 12 ||
        DateToSerial(point.m_day, point.m_month, point.m_year) != point.m_serial) {
        return;
    }
    point.SetValue(Raw, GetDoubleAttribute(line, "VALUE"));
    ds.AppendPoint(point);
}
