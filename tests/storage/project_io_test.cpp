#include "storage/project_io.h"

#include <gtest/gtest.h>

#include <string>

#include "model/project.h"
#include "storage/file_io.h"
#include "storage/import_report.h"
#include "support/test_files.h"

namespace {

StatusKind ReadKind(const std::string& path) {
    CProject project;
    return ReadProjectFile(project, path).Kind();
}

// A caller tells a missing file from one that is not a project, from one it may not read, from
// the system failing; the reasons stay as they were.
TEST(ProjectIo, FailuresSayWhatKindTheyAre) {
    TempFolder folder;
    EXPECT_EQ(ReadKind(folder.PathOf("gone.xml")), StatusKind::NotFound);
    EXPECT_EQ(ReadKind(folder.PathOf("gone/project.xml")), StatusKind::NotFound);
    EXPECT_EQ(ReadKind(folder.Path()), StatusKind::Refused);
    const std::string prices = folder.File("prices.csv", "Date,Close\n2020-01-02,3257.85\n");
    EXPECT_EQ(ReadKind(prices), StatusKind::Damaged);
    EXPECT_EQ(ReadKind(folder.File("project.xml", kExampleProject)), StatusKind::Ok);

    CProject project;
    const CStatus noFolder = WriteProjectFile(project, folder.PathOf("gone/out.xml"));
    EXPECT_EQ(noFolder.Kind(), StatusKind::NotFound) << noFolder.Reason();
    const CStatus onFolder = WriteProjectFile(project, folder.Path());
    EXPECT_EQ(onFolder.Kind(), StatusKind::Io);
    EXPECT_EQ(onFolder.Reason(), "'" + folder.Path() + "' is a directory, not a regular file");
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(folder.PathOf("gone/out.csv"), "x", error));
    EXPECT_EQ(error, WriteFileAtomically(folder.PathOf("gone/out.csv"), "x").Reason());

    CImportReport report;
    EXPECT_EQ(ImportRawFile(project, folder.PathOf("gone.csv"), 1, 2, report).Kind(),
              StatusKind::NotFound);
    const std::string empty = folder.File("empty.csv", "Date,Close\n");
    EXPECT_EQ(ImportRawFile(project, empty, 1, 2, report).Kind(), StatusKind::Damaged);
    EXPECT_EQ(project.DataSetCount(), 0);
}

}  // namespace
