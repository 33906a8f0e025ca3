#include "analysis/number_format.h"

#include <cmath>
#include <cstdio>

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

std::string CutPercentText(double value) {
    if (!std::isfinite(value)) {
        return std::string();
    }
    // Cut in decimal, not in binary: 10.0 - fmod(10.0, 0.1) is 9.90000..., and a figure cut
    // twice that way loses a tenth each time. Ten decimals first absorb the binary noise.
    char text[400];  // "%.10f" of 1e308
    std::snprintf(text, sizeof text, "%.10f", value);
    std::string cut(text);
    cut.resize(cut.size() - 9);
    return cut == "-0.0" ? std::string("0.0") : cut;
}
