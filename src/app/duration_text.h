#pragma once

#include <cstdint>
#include <string>

struct CSweepEstimate;

// The words in which both front ends tell how long a run takes: rough on purpose, since an
// estimate from a few milliseconds of measuring is good to a factor, not to the minute.

// Thousands grouped with commas: 5213000000 -> "5,213,000,000".
std::string GroupedCount(int64_t n);

// A duration rounded to its largest sensible unit: "1 second", "40 seconds", "12 minutes",
// "3 hours", "9 days", "1,250 years"; at least 1 second. "a very long time" when not finite.
std::string RoughDuration(double seconds);

// "This run has 5,213,000,000 steps and would take about 3 hours."
std::string LongRunText(const CSweepEstimate& estimate);

// What a running sweep has left, from its elapsed time and bar position (0 to 100): projected
// from the position once it has moved, from `estimated` (the whole run, 0: unknown) before.
// "About 2 minutes left", or an empty text when nothing is known.
std::string TimeLeftText(double elapsed, int position, double estimated);
