#pragma once

#include <QString>

class CLimits;

// The texts of the analysis figures. A figure that is not a finite number (the gain of a run
// with an input of 0, the potential gain of a series whose first value in the window is 0)
// shows as an empty text rather than "nan" or "inf".

// Up to 15 significant digits, the way an edit shows a number field: 12.3, 0.25, 1000.
QString FigureText(double value);
// A per-cent figure (gain, gain per year, potential gain), the same text wherever it shows: cut
// (not rounded) to one decimal, "25.6" for 25.678, "5.0" for 5, "-14.3" for -14.333.
QString PercentText(double value);
// A per-cent figure of risk (drawdown, worst trade, volatility): one decimal away from zero,
// so a risk is never shown smaller than it was: "19.9" for 19.88, "-8.5" for -8.43, "10.0" for
// 10. Every other figure is cut, as PercentText says.
QString RiskPercentText(double value);
// FormatNumber: "(1089.50)".
QString AmountText(double value);

// The simple (not compounded) gain per year of `gain` per cent made over the days of
// `window`: gain x 365.25 / days.
double GainPerYear(double gain, const CLimits& window);

// The gain per year the report and the result sets box show, by the rule of the figures: the
// simple gain per year over a window of a year or more; over a shorter one the window's own
// gain, since a few weeks' gain multiplied up to a year says nothing about a year.
double ShownGainPerYear(double gain, const CLimits& window);
// What a field showing ShownGainPerYear over `window` holds, for its tooltip: `base`, and for a
// window under a year that the figure is the window's gain, not annualised.
QString GainPerYearTip(const QString& base, const CLimits& window);
