#pragma once

#include <string>

// quillmark-cli resave: a project read and written again, as the program's Open and Save As.
int RunResave(const std::string& inPath, const std::string& outPath);
