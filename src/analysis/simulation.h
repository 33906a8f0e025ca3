#pragma once

#include <cstdint>

class CDataSet;
class CLimits;
class CProject;
class CStatusSink;

// The trading strategy on the primary data set: every data set's normalised change is blended
// into one signal, the signal switches the market flag with a hysteresis band, and an invested
// amount follows the primary series with a fixed charge per transaction.

// The full simulation with the current parameters of every data set: recomputes value slots 1
// to 6 and the flags of the primary (slots 1 and 4 of every set), stores GN and OUT in the
// primary's parameters and reports the state at the window's end to `status` (may be null).
// Nothing without a primary.
void Simulate(CProject& project, CStatusSink* status);

// Slot 2 of `target` := slot 3 x (1 - |ratio|) + slot 1 of `source` x ratio, pairing points by
// date; dates the source lacks repeat the last blended value.
void Blend(CDataSet& target, const CDataSet& source, double ratio);

// Market flags inside `window` from slot 2 with a hysteresis band of +-level %; every other
// point is out of the market.
void SetFlags(CDataSet& ds, const CLimits& window, int32_t level);

// Follows the flags inside `window` with `input`, charging the set's TT per entry and exit;
// slots 5 and 6 get the gross and net values. Returns the gain in per cent; `out` gets the net
// value at the window's end (it keeps its value when no point is inside).
double Invest(CDataSet& ds, const CLimits& window, double input, double& out);

// Hands the state at the end of the project's window to `status`: date, name, net value, flag.
void ReportStatus(const CDataSet& ds, CStatusSink* status);

// The first data set of which the window holds no point, or null. The blend then takes nothing
// from it, so a simulation's gain is no result of the strategy.
const CDataSet* DataSetOutsideWindow(const CProject& project);

// Clamps n to 0..number of result records of the primary (0 raised to 1 when there is one)
// and applies result set n to every data set that has it.
void ApplyResultSet(CProject& project, int32_t& n);
// ApplyResultSet, then Simulate.
void SelectResultSet(CProject& project, int32_t& n, CStatusSink* status);
