#include "ui/figure_text.h"

#include <cmath>

#include "analysis/number_format.h"
#include "model/limits.h"

QString FigureText(double value) {
    if (!std::isfinite(value)) {
        return QString();
    }
    // A small negative figure cut to 0 is -0.0, which would show as "-0".
    return QString::number(value == 0.0 ? 0.0 : value, 'g', 15);
}

QString PercentText(double value) {
    return std::isfinite(value) ? QString::asprintf("%5.1f", value) : QString();
}

QString AmountText(double value) {
    return std::isfinite(value) ? QString::fromStdString(FormatNumber(value)) : QString();
}

double GainPerYear(double gain, const CLimits& window) {
    return gain * 365.25 / static_cast<double>(window.DayCount());
}
