#include "model/project.h"

#include <algorithm>

#include "model/text_out.h"

void CProject::Clear() {
    m_current = nullptr;
    m_primary = nullptr;
    m_dataSets.clear();
    UpdateSelection();
}

CDataSet* CProject::AddDataSet(const std::string& name) {
    m_dataSets.push_back(std::make_unique<CDataSet>(this, name));
    CDataSet* added = m_dataSets.back().get();
    UpdateSelection();
    return added;
}

void CProject::UpdateSelection() {
    if (m_dataSets.empty()) {
        m_primary = nullptr;
        m_current = nullptr;
        return;
    }
    m_primary = m_dataSets.front().get();
    if (CurrentIndex() < 0) {
        m_current = m_primary;
    }
}

int CProject::CurrentIndex() const {
    for (size_t i = 0; i < m_dataSets.size(); ++i) {
        if (m_dataSets[i].get() == m_current && m_current != nullptr) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CProject::SetCurrentDataSet(CDataSet* ds) {
    m_current = ds;
    if (ds != nullptr) {
        ds->ComputePotentialGains();
        ds->ScaleLimits(m_viewLimits, m_displaySlot);
    }
}

void CProject::MoveCurrentUp() {
    int i = CurrentIndex();
    if (i < 0) {
        return;
    }
    if (i > 0) {
        std::swap(m_dataSets[static_cast<size_t>(i)], m_dataSets[static_cast<size_t>(i - 1)]);
    }
    UpdateSelection();
    RefreshPrimary();
}

void CProject::DeleteCurrent() {
    int i = CurrentIndex();
    if (i < 0) {
        return;
    }
    m_dataSets.erase(m_dataSets.begin() + i);
    UpdateSelection();
    RefreshPrimary();
}

void CProject::GetLimits(CLimits& out) const {
    out.CopyDates(m_viewLimits);
}

void CProject::SetLimits(const CLimits& src) {
    m_viewLimits.CopyDates(src);
    m_historyLimits.CopyDates(src);
    if (m_current != nullptr) {
        m_current->ComputePotentialGains();
        RecomputeRanges();
    }
}

void CProject::ResetLimitsToCurrent() {
    if (m_current == nullptr) {
        return;
    }
    const auto& points = m_current->Points();
    if (!points.empty()) {
        // The points are date-ordered, so the first and the last one span them all.
        m_viewLimits.ResetDates(points.front());
        m_viewLimits.ExtendDates(points.back());
    }
    m_historyLimits.CopyDates(m_viewLimits);
    m_current->ComputePotentialGains();
    RefreshPrimary();
}

void CProject::RecomputeRanges() {
    if (m_primary == nullptr) {
        return;
    }
    m_primary->ScaleLimits(m_historyLimits, Gross);
    if (m_current != nullptr) {
        m_current->ScaleLimits(m_viewLimits, m_displaySlot);
    }
}

void CProject::RefreshPrimary() {
    if (m_primary == nullptr) {
        return;
    }
    m_primary->ZeroSlot(Gross);
    m_primary->ZeroSlot(Net);
    m_primary->ZeroSlot(Smooth);
    m_primary->ClearFlags();
    RecomputeRanges();
}

void CProject::SetDisplaySlot(int32_t slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    m_displaySlot = slot;
    if (m_current != nullptr) {
        m_current->ScaleLimits(m_viewLimits, slot);
    }
}

bool CProject::AddPoint(int32_t day, int32_t month, int32_t year, double value) {
    return m_current != nullptr && m_current->AddPoint(day, month, year, value);
}

void CProject::UndoAddPoint() {
    if (m_current != nullptr) {
        m_current->UndoAddPoint(m_viewLimits);
    }
}

void CProject::Simulate() {
    if (m_primary != nullptr) {
        m_primary->Simulate();
    }
}

void CProject::SelectResultSet(int32_t& n) {
    if (m_primary != nullptr) {
        m_primary->SelectResultSet(n);
    }
}

void CProject::PrepareRun(CProgressSink* progress) {
    if (m_primary == nullptr) {
        return;
    }
    m_primary->m_progress = progress;
    m_primary->m_cancel = 0;
    m_primary->m_stepTotal = m_range.GetStepCount(DataSetCount());
}

void CProject::RequestCancel() {
    if (m_primary != nullptr) {
        m_primary->m_cancel = 1;
    }
}

void CProject::Write(std::string& out) const {
    out += "<?xml version=\"1.0\"?>";
    out += kLineEnd;
    out += "<QUILLMARK>";
    out += kLineEnd;
    m_viewLimits.Write(out);
    m_range.WriteRange(out);
    for (const auto& ds : m_dataSets) {
        ds->Write(out);
    }
    out += "</QUILLMARK>";
    out += kLineEnd;
}
