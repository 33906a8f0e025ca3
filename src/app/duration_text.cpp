#include "app/duration_text.h"

#include <algorithm>
#include <cmath>

#include "analysis/optimiser.h"

namespace {

std::string Counted(double n, const char* unit) {
    const auto whole = static_cast<int64_t>(std::max(1.0, std::round(n)));
    return GroupedCount(whole) + " " + unit + (whole == 1 ? "" : "s");
}

}  // namespace

std::string GroupedCount(int64_t n) {
    std::string digits = std::to_string(n);
    const size_t first = digits.front() == '-' ? 1 : 0;
    for (size_t at = digits.size(); at > first + 3; at -= 3) {
        digits.insert(at - 3, 1, ',');
    }
    return digits;
}

std::string RoughDuration(double seconds) {
    constexpr double kMinute = 60.0;
    constexpr double kHour = 60.0 * kMinute;
    constexpr double kDay = 24.0 * kHour;
    constexpr double kYear = 365.25 * kDay;
    // Beyond this many years the count no longer fits a whole number.
    constexpr double kMostYears = 9.0e18;
    if (!std::isfinite(seconds) || seconds / kYear > kMostYears) {
        return "a very long time";
    }
    // Switch units at one and a half of the next, so that "90 seconds" beats "2 minutes".
    if (seconds < 1.5 * kMinute) {
        return Counted(seconds, "second");
    }
    if (seconds < 1.5 * kHour) {
        return Counted(seconds / kMinute, "minute");
    }
    if (seconds < 2.0 * kDay) {
        return Counted(seconds / kHour, "hour");
    }
    if (seconds < 2.0 * kYear) {
        return Counted(seconds / kDay, "day");
    }
    return Counted(seconds / kYear, "year");
}

std::string LongRunText(const CSweepEstimate& estimate) {
    return "This run has " + GroupedCount(estimate.steps) + " steps and would take about " +
           RoughDuration(estimate.seconds) + ".";
}

std::string TimeLeftText(double elapsed, int position, double estimated) {
    double total = estimated;
    if (position > 0) {
        total = elapsed * 100.0 / position;
    } else if (estimated <= 0.0) {
        return std::string();
    }
    return "About " + RoughDuration(std::max(0.0, total - elapsed)) + " left";
}
