#pragma once

#include <string>

// value - fmod(value, 10^-decimals): cut, not rounded, keeping the sign (12.37 -> 12.3).
double TruncateDecimals(double value, int decimals);

// Display text of a money amount or small quantity, in parentheses, with a format chosen by
// magnitude: "(1234.50)", "(0.500)", "(0.0)", "(1.0e+06)".
std::string FormatNumber(double x);

// A per-cent figure as every display shows it: cut (not rounded) to one decimal, in decimal
// rather than binary ("25.6" for 25.678, "5.0" for 5, "-14.3" for -14.333, never "-0.0").
// Empty when not finite.
std::string CutPercentText(double value);
