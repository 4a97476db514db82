#include "settings/ProfileFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/SetData.h"
#include "tests/fakes/TestServers.h"

namespace {

using Names = std::vector<std::string>;

class ProfileFolderTest : public ::testing::Test {
protected:
    void AddProfile(const std::string& strName, int nIndex) {
        CSetData profile;
        profile.INDEX = nIndex;
        ASSERT_TRUE(profile.SaveProfile(m_data / (strName + ".txt")));
    }

    CTestFolder m_data;
    CProfileFolder m_folder{m_data.Path()};
};

TEST_F(ProfileFolderTest, ListsProfileFilesInCodePageOrderAndGivesTheNextIndex) {
    EXPECT_EQ(m_folder.NextIndex(), 1);
    AddProfile("B", 1);
    AddProfile("１号機", 4);
    AddProfile("A", 2);
    // A half-width katakana comes before this kanji in the code page, after it in UTF-8.
    AddProfile("熙", 0);
    AddProfile("ｱ", 0);
    std::filesystem::create_directory(m_data / "folder.txt");
    WriteBytes(m_data / "notes.TXT", "");
    WriteBytes(m_data / ".txt", "");
    WriteBytes(m_data / "damaged.txt", "INDEX=3\r\n");  // no markers: its INDEX still counts
    EXPECT_EQ(m_folder.Names(), (Names{"A", "B", "damaged", "１号機", "ｱ", "熙"}));
    EXPECT_EQ(m_folder.NextIndex(), 5);
    EXPECT_TRUE(m_folder.Contains("a"));
    EXPECT_TRUE(m_folder.Contains("１号機"));
    EXPECT_FALSE(m_folder.Contains("C"));
}

TEST_F(ProfileFolderTest, CreatesRenamesAndRemovesOnlyWithinTheFolder) {
    ASSERT_TRUE(m_folder.Create("A", 7));
    CSetData created;
    ASSERT_EQ(created.LoadProfile(m_data / "A.txt"), 0);
    EXPECT_EQ(created.INDEX, 7);
    AddProfile("B", 2);
    const std::string strA = ReadBytes(m_data / "A.txt");
    const std::string strB = ReadBytes(m_data / "B.txt");

    for (const std::string& strHostile :
         {std::string("../outside"), std::string("x/y"), std::string("."), std::string(".."),
          std::string("nul\0byte", 8), std::string()}) {
        SCOPED_TRACE(strHostile);
        EXPECT_FALSE(m_folder.Create(strHostile, 1));
        EXPECT_FALSE(m_folder.Rename("A", strHostile));
        EXPECT_FALSE(m_folder.Remove(strHostile));
    }
    EXPECT_FALSE(m_folder.Rename("A", "B"));
    EXPECT_FALSE(m_folder.Rename("A", "b"));
    EXPECT_EQ(ReadBytes(m_data / "A.txt"), strA);
    EXPECT_EQ(ReadBytes(m_data / "B.txt"), strB);
    EXPECT_EQ(FolderEntries(m_data.Path()), (std::set<std::string>{"A.txt", "B.txt"}));

    EXPECT_TRUE(m_folder.Rename("A", "a"));  // the same profile with another case
    EXPECT_TRUE(m_folder.Rename("a", "Ｃ号機"));
    EXPECT_EQ(ReadBytes(m_data / "Ｃ号機.txt"), strA);
    EXPECT_TRUE(m_folder.Remove("B"));
    EXPECT_FALSE(m_folder.Remove("B"));
    EXPECT_EQ(m_folder.Names(), Names{"Ｃ号機"});
}

TEST_F(ProfileFolderTest, AMissingFolderListsNothingAndCreatesNothing) {
    CProfileFolder missing(m_data / "missing/");
    EXPECT_TRUE(missing.Names().empty());
    EXPECT_EQ(missing.NextIndex(), 1);
    EXPECT_FALSE(missing.Create("A", 1));
}

}  // namespace
