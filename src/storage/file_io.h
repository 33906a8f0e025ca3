#pragma once

#include <string>
#include <string_view>

// Writes `data` to `path` through a temporary file in the same folder that is renamed over the
// target only once every byte is written and the file is closed. On failure the previous
// target is untouched, the temporary file is gone, and `error` says what went wrong.
bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error);
