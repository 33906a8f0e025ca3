#pragma once

#include <cstdint>
#include <string>

// The one strategy record. It serves three roles under three names: the working parameters of
// a data set (PARAMETERS), the ranges of the optimisation (RANGE) and a stored result set
// (RESULT). The two-letter field names are also the attribute keys of the project file.
class CStrategyParams {
  public:
    // Number of simulations of one full optimisation over this RANGE record with the given
    // number of data sets. A resolution RR or a flag step BI below 1 (only a file can supply
    // one) counts as 1. Saturates instead of overflowing.
    int64_t GetStepCount(int dataSetCount) const;

    int32_t ML = 20;     // smoothing length in days; RANGE: lowest length of the sweep
    int32_t MU = 40;     // RANGE: highest smoothing length of the sweep
    double RC = 0.0;     // ratio of this data set's signal in the blend, -1 to 1
    int32_t RR = 20;     // RANGE: ratio steps per unit
    int32_t BL = 60;     // flag level in per cent (written as BC in a RESULT)
    int32_t BI = 10;     // RANGE: flag level step in per cent (5 fine, 10 coarse)
    double IN = 1000.0;  // amount invested at the start of the window
    double TT = 5.0;     // charge per market entry and per exit
    double OUT = 0.0;    // net value at the end of the window after the last simulation
    double GN = 0.0;     // gain of the last simulation (or of a result set) in per cent
};

using CStrategyRange = CStrategyParams;
using CStrategyResult = CStrategyParams;

// The flag step of a RANGE record as the sweep and the step count use it: at least 1.
inline int32_t EffectiveFlagStep(int32_t bi) {
    return bi < 1 ? 1 : bi;
}
