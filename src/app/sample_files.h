#pragma once

#include <string>
#include <vector>

#include "model/status.h"

// Where the program finds the projects and raw data files it ships with. A build tree keeps them
// in the source tree that holds the build folder; an installation keeps them in its data folder,
// share/quillmark beside bin, which the user may not write.
struct CSampleFolders {
    std::string projects;  // "Project Files": SP500.xml, STOCKS.xml
    std::string data;      // "Data Files": the raw data files the projects were imported from
    bool installed = false;
};

// The name of the sample a first start opens.
inline constexpr char kFirstSample[] = "SP500.xml";

// The folder of the running program, from /proc/self/exe (links resolved); the folder of
// `argv0` when that cannot be read.
std::string ProgramFolder(const char* argv0);

// Where samples may be for a program in `programFolder`, in the order they are tried: the
// installation's data folder beside bin, the build tree (the program's folder and the one above
// it), and the data folder the program was built to be installed in.
std::vector<CSampleFolders> SampleCandidates(const std::string& programFolder);

// The first candidate whose projects folder holds the first sample; empty folders when none
// does.
CSampleFolders FindSamples(const std::string& programFolder);

// The project a first start opens, in `project`. A build tree's sample opens where it is. An
// installed one is copied to `documents`/Quillmark first, so that Save works, unless a file of
// that name is there already, which is then the user's and opens as it is. When the copy fails
// `project` is the installed file and the status says why. Without samples `project` is empty.
CStatus FirstStartProject(const CSampleFolders& samples, const std::string& documents,
                          std::string& project);
