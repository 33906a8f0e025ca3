#include "analysis/landscape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

#include "analysis/optimiser.h"
#include "model/project.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int32_t IndexOfLevel(const std::vector<int32_t>& levels, int32_t level) {
    const auto at = std::lower_bound(levels.begin(), levels.end(), level);
    return at != levels.end() && *at == level ? static_cast<int32_t>(at - levels.begin()) : -1;
}

// Higher first; NaN after every number.
bool Higher(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return !std::isnan(a) && std::isnan(b);
    }
    return a > b;
}

}  // namespace

int32_t CLandscape::LevelIndex(int32_t level) const {
    return IndexOfLevel(levels, level);
}

int32_t CLandscape::RatioIndex(double ratio) const {
    if (ratios.empty() || std::isnan(ratio)) {
        return -1;
    }
    const auto at = std::lower_bound(ratios.begin(), ratios.end(), ratio);
    if (at == ratios.end()) {
        return static_cast<int32_t>(ratios.size()) - 1;
    }
    if (at != ratios.begin() && ratio - *(at - 1) < *at - ratio) {
        return static_cast<int32_t>(at - ratios.begin()) - 1;
    }
    return static_cast<int32_t>(at - ratios.begin());
}

int64_t CLandscape::Cell(int64_t ml, int32_t ratioIndex, int32_t levelIndex) const {
    const int64_t row = ml - lowLength;
    const auto ratioCount = static_cast<int64_t>(ratios.size());
    const auto levelCount = static_cast<int64_t>(levels.size());
    if (!Recorded() || row < 0 || row >= lengthCount || ratioIndex < 0 ||
        ratioIndex >= ratioCount || levelIndex < 0 || levelIndex >= levelCount) {
        return -1;
    }
    return (row * ratioCount + ratioIndex) * levelCount + levelIndex;
}

double CLandscape::At(int64_t ml, int32_t level, int32_t ratioIndex) const {
    const int64_t cell = Cell(ml, ratioIndex, LevelIndex(level));
    return cell < 0 ? kNaN : gains[static_cast<size_t>(cell)];
}

double CLandscape::At(int64_t ml, int32_t level) const {
    double best = kNaN;
    for (int32_t r = 0; r < static_cast<int32_t>(ratios.size()); ++r) {
        const double gain = At(ml, level, r);
        best = Higher(gain, best) ? gain : best;
    }
    return best;
}

std::vector<double> CLandscape::CellRatios(int64_t cell) const {
    const int32_t visit = cell < 0 ? -1 : visits[static_cast<size_t>(cell)];
    if (visit < 0 || grid.empty()) {
        return {};
    }
    const size_t sets = startRatios.size();
    const auto set = static_cast<size_t>(visit) / grid.size();
    const size_t row = static_cast<size_t>(cell) / (ratios.size() * levels.size());
    std::vector<double> out = startRatios;
    for (size_t k = 0; k < set; ++k) {
        out[k] = chosenRatios[row * sets + k];
    }
    out[set] = grid[static_cast<size_t>(visit) % grid.size()];
    return out;
}

int32_t CLandscapeMap::LevelIndex(int32_t level) const {
    return IndexOfLevel(levels, level);
}

double CLandscapeMap::At(int64_t ml, int32_t level) const {
    const int64_t row = ml - lowLength;
    const int32_t column = LevelIndex(level);
    if (row < 0 || row >= lengthCount || column < 0) {
        return kNaN;
    }
    return gains[static_cast<size_t>(row) * levels.size() + static_cast<size_t>(column)];
}

namespace {

template <typename GainOf>
CLandscapeMap MapOf(const CLandscape& landscape, std::string what, GainOf gainOf) {
    CLandscapeMap map{
        landscape.lowLength, landscape.lengthCount, landscape.levels, {}, std::move(what)};
    if (!landscape.Recorded()) {
        map.lengthCount = 0;
        return map;
    }
    for (int64_t row = 0; row < landscape.lengthCount; ++row) {
        for (int32_t level : landscape.levels) {
            map.gains.push_back(gainOf(landscape.lowLength + row, level));
        }
    }
    return map;
}

std::string RatioText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", ratio);
    return text;
}

}  // namespace

CLandscapeMap SliceAtRatio(const CLandscape& landscape, double ratio) {
    const int32_t r = landscape.RatioIndex(ratio);
    const std::string what =
        r < 0 ? "gain" : "gain at ratio " + RatioText(landscape.ratios[static_cast<size_t>(r)]);
    return MapOf(landscape, what,
                 [&](int64_t ml, int32_t level) { return landscape.At(ml, level, r); });
}

CLandscapeMap BestOverRatios(const CLandscape& landscape) {
    return MapOf(landscape, "best over ratios",
                 [&](int64_t ml, int32_t level) { return landscape.At(ml, level); });
}

namespace {

CPlateau PlateauOfCell(const CLandscape& landscape, int64_t ml, int32_t column, int32_t ratio) {
    CPlateau plateau{kNaN, 0.0, 0};
    const auto levelCount = static_cast<int32_t>(landscape.levels.size());
    const auto ratioCount = static_cast<int32_t>(landscape.ratios.size());
    for (int64_t dl = -kPlateauLengths; dl <= kPlateauLengths; ++dl) {
        for (int32_t r = std::max(0, ratio - kPlateauRatios);
             r <= std::min(ratioCount - 1, ratio + kPlateauRatios); ++r) {
            for (int32_t c = std::max(0, column - kPlateauLevels);
                 c <= std::min(levelCount - 1, column + kPlateauLevels); ++c) {
                const int64_t cell = landscape.Cell(ml + dl, r, c);
                const double gain = cell < 0 ? kNaN : landscape.gains[static_cast<size_t>(cell)];
                if (std::isnan(gain)) {
                    continue;
                }
                plateau.low = plateau.cells == 0 ? gain : std::min(plateau.low, gain);
                plateau.mean += gain;
                ++plateau.cells;
            }
        }
    }
    plateau.mean = plateau.cells > 0 ? plateau.mean / plateau.cells : kNaN;
    return plateau;
}

}  // namespace

CPlateau PlateauAt(const CLandscape& landscape, int64_t ml, int32_t level, double ratio) {
    const int32_t column = landscape.LevelIndex(level);
    const int32_t r = landscape.RatioIndex(ratio);
    if (column < 0 || r < 0) {
        return CPlateau{kNaN, kNaN, 0};
    }
    return PlateauOfCell(landscape, ml, column, r);
}

std::vector<CPlateau> ResultPlateaus(const CProject& project, const CLandscape& landscape) {
    std::vector<CPlateau> plateaus;
    if (const CDataSet* primary = project.Primary()) {
        for (const CStrategyResult& r : primary->m_results) {
            plateaus.push_back(PlateauAt(landscape, r.ML, r.BL, r.RC));
        }
    }
    return plateaus;
}

std::vector<CRobustSet> RobustSets(const CLandscape& landscape, size_t count) {
    struct Scored {
        int64_t cell;
        CPlateau plateau;
    };
    std::vector<Scored> scored;
    const auto ratioCount = static_cast<int64_t>(landscape.ratios.size());
    const auto levelCount = static_cast<int64_t>(landscape.levels.size());
    for (int64_t cell = 0; cell < static_cast<int64_t>(landscape.gains.size()); ++cell) {
        const auto at = static_cast<size_t>(cell);
        if (landscape.trades[at] == 0 || std::isnan(landscape.gains[at])) {
            continue;
        }
        const int64_t ml = landscape.lowLength + cell / (ratioCount * levelCount);
        const auto ratio = static_cast<int32_t>(cell / levelCount % ratioCount);
        const auto column = static_cast<int32_t>(cell % levelCount);
        scored.push_back({cell, PlateauOfCell(landscape, ml, column, ratio)});
    }
    const auto better = [&](const Scored& a, const Scored& b) {
        if (a.plateau.low != b.plateau.low) {
            return Higher(a.plateau.low, b.plateau.low);
        }
        if (a.plateau.mean != b.plateau.mean) {
            return Higher(a.plateau.mean, b.plateau.mean);
        }
        const double ga = landscape.gains[static_cast<size_t>(a.cell)];
        const double gb = landscape.gains[static_cast<size_t>(b.cell)];
        return ga != gb ? Higher(ga, gb) : a.cell < b.cell;
    };
    const size_t keep = std::min(count, scored.size());
    std::partial_sort(scored.begin(), scored.begin() + static_cast<std::ptrdiff_t>(keep),
                      scored.end(), better);
    std::vector<CRobustSet> sets;
    for (size_t i = 0; i < keep; ++i) {
        const int64_t cell = scored[i].cell;
        CRobustSet set;
        set.ml = static_cast<int32_t>(landscape.lowLength + cell / (ratioCount * levelCount));
        set.bl = landscape.levels[static_cast<size_t>(cell % levelCount)];
        set.ratios = landscape.CellRatios(cell);
        set.gain = landscape.gains[static_cast<size_t>(cell)];
        set.plateau = scored[i].plateau;
        sets.push_back(std::move(set));
    }
    return sets;
}

void RankByPlateau(CProject& project, const CLandscape& landscape) {
    const std::vector<CRobustSet> sets = RobustSets(landscape, COptimiser::kResultSets);
    if (sets.empty()) {
        return;
    }
    const auto& dataSets = project.DataSets();
    for (size_t k = 0; k < dataSets.size(); ++k) {
        CDataSet& ds = *dataSets[k];
        ds.ClearResults();
        for (const CRobustSet& set : sets) {
            CStrategyResult& result = ds.AddResult();
            result.ML = set.ml;
            result.BL = set.bl;
            result.RC = k < set.ratios.size() ? set.ratios[k] : ds.m_params.RC;
            result.GN = set.gain;
        }
    }
}
