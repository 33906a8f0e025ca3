#include "app/parameter_rules.h"

#include <algorithm>

#include "model/project.h"

void StoreParameters(CProject& project, CParameterFields& fields) {
    CStrategyRange& range = project.m_range;
    CStrategyParams& primary = project.Primary()->m_params;
    range.RR = fields.resolution;
    fields.smoothing = std::max(fields.smoothing, 1);
    primary.ML = fields.smoothing;
    fields.sweepLow = std::max(fields.sweepLow, 1);
    fields.sweepHigh = std::max(fields.sweepHigh, fields.sweepLow);
    range.ML = fields.sweepLow;
    range.MU = fields.sweepHigh;
    fields.ratio = std::clamp(fields.ratio, -1.0, 1.0);
    project.Current()->m_params.RC = fields.ratio;
    fields.flags = std::clamp(fields.flags, 0, 100);
    primary.BL = fields.flags;
    range.BI = fields.flagStep;
}

CStatus ValidateRange(CProject& project) {
    if (project.Primary() == nullptr) {
        return CStatus::NotFound("the project has no data set to optimise");
    }
    CStrategyRange& range = project.m_range;
    // The slider offers 2 to 50 steps per unit; a file may hold any number, and a grid of
    // billions of ratios would never end.
    range.RR = std::clamp(range.RR, 1, kMostRatioSteps);
    range.ML = std::max(range.ML, 1);
    range.MU = std::max(range.MU, range.ML);
    return CStatus::Ok();
}
