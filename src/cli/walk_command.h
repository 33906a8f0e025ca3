#pragma once

#include <string>

// quillmark-cli walkforward: the out-of-sample check of the optimisation.
struct CWalkOptions {
    std::string projectPath;
    std::string train;  // "5y", "18m", "250d"
    std::string test;
    bool robust = false;        // choose by plateau instead of gain
    bool flatStart = false;     // each test window starts out of the market
    bool checkCausal = false;   // re-run on the data cut after each step and compare
    int threads = 0;            // 0: one per core
    double maxSeconds = 600.0;  // a run estimated to take longer is refused; 0: no limit
    std::string csvPath;        // empty: no CSV of the stitched line
    std::string chartPath;      // empty: no PNG of the stitched line
    int chartWidth = 1000;
    int chartHeight = 500;
};

// Prints the steps and the stitched figures as JSON. Returns 0, 1 when a file cannot be read or
// written, the project's data allow no run, the run is estimated to take longer than
// maxSeconds or the causal check finds a step that changed, 2 for a length that cannot be read;
// nothing is written on failure.
int RunWalkForward(const CWalkOptions& options);
