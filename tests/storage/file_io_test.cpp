#include "storage/file_io.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
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

TEST(FileIo, ReplacesTheWholeFileKeepingItsPermissionsAndRefusesDirectories) {
    TempFolder folder;
    const std::string path = folder.PathOf("project.xml");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "line\r\n\0tail"s, error)) << error;
    EXPECT_EQ(FileText(path), "line\r\n\0tail"s);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "short", error)) << error;
    EXPECT_EQ(FileText(path), "short");
    ASSERT_TRUE(WriteFileAtomically(path, "", error)) << error;
    EXPECT_EQ(FileText(path), "");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A missing folder or a directory is refused.
    ASSERT_EQ(mkdir(folder.PathOf("folder").c_str(), 0755), 0);
    for (const std::string& target : {folder.PathOf("missing/x.xml"), folder.PathOf("folder")}) {
        EXPECT_FALSE(WriteFileAtomically(target, "x", error)) << target;
        EXPECT_FALSE(error.empty()) << target;
    }
    EXPECT_EQ(Listing(folder), (std::set<std::string>{"folder", "project.xml"}));
}

// Content made in pieces lands whole; each piece goes to the file as it comes.
TEST(FileIo, StreamedContentIsWrittenPieceByPiece) {
    TempFolder folder;
    const std::string path = folder.PathOf("project.xml");
    std::string error;
    std::string expected;
    auto produce = [&expected](const FileChunkWriter& write) {
        for (int i = 0; i < 1000; ++i) {
            std::string piece(static_cast<size_t>(i % 97), static_cast<char>('a' + i % 26));
            expected += piece;
            if (!write(piece)) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(StreamFileAtomically(path, produce, error)) << error;
    EXPECT_EQ(FileText(path), expected);
}

// A write that fails halfway (here: at the file size limit), or a producer that gives up,
// leaves the old file as it was and no temporary file.
TEST(FileIo, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    TempFolder folder;
    const std::string path = folder.PathOf("project.xml");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "previous", error)) << error;

    int piecesAfterFailure = 0;
    auto streamed = [&](const std::string& target, std::string& problem) {
        return StreamFileAtomically(
            target,
            [&](const FileChunkWriter& write) {
                bool ok = true;
                for (int i = 0; i < 64; ++i) {
                    bool written = write(std::string(1024, 'x'));
                    piecesAfterFailure += ok ? 0 : (written ? 1 : 0);
                    ok = ok && written;
                }
                return ok;
            },
            problem);
    };
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, std::string(64 * 1024, 'x'), error);
    std::string streamError;
    const bool streamWritten = streamed(path, streamError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

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

}  // namespace
