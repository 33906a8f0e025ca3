#pragma once

#include <optional>
#include <string>

// quillmark-cli simulate: the outcome of the strategy on a project, as the program shows it.
struct CSimulateOptions {
    std::string projectPath;
    std::optional<int> resultSet;
    std::string seriesPath;  // empty: no series file
};
int RunSimulate(const CSimulateOptions& options);
