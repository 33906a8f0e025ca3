#include "app/sample_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_files.h"

namespace fs = std::filesystem;

namespace {

// A sample project file at `folder`/SP500.xml, with `text` for its content.
void PutSample(const fs::path& folder, const std::string& text) {
    fs::create_directories(folder);
    std::ofstream(folder / kFirstSample, std::ios::binary) << text;
}

// Outside any tree the test makes, only a real installation of the build could be found.
bool BuildInstalledHere() {
    return fs::exists(SampleCandidates("/nowhere").back().projects);
}

}  // namespace

// An installation beside bin wins over a build tree around the program; a build tree is found
// from the program's folder or the one above it; nothing found gives empty folders.
TEST(SampleFilesTest, FindsTheInstallationBeforeTheBuildTree) {
    TempFolder root;
    const fs::path base(root.Path());
    const std::string bin = (base / "bin").string();
    fs::create_directories(bin);
    if (!BuildInstalledHere()) {
        EXPECT_TRUE(FindSamples(bin).projects.empty());
    }

    PutSample(base / "Project Files", "build tree");
    CSampleFolders found = FindSamples(bin);
    EXPECT_EQ(found.projects, (base / "Project Files").string());
    EXPECT_EQ(found.data, (base / "Data Files").string());
    EXPECT_FALSE(found.installed);

    PutSample(base / "share/quillmark/Project Files", "installed");
    found = FindSamples(bin);
    EXPECT_EQ(found.projects, (base / "share/quillmark/Project Files").string());
    EXPECT_EQ(found.data, (base / "share/quillmark/Data Files").string());
    EXPECT_TRUE(found.installed);

    // A folder named like the sample is no sample.
    fs::create_directories(base / "bin/Project Files" / kFirstSample);
    EXPECT_TRUE(FindSamples(bin).installed);
    EXPECT_TRUE(FindSamples("").projects.empty());
}

// A first start of an installation copies the sample into the documents folder once and opens
// the copy; the user's copy is never overwritten; a build tree's sample opens where it is.
TEST(SampleFilesTest, FirstStartOpensACopyOfAnInstalledSample) {
    TempFolder root;
    const fs::path base(root.Path());
    PutSample(base / "share/quillmark/Project Files", "<QUILLMARK>\r\n");
    const CSampleFolders installed{(base / "share/quillmark/Project Files").string(),
                                   (base / "share/quillmark/Data Files").string(), true};
    const std::string documents = (base / "Documents").string();
    const std::string copy = (base / "Documents/Quillmark/SP500.xml").string();

    std::string project;
    ASSERT_TRUE(FirstStartProject(installed, documents, project));
    EXPECT_EQ(project, copy);
    EXPECT_EQ(FileText(copy), "<QUILLMARK>\r\n");

    std::ofstream(copy, std::ios::binary) << "the user's own";
    ASSERT_TRUE(FirstStartProject(installed, documents, project));
    EXPECT_EQ(project, copy);
    EXPECT_EQ(FileText(copy), "the user's own");

    CSampleFolders buildTree = installed;
    buildTree.installed = false;
    ASSERT_TRUE(FirstStartProject(buildTree, (base / "Elsewhere").string(), project));
    EXPECT_EQ(project, installed.projects + "/SP500.xml");
    EXPECT_FALSE(fs::exists(base / "Elsewhere"));

    ASSERT_TRUE(FirstStartProject(CSampleFolders{}, documents, project));
    EXPECT_EQ(project, "");
}

// When the copy cannot be made, the installed sample opens (read-only: Save As still works)
// and the status says why.
TEST(SampleFilesTest, AFailedCopyFallsBackToTheInstalledSample) {
    TempFolder root;
    const fs::path base(root.Path());
    PutSample(base / "data/Project Files", "sample");
    const CSampleFolders installed{(base / "data/Project Files").string(),
                                   (base / "data/Data Files").string(), true};
    const std::string sample = installed.projects + "/SP500.xml";
    std::ofstream(base / "Documents", std::ios::binary) << "a file, not a folder";

    std::string project;
    const CStatus copied = FirstStartProject(installed, (base / "Documents").string(), project);
    EXPECT_FALSE(copied);
    EXPECT_NE(copied.Reason().find("cannot create"), std::string::npos) << copied.Reason();
    EXPECT_EQ(project, sample);

    EXPECT_EQ(FirstStartProject(installed, "", project).Kind(), StatusKind::NotFound);
    EXPECT_EQ(project, sample);
}
