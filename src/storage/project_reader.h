#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/strategy_params.h"
#include "storage/text_scanner.h"

class CDataSet;

// What a read kept and what it could not keep, so that the user can mend a file before a save
// makes a loss permanent.
struct CReadReport {
    static constexpr size_t kFirstLines = 5;

    // Lines whose element makes the file a project: QUILLMARK, LIMITS, RANGE or DATASET.
    int64_t projectLines = 0;
    int64_t points = 0;
    // Points left out because their date is not after the points kept before them (out of
    // order or a repeated date), DATAPOINT lines whose date gives no day, and DATAPOINT lines
    // whose value is not a finite number ("nan", "inf", "1e400").
    int64_t droppedPoints = 0;
    int64_t badDates = 0;
    int64_t badValues = 0;
    // PARAMETERS, RANGE and RESULT lines with a number that is not finite: the field keeps its
    // value (a PARAMETERS or RANGE line), or the result set is left out (a RESULT line).
    int64_t badNumbers = 0;
    // The first kFirstLines line numbers of each, in order.
    std::vector<int64_t> droppedLines;
    std::vector<int64_t> badDateLines;
    std::vector<int64_t> badValueLines;
    std::vector<int64_t> badNumberLines;

    bool IsProject() const { return projectLines > 0; }
    // Whether anything the file holds was not read: points, result sets or numbers.
    bool LostPoints() const {
        return droppedPoints > 0 || badDates > 0 || badValues > 0 || badNumbers > 0;
    }
    // For the user: "2 points out of date order (lines 152, 160) and 1 line without a valid
    // date (line 9) were not read." and, for numbers, "1 line with a number that is not finite
    // (line 4) was not read in full." Empty when nothing was lost.
    std::string Summary() const;
};

// Loads a project file into the project. A line's element is the tag at its start (after
// blanks); attribute values are found by their keys, and texts have their entities decoded.
// Anything else is ignored. Once the file is open, reading never fails.
//
// What is read is what a save writes: a save followed by a read gives the same project. So a
// window date the file does not give (no LIMITS line, no START or END, or a date that names no
// day) is set to the primary data set's first or last date, as Limits would set it (1 January
// 2000 without points), and a point value is held as the file format writes it (rounded to
// the decimals the value field has room for).
//
// The points of a data set must be in strictly increasing date order. When some are not, the
// reader keeps the largest set of them that is (so one mistyped date costs that one point, not
// every point after it) and reports the others.
class CProjectReader : public CTextScanner {
  public:
    using CTextScanner::CTextScanner;

    // Reads the whole input into the project. Always true.
    bool Read();
    const CReadReport& Report() const { return m_report; }

  private:
    struct PendingPoint;

    void ReadLimits(std::string_view line);
    // Gives the window dates the file did not give their defined values.
    void CompleteWindow();
    // Creates a data set and consumes the lines of its block.
    void ReadDataSet(std::string_view line);
    // Fills a record in any of its three roles; absent keys give 0. GN is read too, so stored
    // result sets keep their gains; a line without it gives 0. A real that is not a finite
    // number ("nan", "inf", "1e400") is not taken: its field keeps its value, and the line is
    // reported. Returns false for such a line.
    bool ReadRecord(std::string_view line, CStrategyParams& record);
    // A RESULT line: left out when a number of it is not finite, since a result set with a
    // gain or ratio the file does not hold would be offered as found.
    void ReadResult(std::string_view line, CDataSet& ds);
    void ReadDataPoint(std::string_view line, CDataSet& ds, std::vector<PendingPoint>& refused);
    // A point of the stored date given and the value text, kept when it is after the last one.
    void AddDataPoint(CDataSet& ds, int32_t day, int32_t month, int32_t year,
                      std::string_view value, std::vector<PendingPoint>& refused);
    // After a block with refused points: the largest date-ordered subset of all its points.
    void KeepLongestOrderedRun(CDataSet& ds, std::vector<PendingPoint>& refused);
    void Dropped(int64_t line);

    CReadReport m_report;
    bool m_windowStartRead = false;
    bool m_windowEndRead = false;
    // The line of each point kept so far in the current block, as runs of consecutive lines: a
    // block as the program writes it is one run, however many points it holds.
    class CLineRuns {
      public:
        void Clear();
        void Push(int64_t line);
        int64_t At(size_t index) const;

      private:
        struct Run {
            size_t first;  // index of the run's first point
            int64_t line;  // and its line
        };
        std::vector<Run> m_runs;
        size_t m_count = 0;
    };
    CLineRuns m_pointLines;
};
