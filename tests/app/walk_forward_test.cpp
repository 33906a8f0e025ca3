#include "app/walk_forward.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>

#include "charts/project_view.h"
#include "model/project.h"
#include "storage/project_io.h"

namespace {

void Load(CProject& project, const char* name) {
    ASSERT_TRUE(
        ReadProjectFile(project, std::string(QUILLMARK_SOURCE_DIR "/Project Files/") + name));
    SetCurrentDataSet(project, project.Current());
}

// The S&P 500 sample with a narrower sweep, so that the runs stay quick under the sanitizers.
void LoadSp500(CProject& project) {
    Load(project, "SP500.xml");
    project.m_range.ML = 18;
    project.m_range.MU = 26;
    project.m_range.RR = 5;
}

CPeriod Period(const std::string& text) {
    CPeriod period;
    EXPECT_TRUE(ParsePeriod(text, period)) << text;
    return period;
}

CWalkSettings Settings(const std::string& train, const std::string& test) {
    CWalkSettings settings;
    settings.train = Period(train);
    settings.test = Period(test);
    return settings;
}

std::string Added(int day, int month, int year, const std::string& period, int64_t times) {
    CDataPoint date;
    date.SetStoredDate(day, month, year);
    CDataPoint out;
    return AddPeriod(date, Period(period), times, out) ? out.FormatDate() : "none";
}

// Lengths are a positive whole count and d, m (either case) or y; months keep the day or take
// the month's last day, forwards and backwards, in any year the calendar holds.
TEST(WalkForwardTest, ReadsLengthsAndAddsThem) {
    EXPECT_EQ(Period("250d").count, 250);
    EXPECT_EQ(Period("18M").unit, CPeriod::Months);
    for (const char* bad : {"", "y", "0y", "-1y", "5", "5w", "1.5y", "y5", "5yy", "99999999999d"}) {
        CPeriod refused;
        EXPECT_FALSE(ParsePeriod(bad, refused)) << bad;
    }
    EXPECT_EQ(Added(31, 1, 2004, "1m", 1), "2/29/2004");
    EXPECT_EQ(Added(31, 1, 2004, "1m", 13), "2/28/2005");
    EXPECT_EQ(Added(31, 1, 2004, "18m", 1), "7/31/2005");
    EXPECT_EQ(Added(31, 3, 2004, "1m", -1), "2/29/2004");
    EXPECT_EQ(Added(15, 3, 1, "1y", -2), "3/15/-1");
    EXPECT_EQ(Added(31, 1, 0, "1m", -1), "12/31/-1");
    EXPECT_EQ(Added(1, 1, 2000, "30d", 2), "3/1/2000");
    // Past the last day a 32-bit serial holds there is no date.
    EXPECT_EQ(Added(1, 1, 5000000, "100000y", 10), "none");
    EXPECT_EQ(Added(1, 1, -5000000, "100000y", -10), "none");
}

// Every day from the first test start to the last test end is tested once, whatever the start
// day and the units; each training window ends the day before its test window.
TEST(WalkForwardTest, TestWindowsTileTheTimeLine) {
    for (int startDay : {1, 28, 29, 30, 31}) {
        for (const auto& [train, test] : {std::pair{"1y", "1m"},
                                          {"18m", "3m"},
                                          {"2y", "1y"},
                                          {"400d", "30d"},
                                          {"1m", "7d"},
                                          {"90d", "1m"}}) {
            CLimits span;
            span.start.SetStoredDate(startDay, 1, 2000);
            span.end.SetStoredDate(31, 12, 2008);
            std::vector<CWalkStep> steps;
            ASSERT_TRUE(PlanWalkSteps(span, Period(train), Period(test), steps));
            ASSERT_FALSE(steps.empty());
            SCOPED_TRACE(std::to_string(startDay) + " " + train + " " + test);
            EXPECT_EQ(steps.front().train.start.m_serial, span.start.m_serial);
            for (size_t i = 0; i < steps.size(); ++i) {
                const CWalkStep& s = steps[i];
                EXPECT_LE(s.test.start.m_serial, s.test.end.m_serial);
                EXPECT_EQ(s.train.end.m_serial + 1, s.test.start.m_serial);
                EXPECT_GE(s.train.start.m_serial, span.start.m_serial);
                if (i > 0) {
                    EXPECT_EQ(steps[i - 1].test.end.m_serial + 1, s.test.start.m_serial) << i;
                }
            }
            EXPECT_LE(steps.back().test.end.m_serial, span.end.m_serial);
            // The next window would not fit.
            CDataPoint next;
            ASSERT_TRUE(AddPeriod(steps.back().test.start, Period(test), 2, next));
            EXPECT_GT(next.m_serial - 1, span.end.m_serial);
        }
    }
}

TEST(WalkForwardTest, WindowsNearTheCalendarsEndAreRefusedAtOnce) {
    CLimits span;
    span.start.SetStoredDate(1, 1, 5879300);
    span.end.SetStoredDate(1, 1, 5879480);
    std::vector<CWalkStep> steps;
    const CStatus refused = PlanWalkSteps(span, Period("300y"), Period("200y"), steps);
    EXPECT_NE(refused.Reason().find("last date"), std::string::npos) << refused.Reason();
    // Far back, with years at and below 0, the windows are calendar days like any.
    span.start.SetStoredDate(1, 1, -3);
    span.end.SetStoredDate(31, 12, 2);
    ASSERT_TRUE(PlanWalkSteps(span, Period("2y"), Period("1y"), steps));
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].test.start.FormatDate() + " " + steps[3].test.end.FormatDate(),
              "1/1/-1 12/31/2");
    // A day's test over a long span is refused, not planned for ever.
    span.end.SetStoredDate(1, 1, 900);
    steps.clear();
    EXPECT_FALSE(PlanWalkSteps(span, Period("1d"), Period("1d"), steps));
}

// Deciding on day t with points up to t only: cutting the data after any day leaves every step
// tested before it, and the stitched line up to it, as they were. On the S&P 500 sample and on
// a project of five blended monthly series, with one account and with flat starts.
TEST(WalkForwardTest, CuttingTheDataChangesNoEarlierStep) {
    const std::atomic<bool> stop{false};
    struct Case {
        const char* file;
        const char* train;
        const char* test;
        bool flat;
    };
    for (const Case& c : {Case{"SP500.xml", "4y", "2y", false}, Case{"SP500.xml", "4y", "2y", true},
                          Case{"STOCKS.xml", "2y", "6m", false}}) {
        SCOPED_TRACE(c.file);
        CProject project;
        Load(project, c.file);
        if (std::string(c.file) == "SP500.xml") {
            LoadSp500(project);
        }
        CWalkSettings settings = Settings(c.train, c.test);
        settings.flatStart = c.flat;
        CWalkForward run;
        ASSERT_TRUE(WalkForward(project, settings, 1, stop, nullptr, run));
        ASSERT_GE(run.steps.size(), 3u);
        std::vector<CCausalBreach> breaches;
        ASSERT_TRUE(CheckCausal(project, settings, 1, stop, run, breaches));
        // A cut inside a test window as well as at its ends.
        const int32_t inside = run.steps[1].test.start.m_serial + 40;
        ASSERT_TRUE(CompareWithCut(project, settings, 1, stop, run, inside, breaches));
        for (const CCausalBreach& b : breaches) {
            ADD_FAILURE() << "cut after " << b.cutAfter << ": step " << b.step << " " << b.what;
        }
    }
}

// The former run, which normalised over every point of the series, changed with later data:
// the check finds that kind of fault. Here a later point's change is made huge, which moves
// every normalisation over the whole series; the run itself must not move.
TEST(WalkForwardTest, ALaterPointMovesNoEarlierDecision) {
    const std::atomic<bool> stop{false};
    CProject project;
    LoadSp500(project);
    const CWalkSettings settings = Settings("4y", "2y");
    CWalkForward run;
    ASSERT_TRUE(WalkForward(project, settings, 1, stop, nullptr, run));
    CProject changed;
    LoadSp500(changed);
    auto& points = changed.Primary()->MutablePoints();
    points.back().SetValue(Raw, points.back().GetValue(Raw) * 50.0);
    CWalkForward after;
    ASSERT_TRUE(WalkForward(changed, settings, 1, stop, nullptr, after));
    ASSERT_EQ(after.steps.size(), run.steps.size());
    for (size_t i = 0; i + 1 < run.steps.size(); ++i) {
        EXPECT_EQ(after.steps[i].ml, run.steps[i].ml) << i;
        EXPECT_EQ(after.steps[i].outOfSampleGain, run.steps[i].outOfSampleGain) << i;
    }
}

// An independent account over each test window, from the formulas of the strategy: the series
// smoothed and differentiated, divided by five times the mean absolute change up to the training
// end, hysteresis from the training start, and the money following the price with the charge
// at each entry and exit, from where the previous window left the account.
struct IndependentAccount {
    const CDataSet& ds;
    std::vector<double> Smooth(int32_t ml) const {
        const auto& p = ds.Points();
        std::vector<double> out(p.size());
        for (size_t i = 0; i < p.size(); ++i) {
            double sum = 0.0;
            double weights = 0.0;
            for (size_t j = i + 1; j-- > 0 && p[i].m_serial - p[j].m_serial < ml;) {
                const double w = ml - (p[i].m_serial - p[j].m_serial);
                sum += w * p[j].GetValue(Raw);
                weights += w;
            }
            out[i] = sum / weights;
        }
        return out;
    }
    std::vector<int> Flags(const CWalkStep& step) const {
        const auto& p = ds.Points();
        const std::vector<double> s = Smooth(step.ml);
        std::vector<double> change(p.size(), 0.0);
        double total = 0.0;
        int64_t n = 0;
        for (size_t i = 0; i < p.size(); ++i) {
            if (i > 0) {
                change[i] = (s[i] - s[i - 1]) / (p[i].m_serial - p[i - 1].m_serial);
            }
            if (p[i].m_serial <= step.train.end.m_serial) {
                total += std::fabs(change[i]);
                ++n;
            }
        }
        std::vector<int> flags(p.size(), 0);
        int state = 0;
        for (size_t i = 0; i < p.size(); ++i) {
            if (p[i].m_serial < step.train.start.m_serial) {
                continue;
            }
            const double signal = change[i] / (5.0 * total / n) * step.ratios[0];
            state = signal > step.bl / 100.0 ? 1 : (signal < -step.bl / 100.0 ? 0 : state);
            flags[i] = state;
        }
        return flags;
    }
};

TEST(WalkForwardTest, EachWindowIsAnIndependentAccountCarriedOn) {
    const std::atomic<bool> stop{false};
    CProject project;
    LoadSp500(project);
    const CWalkForward run = [&] {
        CWalkForward r;
        EXPECT_TRUE(WalkForward(project, Settings("5y", "1y"), 1, stop, nullptr, r));
        return r;
    }();
    const CDataSet& ds = *project.Primary();
    const double charge = ds.m_params.TT;
    IndependentAccount account{ds};
    double net = ds.m_params.IN;
    int previous = 0;
    double lastPrice = 0.0;
    size_t at = 0;
    int carried = 0;
    for (const CWalkStep& step : run.steps) {
        const std::vector<int> flags = account.Flags(step);
        const auto [first, last] = ds.PointsInside(step.test);
        carried += step.startsInMarket ? 1 : 0;
        EXPECT_EQ(step.startsInMarket, first > 0 && flags[first - 1] == 1);
        const double before = net;
        for (size_t i = first; i < last; ++i, ++at) {
            const double price = ds.Points()[i].GetValue(Raw);
            if (previous == 1) {
                net *= price / lastPrice;
            }
            if (flags[i] != previous) {
                net -= charge;
            }
            previous = flags[i];
            lastPrice = price;
            ASSERT_LT(at, run.line.size());
            ASSERT_EQ(run.line[at].flag, flags[i]) << ds.Points()[i].FormatDate();
            ASSERT_NEAR(run.line[at].net, net, 1e-9 * net) << ds.Points()[i].FormatDate();
        }
        EXPECT_NEAR(step.outOfSampleGain, (net / before - 1.0) * 100.0, 1e-9);
    }
    EXPECT_EQ(at, run.line.size());
    EXPECT_GT(carried, 0);  // the sample does carry positions from one window to the next
    EXPECT_NEAR(run.figures.gain, (net / ds.m_params.IN - 1.0) * 100.0, 1e-9);
    EXPECT_EQ(run.figures.openAtEnd, previous == 1);
}

// A test window without a point is a step without a result, not the end of the run; a window
// too short for one step, or a project without a data set, is refused.
TEST(WalkForwardTest, EmptyWindowsAndRunsThatCannotBeMade) {
    const std::atomic<bool> stop{false};
    CWalkForward run;
    CProject empty;
    EXPECT_FALSE(WalkForward(empty, Settings("1y", "1y"), 1, stop, nullptr, run));

    CProject project;
    LoadSp500(project);
    const CStatus tooLong = WalkForward(project, Settings("100y", "1y"), 1, stop, nullptr, run);
    EXPECT_NE(tooLong.Reason().find("too short"), std::string::npos) << tooLong.Reason();

    // One-day tests over a month: weekends and a holiday hold no point.
    CLimits month;
    month.start.SetStoredDate(1, 10, 2019);
    month.end.SetStoredDate(31, 1, 2020);
    project.SetWindow(month);
    project.m_range.MU = project.m_range.ML;
    ASSERT_TRUE(WalkForward(project, Settings("3m", "1d"), 1, stop, nullptr, run));
    int withoutPoint = 0;
    for (const CWalkStep& step : run.steps) {
        EXPECT_EQ(step.points == 0, std::isnan(step.outOfSampleGain));
        withoutPoint += step.points == 0 ? 1 : 0;
    }
    EXPECT_EQ(run.steps.size(), 31u);
    EXPECT_EQ(withoutPoint, 10);  // eight weekend days, New Year's Day, Martin Luther King Day

    const std::atomic<bool> stopped{true};
    EXPECT_FALSE(WalkForward(project, Settings("1m", "1m"), 1, stopped, nullptr, run));
}

}  // namespace
