#include "storage/project_writer.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "model/limits.h"
#include "model/project.h"
#include "storage/text_out.h"

namespace {

// The decimal digits of `value` from `p` on (at most 11 characters); returns their end.
char* PutInt(char* p, int32_t value) {
    int64_t rest = value;
    if (rest < 0) {
        *p++ = '-';
        rest = -rest;
    }
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    while (count > 0) {
        *p++ = digits[--count];
    }
    return p;
}

}  // namespace

CProjectWriter::CProjectWriter(TextSink sink, size_t chunkSize)
    : m_sink(std::move(sink)), m_chunkSize(chunkSize) {
    // Room for the longest data point line too, so the buffer does not grow past one chunk.
    m_buffer.reserve(chunkSize + 512);
}

bool CProjectWriter::Write(const CProject& project) {
    m_buffer += "<?xml version=\"1.0\"?>";
    EndLine();
    m_buffer += "<QUILLMARK>";
    EndLine();
    WriteLimits(project.m_viewLimits);
    WriteRange(project.m_range);
    for (const auto& ds : project.DataSets()) {
        if (!m_ok) {
            return false;
        }
        WriteDataSet(*ds);
    }
    m_buffer += "</QUILLMARK>";
    EndLine();
    Flush();
    return m_ok;
}

void CProjectWriter::EndLine() {
    m_buffer += kLineEnd;
    if (m_buffer.size() >= m_chunkSize) {
        Flush();
    }
}

void CProjectWriter::Flush() {
    if (m_ok && !m_buffer.empty()) {
        m_ok = m_sink(m_buffer);
    }
    m_buffer.clear();
}

void CProjectWriter::WriteDate(const CDataPoint& point) {
    m_buffer += '"';
    AppendInt(m_buffer, point.m_month);
    m_buffer += '.';
    AppendInt(m_buffer, point.m_day);
    m_buffer += '.';
    AppendInt(m_buffer, point.m_year);
    m_buffer += '"';
}

void CProjectWriter::WriteLimits(const CLimits& limits) {
    m_buffer += "<LIMITS START=";
    WriteDate(limits.start);
    m_buffer += " END=";
    WriteDate(limits.end);
    m_buffer += " />";
    EndLine();
}

void CProjectWriter::WriteRange(const CStrategyParams& range) {
    m_buffer += "<RANGE ";
    AppendIntAttribute(m_buffer, "ML", range.ML);
    AppendIntAttribute(m_buffer, "MU", range.MU);
    AppendIntAttribute(m_buffer, "RR", range.RR);
    AppendIntAttribute(m_buffer, "BL", range.BL);
    AppendIntAttribute(m_buffer, "BI", range.BI);
    m_buffer += " />";
    EndLine();
}

void CProjectWriter::WriteParameters(const CStrategyParams& params) {
    m_buffer += "<PARAMETERS ";
    AppendIntAttribute(m_buffer, "ML", params.ML);
    AppendRealAttribute(m_buffer, "RC", params.RC);
    AppendIntAttribute(m_buffer, "BL", params.BL);
    AppendRealAttribute(m_buffer, "IN", params.IN);
    AppendRealAttribute(m_buffer, "TT", params.TT);
    AppendRealAttribute(m_buffer, "GN", params.GN);
    m_buffer += " />";
    EndLine();
}

// A stored result calls its flag level BC.
void CProjectWriter::WriteResult(const CStrategyParams& result) {
    m_buffer += "<RESULT";
    AppendIntAttribute(m_buffer, "ML", result.ML);
    AppendRealAttribute(m_buffer, "RC", result.RC);
    AppendIntAttribute(m_buffer, "BC", result.BL);
    AppendRealAttribute(m_buffer, "GN", result.GN);
    m_buffer += " />";
    EndLine();
}

void CProjectWriter::WriteDataSet(const CDataSet& ds) {
    m_buffer += "<DATASET NAME=";
    AppendEscapedText(m_buffer, ds.m_name);
    m_buffer += ">";
    EndLine();
    m_buffer += "<CURRENCY VALUE=";
    AppendEscapedText(m_buffer, ds.m_currency);
    m_buffer += " />";
    EndLine();
    m_buffer += "<COMMENT VALUE=";
    AppendEscapedText(m_buffer, ds.m_comment);
    m_buffer += " />";
    EndLine();
    WriteParameters(ds.m_params);
    for (const CStrategyParams& result : ds.m_results) {
        WriteResult(result);
    }
    for (const CDataPoint& point : ds.Points()) {
        if (!m_ok || !m_points) {
            return;  // the sink gave up: the rest would be thrown away
        }
        WriteDataPoint(point);
    }
    m_buffer += "</DATASET>";
    EndLine();
}

void CProjectWriter::WriteDataPoint(const CDataPoint& point) {
    // The head of the line in one piece: a million points make this the writer's loop.
    constexpr std::string_view kHead = "<DATAPOINT  DATE=\"";
    constexpr std::string_view kMiddle = "\" VALUE=\"";
    char text[kHead.size() + 3 * 12 + kMiddle.size()];
    char* p = std::copy(kHead.begin(), kHead.end(), text);
    p = PutInt(p, point.m_month);
    *p++ = '.';
    p = PutInt(p, point.m_day);
    *p++ = '.';
    p = PutInt(p, point.m_year);
    p = std::copy(kMiddle.begin(), kMiddle.end(), p);
    m_buffer.append(text, p);
    AppendFixedValue(m_buffer, point.GetValue(Raw));
    m_buffer += "\" />";
    EndLine();
}

std::string ProjectText(const CProject& project) {
    std::string text;
    // The text grows whole anyway; a small buffer keeps small projects cheap to write.
    constexpr size_t kPiece = size_t{1} << 16;
    CProjectWriter writer(
        [&text](std::string_view chunk) {
            text += chunk;
            return true;
        },
        kPiece);
    writer.Write(project);
    return text;
}
