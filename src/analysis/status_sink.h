#pragma once

#include <cstdint>
#include <string>

// Where a simulation reports the state at the end of the window: the main window's status bar
// in the program, a recorder in tests, nothing on the command line.
class CStatusSink {
  public:
    virtual ~CStatusSink() = default;

    // date: the FormatDate text of the last point inside the window; name: the primary data
    // set's name; value: the net value there; level: its market flag (1 in, 0 out).
    virtual void SetStatus(const std::string& date, const std::string& name, double value,
                           int32_t level) = 0;
};
