#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Conversions that never overflow: out-of-range values saturate at the 32-bit range and NaN
// becomes 0. Used wherever a double or a wide integer meets a 32-bit field or pixel position.

inline int32_t SaturateToInt32(int64_t v) {
    constexpr int64_t lo = std::numeric_limits<int32_t>::min();
    constexpr int64_t hi = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

// Truncates toward zero, as a cast would, but saturates instead of overflowing.
inline int32_t TruncToInt32(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    if (v >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(v);
}
