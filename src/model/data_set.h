#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "model/data_point.h"
#include "model/limits.h"
#include "model/point_allocator.h"
#include "model/strategy_params.h"

class CProject;

// A data set's points; their blocks come from the point arena (model/point_allocator.h).
using CPointDeque = std::deque<CDataPoint, CPointAllocator<CDataPoint>>;

// Indexes of m_gains.
enum GainFigure : int { RawRises = 0, RawFalls = 1, SmoothRises = 2, SmoothFalls = 3 };

// One named market series: strictly date-ordered points with a currency and a comment, the
// strategy parameters of the series, the result sets of earlier optimisations and the potential
// gain figures. Created and destroyed only by its project, which it points back to for the
// window and the other data sets.
//
// Points live in a deque: appending and prepending are constant time and never move a point,
// so the cursor and the last added point stay valid while the set grows.
class CDataSet {
  public:
    CDataSet(CProject* project, std::string name);
    CDataSet(const CDataSet&) = delete;
    CDataSet& operator=(const CDataSet&) = delete;

    // --- Container ---------------------------------------------------------------------

    // Takes the point when the set is empty or it is later (earlier) than the last (first)
    // point; a taken point becomes the cursor point unless it is the set's first. Returns false
    // and keeps nothing otherwise.
    bool AppendPoint(const CDataPoint& point);
    bool PrependPoint(const CDataPoint& point);

    // A typed-in value: appended like AppendPoint; when taken, both limits records of the
    // project widen to include its date and it becomes the point UndoAddPoint may take back.
    bool AddPoint(int32_t day, int32_t month, int32_t year, double value);

    // Removes every point (the cursor and the last added point with them).
    void ClearPoints();

    // Takes back the last added point if it is still the last point; the end of `window` then
    // becomes the new last point's date. One level deep.
    void UndoAddPoint(CLimits& window);

    // The last point inside the project's window not after start + days x fraction (fraction
    // clamped to 0..1) becomes the cursor point, or none; returns it.
    const CDataPoint* FindCursorPoint(double fraction);

    // Appends a result record with the record defaults for the caller to fill. The reference
    // stays valid until the next AddResult or ClearResults.
    CStrategyResult& AddResult();
    void ClearResults() { m_results.clear(); }

    // Copies ML, RC and BL of the n-th result record of this data set (first is 1) into
    // m_params. Returns false and changes nothing for n outside the records.
    bool ApplyResult(int32_t n);

    const CPointDeque& Points() const { return m_points; }
    // Changes whenever a point is added or removed or a raw value changes, to a number no data
    // set of the process has had before: equal revisions mean the same points, unchanged.
    uint64_t PointsRevision() const { return m_pointsRevision; }
    // The points for the filters and the simulation, which rewrite value slots 1 to 6 and the
    // flags. REQUIRES: the caller changes no date.
    CPointDeque& MutablePoints() { return m_points; }
    // Indexes [first, last) of the points inside the dates of `limits`.
    std::pair<size_t, size_t> PointsInside(const CLimits& limits) const;
    // Indexes [first, last) of the points inside the project's window.
    std::pair<size_t, size_t> PointsInWindow() const { return PointsInside(Window()); }
    const CLimits& Window() const;
    const CDataPoint* Cursor() const { return m_cursor; }
    CProject* Project() const { return m_project; }

    // --- Whole-set slot operations --------------------------------------------------------

    void ZeroSlot(int slot);
    void CopySlot(int from, int to);
    void ClearFlags();
    // Zeroes the given slots (not Raw) and clears the flags in one pass over the points.
    void ZeroSlotsAndFlags(std::initializer_list<int> slots);

    std::array<double, 4> m_gains{};
    CStrategyParams m_params;
    std::string m_name;
    std::string m_currency;
    std::string m_comment;
    std::vector<CStrategyResult> m_results;

  private:
    friend class CProject;  // moves data sets from one project to another

    // Index of the first point not before / after `serial`.
    size_t LowerBound(int32_t serial) const;
    size_t UpperBound(int32_t serial) const;

    void PointsChanged();

    CProject* m_project;
    uint64_t m_pointsRevision = 0;
    const CDataPoint* m_cursor = nullptr;
    const CDataPoint* m_lastAdded = nullptr;
    CPointDeque m_points;
};
