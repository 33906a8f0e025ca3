#include "ui/strategy_figures_text.h"

#include <QStringList>

#include <deque>

#include "model/data_set.h"
#include "ui/figure_text.h"

namespace {

QString DateAt(const CDataSet& primary, int64_t index) {
    const std::deque<CDataPoint>& points = primary.Points();
    if (index < 0 || static_cast<size_t>(index) >= points.size()) {
        return QString();
    }
    return QString::fromStdString(points[static_cast<size_t>(index)].FormatDate());
}

QString Percent(double value) {
    const QString text = PercentText(value);
    return text.isEmpty() ? QStringLiteral("-") : text + QStringLiteral(" %");
}

}  // namespace

std::vector<CFigureRow> ExtraFigureRows(const CStrategyFigures& figures, const CDataSet* primary) {
    QString drawdown = Percent(figures.maxDrawdown);
    // A peak of -1 is the amount invested before the window's first point.
    if (primary != nullptr && figures.maxDrawdown > 0.0 && figures.troughIndex >= 0) {
        const QString peak =
            figures.peakIndex < 0 ? QStringLiteral("start") : DateAt(*primary, figures.peakIndex);
        drawdown += QStringLiteral(" (%1 to %2)").arg(peak, DateAt(*primary, figures.troughIndex));
    }
    std::vector<CFigureRow> rows{
        {"compounded", QStringLiteral("Gain/Year compounded"),
         Percent(figures.gainPerYearCompounded)},
        {"buyAndHold", QStringLiteral("Buy and hold"), Percent(figures.buyAndHold)},
        {"drawdown", QStringLiteral("Max. drawdown"), drawdown},
        {"trades", QStringLiteral("Trades"), QString::number(figures.trades)},
        {"inMarket", QStringLiteral("In market"), Percent(figures.inMarket)},
        {"bestTrade", QStringLiteral("Best trade"), Percent(figures.bestTrade)},
        {"worstTrade", QStringLiteral("Worst trade"), Percent(figures.worstTrade)},
    };
    if (primary == nullptr) {
        for (CFigureRow& row : rows) {
            row.text.clear();
        }
    }
    return rows;
}

QString FiguresToolTip(const CStrategyFigures& figures, const CDataSet& primary) {
    QStringList lines{
        QStringLiteral("Gain: %1").arg(Percent(figures.gain)),
        QStringLiteral("Gain/Year: %1").arg(Percent(figures.gainPerYear)),
    };
    for (const CFigureRow& row : ExtraFigureRows(figures, &primary)) {
        lines << row.label + QStringLiteral(": ") + row.text;
    }
    return lines.join(QLatin1Char('\n'));
}
