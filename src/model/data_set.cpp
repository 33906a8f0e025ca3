#include "model/data_set.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

#include "model/numeric.h"
#include "model/project.h"

namespace {

std::atomic<uint64_t> g_nextRevision{1};

}  // namespace

CDataSet::CDataSet(CProject* project, std::string name)
    : m_name(std::move(name)), m_project(project) {
    PointsChanged();
}

void CDataSet::PointsChanged() {
    m_pointsRevision = g_nextRevision.fetch_add(1, std::memory_order_relaxed);
}

bool CDataSet::AppendPoint(const CDataPoint& point) {
    if (!m_points.empty() && point.m_serial <= m_points.back().m_serial) {
        return false;
    }
    bool first = m_points.empty();
    m_points.push_back(point);
    PointsChanged();
    if (!first) {
        m_cursor = &m_points.back();
    }
    return true;
}

bool CDataSet::PrependPoint(const CDataPoint& point) {
    if (!m_points.empty() && point.m_serial >= m_points.front().m_serial) {
        return false;
    }
    bool first = m_points.empty();
    m_points.push_front(point);
    PointsChanged();
    if (!first) {
        m_cursor = &m_points.front();
    }
    return true;
}

void CDataSet::ClearPoints() {
    m_cursor = nullptr;
    m_lastAdded = nullptr;
    m_points.clear();
    PointsChanged();
}

bool CDataSet::AddPoint(int32_t day, int32_t month, int32_t year, double value) {
    CDataPoint point;
    point.SetDate(day, month, year);
    point.SetValue(Raw, value);
    if (!AppendPoint(point)) {
        return false;
    }
    m_project->m_viewLimits.ExtendDates(point);
    m_project->m_historyLimits.ExtendDates(point);
    m_lastAdded = &m_points.back();
    return true;
}

void CDataSet::UndoAddPoint(CLimits& window) {
    if (m_lastAdded == nullptr || m_points.empty() || m_lastAdded != &m_points.back()) {
        return;
    }
    // The cursor must not be left pointing at the point that goes.
    if (m_cursor == m_lastAdded) {
        m_cursor = nullptr;
    }
    m_points.pop_back();
    PointsChanged();
    if (!m_points.empty()) {
        window.end.CopyDate(m_points.back());
    }
    m_lastAdded = nullptr;
}

size_t CDataSet::LowerBound(int32_t serial) const {
    auto it = std::lower_bound(m_points.begin(), m_points.end(), serial,
                               [](const CDataPoint& p, int32_t s) { return p.m_serial < s; });
    return static_cast<size_t>(it - m_points.begin());
}

size_t CDataSet::UpperBound(int32_t serial) const {
    auto it = std::upper_bound(m_points.begin(), m_points.end(), serial,
                               [](int32_t s, const CDataPoint& p) { return s < p.m_serial; });
    return static_cast<size_t>(it - m_points.begin());
}

std::pair<size_t, size_t> CDataSet::PointsInside(const CLimits& limits) const {
    size_t first = LowerBound(limits.start.m_serial);
    size_t last = UpperBound(limits.end.m_serial);
    return {first, std::max(first, last)};
}

const CLimits& CDataSet::Window() const {
    return m_project->m_viewLimits;
}

const CDataPoint* CDataSet::FindCursorPoint(double fraction) {
    if (!(fraction > 0.0)) {
        fraction = 0.0;  // NaN too
    }
    fraction = std::min(fraction, 1.0);
    const CLimits& window = Window();
    int64_t target = int64_t{window.start.m_serial} +
                     static_cast<int64_t>(static_cast<double>(window.DayCount()) * fraction);
    auto [first, last] = PointsInside(window);
    size_t notAfter = UpperBound(SaturateToInt32(target));
    size_t end = std::min(last, notAfter);
    m_cursor = end > first ? &m_points[end - 1] : nullptr;
    return m_cursor;
}

CStrategyResult& CDataSet::AddResult() {
    return m_results.emplace_back();
}

void CDataSet::ZeroSlot(int slot) {
    for (CDataPoint& p : m_points) {
        p.SetValue(slot, 0.0);
    }
    if (slot == Raw) {
        PointsChanged();
    }
}

void CDataSet::CopySlot(int from, int to) {
    for (CDataPoint& p : m_points) {
        p.SetValue(to, p.GetValue(from));
    }
    if (to == Raw) {
        PointsChanged();
    }
}

void CDataSet::ClearFlags() {
    for (CDataPoint& p : m_points) {
        p.m_flag = 0;
    }
}

void CDataSet::ZeroSlotsAndFlags(std::initializer_list<int> slots) {
    for (CDataPoint& p : m_points) {
        for (int slot : slots) {
            p.SetValue(slot, 0.0);
        }
        p.m_flag = 0;
    }
}

bool CDataSet::ApplyResult(int32_t n) {
    if (n < 1 || static_cast<size_t>(n) > m_results.size()) {
        return false;
    }
    const CStrategyResult& result = m_results[static_cast<size_t>(n - 1)];
    m_params.ML = result.ML;
    m_params.RC = result.RC;
    m_params.BL = result.BL;
    return true;
}
