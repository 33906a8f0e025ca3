#include "cli/json_output.h"

#include <cmath>
#include <functional>

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

Json FiguresJson(const CStrategyFigures& figures,
                 const std::function<const CDataPoint*(int64_t)>& pointAt) {
    const auto dateAt = [&](int64_t index) {
        const CDataPoint* point = index < 0 ? nullptr : pointAt(index);
        return point == nullptr ? Json(nullptr) : DateJson(*point);
    };
    return Json{{"days", figures.days},
                {"points", figures.points},
                {"annualised", figures.annualised},
                {"gain", Number(figures.gain)},
                {"gain_per_year", Number(figures.gainPerYear)},
                {"gain_per_year_compounded", Number(figures.gainPerYearCompounded)},
                {"buy_and_hold", Number(figures.buyAndHold)},
                {"buy_and_hold_per_year_compounded", Number(figures.buyAndHoldPerYearCompounded)},
                {"max_drawdown", Number(figures.maxDrawdown)},
                {"drawdown_peak", dateAt(figures.peakIndex)},
                {"drawdown_trough", dateAt(figures.troughIndex)},
                {"ruined", dateAt(figures.ruinedIndex)},
                {"trades", figures.trades},
                {"open_at_end", figures.openAtEnd},
                {"in_market", Number(figures.inMarket)},
                {"best_trade", Number(figures.bestTrade)},
                {"worst_trade", Number(figures.worstTrade)},
                {"best_trade_money", Number(figures.bestTradeMoney)},
                {"worst_trade_money", Number(figures.worstTradeMoney)},
                {"average_trade", Number(figures.averageTrade)},
                {"average_trade_money", Number(figures.averageTradeMoney)},
                {"win_rate", Number(figures.winRate)},
                {"profit_factor", Number(figures.profitFactor)},
                {"volatility", Number(figures.volatility)},
                {"sharpe", Number(figures.sharpe)},
                {"sortino", Number(figures.sortino)},
                {"calmar", Number(figures.calmar)}};
}

Json FiguresJson(const CStrategyFigures& figures, const CDataSet& primary) {
    // A window without a point has no figures at all.
    if (figures.points == 0) {
        return Json(nullptr);
    }
    return FiguresJson(figures, [&](int64_t index) {
        return static_cast<size_t>(index) < primary.Points().size()
                   ? &primary.Points()[static_cast<size_t>(index)]
                   : nullptr;
    });
}
