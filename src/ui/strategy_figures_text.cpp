#include "ui/strategy_figures_text.h"

#include <QStringList>

#include <cmath>
#include <deque>

#include "model/data_set.h"
#include "ui/figure_text.h"

namespace {

QString Percent(double value) {
    const QString text = PercentText(value);
    return text.isEmpty() ? QStringLiteral("-") : text + QStringLiteral(" %");
}

QString RiskPercent(double value) {
    const QString text = RiskPercentText(value);
    return text.isEmpty() ? QStringLiteral("-") : text + QStringLiteral(" %");
}

QString Ratio(double value) {
    return std::isfinite(value) ? QString::number(value, 'f', 2) : QStringLiteral("-");
}

// A trade's result in per cent; in money where the account it started from was lost. A loss
// is shown as a risk, never smaller than it was.
QString Trade(double percent, double money) {
    if (std::isnan(money)) {
        return QStringLiteral("-");
    }
    if (std::isnan(percent)) {
        return AmountText(money);
    }
    return percent < 0.0 ? RiskPercent(percent) : Percent(percent);
}

// Under a year a period's own gain is shown: a few good days are no rate per year.
QString Compounded(const CStrategyFigures& f) {
    if (f.points == 0) {
        return QStringLiteral("-");
    }
    if (!f.annualised) {
        return Percent(f.gain) + QStringLiteral(" in %1 days").arg(f.days);
    }
    return Percent(f.gainPerYearCompounded);
}

}  // namespace

std::vector<CFigureRow> FigureRows(const CStrategyFigures& figures, const DateOfIndex& dateAt) {
    const CStrategyFigures& f = figures;
    QString drawdown = RiskPercent(f.maxDrawdown);
    // A peak of -1 is the amount invested before the first point.
    if (f.maxDrawdown > 0.0 && f.troughIndex >= 0) {
        const QString peak = f.peakIndex < 0 ? QStringLiteral("start") : dateAt(f.peakIndex);
        drawdown += QStringLiteral(" (%1 to %2)").arg(peak, dateAt(f.troughIndex));
    }
    if (f.ruinedIndex >= 0) {
        drawdown += QStringLiteral(", ruined %1").arg(dateAt(f.ruinedIndex));
    }
    QString trades = QString::number(f.trades);
    if (f.openAtEnd) {
        trades += QStringLiteral(" (last open)");
    }
    return {
        {"compounded", QStringLiteral("Gain/Yr comp."), Compounded(f)},
        {"buyAndHold", QStringLiteral("Buy and hold"), Percent(f.buyAndHold)},
        {"trades", QStringLiteral("Trades"), trades},
        {"inMarket", QStringLiteral("In market"), Percent(f.inMarket)},
        {"bestTrade", QStringLiteral("Best trade"), Trade(f.bestTrade, f.bestTradeMoney)},
        {"worstTrade", QStringLiteral("Worst trade"), Trade(f.worstTrade, f.worstTradeMoney)},
        {"averageTrade", QStringLiteral("Avg. trade"), Trade(f.averageTrade, f.averageTradeMoney)},
        {"winRate", QStringLiteral("Win rate"), Percent(f.winRate)},
        {"profitFactor", QStringLiteral("Profit factor"),
         std::isinf(f.profitFactor) ? QStringLiteral("no loss") : Ratio(f.profitFactor)},
        {"volatility", QStringLiteral("Volatility/Yr"), RiskPercent(f.volatility)},
        {"sharpe", QStringLiteral("Sharpe"), Ratio(f.sharpe)},
        {"sortino", QStringLiteral("Sortino"), Ratio(f.sortino)},
        {"calmar", QStringLiteral("Calmar"), Ratio(f.calmar)},
        {"drawdown", QStringLiteral("Max. drawdown"), drawdown},
    };
}

std::vector<CFigureRow> ExtraFigureRows(const CStrategyFigures& figures, const CDataSet* primary) {
    std::vector<CFigureRow> rows = FigureRows(figures, [&](int64_t index) {
        const CPointDeque* points = primary != nullptr ? &primary->Points() : nullptr;
        if (points == nullptr || index < 0 || static_cast<size_t>(index) >= points->size()) {
            return QString();
        }
        return QString::fromStdString((*points)[static_cast<size_t>(index)].FormatDate());
    });
    // Without a primary, or without a point in the window, there is nothing to show.
    if (primary == nullptr || figures.points == 0) {
        for (CFigureRow& row : rows) {
            row.text.clear();
        }
    }
    return rows;
}

QString FiguresToolTip(const CStrategyFigures& figures, const CDataSet& primary) {
    QStringList lines{
        QStringLiteral("Gain: %1").arg(Percent(figures.gain)),
        QStringLiteral("Gain/Year: %1")
            .arg(figures.annualised ? Percent(figures.gainPerYear)
                                    : QStringLiteral("- (under a year)")),
    };
    for (const CFigureRow& row : ExtraFigureRows(figures, &primary)) {
        lines << row.label + QStringLiteral(": ") + row.text;
    }
    if (figures.trades > 0) {
        lines << QStringLiteral("Trades in money: best %1, worst %2, average %3")
                     .arg(AmountText(figures.bestTradeMoney), AmountText(figures.worstTradeMoney),
                          AmountText(figures.averageTradeMoney));
    }
    lines << QStringLiteral("Sharpe and Sortino without a risk-free rate");
    return lines.join(QLatin1Char('\n'));
}

QString FiguresSummary(const CStrategyFigures& figures, const DateOfIndex& dateAt) {
    QStringList parts{
        QStringLiteral("gain %1 over %2 days").arg(Percent(figures.gain)).arg(figures.days)};
    for (const CFigureRow& row : FigureRows(figures, dateAt)) {
        parts << row.label.toLower() + ' ' + row.text;
    }
    return parts.join(QStringLiteral("; "));
}
