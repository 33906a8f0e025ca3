#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class CProject;
class CDataSet;
class CDataPoint;
class CLimits;
class CStrategyParams;

// Takes the next piece of a file's text; false when it could not be kept (writing stops).
using TextSink = std::function<bool(std::string_view)>;

// Writes a project file: declaration, root, LIMITS and RANGE lines, then each data set block
// (DATASET, CURRENCY, COMMENT, PARAMETERS, RESULT and DATAPOINT lines), every line ended by
// CR LF. Only the model's public fields are read; the project is not changed.
//
// The text is built in a buffer that is handed to the sink whenever it holds `chunkSize` bytes
// or more, so memory stays at about one chunk plus one line however long the series are.
class CProjectWriter {
  public:
    static constexpr size_t kChunkSize = size_t{1} << 20;

    explicit CProjectWriter(TextSink sink, size_t chunkSize = kChunkSize);

    // Writes the whole file through the sink. False as soon as the sink refuses a piece; nothing
    // more is produced then.
    bool Write(const CProject& project);

    // Leaves the DATAPOINT lines out of what Write produces: the rest of the file, a few lines
    // a data set, for telling changes apart without a pass over every point.
    void LeaveOutPoints() { m_points = false; }

  private:
    void WriteLimits(const CLimits& limits);
    void WriteRange(const CStrategyParams& range);
    void WriteParameters(const CStrategyParams& params);
    void WriteResult(const CStrategyParams& result);
    void WriteDataSet(const CDataSet& ds);
    void WriteDataPoint(const CDataPoint& point);
    void WriteDate(const CDataPoint& point);
    // Ends the line and passes the buffer on once it is full.
    void EndLine();
    void Flush();

    TextSink m_sink;
    size_t m_chunkSize;
    std::string m_buffer;
    bool m_ok = true;
    bool m_points = true;
};

// The whole file text in memory, for small projects and tests.
std::string ProjectText(const CProject& project);
