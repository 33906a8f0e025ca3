#include "model/project.h"

#include <algorithm>

void CProject::Clear() {
    m_current = nullptr;
    m_primary = nullptr;
    m_dataSets.clear();
    UpdateSelection();
}

void CProject::TakeFrom(CProject& other) {
    if (&other == this) {
        return;
    }
    Clear();
    m_dataSets = std::move(other.m_dataSets);
    for (const auto& ds : m_dataSets) {
        ds->m_project = this;
    }
    other.Clear();
    other.CopySettingsTo(*this);
    UpdateSelection();
}

void CProject::CopySettingsTo(CProject& other) const {
    other.m_viewLimits = m_viewLimits;
    other.m_historyLimits = m_historyLimits;
    other.m_range = m_range;
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

void CProject::RaiseCurrent() {
    int i = CurrentIndex();
    if (i < 0) {
        return;
    }
    if (i > 0) {
        std::swap(m_dataSets[static_cast<size_t>(i)], m_dataSets[static_cast<size_t>(i - 1)]);
    }
    UpdateSelection();
}

void CProject::RemoveCurrent() {
    int i = CurrentIndex();
    if (i < 0) {
        return;
    }
    m_dataSets.erase(m_dataSets.begin() + i);
    UpdateSelection();
}

void CProject::GetLimits(CLimits& out) const {
    out.CopyDates(m_viewLimits);
}

void CProject::SetWindow(const CLimits& src) {
    m_viewLimits.CopyDates(src);
    m_historyLimits.CopyDates(src);
}

void CProject::StoreDisplaySlot(int32_t slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    m_displaySlot = slot;
}

bool CProject::AddPoint(int32_t day, int32_t month, int32_t year, double value) {
    return m_current != nullptr && m_current->AddPoint(day, month, year, value);
}

void CProject::UndoAddPoint() {
    if (m_current != nullptr) {
        m_current->UndoAddPoint(m_viewLimits);
    }
}
