#include "ui/figure_text.h"

#include <algorithm>
#include <cmath>

#include "analysis/number_format.h"
#include "analysis/strategy_figures.h"
#include "model/limits.h"

QString FigureText(double value) {
    if (!std::isfinite(value)) {
        return QString();
    }
    // A small negative figure cut to 0 is -0.0, which would show as "-0".
    return QString::number(value == 0.0 ? 0.0 : value, 'g', 15);
}

QString PercentText(double value) {
    return QString::fromStdString(CutPercentText(value));
}

QString RiskPercentText(double value) {
    if (!std::isfinite(value)) {
        return QString();
    }
    QString text = QString::asprintf("%.10f", value);
    const QString dropped = text.right(9);
    text.chop(9);
    const bool cut =
        std::any_of(dropped.begin(), dropped.end(), [](QChar c) { return c != QLatin1Char('0'); });
    if (cut) {
        const double tenth = value < 0.0 ? -0.1 : 0.1;
        text = QString::asprintf("%.1f", text.toDouble() + tenth);
    }
    return text == QStringLiteral("-0.0") ? QStringLiteral("0.0") : text;
}

QString AmountText(double value) {
    return std::isfinite(value) ? QString::fromStdString(FormatNumber(value)) : QString();
}

double GainPerYear(double gain, const CLimits& window) {
    return gain * 365.25 / static_cast<double>(window.DayCount());
}

double ShownGainPerYear(double gain, const CLimits& window) {
    return window.DayCount() >= kDaysOfAYear ? GainPerYear(gain, window) : gain;
}

QString GainPerYearTip(const QString& base, const CLimits& window) {
    if (window.DayCount() >= kDaysOfAYear) {
        return base;
    }
    const QString shortWindow =
        QStringLiteral("The window is shorter than a year: this is its gain, not annualised");
    return base.isEmpty() ? shortWindow : base + QStringLiteral("\n") + shortWindow;
}
