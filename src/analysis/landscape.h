#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CProject;

// The gains an optimisation found for every smoothing length, primary ratio and flag level it
// visited: the ground the result sets stand on. With several data sets a cell holds the best
// combination visited with that primary ratio (the other sets' ratios as the sweep had them).
struct CLandscape {
    int32_t lowLength = 0;        // ML of the first row
    int32_t lengthCount = 0;      // rows, one per smoothing length from lowLength up
    std::vector<int32_t> levels;  // flag levels, rising
    std::vector<double> ratios;   // the primary's ratios of the grid, rising, each once
    // lengthCount x ratios x levels (row by row, within a row ratio by ratio); the gain is NaN
    // where nothing was visited (a cancelled run) or every gain was not a number.
    std::vector<double> gains;
    std::vector<uint8_t> trades;  // 1 where the cell's combination enters the market
    // Which visit of its length gave the cell: data set x grid size + grid index, -1 for none.
    std::vector<int32_t> visits;
    // To rebuild a cell's ratios: the sweep's ratio grid, each data set's ratio at the start of
    // a length, and per length each set's ratio after its pass (set by set).
    std::vector<double> grid;
    std::vector<double> startRatios;
    std::vector<double> chosenRatios;  // lengthCount x data sets
    // Why nothing was recorded, when it was asked for and the range was too large; else empty.
    std::string unrecorded;

    bool Recorded() const { return !gains.empty(); }
    // The column of a flag level, or -1 when the landscape has none for it.
    int32_t LevelIndex(int32_t level) const;
    // The index of the ratio nearest to `ratio` (-1 without ratios).
    int32_t RatioIndex(double ratio) const;
    // The index of a cell; -1 outside the landscape. 64-bit lengths: ML may be any int.
    int64_t Cell(int64_t ml, int32_t ratioIndex, int32_t levelIndex) const;
    // The gain at (ML, primary ratio, BL); NaN outside the landscape.
    double At(int64_t ml, int32_t level, int32_t ratioIndex) const;
    // The best gain at (ML, BL) over the ratios; NaN outside the landscape.
    double At(int64_t ml, int32_t level) const;
    // The ratio of every data set of a cell's combination; empty for a cell without one.
    std::vector<double> CellRatios(int64_t cell) const;
};

// More cells than this are not recorded (13 bytes each, within the 32 MB a landscape may take):
// a range that large is a mistake more often than a wish, and the sweep's memory must not grow
// with it.
inline constexpr int64_t kMaxLandscapeCells = int64_t{1} << 21;

// A two-dimensional view for the heat map: one gain per smoothing length and flag level.
struct CLandscapeMap {
    int32_t lowLength = 0;
    int32_t lengthCount = 0;
    std::vector<int32_t> levels;
    std::vector<double> gains;  // lengthCount x levels, row by row
    std::string what;           // what a cell's gain is, for the scale
    int32_t LevelIndex(int32_t level) const;
    double At(int64_t ml, int32_t level) const;
};

// The cells at the ratio nearest to `ratio`.
CLandscapeMap SliceAtRatio(const CLandscape& landscape, double ratio);
// The best gain of each (ML, BL) over every ratio.
CLandscapeMap BestOverRatios(const CLandscape& landscape);

// How flat the landscape is around a parameter set at its own ratio: over the cells within two
// smoothing lengths, one flag level and one ratio step of it (its own included, the range's
// edges cutting the block, cells without a gain left out), the lowest and the mean gain. NaN,
// count 0, when none has one.
struct CPlateau {
    double low = 0.0;
    double mean = 0.0;
    int32_t cells = 0;
};

inline constexpr int32_t kPlateauLengths = 2;
inline constexpr int32_t kPlateauLevels = 1;
inline constexpr int32_t kPlateauRatios = 1;

CPlateau PlateauAt(const CLandscape& landscape, int64_t ml, int32_t level, double ratio);

// The plateau of every result set of the primary (at its primary ratio), in result order;
// empty without a primary.
std::vector<CPlateau> ResultPlateaus(const CProject& project, const CLandscape& landscape);

// A parameter set chosen for its plateau.
struct CRobustSet {
    int32_t ml = 0;
    int32_t bl = 0;
    std::vector<double> ratios;  // one per data set
    double gain = 0.0;
    CPlateau plateau;
};

// The `count` cells that trade with the highest plateau low over the whole landscape, ties by
// the higher mean, then by the higher gain, then by the sweep's order.
std::vector<CRobustSet> RobustSets(const CLandscape& landscape, size_t count);

// Replaces the result records of every data set with the robust sets (RobustSets with as many
// as an optimisation keeps), so the first result set stands on the highest plateau. Leaves them
// as they are when no cell trades.
void RankByPlateau(CProject& project, const CLandscape& landscape);
