#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/strategy_figures.h"

class CDataSet;

// One figure of a simulation as both the Analysis page's grid and the result sets box's tooltip
// show it, so the two never disagree about a text.
struct CFigureRow {
    const char* name;  // object name of the figure on the Analysis page
    QString label;
    QString text;
};

// The date of a point of the figures' line, by its index.
using DateOfIndex = std::function<QString(int64_t)>;

// The figures beyond the gain, one row each, with the dates of the drawdown and the ruin.
std::vector<CFigureRow> FigureRows(const CStrategyFigures& figures, const DateOfIndex& dateAt);

// The figures the report above the grid does not already show (output, gain and simple gain per
// year have their own fields there). Dates of the drawdown come from `primary`'s points. Without
// a primary or a point in the window every text is empty: the labels alone, for a blank grid.
std::vector<CFigureRow> ExtraFigureRows(const CStrategyFigures& figures, const CDataSet* primary);

// Every figure, one "label: text" line each, for a tooltip.
QString FiguresToolTip(const CStrategyFigures& figures, const CDataSet& primary);

// The gain and every row in one line, for the stitched figures of a walk-forward.
QString FiguresSummary(const CStrategyFigures& figures, const DateOfIndex& dateAt);
