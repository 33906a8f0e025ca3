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

// Writes every piece to the open file; remembers the first failure and its errno.
class CCheckedFile {
  public:
    explicit CCheckedFile(std::FILE* file) : m_file(file) {}

    bool Write(std::string_view chunk) {
        if (m_problem == 0 && std::fwrite(chunk.data(), 1, chunk.size(), m_file) != chunk.size()) {
            m_problem = errno != 0 ? errno : EIO;
        }
        return m_problem == 0;
    }

    // Flushes and closes; the file is gone from this object whatever the outcome.
    bool Close() {
        if (std::fflush(m_file) != 0 && m_problem == 0) {
            m_problem = errno;
        }
        if (std::fclose(m_file) != 0 && m_problem == 0) {
            m_problem = errno;
        }
        m_file = nullptr;
        return m_problem == 0;
    }

    int Problem() const { return m_problem; }

  private:
    std::FILE* m_file;
    int m_problem = 0;
};

// A replaced file keeps its permissions; a new one has those of an ordinary create.
bool ReplaceTarget(const std::string& temp, const fs::path& target, std::string& error) {
    std::error_code ec;
    fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) {
        fs::permissions(temp, old.permissions(), ec);
    }
    fs::rename(temp, target, ec);
    if (ec) {
        error = Describe("cannot replace", target.string(), ec.value());
        return false;
    }
    return true;
}

}  // namespace

bool StreamFileAtomically(const std::string& path, const FileContentProducer& produce,
                          std::string& error) {
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
    CCheckedFile out(file);
    errno = 0;
    bool produced = produce([&out](std::string_view chunk) { return out.Write(chunk); });
    bool ok = out.Close() && produced;
    if (!ok) {
        // A producer that gave up without a failed write leaves no errno of ours to report.
        error = Describe("cannot write", path, out.Problem() != 0 ? out.Problem() : ECANCELED);
    }
    ok = ok && ReplaceTarget(temp, target, error);
    if (!ok) {
        fs::remove(temp, ec);
    }
    return ok;
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error) {
    return StreamFileAtomically(
        path, [data](const FileChunkWriter& write) { return write(data); }, error);
}
