#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
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

// Figures with the dates of the drawdown's peak and trough and of the ruin (null when the peak is
// the input before the first point, when the Net line never falls, when it is not ruined);
// `pointAt` gives the point of an index of the figures.
Json FiguresJson(const CStrategyFigures& figures,
                 const std::function<const CDataPoint*(int64_t)>& pointAt);
// The figures of a simulation of `primary`; null for a window without a point.
Json FiguresJson(const CStrategyFigures& figures, const CDataSet& primary);
