#pragma once

#include <string>

// quillmark-cli samples: where the sample projects and raw data files are, for scripts and
// for a user who wants to try a command on them. Looks where the desktop program looks: the
// installation's data folder, then the build tree around `programFolder`.
// Prints {"installed", "projects", "data", "sample", "files"} (files: every sample file, projects
// first, by name) and returns 0; returns 1 with an error line naming the folders tried when
// there are none.
int RunSamples(const std::string& programFolder);
