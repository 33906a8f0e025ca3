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

// A write that fails halfway (here: at the file size limit) leaves the old file as it was.
TEST(FileIo, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    TempFolder folder;
    const std::string path = folder.PathOf("project.xml");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "previous", error)) << error;

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, std::string(64 * 1024, 'x'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FileText(path), "previous");
    EXPECT_EQ(Listing(folder), std::set<std::string>{"project.xml"});
}

}  // namespace
