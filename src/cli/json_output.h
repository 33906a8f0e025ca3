#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "model/data_point.h"
#include "model/limits.h"

// JSON pieces of the command-line output. Key order is kept as written; a non-finite double
// becomes null, and doubles are printed so that they read back to the same value.
using Json = nlohmann::ordered_json;

Json DateJson(const CDataPoint& point);
Json AxisJson(const CLimits& limits);
// A double, or null when it is not finite.
Json Number(double value);
// One line of JSON text, with invalid UTF-8 in names replaced rather than refused.
std::string Dump(const Json& json);
