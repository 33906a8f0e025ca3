#pragma once

#include <cstdint>

#include "model/status.h"

class CProject;
class CStrategyParams;

// What a user may set, and how values out of range are brought into it when stored: the same
// rules whether the values come from the pages or from a file on the command line.

// The fields of the Parameters page as typed.
struct CParameterFields {
    int32_t smoothing = 20;   // ML of the primary
    int32_t sweepLow = 20;    // ML of the range
    int32_t sweepHigh = 40;   // MU of the range
    double ratio = 0.0;       // RC of the current data set
    int32_t flags = 60;       // BL of the primary
    int32_t flagStep = 10;    // BI of the range
    int32_t resolution = 20;  // RR of the range
};

// Clamps the fields (smoothing and sweep at least 1, the sweep's high end at least its low end,
// ratio -1 to 1, flag level 0 to 100) and stores them into the primary, the current data set and
// the range. REQUIRES: the project has a primary and a current data set.
void StoreParameters(CProject& project, CParameterFields& fields);

// Brings the range of an optimisation into the same bounds before a run (a resolution below 1
// becomes 1, above kMostRatioSteps that); fails without a data set to optimise.
inline constexpr int32_t kMostRatioSteps = 1000;
CStatus ValidateRange(CProject& project);
