#pragma once

#include <string>

// quillmark-cli info: a project's window, ranges and data sets, as the program opens it.
int RunInfo(const std::string& projectPath);
