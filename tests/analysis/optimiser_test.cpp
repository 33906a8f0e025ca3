#include "analysis/optimiser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "analysis/landscape.h"
#include "analysis/simulation.h"
#include "model/progress_sink.h"
#include "model/project.h"
#include "support/series_builder.h"

namespace {

// The stop flag of a run nobody cancels.
const std::atomic<bool> kRun{false};

uint64_t Bits(double x) {
    return std::bit_cast<uint64_t>(x);
}

// A project of `sets` random walks over different, gappy stretches of days, to be swept over
// lengths 1 to 6, ratios in thirds and flag levels in steps of 20. The same seed gives the same
// project.
void FillRandomProject(CProject& project, uint64_t seed, int sets) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<int> gap(1, 4), offset(-30, 30), length(60, 160);
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
    const auto& points = project.Primary()->Points();
    SetWindow(project, points[5].m_serial, points[points.size() - 8].m_serial);
    project.Primary()->m_params.TT = 1.0;
    project.m_range = {.ML = 1, .MU = 6, .RR = 3, .BI = 20};
}

// The sweep done the straightforward way: every candidate placed in the data sets and
// simulated, one pass of coordinate ascent per length. Every visit, in order.
struct Visit {
    double gain;
    int32_t ml, bl;
    std::vector<double> ratios;
};

std::vector<Visit> StraightforwardSweep(uint64_t seed, int sets) {
    CProject project;
    FillRandomProject(project, seed, sets);
    const CStrategyRange& range = project.m_range;
    CDataSet* p = project.Primary();
    std::vector<double> start;
    for (const auto& ds : project.DataSets()) {
        start.push_back(ds->m_params.RC);
    }
    std::vector<Visit> visits;
    for (int32_t ml = range.ML; ml <= range.MU; ++ml) {
        std::vector<double> ratios = start;
        for (size_t k = 0; k < ratios.size(); ++k) {
            double bestGain = std::nan("");
            double bestRatio = ratios[k];
            for (int32_t j = 0; j <= 2 * range.RR + 2; ++j) {
                ratios[k] = std::clamp(static_cast<double>(j - range.RR - 1) / range.RR, -1.0, 1.0);
                for (int32_t level = 0; level < 100; level += range.BI) {
                    for (size_t s = 0; s < ratios.size(); ++s) {
                        project.DataSets()[s]->m_params.RC = ratios[s];
                    }
                    p->m_params.ML = ml;
                    p->m_params.BL = level;
                    Simulate(project, nullptr);
                    const double gain = p->m_params.GN;
                    visits.push_back({gain, ml, level, ratios});
                    if (!std::isnan(gain) && (std::isnan(bestGain) || gain > bestGain)) {
                        bestGain = gain;
                        bestRatio = ratios[k];
                    }
                }
            }
            ratios[k] = bestRatio;
        }
    }
    return visits;
}

// Each result set, applied and simulated again, gives its own gain bit for bit.
void ExpectResultSetsReproduce(CProject& project) {
    const auto results = project.Primary()->m_results;
    for (int32_t n = 1; n <= static_cast<int32_t>(results.size()); ++n) {
        SelectResultSet(project, n, nullptr);
        EXPECT_EQ(Bits(project.Primary()->m_params.GN), Bits(results[n - 1].GN)) << "set " << n;
    }
}

// The same ten best combinations, bit for bit, with any number of threads.
TEST(Optimiser, MatchesTheStraightforwardSweepWithAnyThreadCount) {
    using Row = std::tuple<uint64_t, int32_t, int32_t, double>;
    for (int sets = 1; sets <= 4; ++sets) {
        std::vector<Visit> visits = StraightforwardSweep(5 + sets, sets);
        // The ten best distinct combinations by gain, earlier visits first on ties, NaN last.
        std::stable_sort(visits.begin(), visits.end(), [](const Visit& a, const Visit& b) {
            return !std::isnan(a.gain) && (std::isnan(b.gain) || a.gain > b.gain);
        });
        std::vector<Visit> best;
        for (const Visit& v : visits) {
            if (best.size() < 10 && std::none_of(best.begin(), best.end(), [&](const Visit& b) {
                    return b.ml == v.ml && b.bl == v.bl && b.ratios == v.ratios;
                })) {
                best.push_back(v);
            }
        }

        for (int threads : {1, 4}) {
            CProject project;
            FillRandomProject(project, 5 + sets, sets);
            EXPECT_EQ(static_cast<size_t>(project.m_range.GetStepCount(sets)), visits.size());
            Optimise(project, threads, kRun, nullptr);
            for (size_t k = 0; k < project.DataSets().size(); ++k) {
                std::vector<Row> expected, got;
                for (const Visit& v : best) {
                    expected.emplace_back(Bits(v.gain), v.ml, v.bl, v.ratios[k]);
                }
                for (const CStrategyResult& r : project.DataSets()[k]->m_results) {
                    got.emplace_back(Bits(r.GN), r.ML, r.BL, r.RC);
                }
                EXPECT_EQ(got, expected) << sets << " sets, " << threads << " threads, set " << k;
            }
            ExpectResultSetsReproduce(project);
        }
    }
}

// Each cell of the landscape is the best gain the straightforward sweep visited there, bit for
// bit, over all ratios and at each primary ratio, and recording it changes no result.
TEST(Optimiser, TheLandscapeIsTheBestVisitedGainPerLengthRatioAndLevel) {
    for (int sets : {1, 3}) {
        const std::vector<Visit> visits = StraightforwardSweep(11 + sets, sets);
        CProject plain, recorded;
        FillRandomProject(plain, 11 + sets, sets);
        FillRandomProject(recorded, 11 + sets, sets);
        Optimise(plain, 2, kRun, nullptr);
        CLandscape landscape;
        Optimise(recorded, 2, kRun, nullptr, &landscape);
        ASSERT_TRUE(landscape.Recorded());
        EXPECT_EQ(landscape.levels, (std::vector<int32_t>{0, 20, 40, 60, 80}));

        for (int32_t ml = 0; ml <= 7; ++ml) {
            for (int32_t bl = 0; bl < 100; bl += 20) {
                double best = std::nan("");
                for (const Visit& v : visits) {
                    if (v.ml == ml && v.bl == bl && !std::isnan(v.gain) &&
                        (std::isnan(best) || v.gain > best)) {
                        best = v.gain;
                    }
                }
                EXPECT_EQ(Bits(landscape.At(ml, bl)), Bits(best))
                    << sets << " sets " << ml << "/" << bl;
                // Each ratio's cell: the first best visit with that primary ratio, whose ratios
                // the landscape rebuilds.
                for (int32_t r = 0; r < static_cast<int32_t>(landscape.ratios.size()); ++r) {
                    double cellBest = std::nan("");
                    std::vector<double> cellRatios;
                    for (const Visit& v : visits) {
                        if (v.ml == ml && v.bl == bl && v.ratios[0] == landscape.ratios[r] &&
                            !std::isnan(v.gain) && (std::isnan(cellBest) || v.gain > cellBest)) {
                            cellBest = v.gain;
                            cellRatios = v.ratios;
                        }
                    }
                    const int64_t cell = landscape.Cell(ml, r, landscape.LevelIndex(bl));
                    EXPECT_EQ(Bits(landscape.At(ml, bl, r)), Bits(cellBest)) << ml << "/" << r;
                    EXPECT_EQ(landscape.CellRatios(cell), cellRatios) << ml << "/" << r;
                }
            }
        }
        const auto& results = recorded.Primary()->m_results;
        ASSERT_EQ(results.size(), plain.Primary()->m_results.size());
        for (size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(Bits(results[i].GN), Bits(plain.Primary()->m_results[i].GN)) << i;
        }
    }
}

struct RecordingProgress : CProgressSink {
    void ReportProgress(int32_t position) override { positions.push_back(position); }
    std::vector<int32_t> positions;
};

TEST(Optimiser, ReportsEveryPositionOnceInOrderAndStopsWhenCancelled) {
    CProject project;
    FillRandomProject(project, 3, 2);
    RecordingProgress progress;
    Optimise(project, 3, kRun, &progress);
    std::vector<int32_t> expected(100);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(progress.positions, expected);

    const std::atomic<bool> stopped{true};
    Optimise(project, 2, stopped, nullptr);
    EXPECT_TRUE(project.Primary()->m_results.empty());  // stopped before the first simulation

    // A range too large to record a landscape is swept without one, and says so.
    project.m_range = {.ML = 1, .MU = 100000, .RR = 3, .BI = 1};
    CLandscape landscape;
    landscape.gains = {1.0};
    Optimise(project, 1, stopped, nullptr, &landscape);
    EXPECT_FALSE(landscape.Recorded());
    EXPECT_NE(landscape.unrecorded.find("70000000"), std::string::npos) << landscape.unrecorded;
}

// Any range a user can type runs in the memory of a short one and keeps, when cancelled, the
// best of what it visited: at least as good, rank by rank, as the best of its first lengths.
TEST(Optimiser, TheLongestRangeRunsUntilCancelledAndKeepsTheBestSoFar) {
    CProject firstLengths;
    FillRandomProject(firstLengths, 11, 2);
    firstLengths.m_range.MU = 2;
    Optimise(firstLengths, 1, kRun, nullptr);

    CProject project;
    FillRandomProject(project, 11, 2);
    project.m_range.MU = std::numeric_limits<int32_t>::max();
    std::atomic<bool> stop{false};
    // Long enough for the first lengths even in the sanitizer build; the run would otherwise
    // take weeks.
    std::thread cancel([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    });
    Optimise(project, 2, stop, nullptr);
    cancel.join();

    const auto& kept = project.Primary()->m_results;
    const auto& first = firstLengths.Primary()->m_results;
    ASSERT_EQ(kept.size(), first.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_GE(kept[i].GN, first[i].GN) << i;
    }
    ExpectResultSetsReproduce(project);
}

// The estimate counts the steps; measuring changes nothing.
TEST(Optimiser, EstimateCountsTheSteps) {
    CProject project;
    FillRandomProject(project, 4, 3);
    EXPECT_EQ(EstimateSweep(project, 1).steps, 6 * 9 * 5 * 3);
    EXPECT_TRUE(project.Primary()->m_results.empty());
}

// A flag step of 0 (only a file holds one) must not stall the sweep.
TEST(Optimiser, ZeroStepsAreHarmless) {
    CProject project;
    CDataSet* p = project.AddDataSet("flat");
    AppendDaily(*p, 1000, std::vector<double>(50, 7.0));
    project.m_range = {.MU = 21, .RR = 0, .BI = 0};
    SetWindow(project, 1000, 1049);
    Optimise(project, 2, kRun, nullptr);
    EXPECT_EQ(p->m_results.size(), 10u);
}

}  // namespace
