#include "model/strategy_params.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "model/text_out.h"

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

void CStrategyParams::WriteParameters(std::string& out) const {
    out += "<PARAMETERS ";
    AppendIntAttribute(out, "ML", ML);
    AppendRealAttribute(out, "RC", RC);
    AppendIntAttribute(out, "BL", BL);
    AppendRealAttribute(out, "IN", IN);
    AppendRealAttribute(out, "TT", TT);
    AppendRealAttribute(out, "GN", GN);
    out += " />";
    out += kLineEnd;
}

void CStrategyParams::WriteRange(std::string& out) const {
    out += "<RANGE ";
    AppendIntAttribute(out, "ML", ML);
    AppendIntAttribute(out, "MU", MU);
    AppendIntAttribute(out, "RR", RR);
    AppendIntAttribute(out, "BL", BL);
    AppendIntAttribute(out, "BI", BI);
    out += " />";
    out += kLineEnd;
}

void CStrategyParams::WriteResult(std::string& out) const {
    out += "<RESULT";
    AppendIntAttribute(out, "ML", ML);
    AppendRealAttribute(out, "RC", RC);
    AppendIntAttribute(out, "BC", BL);
    AppendRealAttribute(out, "GN", GN);
    out += " />";
    out += kLineEnd;
}
