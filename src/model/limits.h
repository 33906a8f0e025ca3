#pragma once

#include <cstdint>

#include "model/data_point.h"

// A time window (both ends included) with the value axis last computed for one value slot of
// one data set (the charts compute it). Only the dates of start and end describe the window; their
// value slots hold the per-slot minimum (start) and maximum (end) found by the last scaling of that
// slot.
class CLimits {
  public:
    // Window operations: dates only.
    void ResetDates(const CDataPoint& point);
    void ExtendDates(const CDataPoint& point);
    void CopyDates(const CLimits& other);
    // end - start + 1, at least 1. 64 bits: two 32-bit serials can lie 2^32 apart.
    int64_t DayCount() const;
    bool Contains(int32_t serial) const {
        return serial >= start.m_serial && serial <= end.m_serial;
    }

    // Value operations for slot k.
    void InitSlotRange(const CDataPoint& point, int slot);
    void ExtendSlotRange(const CDataPoint& point, int slot);
    double DisplaySpan() const { return displayTop - displayBottom; }

    CDataPoint end;
    CDataPoint start;
    double top = 0.0;
    double bottom = 0.0;
    double displayTop = 0.0;
    double displayBottom = 0.0;
    double step = 0.0;
    bool zeroBase = false;  // the value axis starts at 0 for positive values
};

// The window of a project that has no dates of its own (a new project, or a file that gives
// none and has no points): 1 January 2000 at both ends, under its real serial, so that what is
// shown is what a save writes and a read gives back.
CLimits DefaultWindow();
