#include "storage/file_io.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "support/test_files.h"

namespace {

using namespace std::string_literals;

// The names in the folder: a temporary file left behind shows up here.
std::set<std::string> Listing(const TempFolder& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

struct stat Lstat(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info;
}

// The id of a process that has ended: a child that exits at once, reaped.
pid_t DeadPid() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

TEST(FileIo, ReplacesTheWholeFileKeepingItsPermissionsAndRefusesDirectories) {
    TempFolder folder;
    const std::string path = folder.PathOf("project.xml");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "line\r\n\0tail"s, error)) << error;
    EXPECT_EQ(FileText(path), "line\r\n\0tail"s);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "short", error)) << error;
    EXPECT_EQ(FileText(path), "short");
    // Content made in pieces lands whole.
    std::string expected;
    auto produce = [&expected](const FileChunkWriter& write) {
        for (int i = 0; i < 1000; ++i) {
            expected += std::string(static_cast<size_t>(i % 97), static_cast<char>('a' + i % 26));
            if (!write(expected.substr(expected.size() - static_cast<size_t>(i % 97)))) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(StreamFileAtomically(path, produce, error)) << error;
    EXPECT_EQ(FileText(path), expected);
    EXPECT_EQ(Lstat(path).st_mode & 07777, 0640u);

    // A missing folder or a directory is refused.
    ASSERT_EQ(mkdir(folder.PathOf("folder").c_str(), 0755), 0);
    for (const std::string& target : {folder.PathOf("missing/x.xml"), folder.PathOf("folder")}) {
        EXPECT_FALSE(WriteFileAtomically(target, "x", error)) << target;
        EXPECT_FALSE(error.empty()) << target;
    }
    EXPECT_EQ(Listing(folder), (std::set<std::string>{"folder", "project.xml"}));
}

// A write that fails halfway (here: at the file size limit), or a producer that gives up,
// leaves the old file as it was and no temporary file.
TEST(FileIo, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    TempFolder folder;
    const std::string path = folder.PathOf("project.xml");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "previous", error)) << error;

    // Once a piece fails, no later piece is accepted.
    int piecesAfterFailure = 0;
    auto produce = [&](const FileChunkWriter& write) {
        bool ok = true;
        for (int i = 0; i < 64; ++i) {
            const bool written = write(std::string(1024, 'x'));
            piecesAfterFailure += !ok && written;
            ok = ok && written;
        }
        return ok;
    };
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    // No SIGXFSZ handling here: a save must fail with the reason, not die of the signal.
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, std::string(64 * 1024, 'x'), error);
    std::string streamError;
    const bool streamWritten = StreamFileAtomically(path, produce, streamError);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(streamWritten);
    EXPECT_NE(streamError.find("too large"), std::string::npos) << streamError;
    EXPECT_EQ(piecesAfterFailure, 0);

    std::string gaveUpError;
    EXPECT_FALSE(StreamFileAtomically(
        path, [](const FileChunkWriter& write) { return write("half") && false; }, gaveUpError));
    EXPECT_FALSE(gaveUpError.empty());

    EXPECT_EQ(FileText(path), "previous");
    EXPECT_EQ(Listing(folder), std::set<std::string>{"project.xml"});
}

// A file whose owner has no write bit stays as it is, even for root; replacing one name of a
// hard-linked file would leave the other with the old content.
TEST(FileIo, ReadOnlyAndHardLinkedFilesAreRefusedAndKept) {
    for (const bool hardLink : {false, true}) {
        TempFolder folder;
        const std::string path = folder.File("project.xml", "kept");
        if (hardLink) {
            ASSERT_EQ(link(path.c_str(), folder.PathOf("other.xml").c_str()), 0);
        } else {
            ASSERT_EQ(chmod(path.c_str(), 0444), 0);
        }
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(path, "new", error));
        EXPECT_NE(error.find(hardLink ? "2 hard links" : "Permission denied"), std::string::npos)
            << error;
        EXPECT_EQ(FileText(path), "kept");
        EXPECT_EQ(Lstat(path).st_nlink, hardLink ? 2u : 1u);
    }
}

// A save through a link, or a chain of links, writes the file at its end and leaves the links;
// a dangling link gets its target created.
TEST(FileIo, LinksAreFollowedAndStayLinks) {
    TempFolder folder;
    const std::string real = folder.File("real.xml", "old");
    ASSERT_EQ(mkdir(folder.PathOf("sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("../real.xml", folder.PathOf("sub/first").c_str()), 0);
    ASSERT_EQ(symlink("sub/first", folder.PathOf("second").c_str()), 0);
    ASSERT_EQ(symlink("fresh.xml", folder.PathOf("dangling").c_str()), 0);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(folder.PathOf("second"), "new", error)) << error;
    ASSERT_TRUE(WriteFileAtomically(folder.PathOf("dangling"), "made", error)) << error;

    EXPECT_EQ(FileText(real), "new");
    EXPECT_EQ(FileText(folder.PathOf("fresh.xml")), "made");
    for (const char* link : {"sub/first", "second", "dangling"}) {
        EXPECT_TRUE(S_ISLNK(Lstat(folder.PathOf(link)).st_mode)) << link;
    }
    EXPECT_EQ(Listing(folder),
              (std::set<std::string>{"dangling", "fresh.xml", "real.xml", "second", "sub"}));

    ASSERT_EQ(symlink("loop", folder.PathOf("loop").c_str()), 0);
    EXPECT_FALSE(WriteFileAtomically(folder.PathOf("loop"), "x", error));
    EXPECT_TRUE(S_ISLNK(Lstat(folder.PathOf("loop")).st_mode));
}

// FIFOs and device nodes are refused without being opened (a FIFO would block), and stay.
TEST(FileIo, TargetsThatAreNotRegularFilesAreRefusedAndKept) {
    TempFolder folder;
    const std::string fifo = folder.PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(fifo, "x", error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    EXPECT_TRUE(S_ISFIFO(Lstat(fifo).st_mode));

    // A node of the folder's own first, where a fault replaces nothing that matters.
    const std::string node = folder.PathOf("null");
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        ASSERT_FALSE(WriteFileAtomically(node, "x", error));
        ASSERT_TRUE(S_ISCHR(Lstat(node).st_mode));
    }
    EXPECT_FALSE(WriteFileAtomically("/dev/null", "x", error));
    EXPECT_NE(error.find("'/dev/null'"), std::string::npos) << error;
    EXPECT_EQ(Lstat("/dev/null").st_rdev, makedev(1, 3));
}

// Nobody else can read the content while it is written: the temporary file has the target's
// bits (0600 for a new file) from the start. The saved file keeps the old bits and owner; a new
// one gets the ordinary create mode.
TEST(FileIo, PermissionsAndOwnerAreKeptAndNeverWiderDuringTheSave) {
    TempFolder folder;
    std::set<unsigned> seen;
    auto inspecting = [&](const FileChunkWriter& write) {
        for (const std::string& name : Listing(folder)) {
            if (name.find(".tmp") != std::string::npos) {
                seen.insert(Lstat(folder.PathOf(name)).st_mode & 07777);
            }
        }
        return write("content");
    };
    const mode_t savedMask = umask(027);
    std::string error;
    const std::string fresh = folder.PathOf("fresh.xml");
    const bool made = StreamFileAtomically(fresh, inspecting, error);
    umask(savedMask);
    ASSERT_TRUE(made) << error;
    EXPECT_EQ(Lstat(fresh).st_mode & 07777, 0640u);
    EXPECT_EQ(seen, std::set<unsigned>{0600u});

    const std::string secret = folder.File("secret.xml", "old");
    ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(chown(secret.c_str(), 65534, 65534), 0);
    }
    seen.clear();
    ASSERT_TRUE(StreamFileAtomically(secret, inspecting, error)) << error;
    EXPECT_EQ(seen, std::set<unsigned>{0600u});
    EXPECT_EQ(FileText(secret), "content");
    EXPECT_EQ(Lstat(secret).st_mode & 07777, 0600u);
    if (asRoot) {
        EXPECT_EQ(Lstat(secret).st_uid, 65534u);
        EXPECT_EQ(Lstat(secret).st_gid, 65534u);
    }
}

// A save holds a lock on its temporary file until it ends. A temporary whose lock is free was
// left by a save that was killed, whatever process number its name gives, and goes with the
// next save of the same target; one whose lock is held belongs to a save in progress (also of a
// process in another PID namespace, whose number means nothing here) and stays, as do those of
// other targets.
TEST(FileIo, OnlyTemporariesWhoseLockIsFreeAreRemovedByTheNextSave) {
    TempFolder folder;
    const std::string path = folder.File("project.xml", "old");
    const std::string dead = std::to_string(DeadPid());
    const std::string self = std::to_string(getpid());
    const std::string stale = ".project.xml.quillmark-" + self + "-00c0ffee00c0ffee.tmp";
    const std::string running = ".project.xml.quillmark-" + dead + "-00c0ffee00c0ffef.tmp";
    const std::string other = ".other.xml.quillmark-" + dead + "-00c0ffee00c0ffee.tmp";
    for (const std::string& name : {stale, running, other}) {
        folder.File(name, "partial");
    }
    const int held = open(folder.PathOf(running).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    std::string error;
    const bool saved = WriteFileAtomically(path, "new", error);
    close(held);
    ASSERT_TRUE(saved) << error;
    EXPECT_EQ(Listing(folder), (std::set<std::string>{"project.xml", running, other}));

    // The save's own temporary is locked while the content is made.
    ASSERT_TRUE(StreamFileAtomically(
        path,
        [&folder](const FileChunkWriter& write) {
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
                const std::string name = entry.path().filename().string();
                if (name.starts_with(".project.xml.quillmark-" + std::to_string(getpid()))) {
                    const int probe = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
                    const bool free = flock(probe, LOCK_EX | LOCK_NB) == 0;
                    close(probe);
                    return !free && write("locked");
                }
            }
            return false;
        },
        error))
        << error;
    EXPECT_EQ(FileText(path), "locked");
}

}  // namespace
