#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/strategy_params.h"
#include "charts/limits.h"
#include "model/data_set.h"

class CDrawSurface;
class CStatusSink;
class CProgressSink;

// The one document: the data sets in a fixed order (the first is the primary one, on which the
// strategy is simulated; the current one is the one the user looks at), the time window twice
// (once scaled for the data set chart, once for the investment history chart) and the ranges
// of the optimisation. Never copied; emptied by Clear instead of replaced.
//
// All operations run on the user-interface thread, except PrepareRun, which the analysis
// worker calls while the interface waits in the progress dialog.
class CProject {
  public:
    CProject() = default;
    CProject(const CProject&) = delete;
    CProject& operator=(const CProject&) = delete;

    // Destroys every data set. The window, the ranges and the display slot keep their values.
    void Clear();
    // Appends a new empty data set and returns it; the first one becomes primary and current.
    CDataSet* AddDataSet(const std::string& name);
    // Restores the invariants: primary is the first data set, current a listed one (the
    // primary when the previous current one has left), both null when there is none.
    void UpdateSelection();
    // REQUIRES: ds is a listed data set or null. Recomputes its potential gains and scales the
    // view limits for it.
    void SetCurrentDataSet(CDataSet* ds);
    void MoveCurrentUp();
    void DeleteCurrent();

    void GetLimits(CLimits& out) const;
    // Gives both limits records the dates of src, then recomputes the current data set's
    // figures and the value ranges.
    void SetLimits(const CLimits& src);
    // The window becomes the current data set's full span.
    void ResetLimitsToCurrent();
    void RecomputeRanges();
    // Drops the outputs of the last simulation (slots 4 to 6, flags) of the primary data set.
    void RefreshPrimary();
    // REQUIRES: 0 <= slot < kSlotCount; other values are ignored.
    void SetDisplaySlot(int32_t slot);

    bool AddPoint(int32_t day, int32_t month, int32_t year, double value);
    void UndoAddPoint();
    void Simulate();
    void SelectResultSet(int32_t& n);

    // Run context of an optimisation, kept in the primary data set.
    void PrepareRun(CProgressSink* progress);
    void RequestCancel();

    // --- Charts: each draws into the whole clip box of `dc` -------------------------------

    // The data set chart: bars, blue label column, the date grid, and in display slot 0 the
    // smoothed curve, the value axis and the raw series of the current data set (with the
    // crosshair when `showCursor`). Plot and label column only without primary or current.
    void DrawDataSetChart(CDrawSurface& dc, bool showCursor);
    // The investment history chart of the primary data set: bars, green label column, the
    // date grid, the value axis, the gross and net lines (crosshair on the net line when
    // `showCursor`) and the buy and sell dots.
    void DrawHistoryChart(CDrawSurface& dc, bool showCursor);
    // The labelled date ticks of the strip between the charts; nothing without a primary set.
    void DrawDateLabels(CDrawSurface& dc);
    // The black plot with a bar over every period the primary data set is in the market.
    void DrawBackground(CDrawSurface& dc) const;
    // The label column: an 80-band gradient in red (1), green (2) or blue (3), none for 0,
    // and its white edge line.
    void DrawScaleStrip(CDrawSurface& dc, int colourIndex) const;

    // Appends the whole project file text: declaration, root, window, ranges and every data
    // set in list order.
    void Write(std::string& out) const;

    // Where simulations report the state at the window's end; null reports nowhere.
    void SetStatusSink(CStatusSink* sink) { m_statusSink = sink; }
    CStatusSink* StatusSink() const { return m_statusSink; }

    const std::vector<std::unique_ptr<CDataSet>>& DataSets() const { return m_dataSets; }
    int32_t DataSetCount() const { return static_cast<int32_t>(m_dataSets.size()); }
    CDataSet* Primary() const { return m_primary; }
    CDataSet* Current() const { return m_current; }
    int32_t DisplaySlot() const { return m_displaySlot; }

    CLimits m_viewLimits;
    CLimits m_historyLimits;
    CStrategyRange m_range;

  private:
    int CurrentIndex() const;

    std::vector<std::unique_ptr<CDataSet>> m_dataSets;
    CDataSet* m_primary = nullptr;
    CDataSet* m_current = nullptr;
    int32_t m_displaySlot = 0;
    CStatusSink* m_statusSink = nullptr;
};
