#pragma once

#include <string>
#include <utility>
#include <vector>

// Checks of the command line's arguments, made while parsing (a refused argument is a usage
// error, exit 2) or before a command does any work. The checks of one argument return the
// message for a refused value, empty for an accepted one.

// A path that names something: an empty path would silently mean "no file".
std::string NonEmptyPathError(const std::string& value);
// A finite decimal number of 0 or more ("nan" and "inf" are numbers to strtod, not to users).
std::string FiniteNonNegativeError(const std::string& value);
// A finite decimal number.
std::string FiniteNumberError(const std::string& value);
// A whole number from `low` to `high`, with a message that names them.
std::string WholeNumberInError(const std::string& value, int low, int high);

// True when no two of the command's output files are one file: the same path, or two paths
// that lead to one file through symlinks (also to a file not yet made) or hard links. Each
// entry is the option's name and its path; empty paths are not given and never clash. False,
// with `error` naming both options, when two clash: one write would replace the other.
bool CheckOutputsApart(const std::vector<std::pair<std::string, std::string>>& outputs,
                       std::string& error);
