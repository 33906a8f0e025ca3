#include "storage/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

std::string Describe(const std::string& what, const std::string& path, int error) {
    return what + " '" + path + "': " + std::strerror(error);
}

// Creates a new file beside `target` that no one else uses; empty `name` when none can be made.
std::FILE* CreateTemporaryBeside(const fs::path& target, std::string& name) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    fs::path folder = target.parent_path();
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".quillmark-%016llx",
                      static_cast<unsigned long long>(random()));
        name = (folder / suffix).string();
        // "x": fail rather than reuse a file that already exists.
        std::FILE* file = std::fopen(name.c_str(), "wbx");
        if (file != nullptr || errno != EEXIST) {
            return file;
        }
    }
    return nullptr;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error) {
    std::error_code ec;
    const fs::path target(path);
    if (fs::is_directory(target, ec)) {
        error = Describe("cannot write", path, EISDIR);
        return false;
    }
    std::string temp;
    std::FILE* file = CreateTemporaryBeside(target, temp);
    if (file == nullptr) {
        error = Describe("cannot write", path, errno);
        return false;
    }
    bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    ok = std::fflush(file) == 0 && ok;
    int problem = errno;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        error = Describe("cannot write", path, problem != 0 ? problem : errno);
    }
    if (ok) {
        // A replaced file keeps its permissions; a new one has those of an ordinary create.
        fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old)) {
            fs::permissions(temp, old.permissions(), ec);
        }
        fs::rename(temp, target, ec);
        if (ec) {
            ok = false;
            error = Describe("cannot replace", path, ec.value());
        }
    }
    if (!ok) {
        fs::remove(temp, ec);
    }
    return ok;
}
