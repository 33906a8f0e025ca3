#include "cli/json_output.h"

#include <cmath>

#include "analysis/strategy_figures.h"
#include "model/data_set.h"

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

namespace {

Json IndexDate(const CDataSet& ds, int64_t index) {
    return index < 0 ? Json(nullptr) : DateJson(ds.Points()[static_cast<size_t>(index)]);
}

}  // namespace

Json FiguresJson(const CStrategyFigures& figures, const CDataSet& primary) {
    return Json{{"days", figures.days},
                {"points", figures.points},
                {"gain", Number(figures.gain)},
                {"gain_per_year", Number(figures.gainPerYear)},
                {"gain_per_year_compounded", Number(figures.gainPerYearCompounded)},
                {"buy_and_hold", Number(figures.buyAndHold)},
                {"max_drawdown", Number(figures.maxDrawdown)},
                {"drawdown_peak", IndexDate(primary, figures.peakIndex)},
                {"drawdown_trough", IndexDate(primary, figures.troughIndex)},
                {"trades", figures.trades},
                {"in_market", Number(figures.inMarket)},
                {"best_trade", Number(figures.bestTrade)},
                {"worst_trade", Number(figures.worstTrade)}};
}
