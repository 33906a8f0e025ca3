#pragma once

#include <vector>

#include "model/data_point.h"
#include "model/data_set.h"
#include "model/project.h"

// Small helpers that build dated series for tests.

// A point dated day/month/year with `value` in the raw slot.
inline CDataPoint MakePoint(int day, int month, int year, double value = 0.0) {
    CDataPoint p;
    p.SetDate(day, month, year);
    p.SetValue(Raw, value);
    return p;
}

inline int32_t SerialOf(int day, int month, int year) {
    return MakePoint(day, month, year).m_serial;
}

// A point at a day serial.
inline CDataPoint PointAt(int32_t serial, double value = 0.0) {
    CDataPoint p;
    p.SetSerial(serial);
    p.SetValue(Raw, value);
    return p;
}

// Appends values on consecutive days starting at `serial`.
inline void AppendDaily(CDataSet& ds, int32_t serial, const std::vector<double>& values) {
    for (double v : values) {
        ds.AppendPoint(PointAt(serial++, v));
    }
}

// Sets both limits records of the project to [first, last].
inline void SetWindow(CProject& project, int32_t first, int32_t last) {
    CLimits window;
    window.start.SetSerial(first);
    window.end.SetSerial(last);
    project.SetWindow(window);
}

inline std::vector<double> SlotValues(const CDataSet& ds, int slot) {
    std::vector<double> values;
    for (const CDataPoint& p : ds.Points()) {
        values.push_back(p.GetValue(slot));
    }
    return values;
}

inline std::vector<int> Flags(const CDataSet& ds) {
    std::vector<int> flags;
    for (const CDataPoint& p : ds.Points()) {
        flags.push_back(p.m_flag);
    }
    return flags;
}
