#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "analysis/strategy_params.h"
#include "charts/draw_surface.h"
#include "charts/limits.h"
#include "model/data_point.h"

class CProject;
class CProgressSink;

// Indexes of m_gains.
enum GainFigure : int { RawRises = 0, RawFalls = 1, SmoothRises = 2, SmoothFalls = 3 };

// One named market series: strictly date-ordered points with a currency and a comment, the
// strategy parameters of the series, the result sets of earlier optimisations and the potential
// gain figures. Created and destroyed only by its project, which it points back to for the
// window, the history limits and the other data sets.
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

    // Takes back the last added point if it is still the last point; the end of `window` then
    // becomes the new last point's date. One level deep.
    void UndoAddPoint(CLimits& window);

    // The last point inside the project's window not after start + days x fraction (fraction
    // clamped to 0..1) becomes the cursor point, or none; returns it.
    const CDataPoint* FindCursorPoint(double fraction);

    // Minimum and maximum of `slot` over the points inside the dates of `limits` into its
    // extremes, then the record's Scale (also when no point is inside).
    void ScaleLimits(CLimits& limits, int slot) const;

    // Appends a result record with the record defaults for the caller to fill. The reference
    // stays valid until the next AddResult or ClearResults.
    CStrategyResult& AddResult();

    // The DATASET block of a project file: name, currency, comment, parameters, results and
    // points.
    void Write(std::string& out) const;
    void ClearResults() { m_results.clear(); }

    const std::deque<CDataPoint>& Points() const { return m_points; }
    // Indexes [first, last) of the points inside the dates of `limits`.
    std::pair<size_t, size_t> PointsInside(const CLimits& limits) const {
        return InsideRange(limits);
    }
    const CDataPoint* Cursor() const { return m_cursor; }
    CProject* Project() const { return m_project; }

    // --- Filters: every point of the set, not only the window ---------------------------

    void ZeroSlot(int slot);
    void CopySlot(int from, int to);
    void ClearFlags();
    void StageSlot(int slot);
    void WeightedAverage(int slot, int32_t days);
    void Differentiate(int from, int to);
    void Normalise(int slot);
    // Slot 4 := the weighted average of slot 0 over `days`.
    void SmoothRaw(int32_t days);
    // Slot 1 := the normalised daily change of slot 4 (averaged again when days > 1).
    void BuildDiff(int32_t days);

    // --- Statistics ----------------------------------------------------------------------

    // Fills m_gains over the project's window: the gains per year of catching every rise or
    // every fall of the raw and of the smoothed series (smoothed with m_params.ML).
    void ComputePotentialGains();

    // --- Charts --------------------------------------------------------------------------

    // The polyline of `slot` over the points inside the project's window, mapped against
    // `limits`; points below the plot are left out without breaking the line. Draws the value
    // axis of `limits` first when `drawAxis`, and the crosshair at the cursor point after when
    // `drawCursor` (out of sight when the cursor point is not drawn).
    // REQUIRES: 0 <= slot < kSlotCount.
    void DrawSeries(CDrawSurface& dc, const CLimits& limits, int slot, CColour colour,
                    bool drawAxis, bool drawCursor) const;
    // A buy dot where the market flag goes from 0 to 1 and a sell dot where it goes back, on
    // the net line of the investment history chart.
    void DrawTradeMarkers(CDrawSurface& dc) const;
    // The crosshair through (x, y) across the plot, inverting what lies under it, and a dot.
    void DrawCursor(CDrawSurface& dc, int32_t x, int32_t y) const;

    // --- Strategy, on the primary data set ----------------------------------------------

    // The full simulation with the current parameters of every data set of the project.
    void Simulate();
    // Slot 2 := slot 3 x (1 - |ratio|) + slot 1 of `source` x ratio, pairing points by date.
    void Blend(const CDataSet& source, double ratio);
    // Market flags inside the window from slot 2 with a hysteresis band of +-level %.
    void SetFlags(int32_t level);
    // Follows the flags inside the window with `input`, charging TT per entry and exit; slots
    // 5 and 6 get the gross and net values. Returns the gain in per cent; `out` gets the net
    // value at the window's end (it keeps its value when no point is inside).
    double Invest(double input, double& out);
    // Hands the state at the end of the window to the project's status sink.
    void ReportStatus() const;
    // Clamps n to 0..number of result records (0 raised to 1 when there is one), applies
    // result set n to every data set of the project and simulates.
    void SelectResultSet(int32_t& n);

    // The optimisation over the project's ranges (after the project's PrepareRun): replaces
    // the result records of every data set with the best combinations found. Runs on a worker
    // thread; `threads` workers share the sweep (0: one per core). Stops early, keeping what it
    // found, once m_cancel is set. Reports progress to m_progress.
    void Optimise(int threads = 0);

    // On every data set: copies ML, RC and BL of the n-th result record (first is 1) into
    // m_params. Returns false and changes nothing for n outside the records.
    bool ApplyResult(int32_t n);

    std::array<double, 4> m_gains{};
    int64_t m_stepTotal = 0;
    std::atomic<int32_t> m_cancel{0};
    CProgressSink* m_progress = nullptr;
    CStrategyParams m_params;
    std::string m_name;
    std::string m_currency;
    std::string m_comment;
    std::vector<CStrategyResult> m_results;

  private:
    // Index of the first point not before / after `serial`.
    size_t LowerBound(int32_t serial) const;
    size_t UpperBound(int32_t serial) const;
    // The range [first, last) of points inside the dates of `limits`.
    std::pair<size_t, size_t> InsideRange(const CLimits& limits) const;
    const CLimits& Window() const;

    template <typename Filter>
    void FilterStaged(int from, int to, Filter filter);

    CProject* m_project;
    const CDataPoint* m_cursor = nullptr;
    const CDataPoint* m_lastAdded = nullptr;
    std::deque<CDataPoint> m_points;
};
