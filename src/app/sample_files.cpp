#include "app/sample_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "storage/file_io.h"

namespace fs = std::filesystem;

namespace {

// Set by the build: the data folder relative to the folder of the installed programs, and the
// data folder the build would be installed in.
#ifndef QUILLMARK_DATA_FROM_BIN
#define QUILLMARK_DATA_FROM_BIN "../share/quillmark"
#endif
#ifndef QUILLMARK_INSTALL_DATA_DIR
#define QUILLMARK_INSTALL_DATA_DIR "/usr/local/share/quillmark"
#endif

constexpr char kProjectsFolder[] = "Project Files";
constexpr char kDataFolder[] = "Data Files";
constexpr char kDocumentsSubfolder[] = "Quillmark";

CSampleFolders FoldersIn(const fs::path& base, bool installed) {
    const fs::path clean = base.lexically_normal();
    return {(clean / kProjectsFolder).string(), (clean / kDataFolder).string(), installed};
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::string ProgramFolder(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        return self.parent_path().string();
    }
    const fs::path given = fs::absolute(argv0 == nullptr ? "" : argv0, error);
    return error ? std::string() : given.parent_path().string();
}

std::vector<CSampleFolders> SampleCandidates(const std::string& programFolder) {
    const fs::path bin(programFolder);
    return {FoldersIn(bin / QUILLMARK_DATA_FROM_BIN, true), FoldersIn(bin, false),
            FoldersIn(bin / "..", false), FoldersIn(QUILLMARK_INSTALL_DATA_DIR, true)};
}

CSampleFolders FindSamples(const std::string& programFolder) {
    if (programFolder.empty()) {
        return {};
    }
    for (const CSampleFolders& candidate : SampleCandidates(programFolder)) {
        if (IsFile(fs::path(candidate.projects) / kFirstSample)) {
            return candidate;
        }
    }
    return {};
}

CStatus FirstStartProject(const CSampleFolders& samples, const std::string& documents,
                          std::string& project) {
    project.clear();
    if (samples.projects.empty()) {
        return CStatus::Ok();
    }
    const fs::path sample = fs::path(samples.projects) / kFirstSample;
    project = sample.string();
    if (!samples.installed) {
        return CStatus::Ok();
    }
    if (documents.empty()) {
        return CStatus::NotFound("no documents folder to copy the sample into");
    }
    const fs::path folder = fs::path(documents) / kDocumentsSubfolder;
    const fs::path copy = folder / kFirstSample;
    std::error_code error;
    if (fs::symlink_status(copy, error).type() != fs::file_type::not_found) {
        project = copy.string();  // the user's own by now, never overwritten
        return CStatus::Ok();
    }
    fs::create_directories(folder, error);
    if (error) {
        return CStatus::Error("cannot create '" + folder.string() + "': " + error.message());
    }
    std::ifstream in(sample, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        return CStatus::Error("cannot read '" + sample.string() + "'");
    }
    if (CStatus written = WriteFileAtomically(copy.string(), text); !written) {
        return written;
    }
    project = copy.string();
    return CStatus::Ok();
}
