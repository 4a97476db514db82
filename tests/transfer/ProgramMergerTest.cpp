#include "transfer/ProgramMerger.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/fakes/FullDisk.h"
#include "tests/fakes/TestServers.h"

namespace {

class MergeProgramFilesTest : public ::testing::Test {
protected:
    CTestFolder m_folder;
};

TEST_F(MergeProgramFilesTest, FramesTheLinesOfAllFilesWithPercentLines) {
    WriteBytes(m_folder / "first.nc", "%\nO0001\nG00 X0\n\nG01 X10 %\n%%%\nM30\n%\n");
    WriteBytes(m_folder / "second.nc", "%\r\nO0002\r\nM30\r\n%");
    MergeResult result =
        MergeProgramFiles({m_folder / "first.nc", m_folder / "second.nc"}, m_folder / "RZKOUT");
    ASSERT_TRUE(result.bOk);
    EXPECT_EQ(result.aMergedNames, (std::vector<std::string>{"first.nc", "second.nc"}));
    EXPECT_EQ(ReadBytes(m_folder / "RZKOUT"),
              "%\r\nO0001\r\nG00 X0\r\nG01 X10 \r\nM30\r\nO0002\r\nM30\r\n%");
}

TEST_F(MergeProgramFilesTest, UnreadableFileFailsTheMergeAndLeavesNoTape) {
    WriteBytes(m_folder / "first.nc", "O0001\nM30\n");
    std::filesystem::create_directory(m_folder / "folder.nc");
    for (const std::vector<std::string>& aPaths :
         {std::vector<std::string>{m_folder / "missing.nc", m_folder / "first.nc"},
          std::vector<std::string>{m_folder / "first.nc", m_folder / "folder.nc"}}) {
        MergeResult result = MergeProgramFiles(aPaths, m_folder / "RZKOUT");
        EXPECT_FALSE(result.bOk);
        EXPECT_TRUE(result.aMergedNames.empty());
        EXPECT_FALSE(result.strFailedName.empty());
        EXPECT_FALSE(std::filesystem::exists(m_folder / "RZKOUT"));
    }
    EXPECT_EQ(FolderEntries(m_folder.Path()), (std::set<std::string>{"first.nc", "folder.nc"}));
}

TEST_F(MergeProgramFilesTest, NamesTheFileThatCouldNotBeRead) {
    WriteBytes(m_folder / "first.nc", "O0001\nM30\n");
    MergeResult result =
        MergeProgramFiles({m_folder / "first.nc", m_folder / "gone.nc"}, m_folder / "RZKOUT");
    EXPECT_EQ(result.strFailedName, "gone.nc");
}

TEST_F(MergeProgramFilesTest, TapeThatCannotBeWrittenFailsWithoutAFileName) {
    WriteBytes(m_folder / "first.nc", "O0001\n" + std::string(8000, 'X') + "\nM30\n");
    MergeResult result = MergeProgramFiles({m_folder / "first.nc"}, m_folder / "missing/RZKOUT");
    EXPECT_FALSE(result.bOk);
    EXPECT_TRUE(result.strFailedName.empty());
    {
        CFullDisk fullDisk;
        result = MergeProgramFiles({m_folder / "first.nc"}, m_folder / "RZKOUT");
    }
    EXPECT_FALSE(result.bOk);
    EXPECT_TRUE(result.aMergedNames.empty());
    EXPECT_TRUE(result.strFailedName.empty());
    EXPECT_EQ(FolderEntries(m_folder.Path()), (std::set<std::string>{"first.nc"}));
}

}  // namespace
