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

class FileIo : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(m_folder.Path().empty()); }

    std::string PathOf(const std::string& name) const { return m_folder.PathOf(name); }

    // The names in the folder: a temporary file left behind shows up here.
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    std::string Contents(const std::string& path) const {
        std::string data;
        std::string error;
        EXPECT_TRUE(ReadWholeFile(path, data, error)) << error;
        return data;
    }

    TempFolder m_folder;
};

TEST_F(FileIo, WritesAndReplacesTheWholeFile) {
    const std::string path = PathOf("project.xml");
    const std::string binary = "line\r\n\0tail"s;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, binary, error)) << error;
    EXPECT_EQ(Contents(path), binary);
    ASSERT_TRUE(WriteFileAtomically(path, "short", error)) << error;
    EXPECT_EQ(Contents(path), "short");
    ASSERT_TRUE(WriteFileAtomically(path, "", error)) << error;
    EXPECT_EQ(Contents(path), "");
    EXPECT_EQ(Listing(), std::set<std::string>{"project.xml"});
}

TEST_F(FileIo, ReplacedFileKeepsItsPermissions) {
    const std::string path = PathOf("private.xml");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "a", error)) << error;
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "b", error)) << error;
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(FileIo, RefusesAMissingFolderOrADirectory) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(PathOf("missing/project.xml"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(Listing().empty());

    ASSERT_EQ(mkdir(PathOf("folder").c_str(), 0755), 0);
    error.clear();
    EXPECT_FALSE(WriteFileAtomically(PathOf("folder"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Listing(), std::set<std::string>{"folder"});
}

// A write that fails halfway (here: the file size limit) leaves the old file as it was.
TEST_F(FileIo, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    const std::string path = PathOf("project.xml");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "previous", error)) << error;

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = WriteFileAtomically(path, std::string(64 * 1024, 'x'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Contents(path), "previous");
    EXPECT_EQ(Listing(), std::set<std::string>{"project.xml"});
}

TEST_F(FileIo, ReadWholeFileFailsOnMissingFilesAndFolders) {
    std::string data;
    for (const std::string& path : {PathOf("missing.xml"), m_folder.Path()}) {
        std::string error;
        EXPECT_FALSE(ReadWholeFile(path, data, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
}

}  // namespace
