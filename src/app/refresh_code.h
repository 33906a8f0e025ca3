#pragma once

#include <cstdint>

// The codes of the refresh broadcast that keeps every window in step with the project.
enum RefreshCode : int32_t {
    REFRESH_LOAD = 0,      // controls re-read the project
    REFRESH_STORE = 1,     // controls write pending edits into the project
    REFRESH_RESULTS = 2,   // the result sets changed
    REFRESH_CURRENT = 3,   // the current data set changed
    REFRESH_DATASETS = 4,  // the list of data sets changed
    REFRESH_CLEAR = 5,     // the project is about to be emptied
};
