#include "storage/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>

namespace fs = std::filesystem;

namespace {

// As the kernel's own limit on symlinks in one path.
constexpr int kMaxLinkHops = 40;
// Room in a 255-byte name for the target's name and ".quillmark-PID-RANDOM.tmp".
constexpr size_t kMaxNameInTemporary = 200;
constexpr std::string_view kTemporaryEnd = ".tmp";

std::string Describe(const std::string& what, const std::string& path, int error) {
    return what + " '" + path + "': " + std::strerror(error);
}

// The file a save replaces: `path` with its links followed, and what is there now.
struct CTarget {
    std::string path;
    fs::path folder;
    std::string name;
    bool exists = false;
    struct stat info {};
};

// Follows symlinks from `path` to the first name that is not one (which may not exist yet).
bool FollowLinks(const std::string& path, std::string& resolved, std::string& error) {
    resolved = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return true;
        }
        std::error_code ec;
        const fs::path link = fs::read_symlink(resolved, ec);
        if (ec) {
            error = Describe("cannot follow the link", resolved, ec.value());
            return false;
        }
        // A relative link is relative to the folder the link is in.
        resolved =
            link.is_absolute() ? link.string() : (fs::path(resolved).parent_path() / link).string();
    }
    error = Describe("cannot write", path, ELOOP);
    return false;
}

// The refusals that keep a file the user would not want replaced; true when the save may go on.
bool MayReplace(const CTarget& target, std::string& error) {
    std::string notRegular = NotRegularFileReason(target.path, target.info.st_mode);
    if (!notRegular.empty()) {
        error = std::move(notRegular);
        return false;
    }
    if (target.info.st_nlink > 1) {
        error = "'" + target.path + "' has " + std::to_string(target.info.st_nlink) +
                " hard links; saving would split them";
        return false;
    }
    if (access(target.path.c_str(), W_OK) != 0) {
        error = Describe("cannot write", target.path, errno);
        return false;
    }
    // access() lets root write anything; a file without its owner's write bit is still kept.
    if ((target.info.st_mode & S_IWUSR) == 0) {
        error = Describe("cannot write", target.path, EACCES);
        return false;
    }
    return true;
}

bool InspectTarget(const std::string& path, CTarget& target, std::string& error) {
    if (!FollowLinks(path, target.path, error)) {
        return false;
    }
    const fs::path resolved(target.path);
    target.folder = resolved.has_parent_path() ? resolved.parent_path() : fs::path(".");
    target.name = resolved.filename().string();
    if (lstat(target.path.c_str(), &target.info) != 0) {
        if (errno != ENOENT) {
            error = Describe("cannot write", path, errno);
            return false;
        }
        return true;
    }
    target.exists = true;
    return MayReplace(target, error);
}

// The start of every temporary file name of saves of the file `name`.
std::string TemporaryPrefix(const std::string& name) {
    return "." + name.substr(0, kMaxNameInTemporary) + ".quillmark-";
}

// Whether `name` is a temporary file of a target whose temporaries start with `prefix`:
// "PREFIX" + PID + "-" + RANDOM + ".tmp".
bool IsTemporaryOf(std::string_view name, const std::string& prefix) {
    if (!name.starts_with(prefix) || !name.ends_with(kTemporaryEnd)) {
        return false;
    }
    const std::string_view middle =
        name.substr(prefix.size(), name.size() - prefix.size() - kTemporaryEnd.size());
    pid_t pid = 0;
    const auto [end, problem] = std::from_chars(middle.data(), middle.data() + middle.size(), pid);
    return problem == std::errc() && end < middle.data() + middle.size() && *end == '-' && pid > 0;
}

// Removes what saves of the target that were killed left behind. A save holds a lock on its
// temporary file from its creation to its rename, and the kernel drops the lock when the saving
// process ends however it ends; so a temporary whose lock can be taken is stale, and one whose
// lock is held belongs to a save in progress (also of a process this one cannot see, such as
// one in another PID namespace or on another machine sharing the folder) and stays.
void RemoveStaleTemporaries(const CTarget& target) {
    DIR* folder = opendir(target.folder.c_str());
    if (folder == nullptr) {
        return;
    }
    const std::string prefix = TemporaryPrefix(target.name);
    while (const dirent* entry = readdir(folder)) {
        if (!IsTemporaryOf(entry->d_name, prefix)) {
            continue;
        }
        const int file =
            openat(dirfd(folder), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0) {
            continue;
        }
        if (flock(file, LOCK_EX | LOCK_NB) == 0) {
            unlinkat(dirfd(folder), entry->d_name, 0);
        }
        close(file);  // drops the lock
    }
    closedir(folder);
}

// Whether `name` still names the open file `file`: a cleaner that took the lock between the
// file's creation and its locking may have removed it.
bool StillNamed(int file, const std::string& name) {
    struct stat opened {};
    struct stat named {};
    return fstat(file, &opened) == 0 && lstat(name.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Creates a new file beside the target, readable by no one the target is not readable by;
// -1 when none can be made.
int CreateTemporary(const CTarget& target, std::string& name) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const mode_t mode = target.exists ? (target.info.st_mode & 0777) : 0600;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, "%d-%016llx", static_cast<int>(getpid()),
                      static_cast<unsigned long long>(random()));
        name = (target.folder / (TemporaryPrefix(target.name) + suffix + ".tmp")).string();
        // O_EXCL: fail rather than reuse a file, or follow a link, that is already there.
        const int file = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (file < 0 && errno != EEXIST) {
            return file;
        }
        if (file < 0) {
            continue;
        }
        // Locked until the save ends, so that no other save takes it for a stale one.
        if (flock(file, LOCK_EX) == 0 && StillNamed(file, name)) {
            return file;
        }
        close(file);
    }
    return -1;
}

// The bits the saved file ends with: the old file's, or those of an ordinary create.
mode_t FinalMode(const CTarget& target) {
    if (target.exists) {
        return target.info.st_mode & 07777;
    }
    // umask() can only be read by setting it, which would race with other threads.
    unsigned mask = 022;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr &&
               std::sscanf(line, "Umask: %o", &mask) != 1) {
        }
        std::fclose(status);
    }
    return 0666 & ~static_cast<mode_t>(mask);
}

// The old owner and group where the process may set them (root; a group of the user's).
void TakeOwner(int file, const CTarget& target) {
    if (target.exists && fchown(file, target.info.st_uid, target.info.st_gid) != 0 &&
        fchown(file, static_cast<uid_t>(-1), target.info.st_gid) != 0) {
        // Not allowed to: the file stays the user's, as a new one would be.
    }
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

    // Gives the file its final bits, puts it on the disk and closes it; the file is gone from
    // this object whatever the outcome.
    bool Close(mode_t mode) {
        Check(std::fflush(m_file) == 0);
        Check(fchmod(fileno(m_file), mode) == 0);
        Check(fsync(fileno(m_file)) == 0);
        Check(std::fclose(m_file) == 0);
        m_file = nullptr;
        return m_problem == 0;
    }

    int Problem() const { return m_problem; }

  private:
    void Check(bool succeeded) {
        if (!succeeded && m_problem == 0) {
            m_problem = errno != 0 ? errno : EIO;
        }
    }

    std::FILE* m_file;
    int m_problem = 0;
};

// Fills the temporary file; false, with `error`, unless every piece reached the disk.
bool WriteTemporary(int file, const CTarget& target, const std::string& path,
                    const FileContentProducer& produce, std::string& error) {
    std::FILE* stream = fdopen(file, "wb");
    if (stream == nullptr) {
        error = Describe("cannot write", path, errno);
        close(file);
        return false;
    }
    CCheckedFile out(stream);
    errno = 0;
    const bool produced = produce([&out](std::string_view chunk) { return out.Write(chunk); });
    if (!out.Close(FinalMode(target)) || !produced) {
        // A producer that gave up without a failed write leaves no errno of ours to report.
        error = Describe("cannot write", path, out.Problem() != 0 ? out.Problem() : ECANCELED);
        return false;
    }
    return true;
}

// Puts the rename itself on the disk. Some file systems cannot sync a folder (EINVAL); their
// renames are as safe as they get.
bool SyncFolder(const CTarget& target, std::string& error) {
    const int folder = open(target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = folder >= 0 && (fsync(folder) == 0 || errno == EINVAL);
    if (!synced) {
        error = Describe("saved, but cannot flush to disk the folder of", target.path, errno);
    }
    if (folder >= 0) {
        close(folder);
    }
    return synced;
}

}  // namespace

std::string NotRegularFileReason(const std::string& path, unsigned mode) {
    const char* kind = S_ISREG(mode)    ? nullptr
                       : S_ISDIR(mode)  ? "a directory"
                       : S_ISFIFO(mode) ? "a FIFO"
                       : S_ISSOCK(mode) ? "a socket"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                                        : "a special file";
    return kind == nullptr ? std::string() : "'" + path + "' is " + kind + ", not a regular file";
}

CStatus StreamFileAtomically(const std::string& path, const FileContentProducer& produce) {
    // A file-size limit (ulimit -f) would kill the process in the middle of a write; ignored,
    // the write fails with "File too large" like any other, and the save says so.
    static std::once_flag ignoreSizeSignal;
    std::call_once(ignoreSizeSignal, [] { std::signal(SIGXFSZ, SIG_IGN); });
    CTarget target;
    std::string error;
    if (!InspectTarget(path, target, error)) {
        return CStatus::Error(error);
    }
    RemoveStaleTemporaries(target);
    std::string temp;
    const int file = CreateTemporary(target, temp);
    if (file < 0) {
        const bool noFolder = errno == ENOENT || errno == ENOTDIR;
        return CStatus::Error(Describe("cannot write", path, errno),
                              noFolder ? StatusKind::NotFound : StatusKind::Io);
    }
    TakeOwner(file, target);
    // Writing closes `file`; this duplicate keeps the lock until the temporary is renamed or
    // removed.
    const int lock = dup(file);
    const auto release = [lock] {
        if (lock >= 0) {
            close(lock);
        }
    };
    if (!WriteTemporary(file, target, path, produce, error)) {
        unlink(temp.c_str());
        release();
        return CStatus::Error(error);
    }
    if (rename(temp.c_str(), target.path.c_str()) != 0) {
        error = Describe("cannot replace", target.path, errno);
        unlink(temp.c_str());
        release();
        return CStatus::Error(error);
    }
    release();
    return SyncFolder(target, error) ? CStatus::Ok() : CStatus::Error(error);
}

bool StreamFileAtomically(const std::string& path, const FileContentProducer& produce,
                          std::string& error) {
    const CStatus saved = StreamFileAtomically(path, produce);
    error = saved.Reason();
    return saved.IsOk();
}

CStatus WriteFileAtomically(const std::string& path, std::string_view data) {
    return StreamFileAtomically(path, [data](const FileChunkWriter& write) { return write(data); });
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error) {
    const CStatus saved = WriteFileAtomically(path, data);
    error = saved.Reason();
    return saved.IsOk();
}
