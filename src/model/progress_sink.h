#pragma once

#include <cstdint>

// Where a long run (an optimisation, a walk-forward, the reading of a large file) reports its
// progress: the progress dialog in the program, a terminal bar or nothing on the command line.
// Called from the worker thread.
class CProgressSink {
  public:
    virtual ~CProgressSink() = default;

    // position: 1 to 100, each at most once per run, increasing.
    virtual void ReportProgress(int32_t position) = 0;
};
