#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CProject;

// The best gain an optimisation found for every smoothing length and flag level it visited,
// over the ratios it tried there: the ground the result sets stand on.
struct CLandscape {
    int32_t lowLength = 0;        // ML of the first row
    int32_t lengthCount = 0;      // rows, one per smoothing length from lowLength up
    std::vector<int32_t> levels;  // flag levels of the columns, rising
    // lengthCount x levels.size(), row by row; NaN where nothing was visited (a cancelled run)
    // or every gain was not a number.
    std::vector<double> gains;
    // Why nothing was recorded, when it was asked for and the range was too large; else empty.
    std::string unrecorded;

    bool Recorded() const { return !gains.empty(); }
    // The column of a flag level, or -1 when the landscape has none for it.
    int32_t LevelIndex(int32_t level) const;
    // The gain at (ML, BL); NaN outside the landscape.
    double At(int32_t ml, int32_t level) const;
};

// More cells than this are not recorded (8 bytes each): a range that large is a mistake more
// often than a wish, and the sweep's memory must not grow with it.
inline constexpr int64_t kMaxLandscapeCells = int64_t{1} << 22;

// How flat the landscape is around a result set: over the cells within two smoothing lengths
// and one flag level of it (its own included, the range's edges cutting the block, cells
// without a gain left out), the lowest and the mean gain. NaN, count 0, when none has one.
struct CPlateau {
    double low = 0.0;
    double mean = 0.0;
    int32_t cells = 0;
};

inline constexpr int32_t kPlateauLengths = 2;
inline constexpr int32_t kPlateauLevels = 1;

CPlateau PlateauAt(const CLandscape& landscape, int32_t ml, int32_t level);

// The plateau of every result set of the primary, in result order; empty without a primary.
std::vector<CPlateau> ResultPlateaus(const CProject& project, const CLandscape& landscape);

// Reorders the result records of every data set alike: the highest plateau low first, ties by
// the higher mean, then by the order they had (so the gain order breaks the rest). Data sets
// with fewer records than the primary keep theirs.
void RankByPlateau(CProject& project, const CLandscape& landscape);
