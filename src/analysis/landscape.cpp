#include "analysis/landscape.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "model/project.h"

int32_t CLandscape::LevelIndex(int32_t level) const {
    const auto at = std::lower_bound(levels.begin(), levels.end(), level);
    return at != levels.end() && *at == level ? static_cast<int32_t>(at - levels.begin()) : -1;
}

double CLandscape::At(int32_t ml, int32_t level) const {
    const int64_t row = int64_t{ml} - lowLength;
    const int32_t column = LevelIndex(level);
    if (!Recorded() || row < 0 || row >= lengthCount || column < 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return gains[static_cast<size_t>(row) * levels.size() + static_cast<size_t>(column)];
}

CPlateau PlateauAt(const CLandscape& landscape, int32_t ml, int32_t level) {
    CPlateau plateau{std::numeric_limits<double>::quiet_NaN(), 0.0, 0};
    const int32_t column = landscape.LevelIndex(level);
    if (column < 0) {
        plateau.mean = plateau.low;
        return plateau;
    }
    const auto levelCount = static_cast<int32_t>(landscape.levels.size());
    for (int32_t dl = -kPlateauLengths; dl <= kPlateauLengths; ++dl) {
        for (int32_t c = std::max(0, column - kPlateauLevels);
             c <= std::min(levelCount - 1, column + kPlateauLevels); ++c) {
            const double gain = landscape.At(ml + dl, landscape.levels[static_cast<size_t>(c)]);
            if (std::isnan(gain)) {
                continue;
            }
            plateau.low = plateau.cells == 0 ? gain : std::min(plateau.low, gain);
            plateau.mean += gain;
            ++plateau.cells;
        }
    }
    plateau.mean = plateau.cells > 0 ? plateau.mean / plateau.cells : plateau.low;
    return plateau;
}

std::vector<CPlateau> ResultPlateaus(const CProject& project, const CLandscape& landscape) {
    std::vector<CPlateau> plateaus;
    if (const CDataSet* primary = project.Primary()) {
        for (const CStrategyResult& r : primary->m_results) {
            plateaus.push_back(PlateauAt(landscape, r.ML, r.BL));
        }
    }
    return plateaus;
}

namespace {

// Higher first; a plateau without a gain after every other.
bool Higher(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return !std::isnan(a) && std::isnan(b);
    }
    return a > b;
}

}  // namespace

void RankByPlateau(CProject& project, const CLandscape& landscape) {
    const std::vector<CPlateau> plateaus = ResultPlateaus(project, landscape);
    std::vector<size_t> order(plateaus.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const CPlateau& x = plateaus[a];
        const CPlateau& y = plateaus[b];
        if (Higher(x.low, y.low) || Higher(y.low, x.low)) {
            return Higher(x.low, y.low);
        }
        return Higher(x.mean, y.mean);
    });
    for (const auto& ds : project.DataSets()) {
        if (ds->m_results.size() < order.size()) {
            continue;
        }
        const auto before = ds->m_results;
        for (size_t i = 0; i < order.size(); ++i) {
            ds->m_results[i] = before[order[i]];
        }
    }
}
