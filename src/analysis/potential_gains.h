#pragma once

class CDataSet;

// Fills m_gains of `ds` over its project's window: the gains per year of catching every rise or
// every fall of the raw and of the smoothed series (smoothed with the set's own ML). Rewrites
// slot 4 of every point.
void ComputePotentialGains(CDataSet& ds);
