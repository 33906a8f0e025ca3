#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/data_set.h"
#include "model/limits.h"
#include "model/strategy_params.h"

// The one document: the data sets in a fixed order (the first is the primary one, on which the
// strategy is simulated; the current one is the one the user looks at), the time window twice
// (once scaled for the data set chart, once for the investment history chart) and the ranges
// of the optimisation. Never copied; emptied by Clear instead of replaced.
//
// These operations keep the project's own invariants only; the figures derived from it (gains,
// value axes, simulation) are recomputed by the layers above. All run on the user-interface
// thread; an optimisation only reads the project while the interface waits for it.
class CProject {
  public:
    CProject() = default;
    CProject(const CProject&) = delete;
    CProject& operator=(const CProject&) = delete;

    // Destroys every data set. The window, the ranges and the display slot keep their values.
    void Clear();
    // Replaces the data sets, the window and the ranges with those of `other`, which is left
    // without data sets; the display slot stays. The first data set becomes primary and current.
    void TakeFrom(CProject& other);
    // Gives `other` this project's window and ranges, the values a file that lacks them keeps.
    void CopySettingsTo(CProject& other) const;
    // Appends a new empty data set and returns it; the first one becomes primary and current.
    CDataSet* AddDataSet(const std::string& name);
    // Restores the invariants: primary is the first data set, current a listed one (the
    // primary when the previous current one has left), both null when there is none.
    void UpdateSelection();
    // REQUIRES: ds is a listed data set or null.
    void SetCurrent(CDataSet* ds) { m_current = ds; }
    // The current data set changes places with the one before it / leaves the project.
    void RaiseCurrent();
    void RemoveCurrent();
    // Index of the current data set in the list, -1 without one.
    int CurrentIndex() const;

    void GetLimits(CLimits& out) const;
    // Gives both limits records the dates of src.
    void SetWindow(const CLimits& src);
    // REQUIRES: 0 <= slot < kSlotCount; other values are ignored.
    void StoreDisplaySlot(int32_t slot);

    bool AddPoint(int32_t day, int32_t month, int32_t year, double value);
    void UndoAddPoint();

    const std::vector<std::unique_ptr<CDataSet>>& DataSets() const { return m_dataSets; }
    int32_t DataSetCount() const { return static_cast<int32_t>(m_dataSets.size()); }
    CDataSet* Primary() const { return m_primary; }
    CDataSet* Current() const { return m_current; }
    int32_t DisplaySlot() const { return m_displaySlot; }

    // A new project's window is DefaultWindow; Clear keeps the window it has.
    CLimits m_viewLimits = DefaultWindow();
    CLimits m_historyLimits = DefaultWindow();
    CStrategyRange m_range;

  private:
    std::vector<std::unique_ptr<CDataSet>> m_dataSets;
    CDataSet* m_primary = nullptr;
    CDataSet* m_current = nullptr;
    int32_t m_displaySlot = 0;
};
