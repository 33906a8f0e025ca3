#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "model/data_point.h"
#include "model/limits.h"

class CDataSet;
struct CStrategyFigures;

// JSON pieces of the command-line output. Key order is kept as written; a non-finite double
// becomes null, and doubles are printed so that they read back to the same value.
using Json = nlohmann::ordered_json;

Json DateJson(const CDataPoint& point);
Json AxisJson(const CLimits& limits);
// A double, or null when it is not finite.
Json Number(double value);
// One line of JSON text, with invalid UTF-8 in names replaced rather than refused.
std::string Dump(const Json& json);

// The figures of a simulation of `primary`, with the dates of the drawdown's peak and trough
// (null when the peak is the input before the window, or when the Net line never falls).
Json FiguresJson(const CStrategyFigures& figures, const CDataSet& primary);
