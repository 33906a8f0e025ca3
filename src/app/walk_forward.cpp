#include "app/walk_forward.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>

#include "analysis/landscape.h"
#include "analysis/optimiser.h"
#include "analysis/progress_sink.h"
#include "analysis/simulation.h"
#include "analysis/strategy_figures.h"
#include "app/parameter_rules.h"
#include "model/project.h"

namespace {

// Longer counts are typing mistakes, and they keep the date arithmetic far from overflow.
constexpr int32_t kMostPeriodCount = 100000;

// Maps the 1 to 100 of each step's optimisation onto the whole run's 1 to 100.
class CStepProgress : public CProgressSink {
  public:
    CStepProgress(CProgressSink* outer, size_t steps) : m_outer(outer), m_steps(steps) {}
    void SetStep(size_t step) { m_step = step; }
    void ReportProgress(int32_t position) override {
        if (m_outer == nullptr) {
            return;
        }
        const auto overall =
            static_cast<int32_t>((m_step * 100 + static_cast<size_t>(position)) / m_steps);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (overall > m_last && overall >= 1) {
            m_last = std::min(overall, 100);
            m_outer->ReportProgress(m_last);
        }
    }

  private:
    CProgressSink* m_outer;
    size_t m_steps;
    size_t m_step = 0;
    int32_t m_last = 0;
    std::mutex m_mutex;
};

// The data sets, parameters, window and ranges of `from`; results and derived slots are left
// behind, since every step optimises afresh.
void CopyProject(const CProject& from, CProject& to) {
    from.CopySettingsTo(to);
    for (const auto& ds : from.DataSets()) {
        CDataSet* copy = to.AddDataSet(ds->m_name);
        copy->m_currency = ds->m_currency;
        copy->m_params = ds->m_params;
        for (const CDataPoint& point : ds->Points()) {
            copy->AppendPoint(point);
        }
    }
}

CLimits Window(const CDataPoint& start, const CDataPoint& end) {
    CLimits limits;
    limits.start.CopyDate(start);
    limits.end.CopyDate(end);
    return limits;
}

CDataPoint DayBefore(const CDataPoint& date) {
    CDataPoint before;
    before.SetSerial(date.m_serial - 1);
    return before;
}

std::string Dates(const CLimits& window) {
    return window.start.FormatDate() + " to " + window.end.FormatDate();
}

bool HasPoints(const CDataSet& ds, const CLimits& window) {
    const auto [first, last] = ds.PointsInside(window);
    return first < last;
}

// The training and test windows of every step that fits in `span`.
std::vector<CWalkStep> PlanSteps(const CLimits& span, const CPeriod& train, const CPeriod& test) {
    std::vector<CWalkStep> steps;
    for (int32_t i = 0;; ++i) {
        const CDataPoint trainStart = AddPeriod(span.start, test, i);
        const CDataPoint testStart = AddPeriod(trainStart, train, 1);
        const CDataPoint testEnd = DayBefore(AddPeriod(testStart, test, 1));
        if (testEnd.m_serial > span.end.m_serial) {
            return steps;
        }
        CWalkStep step;
        step.train = Window(trainStart, DayBefore(testStart));
        step.test = Window(testStart, testEnd);
        steps.push_back(step);
    }
}

double PerYear(double gain, int64_t days) {
    return CompoundedPerYear(gain, days);
}

void StitchFigures(const CDataSet& primary, CWalkForward& run) {
    CWalkFigures& f = run.figures;
    const CLimits span = Window(run.steps.front().test.start, run.steps.back().test.end);
    f.days = span.DayCount();
    double chain = 1.0;
    int64_t points = 0;
    int64_t inMarket = 0;
    for (const CWalkStep& step : run.steps) {
        chain *= 1.0 + step.outOfSampleGain / 100.0;
        f.trades += step.trades;
        points += step.points;
        inMarket += step.pointsInMarket;
    }
    f.gain = (chain - 1.0) * 100.0;
    f.gainPerYearCompounded = PerYear(f.gain, f.days);
    f.inMarket = points > 0 ? 100.0 * static_cast<double>(inMarket) / static_cast<double>(points)
                            : std::nan("");
    const auto [first, last] = primary.PointsInside(span);
    if (first < last) {
        const double from = primary.Points()[first].GetValue(Raw);
        const double to = primary.Points()[last - 1].GetValue(Raw);
        f.buyAndHold = (to / from - 1.0) * 100.0;
    } else {
        f.buyAndHold = std::nan("");
    }
    f.buyAndHoldPerYearCompounded = PerYear(f.buyAndHold, f.days);
    double high = primary.m_params.IN;
    for (const CWalkPoint& p : run.line) {
        high = std::max(high, p.net);
        if (high > 0.0) {
            f.maxDrawdown = std::max(f.maxDrawdown, (high - p.net) / high * 100.0);
        }
    }
}

}  // namespace

CStatus ParsePeriod(const std::string& text, CPeriod& period) {
    const std::string bad = "'" + text + "' is no length: write a positive count and d, m or y, " +
                            "as in 250d, 18m or 5y";
    if (text.size() < 2) {
        return CStatus::Error(bad);
    }
    int64_t count = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            return CStatus::Error(bad);
        }
        count = std::min<int64_t>(count * 10 + (text[i] - '0'), kMostPeriodCount + 1);
    }
    switch (std::tolower(static_cast<unsigned char>(text.back()))) {
        case 'd':
            period.unit = CPeriod::Days;
            break;
        case 'm':
            period.unit = CPeriod::Months;
            break;
        case 'y':
            period.unit = CPeriod::Years;
            break;
        default:
            return CStatus::Error(bad);
    }
    if (count < 1 || count > kMostPeriodCount) {
        return CStatus::Error("'" + text + "': the count must be from 1 to " +
                              std::to_string(kMostPeriodCount));
    }
    period.count = static_cast<int32_t>(count);
    return CStatus::Ok();
}

CDataPoint AddPeriod(const CDataPoint& date, const CPeriod& period, int32_t times) {
    const int64_t n = int64_t{period.count} * times;
    CDataPoint out;
    if (period.unit == CPeriod::Days) {
        out.SetSerial(static_cast<int32_t>(date.m_serial + n));
        return out;
    }
    const int64_t months = int64_t{date.m_year} * 12 + (date.m_month - 1) +
                           (period.unit == CPeriod::Years ? 12 : 1) * n;
    const auto year = static_cast<int32_t>(months / 12);
    const auto month = static_cast<int32_t>(months % 12 + 1);
    out.SetStoredDate(1, month, year);
    out.SetStoredDate(std::min(date.m_day, out.GetDaysInMonth()), month, year);
    return out;
}

CStatus WalkForward(const CProject& project, const CPeriod& train, const CPeriod& test,
                    CWalkRank rank, int threads, const std::atomic<bool>& stop,
                    CProgressSink* progress, CWalkForward& out) {
    out = CWalkForward{};
    if (project.Primary() == nullptr) {
        return CStatus::Error("the project has no data set to test");
    }
    CProject copy;
    CopyProject(project, copy);
    if (CStatus valid = ValidateRange(copy); !valid) {
        return valid;
    }
    const CLimits span = Window(project.m_viewLimits.start, project.m_viewLimits.end);
    std::vector<CWalkStep> steps = PlanSteps(span, train, test);
    if (steps.empty()) {
        return CStatus::Error("the window " + Dates(span) +
                              " is too short for one training window and one test window");
    }
    CDataSet& primary = *copy.Primary();
    for (const CWalkStep& step : steps) {
        if (!HasPoints(primary, step.train)) {
            return CStatus::Error("the training window " + Dates(step.train) +
                                  " holds no point of '" + primary.m_name + "'");
        }
        if (!HasPoints(primary, step.test)) {
            return CStatus::Error("the test window " + Dates(step.test) + " holds no point of '" +
                                  primary.m_name + "'");
        }
    }

    CStepProgress stepProgress(progress, steps.size());
    double chain = 1.0;
    for (size_t s = 0; s < steps.size(); ++s) {
        if (stop) {
            return CStatus::Error("the walk-forward run was stopped");
        }
        CWalkStep& step = steps[s];
        // Every step starts where the project stands, so no step depends on the one before.
        for (size_t i = 0; i < copy.DataSets().size(); ++i) {
            copy.DataSets()[i]->m_params = project.DataSets()[i]->m_params;
        }
        copy.SetWindow(step.train);
        stepProgress.SetStep(s);
        CLandscape landscape;
        Optimise(copy, threads, stop, &stepProgress,
                 rank == CWalkRank::Robust ? &landscape : nullptr);
        if (stop) {
            return CStatus::Error("the walk-forward run was stopped");
        }
        if (primary.m_results.empty()) {
            return CStatus::Error("the optimisation over " + Dates(step.train) +
                                  " found no result set");
        }
        if (rank == CWalkRank::Robust) {
            if (!landscape.Recorded()) {
                return CStatus::Error("no landscape for the robust rank: " + landscape.unrecorded);
            }
            RankByPlateau(copy, landscape);
        }
        step.inSampleGain = primary.m_results.front().GN;

        copy.SetWindow(step.test);
        int32_t first = 1;
        SelectResultSet(copy, first, nullptr);
        step.ml = primary.m_params.ML;
        step.bl = primary.m_params.BL;
        for (const auto& ds : copy.DataSets()) {
            step.ratios.push_back(ds->m_params.RC);
        }
        step.outOfSampleGain = primary.m_params.GN;
        step.trades = ComputeFigures(primary, step.test).trades;
        const auto [begin, end] = primary.PointsInside(step.test);
        for (size_t i = begin; i < end; ++i) {
            const CDataPoint& point = primary.Points()[i];
            step.points += 1;
            step.pointsInMarket += point.m_flag == 1 ? 1 : 0;
            CWalkPoint p;
            p.date.CopyDate(point);
            p.net = chain * point.GetValue(Net);
            out.line.push_back(p);
        }
        chain *= 1.0 + step.outOfSampleGain / 100.0;
    }
    out.steps = std::move(steps);
    if (!out.line.empty()) {
        const auto [first, last] =
            primary.PointsInside(Window(out.steps.front().test.start, out.steps.back().test.end));
        const double base = first < last ? primary.Points()[first].GetValue(Raw) : std::nan("");
        size_t j = first;
        for (CWalkPoint& p : out.line) {
            while (j < last && primary.Points()[j].m_serial < p.date.m_serial) {
                ++j;
            }
            p.hold = primary.m_params.IN * primary.Points()[j].GetValue(Raw) / base;
        }
    }
    StitchFigures(primary, out);
    return CStatus::Ok();
}
