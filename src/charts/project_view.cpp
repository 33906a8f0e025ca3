#include "charts/project_view.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/potential_gains.h"
#include "charts/scaling.h"
#include "model/project.h"

void ScaleLimits(const CDataSet& ds, CLimits& limits, int slot) {
    const auto [first, last] = ds.PointsInside(limits);
    if (first < last) {
        // The range as InitSlotRange and ExtendSlotRange give it, kept in locals while the
        // window's points go by.
        auto point = ds.Points().begin() + static_cast<std::ptrdiff_t>(first);
        double low = point->GetValue(slot);
        double high = low;
        for (size_t i = first + 1; i < last; ++i) {
            const double v = (++point)->GetValue(slot);
            if (low > v) {
                low = v;
            }
            if (high < v) {
                high = v;
            }
        }
        limits.start.SetValue(slot, low);
        limits.end.SetValue(slot, high);
    }
    const double low = limits.start.GetValue(slot);
    if (first < last && low == limits.end.GetValue(slot) && std::isfinite(low)) {
        // A flat series (an investment never in the market) would leave no range to scale and
        // the default axis of 0 to 1 would put its line out of sight: centre it instead.
        const double margin = std::max(std::fabs(low) * 0.05, 0.5);
        limits.start.SetValue(slot, low - margin);
        limits.end.SetValue(slot, low + margin);
    }
    Scale(limits, slot);
}

void SetCurrentDataSet(CProject& project, CDataSet* ds) {
    project.SetCurrent(ds);
    if (ds != nullptr) {
        ComputePotentialGains(*ds);
        ScaleLimits(*ds, project.m_viewLimits, project.DisplaySlot());
    }
}

void SetLimits(CProject& project, const CLimits& src) {
    project.SetWindow(src);
    if (CDataSet* current = project.Current()) {
        ComputePotentialGains(*current);
        RecomputeRanges(project);
    }
}

void ResetLimitsToCurrent(CProject& project) {
    CDataSet* current = project.Current();
    if (current == nullptr) {
        return;
    }
    const auto& points = current->Points();
    if (!points.empty()) {
        // The points are date-ordered, so the first and the last one span them all.
        project.m_viewLimits.ResetDates(points.front());
        project.m_viewLimits.ExtendDates(points.back());
    }
    project.m_historyLimits.CopyDates(project.m_viewLimits);
    ComputePotentialGains(*current);
    RefreshPrimary(project);
}

void RecomputeRanges(CProject& project) {
    if (project.Primary() == nullptr) {
        return;
    }
    ScaleHistory(project);
    if (const CDataSet* current = project.Current()) {
        ScaleLimits(*current, project.m_viewLimits, project.DisplaySlot());
    }
}

void RefreshPrimary(CProject& project) {
    CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return;
    }
    primary->ZeroSlotsAndFlags({Gross, Net, Smooth});
    RecomputeRanges(project);
}

void SetDisplaySlot(CProject& project, int32_t slot) {
    if (slot < 0 || slot >= kSlotCount) {
        return;
    }
    project.StoreDisplaySlot(slot);
    if (const CDataSet* current = project.Current()) {
        ScaleLimits(*current, project.m_viewLimits, slot);
    }
}

void MoveCurrentUp(CProject& project) {
    if (project.CurrentIndex() < 0) {
        return;
    }
    project.RaiseCurrent();
    RefreshPrimary(project);
}

void DeleteCurrent(CProject& project) {
    if (project.CurrentIndex() < 0) {
        return;
    }
    project.RemoveCurrent();
    RefreshPrimary(project);
}

void ScaleHistory(CProject& project) {
    if (const CDataSet* primary = project.Primary()) {
        ScaleLimits(*primary, project.m_historyLimits, Gross);
    }
}
