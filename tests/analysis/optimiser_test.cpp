#include "analysis/optimiser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "analysis/progress_sink.h"
#include "model/project.h"
#include "support/series_builder.h"

namespace {

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A project of `sets` random walks over different, gappy stretches of days.
void FillRandomProject(CProject& project, std::mt19937_64& rng, int sets) {
    std::uniform_int_distribution<int> gap(1, 4);
    std::uniform_int_distribution<int> offset(-30, 30);
    std::uniform_int_distribution<int> length(60, 160);
    std::uniform_real_distribution<double> ratio(-1.0, 1.0);
    std::normal_distribution<double> step(0.0, 0.02);
    for (int k = 0; k < sets; ++k) {
        CDataSet* ds = project.AddDataSet("S" + std::to_string(k));
        int32_t serial = 730500 + offset(rng);
        double value = 100.0;
        for (int i = length(rng); i > 0; --i) {
            serial += gap(rng);
            value *= 1.0 + step(rng);
            ds->AppendPoint(PointAt(serial, value));
        }
        ds->m_params.RC = k == 0 ? 1.0 : ratio(rng);
    }
    CDataSet* p = project.Primary();
    SetWindow(project, p->Points()[5].m_serial, p->Points()[p->Points().size() - 8].m_serial);
    p->m_params.TT = 1.0;
    project.m_range.ML = 1;
    project.m_range.MU = 4;
    project.m_range.RR = 3;
    project.m_range.BI = 20;
}

TEST(Optimiser, EveryResultSetReSimulatesToItsGain) {
    std::mt19937_64 rng(11);
    for (int round = 0; round < 12; ++round) {
        CProject project;
        FillRandomProject(project, rng, 1 + round % 4);
        project.PrepareRun(nullptr);
        project.Primary()->Optimise(1 + round % 3);
        const auto& results = project.Primary()->m_results;
        ASSERT_EQ(results.size(), 10u);
        for (int32_t i = 1; i <= 10; ++i) {
            const double stored = results[static_cast<size_t>(i - 1)].GN;
            int32_t n = i;
            project.SelectResultSet(n);
            ASSERT_EQ(n, i);
            EXPECT_TRUE(SameDouble(project.Primary()->m_params.GN, stored))
                << "round " << round << " set " << i << ": " << project.Primary()->m_params.GN
                << " vs " << stored;
            if (i > 1) {
                EXPECT_GE(results[static_cast<size_t>(i - 2)].GN, stored);
            }
        }
        for (const auto& ds : project.DataSets()) {
            EXPECT_EQ(ds->m_results.size(), 10u);
        }
    }
}

// The sweep done the straightforward way: every candidate placed in the data sets and
// simulated. Returns every (gain, ml, bl, ratios) in visit order.
struct Visit {
    double gain;
    int32_t ml;
    int32_t bl;
    std::vector<double> ratios;
};

std::vector<Visit> StraightforwardSweep(CProject& project) {
    CStrategyRange& range = project.m_range;
    const int32_t rr = std::max(1, range.RR);
    const int32_t bi = std::max(1, range.BI);
    std::vector<double> start;
    for (const auto& ds : project.DataSets()) {
        start.push_back(ds->m_params.RC);
    }
    std::vector<Visit> visits;
    CDataSet* p = project.Primary();
    for (int32_t ml = range.ML; ml <= std::max(range.ML, range.MU); ++ml) {
        std::vector<double> ratios = start;
        for (size_t k = 0; k < ratios.size(); ++k) {
            double bestGain = std::nan("");
            double bestRatio = ratios[k];
            for (int32_t j = 0; j <= 2 * rr + 2; ++j) {
                double r = std::clamp(static_cast<double>(j - rr - 1) / rr, -1.0, 1.0);
                for (int32_t level = 0; level < std::max(1, 100 / bi) * bi; level += bi) {
                    ratios[k] = r;
                    for (size_t s = 0; s < ratios.size(); ++s) {
                        project.DataSets()[s]->m_params.RC = ratios[s];
                    }
                    p->m_params.ML = ml;
                    p->m_params.BL = level;
                    p->Simulate();
                    double gain = p->m_params.GN;
                    visits.push_back({gain, ml, level, ratios});
                    if (!std::isnan(gain) && (std::isnan(bestGain) || gain > bestGain)) {
                        bestGain = gain;
                        bestRatio = r;
                    }
                }
            }
            ratios[k] = bestRatio;
        }
    }
    return visits;
}

TEST(Optimiser, MatchesTheStraightforwardSweep) {
    std::mt19937_64 rng(5);
    for (int sets = 1; sets <= 3; ++sets) {
        CProject project;
        FillRandomProject(project, rng, sets);
        project.m_range.MU = 3;
        // The reference runs on a copy of the same data, since simulating changes parameters.
        CProject reference;
        std::string text;
        project.Write(text);
        for (const auto& ds : project.DataSets()) {
            CDataSet* copy = reference.AddDataSet(ds->m_name);
            for (const CDataPoint& point : ds->Points()) {
                copy->AppendPoint(point);
            }
            copy->m_params = ds->m_params;
        }
        reference.m_range = project.m_range;
        SetWindow(reference, project.m_viewLimits.start.m_serial,
                  project.m_viewLimits.end.m_serial);

        std::vector<Visit> visits = StraightforwardSweep(reference);
        project.PrepareRun(nullptr);
        EXPECT_EQ(static_cast<size_t>(project.Primary()->m_stepTotal), visits.size());
        project.Primary()->Optimise(2);

        // The ten best distinct combinations by gain, earlier visits first on ties.
        std::vector<size_t> order(visits.size());
        for (size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            bool an = std::isnan(visits[a].gain), bn = std::isnan(visits[b].gain);
            if (an != bn) {
                return bn;
            }
            return !an && visits[a].gain > visits[b].gain;
        });
        std::vector<const Visit*> best;
        for (size_t i : order) {
            const Visit& v = visits[i];
            bool seen = std::any_of(best.begin(), best.end(), [&](const Visit* b) {
                return b->ml == v.ml && b->bl == v.bl && b->ratios == v.ratios;
            });
            if (!seen && best.size() < 10) {
                best.push_back(&v);
            }
        }
        for (size_t k = 0; k < project.DataSets().size(); ++k) {
            const auto& results = project.DataSets()[k]->m_results;
            ASSERT_EQ(results.size(), best.size());
            for (size_t i = 0; i < best.size(); ++i) {
                EXPECT_TRUE(SameDouble(results[i].GN, best[i]->gain)) << sets << " " << i;
                EXPECT_EQ(results[i].ML, best[i]->ml);
                EXPECT_EQ(results[i].BL, best[i]->bl);
                EXPECT_EQ(results[i].RC, best[i]->ratios[k]);
            }
        }
    }
}

TEST(Optimiser, ResultsDoNotDependOnTheThreadCount) {
    std::mt19937_64 rng(8);
    CProject one, many;
    std::mt19937_64 copy = rng;
    FillRandomProject(one, rng, 3);
    FillRandomProject(many, copy, 3);
    one.m_range.MU = 9;
    many.m_range.MU = 9;
    one.PrepareRun(nullptr);
    many.PrepareRun(nullptr);
    one.Primary()->Optimise(1);
    many.Primary()->Optimise(5);
    for (size_t k = 0; k < 3; ++k) {
        const auto& a = one.DataSets()[k]->m_results;
        const auto& b = many.DataSets()[k]->m_results;
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_TRUE(SameDouble(a[i].GN, b[i].GN));
            EXPECT_EQ(a[i].RC, b[i].RC);
            EXPECT_EQ(a[i].ML, b[i].ML);
            EXPECT_EQ(a[i].BL, b[i].BL);
        }
    }
}

struct RecordingProgress : CProgressSink {
    void ReportProgress(int32_t position) override { positions.push_back(position); }
    std::vector<int32_t> positions;
};

TEST(Optimiser, ReportsEveryPositionOnceInOrder) {
    std::mt19937_64 rng(3);
    CProject project;
    FillRandomProject(project, rng, 2);
    RecordingProgress progress;
    project.PrepareRun(&progress);
    project.Primary()->Optimise(3);
    ASSERT_EQ(progress.positions.size(), 100u);
    for (int32_t i = 0; i < 100; ++i) {
        EXPECT_EQ(progress.positions[static_cast<size_t>(i)], i + 1);
    }
}

TEST(Optimiser, CancelledRunKeepsWhatItFound) {
    std::mt19937_64 rng(4);
    CProject project;
    FillRandomProject(project, rng, 2);
    project.Primary()->AddResult();
    project.PrepareRun(nullptr);
    EXPECT_EQ(project.Primary()->m_cancel.load(), 0);
    project.RequestCancel();
    project.Primary()->Optimise(2);
    EXPECT_TRUE(project.Primary()->m_results.empty());  // cancelled before the first simulation
    project.PrepareRun(nullptr);                        // a new run starts uncancelled
    project.Primary()->Optimise(2);
    EXPECT_EQ(project.Primary()->m_results.size(), 10u);
}

TEST(Optimiser, EmptyWindowAndFlatSeriesAreHarmless) {
    CProject project;
    CDataSet* p = project.AddDataSet("flat");
    AppendDaily(*p, 1000, std::vector<double>(50, 7.0));
    project.m_range.MU = 21;
    project.m_range.RR = 0;  // stored back as 1
    project.m_range.BI = 0;  // counts as 1: a hundred levels
    SetWindow(project, 1000, 1049);
    project.PrepareRun(nullptr);
    EXPECT_EQ(project.m_range.RR, 1);
    EXPECT_EQ(p->m_stepTotal, 2 * 5 * 100);
    p->Optimise(2);
    ASSERT_EQ(p->m_results.size(), 10u);
    EXPECT_EQ(p->m_results[0].GN, 0.0);  // never enters: no signal

    SetWindow(project, 1, 10);  // no point inside: every candidate keeps the last output
    p->m_params.OUT = 1100.0;
    project.PrepareRun(nullptr);
    p->Optimise(1);
    EXPECT_DOUBLE_EQ(p->m_results[0].GN, 10.0);
}

}  // namespace
