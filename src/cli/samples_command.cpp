#include "cli/samples_command.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <vector>

#include "app/sample_files.h"
#include "cli/json_output.h"

namespace fs = std::filesystem;

namespace {

// The regular files of `folder`, by name.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error)) {
            files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int RunSamples(const std::string& programFolder) {
    const CSampleFolders samples = FindSamples(programFolder);
    if (samples.projects.empty()) {
        std::string tried;
        for (const CSampleFolders& candidate : SampleCandidates(programFolder)) {
            tried += (tried.empty() ? "'" : ", '") + candidate.projects + "'";
        }
        std::cerr << "quillmark-cli: error: no samples found; looked in " << tried << '\n';
        return 1;
    }
    Json files = Json::array();
    for (const std::string& folder : {samples.projects, samples.data}) {
        for (const std::string& file : FilesIn(folder)) {
            files.push_back(file);
        }
    }
    Json out;
    out["installed"] = samples.installed;
    out["projects"] = samples.projects;
    out["data"] = samples.data;
    out["sample"] = (fs::path(samples.projects) / kFirstSample).string();
    out["files"] = files;
    std::cout << Dump(out) << '\n';
    return 0;
}
