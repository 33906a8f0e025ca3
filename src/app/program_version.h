#pragma once

#include <string>

// The program's version as both front ends give it: the release from the build ("2.0"), and
// the commit it was built from when the sources were a git checkout ("2.0 (git 3574fde4a1b2)",
// "-modified" after the commit when files differed from it).
std::string ProgramVersion();
