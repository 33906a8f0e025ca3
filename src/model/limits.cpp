#include "model/limits.h"

void CLimits::ResetDates(const CDataPoint& point) {
    start.CopyDate(point);
    end.CopyDate(point);
}

void CLimits::ExtendDates(const CDataPoint& point) {
    if (point.m_serial < start.m_serial) {
        start.CopyDate(point);
    }
    if (point.m_serial > end.m_serial) {
        end.CopyDate(point);
    }
}

void CLimits::CopyDates(const CLimits& other) {
    start.CopyDate(other.start);
    end.CopyDate(other.end);
}

int64_t CLimits::DayCount() const {
    int64_t days = int64_t{end.m_serial} - start.m_serial + 1;
    return days < 1 ? 1 : days;
}

void CLimits::InitSlotRange(const CDataPoint& point, int slot) {
    start.SetValue(slot, point.GetValue(slot));
    end.SetValue(slot, point.GetValue(slot));
}

void CLimits::ExtendSlotRange(const CDataPoint& point, int slot) {
    double v = point.GetValue(slot);
    if (start.GetValue(slot) > v) {
        start.SetValue(slot, v);
    }
    if (end.GetValue(slot) < v) {
        end.SetValue(slot, v);
    }
}

CLimits DefaultWindow() {
    CLimits window;
    window.start.SetDate(1, 1, 2000);
    window.end.CopyDate(window.start);
    return window;
}
