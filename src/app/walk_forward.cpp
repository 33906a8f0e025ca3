#include "app/walk_forward.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>

#include "analysis/causal_signal.h"
#include "analysis/investment.h"
#include "analysis/landscape.h"
#include "analysis/optimiser.h"
#include "analysis/simulation.h"
#include "analysis/strategy_figures.h"
#include "app/parameter_rules.h"
#include "model/progress_sink.h"
#include "model/project.h"

namespace {

// Longer counts are typing mistakes, and they keep the date arithmetic far from overflow.
constexpr int32_t kMostPeriodCount = 100000;
// More steps than this are a typing mistake (a day's test over a millennium).
constexpr size_t kMostSteps = 100000;

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

// The data sets, parameters, window and ranges of `from`, each data set's points only up to
// `lastDay`; results and derived slots are left behind, since every step optimises afresh.
void CopyProject(const CProject& from, int32_t lastDay, CProject& to) {
    from.CopySettingsTo(to);
    for (const auto& ds : from.DataSets()) {
        CDataSet* copy = to.AddDataSet(ds->m_name);
        copy->m_currency = ds->m_currency;
        copy->m_params = ds->m_params;
        for (const CDataPoint& point : ds->Points()) {
            if (point.m_serial > lastDay) {
                break;
            }
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

CDataPoint AtSerial(int64_t serial) {
    CDataPoint point;
    point.SetSerial(static_cast<int32_t>(serial));
    return point;
}

std::string Dates(const CLimits& window) {
    return window.start.FormatDate() + " to " + window.end.FormatDate();
}

bool HasPoints(const CDataSet& ds, const CLimits& window) {
    const auto [first, last] = ds.PointsInside(window);
    return first < last;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

// The test windows tile the time from the first test start on, each starting n test lengths
// after it, so that month ends never shift the later windows.
CStatus PlanWalkSteps(const CLimits& span, const CPeriod& train, const CPeriod& test,
                      std::vector<CWalkStep>& steps) {
    CDataPoint firstTest;
    if (!AddPeriod(span.start, train, 1, firstTest)) {
        return CStatus::Error("a training window from " + span.start.FormatDate() +
                              " ends after the last date the program holds");
    }
    CDataPoint testStart = firstTest;
    for (int64_t i = 1;; ++i) {
        CDataPoint next;
        if (!AddPeriod(firstTest, test, i, next) || next.m_serial - 1 > span.end.m_serial) {
            return CStatus::Ok();
        }
        if (steps.size() == kMostSteps) {
            return CStatus::Error("the window " + Dates(span) + " holds more than " +
                                  std::to_string(kMostSteps) + " test windows");
        }
        CDataPoint trainStart;
        if (!AddPeriod(testStart, train, -1, trainStart) ||
            trainStart.m_serial < span.start.m_serial) {
            trainStart = span.start;
        }
        CWalkStep step;
        step.train = Window(trainStart, AtSerial(int64_t{testStart.m_serial} - 1));
        step.test = Window(testStart, AtSerial(int64_t{next.m_serial} - 1));
        steps.push_back(step);
        testStart = next;
    }
}

namespace {

std::vector<CSeries> SeriesOf(const CProject& project) {
    std::vector<CSeries> sets;
    for (const auto& ds : project.DataSets()) {
        CSeries series;
        for (const CDataPoint& p : ds->Points()) {
            series.serials.push_back(p.m_serial);
            series.raw.push_back(p.GetValue(Raw));
        }
        sets.push_back(std::move(series));
    }
    return sets;
}

// Optimises the step's training window on the data up to its end and keeps the first result
// set's parameters. A step without a training point keeps none.
CStatus ChooseParameters(const CProject& project, const CWalkSettings& settings, int threads,
                         const std::atomic<bool>& stop, CProgressSink* progress, CWalkStep& step) {
    CProject copy;
    CopyProject(project, step.train.end.m_serial, copy);
    CDataSet& primary = *copy.Primary();
    if (CStatus valid = ValidateRange(copy); !valid || !HasPoints(primary, step.train)) {
        return valid;
    }
    copy.SetWindow(step.train);
    CLandscape landscape;
    const bool robust = settings.rank == CWalkRank::Robust;
    Optimise(copy, threads, stop, progress, robust ? &landscape : nullptr);
    if (stop) {
        return CStatus::Error("the walk-forward run was stopped");
    }
    if (primary.m_results.empty()) {
        return CStatus::Ok();
    }
    if (robust) {
        if (!landscape.Recorded()) {
            return CStatus::Error("no landscape for the robust rank: " + landscape.unrecorded);
        }
        RankByPlateau(copy, landscape);
    }
    int32_t first = 1;
    ApplyResultSet(copy, first);
    step.chosen = true;
    step.inSampleGain = primary.m_results.front().GN;
    step.ml = primary.m_params.ML;
    step.bl = primary.m_params.BL;
    for (const auto& ds : copy.DataSets()) {
        step.ratios.push_back(ds->m_params.RC);
    }
    return CStatus::Ok();
}

// The flags of the step's parameters on the primary's points, run from the training window's
// start (or from the test window's with a flat start); all 0 for a step without parameters.
std::vector<int32_t> StepFlags(const std::vector<CSeries>& sets, const CWalkStep& step,
                               bool flatStart) {
    const std::vector<int32_t>& dates = sets.front().serials;
    const auto index = [&](int32_t serial) {
        return static_cast<size_t>(std::lower_bound(dates.begin(), dates.end(), serial) -
                                   dates.begin());
    };
    const size_t from = index(flatStart ? step.test.start.m_serial : step.train.start.m_serial);
    const size_t to = index(step.test.end.m_serial + 1);
    if (!step.chosen) {
        return std::vector<int32_t>(dates.size(), 0);
    }
    const std::vector<double> signal =
        CausalSignal(sets, step.ml, step.ratios, step.train.end.m_serial);
    return HysteresisFlags(signal, from, to, step.bl);
}

// The account over the stitched test windows, invested as a simulation invests. With a flat
// start each window starts afresh out of the market with the input, and its line is scaled by
// the chained gains before it.
class CStitchedAccount {
  public:
    CStitchedAccount(double input, double charge)
        : m_input(input), m_charge(charge), m_investment(input, charge) {}

    void StartWindowFlat() {
        m_scale *= m_investment.Net() / m_input;
        m_investment = CInvestment(m_input, m_charge);
    }

    // Returns the account's value after the day, in money of the first window's input.
    double Day(double price, int32_t flag) {
        m_investment.Next(price, flag);
        return m_scale * m_investment.Net();
    }

  private:
    double m_input;
    double m_charge;
    double m_scale = 1.0;
    CInvestment m_investment;
};

// Trades the step's test window on the account and appends its points to the line.
void TradeStep(const CDataSet& primary, const std::vector<int32_t>& flags, bool flatStart,
               CStitchedAccount& account, CWalkStep& step, CWalkForward& run) {
    const auto [first, last] = primary.PointsInside(step.test);
    if (flatStart) {
        account.StartWindowFlat();
    }
    const double before = run.line.empty() ? primary.m_params.IN : run.line.back().net;
    int32_t previous = flatStart || first == 0 ? 0 : flags[first - 1];
    step.startsInMarket = first > 0 && flags[first - 1] == 1 &&
                          primary.Points()[first - 1].m_serial >= step.train.start.m_serial;
    for (size_t i = first; i < last; ++i) {
        const CDataPoint& point = primary.Points()[i];
        CWalkPoint p;
        p.date.CopyDate(point);
        p.price = point.GetValue(Raw);
        p.flag = flags[i];
        p.flatStart = flatStart && i == first;
        p.net = account.Day(p.price, p.flag);
        run.line.push_back(p);
        step.trades += p.flag != previous ? 1 : 0;
        step.pointsInMarket += p.flag;
        previous = p.flag;
    }
    step.points = static_cast<int64_t>(last - first);
    if (last > first) {
        step.outOfSampleGain = (run.line.back().net / before - 1.0) * 100.0;
    }
}

void AddBuyAndHold(const CDataSet& primary, CWalkForward& run) {
    if (run.line.empty()) {
        return;
    }
    const double base = run.line.front().price;
    for (CWalkPoint& p : run.line) {
        p.hold = primary.m_params.IN * p.price / base;
    }
}

void StitchFigures(const CDataSet& primary, CWalkForward& run) {
    std::vector<CFigurePoint> line;
    line.reserve(run.line.size());
    for (const CWalkPoint& p : run.line) {
        line.push_back({p.date.m_serial, p.price, p.net, p.flag, p.flatStart});
    }
    const CLimits span = Window(run.steps.front().test.start, run.steps.back().test.end);
    run.figures = ComputeLineFigures(line, primary.m_params.IN, span.DayCount());
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

bool AddPeriod(const CDataPoint& date, const CPeriod& period, int64_t times, CDataPoint& out) {
    const int64_t n = int64_t{period.count} * times;
    int64_t serial = 0;
    if (period.unit == CPeriod::Days) {
        serial = int64_t{date.m_serial} + n;
    } else {
        const int64_t months = int64_t{date.m_year} * 12 + (date.m_month - 1) +
                               (period.unit == CPeriod::Years ? 12 : 1) * n;
        const int64_t year = FloorDiv(months, 12);
        const auto month = static_cast<int32_t>(months - year * 12 + 1);
        const auto& days = CumulativeDays(year);
        const int32_t monthLength =
            days[static_cast<size_t>(month)] - days[static_cast<size_t>(month - 1)];
        serial = DateToSerial(std::min(date.m_day, monthLength), month, year);
    }
    if (serial < std::numeric_limits<int32_t>::min() ||
        serial > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    out.SetSerial(static_cast<int32_t>(serial));
    return true;
}

namespace {

// A stopped run keeps the steps it finished, with the account and its figures up to the end of
// the last of them: minutes of work are not thrown away because the rest was not wanted.
CStatus KeepFinished(const CDataSet& primary, std::vector<CWalkStep>& steps, size_t finished,
                     CWalkForward& out) {
    const size_t planned = steps.size();
    steps.resize(finished);
    out.steps = std::move(steps);
    if (!out.steps.empty()) {
        AddBuyAndHold(primary, out);
        StitchFigures(primary, out);
    }
    return CStatus::Error("the walk-forward run was stopped after " + std::to_string(finished) +
                          " of " + std::to_string(planned) + " steps");
}

}  // namespace

CSweepEstimate EstimateWalkForward(const CProject& project, const CWalkSettings& settings,
                                   int threads) {
    if (project.Primary() == nullptr) {
        return {};
    }
    std::vector<CWalkStep> steps;
    const CLimits span = Window(project.m_viewLimits.start, project.m_viewLimits.end);
    if (!PlanWalkSteps(span, settings.train, settings.test, steps) || steps.empty()) {
        return {};
    }
    // Every training window is as long as the last one, which no cut at the window's start
    // shortens: its sweep, once per step.
    CProject copy;
    CopyProject(project, steps.back().train.end.m_serial, copy);
    copy.SetWindow(steps.back().train);
    const CSweepEstimate one = EstimateSweep(copy, threads);
    const auto count = static_cast<int64_t>(steps.size());
    const int64_t most = std::numeric_limits<int64_t>::max();
    return {one.steps > most / count ? most : one.steps * count,
            one.seconds * static_cast<double>(count)};
}

CStatus WalkForward(const CProject& project, const CWalkSettings& settings, int threads,
                    const std::atomic<bool>& stop, CProgressSink* progress, CWalkForward& out) {
    out = CWalkForward{};
    const CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return CStatus::Error("the project has no data set to test");
    }
    const CLimits span = Window(project.m_viewLimits.start, project.m_viewLimits.end);
    std::vector<CWalkStep> steps;
    if (CStatus planned = PlanWalkSteps(span, settings.train, settings.test, steps); !planned) {
        return planned;
    }
    if (steps.empty()) {
        return CStatus::Error("the window " + Dates(span) +
                              " is too short for one training window and one test window");
    }
    const std::vector<CSeries> sets = SeriesOf(project);
    CStepProgress stepProgress(progress, steps.size());
    CStitchedAccount account(primary->m_params.IN, primary->m_params.TT);
    for (size_t s = 0; s < steps.size(); ++s) {
        if (stop) {
            return KeepFinished(*primary, steps, s, out);
        }
        stepProgress.SetStep(s);
        CWalkStep& step = steps[s];
        if (CStatus chosen =
                ChooseParameters(project, settings, threads, stop, &stepProgress, step);
            !chosen) {
            return stop ? KeepFinished(*primary, steps, s, out) : chosen;
        }
        const std::vector<int32_t> flags = StepFlags(sets, step, settings.flatStart);
        TradeStep(*primary, flags, settings.flatStart, account, step, out);
    }
    out.steps = std::move(steps);
    AddBuyAndHold(*primary, out);
    StitchFigures(*primary, out);
    return CStatus::Ok();
}

namespace {

bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

const char* StepDifference(const CWalkStep& a, const CWalkStep& b) {
    if (a.chosen != b.chosen || a.ml != b.ml || a.bl != b.bl || a.ratios != b.ratios) {
        return "parameters";
    }
    if (!Same(a.inSampleGain, b.inSampleGain)) {
        return "in-sample gain";
    }
    if (!Same(a.outOfSampleGain, b.outOfSampleGain)) {
        return "out-of-sample gain";
    }
    return nullptr;
}

}  // namespace

CStatus CompareWithCut(const CProject& project, const CWalkSettings& settings, int threads,
                       const std::atomic<bool>& stop, const CWalkForward& run, int32_t lastDay,
                       std::vector<CCausalBreach>& breaches) {
    CProject cut;
    CopyProject(project, lastDay, cut);
    CLimits window = Window(project.m_viewLimits.start, project.m_viewLimits.end);
    window.end.SetSerial(std::min(lastDay, window.end.m_serial));
    cut.SetWindow(window);
    CWalkForward shorter;
    if (CStatus done = WalkForward(cut, settings, threads, stop, nullptr, shorter); !done) {
        return done;
    }
    for (size_t s = 0; s < run.steps.size() && run.steps[s].test.end.m_serial <= lastDay; ++s) {
        const char* what = s < shorter.steps.size() ? StepDifference(run.steps[s], shorter.steps[s])
                                                    : "parameters";
        if (what != nullptr) {
            breaches.push_back({lastDay, s, what});
        }
    }
    // The shorter run tests only whole windows, so its line may end before `lastDay`.
    for (size_t i = 0; i < shorter.line.size(); ++i) {
        if (i >= run.line.size() || run.line[i].date.m_serial != shorter.line[i].date.m_serial ||
            !Same(run.line[i].net, shorter.line[i].net) ||
            run.line[i].flag != shorter.line[i].flag) {
            breaches.push_back({lastDay, run.steps.size(), "line"});
            break;
        }
    }
    return CStatus::Ok();
}

CStatus CheckCausal(const CProject& project, const CWalkSettings& settings, int threads,
                    const std::atomic<bool>& stop, const CWalkForward& run,
                    std::vector<CCausalBreach>& breaches) {
    for (const CWalkStep& step : run.steps) {
        const CStatus compared =
            CompareWithCut(project, settings, threads, stop, run, step.test.end.m_serial, breaches);
        if (!compared) {
            return compared;
        }
    }
    return CStatus::Ok();
}
