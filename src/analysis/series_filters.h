#pragma once

#include <cstdint>
#include <span>

class CDataSet;

// The series filters shared by the data sets and the optimiser, on plain arrays so that both
// compute bit for bit the same values. Serials strictly increase; in and out have the size of
// serials and may be the same array.

// Linearly weighted moving average over calendar days: a point weighs `days`, a point one day
// older days - 1, ..., a point days - 1 days older 1; older points are left out. The first
// points average over the shorter history that exists. A length below 1 counts as 1.
// Linear in the number of points whatever the length.
void WeightedAverageSeries(std::span<const int32_t> serials, std::span<const double> in,
                           std::span<double> out, int32_t days);

// Change per calendar day from the previous point; the first point gets 0.
void DifferentiateSeries(std::span<const int32_t> serials, std::span<const double> in,
                         std::span<double> out);

// Divides every value by five times the mean absolute value (a zero mean gives non-finite
// values, which the strategy treats as out of the market).
void NormaliseSeries(std::span<const double> in, std::span<double> out);

// The same filters on a whole data set, every point, not only the window: the value slot is
// copied into arrays, filtered there and written back.
void WeightedAverage(CDataSet& ds, int slot, int32_t days);
void Differentiate(CDataSet& ds, int from, int to);
void Normalise(CDataSet& ds, int slot);
// Slot 4 := the weighted average of slot 0 over `days`.
void SmoothRaw(CDataSet& ds, int32_t days);
// Slot 1 := the normalised daily change of slot 4 (averaged again when days > 1).
void BuildDiff(CDataSet& ds, int32_t days);
