#pragma once

#include <cstdint>

class CDataSet;
class CLimits;
class CProject;

// The figures the charts and pages show beside the project's own data, kept in step with it:
// the potential gains of the current data set and the value axes of both limits records. Each
// operation changes the project as its name says and recomputes what the change affects.

// Minimum and maximum of `slot` over the points of `ds` inside the dates of `limits` into its
// extremes, then the record's Scale (also when no point is inside). A flat series gets a range
// of 5 % (at least 0.5) either side of its value, so its line shows mid-axis.
void ScaleLimits(const CDataSet& ds, CLimits& limits, int slot);

// REQUIRES: ds is a listed data set or null. Makes it current, recomputes its potential gains
// and scales the view limits for it.
void SetCurrentDataSet(CProject& project, CDataSet* ds);
// Gives both limits records the dates of src, then recomputes the current data set's figures
// and the value ranges.
void SetLimits(CProject& project, const CLimits& src);
// The window becomes the current data set's full span; the simulation's outputs are dropped.
void ResetLimitsToCurrent(CProject& project);
// The history axis for the primary's gross values, the view axis for the current set's slot.
void RecomputeRanges(CProject& project);
// Drops the outputs of the last simulation (slots 4 to 6, flags) of the primary data set and
// recomputes the value ranges.
void RefreshPrimary(CProject& project);
// REQUIRES: 0 <= slot < kSlotCount; other values are ignored. The view axis follows.
void SetDisplaySlot(CProject& project, int32_t slot);
// The current data set moves up one place / is deleted; the primary may change, so its
// simulation outputs are dropped.
void MoveCurrentUp(CProject& project);
void DeleteCurrent(CProject& project);
// After a simulation: the history axis for the primary's gross values.
void ScaleHistory(CProject& project);
