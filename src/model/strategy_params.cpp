#include "model/strategy_params.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

int64_t SaturatingMultiply(int64_t a, int64_t b) {
    int64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) {
        return std::numeric_limits<int64_t>::max();
    }
    return product;
}

}  // namespace

int64_t CStrategyParams::GetStepCount(int dataSetCount) const {
    int64_t lengths = std::max<int64_t>(1, int64_t{MU} - ML + 1);
    int64_t ratios = 2 * int64_t{std::max(RR, 1)} + 3;
    int64_t levels = std::max<int64_t>(1, 100 / EffectiveFlagStep(BI));
    int64_t sets = std::max<int64_t>(1, dataSetCount);
    return SaturatingMultiply(SaturatingMultiply(SaturatingMultiply(lengths, ratios), levels),
                              sets);
}
