#include "analysis/strategy_params.h"

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

int64_t CStrategyParams::GetStepCount(int dataSetCount) {
    if (RR < 1) {
        RR = 1;
    }
    int64_t lengths = std::max<int64_t>(1, int64_t{MU} - ML + 1);
    int64_t ratios = 2 * int64_t{RR} + 3;
    int64_t levels = std::max<int64_t>(1, 100 / EffectiveFlagStep(BI));
    int64_t sets = std::max<int64_t>(1, dataSetCount);
    return SaturatingMultiply(SaturatingMultiply(SaturatingMultiply(lengths, ratios), levels),
                              sets);
}

double TruncateDecimals(double value, int decimals) {
    return value - std::fmod(value, std::pow(10.0, -decimals));
}

std::string FormatNumber(double x) {
    const char* format = "%1.1e";
    if (x == 0.0) {
        format = "%3.1f";
    } else if (x >= 1000000.0) {
        format = "%1.1e";
    } else if (x >= 1.0) {
        format = "%10.2f";
    } else if (x >= 0.1) {
        format = "%10.3f";
    } else if (x >= 0.01) {
        format = "%10.4f";
    } else if (x >= 0.001) {
        format = "%10.5f";
    } else if (x >= 0.0001) {
        format = "%10.6f";
    } else if (x >= 0.00001) {
        format = "%10.7f";
    }
    char text[64];
    std::snprintf(text, sizeof text, format, x);
    const char* start = text;
    while (*start == ' ') {
        ++start;
    }
    std::string result = "(";
    result.append(start);
    result.push_back(')');
    return result;
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
