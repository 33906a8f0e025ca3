#include "cli/json_output.h"

#include <cmath>

Json DateJson(const CDataPoint& point) {
    return Json{{"date", point.FormatDate()}, {"serial", point.m_serial}};
}

Json AxisJson(const CLimits& limits) {
    return Json{{"bottom", Number(limits.bottom)},
                {"top", Number(limits.top)},
                {"step", Number(limits.step)},
                {"display_bottom", Number(limits.displayBottom)},
                {"display_top", Number(limits.displayTop)}};
}

Json Number(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

std::string Dump(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}
