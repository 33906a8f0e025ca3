#pragma once

#include <string>

// quillmark-cli optimise: Process on a project, its result sets saved to a new file.
struct COptimiseOptions {
    std::string projectPath;
    std::string outPath;
    int threads = 0;               // 0: one per core
    double maxSeconds = 600.0;     // a run estimated to take longer is refused; 0: no limit
    std::string landscapePath;     // empty: no heat map picture
    std::string landscapeCsvPath;  // empty: no landscape CSV
    bool robust = false;           // order the result sets by plateau instead of gain
};
int RunOptimise(const COptimiseOptions& options);
